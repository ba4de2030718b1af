#include "palettes/CameraChangeObserver.hpp"

#include "frame/CameraUpdateScope.hpp"
#include "frame/Survanto.hpp"
#include "framework/Tolerance.hpp"
#include "palettes/StationCameraView.hpp"

namespace
{

using Vector = Geometry::Vector3<double>;

// The roll angle goes to the camera with this shorter factor, not with 180/π.
constexpr double RollDegreesPerRadian = 57.295779;
constexpr double PositionTolerance = GeometricTolerance;

Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

bool IsOnStation(const StationCameraView& view)
{
    const API_PerspPars& p = view.projection.persp;
    return IsWithinTolerance(view.station.position.x, p.pos.x, PositionTolerance) &&
           IsWithinTolerance(view.station.position.y, p.pos.y, PositionTolerance) &&
           IsWithinTolerance(view.station.cameraZ, p.cameraZ, PositionTolerance);
}

}  // namespace

CameraChangeObserver::CameraChangeObserver() = default;
CameraChangeObserver::~CameraChangeObserver() = default;

void CameraChangeObserver::OnCameraChanged(const Modeler::Camera& newCamera)
{
    if (cameraUpdateBusy != 0) return;
    const CameraUpdateScope update;
    const std::optional<StationCameraView> view = StationCameraView::Read();
    if (!view) return;
    Survanto* survanto = theSurvanto.load();
    const bool sliders = survanto != nullptr && survanto->cameraPalette.GetOpenMode() != CDialogBase::Closed;
    // Turned or zoomed on the station: the view stays as the user left it, the
    // sliders follow it, so that the next slider moves on from there.
    if (IsOnStation(*view))
    {
        if (sliders) survanto->cameraPalette.ShowCameraValues();
        return;
    }

    const Vector position = view->StationPosition();
    const Vector stationTarget {view->station.target.x, view->station.target.y, view->station.targetZ};
    const Vector toTarget = Minus(newCamera.GetTargetPoint(), newCamera.GetViewPoint());
    const Vector direction = toTarget.UnitVector();
    const double viewDistance = toTarget.GetLength();
    const double viewCone = newCamera.GetPerspectiveData().viewCone;
    // A station camera whose target lies on it has no distance of its own to keep.
    double distance = Minus(stationTarget, position).GetLength();
    if (distance < PositionTolerance) distance = viewDistance;
    const Vector target {position.x + direction.x * distance, position.y + direction.y * distance,
                         position.z + direction.z * distance};

    Modeler::Camera camera = newCamera;
    camera.SetView(newCamera.GetProjectionCode(), newCamera.GetProjectionAngle(), position, target,
                   view->station.rollAngle * RollDegreesPerRadian, viewCone, 1.0, 0.0, 1.0, 0.0, 1.0, 0.0);
    if (sliders) survanto->cameraPalette.ShowCameraValues();
    API_3DProjectionInfo record = view->projection;
    SetProjectionPoints(record, viewDistance, position, target, viewCone);
    view->Show(camera, record);
}

API_Guid CameraChangeObserver::GetStationCameraGuid()
{
    const Survanto* survanto = theSurvanto.load();
    return survanto == nullptr ? API_Guid {} : survanto->navigatorPalette.trackedCamera;
}
