#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"
#include "e57/E57Exception.hpp"
#include "e57/VectorKernels.hpp"

namespace
{

using e57test::FieldKind;
using e57test::FieldValue;

// A count that no run of 8 values divides.
constexpr std::uint64_t kRecords = 1003;

struct MixedField
{
    e57test::FieldLayout layout;
    std::int64_t (*raw)(std::uint64_t record);  // Integer and ScaledInteger
    double (*real)(std::uint64_t record);       // Single and Double
};

// Whole bytes beside odd widths, each in its own stream: an 8-bit field, then a
// 20-bit scaled one that leaves the byte boundary, a word, 12 and 3 bits (the latter
// not filling its width), 33 bits scaled, doubles and singles.
const std::vector<MixedField>& mixedFields()
{
    static const std::vector<MixedField> fields = {
        {{"colour", FieldKind::Integer, 0, 255}, [](std::uint64_t r) { return std::int64_t(r * 7 % 256); }, nullptr},
        {{"scaled20", FieldKind::ScaledInteger, -500000, 500000, 0.00004, 0.0},
         [](std::uint64_t r) { return std::int64_t(r * 7919 % 1000001) - 500000; },
         nullptr},
        {{"word", FieldKind::Integer, -40000, 25535},
         [](std::uint64_t r) { return std::int64_t(r * 2311 % 65536) - 40000; },
         nullptr},
        {{"odd12", FieldKind::Integer, -7, 4088}, [](std::uint64_t r) { return std::int64_t(r * 97 % 4096) - 7; }, nullptr},
        {{"partial3", FieldKind::Integer, 0, 5}, [](std::uint64_t r) { return std::int64_t(r % 6); }, nullptr},
        {{"scaled33", FieldKind::ScaledInteger, -4294967296, 4294967295, 0.5, -3.0},
         [](std::uint64_t r) { return std::int64_t(r * 0x9E3779B9ull % 8589934592ull) - 4294967296; },
         nullptr},
        {{"double", FieldKind::Double}, nullptr, [](std::uint64_t r) { return double(r) * 1.25 - 17.0; }},
        {{"single", FieldKind::Single}, nullptr, [](std::uint64_t r) { return double(float(double(r) * 0.5 + 0.25)); }},
    };
    return fields;
}

// The value a double buffer takes: raw integer first, then scale and offset.
double expectedReal(const MixedField& field, std::uint64_t record)
{
    if (field.real) return field.real(record);
    const double raw = double(field.raw(record));
    return field.layout.kind == FieldKind::ScaledInteger ? raw * field.layout.scale + field.layout.offset : raw;
}

std::string writeMixedFile(std::size_t packetFieldBytes)
{
    e57test::ScanLayout scan;
    scan.name = "mixed";
    for (const auto& field : mixedFields()) scan.fields.push_back(field.layout);
    scan.recordCount = kRecords;
    scan.packetFieldBytes = packetFieldBytes;
    scan.source = [](std::uint64_t record, FieldValue* values) {
        for (std::size_t f = 0; f < mixedFields().size(); ++f)
        {
            const auto& field = mixedFields()[f];
            if (field.raw)
                values[f].integer = field.raw(record);
            else
                values[f].real = field.real(record);
        }
    };
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    const std::string path = e57test::scratchPath("mixed-" + std::to_string(packetFieldBytes) + ".e57");
    writer.write(path);
    return path;
}

struct KernelCase
{
    bool vector;
    std::size_t packetFieldBytes;
    std::size_t block;
};

// Reads with the AVX2 kernels allowed or not, and leaves them allowed afterwards.
class ReadKernels : public ::testing::TestWithParam<KernelCase>
{
protected:
    void SetUp() override { e57::VectorKernels::allow(GetParam().vector); }
    void TearDown() override { e57::VectorKernels::allow(true); }
};

TEST_P(ReadKernels, EachFieldAsRawIntegersAndAsScaledDoubles)
{
    const e57::ImageFile file(writeMixedFile(GetParam().packetFieldBytes));
    const auto points = e57test::scanPoints(file, 0);
    for (const auto& field : mixedFields())
    {
        const auto real = e57test::readField<double>(file, points, field.layout.name, GetParam().block, true, true);
        ASSERT_EQ(real.size(), kRecords) << field.layout.name;
        for (std::uint64_t r = 0; r < kRecords; ++r) ASSERT_EQ(real[r], expectedReal(field, r)) << field.layout.name << " " << r;
        if (!field.raw) continue;
        const auto raw = e57test::readField<std::int64_t>(file, points, field.layout.name, GetParam().block, false, false);
        ASSERT_EQ(raw.size(), kRecords) << field.layout.name;
        for (std::uint64_t r = 0; r < kRecords; ++r) ASSERT_EQ(raw[r], field.raw(r)) << field.layout.name << " " << r;
    }
}

// Every field into one array of records, each value a double 8 fields apart.
TEST_P(ReadKernels, AllFieldsInterleavedInOneArray)
{
    const e57::ImageFile file(writeMixedFile(GetParam().packetFieldBytes));
    const std::size_t fields = mixedFields().size(), block = GetParam().block;
    std::vector<double> records(block * fields);
    std::vector<e57::SourceDestBuffer> buffers;
    for (std::size_t f = 0; f < fields; ++f)
        buffers.emplace_back(file, mixedFields()[f].layout.name, records.data() + f, block, true, true, fields * sizeof(double));
    auto reader = e57test::scanPoints(file, 0).reader(buffers);
    std::uint64_t record = 0;
    while (const std::size_t count = reader.read())
        for (std::size_t i = 0; i < count; ++i, ++record)
            for (std::size_t f = 0; f < fields; ++f)
                ASSERT_EQ(records[i * fields + f], expectedReal(mixedFields()[f], record))
                    << mixedFields()[f].layout.name << " " << record;
    EXPECT_EQ(record, kRecords);
}

// A stored value above the declared maximum (the file claims less than it holds) is
// refused by name, also when it is converted in a wide loop.
TEST_P(ReadKernels, StoredValueAboveTheRangeIsNamed)
{
    struct Edit
    {
        std::string field;
        std::string from;
        std::string to;
        std::string stored;
    };
    const Edit edits[] = {
        {"partial3", "minimum=\"0\" maximum=\"5\"", "minimum=\"0\" maximum=\"4\"", "stored value 5 "},
        {"scaled20", "minimum=\"-500000\" maximum=\"500000\"", "minimum=\"-500000\" maximum=\"496885\"", "stored value 997794 "},
    };
    const auto original = e57test::readBytes(writeMixedFile(GetParam().packetFieldBytes));
    for (const Edit& edit : edits)
    {
        const auto bytes = e57test::withEditedXml(original, [&](std::string xml) {
            const auto at = xml.find(edit.from);
            if (at != std::string::npos) xml.replace(at, edit.from.size(), edit.to);
            return xml;
        });
        const std::string path = e57test::scratchPath("above-" + edit.field + ".e57");
        e57test::writeBytes(path, bytes);
        const e57::ImageFile file(path);
        try
        {
            e57test::readField<double>(file, e57test::scanPoints(file, 0), edit.field, GetParam().block, true, true);
            ADD_FAILURE() << edit.field << ": a value above the range was read";
        }
        catch (const e57::E57Exception& error)
        {
            EXPECT_EQ(error.code(), e57::ErrorCode::ValueNotRepresentable) << error.what();
            EXPECT_NE(std::string(error.what()).find(edit.stored), std::string::npos) << error.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PacketsBlocksAndKernels, ReadKernels,
                         ::testing::Values(KernelCase {false, 37, 7}, KernelCase {true, 37, 7}, KernelCase {false, 16000, 100},
                                           KernelCase {true, 16000, 100}, KernelCase {false, 333, 1},
                                           KernelCase {true, 4096, 2000}),
                         [](const ::testing::TestParamInfo<KernelCase>& info) {
                             return std::string(info.param.vector ? "vector" : "portable") + "_packet" +
                                    std::to_string(info.param.packetFieldBytes) + "_block" + std::to_string(info.param.block);
                         });

// A page that holds bytes of an unbound field only is checked all the same.
TEST(ReadKernels, PagesOfFieldsWithoutBufferAreChecked)
{
    e57test::ScanLayout scan;
    scan.name = "unbound";
    scan.fields = {{"bound", FieldKind::Double}, {"unbound", FieldKind::Integer, 0, 4294967295}};
    scan.recordCount = 20000;
    scan.source = [](std::uint64_t record, FieldValue* values) {
        values[0].real = double(record) * 0.5;
        values[1].integer = 0xABABABAB;
    };
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    const std::string intact = e57test::scratchPath("unbound.e57");
    writer.write(intact);
    auto bytes = e57test::readBytes(intact);
    // A page whose payload is the unbound field's bytes alone.
    std::size_t page = 0;
    const std::vector<unsigned char> pattern(1020, 0xAB);
    while (page * 1024 + 1024 <= bytes.size() && std::memcmp(bytes.data() + page * 1024, pattern.data(), 1020) != 0) ++page;
    ASSERT_LT(page * 1024 + 1024, bytes.size()) << "no page of the unbound field alone";
    bytes[page * 1024 + 1023] ^= 0x01;
    const std::string damaged = e57test::scratchPath("unbound-damaged.e57");
    e57test::writeBytes(damaged, bytes);

    const auto readBound = [](const std::string& path, int checksums) {
        const e57::ImageFile file(path, "r", checksums);
        return e57test::readField<double>(file, e57test::scanPoints(file, 0), "bound", 1000);
    };
    EXPECT_EQ(readBound(intact, 100).size(), 20000u);
    EXPECT_EQ(readBound(damaged, 0).size(), 20000u);
    try
    {
        readBound(damaged, 100);
        ADD_FAILURE() << "the damaged page was not checked";
    }
    catch (const e57::E57Exception& error)
    {
        EXPECT_EQ(error.code(), e57::ErrorCode::BadChecksum);
        EXPECT_NE(std::string(error.what()).find("page " + std::to_string(page) + " "), std::string::npos) << error.what();
    }
}

}  // namespace
