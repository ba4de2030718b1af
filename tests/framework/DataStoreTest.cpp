#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "InProcessHost.hpp"
#include "framework/CDataStore.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t MAIN = FourCC("MAIN");
constexpr std::int32_t GLOB = FourCC("GLOB");

// Writes its payload as it stands; reads a text.
class Payload : public IFileIO
{
public:
    Bytes payload;
    std::vector<std::int32_t> purposesSeen;
    int writesUntilFailure = -1;  // the write that fails, counted from 0
    bool growOnSecondWrite = false;
    GS::UniString text {"unread"};
    int reads = 0;

    bool Write(CDataRecorder& recorder) override
    {
        purposesSeen.push_back(recorder.GetPurpose());
        const int write = static_cast<int>(purposesSeen.size()) - 1;
        if (write == writesUntilFailure) return false;
        Bytes bytes = payload;
        if (growOnSecondWrite && write == 1) bytes.push_back(0xEE);
        return recorder.WriteBytes(bytes.data(), bytes.size());
    }

    bool Read(CDataRecorder& recorder) override
    {
        ++reads;
        return recorder.ReadUniString(text);
    }
};

Bytes Header(const std::string& name)
{
    Bytes header {0x11, 0x30};
    header.insert(header.end(), name.begin(), name.end());
    const std::string mark = "Modul Header";
    header.insert(header.end(), mark.begin(), mark.end());
    header.insert(header.end(), {0x0C, 0x07});
    return header;
}

// A record: header, platform byte, key bytes as given, then the stream.
Bytes Record(const std::string& name, std::uint8_t platform, const Bytes& key, const Bytes& stream)
{
    Bytes record = Header(name);
    record.push_back(platform);
    record.insert(record.end(), key.begin(), key.end());
    record.insert(record.end(), stream.begin(), stream.end());
    return record;
}

