#include "frame/SettingsDialog.hpp"

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"
#include "DG/DG.hpp"
#include "IO/Location.hpp"
#include "RS/ResourceModule.hpp"
#include "Win/WinStandIns.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"

namespace
{

enum SettingsItem : std::int16_t
{
    OkButton = 1,
    CancelButton = 2,
    WallThicknessEdit = 4,
    SnapDirectionEdit = 6,
    StationChangeEdit = 8,
    PreciseAtStationChangeBox = 10,
    PreciseAlwaysBox = 12,
    NumberEdit = 14,
    StationLayerControl = 16,
    StationPenEdit = 18,
    StationPenControl = 19,
    ClassPopup = 21,
    ClassLayerControl = 22,
    ClassPenEdit = 24,
    ClassPenControl = 25,
    StationPointLayerControl = 27,
    StationPointPenEdit = 29,
    StationPointPenControl = 30,
    FreeAreaLayerControl = 32,
    FreeAreaPenEdit = 34,
    FreeAreaPenControl = 35,
    MarkerIdBox = 37,
    CalibrationBox = 39,
    SoundBox = 41,
    FolderText = 43,
    BrowseButton = 44,
    TrackingBox = 46,
    RaisingBox = 48,
    DelayEdit = 50,
    LanguagePopup = 51,
};

constexpr std::int32_t PenChooserKind = 0;
constexpr std::int32_t LayerChooserKind = 18;
constexpr std::int16_t LayerControls[] = {StationLayerControl, ClassLayerControl, StationPointLayerControl, FreeAreaLayerControl};
constexpr std::int16_t PenControls[] = {StationPenControl, ClassPenControl, StationPointPenControl, FreeAreaPenControl};
// The pen-number edit and the pen control of each row follow each other.
constexpr std::int16_t PenPairs[][2] = {{StationPenEdit, StationPenControl},
                                        {StationPointPenEdit, StationPointPenControl},
                                        {FreeAreaPenEdit, FreeAreaPenControl},
                                        {ClassPenEdit, ClassPenControl}};
constexpr std::int16_t OutOfSight = -10000;
// Hiding the rows of items 7 to 14 frees 120 pixels, the row of 38 and 39 another 30.
constexpr std::int16_t UpperRowsShift = 120;
constexpr std::int16_t LowerRowsShift = 150;
constexpr std::int16_t FolderBrowserTitles = 32580;
constexpr std::int16_t FolderBrowserTitle = 1;
constexpr const char* ExchangeFileName = "vezadovi4vuz.lse";

bool IsHiddenItem(std::int16_t item) { return (item >= 7 && item <= 14) || item == 38 || item == 39; }

std::int16_t Short(double value) { return static_cast<std::int16_t>(value); }

GS::UniString FolderOf(const GS::UniString& file)
{
    IO::Location folder(file);
    folder.DeleteLastLocalName();
    return folder.ToUniString();
}

void BindUserControl(std::int16_t dialogId, std::int16_t item, std::int32_t kind)
{
    API_UCCallbackType control {kind, dialogId, item};
    HostInterfaceRequest(FourCC("SUCC"), &control, nullptr);
}

std::uint32_t AskWindows(std::uint32_t action)
{
    std::uint32_t value = 0;
    return Win::SystemParametersInfoA(action, 0, &value, 0) ? value : 0;
}

}  // namespace

SettingsDialog::SettingsDialog() { SetDialogId(DialogId); }

SettingsDialog::~SettingsDialog() = default;

std::int16_t SettingsDialog::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (dialogId != DialogId) return 0;
    switch (message)
    {
        case DG::MsgInit: InitDialog(); break;
        case DG::MsgClick:
            if (item == OkButton || item == CancelButton || item == DG::CloseBox)
            {
                if (item == OkButton) ApplyToWindows();
                return item;
            }
            Clicked(item);
            break;
        case DG::MsgChange:
            Changed(item);
            KeepFixedSize();
            break;
        case DG::MsgResize: KeepFixedSize(); break;
        case DG::MsgClose: ReadBack(); break;
        default: break;
    }
    return 0;
}

