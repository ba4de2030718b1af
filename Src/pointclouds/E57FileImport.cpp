#include "pointclouds/E57FileImport.hpp"

#include <cstdio>

#include "API/AddOnInterface.hpp"
#include "RS/ResourceModule.hpp"
#include "e57/VectorNode.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "pointclouds/PointCloudObject.hpp"
#include "pointclouds/PointCloudPartName.hpp"
#include "pointclouds/ScannerCamera.hpp"

namespace
{

constexpr std::int32_t StepsPerPass = 6;
constexpr std::int32_t PhaseText = 110;
constexpr std::int32_t WarningTitle = AlertWarningTitle;
constexpr std::int32_t ScansWithoutPoseText = 94;
constexpr std::int32_t YesButton = AlertYesButton;
constexpr std::int32_t NoButton = AlertNoButton;

GS::UniString WithoutExtension(const IO::Location& file)
{
    const std::string name = file.GetLastLocalName();
    const auto dot = name.find_last_of('.');
    return GS::UniString(dot == std::string::npos || dot == 0 ? name : name.substr(0, dot));
}

bool AsksToImportScansWithoutPose()
{
    return ShowAlert(AlertWarning, AlertStringListId, WarningTitle, ScansWithoutPoseText, NoAlertText, YesButton, NoButton,
                     NoAlertText, CurrentResourceModule(), AlertStringType) == 1;
}

}  // namespace

E57FileImport::E57FileImport(Survanto& survanto, const E57ImportOptions& options, bool& cancelled, bool& failed)
    : survanto_(survanto), options_(options), cancelled_(cancelled), failed_(failed)
{}

void E57FileImport::SetValue(std::int32_t value)
{
    value_ = value;
    HostInterfaceRequest(FourCC("SPRV"), &value_, nullptr);
}

bool E57FileImport::CancelledAt(std::int32_t value)
{
    if (value != value_) SetValue(value);
    bool cancelled = false;
    HostInterfaceRequest(FourCC("CANC"), &cancelled, nullptr);
    return cancelled;
}

// The value moves on at a third and at two thirds of the records; a cancel ends the
// reading and keeps the points read so far.
std::uint64_t E57FileImport::MeasureScan(const E57Scan& scan, std::int32_t pass, CloudExtent& extent)
{
    const std::uint64_t records = scan.RecordCount();
    const std::uint64_t pointsBefore = extent.points;
    // Only the box is taken: the points' colours are read when the point files are written.
    return scan.TakeBox(extent.box, extent.points, [&](std::uint64_t pointsSoFar) {
        const std::uint64_t collected = pointsBefore + pointsSoFar;
        if (records / 3 < collected && value_ == StepsPerPass * pass + 1) SetValue(value_ + 1);
        if (2 * records / 3 < collected && value_ == StepsPerPass * pass + 2) SetValue(value_ + 1);
        if (!CancelledAt(value_)) return true;
        cancelled_ = true;
        return false;
    });
}

PointThinning E57FileImport::Thinning(const E57Scan* positioned) const
{
    if (!options_.thinOut) return PointThinning::None();
    if (options_.thinByDistance && positioned != nullptr)
        return PointThinning::ByDistance(positioned->ScannerPosition(), options_.distance75, options_.distance50,
                                         options_.distance25);
    return PointThinning::ByIndex();
}

GS::UniString E57FileImport::PartName(const IO::Location& file, std::int32_t passIndex, std::int32_t outputs) const
{
    const GS::UniString fileName = WithoutExtension(file);
    GS::UniString name = PointCloudPartName(options_.selectedFiles == 1 ? options_.partName : fileName, fileName);
    if (outputs > 1)
    {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "_ %d", static_cast<int>(passIndex));
        name += GS::UniString(suffix);
    }
    return name;
}

// Writes the part, places its object and, for a scan with its scanner, the camera.
void E57FileImport::MakePart(const GS::UniString& name, E57CloudSource& source, const CloudExtent& extent,
                             const E57Scan* positioned, std::vector<API_Guid>& made)
{
    const API_Coord3D scanner =
        positioned != nullptr ? positioned->ScannerPosition() : API_Coord3D {extent.box.xMin, extent.box.yMin, extent.box.zMin};
    const std::int32_t libIndex = survanto_.WritePointCloudPart(name, options_.targetFolder, source, extent.box, scanner,
                                                                positioned != nullptr, source.LevelCount());
    SetValue(value_ + 1);
    API_Guid object {};
    if (libIndex <= 0 || PlacePointCloudObject(libIndex, extent.box, options_.storeyIndex, object) != NoError)
    {
        failed_ = true;
    }
    else
    {
        made.push_back(object);
        if (positioned != nullptr)
        {
            const API_Guid camera = CreateScannerCamera(object);
            if (camera != APINULLGuid) made.push_back(camera);
        }
    }
    SetValue(value_ + 1);
}

void E57FileImport::Run(const IO::Location& file, std::vector<API_Guid>& made)
{
    e57::ImageFile image(file.ToPath(), "r", e57::ImageFile::kChecksumAll);
    const e57::StructureNode root = image.root();
    if (!root.isDefined("/data3D") || !root.get("/data3D").is(e57::NodeType::Vector)) return;
    const e57::VectorNode data3D(root.get("/data3D"));
    const auto n = static_cast<std::int32_t>(data3D.childCount());
    std::vector<E57Scan> scans;
    std::int32_t posed = 0;
    for (std::int32_t m = 0; m < n; ++m)
    {
        scans.emplace_back(image, e57::StructureNode(data3D.get(m)));
        if (scans.back().HasPose()) ++posed;
    }
    const bool someWithoutPose = posed < n;
    const std::int32_t outputs = posed + (someWithoutPose ? 1 : 0);
    const bool merge = someWithoutPose && AsksToImportScansWithoutPose();
    const std::int32_t passes = merge ? n + 1 : n;

    GS::UniString phase = RS::GetIndString(AlertStringListId, PhaseText, CurrentResourceModule());
    std::int32_t maximum = StepsPerPass * passes;
    HostInterfaceRequest(FourCC("SPRP"), &phase, &maximum);
    value_ = 0;

    E57CloudSource merged(Thinning(nullptr));
    CloudExtent mergedExtent;
    for (std::int32_t m = 0; m < passes; ++m)
    {
        if (cancelled_ || CancelledAt(StepsPerPass * m + 1))
        {
            cancelled_ = true;
            break;
        }
        if (m == n)
        {
            SetValue(value_ + 1);
            if (mergedExtent.points == 0)
                failed_ = true;
            else
                MakePart(PartName(file, n, outputs), merged, mergedExtent, nullptr, made);
            continue;
        }
        const E57Scan& scan = scans[static_cast<std::size_t>(m)];
        if (!scan.HasPose() && !merge) continue;
        if (!scan.HasPose())
        {
            merged.AddScan(scan, MeasureScan(scan, m, mergedExtent));
            SetValue(value_ + 2);
            continue;
        }
        CloudExtent extent;
        const std::uint64_t records = scan.HasCartesian() ? MeasureScan(scan, m, extent) : 0;
        SetValue(value_ + (scan.HasCartesian() ? 1 : 3));
        if (extent.points == 0)
        {
            failed_ = true;
            continue;
        }
        E57CloudSource source(Thinning(&scan));
        source.AddScan(scan, records);
        MakePart(PartName(file, m, outputs), source, extent, &scan, made);
    }
    image.close();
}
