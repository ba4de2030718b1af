#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"
#include "e57/Crc32c.hpp"
#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "e57/VectorNode.hpp"

namespace
{

using Bytes = std::vector<unsigned char>;

template <typename T>
T load(const Bytes& bytes, std::size_t at)
{
    T value {};
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::size_t toLogical(std::uint64_t physical) { return physical / 1024 * 1020 + physical % 1024; }

unsigned bitsOf(const e57::Node& field)
{
    if (field.is(e57::NodeType::Float)) return e57::FloatNode(field).isSinglePrecision() ? 32 : 64;
    const auto range =
        field.is(e57::NodeType::Integer)
            ? std::uint64_t(e57::IntegerNode(field).maximum()) - std::uint64_t(e57::IntegerNode(field).minimum())
            : std::uint64_t(e57::ScaledIntegerNode(field).maximum()) - std::uint64_t(e57::ScaledIntegerNode(field).minimum());
    unsigned bits = 0;
    while (bits < 64 && (range >> bits) != 0) ++bits;
    return bits;
}

// Checks, independently of the reader, the layout rules the reader relies on;
// returns every rule that is broken.
std::vector<std::string> brokenRules(const std::string& path)
{
    std::vector<std::string> broken;
    const auto rule = [&](bool holds, const std::string& text) {
        if (!holds) broken.push_back(text);
    };
    const Bytes file = e57test::readBytes(path);
    rule(std::memcmp(file.data(), "ASTM-E57", 8) == 0, "signature");
    rule(load<std::uint32_t>(file, 8) == 1 && load<std::uint32_t>(file, 12) == 0, "version 1.0");
    rule(load<std::uint64_t>(file, 16) == file.size() && file.size() % 1024 == 0, "length in whole pages");
    rule(load<std::uint64_t>(file, 40) == 1024, "page size");
    for (std::size_t page = 0; page < file.size() / 1024; ++page)
    {
        const std::uint32_t crc = e57::Crc32c::computeWithTable(file.data() + page * 1024, 1020);
        const unsigned char* stored = file.data() + page * 1024 + 1020;
        rule(stored[0] == (crc >> 24) && stored[1] == ((crc >> 16) & 0xFF) && stored[2] == ((crc >> 8) & 0xFF) &&
                 stored[3] == (crc & 0xFF),
             "big-endian CRC-32C on page " + std::to_string(page));
    }
    Bytes logical;
    for (std::size_t page = 0; page < file.size() / 1024; ++page)
        logical.insert(logical.end(), file.begin() + page * 1024, file.begin() + page * 1024 + 1020);
    const std::size_t xmlStart = toLogical(load<std::uint64_t>(file, 24));
    const std::string xml(logical.begin() + xmlStart, logical.begin() + xmlStart + load<std::uint64_t>(file, 32));

    const e57::ImageFile image(path);
    const e57::VectorNode scans(image.root().get("/data3D"));
    const std::regex pointsPattern("<points type=\"CompressedVector\" fileOffset=\"(\\d+)\"");
    auto match = std::sregex_iterator(xml.begin(), xml.end(), pointsPattern);
    for (std::int64_t s = 0; s < scans.childCount(); ++s, ++match)
    {
        const auto points = e57test::scanPoints(image, int(s));
        const std::uint64_t records = std::uint64_t(points.childCount());
        if (records == 0) continue;
        const std::size_t start = toLogical(std::stoull((*match)[1]));
        const std::string scan = "scan " + std::to_string(s) + ": ";
        rule(logical[start] == 1, scan + "section id 1");
        const std::size_t end = start + load<std::uint64_t>(logical, start + 8);
        rule((end - start) % 4 == 0, scan + "section length a multiple of 4");
        const e57::StructureNode prototype = points.prototype();
        const std::size_t fields = std::size_t(prototype.childCount());
        std::vector<std::uint64_t> streamBytes(fields, 0);
        std::size_t packet = toLogical(load<std::uint64_t>(logical, start + 16));
        while (packet < end)
        {
            const std::size_t length = std::size_t(load<std::uint16_t>(logical, packet + 2)) + 1;
            const std::string at = scan + "packet at " + std::to_string(packet) + ": ";
            rule(packet % 4 == 0 && length % 4 == 0, at + "4-byte aligned");
            rule(logical[packet] <= 2, at + "type 0, 1 or 2");
            rule(packet + length <= end, at + "inside the section");
            if (logical[packet] == 1)
            {
                rule(load<std::uint16_t>(logical, packet + 4) == fields, at + "one bytestream per field");
                for (std::size_t f = 0; f < fields; ++f) streamBytes[f] += load<std::uint16_t>(logical, packet + 6 + 2 * f);
            }
            packet += length;
        }
        for (std::size_t f = 0; f < fields; ++f)
        {
            const std::uint64_t needed = (records * bitsOf(prototype.get(std::int64_t(f))) + 7) / 8;
            rule(streamBytes[f] >= needed && streamBytes[f] <= needed + 3,
                 scan + prototype.get(std::int64_t(f)).elementName() + " holds its records and at most 3 bytes more");
        }
    }
    return broken;
}

std::string writerFixture()
{
    e57test::ScanLayout scan;
    scan.name = "rules";
    scan.fields = {{"cartesianX", e57test::FieldKind::Double},
                   {"cartesianY", e57test::FieldKind::ScaledInteger, -262144, 262143, 1e-6},
                   {"cartesianZ", e57test::FieldKind::Single},
                   {"colorRed", e57test::FieldKind::Integer, 0, 255},
                   {"isColorInvalid", e57test::FieldKind::Integer, 0, 0}};
    scan.recordCount = 20011;
    scan.indexPacket = true;
    scan.source = [](std::uint64_t r, e57test::FieldValue* v) {
        v[0].real = double(r) / 3;
        v[1].integer = std::int64_t(r * 13 % 524288) - 262144;
        v[2].real = double(r);
        v[3].integer = std::int64_t(r % 256);
    };
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    writer.addScan(scan);
    const std::string path = e57test::scratchPath("rules.e57");
    writer.write(path);
    return path;
}

TEST(FileRules, WriterAndSampleFilesFollowTheSameRules)
{
    std::vector<std::string> paths = {writerFixture()};
    for (const char* name : {"bunnyDouble.e57", "bunnyFloat.e57", "bunnyInt19.e57", "ColouredCubeFloat.e57",
                             "tinyCartesianFloatRgb.e57", "ColourRepresentation.e57", "cartesian_invalid_state_single.e57",
                             "integer_intensity.e57", "float_intensity_without_min_max.e57", "tiny_spherical.e57",
                             "tiny_pc_and_images.e57", "translationWithoutRotation.e57", "ZeroPoints.e57", "empty.e57"})
        paths.push_back(e57test::samplePath(name));
    for (const auto& path : paths)
    {
        const auto broken = brokenRules(path);
        EXPECT_TRUE(broken.empty()) << path << " breaks: " << ::testing::PrintToString(broken);
    }
}

}  // namespace