void SettingsDialog::InitDialog()
{
    const DG::Size initial = DG::GetClientSize(DialogId);
    fixedWidth = initial.width;
    fixedHeight = initial.height;

    DG::BeginMoveGrowItems(DialogId);
    for (std::int16_t item = 1; item <= LanguagePopup; ++item)
    {
        if (IsHiddenItem(item))
        {
            DG::HideItem(DialogId, item);
            DG::MoveGrowItem(DialogId, item, OutOfSight, OutOfSight, 0, 0);
        }
        else if (item >= 15 && item <= 37)
        {
            DG::MoveGrowItem(DialogId, item, 0, -UpperRowsShift, 0, 0);
        }
        else if (item <= CancelButton || (item >= 40 && item <= DelayEdit))
        {
            DG::MoveGrowItem(DialogId, item, 0, -LowerRowsShift, 0, 0);
        }
    }
    DG::EndMoveGrowItems(DialogId);
    fixedHeight = static_cast<std::int16_t>(fixedHeight - LowerRowsShift);
    KeepFixedSize();

    DG::SetItemValue(DialogId, WallThicknessEdit, wallThicknessTolerance);
    DG::SetItemValue(DialogId, SnapDirectionEdit, snapDirectionTolerance);
    DG::SetItemValue(DialogId, StationChangeEdit, stationChangeTolerance);
    DG::SetItemValue(DialogId, SoundBox, sounds ? 1.0 : 0.0);
    DG::SetItemText(DialogId, FolderText, FolderOf(exchangeFile));

    if (preciseMeasurementChoice == PreciseAtStationChange || preciseMeasurementChoice == PreciseAlways)
        DG::SetItemValue(DialogId, preciseMeasurementChoice, 1.0);
    DG::SetItemValue(DialogId, NumberEdit, numberOfMeasurements);
    DG::EnableItem(DialogId, NumberEdit, preciseMeasurementChoice != 0);

    for (const std::int16_t item : LayerControls) BindUserControl(DialogId, item, LayerChooserKind);
    for (const std::int16_t item : PenControls) BindUserControl(DialogId, item, PenChooserKind);
    DG::SetItemValue(DialogId, StationLayerControl, stationLayer);
    DG::SetItemValue(DialogId, StationPointLayerControl, stationPointLayer);
    DG::SetItemValue(DialogId, FreeAreaLayerControl, freeAreaLayer);

    DG::PopupSelectItem(DialogId, ClassPopup, selectedClass);
    DG::SetItemValue(DialogId, FreeAreaPenEdit, freeAreaPen);
    DG::SetItemValue(DialogId, FreeAreaPenControl, freeAreaPen);
    DG::SetItemValue(DialogId, StationPointPenEdit, stationPointPen);
    DG::SetItemValue(DialogId, StationPointPenControl, stationPointPen);
    DG::SetItemValue(DialogId, StationPenEdit, stationPen);
    DG::SetItemValue(DialogId, StationPenControl, stationPen);
    ShowSelectedClass();

    DG::SetItemValue(DialogId, MarkerIdBox, markerIdsShown ? 1.0 : 0.0);
    DG::SetItemValue(DialogId, CalibrationBox, manualCalibration ? 1.0 : 0.0);

    const std::uint32_t tracking = AskWindows(Win::SPI_GETACTIVEWINDOWTRACKING);
    DG::SetItemValue(DialogId, TrackingBox, tracking != 0 ? 1.0 : 0.0);
    DG::SetItemValue(DialogId, RaisingBox, AskWindows(Win::SPI_GETACTIVEWNDTRKZORDER) != 0 ? 1.0 : 0.0);
    const double delay = tracking != 0 ? static_cast<double>(AskWindows(Win::SPI_GETACTIVEWNDTRKTIMEOUT)) : trackingDelay;
    DG::SetItemValue(DialogId, DelayEdit, delay);

    DG::PopupSelectItem(DialogId, LanguagePopup, static_cast<short>(language + 1));
}

void SettingsDialog::Clicked(std::int16_t item)
{
    if (item == BrowseButton) BrowseExchangeFolder();
}

void SettingsDialog::Changed(std::int16_t item)
{
    for (const auto& pair : PenPairs)
        if (item == pair[0] || item == pair[1])
        {
            const double pen = DG::GetItemValue(DialogId, item);
            DG::SetItemValue(DialogId, item == pair[0] ? pair[1] : pair[0], pen);
            if (pair[0] == ClassPenEdit) perClassPens[ClassIndex()] = Short(pen);
            return;
        }
    switch (item)
    {
        case PreciseAtStationChangeBox: PreciseBoxChanged(PreciseAtStationChangeBox, PreciseAlwaysBox); break;
        case PreciseAlwaysBox: PreciseBoxChanged(PreciseAlwaysBox, PreciseAtStationChangeBox); break;
        case NumberEdit: NumberOfMeasurementsChanged(); break;
        case ClassPopup:
            selectedClass = DG::PopupGetSelected(DialogId, ClassPopup);
            ShowSelectedClass();
            break;
        case ClassLayerControl: perClassLayers[ClassIndex()] = Short(DG::GetItemValue(DialogId, ClassLayerControl)); break;
        case MarkerIdBox: markerIdsShown = DG::GetItemValLong(DialogId, MarkerIdBox) == 1; break;
        case CalibrationBox: manualCalibration = DG::GetItemValLong(DialogId, CalibrationBox) == 1; break;
        default: break;
    }
}

// The two boxes exclude each other; with neither ticked one measurement is taken.
void SettingsDialog::PreciseBoxChanged(std::int16_t box, std::int16_t other)
{
    DG::SetItemValue(DialogId, other, 0.0);
    if (DG::GetItemValLong(DialogId, box) == 0)
    {
        numberOfMeasurements = 1;
        DG::SetItemValue(DialogId, NumberEdit, 1.0);
        DG::DisableItem(DialogId, NumberEdit);
        preciseMeasurementChoice = 0;
        return;
    }
    preciseMeasurementChoice = box;
    DG::EnableItem(DialogId, NumberEdit);
    if (numberOfMeasurements == 1) numberOfMeasurements = 2;
    DG::SetItemValue(DialogId, NumberEdit, numberOfMeasurements);
}

