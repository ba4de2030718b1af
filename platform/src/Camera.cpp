#include "Modeler/Camera.hpp"

namespace Modeler
{

namespace
{

using Vector = Geometry::Vector3<double>;

Vector Difference(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

bool Same(const Vector& a, const Vector& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

void Camera::SetView(std::int32_t projectionCode, double projectionAngle, const Vector& viewPoint, const Vector& target,
                     double roll, double viewCone, double f1, double f2, double f3, double f4, double f5, double f6)
{
    projectionCode_ = projectionCode;
    projectionAngle_ = projectionAngle;
    viewPoint_ = viewPoint;
    target_ = target;
    roll_ = roll;
    viewCone_ = viewCone;
    viewFactors_ = {f1, f2, f3, f4, f5, f6};
}

PerspectiveData Camera::GetPerspectiveData() const
{
    const Vector toTarget = Difference(target_, viewPoint_);
    return {viewCone_, toTarget.UnitVector(), toTarget.GetLength()};
}

void Camera::SetPerspectiveData(const PerspectiveData& data)
{
    const Vector direction = data.direction.UnitVector();
    viewCone_ = data.viewCone;
    target_ = {viewPoint_.x + direction.x * data.distance, viewPoint_.y + direction.y * data.distance,
               viewPoint_.z + direction.z * data.distance};
}

bool Camera::operator==(const Camera& other) const
{
    return projectionCode_ == other.projectionCode_ && projectionAngle_ == other.projectionAngle_ &&
           Same(viewPoint_, other.viewPoint_) && Same(target_, other.target_) && roll_ == other.roll_ &&
           viewCone_ == other.viewCone_ && viewFactors_ == other.viewFactors_ && zoom_ == other.zoom_;
}

}  // namespace Modeler
