#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"
#include "e57/E57Exception.hpp"

namespace
{

using e57test::FieldKind;
using e57test::FieldValue;

constexpr std::uint64_t kRecords = 5003;
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();

struct OddField
{
    e57test::FieldLayout layout;
    std::int64_t (*value)(std::uint64_t record);
};

// Widths of 19, 4, 0, 64, 21, 1 and 58 bits: values straddle bytes, words and
// (with tiny packets) packet boundaries.
const std::vector<OddField>& oddFields()
{
    static const std::vector<OddField> fields = {
        {{"wide19", FieldKind::Integer, 0, (1 << 19) - 1}, [](std::uint64_t r) { return std::int64_t(r * 7919 % (1 << 19)); }},
        {{"small4", FieldKind::Integer, -5, 5}, [](std::uint64_t r) { return std::int64_t(r % 11) - 5; }},
        {{"constant", FieldKind::Integer, 7, 7}, [](std::uint64_t) { return std::int64_t {7}; }},
        {{"full64", FieldKind::Integer, kMin64, kMax64},
         [](std::uint64_t r) { return r % 2 ? kMax64 - std::int64_t(r) : kMin64 + std::int64_t(r); }},
        {{"scaled21", FieldKind::ScaledInteger, -1000000, 1000000, 0.001, 100.0},
         [](std::uint64_t r) { return std::int64_t(r * 397 % 2000001) - 1000000; }},
        {{"flag", FieldKind::Integer, 0, 1}, [](std::uint64_t r) { return std::int64_t(r % 3 == 0); }},
        {{"wide58", FieldKind::Integer, 0, std::int64_t {1} << 57},
         [](std::uint64_t r) { return std::int64_t((r * 0x9E3779B97F4A7C15ull) >> 7); }},
    };
    return fields;
}

std::string writeOddFile(std::size_t packetFieldBytes, bool indexPacket)
{
    e57test::ScanLayout scan;
    scan.name = "odd";
    for (const auto& field : oddFields()) scan.fields.push_back(field.layout);
    scan.recordCount = kRecords;
    scan.packetFieldBytes = packetFieldBytes;
    scan.indexPacket = indexPacket;
    scan.source = [](std::uint64_t record, FieldValue* values) {
        for (std::size_t f = 0; f < oddFields().size(); ++f) values[f].integer = oddFields()[f].value(record);
    };
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    const std::string path =
        e57test::scratchPath("odd-" + std::to_string(packetFieldBytes) + (indexPacket ? "-index" : "") + ".e57");
    writer.write(path);
    return path;
}

struct PackingCase
{
    std::size_t packetFieldBytes;
    bool indexPacket;
    std::size_t block;
};

class OddWidths : public ::testing::TestWithParam<PackingCase>
{};

TEST_P(OddWidths, EveryValueComesBackExactly)
{
    const PackingCase& setup = GetParam();
    const e57::ImageFile file(writeOddFile(setup.packetFieldBytes, setup.indexPacket));
    const auto points = e57test::scanPoints(file, 0);
    for (const auto& field : oddFields())
    {
        const auto values = e57test::readField<std::int64_t>(file, points, field.layout.name, setup.block, false, false);
        ASSERT_EQ(values.size(), kRecords) << field.layout.name;
        for (std::uint64_t r = 0; r < kRecords; ++r) ASSERT_EQ(values[r], field.value(r)) << field.layout.name << " record " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(PacketsAndBlocks, OddWidths,
                         ::testing::Values(PackingCase {7, false, 40}, PackingCase {64, true, 1}, PackingCase {16000, true, 997}),
                         [](const ::testing::TestParamInfo<PackingCase>& info) {
                             return "packet" + std::to_string(info.param.packetFieldBytes) + "_block" +
                                    std::to_string(info.param.block) + (info.param.indexPacket ? "_index" : "");
                         });

TEST(BitPacking, AllFieldsTogetherInOneReader)
{
    const e57::ImageFile file(writeOddFile(33, false));
    constexpr std::size_t kBlock = 40;
    std::vector<std::vector<std::int64_t>> storage(oddFields().size(), std::vector<std::int64_t>(kBlock));
    std::vector<e57::SourceDestBuffer> buffers;
    for (std::size_t f = 0; f < oddFields().size(); ++f)
        buffers.emplace_back(file, oddFields()[f].layout.name, storage[f].data(), kBlock);
    auto reader = e57test::scanPoints(file, 0).reader(buffers);
    std::uint64_t record = 0;
    while (const std::size_t count = reader.read())
    {
        ASSERT_TRUE(count == kBlock || record + count == kRecords) << "a short block before the end";
        for (std::size_t i = 0; i < count; ++i, ++record)
            for (std::size_t f = 0; f < oddFields().size(); ++f)
                ASSERT_EQ(storage[f][i], oddFields()[f].value(record)) << oddFields()[f].layout.name << " " << record;
    }
    EXPECT_EQ(record, kRecords);
    EXPECT_EQ(reader.read(), 0u);
}

// Whole bytes, words and double words, full and partly used, and a scaled word:
// read packed, interleaved and converted, each value as it was written.
struct WholeField
{
    e57test::FieldLayout layout;
    std::int64_t (*value)(std::uint64_t record);
};

const std::vector<WholeField>& wholeFields()
{
    static const std::vector<WholeField> fields = {
        {{"byte", FieldKind::Integer, 0, 255}, [](std::uint64_t r) { return std::int64_t(r * 31 % 256); }},
        {{"partByte", FieldKind::Integer, -100, 120}, [](std::uint64_t r) { return std::int64_t(r * 7 % 221) - 100; }},
        {{"word", FieldKind::Integer, -40000, 25535}, [](std::uint64_t r) { return std::int64_t(r * 2311 % 65536) - 40000; }},
        {{"dword", FieldKind::Integer, 0, 4294967295},
         [](std::uint64_t r) { return std::int64_t(r * 2654435761u % 4294967296u); }},
        {{"scaledWord", FieldKind::ScaledInteger, -32768, 32767, 0.25, 10.0},
         [](std::uint64_t r) { return std::int64_t(r * 4099 % 65536) - 32768; }},
    };
    return fields;
}

class WholeBytes : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        e57test::ScanLayout scan;
        scan.name = "whole";
        for (const auto& field : wholeFields()) scan.fields.push_back(field.layout);
        scan.recordCount = kRecords;
        scan.packetFieldBytes = 333;
        scan.source = [](std::uint64_t record, FieldValue* values) {
            for (std::size_t f = 0; f < wholeFields().size(); ++f) values[f].integer = wholeFields()[f].value(record);
        };
        e57test::E57TestWriter writer;
        writer.addScan(scan);
        path_ = e57test::scratchPath("whole-bytes.e57");
        writer.write(path_);
    }
    static std::string path_;
};

std::string WholeBytes::path_;

TEST_F(WholeBytes, PackedAndAsDoubles)
{
    const e57::ImageFile file(path_);
    const auto points = e57test::scanPoints(file, 0);
    for (const auto& field : wholeFields())
    {
        const bool scaled = field.layout.kind == FieldKind::ScaledInteger;
        const auto raw = e57test::readField<std::int64_t>(file, points, field.layout.name, 997, false, false);
        const auto real = e57test::readField<double>(file, points, field.layout.name, 40, true, true);
        ASSERT_EQ(raw.size(), kRecords) << field.layout.name;
        ASSERT_EQ(real.size(), kRecords) << field.layout.name;
        for (std::uint64_t r = 0; r < kRecords; ++r)
        {
            const std::int64_t expected = field.value(r);
            ASSERT_EQ(raw[r], expected) << field.layout.name << " record " << r;
            ASSERT_EQ(real[r], scaled ? double(expected) * 0.25 + 10.0 : double(expected)) << field.layout.name << " " << r;
        }
    }
}

// Every field into one array of records 40 bytes apart, read 40 records at a time
// into slots side by side; a read past the capacity is refused.
TEST_F(WholeBytes, InterleavedReadsSideBySide)
{
    const e57::ImageFile file(path_);
    constexpr std::size_t kSlots = 120;
    std::vector<std::int64_t> records(kSlots * 5);
    std::vector<e57::SourceDestBuffer> buffers;
    for (std::size_t f = 0; f < wholeFields().size(); ++f)
        buffers.emplace_back(file, wholeFields()[f].layout.name, records.data() + f, kSlots, false, false,
                             5 * sizeof(std::int64_t));
    auto reader = e57test::scanPoints(file, 0).reader(buffers);
    std::uint64_t record = 0;
    for (;;)
    {
        std::size_t got = 0;
        for (std::size_t first = 0; first < kSlots; first += 40) got += reader.read(first, 40);
        for (std::size_t i = 0; i < got; ++i, ++record)
            for (std::size_t f = 0; f < wholeFields().size(); ++f)
                ASSERT_EQ(records[i * 5 + f], wholeFields()[f].value(record)) << wholeFields()[f].layout.name << " " << record;
        if (got < kSlots) break;
    }
    EXPECT_EQ(record, kRecords);
    auto again = e57test::scanPoints(file, 0).reader(buffers);
    EXPECT_THROW(again.read(100, 40), e57::E57Exception);
}

// A narrow buffer takes a field whose range fits it and refuses one whose does not.
TEST_F(WholeBytes, NarrowBuffers)
{
    const e57::ImageFile file(path_);
    const auto points = e57test::scanPoints(file, 0);
    const auto fitting = e57test::readField<std::int8_t>(file, points, "partByte", 40, false, false);
    ASSERT_EQ(fitting.size(), kRecords);
    for (std::uint64_t r = 0; r < kRecords; ++r) ASSERT_EQ(fitting[r], wholeFields()[1].value(r)) << r;
    try
    {
        e57test::readField<std::uint8_t>(file, points, "partByte", 40, false, false);
        FAIL() << "a negative value went into an unsigned byte";
    }
    catch (const e57::E57Exception& error)
    {
        EXPECT_EQ(error.code(), e57::ErrorCode::ValueNotRepresentable);
    }
}

}  // namespace
