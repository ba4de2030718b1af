// The host keeps the project in its project file and merges module data through
// the add-on's handler.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "HostFiles.hpp"
#include "InProcessHost.hpp"
#include "ModuleDataServices.hpp"
#include "ProjectFile.hpp"
#include "framework/CDataStore.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t MAIN = FourCC("MAIN");

class Note : public IFileIO
{
public:
    GS::UniString text;
    bool Write(CDataRecorder& recorder) override { return recorder.WriteUniString(text); }
    bool Read(CDataRecorder& recorder) override { return recorder.ReadUniString(text); }
};

// A block as the add-on's store writes it: one note under "MAIN".
Bytes NoteBlock(const std::string& text)
{
    Note note;
    note.text = GS::UniString(text);
    CDataStore store("Survanto", 40000);
    store.Register(&note, MAIN, false);
    store.GetRecorder().SetMode(CDataRecorder::ModeCount);
    store.WriteObjects();
    Bytes block(static_cast<std::size_t>(store.GetRecorder().GetSize()));
    store.GetRecorder().SetMode(CDataRecorder::ModeMemory);
    store.GetRecorder().SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    store.WriteObjects();
    return block;
}

SimHost::StoredElement SampleWall()
{
    SimHost::StoredElement wall;
    wall.record.header.typeID = API_WallID;
    wall.record.header.guid = APIGuidFromString("{5EED0001-51D0-4000-8000-53696D487374}");
    wall.record.header.layer = 3;
    wall.record.header.floorInd = 1;
    wall.record.wall.begC = {1.0 / 3.0, -2.5};
    wall.record.wall.endC = {4.1e-7, 1e300};
    wall.record.wall.thickness = 0.3;
    wall.memo.coords = {{0, 0}, {0.1, 0.2}, {0.3, 0.4}};
    wall.memo.pends = {0, 2};
    wall.memo.parcs = {{1, 2, -0.75}};
    API_AddParType parameter;
    std::strcpy(parameter.name, "strStandortID");
    parameter.typeID = APIParT_String;
    parameter.text = GS::UniString("Standort \xC3\xA4");
    wall.memo.params = {parameter};
    wall.memo.sectionSegments = {{2}};
    wall.memo.sectionMainCoords = {{5, 6}};
    wall.userData = {3, 0x5757, {9, 8, 7}};
    wall.observed = true;
    return wall;
}

// A morph of one triangle with its material.
SimHost::StoredElement SampleMorph()
{
    SimHost::StoredElement morph;
    morph.record.header.typeID = API_MorphID;
    morph.record.header.guid = APIGuidFromString("{5EED0003-51D0-4000-8000-53696D487374}");
    morph.record.morph.transformation[0] = morph.record.morph.transformation[5] = morph.record.morph.transformation[10] = 1.0;
    morph.memo.morphBody.vertices = {{0, 0, 0.25}, {2, 0, 0.5}, {0, 1.0 / 3.0, 0}};
    morph.memo.morphBody.edges = {{1, 2}, {2, 3}, {3, 1}};
    morph.memo.morphBody.polygons = {{{1, 2, 3}, 0}};
    morph.memo.morphMaterialMapTable = {{7, true}};
    return morph;
}

// A dome's revolved shell: one shape of two points.
SimHost::StoredElement SampleShell()
{
    SimHost::StoredElement shell;
    shell.record.header.typeID = API_ShellID;
    shell.record.header.guid = APIGuidFromString("{5EED0004-51D0-4000-8000-53696D487374}");
    shell.record.shell.shellClass = 1;
    shell.record.shell.revolved.revolutionAngle = 6.283185307179586;
    SimHost::ShellPolygon shape;
    shape.coords = {{0, 0}, {0, 2}, {2, 0}};
    shape.ends = {0, 2};
    shell.shell.shapes = {shape};
    return shell;
}

class ProjectFileTest : public ::testing::Test
{
protected:
    TempFolder work;
    InProcessHost host {Options()};
    std::string path = work.path() + "/project.json";

