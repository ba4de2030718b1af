#include <algorithm>
#include <iterator>

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringPrompts.hpp"
#include "measuring/MeasuringState.hpp"
#include "measuring/PaletteToolViews.hpp"

// The main palette's refresh: the items of the current tool with their icons and
// tooltips, the polygon buttons by the points collected, the lock-down after the
// instrument was bumped, and the prompt that tells what to measure next.

namespace
{

constexpr short MainPalette = Survanto::MainPaletteDialogId;
constexpr std::int16_t FirstItem = 1;
constexpr std::int16_t LastItem = 82;
constexpr std::int16_t PromptList = 32560;

using namespace MainPaletteItems;

// What stays usable while the palette is locked down, and what the re-enabling leaves alone.
constexpr std::int16_t LockDownItems[] = {PromptItem, SettingsItem, AngleSnapItem, ShotHeightLabelItem, Shot3DItem, Shot2DItem};
constexpr std::int16_t KeptByReenabling[] = {PromptItem, ShotHeightLabelItem, ShotHeightItem, Shot3DItem, Shot2DItem};

constexpr std::int16_t InsideEntry = 1;
constexpr std::int16_t OutsideEntry = 2;
constexpr std::int16_t SolidMeshEntry = 2;
constexpr std::int16_t SillIcon = 32672;
constexpr std::int16_t OutsideSillIcon = 32673;

bool Contains(const std::int16_t* begin, const std::int16_t* end, std::int16_t item)
{
    return std::find(begin, end, item) != end;
}

bool IsOn(std::int16_t item) { return DG::GetItemValue(MainPalette, item) == 1.0; }

std::int16_t EntryOf(std::int16_t item) { return DG::PopupGetSelected(MainPalette, item); }

void SetEnabled(std::int16_t item, bool enabled)
{
    if (DG::IsItemEnabled(MainPalette, item) != enabled) DG::EnableItem(MainPalette, item, enabled);
}

void SetVisible(std::int16_t item, bool visible)
{
    if (DG::IsItemVisible(MainPalette, item) != visible) DG::ShowItem(MainPalette, item, visible);
}

bool IsFloorPlanInFront()
{
    API_DatabaseInfo window {};
    return HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) == NoError && window.typeID == APIWind_FloorPlanID;
}

bool IsLockedDown(const Survanto& survanto) { return survanto.instrumentBumped && measuringState.stationMode == 1; }

void LockDown()
{
    for (std::int16_t item = FirstItem; item <= LastItem; ++item) DG::DisableItem(MainPalette, item);
    for (const std::int16_t item : LockDownItems) DG::EnableItem(MainPalette, item);
}

// Only a bump on a station of no known mode keeps the items disabled.
void EnableItemsAgain(const Survanto& survanto)
{
    const std::int16_t mode = measuringState.stationMode;
    const bool enabled = !(survanto.instrumentBumped && mode != 1 && mode != 2);
    for (std::int16_t item = FirstItem; item <= LastItem; ++item)
        if (!Contains(std::begin(KeptByReenabling), std::end(KeptByReenabling), item)) SetEnabled(item, enabled);
}

// The reveal items are changed only while push menu 33 offers them, or when it is hidden.
bool FollowsTheTool(std::int16_t item)
{
    const bool kindHidden = !DG::IsItemVisible(MainPalette, RevealKindItem);
    const std::int16_t kind = EntryOf(RevealKindItem);
    if (item == RevealWidthItem || item == RevealWidthLabelItem) return kind == 2 || kind == 3 || kindHidden;
    if (item == SecondRevealDepthItem || item == SecondRevealWidthItem) return kind == 3 || kindHidden;
    return true;
}

void ApplyVisibility(const ToolView& view)
{
    for (const std::int16_t item : ToolDependentItems())
        if (FollowsTheTool(item)) SetVisible(item, IsShownFor(view, item));
    for (const std::int16_t item : AlwaysAppliedItems()) DG::ShowItem(MainPalette, item, IsShownFor(view, item));
}

void ApplyLook(const ToolView& view)
{
    for (const ItemIcon& icon : view.icons) SetDialogItemIcon(MainPalette, icon.item, icon.icon);
    for (const ItemHelp& help : view.helps) DG::SetItemHelpIndex(MainPalette, help.item, help.index);
    for (const PushMenuIcons& menu : view.menus)
        for (std::size_t entry = 0; entry < menu.icons.size(); ++entry)
            SetPushMenuItemIcon(MainPalette, menu.item, static_cast<std::int16_t>(entry + 1), menu.icons[entry]);
}

