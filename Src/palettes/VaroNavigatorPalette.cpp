#include "palettes/VaroNavigatorPalette.hpp"

#include <cstdio>
#include <optional>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/CameraUpdateScope.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/OwnChangeScope.hpp"
#include "framework/ScopedElementMemo.hpp"

namespace
{

constexpr std::int16_t StoreyText = 111;
constexpr std::int16_t StoreysText = 112;
constexpr short TopIcon = 32710;
constexpr short StoreyIcon = 32711;
constexpr short CloudIcon = 32712;
constexpr std::int64_t StoreyData = -100000;
constexpr std::uint32_t ScannerLink = 1;
constexpr short ChosenStyle = 16;
constexpr std::uint64_t ParameterMemo = 0x40000004;
constexpr std::uint64_t ParameterChange = 0x40000000;

GS::UniString Text(std::int16_t index) { return RS::GetIndString(AlertStringListId, index, CurrentResourceModule()); }

// None when the host does not tell them.
API_StoryInfo Storeys()
{
    API_StoryInfo storeys;
    if (HostEnvironmentRequest(FourCC("GSTO"), &storeys, nullptr) != NoError) return API_StoryInfo {};
    return storeys;
}

GS::UniString StoreyName(const API_StoryType& storey)
{
    char number[16];
    std::snprintf(number, sizeof number, "%d. ", static_cast<int>(storey.index));
    return GS::UniString(number) + (storey.uName.IsEmpty() ? Text(StoreyText) : storey.uName);
}

std::int32_t InsertItem(std::int32_t parent, std::int32_t position, const GS::UniString& text, short icon, std::int64_t userData)
{
    const std::int32_t item =
        DG::TreeViewInsertItem(VaroNavigatorPalette::DialogId, VaroNavigatorPalette::TreeItem, parent, position);
    DG::TreeViewSetItemText(VaroNavigatorPalette::DialogId, VaroNavigatorPalette::TreeItem, item, text);
    DG::TreeViewSetItemIcon(VaroNavigatorPalette::DialogId, VaroNavigatorPalette::TreeItem, item, icon);
    DG::TreeViewSetItemUserData(VaroNavigatorPalette::DialogId, VaroNavigatorPalette::TreeItem, item, userData);
    return item;
}

bool IsExpanded(std::int32_t item)
{
    return item != DG::TreeItemNone &&
           DG::TreeViewIsItemExpanded(VaroNavigatorPalette::DialogId, VaroNavigatorPalette::TreeItem, item);
}

// The last linked element that the object links to as its scanner camera.
API_Guid ScannerCameraOf(const API_Guid& object, const std::vector<API_Guid>& linked)
{
    API_Guid camera {};
    for (const API_Guid& element : linked)
    {
        std::uint32_t flags = 0;
        if (HostGetElementLinkFlags(&object, &element, &flags) == NoError && flags == ScannerLink) camera = element;
    }
    return camera;
}

}  // namespace

VaroNavigatorPalette::VaroNavigatorPalette()
{
    SetDialogId(DialogId);
    SetPaletteGuid(navigatorPaletteGuid);
}

VaroNavigatorPalette::~VaroNavigatorPalette() = default;

std::int16_t VaroNavigatorPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (message == DG::MsgClick || message == DG::MsgChange) HostInterfaceRequest(FourCC("INCA"), nullptr, nullptr);
    if (dialogId != DialogId && message != DG::MsgInit) return 0;
    switch (message)
    {
        case DG::MsgInit: Init(); break;
        case DG::MsgClick:
            if (item == DG::CloseBox) return -1;
            break;
        case DG::MsgDoubleClick:
            if (item == TreeItem) OnDoubleClick();
            break;
        case DG::MsgResize: resizer_.Resize(false); break;
        default: break;
    }
    return 0;
}

void VaroNavigatorPalette::Init()
{
    resizer_ = CDialogResizer();
    resizer_.Attach(DialogId);
    resizer_.AddItem(DialogId, TreeItem, 0.0, 0.0, 1.0, 1.0);
    CollectPointClouds();
    BuildTree();
}

void VaroNavigatorPalette::CollectPointClouds()
{
    pointClouds_.Clear();
    const FloorPlanDatabaseScope floorPlan;
    std::vector<API_Guid> objects;
    if (HostGetElementList(API_ObjectID, &objects) != NoError) return;
    for (const API_Guid& guid : objects)
    {
        std::vector<API_Guid> linked;
        if (HostGetElementLinks(&guid, &linked) != NoError || linked.empty()) continue;
        API_Element object;
        object.header.guid = guid;
        if (HostGetElement(&object) != NoError) continue;
        const std::optional<GS::UniString> name = LibraryPartName(object.object.libraryPartIndex);
        if (!name) continue;
        PointCloudData cloud;
        cloud.cameraGuid = ScannerCameraOf(guid, linked);
        cloud.name = *name;
        cloud.objectGuid = object.header.guid;
        cloud.storey = object.header.floorInd;
        pointClouds_.Add(cloud);
    }
}

