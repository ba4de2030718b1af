#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "FTM/FileTypeManager.hpp"
#include "GX/ImageBase.hpp"
#include "Geometry/Matrix34.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "measuring/MeasuringState.hpp"
#include "palettes/VaroImportPalette.hpp"
#include "palettes/VaroImportPaletteItems.hpp"
#include "pointclouds/OrthophotoViews.hpp"

// Placing the jobs: the views still to be made first, then each job's pictures
// in place of those it placed before. Neither command counts as the add-on's own
// change.

using namespace VaroImportItems;

struct VaroImportPalette::PlacementRun
{
    std::int32_t onlyJob = AllJobs;
    std::vector<API_Guid> newViews;  // per job: the section or elevation the first command made
    bool windowSwitched = false;
    // What was current before, as far as the host told it: only that is brought back.
    bool databaseSaved = false;
    bool windowSaved = false;
    API_DatabaseInfo savedDatabase {};
    API_DatabaseInfo savedWindow {};
};

namespace
{

constexpr double TurnTolerance = GeometricTolerance;
constexpr std::int32_t ProgressStep = 1;

void AdvanceProgress()
{
    std::int32_t step = ProgressStep;
    HostInterfaceRequest(FourCC("IPRV"), &step, nullptr);
}

GSErrCode OpenWindow(std::int32_t type, const API_Guid& guid)
{
    API_WindowInfo window {};
    window.typeID = type;
    window.databaseUnId = guid;
    return HostAutomationRequest(FourCC("CHWD"), &window, nullptr);
}

GSErrCode MakeCurrent(std::int32_t type, const API_Guid& guid)
{
    API_DatabaseInfo database {};
    database.typeID = type;
    database.databaseUnId = guid;
    return HostDatabaseRequest(FourCC("CDAT"), &database, nullptr);
}

bool IsSectionLike(std::int32_t type)
{
    return type == ACDatabaseID::Section || type == ACDatabaseID::Elevation || type == ACDatabaseID::InteriorElevation;
}

// The worksheet's view database, null when the host made none.
API_Guid NewWorksheet(const GS::UniString& name)
{
    API_DatabaseInfo worksheet {};
    worksheet.typeID = ACDatabaseID::Worksheet;
    worksheet.name = name;
    worksheet.ref = name;
    return HostDatabaseRequest(FourCC("NDAT"), &worksheet, nullptr) == NoError ? worksheet.databaseUnId : APINULLGuid;
}

// The view database the host made for a new section or elevation.
API_Guid ViewOfElement(const API_Guid& element)
{
    API_Element record;
    record.header.guid = element;
    return HostGetElement(&record) == NoError ? record.cutPlane.viewDatabase : APINULLGuid;
}

void DeletePlacedPicture(API_Guid guid)
{
    AdvanceProgress();
    API_DatabaseInfo database {};
    if (HostDatabaseRequest(FourCC("GCDB"), &guid, &database) == NoError) HostDatabaseRequest(FourCC("CDAT"), &database, nullptr);
    API_Elem_Head head {};
    head.guid = guid;
    HostDeleteElements(&head, 1);
}

// The layer named after the job, found or made.
std::int16_t JobLayer(const OrtophotoData& job)
{
    if (!job.layerFromJobName) return job.layerIndex;
    API_Attribute layer;
    std::memset(static_cast<void*>(&layer), 0, sizeof layer);
    layer.header.typeID = API_LayerID;
    std::snprintf(layer.header.name, sizeof layer.header.name, "%s", LayerNameOfJob(job.jobName).ToUtf8().c_str());
    if (HostSearchAttribute(&layer.header) == NoError) return layer.header.index;
    return HostCreateAttribute(&layer) == NoError ? layer.header.index : std::int16_t(1);
}

// The turn of the current view about the vertical.
double ViewTurn()
{
    API_Tranmat tranmat {};
    API_Box box {};
    if (HostDatabaseRequest(FourCC("GZOM"), &box, &tranmat) != NoError) return 0.0;
    const double* t = tranmat.tmx;
    const auto matrix =
        Geometry::Matrix34::ColVectorsMatrix({t[0], t[4], t[8]}, {t[1], t[5], t[9]}, {t[2], t[6], t[10]}, {t[3], t[7], t[11]});
    double angle = 0.0;
    return Geometry::TranDecompose(matrix, TurnTolerance, nullptr, &angle, nullptr) ? angle : 0.0;
}

// The image as BMP data in the memo; false, nothing kept, when it cannot be read.
bool ReadTileImage(const OrtophotoDataPart& tile, API_ElementMemo& memo)
{
    GSPixMapHandle image = nullptr;
    if (!GX::ImageBase::ReadFile(IO::Location(tile.imagePath), image, GSPixMapPixelType32)) return false;
    const bool converted =
        GX::ImageBase::ConvertFromPixMap(image, FTM::FileTypeManager::SearchForMime("image/bmp"), memo.pictureData);
    GXDeleteGSPixMap(image);
    return converted;
}

}  // namespace

