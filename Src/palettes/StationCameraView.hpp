#pragma once
#include <optional>

#include "API/AddOnInterface.hpp"
#include "Geometry/Point2.hpp"
#include "Modeler/Camera.hpp"

namespace Modeler
{
class Sight;
}

// What the panorama camera works on: the 3D window's projection and sight and
// the station camera element the view looks from.
struct StationCameraView
{
    API_3DProjectionInfo projection {};
    Modeler::Sight* sight = nullptr;
    API_Guid stationGuid {};
    API_CameraType station {};

    // The station camera's position at its camera height.
    Geometry::Vector3<double> StationPosition() const;
    // The camera goes into the sight and the projection record into the 3D
    // window, which is then redrawn.
    void Show(const Modeler::Camera& camera, const API_3DProjectionInfo& record) const;

    // Present only when the front window is the 3D window, its projection can be
    // read, a station camera is remembered and that element is a camera; tested
    // in this order.
    static std::optional<StationCameraView> Read();
};

// The projection record's camera part: distance, camera and target points, view cone.
void SetProjectionPoints(API_3DProjectionInfo& record, double distance, const Geometry::Vector3<double>& cameraPoint,
                         const Geometry::Vector3<double>& target, double viewCone);