void SetRevealHelp(std::int16_t index)
{
    for (std::int16_t item = RevealDepthItem; item <= SecondRevealWidthItem; ++item)
        DG::SetItemHelpIndex(MainPalette, item, index);
}

// Measured from inside, a reveal may be straight, splayed or measured on both sides.
void UpdateReveals(const RevealIcons& icons, bool window)
{
    const bool inside = EntryOf(OpeningSideItem) == InsideEntry;
    if (inside)
    {
        DG::PopupSetItemCount(MainPalette, RevealKindItem, static_cast<short>(icons.kinds.size()));
        for (std::size_t entry = 0; entry < icons.kinds.size(); ++entry)
            SetPushMenuItemIcon(MainPalette, RevealKindItem, static_cast<std::int16_t>(entry + 1), icons.kinds[entry]);
    }
    else
    {
        DG::PopupSetItemCount(MainPalette, RevealKindItem, 1);
    }
    const std::int16_t kind = EntryOf(RevealKindItem);
    std::int16_t revealIcon = icons.outside;
    std::int16_t help = 1;
    if (inside && kind == 1) revealIcon = icons.straightInside;
    if (inside && kind == 2) revealIcon = icons.splayedInside;
    if (inside && kind == 3)
    {
        revealIcon = icons.bothSidesInside;
        help = 2;
    }
    SetRevealHelp(help);
    SetDialogItemIcon(MainPalette, RevealItem, revealIcon);
    if (kind == 1)
        for (const std::int16_t item : {RevealWidthItem, RevealWidthLabelItem, SecondRevealWidthItem, SecondRevealDepthItem})
            DG::HideItem(MainPalette, item);
    if (kind == 2)
        for (const std::int16_t item : {SecondRevealWidthItem, SecondRevealDepthItem}) DG::HideItem(MainPalette, item);
    if (!window) return;
    const bool outside = EntryOf(OpeningSideItem) == OutsideEntry;
    for (const std::int16_t item : {NicheDepthItem, NicheHeightItem, RadiatorNicheItem})
        DG::ShowItem(MainPalette, item, !outside);
    SetDialogItemIcon(MainPalette, WindowSillItem, outside ? OutsideSillIcon : SillIcon);
}

void UpdateToolSpecifics(const Survanto& survanto, const ToolView& view)
{
    const std::int32_t tool = survanto.currentTool;
    if (tool == API_MeshID)
    {
        const std::int16_t stationMode = measuringState.stationMode;
        const bool enabled = EntryOf(MeshKindItem) == SolidMeshEntry && !(survanto.instrumentBumped && stationMode != 2);
        if (DG::IsItemEnabled(MainPalette, FreeAreaHeightModeItem) != enabled)
        {
            DG::EnableItem(MainPalette, FreeAreaHeightModeItem, enabled);
            DG::EnableItem(MainPalette, FreeAreaHeightItem, enabled);
        }
    }
    if (tool == API_ColumnID)
    {
        std::int32_t anchorCode = 0;
        survanto.GetSelectedAnchor(nullptr, &anchorCode);
        SetDialogItemIcon(MainPalette, FifthOptionItem, AnchorIconOf(anchorCode));
    }
    if (view.reveal) UpdateReveals(*view.reveal, tool == API_WindowID);
}

// The wall needs a point more than the other tools before its polygon may end.
void UpdatePolygonFinishing(const Survanto& survanto)
{
    const std::int32_t tool = survanto.currentTool;
    const bool finish = CollectsPolygon(tool, IsOn(FirstOptionItem), IsOn(SecondOptionItem));
    const bool connect = ConnectsPoints(tool, IsOn(MorphPointsItem));
    const std::uint32_t points = survanto.actionPoints.GetSize();
    SetEnabled(FinishOpenPolygonItem, finish && points >= PointsToFinish(FinishOpenPolygonItem, tool));
    SetEnabled(FinishClosedPolygonItem, finish && points >= PointsToFinish(FinishClosedPolygonItem, tool));
    SetEnabled(ConnectItem, connect && points >= PointsToFinish(ConnectItem, tool));
    if (tool == API_MorphID) DG::EnableItem(MainPalette, ThirdOptionItem);
}

