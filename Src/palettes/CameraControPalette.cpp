#include "palettes/CameraControPalette.hpp"

#include <cmath>

#include "DG/DG.hpp"
#include "Modeler/Sight.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/CameraUpdateScope.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/Vektor3D.hpp"
#include "palettes/StationCameraView.hpp"

namespace
{

using Vector = Geometry::Vector3<double>;

// 360/π: halves a view cone in degrees and turns it into radians at once.
constexpr double HalfConeDivisor = 114.591558;

// Whole degrees; the angles come from vectors, whose rounding noise must not
// drop a whole degree (89.999999999 is 90).
double WholeDegrees(double degrees) { return std::floor(degrees + 1e-9); }

double DirectionSlider(const Vector& d)
{
    const double azimuth = Vektor2D(d.x, d.y).GetAngle() * DegreesPerRadian;
    return 3600.0 - 10.0 * WholeDegrees(azimuth);
}

// Straight down comes to 360 as well as straight up would to 0: both reduce to the slider's 0.
double TiltSlider(const Vector& d)
{
    double tilt = Vektor3D(d.x, d.y, d.z).GetAngle(Vektor3D(d.x, d.y, 0.0)) * DegreesPerRadian;
    if (d.z < 0.0) tilt = 360.0 - tilt;
    tilt += 90.0;
    if (tilt >= 360.0) tilt -= 360.0;
    return 10.0 * WholeDegrees(tilt);
}

Vector Along(const Vector& from, const Vector& direction, double distance)
{
    return {from.x + direction.x * distance, from.y + direction.y * distance, from.z + direction.z * distance};
}

// Level east turned by the azimuth, then raised by the tilt (radians).
Vector SliderDirection(double azimuth, double tilt)
{
    Vektor3D d(1.0, 0.0, 0.0);
    d.RotateAround(azimuth, Vektor3D(0.0, 0.0, 1.0));
    Vektor3D side(d.x, d.y, 0.0);
    side.Normalize();
    side.RotateAround(Pi / 2.0, Vektor3D(0.0, 0.0, 1.0));
    d.RotateAround(-tilt, side);
    return {d.x, d.y, d.z};
}

double SliderDegrees(std::int16_t item) { return DG::GetItemValue(CameraControPalette::DialogId, item) / 10.0; }

void SetStationView(Modeler::Camera& camera, const Vector& position, const Vector& target, double viewCone)
{
    camera.SetView(camera.GetProjectionCode(), camera.GetProjectionAngle(), position, target, camera.GetRoll(), viewCone, 1.0,
                   0.0, 1.0, 0.0, 1.0, 0.0);
}

// The sliders made this camera: the observer is not to write them back rounded
// to whole degrees while the user drags.
void ShowOwnCamera(const StationCameraView& view, const Modeler::Camera& camera, const API_3DProjectionInfo& record)
{
    const CameraUpdateScope update;
    view.Show(camera, record);
}

}  // namespace

CameraControPalette::CameraControPalette()
{
    SetDialogId(DialogId);
    SetPaletteGuid(cameraControPaletteGuid);
}

std::int16_t CameraControPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (message == DG::MsgInit)
    {
        ShowCameraValues();
        return 0;
    }
    if (dialogId != DialogId || (message != DG::MsgChange && message != DG::MsgTrack)) return 0;
    if (item == ViewConeItem) ApplyViewCone();
    if (item == DirectionItem || item == TiltItem) ApplyViewDirection();
    return 0;
}

void CameraControPalette::ShowCameraValues()
{
    const std::optional<StationCameraView> view = StationCameraView::Read();
    if (!view) return;
    const double viewCone = view->sight->GetCamera().GetPerspectiveData().viewCone;
    DG::SetItemValue(DialogId, ViewConeItem, std::trunc(viewCone * 10.0));
    ShowCameraDirection();
}

void CameraControPalette::ShowCameraDirection()
{
    const std::optional<StationCameraView> view = StationCameraView::Read();
    if (!view) return;
    const Vector d = view->sight->GetCamera().GetPerspectiveData().direction;
    DG::SetItemValue(DialogId, DirectionItem, DirectionSlider(d));
    DG::SetItemValue(DialogId, TiltItem, TiltSlider(d));
}

std::int32_t CameraControPalette::ApplyViewCone()
{
    const std::optional<StationCameraView> view = StationCameraView::Read();
    if (!view) return 0;
    Modeler::Camera camera = view->sight->GetCamera();
    Modeler::PerspectiveData perspective = camera.GetPerspectiveData();
    const double viewCone = SliderDegrees(ViewConeItem);
    perspective.viewCone = viewCone;
    const Vector position = view->StationPosition();
    const Vector target = Along(position, perspective.direction, perspective.distance);
    camera.SetPerspectiveData(perspective);
    SetStationView(camera, position, target, viewCone);
    // A station camera without a view cone gives no zoom factor; the zoom stays.
    if (view->station.viewCone != 0.0)
    {
        const double k = std::sin(view->station.viewCone / 2.0) / std::sin(viewCone / HalfConeDivisor);
        Modeler::ZoomData zoom = theSurvanto.load()->trackedCamera.GetZoomDat();
        zoom[0] *= k;
        zoom[1] *= k;
        camera.SetZoomDat(zoom);
    }
    API_3DProjectionInfo record = view->projection;
    SetProjectionPoints(record, perspective.distance, position, target, viewCone);
    record.cameraGuid = view->stationGuid;
    ShowOwnCamera(*view, camera, record);
    return 1;
}

void CameraControPalette::ApplyViewDirection()
{
    const std::optional<StationCameraView> view = StationCameraView::Read();
    if (!view) return;
    Modeler::Camera camera = view->sight->GetCamera();
    Modeler::PerspectiveData perspective = camera.GetPerspectiveData();
    const double viewCone = SliderDegrees(ViewConeItem);
    const double azimuth = (3600.0 - DG::GetItemValue(DialogId, DirectionItem)) / 10.0 / DegreesPerRadian;
    const double tilt = (DG::GetItemValue(DialogId, TiltItem) - 900.0) / 10.0 / DegreesPerRadian;
    const Vector direction = SliderDirection(azimuth, tilt);
    const Vector position = view->StationPosition();
    const Vector target = Along(position, direction, perspective.distance);
    perspective.direction = direction;
    camera.SetPerspectiveData(perspective);
    SetStationView(camera, position, target, viewCone);
    API_3DProjectionInfo record = view->projection;
    SetProjectionPoints(record, perspective.distance, position, target, viewCone);
    ShowOwnCamera(*view, camera, record);
}
