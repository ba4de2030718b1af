#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "CaseName.hpp"
#include "E57TestWriter.hpp"
#include "ReadEverything.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"
#include "e57/BlobNode.hpp"

namespace
{

using Bytes = std::vector<unsigned char>;
using e57test::readBytes;
using e57test::samplePath;

// The code and message of the refusal; fails the test when the file is accepted
// or refused with anything but the reader's own exception.
std::pair<e57::ErrorCode, std::string> refusal(const std::string& path)
{
    try
    {
        e57test::readEverything(path);
    }
    catch (const e57::E57Exception& error)
    {
        return {error.code(), error.what()};
    }
    ADD_FAILURE() << path << " was accepted";
    return {e57::ErrorCode::BadArgument, ""};
}

std::string saved(const std::string& name, const Bytes& bytes)
{
    const std::string path = e57test::scratchPath(name);
    e57test::writeBytes(path, bytes);
    return path;
}

void putU64(Bytes& bytes, std::size_t at, std::uint64_t value) { std::memcpy(bytes.data() + at, &value, 8); }

struct BrokenCase
{
    std::string name;
    std::function<Bytes()> make;
    e57::ErrorCode code;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const BrokenCase& broken) { return out << broken.name; }

Bytes tiny() { return readBytes(samplePath("tinyCartesianFloatRgb.e57")); }

Bytes resealed(Bytes bytes)
{
    e57test::resealPages(bytes);
    return bytes;
}

Bytes xmlReplaced(const std::string& from, const std::string& to)
{
    return e57test::withEditedXml(tiny(), [&](const std::string& xml) {
        std::string edited = xml;
        if (edited.find(from) == std::string::npos) throw std::runtime_error("no " + from + " in the XML");
        for (auto at = edited.find(from); at != std::string::npos; at = edited.find(from, at + to.size()))
            edited.replace(at, from.size(), to);
        return edited;
    });
}

const BrokenCase kBroken[] = {
    {"bad-crc sample", [] { return readBytes(samplePath("bad-crc.e57")); }, e57::ErrorCode::BadChecksum, "page 0 "},
    {"corrupt_crc sample", [] { return readBytes(samplePath("corrupt_crc.e57")); }, e57::ErrorCode::BadChecksum, "page 33 "},
    {"InvalidCVHeader sample", [] { return readBytes(samplePath("InvalidCVHeader.e57")); }, e57::ErrorCode::BadSectionHeader,
     "section id 182"},
    {"header length too long",
     [] {
         Bytes bytes = tiny();
         putU64(bytes, 16, bytes.size() + 1024);
         return resealed(bytes);
     },
     e57::ErrorCode::BadFileLength, "gives a length of 35840 bytes, the file has 34816"},
    {"extra page",
     [] {
         Bytes bytes = tiny();
         bytes.resize(bytes.size() + 1024, 0);
         return resealed(bytes);
     },
     e57::ErrorCode::BadFileLength, "the file has 35840"},
    {"partial page",
     [] {
         Bytes bytes = tiny();
         bytes.resize(bytes.size() - 100);
         return bytes;
     },
     e57::ErrorCode::BadFileLength, "not whole 1024-byte pages"},
    {"shorter than a header",
     [] {
         Bytes bytes = tiny();
         bytes.resize(40);
         return bytes;
     },
     e57::ErrorCode::BadFileHeader, "less than a header"},
    {"signature",
     [] {
         Bytes bytes = tiny();
         bytes[4] = 'X';
         return resealed(bytes);
     },
     e57::ErrorCode::BadFileHeader, "signature"},
    {"major version",
     [] {
         Bytes bytes = tiny();
         bytes[8] = 2;
         return resealed(bytes);
     },
     e57::ErrorCode::BadFileHeader, "major version 2"},
    {"XML beyond the file",
     [] {
         Bytes bytes = tiny();
         putU64(bytes, 32, 1ull << 40);
         return resealed(bytes);
     },
     e57::ErrorCode::BadFileHeader, "does not lie inside the file"},
    {"section length beyond the file",
     [] {
         Bytes bytes = tiny();
         putU64(bytes, 48 + 8, 1ull << 40);
         return resealed(bytes);
     },
     e57::ErrorCode::BadSectionHeader, "does not fit the file"},
    {"unknown packet type",
     [] {
         Bytes bytes = tiny();
         bytes[80] = 9;
         return resealed(bytes);
     },
     e57::ErrorCode::BadPacket, "unknown type 9"},
    {"bytestream count",
     [] {
         Bytes bytes = tiny();
         bytes[84] = 5;
         return resealed(bytes);
     },
     e57::ErrorCode::BadPacket, "has 5 bytestreams, the prototype 6 fields"},
    {"record count beyond the section", [] { return xmlReplaced("recordCount=\"2090\"", "recordCount=\"999999999999\""); },
     e57::ErrorCode::BadSectionHeader, "cannot fit a section"},
    {"more records than the packets hold", [] { return xmlReplaced("recordCount=\"2090\"", "recordCount=\"2091\""); },
     e57::ErrorCode::BadPacket, "the section ends after"},
    {"missing prototype", [] { return xmlReplaced("prototype", "prototypo"); }, e57::ErrorCode::BadNode, "has no prototype"},
    {"document type declaration",
     [] { return xmlReplaced("<e57Root", "<!DOCTYPE e57Root [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n<e57Root"); },
     e57::ErrorCode::BadXml, "document type declarations are not allowed"},
    {"unknown node type", [] { return xmlReplaced("type=\"Structure\"", "type=\"Structur\""); }, e57::ErrorCode::BadXml,
     "unknown type 'Structur'"},
    {"malformed XML", [] { return xmlReplaced("</e57Root>", "</e57Roo>"); }, e57::ErrorCode::BadXml, "line"},
};

class BrokenFile : public ::testing::TestWithParam<BrokenCase>
{};

TEST_P(BrokenFile, IsRefusedWithAClearMessage)
{
    const BrokenCase& broken = GetParam();
    const auto [code, message] = refusal(saved("broken.e57", broken.make()));
    EXPECT_EQ(code, broken.code) << message;
    EXPECT_NE(message.find(broken.message), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenFile, ::testing::ValuesIn(kBroken), CaseName());

TEST(BrokenInput, InvalidSectionHeaderStillListsTheScan)
{
    const e57::ImageFile file(samplePath("InvalidCVHeader.e57"));
    const auto points = e57test::scanPoints(file, 0);
    EXPECT_EQ(points.childCount(), 0);
    double x[40];
    EXPECT_THROW(points.reader({e57::SourceDestBuffer(file, "cartesianX", x, 40)}), e57::E57Exception);
}

// A scan of constant fields alone costs no bits a record: its count is still bounded by
// the section, so that a small file cannot claim points without end.
TEST(BrokenInput, ConstantFieldsCannotClaimMoreRecordsThanTheSectionHasBits)
{
    e57test::ScanLayout scan;
    scan.name = "constant";
    scan.fields = {{"cartesianX", e57test::FieldKind::Integer, 7, 7},
                   {"cartesianY", e57test::FieldKind::Integer, 8, 8},
                   {"cartesianZ", e57test::FieldKind::Integer, 9, 9}};
    scan.recordCount = 3;
    scan.source = [](std::uint64_t, e57test::FieldValue* v) { v[0].integer = 7, v[1].integer = 8, v[2].integer = 9; };
    for (const std::uint64_t claimed : {std::uint64_t {256}, std::uint64_t {1} << 40})
    {
        scan.claimedRecordCount = claimed;
        e57test::E57TestWriter writer;
        writer.addScan(scan);
        const std::string path = e57test::scratchPath("constant.e57");
        writer.write(path);
        if (claimed == 256)
        {
            EXPECT_EQ(e57test::readEverything(path), 256u);
            continue;
        }
        const auto [code, message] = refusal(path);
        EXPECT_EQ(code, e57::ErrorCode::BadSectionHeader);
        EXPECT_NE(message.find("1099511627776 records of any field cannot fit a section of 32 bytes"), std::string::npos)
            << message;
    }
}

TEST(BrokenInput, BlobLengthThatWrapsAroundIsRefused)
{
    const Bytes bytes = e57test::withEditedXml(readBytes(samplePath("tiny_pc_and_images.e57")), [](std::string xml) {
        const std::string from = "fileOffset=\"116\" length=\"7722\"";
        xml.replace(xml.find(from), from.size(), "fileOffset=\"116\" length=\"18446744073709551615\"");
        return xml;
    });
    const e57::ImageFile file(saved("blob.e57", bytes));
    const e57::BlobNode jpeg(file.root().get("/images2D/0/visualReferenceRepresentation/jpegImage"));
    unsigned char start[2];
    try
    {
        jpeg.read(start, 0, 2);
        ADD_FAILURE() << "a blob longer than its section was read";
    }
    catch (const e57::E57Exception& error)
    {
        EXPECT_EQ(error.code(), e57::ErrorCode::BadSectionHeader) << error.what();
    }
}

TEST(BrokenInput, ChecksumPolicyDecidesWhichPagesAreTested)
{
    // A damaged checksum on page 5, in the middle of the point data.
    Bytes bytes = readBytes(samplePath("bunnyDouble.e57"));
    bytes[5 * 1024 + 1023] ^= 0x01;
    const std::string path = saved("policy.e57", bytes);
    EXPECT_EQ(refusal(path).first, e57::ErrorCode::BadChecksum);
    EXPECT_EQ(e57test::readEverything(path, 0), 30571u);
    EXPECT_EQ(e57test::readEverything(path, 50), 30571u);  // odd pages are left out at 50 %
    bytes[5 * 1024 + 1023] ^= 0x01;
    bytes[4 * 1024 + 1023] ^= 0x01;
    const std::string evenPage = saved("policy-even.e57", bytes);
    EXPECT_NE(refusal(evenPage).second.find("page 4 "), std::string::npos);
    EXPECT_THROW(e57test::readEverything(evenPage, 50), e57::E57Exception);
}

// Mutated files may be accepted or refused, but only ever with the reader's exception.
void expectOnlyCleanOutcomes(const Bytes& bytes, const std::string& what)
{
    const std::string path = saved("mutant.e57", bytes);
    try
    {
        e57test::readEverything(path);
    }
    catch (const e57::E57Exception&)
    {}
    catch (const std::exception& other)
    {
        ADD_FAILURE() << what << ": " << other.what();
    }
}

TEST(BrokenInput, TruncatedCopies)
{
    for (const char* name : {"tinyCartesianFloatRgb.e57", "ColourRepresentation.e57", "tiny_pc_and_images.e57"})
    {
        const Bytes whole = readBytes(samplePath(name));
        for (std::size_t size = 0; size < whole.size(); size += (size < 2048 ? 61 : 1024))
        {
            Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            expectOnlyCleanOutcomes(cut, std::string(name) + " cut to " + std::to_string(size));
        }
    }
}

TEST(BrokenInput, BitFlippedCopiesWithValidChecksums)
{
    std::mt19937 random(2807);
    for (const char* name : {"ColourRepresentation.e57", "integer_intensity.e57", "bunnyInt19.e57"})
    {
        const Bytes original = readBytes(samplePath(name));
        for (int round = 0; round < 150; ++round)
        {
            Bytes mutant = original;
            // Most flips go where the structure is: headers, packet headers, XML.
            const std::size_t span = round % 2 ? mutant.size() : std::min<std::size_t>(mutant.size(), 3000);
            for (int flips = 0; flips < 1 + round % 4; ++flips)
            {
                const std::size_t at = random() % span;
                mutant[at] ^= static_cast<unsigned char>(1u << (random() % 8));
            }
            e57test::resealPages(mutant);
            expectOnlyCleanOutcomes(mutant, std::string(name) + " round " + std::to_string(round));
        }
    }
}

}  // namespace
