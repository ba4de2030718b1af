#pragma once
#include <array>
#include <cstdint>

#include "Geometry/Point2.hpp"

namespace Modeler
{

// The perspective of a camera: its view cone (degrees), the unit direction from
// the view point to the target, and the distance between them.
struct PerspectiveData
{
    double viewCone = 0.0;
    Geometry::Vector3<double> direction {1.0, 0.0, 0.0};
    double distance = 0.0;
};

using ZoomData = std::array<double, 4>;
using ViewFactors = std::array<double, 6>;

// The 3D window's camera as the modeler library keeps it.
class Camera
{
public:
    static constexpr std::int32_t PerspectiveProjection = 1;

    // Lengths in metres, angles in degrees.
    void SetView(std::int32_t projectionCode, double projectionAngle, const Geometry::Vector3<double>& viewPoint,
                 const Geometry::Vector3<double>& target, double roll, double viewCone, double f1, double f2, double f3,
                 double f4, double f5, double f6);

    const Geometry::Vector3<double>& GetViewPoint() const { return viewPoint_; }
    const Geometry::Vector3<double>& GetTargetPoint() const { return target_; }
    double GetRoll() const { return roll_; }
    std::int32_t GetProjectionCode() const { return projectionCode_; }
    double GetProjectionAngle() const { return projectionAngle_; }
    const ViewFactors& GetViewFactors() const { return viewFactors_; }

    PerspectiveData GetPerspectiveData() const;
    // Keeps the view point: the target moves to the view point + direction × distance.
    void SetPerspectiveData(const PerspectiveData& data);

    const ZoomData& GetZoomDat() const { return zoom_; }
    void SetZoomDat(const ZoomData& zoom) { zoom_ = zoom; }

    bool operator==(const Camera& other) const;
    bool operator!=(const Camera& other) const { return !(*this == other); }

private:
    std::int32_t projectionCode_ = PerspectiveProjection;
    double projectionAngle_ = 0.0;
    Geometry::Vector3<double> viewPoint_ {};
    Geometry::Vector3<double> target_ {1.0, 0.0, 0.0};
    double roll_ = 0.0;
    double viewCone_ = 60.0;
    ViewFactors viewFactors_ {1.0, 0.0, 1.0, 0.0, 1.0, 0.0};
    ZoomData zoom_ {1.0, 1.0, 0.0, 0.0};
};

}  // namespace Modeler
