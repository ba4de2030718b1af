#include "palettes/StationCameraView.hpp"

#include "Modeler/Sight.hpp"
#include "palettes/CameraChangeObserver.hpp"

Geometry::Vector3<double> StationCameraView::StationPosition() const
{
    return {station.position.x, station.position.y, station.cameraZ};
}

void StationCameraView::Show(const Modeler::Camera& camera, const API_3DProjectionInfo& record) const
{
    sight->SetCamera(camera);
    API_3DProjectionInfo written = record;
    HostEnvironmentRequest(FourCC("CP3D"), &written, nullptr);
    HostAutomationRequest(FourCC("RDRW"), nullptr, nullptr);
}

std::optional<StationCameraView> StationCameraView::Read()
{
    API_DatabaseInfo window {};
    if (HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) != NoError || window.typeID != APIWind_3DModelID)
        return std::nullopt;
    StationCameraView view;
    if (HostEnvironmentRequest(FourCC("GP3D"), &view.projection, nullptr) != NoError) return std::nullopt;
    view.stationGuid = CameraChangeObserver::GetStationCameraGuid();
    if (view.stationGuid == API_Guid {}) return std::nullopt;
    API_Element element;
    element.header.guid = view.stationGuid;
    if (HostGetElement(&element) != NoError || element.header.typeID != API_CameraID) return std::nullopt;
    view.station = element.camera;
    if (HostGet3DWindowSight(&view.sight) != NoError || view.sight == nullptr) return std::nullopt;
    return view;
}

void SetProjectionPoints(API_3DProjectionInfo& record, double distance, const Geometry::Vector3<double>& cameraPoint,
                         const Geometry::Vector3<double>& target, double viewCone)
{
    record.persp.distance = distance;
    record.persp.pos = {cameraPoint.x, cameraPoint.y};
    record.persp.cameraZ = cameraPoint.z;
    record.persp.target = {target.x, target.y};
    record.persp.targetZ = target.z;
    record.persp.viewCone = viewCone;
}
