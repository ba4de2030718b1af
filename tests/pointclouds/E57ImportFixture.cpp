#include "E57ImportFixture.hpp"

#include <cstring>

#include "DG/DG.hpp"
#include "pointclouds/PointCloudTemplate.hpp"
#include "pointclouds/PointFileSet.hpp"

CloudFile ReadCloudFile(const std::string& path)
{
    CloudFile file;
    const std::vector<std::uint8_t> bytes = FileBytes(path);
    if (bytes.size() < 32 || std::memcmp(bytes.data(), "GSPC\2\0\0\0", 8) != 0 || (bytes.size() - 32) % 15 != 0) return file;
    file.read = true;
    std::memcpy(file.box, bytes.data() + 8, sizeof file.box);
    for (std::size_t at = 32; at < bytes.size(); at += 15)
    {
        float relative[3];
        std::memcpy(relative, bytes.data() + at, sizeof relative);
        file.points.push_back(
            {file.box[0] + double(relative[0]), file.box[2] + double(relative[1]), file.box[4] + double(relative[2])});
        file.colours.push_back({bytes[at + 12], bytes[at + 13], bytes[at + 14]});
    }
    return file;
}

std::string SamplePath(const std::string& name) { return std::string(SURVANTO_E57_SAMPLES) + "/" + name; }

void E57ImportFixture::Import(const std::vector<std::string>& files, const std::vector<DG::PanelAction>& actions)
{
    std::vector<IO::Location> chosen;
    for (const std::string& file : files) chosen.emplace_back(file);
    DG::QueueOpenAnswer(true, chosen);
    for (const DG::PanelAction& action : actions) DG::AddPanelAction(action);
    Main().ImportE57File();
}

std::string E57ImportFixture::WriteE57(const std::string& name, const std::vector<e57test::ScanLayout>& scans)
{
    e57test::E57TestWriter writer;
    for (const e57test::ScanLayout& scan : scans) writer.addScan(scan);
    const std::string path = folder_.path() + "/" + name;
    writer.write(path);
    return path;
}

std::vector<std::string> E57ImportFixture::PartNames()
{
    std::vector<std::string> names;
    for (const auto& [index, part] : Model().libraryParts)
        if (part.parentUniqueId == PointCloudTemplateId) names.push_back(part.name);
    return names;
}

std::vector<std::string> E57ImportFixture::AlertTexts()
{
    std::vector<std::string> texts;
    for (const DG::AlertRecord& alert : DG::RecordedAlerts()) texts.push_back(alert.text1.ToUtf8());
    return texts;
}

CloudFile E57ImportFixture::PointFile(const std::string& part, const std::string& suffix)
{
    return ReadCloudFile(TargetFile(part + suffix + ".gspc"));
}

std::size_t E57ImportFixture::PointCount(const std::string& part, std::uint32_t levels)
{
    std::size_t count = 0;
    for (std::uint32_t level = 0; level < levels; ++level)
        count += PointFile(part, PointFileSet::Suffix(levels, level)).points.size();
    return count;
}

DG::PanelAction E57ImportFixture::Click(short item)
{
    DG::PanelAction action;
    action.kind = DG::PanelAction::Click;
    action.item = item;
    return action;
}

DG::PanelAction E57ImportFixture::Value(short item, double value)
{
    DG::PanelAction action;
    action.kind = DG::PanelAction::Value;
    action.item = item;
    action.value = value;
    return action;
}

DG::PanelAction E57ImportFixture::Text(short item, const std::string& text)
{
    DG::PanelAction action;
    action.kind = DG::PanelAction::Text;
    action.item = item;
    action.text = GS::UniString(text);
    return action;
}

e57test::ScanLayout DoubleScan(const std::string& name, std::uint64_t records, std::function<API_Coord3D(std::uint64_t)> place,
                               std::optional<e57test::Pose> pose, bool withColours)
{
    e57test::ScanLayout scan;
    scan.name = name;
    scan.fields = {{"cartesianX", e57test::FieldKind::Double},
                   {"cartesianY", e57test::FieldKind::Double},
                   {"cartesianZ", e57test::FieldKind::Double}};
    if (withColours)
        for (const char* colour : {"colorRed", "colorGreen", "colorBlue"})
            scan.fields.push_back({colour, e57test::FieldKind::Integer, 0, 255});
    scan.recordCount = records;
    scan.pose = pose;
    scan.source = [place, withColours](std::uint64_t r, e57test::FieldValue* v) {
        const API_Coord3D p = place(r);
        v[0].real = p.x;
        v[1].real = p.y;
        v[2].real = p.z;
        if (withColours)
            for (int c = 0; c < 3; ++c) v[3 + c].integer = static_cast<std::int64_t>((r * 7 + 50 * c) % 256);
    };
    return scan;
}
