#include <gtest/gtest.h>

#include "DG/DG.hpp"
#include "DialogVerbs.hpp"
#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"
#include "ReplacedServices.hpp"
#include "UndoableCommand.hpp"
#include "frame/AddOnGlobals.hpp"
#include "framework/HostApiHelpers.hpp"
#include "pointclouds/ScannerCamera.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace
{

constexpr short Navigator = 32446;
constexpr short Tree = 2;

// The host refusing the storeys, the list of objects, or one library part.
enum class Refusal
{
    Storeys,
    Objects,
    OnePart
};
Refusal refusal = Refusal::Storeys;
std::int32_t refusedPart = 0;
HostServiceSignature::HostEnvironmentRequest hostEnvironment = nullptr;
HostServiceSignature::HostGetElementList hostElementList = nullptr;
HostServiceSignature::HostGetLibraryPart hostLibraryPart = nullptr;
GSErrCode StoreysRefused(HostToken token, std::int32_t code, void* par1, void* par2)
{
    return refusal == Refusal::Storeys && code == FourCC("GSTO") ? APIERR_GENERAL : hostEnvironment(token, code, par1, par2);
}
GSErrCode ObjectsRefused(HostToken token, API_ElemTypeID type, std::vector<API_Guid>* guids)
{
    return refusal == Refusal::Objects && type == API_ObjectID ? APIERR_GENERAL : hostElementList(token, type, guids);
}
GSErrCode OnePartRefused(HostToken token, API_LibPart* part)
{
    return refusal == Refusal::OnePart && part->index == refusedPart ? APIERR_GENERAL : hostLibraryPart(token, part);
}

class NavigatorTest : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        Model().content.storeyLevels[1] = 3.0;
        Model().content.storeyLevels[2] = 6.0;
        Model().content.storeyLevels[3] = 9.0;
        Model().content.storeyNames[0] = "EG";
    }

    // A placed point cloud on the storey with its scanner camera.
    API_Guid AddCloud(const std::string& name, std::int16_t storey, bool withCamera = true)
    {
        const std::int32_t index = static_cast<std::int32_t>(Model().libraryParts.size()) + 10;
        SimHost::LibraryPartEntry part;
        part.uniqueId =
            "{00000000-0000-4000-8000-0000000000" + std::to_string(index) + "}-{00000000-0000-4000-8000-000000000002}";
        part.name = name;
        Model().libraryParts[index] = part;
        SimHost::StoredElement object;
        object.record.header.typeID = API_ObjectID;
        object.record.header.guid = Model().NewGuid();
        object.record.header.layer = 1;
        object.record.header.floorInd = storey;
        object.record.object.libraryPartIndex = index;
        object.memo.params = {MakeParameter("show3D", APIParT_Boolean, 1.0),
                              MakeParameter("hasScannerPos", APIParT_Boolean, 1.0)};
        Model().content.elements.push_back(object);
        if (withCamera)
        {
            EXPECT_NE(InUndoableCommand([&] { return CreateScannerCamera(object.record.header.guid); }), APINULLGuid);
        }
        return object.record.header.guid;
    }

    void OpenNavigator()
    {
        API_MenuParams menu;
        menu.menuResID = 32520;
        menu.itemIndex = 1;
        Main().HandleMenuCommand(menu);
    }

    std::string TreeText() { return *SimHost::TreeFact("tree 32446 2"); }

    void DoubleClick(const std::string& text)
    {
        for (std::int32_t item = 1; item < 100; ++item)
            if (DG::TreeViewGetItemText(Navigator, Tree, item).ToUtf8() == text)
            {
                DG::TreeViewSelectItem(Navigator, Tree, item);
                DG::SendDialogMessage(Navigator, DG::MsgDoubleClick, Tree, 0);
                return;
            }
        ADD_FAILURE() << "no tree item " << text;
    }

    double Show3D(const API_Guid& object)
    {
        const SimHost::StoredElement* element = Model().Find(object);
        const std::int32_t at = FindMemoParamIndex("show3D", element->memo);
        return at < 0 ? -1.0 : element->memo.params[static_cast<std::size_t>(at)].value;
    }

    // The panorama follows the scanner camera: remembered, its palette open.
    bool Follows(const API_Guid& camera)
    {
        return Main().navigatorPalette.trackedCamera == camera && DG::IsOpen(Main().cameraPalette.GetDialogId());
    }
};

TEST_F(NavigatorTest, TheMenuOpensAndClosesIt)
{
    OpenNavigator();
    EXPECT_TRUE(DG::IsOpen(Navigator));
    EXPECT_EQ(DG::GetDialog(Navigator)->title.ToUtf8(), "Varo Navigator");
    EXPECT_EQ(TreeText(), "Geschosse | .3. Geschoss | .2. Geschoss | .1. Geschoss | .0. EG");
    OpenNavigator();
    EXPECT_FALSE(DG::IsOpen(Navigator));
}

// Storeys from the highest down, clouds under their storey in list order; a cloud
// on a storey the project lacks is listed but not shown; an object without links
// is no cloud.
TEST_F(NavigatorTest, ListsTheCloudsByStorey)
{
    AddCloud("Halle", 1);
    AddCloud("Keller", 0);
    AddCloud("Halle Nord", 1);
    AddCloud("Dach", 7);
    SimHost::StoredElement plain = Model().content.elements.front();
    plain.record.header.guid = Model().NewGuid();
    plain.links.clear();
    Model().content.elements.push_back(plain);
    OpenNavigator();
    EXPECT_EQ(TreeText(), "Geschosse | .3. Geschoss | .2. Geschoss | .1. Geschoss | ..Halle | ..Halle Nord | .0. EG | ..Keller");
    const auto& clouds = Main().navigatorPalette.PointClouds();
    ASSERT_EQ(clouds.GetSize(), 4u);
    EXPECT_EQ(clouds[3].name.ToUtf8(), "Dach");
    EXPECT_EQ(clouds[3].storey, 7);
    EXPECT_NE(clouds[0].cameraGuid, APINULLGuid);
    EXPECT_EQ(DG::TreeViewGetItemUserData(Navigator, Tree, 1), 0);
    EXPECT_EQ(DG::TreeViewGetItemIcon(Navigator, Tree, 1), 32710);
}

