#include <gtest/gtest.h>

#include <filesystem>

#include "HostFiles.hpp"
#include "LibraryParts.hpp"
#include "PointCloudFixture.hpp"
#include "ReplacedServices.hpp"
#include "UndoableCommand.hpp"
#include "framework/HostApiHelpers.hpp"
#include "pointclouds/PointCloudObject.hpp"
#include "pointclouds/PointCloudTemplate.hpp"

namespace fs = std::filesystem;

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace
{

std::int32_t Code(const char* type)
{
    return static_cast<std::int32_t>(std::uint32_t(std::uint8_t(type[0])) << 24 | std::uint32_t(std::uint8_t(type[1])) << 16 |
                                     std::uint32_t(std::uint8_t(type[2])) << 8 | std::uint8_t(type[3]));
}

// The host refusing to hand out a library part's scripts, serving its other sections.
HostServiceSignature::HostGetLibraryPartSection hostSection = nullptr;
GSErrCode ScriptsRefused(HostToken token, std::int32_t libInd, const API_LibPartSection* section, std::vector<char>* data,
                         GS::UniString* text)
{
    return text != nullptr ? APIERR_GENERAL : hostSection(token, libInd, section, data, text);
}

class PointCloudPart : public PointCloudFixture
{
protected:
    std::int32_t Write(const char* name, std::uint32_t levels, bool hasPosition = true, API_Coord3D scanner = {2, 3, 4})
    {
        return Main().WritePointCloudPart(GS::UniString(name), Target(), points_, BoxOf(cloud_), scanner, hasPosition, levels);
    }

    std::vector<CloudPoint> cloud_ {Point(1, 2, 3, 10, 20, 30, 0), Point(4, 6, 8, 40, 50, 60, 1), Point(2, 3, 4, 1, 1, 1, 2)};
    PointList points_ {cloud_};
};

TEST_F(PointCloudPart, IsAChildOfTheTemplateWithItsSectionsInTheFolder)
{
    const std::int32_t index = Write("Scan", 1);
    ASSERT_GT(index, 0);
    const SimHost::LibraryPartEntry* part = Part("Scan");
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(Model().libraryParts.at(index).name, "Scan");
    EXPECT_EQ(part->path, TargetFile("Scan.gsm"));
    EXPECT_EQ(part->parentUniqueId, PointCloudTemplateId);
    EXPECT_TRUE(part->placeable);
    EXPECT_EQ(part->platformSign, ('W' << 8) | 'W');
    const SimHost::LibraryPartEntry& model = Model().libraryParts.at(TemplateIndex());
    for (const char* type : {"1DSC", "2DSC", "VLSC", "UISC"})
    {
        const std::int32_t code = Code(type);
        EXPECT_EQ(part->Section(code, 0)->bytes, model.Section(code, 0)->bytes) << type;
    }
    for (const auto& [type, sub] : {std::pair {"GIFF", 0}, {"PICT", 0}, {"GDLP", 1}})
    {
        const std::int32_t code = Code(type);
        ASSERT_NE(part->Section(code, static_cast<std::int16_t>(sub)), nullptr) << type;
        EXPECT_EQ(part->Section(code, static_cast<std::int16_t>(sub))->bytes,
                  model.Section(code, static_cast<std::int16_t>(sub))->bytes);
    }
    EXPECT_EQ(SectionText(*part, "1DSC").find("MATERIAL mat"), std::string::npos);
    // The file a new host finds says the same.
    SimHost::LibraryPartEntry read;
    std::string error;
    ASSERT_TRUE(SimHost::ReadLibraryPartFile(TargetFile("Scan.gsm"), read, error)) << error;
    EXPECT_EQ(read.sections.size(), part->sections.size());
    EXPECT_EQ(read.uniqueId, part->uniqueId);
}

TEST_F(PointCloudPart, ParametersTellTheBoxTheScannerAndTheLevels)
{
    ASSERT_GT(Write("Scan", 3, true, {2, 3, 4}), 0);
    const SimHost::LibraryPartEntry& part = *Part("Scan");
    const std::pair<const char*, double> expected[] = {
        {"A", 3},
        {"B", 4},
        {"ZZYZX", 5},
        {"originalXSize", 3},
        {"originalYSize", 4},
        {"originalZSize", 5},
        {"scannerX", 1},
        {"scannerY", 1},
        {"scannerZ", 1},
        {"bOverrideCutplane", 1},
        {"upperPlaneHeight", 6},
        {"lowerPlaneHeight", -1},
        {"project0X", 1},
        {"project0Y", 2},
        {"project0Z", 3},
        {"hasScannerPos", 1},
        {"hideReduction", 0},
        {"cameraReduction", 0},
        {"show3D", 1},
    };
    for (const auto& [name, value] : expected) EXPECT_DOUBLE_EQ(PartParameter(part, name).value, value) << name;
}

TEST_F(PointCloudPart, LevelCountSetsTheReductionFlags)
{
    const struct
    {
        std::uint32_t levels;
        double hide, camera;
    } cases[] = {{1, 1, 0}, {2, 0, 1}, {3, 0, 0}};
    for (const auto& c : cases)
    {
        const std::string name = "Scan" + std::to_string(c.levels);
        ASSERT_GT(Write(name.c_str(), c.levels, false), 0);
        EXPECT_EQ(PartParameter(*Part(name), "hideReduction").value, c.hide) << c.levels;
        EXPECT_EQ(PartParameter(*Part(name), "cameraReduction").value, c.camera) << c.levels;
        EXPECT_EQ(PartParameter(*Part(name), "hasScannerPos").value, 0.0);
    }
}

// "_25_2" is filled in before "_25", which would take its start.
TEST_F(PointCloudPart, TheLevelsPointFilesAreCalledInTheScript)
{
    const struct
    {
        std::uint32_t levels;
        std::vector<std::string> calls;
    } cases[] = {
        {1, {"POINTCLOUD \"Scan_data.gspc\""}},
        {2, {"POINTCLOUD \"Scan_data_1.gspc\"", "POINTCLOUD \"Scan_data_2.gspc\""}},
        {3, {"POINTCLOUD \"Scan_data_50.gspc\"", "POINTCLOUD \"Scan_data_25.gspc\"", "POINTCLOUD \"Scan_data_25_2.gspc\""}}};
    for (const auto& c : cases)
    {
        ASSERT_GT(Write("Scan", c.levels), 0);
        const std::string script = SectionText(*Part("Scan"), "3DSC");
        std::size_t active = 0;
        for (std::size_t at = script.find("\nPOINTCLOUD"); at != std::string::npos; at = script.find("\nPOINTCLOUD", at + 1))
            ++active;
        for (std::size_t at = script.find(" POINTCLOUD"); at != std::string::npos; at = script.find(" POINTCLOUD", at + 1))
            ++active;
        EXPECT_EQ(active, c.calls.size()) << script;
        for (const std::string& call : c.calls)
        {
            const auto at = script.find(call);
            ASSERT_NE(at, std::string::npos) << call << " in\n" << script;
            EXPECT_NE(script[at - 1], '!') << call;
        }
        EXPECT_EQ(script.find("_25.gspc_2"), std::string::npos);
    }
}

// Scripts the template does not hand out are not written as empty ones: the part
// keeps the scripts it was made with.
TEST_F(PointCloudPart, TemplateScriptsTheHostDoesNotHandOutLeaveThePartsFirstScripts)
{
    ReplacedServices replaced(Host());
    hostSection = REPLACE_HOST_SERVICE(replaced, HostGetLibraryPartSection, ScriptsRefused);
    ASSERT_GT(Write("Scan", 1), 0);
    EXPECT_NE(SectionText(*Part("Scan"), "3DSC").find("CYLIND zzyzx - 3, MIN (a, b) * 0.5"), std::string::npos);
    EXPECT_NE(SectionText(*Part("Scan"), "2DSC").find("PROJECT2 3, 270, 2"), std::string::npos);
}

TEST_F(PointCloudPart, ASecondImportOfTheSameNameReplacesThePart)
{
    const std::int32_t first = Write("Scan", 1);
    ASSERT_GT(first, 0);
    cloud_.push_back(Point(10, 10, 10));
    points_ = PointList(cloud_);
    EXPECT_EQ(Write("Scan", 1), first);
    EXPECT_EQ(PartParameter(*Part("Scan"), "A").value, 9.0);
    EXPECT_EQ(FileBytes(TargetFile("Scan_data.gspc")).size(), 32u + 4 * 15);
    EXPECT_EQ(Model().overwriteLibraryParts, false);
}

TEST_F(PointCloudPart, WithoutTheTemplateNothingIsWritten)
{
    Model().libraryParts.erase(TemplateIndex());
    EXPECT_EQ(Write("Scan", 1), 0);
    EXPECT_EQ(points_.deliveries, 0);
    EXPECT_TRUE(fs::is_empty(TargetPath()));
}

// A part made without its point files would have a script that names files that
// are not there.
TEST_F(PointCloudPart, PointFilesThatCannotBeWrittenWholeMakeNoPart)
{
    fs::create_symlink("/dev/full", TargetFile("Scan_data_2.gspc"));
    EXPECT_EQ(Write("Scan", 2), 0);
    EXPECT_EQ(Part("Scan"), nullptr);
    EXPECT_FALSE(fs::exists(TargetFile("Scan.gsm")));
}

TEST_F(PointCloudPart, APartTheHostRefusesToCreateLeavesItsPointFiles)
{
    Host().FailService(HostSlot::HostCreateLibraryPart);
    Host().LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    EXPECT_EQ(Write("Scan", 1), 0);
    EXPECT_EQ(Part("Scan"), nullptr);
    EXPECT_EQ(FileBytes(TargetFile("Scan_data.gspc")).size(), 32u + 3 * 15);
}

TEST_F(PointCloudPart, WithOverwritingOffAnExistingFileIsRefused)
{
    std::string error;
    ASSERT_TRUE(SimHost::WriteFileSafely(TargetFile("Old.gsm"), "something", error));
    API_LibPart part;
    part.typeID = APILib_ObjectID;
    part.name = GS::UniString("Old");
    part.location = std::make_unique<IO::Location>(TargetFile("Old.gsm"));
    EXPECT_EQ(HostCreateLibraryPart(&part), APIERR_REFUSEDCMD);
    EXPECT_GT(Write("Old", 1), 0);
}

TEST_F(PointCloudPart, TheObjectStandsAtTheBoxMinimumOnItsStorey)
{
    Model().content.storeyLevels[1] = 3.0;
    const std::int32_t index = Write("Scan", 1);
    API_Guid placed {};
    ASSERT_EQ(InUndoableCommand([&] { return PlacePointCloudObject(index, BoxOf(cloud_), 1, placed); }), NoError);
    const SimHost::StoredElement* object = Model().Find(placed);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->record.object.libraryPartIndex, index);
    EXPECT_EQ(object->record.object.position.x, 1.0);
    EXPECT_EQ(object->record.object.position.y, 2.0);
    EXPECT_EQ(object->record.header.floorInd, 1);
    EXPECT_EQ(object->record.object.elevation, 0.0);
    EXPECT_TRUE(object->observed);
    const std::pair<const char*, double> values[] = {
        {"upperPlaneHeight2", 1.1}, {"lowerPlaneHeight2", 1.0}, {"bOverrideCutplane", 1}, {"zzyzx", 5}, {"project0Z", 3}};
    for (const auto& [name, value] : values)
    {
        const std::int32_t at = FindMemoParamIndex(name, object->memo);
        ASSERT_GE(at, 0) << name;
        EXPECT_DOUBLE_EQ(object->memo.params[static_cast<std::size_t>(at)].value, value) << name;
    }
    ASSERT_TRUE(Model().zoom.has_value());
    EXPECT_EQ(Model().zoom->xMin, 1.0);
    EXPECT_EQ(Model().zoom->yMax, 6.0);
}

TEST_F(PointCloudPart, PlacingOnAStoreyTheProjectLacksFails)
{
    API_Guid placed {};
    EXPECT_NE(InUndoableCommand([&] { return PlacePointCloudObject(Write("Scan", 1), BoxOf(cloud_), 5, placed); }), NoError);
    EXPECT_EQ(placed, APINULLGuid);
}

}  // namespace
