#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"

namespace {

using e57test::FieldKind;
using e57test::FieldValue;

constexpr std::uint64_t kRecords = 5003;
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();

struct OddField {
    e57test::FieldLayout layout;
    std::int64_t (*value)(std::uint64_t record);
};

// Widths of 19, 4, 0, 64, 21, 1 and 58 bits: values straddle bytes, words and
// (with tiny packets) packet boundaries.
const std::vector<OddField>& oddFields() {
    static const std::vector<OddField> fields = {
        {{"wide19", FieldKind::Integer, 0, (1 << 19) - 1}, [](std::uint64_t r) { return std::int64_t(r * 7919 % (1 << 19)); }},
        {{"small4", FieldKind::Integer, -5, 5}, [](std::uint64_t r) { return std::int64_t(r % 11) - 5; }},
        {{"constant", FieldKind::Integer, 7, 7}, [](std::uint64_t) { return std::int64_t{7}; }},
        {{"full64", FieldKind::Integer, kMin64, kMax64},
         [](std::uint64_t r) { return r % 2 ? kMax64 - std::int64_t(r) : kMin64 + std::int64_t(r); }},
        {{"scaled21", FieldKind::ScaledInteger, -1000000, 1000000, 0.001, 100.0},
         [](std::uint64_t r) { return std::int64_t(r * 397 % 2000001) - 1000000; }},
        {{"flag", FieldKind::Integer, 0, 1}, [](std::uint64_t r) { return std::int64_t(r % 3 == 0); }},
        {{"wide58", FieldKind::Integer, 0, std::int64_t{1} << 57},
         [](std::uint64_t r) { return std::int64_t((r * 0x9E3779B97F4A7C15ull) >> 7); }},
    };
    return fields;
}

std::string writeOddFile(std::size_t packetFieldBytes, bool indexPacket) {
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

struct PackingCase {
    std::size_t packetFieldBytes;
    bool indexPacket;
    std::size_t block;
};

class OddWidths : public ::testing::TestWithParam<PackingCase> {};

TEST_P(OddWidths, EveryValueComesBackExactly) {
    const PackingCase& setup = GetParam();
    const e57::ImageFile file(writeOddFile(setup.packetFieldBytes, setup.indexPacket));
    const auto points = e57test::scanPoints(file, 0);
    for (const auto& field : oddFields()) {
        const auto values = e57test::readField<std::int64_t>(file, points, field.layout.name, setup.block, false, false);
        ASSERT_EQ(values.size(), kRecords) << field.layout.name;
        for (std::uint64_t r = 0; r < kRecords; ++r)
            ASSERT_EQ(values[r], field.value(r)) << field.layout.name << " record " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(PacketsAndBlocks, OddWidths,
                         ::testing::Values(PackingCase{7, false, 40}, PackingCase{64, true, 1},
                                           PackingCase{16000, true, 997}),
                         [](const ::testing::TestParamInfo<PackingCase>& info) {
                             return "packet" + std::to_string(info.param.packetFieldBytes) + "_block" +
                                    std::to_string(info.param.block) + (info.param.indexPacket ? "_index" : "");
                         });

TEST(BitPacking, AllFieldsTogetherInOneReader) {
    const e57::ImageFile file(writeOddFile(33, false));
    constexpr std::size_t kBlock = 40;
    std::vector<std::vector<std::int64_t>> storage(oddFields().size(), std::vector<std::int64_t>(kBlock));
    std::vector<e57::SourceDestBuffer> buffers;
    for (std::size_t f = 0; f < oddFields().size(); ++f)
        buffers.emplace_back(file, oddFields()[f].layout.name, storage[f].data(), kBlock);
    auto reader = e57test::scanPoints(file, 0).reader(buffers);
    std::uint64_t record = 0;
    while (const std::size_t count = reader.read()) {
        ASSERT_TRUE(count == kBlock || record + count == kRecords) << "a short block before the end";
        for (std::size_t i = 0; i < count; ++i, ++record)
            for (std::size_t f = 0; f < oddFields().size(); ++f)
                ASSERT_EQ(storage[f][i], oddFields()[f].value(record)) << oddFields()[f].layout.name << " " << record;
    }
    EXPECT_EQ(record, kRecords);
    EXPECT_EQ(reader.read(), 0u);
}

}  // namespace