// A precise measurement takes more than one measurement.
void SettingsDialog::NumberOfMeasurementsChanged()
{
    if (preciseMeasurementChoice == 0) return;
    const std::int16_t typed = Short(DG::GetItemValue(DialogId, NumberEdit));
    if (typed == 1)
        DG::SetItemValue(DialogId, NumberEdit, numberOfMeasurements);
    else
        numberOfMeasurements = typed;
}

void SettingsDialog::ShowSelectedClass()
{
    const std::size_t index = ClassIndex();
    DG::SetItemValue(DialogId, ClassPenEdit, perClassPens[index]);
    DG::SetItemValue(DialogId, ClassPenControl, perClassPens[index]);
    DG::SetItemValue(DialogId, ClassLayerControl, perClassLayers[index]);
}

// In force at once, not written to the user profile.
void SettingsDialog::ApplyToWindows()
{
    const auto tracking = static_cast<std::uintptr_t>(DG::GetItemValLong(DialogId, TrackingBox));
    const auto raising = static_cast<std::uintptr_t>(DG::GetItemValLong(DialogId, RaisingBox));
    const auto delay = static_cast<std::uintptr_t>(DG::GetItemValLong(DialogId, DelayEdit));
    Win::SystemParametersInfoA(Win::SPI_SETACTIVEWINDOWTRACKING, 0, reinterpret_cast<void*>(tracking), 0);
    Win::SystemParametersInfoA(Win::SPI_SETACTIVEWNDTRKZORDER, 0, reinterpret_cast<void*>(raising), 0);
    Win::SystemParametersInfoA(Win::SPI_SETACTIVEWNDTRKTIMEOUT, 0, reinterpret_cast<void*>(delay), 0);
    trackingDelay = static_cast<std::int32_t>(delay);
}

void SettingsDialog::BrowseExchangeFolder()
{
    const Survanto* survanto = theSurvanto.load();
    SetResourceModules(CurrentResourceModule(), survanto == nullptr ? 0 : survanto->resourceModules[0]);
    IO::Location folder(FolderOf(exchangeFile));
    if (!DGBrowseForFolder(&folder, RS::GetIndString(FolderBrowserTitles, FolderBrowserTitle, CurrentResourceModule()))) return;
    const GS::UniString chosen = folder.ToUniString();
    folder.AppendToLocal(ExchangeFileName);
    exchangeFile = folder.ToUniString();
    DG::SetItemText(DialogId, FolderText, chosen);
}

// Whatever ended the dialog; the owner takes the fields only after OK.
void SettingsDialog::ReadBack()
{
    wallThicknessTolerance = DG::GetItemValue(DialogId, WallThicknessEdit);
    snapDirectionTolerance = DG::GetItemValue(DialogId, SnapDirectionEdit);
    stationChangeTolerance = DG::GetItemValue(DialogId, StationChangeEdit);
    sounds = DG::GetItemValLong(DialogId, SoundBox) != 0;
    stationLayer = Short(DG::GetItemValue(DialogId, StationLayerControl));
    stationPen = Short(DG::GetItemValue(DialogId, StationPenControl));
    freeAreaLayer = Short(DG::GetItemValue(DialogId, FreeAreaLayerControl));
    freeAreaPen = Short(DG::GetItemValue(DialogId, FreeAreaPenControl));
    stationPointLayer = Short(DG::GetItemValue(DialogId, StationPointLayerControl));
    stationPointPen = Short(DG::GetItemValue(DialogId, StationPointPenControl));
    measuredPointLayer = Short(DG::GetItemValue(DialogId, ClassLayerControl));
    measuredPointPen = Short(DG::GetItemValue(DialogId, ClassPenControl));
    perClassPens[ClassIndex()] = measuredPointPen;
    perClassLayers[ClassIndex()] = measuredPointLayer;
    numberOfMeasurements = Short(DG::GetItemValue(DialogId, NumberEdit));
    markerIdsShown = DG::GetItemValLong(DialogId, MarkerIdBox) == 1;
    manualCalibration = DG::GetItemValLong(DialogId, CalibrationBox) == 1;
    language = DG::PopupGetSelected(DialogId, LanguagePopup) - 1;
}

// A class outside the pop-up's entries uses the unused entry 0.
std::size_t SettingsDialog::ClassIndex() const
{
    return selectedClass >= 1 && static_cast<std::size_t>(selectedClass) < perClassPens.size()
               ? static_cast<std::size_t>(selectedClass)
               : 0;
}

void SettingsDialog::KeepFixedSize() { DG::SetClientSize(DialogId, fixedWidth, fixedHeight); }