bool VaroImportPalette::TakesPart(const PlacementRun& run, std::uint32_t jobIndex) const
{
    return (run.onlyJob == AllJobs || run.onlyJob == static_cast<std::int32_t>(jobIndex)) && importData.jobs[jobIndex].execute;
}

void VaroImportPalette::Apply(std::int32_t onlyJob)
{
    PlacementRun run;
    run.onlyJob = onlyJob;
    GS::UniString title("Survanto Add-On");
    std::int16_t phases = 1;
    HostInterfaceRequest(FourCC("IPWD"), &title, &phases);
    run.databaseSaved = HostDatabaseRequest(FourCC("GDAT"), &run.savedDatabase, nullptr) == NoError;
    run.windowSaved = HostDatabaseRequest(FourCC("GWIN"), &run.savedWindow, nullptr) == NoError;
    std::int32_t maximum = 0;
    for (std::uint32_t i = 0; i < importData.jobs.GetSize(); ++i)
        if (TakesPart(run, i))
            maximum +=
                static_cast<std::int32_t>(importData.jobs[i].placedPictures.GetSize() + importData.jobs[i].tiles.GetSize());

    HostCallUndoableCommand(GS::UniString(), [this, &run] { return CreateViewsCommand(run); });
    TakeNewViews(run);

    GS::UniString phase = RS::GetIndString(AlertTexts, RefreshPhaseText, CurrentResourceModule());
    HostInterfaceRequest(FourCC("SPRP"), &phase, &maximum);
    importData.ValidateTargets();
    HostCallUndoableCommand(GS::UniString(), [this, &run] { return PlacePicturesCommand(run); });

    API_ToolBoxItem tool = CurrentToolboxItem();
    API_ToolBoxItem none {0, 0};
    HostEnvironmentRequest(FourCC("STBX"), &none, nullptr);
    HostEnvironmentRequest(FourCC("STBX"), &tool, nullptr);

    HostInterfaceRequest(FourCC("CPWD"), nullptr, nullptr);
    if (run.databaseSaved) HostDatabaseRequest(FourCC("CDAT"), &run.savedDatabase, nullptr);
    if (run.windowSwitched && run.windowSaved) OpenWindow(run.savedWindow.typeID, run.savedWindow.databaseUnId);
}

// Views still to be made take the worksheet the host makes now, or the view of
// the section or elevation the first command made; each window opens once.
void VaroImportPalette::TakeNewViews(PlacementRun& run)
{
    for (std::uint32_t i = 0; i < importData.jobs.GetSize(); ++i)
    {
        ACDatabaseID& target = importData.jobs[i].target;
        if (!TakesPart(run, i) || target.databaseGuid != APINULLGuid) continue;
        if (target.databaseType == ACDatabaseID::Worksheet)
        {
            target.databaseGuid = NewWorksheet(target.name);
        }
        else if ((target.databaseType == ACDatabaseID::Section || target.databaseType == ACDatabaseID::Elevation) &&
                 i < run.newViews.size() && run.newViews[i] != APINULLGuid)
        {
            target.databaseGuid = ViewOfElement(run.newViews[i]);
        }
        else
        {
            continue;
        }
        if (target.databaseGuid == APINULLGuid) continue;
        OpenWindow(target.databaseType, target.databaseGuid);
        if (run.databaseSaved) OpenWindow(run.savedDatabase.typeID, run.savedDatabase.databaseUnId);
    }
}

GSErrCode VaroImportPalette::CreateViewsCommand(PlacementRun& run)
{
    const double angle = measuringState.stationAngle;
    const double c = std::cos(angle), s = std::sin(angle);
    for (std::uint32_t i = 0; i < importData.jobs.GetSize(); ++i)
    {
        run.newViews.push_back(APINULLGuid);
        const OrtophotoData& job = importData.jobs[i];
        const std::int32_t type = job.target.databaseType;
        if (!TakesPart(run, i) || job.target.databaseGuid != APINULLGuid) continue;
        if (type != ACDatabaseID::Section && type != ACDatabaseID::Elevation) continue;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (!job.GetPlanExtent(x1, y1, x2, y2)) continue;
        double lower = 0.0, upper = 0.0;
        for (std::uint32_t k = 0; k < job.tiles.GetSize(); ++k)
        {
            double minU = 0, minV = 0, maxU = 0, maxV = 0;
            job.GetTileExtentInPlane(k, minU, minV, maxU, maxV);
            lower = std::min(lower, minV);
            upper = std::max(upper, maxV);
        }
        const auto create = type == ACDatabaseID::Section ? CreateSectionView : CreateElevationView;
        run.newViews[i] =
            create(job.target.name, x1 * c - y1 * s, x1 * s + y1 * c, x2 * c - y2 * s, x2 * s + y2 * c, true, lower, upper);
    }
    return NoError;
}

