#pragma once
#include <string>
#include <vector>

#include "DG/FileDialog.hpp"
#include "E57TestWriter.hpp"
#include "PointCloudFixture.hpp"

// A point file read back: the box in its header and its points in project
// coordinates with their colour bytes.
struct CloudFile
{
    bool read = false;
    float box[6] {};
    std::vector<API_Coord3D> points;
    std::vector<std::array<int, 3>> colours;
};
CloudFile ReadCloudFile(const std::string& path);

std::string SamplePath(const std::string& name);

// The E57 import run as the user runs it, against the project and libraries of a
// point-cloud fixture: files chosen in the dialog, actions on the panel, answers
// to the question about scans without a pose.
class E57ImportFixture : public PointCloudFixture
{
protected:
    void Import(const std::vector<std::string>& files, const std::vector<DG::PanelAction>& actions = {});
    // Writes an E57 file of the scans into the fixture's folder; its path.
    std::string WriteE57(const std::string& name, const std::vector<e57test::ScanLayout>& scans);

    // The generated point-cloud parts in the order they were made.
    std::vector<std::string> PartNames();
    std::vector<std::string> AlertTexts();
    CloudFile PointFile(const std::string& part, const std::string& suffix = "_data");
    std::size_t PointCount(const std::string& part, std::uint32_t levels);

    static DG::PanelAction Click(short item);
    static DG::PanelAction Value(short item, double value);
    static DG::PanelAction Text(short item, const std::string& text);
};

// A scan of double coordinates from a function of the record number, with a pose
// when one is given and 8-bit colours when asked for.
e57test::ScanLayout DoubleScan(const std::string& name, std::uint64_t records, std::function<API_Coord3D(std::uint64_t)> place,
                               std::optional<e57test::Pose> pose = std::nullopt, bool withColours = false);
