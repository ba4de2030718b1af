#include "frame/Survanto.hpp"

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/PaletteGuids.hpp"
#include "framework/OwnChangeCounter.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{
constexpr std::int32_t SpecialFolderOfInstrument = 7;
GSResModule currentResourceModule = 0;
}  // namespace

GSResModule CurrentResourceModule() { return currentResourceModule; }
void SetCurrentResourceModule(GSResModule module) { currentResourceModule = module; }

void BeginOwnChange(const char* label) { IncrementOwnChangeCounter(label); }
void EndOwnChange() { DecrementOwnChangeCounter(); }
std::int32_t GetOwnChangeCounter() { return OwnChangeCounterValue(); }

void SetDialogItemIcon(std::int16_t dialogId, std::int16_t item, std::int16_t icon) { DG::SetItemIcon(dialogId, item, icon); }

void SetPushMenuItemIcon(std::int16_t dialogId, std::int16_t item, std::int16_t entry, std::int16_t icon)
{
    DG::PopupSetItemIcon(dialogId, item, entry, icon);
}

void Survanto::SectionDataList::Reset()
{
    Clear();
    SectionData single;
    single.points.Add(Geometry::Point2<double> {0.0, 0.0});
    single.ends.Add(-1);
    single.ends.Add(0);
    Add(single);
}

Survanto::Survanto() : resourceModuleBefore_(CurrentResourceModule())
{
    ChooseLanguageFromHost();
    OpenLanguageResourceFiles();
    ApplyLanguageResources();
    SetStartValues();
    instrumentTempFile = SpecialFolderParent();
    instrumentTempFile.AppendToLocal("quintair.tmp");

    SetPaletteGuid(survantoPaletteGuid);
    SetDialogId(MainPaletteDialogId);
    currentTool = 0;
    measuringMode = 0;
    stationId = "0";
    activeStationId = "0";
    elementCreated = false;
    profileArcStep = 0.17453292519943295;
    measuringState.stationMode = 2;
    sounds = true;

    CheckForUpdate();

    IO::Location exchange = SpecialFolderParent();
    exchange.AppendToLocal("vezadovi4vuz.lse");
    exchangeFile = exchange.ToUniString();
    RestartPointCabWatcher();

    windowTracking = false;
    windowRaising = false;
    trackingDelay = 250;
    importColumnWidths = DefaultImportColumnWidths;
}

// Nothing is saved here: the project data were saved when they changed.
Survanto::~Survanto()
{
    StopPointCabWatcher();
    const GSResModule current = CurrentResourceModule();
    const auto isLanguageFile = [this](GSResModule module) { return module != resourceModules[0]; };
    if (isLanguageFile(current) && (current == resourceModules[1] || current == resourceModules[2]))
        SetCurrentResourceModule(resourceModuleBefore_);
    for (const GSResModule module : {resourceModules[1], resourceModules[2]})
        if (isLanguageFile(module)) RS::CloseResourceModule(module);
}

void Survanto::ChooseLanguageFromHost() { language = LanguageOfHost(); }

std::int32_t Survanto::LanguageOfHost()
{
    API_ServerApplicationInfo info;
    HostEnvironmentRequest(FourCC("APPL"), &info, nullptr);
    return LanguageFromCode(info.language);
}

std::int32_t Survanto::LanguageFromCode(const GS::UniString& code)
{
    if (code == "GER" || code == "CHE" || code == "AUT") return 0;
    if (code == "FRA") return 2;
    return 1;
}

void Survanto::SetStartValues()
{
    ResetOwnChangeCounter();
    blockedState = 0;
    savedToolOptions.fill(0);
    measuredPointLayer = stationLayer = freeAreaLayer = stationPointLayer = 1;
    measuredPointPen = 36;
    stationPen = 89;
    freeAreaPen = 1;
    stationPointPen = 11;
    pickedPointPen = 1;
    perTypeLayers.fill(1);
    perTypeLayers[0] = 0;
    perTypePens.fill(36);
    perTypePens[0] = 0;
    wallThicknessTolerance = 0.01;
    snapDirectionTolerance = 1.0;
    stationChangeTolerance = 0.01;
    numberOfMeasurements = 1;
    preciseMeasurementChoice = 0;
    manualCalibration = false;
    busy = false;
    instrumentBumped = false;
    stationMarkerToReplace = APINULLGuid;
    stationReferenceElement = APINULLGuid;
    refreshItems = true;
}

IO::Location Survanto::SpecialFolderParent() const
{
    API_SpecFolderRequest request;
    request.folderId = SpecialFolderOfInstrument;
    HostEnvironmentRequest(FourCC("GSPF"), &request, nullptr);
    IO::Location parent = request.location;
    parent.DeleteLastLocalName();
    return parent;
}

void Survanto::OpenLanguageResourceFiles()
{
    IO::Location location = HostGetOwnLocation();
    resourceModules[0] = HostGetOwnResourceModule();
    // A missing language file leaves its language with the German texts, not with none.
    const auto openOrGerman = [&](const char* name) {
        location.SetLastLocalName(name);
        const GSResModule module = RS::OpenResourceFile(location.ToPath());
        return module != 0 ? module : resourceModules[0];
    };
    resourceModules[1] = openOrGerman("SurvantoInt.lng");
    resourceModules[2] = openOrGerman("SurvantoFra.lng");
}

std::int32_t Survanto::ApplyLanguageResources()
{
    if (language >= 0 && language <= 2) SetCurrentResourceModule(resourceModules[static_cast<std::size_t>(language)]);
    if (GetOpenMode() == Closed) return 0;
    Close();
    SetResourceModules(CurrentResourceModule(), resourceModules[0]);
    return OpenPalette(MainPaletteFlags);
}

void Survanto::EnableItems() {}
void Survanto::DisableItems() {}
