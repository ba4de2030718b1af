#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "framework/CDataRecorder.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool IsHostFileMode(std::int32_t mode)
{
    return mode == CDataRecorder::ModeHostFileText || mode == CDataRecorder::ModeHostFileBinary ||
           mode == CDataRecorder::ModeHostFileUtf16;
}

std::int32_t CountModeFor(std::int32_t mode)
{
    const bool text = mode == CDataRecorder::ModeMemoryText || mode == CDataRecorder::ModeHostFileText;
    return text ? CDataRecorder::ModeCountText : CDataRecorder::ModeCount;
}

// Writes through the channel of `mode` and returns the bytes it produced.
Bytes WrittenBytes(std::int32_t mode, const std::function<bool(CDataRecorder&)>& write, const std::string& folder)
{
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(mode);
    if (IsHostFileMode(mode))
    {
        const std::string path = folder + "/written.bin";
        recorder.SetPath(path.c_str());
        EXPECT_EQ(recorder.OpenWrite(), 0);
        EXPECT_TRUE(write(recorder));
        EXPECT_EQ(recorder.Close(), 0);
        return AsBytes(ReadFile(path));
    }
    Bytes block(64, 0xEE);
    recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    EXPECT_TRUE(write(recorder));
    block.resize(static_cast<std::size_t>(recorder.GetPosition()));
    return block;
}

struct LayoutCase
{
    const char* name;
    std::int32_t mode;
    std::function<bool(CDataRecorder&)> write;
    Bytes bytes;
    std::function<bool(CDataRecorder&)> readsBack;  // reads the bytes and compares; empty where nothing reads
};

const API_Guid SampleGuid = APIGuidFromString("{00112233-4455-6677-8899-AABBCCDDEEFF}");

