#include "E57TestWriter.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "PageWriter.hpp"
#include "SectionWriter.hpp"

namespace e57test
{
namespace
{

template <typename T>
void put(unsigned char* at, T value)
{
    std::memcpy(at, &value, sizeof value);
}

std::string number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string fieldXml(const FieldLayout& field)
{
    const std::string open = "<" + field.name + " type=\"";
    switch (field.kind)
    {
        case FieldKind::Integer:
            return open + "Integer\" minimum=\"" + std::to_string(field.minimum) + "\" maximum=\"" +
                   std::to_string(field.maximum) + "\"/>";
        case FieldKind::ScaledInteger:
            return open + "ScaledInteger\" minimum=\"" + std::to_string(field.minimum) + "\" maximum=\"" +
                   std::to_string(field.maximum) + "\" scale=\"" + number(field.scale) + "\" offset=\"" + number(field.offset) +
                   "\"/>";
        case FieldKind::Single: return open + "Float\" precision=\"single\"/>";
        case FieldKind::Double: return open + "Float\"/>";
    }
    return {};
}

std::string poseXml(const Pose& pose)
{
    std::string xml = "<pose type=\"Structure\">";
    if (pose.rotation)
    {
        const auto& r = *pose.rotation;
        xml += "<rotation type=\"Structure\"><w type=\"Float\">" + number(r[0]) + "</w><x type=\"Float\">" + number(r[1]) +
               "</x><y type=\"Float\">" + number(r[2]) + "</y><z type=\"Float\">" + number(r[3]) + "</z></rotation>";
    }
    if (pose.translation)
    {
        const auto& t = *pose.translation;
        xml += "<translation type=\"Structure\"><x type=\"Float\">" + number(t[0]) + "</x><y type=\"Float\">" + number(t[1]) +
               "</y><z type=\"Float\">" + number(t[2]) + "</z></translation>";
    }
    return xml + "</pose>";
}

std::string documentXml(const std::vector<ScanLayout>& scans, const std::vector<std::uint64_t>& offsets)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<e57Root type=\"Structure\" xmlns=\"http://www.astm.org/COMMIT/E57/2010-e57-v1.0\" "
                      "xmlns:demo=\"http://example.com/demo\">\n"
                      "<formatName type=\"String\"><![CDATA[ASTM E57 3D Imaging Data File]]></formatName>\n"
                      "<guid type=\"String\"><![CDATA[{00000000-0000-0000-0000-000000000057}]]></guid>\n"
                      "<versionMajor type=\"Integer\">1</versionMajor>\n<versionMinor type=\"Integer\">0</versionMinor>\n"
                      "<data3D type=\"Vector\" allowHeterogeneousChildren=\"1\">\n";
    for (std::size_t i = 0; i < scans.size(); ++i)
    {
        const ScanLayout& scan = scans[i];
        xml += "<vectorChild type=\"Structure\">\n<name type=\"String\"><![CDATA[" + scan.name + "]]></name>\n";
        if (scan.pose) xml += poseXml(*scan.pose) + "\n";
        xml += scan.extraXml;
        const std::uint64_t claimed = scan.claimedRecordCount != 0 ? scan.claimedRecordCount : scan.recordCount;
        xml += "<points type=\"CompressedVector\" fileOffset=\"" + std::to_string(offsets[i]) + "\" recordCount=\"" +
               std::to_string(claimed) + "\">\n<prototype type=\"Structure\">\n";
        for (const auto& field : scan.fields) xml += fieldXml(field) + "\n";
        xml += "</prototype>\n<codecs type=\"Vector\" allowHeterogeneousChildren=\"1\"/>\n</points>\n</vectorChild>\n";
    }
    return xml + "</data3D>\n<images2D type=\"Vector\" allowHeterogeneousChildren=\"1\"/>\n</e57Root>\n";
}

void writeDocument(PageWriter& out, const std::string& xml)
{
    const std::uint64_t xmlPhysical = out.physicalPosition();
    out.write(xml.data(), xml.size());
    unsigned char header[48] = {'A', 'S', 'T', 'M', '-', 'E', '5', '7'};
    put(header + 8, std::uint32_t {1});
    put(header + 12, std::uint32_t {0});
    put(header + 16, out.finishedLength());
    put(header + 24, xmlPhysical);
    put(header + 32, static_cast<std::uint64_t>(xml.size()));
    put(header + 40, std::uint64_t {1024});
    out.patch(0, header, sizeof header);
    out.finish();
}

}  // namespace

void E57TestWriter::write(const std::string& path) const
{
    PageWriter out(path);
    out.writeZeros(48);
    std::vector<std::uint64_t> offsets;
    for (const auto& scan : scans_)
    {
        if (scan.withoutSection && scan.recordCount == 0)
        {
            offsets.push_back(0);
            continue;
        }
        offsets.push_back(SectionWriter(out, scan).write());
    }
    writeDocument(out, documentXml(scans_, offsets));
}

void E57TestWriter::writeXmlOnly(const std::string& path, const std::string& xml)
{
    PageWriter out(path);
    out.writeZeros(48);
    writeDocument(out, xml);
}

}  // namespace e57test