// What the host does not tell is left out of the tree, not shown as it was before
// the host answered: no storeys, no clouds, or no cloud whose part is unknown.
TEST_F(NavigatorTest, WhatTheHostDoesNotTellIsLeftOut)
{
    struct Case
    {
        const char* name;
        Refusal refusal;
        const char* tree;
    };
    const Case cases[] = {
        {"storeys refused", Refusal::Storeys, "Geschosse"},
        {"objects refused", Refusal::Objects, "Geschosse | .3. Geschoss | .2. Geschoss | .1. Geschoss | .0. EG"},
        {"one part refused", Refusal::OnePart, "Geschosse | .3. Geschoss | .2. Geschoss | .1. Geschoss | ..Halle | .0. EG"},
    };
    AddCloud("Halle", 1);
    refusedPart = Model().Find(AddCloud("Keller", 0))->record.object.libraryPartIndex;
    for (const Case& c : cases)
    {
        refusal = c.refusal;
        ReplacedServices replaced(Host());
        hostEnvironment = REPLACE_HOST_SERVICE(replaced, HostEnvironmentRequest, StoreysRefused);
        hostElementList = REPLACE_HOST_SERVICE(replaced, HostGetElementList, ObjectsRefused);
        hostLibraryPart = REPLACE_HOST_SERVICE(replaced, HostGetLibraryPart, OnePartRefused);
        OpenNavigator();
        EXPECT_EQ(TreeText(), c.tree) << c.name;
        OpenNavigator();
    }
}

TEST_F(NavigatorTest, ARefreshKeepsWhatWasExpandedAndShowsNewClouds)
{
    AddCloud("Halle", 1);
    OpenNavigator();
    DG::TreeViewExpandItem(Navigator, Tree, 1);
    const std::int32_t storey = FindTreeViewItemByUserData(Navigator, Tree, DG::TreeItemRoot, 1 - 100000);
    DG::TreeViewExpandItem(Navigator, Tree, storey);
    AddCloud("Keller", 0);
    Main().navigatorPalette.Refresh();
    EXPECT_EQ(TreeText(), "+Geschosse | .3. Geschoss | .2. Geschoss | .+1. Geschoss | ..Halle | .0. EG | ..Keller");
    EXPECT_TRUE(DG::TreeViewIsDrawEnabled(Navigator, Tree));
}

TEST_F(NavigatorTest, ARefreshWhileClosedDoesNothing)
{
    AddCloud("Halle", 1);
    Main().navigatorPalette.Refresh();
    EXPECT_EQ(Main().navigatorPalette.PointClouds().GetSize(), 0u);
}

TEST_F(NavigatorTest, ADoubleClickOpensTheCamerasViewAndShowsOnlyThatCloud)
{
    const API_Guid clouds[] = {AddCloud("A", 0), AddCloud("B", 0), AddCloud("C", 0)};
    OpenNavigator();
    const std::size_t stepsBefore = Model().undoSteps.size();
    DoubleClick("B");
    EXPECT_EQ(Show3D(clouds[0]), 0.0);
    EXPECT_EQ(Show3D(clouds[1]), 1.0);
    EXPECT_EQ(Show3D(clouds[2]), 0.0);
    EXPECT_EQ(Model().undoSteps.size(), stepsBefore + 1);
    EXPECT_EQ(Host().Fact("opened-view"), "camera view of element 6");
    EXPECT_EQ(Model().frontWindow, APIWind_3DModelID);
    EXPECT_TRUE(Follows(Model().content.elements[5].record.header.guid));
    EXPECT_EQ(cameraUpdateBusy, 0);
    EXPECT_EQ(TreeText(), "Geschosse | .3. Geschoss | .2. Geschoss | .1. Geschoss | .0. EG | ..A | ..B (style 16) * | ..C");
    EXPECT_EQ(GetOwnChangeCounter(), 0);
}

TEST_F(NavigatorTest, DoubleClicksThatDoNothing)
{
    const API_Guid shown = AddCloud("A", 0);
    AddCloud("Ohne Kamera", 0, false);
    Model().content.elements.back().links.push_back({shown, 2});
    OpenNavigator();
    for (const char* item : {"Geschosse", "0. EG", "Ohne Kamera"})
    {
        DoubleClick(item);
        EXPECT_EQ(Host().Fact("opened-view"), "none") << item;
        EXPECT_FALSE(Follows(Main().navigatorPalette.trackedCamera)) << item;
        EXPECT_EQ(Show3D(shown), 1.0) << item;
    }
}

// Writing back an empty memo where one could not be read would clear the
// object's parameters.
TEST_F(NavigatorTest, AMemoThatCannotBeReadIsNotWrittenBack)
{
    const API_Guid clouds[] = {AddCloud("A", 0), AddCloud("B", 0)};
    OpenNavigator();
    Host().FailService(HostSlot::HostGetElementMemo);
    Host().LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    DoubleClick("A");
    for (const API_Guid& cloud : clouds)
    {
        EXPECT_EQ(Model().Find(cloud)->memo.params.size(), 2u);
        EXPECT_EQ(Show3D(cloud), 1.0);
    }
}

}  // namespace