std::vector<LayoutCase> LayoutCases()
{
    using R = CDataRecorder;
    constexpr auto Mem = R::ModeMemory;
    return {
        {"byte",
         Mem,
         [](R& r) { return r.WriteByte(0xAB); },
         {0xAB},
         [](R& r) {
             std::uint8_t v = 0;
             return r.ReadByte(v) && v == 0xAB;
         }},
        {"bool true",
         Mem,
         [](R& r) { return r.WriteBool(true); },
         {0x01},
         [](R& r) {
             bool v = false;
             return r.ReadBool(v) && v;
         }},
        {"bool false",
         Mem,
         [](R& r) { return r.WriteBool(false); },
         {0x00},
         [](R& r) {
             bool v = true;
             return r.ReadBool(v) && !v;
         }},
        {"int16",
         Mem,
         [](R& r) { return r.WriteShort(-2); },
         {0xFE, 0xFF},
         [](R& r) {
             std::int16_t v = 0;
             return r.ReadShort(v) && v == -2;
         }},
        {"int32",
         Mem,
         [](R& r) { return r.WriteLong(0x01020304); },
         {0x04, 0x03, 0x02, 0x01},
         [](R& r) {
             std::int32_t v = 0;
             return r.ReadLong(v) && v == 0x01020304;
         }},
        {"uint32",
         Mem,
         [](R& r) { return r.WriteLong(-1); },
         {0xFF, 0xFF, 0xFF, 0xFF},
         [](R& r) {
             std::uint32_t v = 0;
             return r.ReadULong(v) && v == 0xFFFFFFFFu;
         }},
        {"double",
         Mem,
         [](R& r) { return r.WriteDouble(1.0); },
         {0, 0, 0, 0, 0, 0, 0xF0, 0x3F},
         [](R& r) {
             double v = 0;
             return r.ReadDouble(v) && v == 1.0;
         }},
        {"float", Mem, [](R& r) { return r.WriteFloat(1.0f); }, {0, 0, 0x80, 0x3F}, {}},
        {"2D coordinate",
         Mem,
         [](R& r) {
             return r.WriteCoord({1.0, -2.0});
         },
         {0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0x00, 0xC0},
         [](R& r) {
             API_Coord c;
             return r.ReadCoord(c) && c.x == 1.0 && c.y == -2.0;
         }},
        {"3D coordinate",
         Mem,
         [](R& r) {
             return r.WriteCoord3D({0.0, 0.5, 2.0});
         },
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 0, 0, 0, 0, 0, 0, 0x00, 0x40},
         [](R& r) {
             API_Coord3D c;
             return r.ReadCoord3D(c) && c.x == 0.0 && c.y == 0.5 && c.z == 2.0;
         }},
        {"GUID",
         Mem,
         [](R& r) { return r.WriteGuid(SampleGuid); },
         {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x77, 0x66, 0x33, 0x22, 0x11, 0x00, 0x55, 0x44},
         [](R& r) {
             API_Guid g;
             return r.ReadGuid(g) && g == SampleGuid;
         }},
        {"8-bit string", Mem, [](R& r) { return r.WriteCString("ab"); }, {2, 0, 0, 0, 'a', 'b'}, {}},
        {"8-bit string, text memory", R::ModeMemoryText, [](R& r) { return r.WriteCString("ab"); }, {'a', 'b'}, {}},
        {"8-bit string, UTF-16 file keeps the count",
         R::ModeHostFileUtf16,
         [](R& r) { return r.WriteCString("ab"); },
         {2, 0, 0, 0, 'a', 'b'},
         {}},
        {"UTF-16 string", Mem, [](R& r) { return r.WriteUStr(u"\u00E4"); }, {1, 0, 0, 0, 0xE4, 0x00}, {}},
        {"UTF-16 string, UTF-16 file", R::ModeHostFileUtf16, [](R& r) { return r.WriteUStr(u"\u00E4"); }, {0xE4, 0x00}, {}},
        {"UniString",
         Mem,
         [](R& r) { return r.WriteUniString(GS::UniString("Ab")); },
         {2, 0, 0, 0, 'A', 0, 'b', 0},
         [](R& r) {
             GS::UniString s;
             return r.ReadUniString(s) && s == GS::UniString("Ab");
         }},
        {"empty UniString",
         Mem,
         [](R& r) { return r.WriteUniString(GS::UniString()); },
         {0, 0, 0, 0},
         [](R& r) {
             GS::UniString s("old");
             return r.ReadUniString(s) && s.IsEmpty();
         }},
        {"empty UniString, host text file", R::ModeHostFileText, [](R& r) { return r.WriteUniString(GS::UniString()); }, {}, {}},
        {"UniString, host text file",
         R::ModeHostFileText,
         [](R& r) { return r.WriteUniString(GS::UniString("Ab")); },
         {'A', 0, 'b', 0},
         {}},
    };
}

TEST(DataRecorder, ValueLayoutsByteForByte)
{
    TempFolder folder;
    for (const LayoutCase& c : LayoutCases())
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WrittenBytes(c.mode, c.write, folder.path()), c.bytes);

        // The UTF-16 file mode keeps some counts that no size-count mode keeps.
        if (c.mode != CDataRecorder::ModeHostFileUtf16)
        {
            CDataRecorder counter(CDataRecorder::EncodingCodePage);
            counter.SetMode(CountModeFor(c.mode));
            EXPECT_TRUE(c.write(counter));
            EXPECT_EQ(counter.GetSize(), static_cast<std::int32_t>(c.bytes.size()));
        }

        if (!c.readsBack) continue;
        Bytes block = c.bytes;
        CDataRecorder reader(CDataRecorder::EncodingCodePage);
        reader.SetMode(CDataRecorder::ModeMemory);
        reader.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
        EXPECT_TRUE(c.readsBack(reader));
        EXPECT_EQ(reader.GetBytesLeft(), 0);
    }
}

TEST(DataRecorder, NumbersAreReadInTheByteOrderOfThePlatformSign)
{
    struct Case
    {
        std::int32_t sign;
        std::int32_t expected;
    };
    for (const Case c : {Case {0x5757, 0x04030201}, Case {0x4D4D, 0x01020304}, Case {0x6D6D, 0x04030201}})
    {
        Bytes block {0x01, 0x02, 0x03, 0x04, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0};
        CDataRecorder recorder(CDataRecorder::EncodingCodePage);
        recorder.SetMode(CDataRecorder::ModeMemory);
        recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
        recorder.SetPlatformSign(c.sign);
        std::int32_t value = 0;
        double number = 0.0;
        EXPECT_TRUE(recorder.ReadLong(value));
        EXPECT_EQ(value, c.expected) << std::hex << c.sign;
        if (c.sign == 0x4D4D)
        {
            EXPECT_TRUE(recorder.ReadDouble(number) && number == 1.0);
        }
    }
}