    SimHost::Host::Options Options() const
    {
        SimHost::Host::Options options;
        options.workFolder = work.path();
        return options;
    }
};

TEST_F(ProjectFileTest, SavingAndOpeningRestoresElementsAndModuleDataByteForByte)
{
    host->NewProject();
    SimHost::ProjectModel& model = host->model_;
    model.content.elements.push_back(SampleWall());
    SimHost::StoredElement drawing;
    drawing.record.header.typeID = API_LineID;
    drawing.record.header.guid = APIGuidFromString("{5EED0002-51D0-4000-8000-53696D487374}");
    drawing.view = API_DatabaseInfo {};
    drawing.view->typeID = APIWind_InteriorElevationID;
    drawing.view->elementGuid = SampleWall().record.header.guid;
    drawing.view->segmentNumber = 2;
    model.content.elements.push_back(drawing);
    model.content.elements.push_back(SampleMorph());
    model.content.layers[3] = SimHost::LayerEntry {"Vermessung", APILay_Hidden};
    model.content.storeyLevels[1] = 3.25;
    model.moduleData[GS::UniString()] = SimHost::StoredModuleData {1, 0x5757, NoteBlock("eins")};
    model.moduleData[GS::UniString("REPORT")] = SimHost::StoredModuleData {2, 0x4D4D, {0x00, 0xFF}};
    const SimHost::ProjectContent saved = model.content;
    const auto savedData = model.moduleData;
    std::string error;
    ASSERT_TRUE(SimHost::SaveProjectFile(model, path, error)) << error;

    SimHost::ProjectModel opened;
    ASSERT_TRUE(SimHost::ReadProjectFile(path, opened, error)) << error;
    host->OpenProject("project.json", std::move(opened));
    EXPECT_EQ(host->RunPendingCommands(), 1);
    EXPECT_EQ(host->Fact("posted"), "OPNE");

    const SimHost::ProjectContent& content = host->model_.content;
    ASSERT_EQ(content.elements.size(), 3u);
    const SimHost::StoredElement& wall = content.elements.front();
    EXPECT_FALSE(wall.view) << "an element of the model";
    const std::optional<API_DatabaseInfo>& view = content.elements[1].view;
    ASSERT_TRUE(view) << "a drawing stays in its view";
    EXPECT_EQ(view->typeID, APIWind_InteriorElevationID);
    EXPECT_EQ(view->elementGuid, wall.record.header.guid);
    EXPECT_EQ(view->segmentNumber, 2);
    const SimHost::StoredElement& original = saved.elements.front();
    EXPECT_EQ(std::memcmp(&wall.record, &original.record, sizeof(API_Element)), 0);
    ASSERT_EQ(wall.memo.coords.size(), 3u);
    EXPECT_EQ(std::memcmp(wall.memo.coords.data(), original.memo.coords.data(), 3 * sizeof(API_Coord)), 0);
    EXPECT_EQ(wall.memo.pends, original.memo.pends);
    ASSERT_EQ(wall.memo.parcs.size(), 1u);
    EXPECT_EQ(wall.memo.parcs[0].arcAngle, -0.75);
    ASSERT_EQ(wall.memo.params.size(), 1u);
    EXPECT_STREQ(wall.memo.params[0].name, "strStandortID");
    EXPECT_EQ(wall.memo.params[0].text, original.memo.params[0].text);
    ASSERT_EQ(wall.memo.sectionSegments.size(), 1u);
    EXPECT_EQ(wall.memo.sectionSegments[0].mainCoordCount, 2);
    EXPECT_EQ(wall.memo.sectionMainCoords.size(), 1u);
    EXPECT_EQ(wall.userData.data, original.userData.data);
    EXPECT_EQ(wall.userData.platformSign, 0x5757);
    EXPECT_TRUE(wall.observed);
    const API_ElementMemo& morph = content.elements[2].memo;
    const API_ElementMemo& savedMorph = saved.elements[2].memo;
    ASSERT_EQ(morph.morphBody.vertices.size(), 3u);
    EXPECT_EQ(std::memcmp(morph.morphBody.vertices.data(), savedMorph.morphBody.vertices.data(), 3 * sizeof(API_Coord3D)), 0);
    EXPECT_EQ(morph.morphBody.edges, savedMorph.morphBody.edges);
    ASSERT_EQ(morph.morphBody.polygons.size(), 1u);
    EXPECT_EQ(morph.morphBody.polygons[0].edges, savedMorph.morphBody.polygons[0].edges);
    ASSERT_EQ(morph.morphMaterialMapTable.size(), 1u);
    EXPECT_EQ(morph.morphMaterialMapTable[0].attributeIndex, 7);
    EXPECT_TRUE(morph.morphMaterialMapTable[0].overridden);
    EXPECT_EQ(host->Fact("layers"), "1:Archicad-Ebene 3:Vermessung[hidden]");
    EXPECT_EQ(host->Fact("storeys"), "0:0 1:3.25");
    for (const auto& [name, stored] : savedData)
    {
        SCOPED_TRACE(name.ToUtf8());
        const SimHost::StoredModuleData& back = host->model_.moduleData.at(name);
        EXPECT_EQ(back.bytes, stored.bytes);
        EXPECT_EQ(back.dataVersion, stored.dataVersion);
        EXPECT_EQ(back.platformSign, stored.platformSign);
    }
    EXPECT_EQ(host->Fact("module-data"), "\"\":" + std::to_string(savedData.at(GS::UniString()).bytes.size()) + " \"REPORT\":2");
    EXPECT_EQ(host->Fact("module-data \"REPORT\""), "00 FF");
    EXPECT_NE(host->model_.NewGuid(), wall.record.header.guid);
}