GSErrCode VaroImportPalette::PlacePicturesCommand(PlacementRun& run)
{
    for (std::uint32_t i = 0; i < importData.jobs.GetSize(); ++i)
    {
        OrtophotoData& job = importData.jobs[i];
        if (!TakesPart(run, i)) continue;
        if (job.target.databaseGuid == APINULLGuid && job.target.databaseType != ACDatabaseID::FloorPlan) continue;
        PlaceJob(run, job);
    }
    return NoError;
}

void VaroImportPalette::PlaceJob(PlacementRun& run, OrtophotoData& job)
{
    for (const API_Guid& placed : job.placedPictures) DeletePlacedPicture(placed);
    const std::int16_t layer = JobLayer(job);
    job.placedPictures.Clear();
    const ACDatabaseID& target = job.target;
    MakeCurrent(target.databaseType, target.databaseGuid);
    if (IsSectionLike(target.databaseType))
    {
        OpenWindow(target.databaseType, target.databaseGuid);
        run.windowSwitched = true;
    }
    double minU = 0.0, minV = 0.0;
    if (job.hasOrigin) job.GetMinimumExtent(minU, minV);
    const bool floorPlan = target.databaseType == ACDatabaseID::FloorPlan;

    for (std::uint32_t k = 0; k < job.tiles.GetSize(); ++k)
    {
        AdvanceProgress();
        API_Element picture;
        picture.header.typeID = API_PictureID;
        HostGetElementDefaults(&picture, nullptr);
        picture.header.layer = 1;
        Vektor2D ex(1.0, 0.0), ey(0.0, 1.0);
        double rotation = picture.picture.rotAngle;
        if (floorPlan)
        {
            ex.Rotate(measuringState.stationAngle);
            ey.Rotate(measuringState.stationAngle);
            rotation = measuringState.stationAngle;
        }
        rotation += ViewTurn();
        double tileMinU = 0, tileMinV = 0, tileMaxU = 0, tileMaxV = 0;
        job.GetTileExtentInPlane(k, tileMinU, tileMinV, tileMaxU, tileMaxV);
        const double du = tileMinU - minU, dv = tileMinV - minV;
        const double x = ex.x * du + ey.x * dv + job.origin.x;
        const double y = ex.y * du + ey.y * dv + job.origin.y;
        const API_Box box {x, y, x + tileMaxU - tileMinU, y + tileMaxV - tileMinV};
        ScopedElementMemo memo;
        if (!ReadTileImage(job.tiles[k], *memo)) continue;
        picture.picture.destBox = box;
        picture.picture.origBox = box;
        picture.picture.rotAngle = rotation;
        picture.picture.mirrored = false;
        picture.picture.transparent = false;
        picture.picture.directSize = true;
        picture.picture.anchorPoint = 6;
        picture.picture.colorDepth = 6;
        picture.picture.storageFormat = 1;
        picture.picture.name[0] = '\0';
        picture.header.floorInd = target.storey;
        picture.header.layer = layer;
        HostCreateElement(&picture, &*memo);
        job.placedPictures.Add(picture.header.guid);
    }
}

void VaroImportPalette::PickOriginPoints()
{
    const std::int16_t dialogId = GetDialogId();
    std::vector<std::uint32_t> jobs;
    for (short row = DG::ListGetSelected(dialogId, JobList, 0); row != 0; row = DG::ListGetSelected(dialogId, JobList, row))
    {
        const auto job = static_cast<std::uint32_t>(DG::ListGetItemUserData(dialogId, JobList, row));
        if (job < importData.jobs.GetSize()) jobs.push_back(job);
    }
    for (const std::uint32_t index : jobs)
    {
        OrtophotoData& job = importData.jobs[index];
        bool on = DG::GetItemValue(dialogId, OriginToggle) != 0.0;
        if (on)
        {
            OpenWindow(job.target.databaseType, job.target.databaseGuid);
            MakeCurrent(job.target.databaseType, job.target.databaseGuid);
            if (job.target.databaseType == ACDatabaseID::FloorPlan)
            {
                API_StoryCmdType goTo;
                goTo.action = APIStory_GoTo;
                goTo.index = job.target.storey;
                HostEnvironmentRequest(FourCC("CSTO"), &goTo, nullptr);
            }
            API_GetPointType input {};
            if (HostInterfaceRequest(FourCC("IPOI"), &input, nullptr) == NoError)
            {
                job.origin.x = input.pos.x;
                job.origin.y = input.pos.y;
            }
            else
            {
                on = false;
            }
        }
        job.hasOrigin = on;
        DG::SetItemValue(dialogId, OriginToggle, on ? 1.0 : 0.0);
        Apply(static_cast<std::int32_t>(index));
    }
}