// Storeys come first to last, each inserted at the top, so the highest is shown first.
void VaroNavigatorPalette::BuildTree()
{
    const API_StoryInfo storeys = Storeys();
    const std::int32_t top = DG::TreeViewGetItem(DialogId, TreeItem, DG::TreeItemRoot, DG::TreeFirstChild);
    const bool topExpanded = IsExpanded(top);
    std::vector<bool> storeyExpanded;
    for (std::int32_t index = storeys.firstStory; index <= storeys.lastStory; ++index)
        storeyExpanded.push_back(IsExpanded(
            FindTreeViewItemByUserData(DialogId, TreeItem, DG::TreeItemRoot, static_cast<std::int32_t>(index + StoreyData))));
    DG::TreeViewDisableDraw(DialogId, TreeItem);
    DG::TreeViewDeleteAllItems(DialogId, TreeItem);
    const std::int32_t newTop = InsertItem(DG::TreeItemRoot, DG::TreeInsertLast, Text(StoreysText), TopIcon, 0);
    for (const API_StoryType& storey : storeys.data)
    {
        if (storey.index < storeys.firstStory || storey.index > storeys.lastStory) continue;
        const std::int32_t node =
            InsertItem(newTop, DG::TreeInsertFirst, StoreyName(storey), StoreyIcon, storey.index + StoreyData);
        for (std::uint32_t i = 0; i < pointClouds_.GetSize(); ++i)
            if (pointClouds_[i].storey == storey.index)
                InsertItem(node, DG::TreeInsertLast, pointClouds_[i].name, CloudIcon, i + 1);
        if (storeyExpanded[static_cast<std::size_t>(storey.index - storeys.firstStory)])
            DG::TreeViewExpandItem(DialogId, TreeItem, node);
    }
    if (topExpanded) DG::TreeViewExpandItem(DialogId, TreeItem, newTop);
    DG::TreeViewEnableDraw(DialogId, TreeItem);
    DG::TreeViewRedraw(DialogId, TreeItem);
}

void VaroNavigatorPalette::OnDoubleClick()
{
    const std::int32_t selected = DG::TreeViewGetSelectedItem(DialogId, TreeItem);
    const std::int64_t userData = DG::TreeViewGetItemUserData(DialogId, TreeItem, selected);
    if (selected == DG::TreeItemNone || userData <= 0 || userData > pointClouds_.GetSize()) return;
    const auto chosen = static_cast<std::uint32_t>(userData - 1);
    API_NavigatorItem wanted;
    wanted.itemType = API_CameraNavItem;
    wanted.mapId = API_ProjectMap;
    wanted.dbTypeID = APIWind_3DModelID;
    wanted.elementGuid = pointClouds_[chosen].cameraGuid;
    std::vector<API_NavigatorItem> found;
    if (HostNavigatorRequest(FourCC("SNVI"), &wanted, &found) != NoError || found.empty()) return;
    char view[200];
    std::snprintf(view, sizeof view, "%s", APIGuid2GSGuid(found.front().guid).ToText().c_str());
    {
        const CameraUpdateScope update;
        HostAutomationRequest(FourCC("GOVW"), view, nullptr);
        API_NotifyViewEventType opened;
        opened.itemGuid = found.front().guid;
        if (Survanto* survanto = theSurvanto.load()) survanto->OnCameraViewOpened(opened);
    }
    DG::TreeViewDisableDraw(DialogId, TreeItem);
    DG::TreeViewSetItemStyle(DialogId, TreeItem, DG::TreeItemRoot, 0);
    DG::TreeViewSetItemStyle(DialogId, TreeItem, selected, ChosenStyle);
    DG::TreeViewEnableDraw(DialogId, TreeItem);
    DG::TreeViewRedraw(DialogId, TreeItem);
    HostCallUndoableCommand(GS::UniString(), [this, chosen] { return ApplyShow3D(*this, chosen); });
}

// A memo that cannot be read is left as it is: writing it back would clear its parameters.
GSErrCode VaroNavigatorPalette::ApplyShow3D(VaroNavigatorPalette& palette, std::uint32_t chosen)
{
    const OwnChangeScope ownChange("ApplyShow3D");
    const FloorPlanDatabaseScope floorPlan;
    for (std::uint32_t k = 0; k < palette.pointClouds_.GetSize(); ++k)
    {
        const API_Guid& object = palette.pointClouds_[k].objectGuid;
        ScopedElementMemo memo;
        if (HostGetElementMemo(&object, &*memo, ParameterMemo) != NoError) continue;
        const std::int32_t show = FindMemoParamIndex("show3D", *memo);
        if (show >= 0) memo->params[static_cast<std::size_t>(show)].value = k == chosen ? 1.0 : 0.0;
        ForceChangeElementMemo(object, &*memo, ParameterChange);
    }
    return NoError;
}

void VaroNavigatorPalette::Refresh()
{
    if (GetOpenMode() == Closed) return;
    CollectPointClouds();
    BuildTree();
}
