#include "Window3D.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "HostAngles.hpp"

namespace SimHost
{

namespace
{

using Vector = Geometry::Vector3<double>;

Vector Plus(const Vector& a, const Vector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector Times(const Vector& a, double k) { return {a.x * k, a.y * k, a.z * k}; }

Vector TurnedAboutZ(const Vector& v, double degrees)
{
    const double a = degrees / DegreesPerRadian;
    return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a), v.z};
}

Modeler::Camera WithPoints(const Modeler::Camera& camera, const Vector& viewPoint, const Vector& target, double viewCone)
{
    Modeler::Camera changed = camera;
    const Modeler::ViewFactors& f = camera.GetViewFactors();
    changed.SetView(camera.GetProjectionCode(), camera.GetProjectionAngle(), viewPoint, target, camera.GetRoll(), viewCone, f[0],
                    f[1], f[2], f[3], f[4], f[5]);
    return changed;
}

bool IsViewCone(double degrees) { return degrees > 0.0 && degrees < 180.0; }

// Rounding noise shows as 0, never as -0.000.
double Shown(double value) { return std::fabs(value) < 0.0005 ? 0.0 : value; }

}  // namespace

API_3DProjectionInfo Window3D::GetProjection() const
{
    const Modeler::Camera& camera = GetCamera();
    const Modeler::PerspectiveData perspective = camera.GetPerspectiveData();
    API_3DProjectionInfo projection {};
    projection.cameraGuid = followedCamera_;
    projection.isPersp = camera.GetProjectionCode() == Modeler::Camera::PerspectiveProjection;
    projection.persp.viewCone = perspective.viewCone;
    projection.persp.distance = perspective.distance;
    projection.persp.cameraZ = camera.GetViewPoint().z;
    projection.persp.targetZ = camera.GetTargetPoint().z;
    projection.persp.pos = {camera.GetViewPoint().x, camera.GetViewPoint().y};
    projection.persp.target = {camera.GetTargetPoint().x, camera.GetTargetPoint().y};
    return projection;
}

GSErrCode Window3D::SetProjection(const API_3DProjectionInfo& projection)
{
    const API_PerspPars& p = projection.persp;
    const Vector viewPoint {p.pos.x, p.pos.y, p.cameraZ};
    const Vector target {p.target.x, p.target.y, p.targetZ};
    if (!IsViewCone(p.viewCone) || Minus(target, viewPoint).GetLength() == 0.0) return APIERR_BADPARS;
    followedCamera_ = projection.cameraGuid;
    Change(WithPoints(GetCamera(), viewPoint, target, p.viewCone));
    return NoError;
}

void Window3D::FollowCamera(const API_Guid& cameraGuid, const Modeler::Camera* elementView)
{
    followedCamera_ = cameraGuid;
    if (elementView != nullptr) Change(*elementView);
}

void Window3D::Walk(double forward, double left, double up)
{
    const Modeler::Camera& camera = GetCamera();
    const Vector plan =
        Vector {camera.GetPerspectiveData().direction.x, camera.GetPerspectiveData().direction.y, 0.0}.UnitVector();
    const Vector step = Plus(Plus(Times(plan, forward), Times(TurnedAboutZ(plan, 90.0), left)), Vector {0.0, 0.0, up});
    Change(WithPoints(camera, Plus(camera.GetViewPoint(), step), Plus(camera.GetTargetPoint(), step),
                      camera.GetPerspectiveData().viewCone));
}

void Window3D::Turn(double leftDegrees, double upDegrees)
{
    const Modeler::Camera& camera = GetCamera();
    const Modeler::PerspectiveData perspective = camera.GetPerspectiveData();
    const Vector& d = perspective.direction;
    const double azimuth = std::atan2(d.y, d.x) + leftDegrees / DegreesPerRadian;
    const double elevation =
        std::clamp(std::asin(std::clamp(d.z, -1.0, 1.0)) + upDegrees / DegreesPerRadian, -Pi / 2.0, Pi / 2.0);
    const Vector turned {std::cos(elevation) * std::cos(azimuth), std::cos(elevation) * std::sin(azimuth), std::sin(elevation)};
    Change(WithPoints(camera, camera.GetViewPoint(), Plus(camera.GetViewPoint(), Times(turned, perspective.distance)),
                      perspective.viewCone));
}

void Window3D::Orbit(double degrees)
{
    const Modeler::Camera& camera = GetCamera();
    const Vector& target = camera.GetTargetPoint();
    const Vector viewPoint = Plus(target, TurnedAboutZ(Minus(camera.GetViewPoint(), target), degrees));
    Change(WithPoints(camera, viewPoint, target, camera.GetPerspectiveData().viewCone));
}

bool Window3D::Zoom(double viewCone)
{
    if (!IsViewCone(viewCone)) return false;
    const Modeler::Camera& camera = GetCamera();
    Change(WithPoints(camera, camera.GetViewPoint(), camera.GetTargetPoint(), viewCone));
    return true;
}

std::string Window3D::Describe() const
{
    const Modeler::Camera& camera = GetCamera();
    const Vector& p = camera.GetViewPoint();
    const Modeler::PerspectiveData perspective = camera.GetPerspectiveData();
    const Vector& d = perspective.direction;
    char text[160];
    std::snprintf(text, sizeof text, "position (%.3f, %.3f, %.3f) direction (%.3f, %.3f, %.3f) cone %.1f", Shown(p.x), Shown(p.y),
                  Shown(p.z), Shown(d.x), Shown(d.y), Shown(d.z), perspective.viewCone);
    return text;
}

void Window3D::Change(const Modeler::Camera& camera)
{
    if (camera != GetCamera()) sight_.SetCamera(camera);
}

}  // namespace SimHost