// The button shows whether its sub-palette is open, unless that palette is closing.
void SyncButton(const Survanto& survanto, std::int16_t item, const CDialogBase& subPalette, bool closing)
{
    if (survanto.GetOpenMode() == CDialogBase::Closed) return;
    const bool open = subPalette.GetOpenMode() != CDialogBase::Closed && !closing;
    DG::SetItemValue(MainPalette, item, open ? 1.0 : 0.0);
}

}  // namespace

// Nothing changes while the palette is closed or the host's tool is not the current one.
void Survanto::UpdateMainPalette()
{
    if (GetOpenMode() == Closed) return;
    DG::EnableItem(MainPalette, ShotHeightItem, IsFloorPlanInFront());
    const API_ToolBoxItem toolboxItem = CurrentToolboxItem();
    if (toolboxItem.typeID != currentTool) return;
    if (IsLockedDown(*this))
    {
        LockDown();
        return;
    }
    if (refreshItems)
    {
        EnableItemsAgain(*this);
        refreshItems = false;
    }
    const ToolView& view = ToolViewOf(currentTool, toolboxItem.variationID);
    DG::EnableItem(MainPalette, OrthophotoImportItem);
    ApplyVisibility(view);
    ApplyLook(view);
    UpdateToolSpecifics(*this, view);
    UpdatePolygonFinishing(*this);
    if (measuringState.alignmentPending != 0) DG::EnableItem(MainPalette, AlignInstrumentItem);
    if (measuringState.referenceHeightPending != 0) DG::EnableItem(MainPalette, ReferenceHeightModeItem);
    UpdateAnchorPopup();
    curvePalette.UpdateItems();
}

// The anchor chosen before stays chosen while it is offered.
void Survanto::UpdateAnchorPopup()
{
    const std::int16_t selected = EntryOf(AnchorItem);
    const std::int16_t remembered = selected > 0 ? DG::PopupGetItemIcon(MainPalette, AnchorItem, selected) : 0;
    const std::vector<std::int16_t>& icons = AnchorIconsFor(currentTool, measuringMode);
    DG::PopupSetItemCount(MainPalette, AnchorItem, static_cast<short>(icons.size()));
    std::int16_t chosen = 1;
    for (std::size_t i = 0; i < icons.size(); ++i)
    {
        const auto entry = static_cast<std::int16_t>(i + 1);
        SetPushMenuItemIcon(MainPalette, AnchorItem, entry, icons[i]);
        if (icons[i] == remembered) chosen = entry;
    }
    DG::PopupSelectItem(MainPalette, AnchorItem, chosen);
}

void Survanto::SyncCurvePaletteButton(bool closing)
{
    if (currentTool == API_PolyLineID) SyncButton(*this, FirstOptionItem, curvePalette, closing);
    if (currentTool == API_MorphID || currentTool == API_WallID || currentTool == API_HatchID || currentTool == API_SlabID)
        SyncButton(*this, SecondOptionItem, curvePalette, closing);
}

void Survanto::SyncImportPaletteButton(bool closing) { SyncButton(*this, OrthophotoImportItem, importPalette, closing); }

void Survanto::SyncPhotoFolderButton(bool closing) { SyncButton(*this, PhotoFolderItem, photoFolderDialog, closing); }

void Survanto::SyncPhotoPreviewButton(bool closing)
{
    SyncButton(*this, PhotoPreviewItem, photoFolderDialog.photoPalette, closing);
}

void Survanto::ShowMeasuringPrompt()
{
    PromptSituation situation;
    situation.tool = currentTool;
    situation.variation = CurrentToolboxItem().variationID;
    situation.mode = measuringMode;
    situation.step = pointStep;
    situation.isOn = IsOn;
    situation.entryOf = EntryOf;
    DG::GetDialog(MainPalette, resourceModules[0]);
    const std::int16_t prompt = ChooseMeasuringPrompt(situation);
    DG::SetItemText(MainPalette, PromptItem, RS::GetIndString(PromptList, prompt, CurrentResourceModule()));
    DG::EnableItem(MainPalette, ReferenceHeightItem, IsOn(ReferenceHeightModeItem));
}