Bytes Text(const std::string& ascii)
{
    Bytes stream {static_cast<std::uint8_t>(ascii.size()), 0, 0, 0};
    for (const char c : ascii) stream.insert(stream.end(), {static_cast<std::uint8_t>(c), 0});
    return stream;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Bytes MainKey {0x4E, 0x49, 0x41, 0x4D};
const Bytes GlobKey {0x42, 0x4F, 0x4C, 0x47};

class DataStoreTest : public ::testing::Test
{
protected:
    TempFolder work;
    InProcessHost host {Options()};

    SimHost::Host::Options Options() const
    {
        SimHost::Host::Options options;
        options.workFolder = work.path();
        return options;
    }

    void PutModuleData(const std::string& name, const Bytes& bytes)
    {
        host->model_.moduleData[GS::UniString(name)] = SimHost::StoredModuleData {1, 0x5757, bytes};
    }
};

TEST_F(DataStoreTest, OneObjectMakesTheThirtyTwoByteBlock)
{
    const Bytes golden {0x11, 0x30, 'S', 'u', 'r', 'v', 'a',  'n',  't',  'o',  'M',  'o',  'd',  'u',  'l',  ' ',
                        'H',  'e',  'a', 'd', 'e', 'r', 0x0C, 0x07, 0x01, 0x4E, 0x49, 0x41, 0x4D, 0x01, 0x02, 0x03};
    Payload object;
    object.payload = {0x01, 0x02, 0x03};
    {
        CDataStore store("Survanto", 40000);
        ASSERT_TRUE(store.Register(&object, MAIN, false));
        EXPECT_TRUE(store.Save(GS::UniString()));
    }
    EXPECT_EQ(host->model_.moduleData[GS::UniString()].bytes, golden);
    EXPECT_EQ(host->Fact("module-data-header \"\""), "version 1, sign WW");
    EXPECT_EQ(object.purposesSeen, (std::vector<std::int32_t> {0, 0}));

    object.purposesSeen.clear();
    {
        CDataStore store("Survanto", 40000);
        ASSERT_TRUE(store.Register(&object, MAIN, false));
        EXPECT_TRUE(store.SaveToPreferences(24));
    }
    ASSERT_TRUE(host->preferences_.has_value());
    EXPECT_EQ(host->preferences_->bytes, golden);
    EXPECT_EQ(host->Fact("preferences-version"), "24");
    EXPECT_EQ(object.purposesSeen, (std::vector<std::int32_t> {FourCC("PREF"), FourCC("PREF")}));
}

TEST_F(DataStoreTest, ReadingFindsRecordsByTheirHeader)
{
    const std::string longName(31, 'n');
    struct Case
    {
        const char* name;
        const char* storeName;
        Bytes block;
        std::string text;  // what the object under "MAIN" holds afterwards
        int reads;
    };
    const std::vector<Case> cases {
        {"own record", "Survanto", Record("Survanto", 1, MainKey, Text("ab")), "ab", 1},
        {"another store's record", "Survanto", Record("Andere", 1, MainKey, Text("ab")), "unread", 0},
        {"the second of two records under one key wins", "Survanto",
         Record("Survanto", 1, MainKey, Text("one")) + Record("Survanto", 1, MainKey, Text("two")), "two", 2},
        {"an unregistered key first", "Survanto",
         Record("Survanto", 1, GlobKey, Text("xy")) + Record("Survanto", 1, MainKey, Text("ab")), "ab", 1},
        {"names that agree in their first 30 bytes", longName.c_str(), Record(longName.substr(0, 30), 1, MainKey, Text("ab")),
         "ab", 1},
        {"a big-endian record", "Survanto", Record("Survanto", 2, {0x4D, 0x41, 0x49, 0x4E}, {0, 0, 0, 2, 'a', 0, 'b', 0}), "ab",
         1},
        {"a block cut inside the key", "Survanto", Record("Survanto", 1, {0x4E, 0x49}, {}), "unread", 0},
        {"a block cut inside the stream", "Survanto", Record("Survanto", 1, MainKey, {3, 0, 0, 0, 'a', 0}), "unread", 1},
        {"a count of 2^31-1", "Survanto", Record("Survanto", 1, MainKey, {0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}), "unread", 1},
        {"no header at all", "Survanto", Bytes {1, 2, 3}, "unread", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PutModuleData("X", c.block);
        Payload object;
        CDataStore store(c.storeName, 40000);
        ASSERT_TRUE(store.Register(&object, MAIN, false));
        EXPECT_TRUE(store.Load(GS::UniString("X")));
        EXPECT_EQ(object.text.ToUtf8(), c.text);
        EXPECT_EQ(object.reads, c.reads);
    }
}

TEST_F(DataStoreTest, ReadObjectsTellsWhetherEveryRequiredObjectWasRead)
{
    Bytes block = Record("Survanto", 1, MainKey, Text("ab"));
    Payload main, global;
    CDataStore store("Survanto", 40000);
    ASSERT_TRUE(store.Register(&main, MAIN, true));
    EXPECT_FALSE(store.Register(&global, MAIN, false));
    ASSERT_TRUE(store.Register(&global, GLOB, false));
    store.GetRecorder().SetMode(CDataRecorder::ModeMemory);
    store.GetRecorder().SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    EXPECT_TRUE(store.ReadObjects());

    CDataStore requiring("Survanto", 40000);
    ASSERT_TRUE(requiring.Register(&global, GLOB, true));
    requiring.GetRecorder().SetMode(CDataRecorder::ModeMemory);
    requiring.GetRecorder().SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    EXPECT_FALSE(requiring.ReadObjects());
}

// A save that cannot write every object exactly as counted stores nothing.
TEST_F(DataStoreTest, AFailedWriteStoresNothing)
{
    struct Case
    {
        const char* name;
        int failingWrite;
        bool grows;
    };
    const std::vector<Case> cases {
        {"count pass fails", 0, false}, {"write pass fails", 1, false}, {"write pass writes more", -1, true}};
    for (const bool preferences : {false, true})
    {
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(c.name) + (preferences ? " (preferences)" : " (module data)"));
            const Bytes before {0xAA};
            PutModuleData("", before);
            host->preferences_ = SimHost::StoredPreferences {3, before};
            Payload object;
            object.payload = {1, 2, 3};
            object.writesUntilFailure = c.failingWrite;
            object.growOnSecondWrite = c.grows;
            CDataStore store("Survanto", 40000);
            ASSERT_TRUE(store.Register(&object, MAIN, false));
            EXPECT_FALSE(preferences ? store.SaveToPreferences(24) : store.Save(GS::UniString()));
            EXPECT_EQ(host->model_.moduleData[GS::UniString()].bytes, before);
            EXPECT_EQ(host->preferences_->bytes, before);
            EXPECT_EQ(host->preferences_->version, 3);
        }
    }
}

TEST_F(DataStoreTest, LoadingWithoutStoredDataKeepsTheObject)
{
    Payload object;
    CDataStore store("Survanto", 40000);
    ASSERT_TRUE(store.Register(&object, MAIN, false));
    EXPECT_FALSE(store.Load(GS::UniString("REPORT")));
    EXPECT_FALSE(store.LoadFromPreferences());
    EXPECT_EQ(object.reads, 0);
}

// The preferences are the work folder's: a host started later on it gets them back.
TEST(DataStorePreferences, ANewHostOnTheSameWorkFolderReadsThemBack)
{
    TempFolder work;
    SimHost::Host::Options options;
    options.workFolder = work.path();
    {
        InProcessHost first(options);
        Payload object;
        object.payload = Text("Pfad");
        CDataStore store("Survanto", 40000);
        ASSERT_TRUE(store.Register(&object, GLOB, false));
        ASSERT_TRUE(store.SaveToPreferences(24));
    }
    InProcessHost second(options);
    EXPECT_EQ(second->Fact("preferences-version"), "24");
    Payload object;
    CDataStore store("Survanto", 40000);
    ASSERT_TRUE(store.Register(&object, GLOB, false));
    EXPECT_TRUE(store.LoadFromPreferences());
    EXPECT_EQ(object.text.ToUtf8(), "Pfad");
}

}  // namespace