TEST(DataRecorder, SizeCountAddsUpWithoutMemory)
{
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    EXPECT_EQ(recorder.GetMode(), CDataRecorder::ModeCount);
    EXPECT_TRUE(recorder.WriteGuid(SampleGuid));
    EXPECT_TRUE(recorder.WriteDouble(2.5));
    EXPECT_TRUE(recorder.WriteUniString(GS::UniString()));
    EXPECT_EQ(recorder.GetSize(), 28);
    EXPECT_EQ(recorder.GetPosition(), 28);
    std::int32_t untouched = 7;
    EXPECT_TRUE(recorder.ReadLong(untouched));
    EXPECT_EQ(untouched, 7);
    EXPECT_EQ(recorder.GetSize(), 32);
    EXPECT_FALSE(recorder.FindBytes("x", 1));
}

// Every reader that runs past the end fails, leaves its target and the position as they were.
TEST(DataRecorder, MemoryReadsPastTheEndChangeNothing)
{
    struct Case
    {
        const char* name;
        std::function<bool(CDataRecorder&)> readAndKeep;  // true when the read failed and the target kept its value
    };
    const std::vector<Case> cases {
        {"bytes",
         [](CDataRecorder& r) {
             char v[4] = {'k', 'k', 'k', 'k'};
             return !r.ReadBytes(v, 4) && std::memcmp(v, "kkkk", 4) == 0;
         }},
        {"int32",
         [](CDataRecorder& r) {
             std::int32_t v = 9;
             return !r.ReadLong(v) && v == 9;
         }},
        {"double",
         [](CDataRecorder& r) {
             double v = 9;
             return !r.ReadDouble(v) && v == 9;
         }},
        {"2D coordinate",
         [](CDataRecorder& r) {
             API_Coord v {9, 9};
             return !r.ReadCoord(v) && v.x == 9 && v.y == 9;
         }},
        {"GUID",
         [](CDataRecorder& r) {
             API_Guid v = SampleGuid;
             return !r.ReadGuid(v) && v == SampleGuid;
         }},
        {"UniString",
         [](CDataRecorder& r) {
             GS::UniString v("keep");
             return !r.ReadUniString(v) && v == GS::UniString("keep");
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        // Three bytes of data behind a count of 2 units: too short for every value above.
        Bytes block {0xFF, 0x02, 0x00, 0x00, 0x00, 'a', 0, 'b'};
        CDataRecorder recorder(CDataRecorder::EncodingCodePage);
        recorder.SetMode(CDataRecorder::ModeMemory);
        recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
        recorder.SetPosition(c.name == std::string("UniString") ? 1 : 5);
        const std::int32_t before = recorder.GetPosition();
        EXPECT_TRUE(c.readAndKeep(recorder));
        EXPECT_EQ(recorder.GetPosition(), before);
    }
}

TEST(DataRecorder, MemoryWritesStayInsideTheBlock)
{
    Bytes block(4, 0);
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(block.data(), 3);
    EXPECT_FALSE(recorder.WriteLong(0x11223344));
    EXPECT_EQ(recorder.GetPosition(), 0);
    EXPECT_TRUE(recorder.WriteShort(0x2211));
    EXPECT_TRUE(recorder.WriteByte(0x33));
    EXPECT_FALSE(recorder.WriteByte(0x44));
    EXPECT_EQ(block, (Bytes {0x11, 0x22, 0x33, 0x00}));
    EXPECT_EQ(recorder.GetBytesLeft(), 0);

    recorder.SetPosition(100);  // unchecked, but nothing passes the block afterwards
    EXPECT_FALSE(recorder.WriteByte(1));
    std::uint8_t byte = 5;
    EXPECT_FALSE(recorder.ReadByte(byte));
    EXPECT_EQ(byte, 5);
    recorder.SetPosition(-4);
    EXPECT_FALSE(recorder.ReadByte(byte));
    EXPECT_EQ(recorder.GetBytesLeft(), 0);
}

TEST(DataRecorder, StoredStringCountsAreBoundedByTheBytesLeft)
{
    struct Case
    {
        const char* name;
        Bytes bytes;
        bool succeeds;
        std::string expected;
    };
    const std::vector<Case> cases {
        {"largest count", {0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}, false, "keep"},
        {"count one unit too many", {0x02, 0, 0, 0, 'a', 0}, false, "keep"},
        {"negative count", {0xFE, 0xFF, 0xFF, 0xFF, 'a', 0}, true, ""},
        {"exact count", {0x01, 0, 0, 0, 'a', 0}, true, "a"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Bytes block = c.bytes;
        CDataRecorder recorder(CDataRecorder::EncodingCodePage);
        recorder.SetMode(CDataRecorder::ModeMemory);
        recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
        GS::UniString text("keep");
        EXPECT_EQ(recorder.ReadUniString(text), c.succeeds);
        EXPECT_EQ(text.ToUtf8(), c.expected);
    }
}

TEST(DataRecorder, FindBytesStopsBehindThePatternOrStaysPut)
{
    Bytes block = AsBytes("xaaabyab");
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    EXPECT_TRUE(recorder.FindBytes("aab", 3));
    EXPECT_EQ(recorder.GetPosition(), 5);
    EXPECT_TRUE(recorder.FindBytes("ab", 2));
    EXPECT_EQ(recorder.GetPosition(), 8);
    recorder.SetPosition(1);
    EXPECT_FALSE(recorder.FindBytes("abx", 3));
    EXPECT_EQ(recorder.GetPosition(), 1);
    EXPECT_FALSE(recorder.FindBytes("xaaabyabz", 9));
    EXPECT_EQ(recorder.GetPosition(), 1);
}

// ---- Lines ------------------------------------------------------------------

struct Line
{
    std::string text;
    int result;
};

struct LineCase
{
    const char* name;
    std::string data;
    std::int32_t target;
    unsigned capacity;
    std::vector<Line> lines;
};

std::vector<LineCase> LineCases()
{
    constexpr auto CP = CDataRecorder::EncodingCodePage;
    constexpr auto U8 = CDataRecorder::EncodingUtf8;
    const std::string longLine(5000, 'x');
    return {
        {"CR LF and a blank line", "a\r\n\r\nb", CP, 100, {{"a", 0}, {"b", 2}}},
        {"final break", "abc\n", CP, 100, {{"abc", 2}}},
        {"no final break", "abc", CP, 100, {{"abc", 2}}},
        {"empty data", "", CP, 100, {{"", 2}}},
        {"CR alone and LF alone", "x\ry\n\nz", CP, 100, {{"x", 0}, {"y", 0}, {"z", 2}}},
        {"UTF-8 mark, umlauts to the code page",
         "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F \xE2\x82\xAC\nz",
         CP,
         100,
         {{"Gr\xFC\xDF \x80", 0}, {"z", 2}}},
        {"UTF-8 mark, kept as UTF-8", "\xEF\xBB\xBF\xC3\xBC", U8, 100, {{"\xC3\xBC", 2}}},
        {"code page to UTF-8", "\xFC\x80", U8, 100, {{"\xC3\xBC\xE2\x82\xAC", 2}}},
        {"UTF-16LE: a 0A byte inside a unit is no break",
         std::string("\xFF\xFE"
                     "a\0\x0A\x01\r\0\n\0b\0",
                     12),
         U8,
         100,
         {{"a\xC4\x8A", 0}, {"b", 2}}},
        {"UTF-16LE to the code page", std::string("\xFF\xFE\xE4\0\x3B\x04", 6), CP, 100, {{"\xE4?", 2}}},
        {"long line cut, the rest skipped", longLine + "\nnext", CP, 4000, {{std::string(4000, 'x'), 0}, {"next", 2}}},
        {"cut before a split character",
         "\xEF\xBB\xBF"
         "ab\xC3\xBC",
         U8,
         3,
         {{"ab", 2}}},
    };
}

class LineReading : public ::testing::TestWithParam<std::int32_t>
{};

TEST_P(LineReading, Cases)
{
    TempFolder folder;
    const std::int32_t mode = GetParam();
    for (const LineCase& c : LineCases())
    {
        SCOPED_TRACE(c.name);
        std::string data = c.data;
        CDataRecorder recorder(c.target);
        recorder.SetMode(mode);
        const std::string path = folder.path() + "/lines.txt";
        if (mode == CDataRecorder::ModeMemory)
        {
            recorder.SetMemory(data.data(), static_cast<std::int32_t>(data.size()));
        }
        else
        {
            WriteFile(path, data);
            recorder.SetPath(path.c_str());
            recorder.SetBufferSize(7);  // lines cross refills of the transfer buffer
            ASSERT_EQ(recorder.OpenRead(), 0);
        }
        for (const Line& expected : c.lines)
        {
            std::vector<char> buffer(c.capacity + 2, 'Z');
            EXPECT_EQ(recorder.ReadLine(buffer.data(), c.capacity), expected.result);
            EXPECT_EQ(std::string(buffer.data()), expected.text);
        }
        recorder.Close();
    }
}

INSTANTIATE_TEST_SUITE_P(DataRecorder, LineReading,
                         ::testing::Values(CDataRecorder::ModeMemory, CDataRecorder::ModeCFileBinary,
                                           CDataRecorder::ModeHostFileBinary),
                         [](const ::testing::TestParamInfo<std::int32_t>& info) {
                             switch (info.param)
                             {
                                 case CDataRecorder::ModeMemory: return std::string("Memory");
                                 case CDataRecorder::ModeCFileBinary: return std::string("CFileBinary");
                                 default: return std::string("HostFileBinary");
                             }
                         });

TEST(DataRecorder, LineReadingModesWithoutLinesLeaveTheBufferAlone)
{
    char buffer[8] = "keep";
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    EXPECT_EQ(recorder.ReadLine(buffer, 6), 0);
    EXPECT_STREQ(buffer, "keep");
}

// ---- Host files -------------------------------------------------------------

class HostFileRecorder : public ::testing::Test
{
protected:
    TempFolder folder;
    std::string path = folder.path() + "/data.bin";
    CDataRecorder recorder {CDataRecorder::EncodingCodePage};

    void OpenForReading(const std::string& bytes, std::int32_t mode = CDataRecorder::ModeHostFileBinary)
    {
        WriteFile(path, bytes);
        recorder.SetMode(mode);
        recorder.SetPath(path.c_str());
        ASSERT_EQ(recorder.OpenRead(), 0);
    }
};

TEST_F(HostFileRecorder, ReadingToTheExactEndSucceedsAndOneMoreByteFails)
{
    OpenForReading("\x01\x02\x03\x04\x05", CDataRecorder::ModeHostFileBinary);
    std::int32_t value = 0;
    std::uint8_t last = 0;
    EXPECT_EQ(recorder.GetSize(), 5);
    EXPECT_TRUE(recorder.ReadLong(value));
    EXPECT_EQ(recorder.GetBytesLeft(), 1);
    EXPECT_TRUE(recorder.ReadByte(last));
    EXPECT_EQ(last, 5);
    EXPECT_FALSE(recorder.ReadByte(last));
    EXPECT_EQ(last, 5);
    EXPECT_EQ(recorder.GetPosition(), 5);
    recorder.SetPosition(1);
    EXPECT_TRUE(recorder.ReadByte(last));
    EXPECT_EQ(last, 2);
}

TEST_F(HostFileRecorder, TransfersLargerThanTheBufferGoToTheFileDirectly)
{
    std::string big(100, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i);
    recorder.SetMode(CDataRecorder::ModeHostFileBinary);
    recorder.SetPath(path.c_str());
    recorder.SetBufferSize(16);
    ASSERT_EQ(recorder.OpenWrite(), 0);
    EXPECT_TRUE(recorder.WriteBytes("ab", 2));
    EXPECT_TRUE(recorder.WriteBytes(big.data(), big.size()));
    EXPECT_TRUE(recorder.WriteBytes("yz", 2));
    EXPECT_EQ(recorder.GetPosition(), 104);
    EXPECT_EQ(recorder.Close(), 0);
    EXPECT_EQ(ReadFile(path), "ab" + big + "yz");

    ASSERT_EQ(recorder.OpenRead(), 0);
    char head[3] {};
    std::string back(100, '\0');
    EXPECT_TRUE(recorder.ReadBytes(head, 2));
    EXPECT_TRUE(recorder.ReadBytes(back.data(), back.size()));
    EXPECT_EQ(back, big);
    std::string tooMuch(100, 'k');
    EXPECT_FALSE(recorder.ReadBytes(tooMuch.data(), tooMuch.size()));
    EXPECT_EQ(tooMuch, std::string(100, 'k'));
    EXPECT_TRUE(recorder.ReadBytes(head, 2));
    EXPECT_STREQ(head, "yz");
}

TEST_F(HostFileRecorder, WritingOverALongerFileLeavesNoneOfItsBytes)
{
    WriteFile(path, std::string(50, 'o'));
    recorder.SetMode(CDataRecorder::ModeHostFileBinary);
    recorder.SetPath(path.c_str());
    ASSERT_EQ(recorder.OpenWrite(), 0);
    EXPECT_TRUE(recorder.WriteCString("new"));
    EXPECT_EQ(ReadFile(path), std::string(50, 'o'));  // replaced only when closed
    EXPECT_EQ(recorder.Close(), 0);
    EXPECT_EQ(ReadFile(path), std::string("\x03\0\0\0new", 7));
}

TEST_F(HostFileRecorder, CloseReportsBytesThatCouldNotBeWritten)
{
    for (const std::int32_t mode : {CDataRecorder::ModeHostFileBinary, CDataRecorder::ModeCFileBinary})
    {
        SCOPED_TRACE(mode);
        recorder.SetMode(mode);
        recorder.SetPath("/dev/full");
        ASSERT_EQ(recorder.OpenWrite(), 0);
        EXPECT_TRUE(recorder.WriteLong(42));
        EXPECT_EQ(recorder.Close(), 1);
    }
}

TEST_F(HostFileRecorder, OpeningFailsWithoutAFileOrItsMark)
{
    struct Case
    {
        const char* name;
        std::int32_t mode;
        std::string pathInFolder;
        bool write;
        const char* content;  // written to the path first when set
    };
    const std::vector<Case> cases {
        {"missing file", CDataRecorder::ModeHostFileBinary, "/missing.bin", false, nullptr},
        {"missing folder", CDataRecorder::ModeHostFileBinary, "/no/such/folder.bin", true, nullptr},
        {"a folder", CDataRecorder::ModeHostFileBinary, "", false, nullptr},
        {"UTF-16 file starting FE FF", CDataRecorder::ModeHostFileUtf16, "/be.txt", false, "\xFE\xFF\0a"},
        {"memory mode", CDataRecorder::ModeMemory, "/missing.bin", false, nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string target = folder.path() + c.pathInFolder;
        if (c.content != nullptr) WriteFile(target, std::string(c.content, 4));
        CDataRecorder opener(CDataRecorder::EncodingCodePage);
        opener.SetMode(c.mode);
        opener.SetPath(target.c_str());
        EXPECT_EQ(c.write ? opener.OpenWrite() : opener.OpenRead(), 1);
    }
    CDataRecorder pathless(CDataRecorder::EncodingCodePage);
    pathless.SetMode(CDataRecorder::ModeHostFileBinary);
    EXPECT_EQ(pathless.OpenRead(), 1);
}

TEST_F(HostFileRecorder, Utf16FileStartsBehindItsMark)
{
    OpenForReading(std::string("\xFF\xFE"
                               "A\0",
                               4),
                   CDataRecorder::ModeHostFileUtf16);
    EXPECT_EQ(recorder.GetPosition(), 2);
    std::int16_t unit = 0;
    EXPECT_TRUE(recorder.ReadShort(unit));
    EXPECT_EQ(unit, 'A');
}

}  // namespace
