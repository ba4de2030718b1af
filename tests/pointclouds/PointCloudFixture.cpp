#include "PointCloudFixture.hpp"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "LibraryServices.hpp"
#include "MarkerSupport.hpp"
#include "pointclouds/PointCloudTemplate.hpp"

namespace fs = std::filesystem;

void PointList::Deliver(PointFileSet& files)
{
    ++deliveries;
    for (std::size_t at = 0; at < points_.size(); at += 7)
        files.Take(points_.data() + at, std::min<std::size_t>(7, points_.size() - at));
}

CloudPoint Point(double x, double y, double z, double r, double g, double b, std::uint32_t level)
{
    CloudPoint point;
    point.position = {x, y, z};
    point.colour = {r, g, b};
    point.level = level;
    return point;
}

PointCloudBox BoxOf(const std::vector<CloudPoint>& points)
{
    PointCloudBox box;
    for (std::size_t i = 0; i < points.size(); ++i) box.Add(points[i].position, i == 0);
    return box;
}

std::vector<std::uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PointCloudFixture::SetUp()
{
    MainObjectFixture::SetUp();
    const fs::path templates = fs::path(folder_.path()) / "Templates";
    fs::create_directories(templates);
    fs::copy_file(fs::path(SURVANTO_SOURCE_DIR) / "tests/pointclouds/template/VaroPointCloud.gsm",
                  templates / "VaroPointCloud.gsm");
    target_ = (fs::path(folder_.path()) / "Point Cloud").string();
    fs::create_directories(target_);
    std::string error;
    // The add-on's own library comes first and read-only, as the installation has it.
    ASSERT_TRUE(SimHost::LoadLibraryFolder(Host(), OwnLibraryFolder(), error, true)) << error;
    ASSERT_TRUE(SimHost::LoadLibraryFolder(Host(), templates.string(), error, true)) << error;
    ASSERT_TRUE(SimHost::LoadLibraryFolder(Host(), target_, error)) << error;
}

const SimHost::LibraryPartEntry* PointCloudFixture::Part(const std::string& name)
{
    for (const auto& [index, part] : Model().libraryParts)
        if (part.name == name && part.typeID == APILib_ObjectID) return &part;
    return nullptr;
}

std::string PointCloudFixture::SectionText(const SimHost::LibraryPartEntry& part, const char (&type)[5])
{
    const SimHost::LibraryPartSection* section = part.Section(FourCC(type), 0);
    return section == nullptr ? "<none>" : std::string(section->bytes.begin(), section->bytes.end());
}

API_AddParType PointCloudFixture::PartParameter(const SimHost::LibraryPartEntry& part, const char* name)
{
    SimHost::ParameterList list;
    const SimHost::LibraryPartSection* section = part.Section(FourCC("PARD"), 0);
    if (section == nullptr || !SimHost::ReadParameterSection(section->bytes, list))
    {
        ADD_FAILURE() << "no parameters";
        return {};
    }
    for (const API_AddParType& p : list.parameters)
        if (std::strcmp(p.name, name) == 0) return p;
    ADD_FAILURE() << "no parameter " << name;
    return {};
}

std::int32_t PointCloudFixture::TemplateIndex()
{
    for (const auto& [index, part] : Model().libraryParts)
        if (part.uniqueId == PointCloudTemplateId) return index;
    return 0;
}