TEST_F(ProjectFileTest, ABrokenProjectFileIsRefusedWithItsReason)
{
    struct Case
    {
        const char* name;
        std::string text;
        std::string reason;
    };
    const std::string empty = R"("layers": [], "storeys": [], "moduleData": [])";
    const std::vector<Case> cases {
        {"not JSON", "{elements", "parse error"},
        {"no elements", "{" + empty + "}", "elements"},
        {"a short record", R"({"elements": [{"record": "01 02"}], )" + empty + "}", "an element record has 2 bytes"},
        {"module data not hex",
         R"({"elements": [], "layers": [], "storeys": [], "moduleData": [{"name": "", "version": 1, "platformSign": "WW", "data": "1G"}]})",
         "module data is no hex text"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::ofstream(path, std::ios::trunc) << c.text;
        SimHost::ProjectModel model;
        model.content.storeyLevels[1] = 3.0;
        std::string error;
        EXPECT_FALSE(SimHost::ReadProjectFile(path, model, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(model.content.storeyLevels.size(), 2u);
    }
    std::string error;
    SimHost::ProjectModel withMorph;
    withMorph.content.elements.push_back(SampleMorph());
    ASSERT_TRUE(SimHost::SaveProjectFile(withMorph, path, error)) << error;
    std::string text;
    ASSERT_TRUE(SimHost::ReadWholeFile(path, text));
    const std::size_t material = text.find("\"material\": 0");
    ASSERT_NE(material, std::string::npos);
    std::ofstream(path, std::ios::trunc) << text.replace(material, 14, "\"material\": 1");
    SimHost::ProjectModel model;
    EXPECT_FALSE(SimHost::ReadProjectFile(path, model, error));
    EXPECT_NE(error.find("a morph without a usable body"), std::string::npos) << error;
    // A shell whose shape ends past its coordinates would be read out of bounds; a
    // contour the record does not ask for is not the shell that was saved.
    SimHost::ProjectModel withShell;
    withShell.content.elements.push_back(SampleShell());
    ASSERT_TRUE(SimHost::SaveProjectFile(withShell, path, error)) << error;
    ASSERT_TRUE(SimHost::ReadProjectFile(path, model, error)) << error;
    ASSERT_TRUE(SimHost::ReadWholeFile(path, text));
    const nlohmann::json saved = nlohmann::json::parse(text);
    for (const auto& tamper : {+[](nlohmann::json& shell) { shell["shellShapes"][0]["ends"][1] = 9; },
                               +[](nlohmann::json& shell) { shell["shellContours"] = shell["shellShapes"]; }})
    {
        nlohmann::json broken = saved;
        tamper(broken["elements"][0]);
        std::ofstream(path, std::ios::trunc) << broken.dump();
        EXPECT_FALSE(SimHost::ReadProjectFile(path, model, error));
        EXPECT_NE(error.find("a shell whose shapes or contour cannot be read"), std::string::npos) << error;
    }
    EXPECT_FALSE(SimHost::ReadProjectFile(work.path() + "/missing.json", model, error));
    EXPECT_EQ(error, "cannot read project file " + work.path() + "/missing.json");
}

// Every whole number is read in its own field's range: a layer index of 70000
// does not wrap to another layer, a version of 1e300 is not cut to an int.
TEST_F(ProjectFileTest, ANumberOutsideItsFieldsRangeRefusesTheFile)
{
    SimHost::ProjectModel model;
    SimHost::StoredElement wall = SampleWall();
    wall.links.push_back({SampleShell().record.header.guid, 1});
    model.content.elements.push_back(wall);
    model.content.elements.push_back(SampleShell());
    model.content.layers[3] = SimHost::LayerEntry {"Vermessung", 0};
    model.content.storeyLevels[1] = 3.0;
    model.moduleData[GS::UniString()] = SimHost::StoredModuleData {1, 0x5757, {1, 2}};
    std::string error;
    ASSERT_TRUE(SimHost::SaveProjectFile(model, path, error)) << error;
    std::string text;
    ASSERT_TRUE(SimHost::ReadWholeFile(path, text));
    const nlohmann::json saved = nlohmann::json::parse(text);

    using Json = nlohmann::json;
    struct Case
    {
        const char* name;
        std::function<void(Json&)> tamper;
        std::string reason;  // empty: the file is read
    };
    const std::vector<Case> cases {
        {"a layer index past int16", [](Json& p) { p["layers"][1]["index"] = 70000; }, "a layer index is out of range: 70000"},
        {"the largest layer index", [](Json& p) { p["layers"][1]["index"] = 32767; }, ""},
        {"a layer index below int16", [](Json& p) { p["layers"][1]["index"] = -32769; }, "a layer index is out of range: -32769"},
        {"a layer index as text", [](Json& p) { p["layers"][1]["index"] = "3"; }, "a layer index is no number: \"3\""},
        {"a storey index of 1e300", [](Json& p) { p["storeys"][1]["index"] = 1e300; }, "a storey index is out of range: 1e+300"},
        {"a module data version of 1e300", [](Json& p) { p["moduleData"][0]["version"] = 1e300; },
         "a module data version is out of range: 1e+300"},
        {"a module data version past int32", [](Json& p) { p["moduleData"][0]["version"] = 2147483648u; },
         "a module data version is out of range: 2147483648"},
        {"a platform sign past uint16", [](Json& p) { p["moduleData"][0]["platformSign"] = 65536; },
         "a platform sign is out of range: 65536"},
        {"a parameter type of a fraction", [](Json& p) { p["elements"][0]["memo"]["params"][0]["type"] = 1.5; },
         "a parameter's type is out of range: 1.5"},
        {"a parameter of negative size", [](Json& p) { p["elements"][0]["memo"]["params"][0]["dim1"] = -1; },
         "parameter strStandortID has a negative dimension"},
        {"a polygon end past uint64", [](Json& p) { p["elements"][0]["memo"]["pends"][1] = 1e20; },
         "a polygon's end is out of range: 1e+20"},
        {"a negative link flag", [](Json& p) { p["elements"][0]["links"][0]["flags"] = -1; },
         "a link's flags is out of range: -1"},
        {"a shell flag past a byte",
         [](Json& p) {
             p["elements"][1]["shellShapes"][0]["flags"] = {256, 0, 0};
         },
         "a shell polygon's flag is out of range: 256"},
        {"user data version past int32", [](Json& p) { p["elements"][0]["userData"]["version"] = -2147483649LL; },
         "a user data version is out of range: -2147483649"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Json broken = saved;
        c.tamper(broken);
        std::ofstream(path, std::ios::trunc) << broken.dump();
        SimHost::ProjectModel read;
        read.content.storeyLevels[7] = 7.0;
        const bool accepted = SimHost::ReadProjectFile(path, read, error);
        if (c.reason.empty())
        {
            EXPECT_TRUE(accepted) << error;
            EXPECT_EQ(read.content.layers.count(32767), 1u);
            continue;
        }
        EXPECT_FALSE(accepted);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(read.content.storeyLevels.count(7), 1u) << "the model stays as it was";
    }
}

struct MergeCall
{
    std::int32_t mode = 0;
    std::string name;
    Bytes base, toMerge;
};
MergeCall lastCall;

Bytes HandleBytes(const API_ModulData* block)
{
    if (block == nullptr || block->dataHdl == nullptr) return {};
    return Bytes(*block->dataHdl, *block->dataHdl + BMGetHandleSize(block->dataHdl));
}

// Merges as the add-on does: reads the incoming block, keeps its own addition, and
// writes the result into a new handle by a counting and a writing pass.
GSErrCode NoteMerge(std::int32_t mode, const GS::UniString* name, const API_ModulData* base, const API_ModulData* toMerge,
                    API_ModulData* destination)
{
    lastCall = {mode, name->ToUtf8(), HandleBytes(base), HandleBytes(toMerge)};
    if (mode != 11) return NoError;
    Note note;
    CDataStore store("Survanto", 40000);
    store.Register(&note, MAIN, false);
    store.GetRecorder().SetMode(CDataRecorder::ModeMemory);
    store.GetRecorder().SetMemory(*toMerge->dataHdl, static_cast<std::int32_t>(BMGetHandleSize(toMerge->dataHdl)));
    store.ReadObjects();
    note.text += GS::UniString("+mine");
    store.GetRecorder().SetMode(CDataRecorder::ModeCount);
    store.GetRecorder().SetMemory(nullptr, 0);
    store.WriteObjects();
    destination->dataHdl = BMAllocateHandle(store.GetRecorder().GetSize(), ALLCLEAR);
    store.GetRecorder().SetMode(CDataRecorder::ModeMemory);
    store.GetRecorder().SetMemory(*destination->dataHdl, store.GetRecorder().GetSize());
    store.WriteObjects();
    return NoError;
}

TEST_F(ProjectFileTest, MergeHandsOverTheBlocksAndKeepsTheDestination)
{
    host->NewProject();
    SimHost::ProjectModel incoming;
    incoming.moduleData[GS::UniString()] = SimHost::StoredModuleData {1, 0x5757, NoteBlock("theirs")};
    host->model_.moduleData[GS::UniString()] = SimHost::StoredModuleData {1, 0x5757, NoteBlock("base")};
    host->mergeHandler_ = NoteMerge;
    GSErrCode result = -1;

    ASSERT_TRUE(SimHost::MergeModuleData(host.host(), 10, GS::UniString(), incoming, result));
    EXPECT_EQ(result, NoError);
    EXPECT_EQ(lastCall.base, NoteBlock("base"));
    EXPECT_EQ(lastCall.toMerge, NoteBlock("theirs"));
    EXPECT_EQ(host->model_.moduleData[GS::UniString()].bytes, NoteBlock("base"));

    ASSERT_TRUE(SimHost::MergeModuleData(host.host(), 11, GS::UniString(), incoming, result));
    EXPECT_EQ(host->model_.moduleData[GS::UniString()].bytes, NoteBlock("theirs+mine"));
    EXPECT_EQ(host->Fact("module-data-header \"\""), "version 1, sign WW");
    EXPECT_EQ(host->Fact("merge-result"), "0");

    host->mergeHandler_ = nullptr;
    EXPECT_FALSE(SimHost::MergeModuleData(host.host(), 11, GS::UniString(), incoming, result));
}

}  // namespace
