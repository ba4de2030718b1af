#include "PerspectivePicture.hpp"

#include <cmath>
#include <limits>

#include "Graphics/NativeImage.hpp"
#include "Graphics/PngWriter.hpp"
#include "HostAngles.hpp"

namespace SimHost
{

namespace
{

using Vector = Geometry::Vector3<double>;

constexpr double NearestDepth = 1e-6;

Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector Cross(const Vector& a, const Vector& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector Combined(const Vector& a, double ka, const Vector& b, double kb)
{
    return {a.x * ka + b.x * kb, a.y * ka + b.y * kb, a.z * ka + b.z * kb};
}

// The picture's right and up directions; a view straight up or down has north up.
struct PictureAxes
{
    Vector forward;
    Vector right;
    Vector up;
};

PictureAxes AxesOf(const Modeler::Camera& camera)
{
    const Vector forward = camera.GetPerspectiveData().direction;
    Vector right = Cross(forward, {0.0, 0.0, 1.0});
    right = right.GetLength() < 1e-9 ? Vector {1.0, 0.0, 0.0} : right.UnitVector();
    const Vector up = Cross(right, forward);
    const double roll = camera.GetRoll() / DegreesPerRadian;
    return {forward, Combined(right, std::cos(roll), up, std::sin(roll)), Combined(up, std::cos(roll), right, -std::sin(roll))};
}

}  // namespace

bool WritePerspectivePicture(const Modeler::Camera& camera, const std::vector<ColouredPoint>& points, std::uint32_t width,
                             std::uint32_t height, const std::string& path, std::string& error)
{
    const PictureAxes axes = AxesOf(camera);
    const double halfCone = camera.GetPerspectiveData().viewCone / 2.0 / DegreesPerRadian;
    const double focal = width / 2.0 / std::tan(halfCone);
    NewDisplay::NativeImage image(width, height);
    std::vector<double> depths(static_cast<std::size_t>(width) * height, std::numeric_limits<double>::infinity());
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) image.BlendPixel(std::int32_t(x), std::int32_t(y), Gfx::Color(32, 32, 32));
    for (const ColouredPoint& point : points)
    {
        const Vector seen = Minus(point.position, camera.GetViewPoint());
        const double depth = Dot(seen, axes.forward);
        if (depth < NearestDepth) continue;
        const double px = std::floor(width / 2.0 + focal * Dot(seen, axes.right) / depth);
        const double py = std::floor(height / 2.0 - focal * Dot(seen, axes.up) / depth);
        if (px < 0.0 || py < 0.0 || px >= width || py >= height) continue;
        double& nearest = depths[static_cast<std::size_t>(py) * width + static_cast<std::size_t>(px)];
        if (depth >= nearest) continue;
        nearest = depth;
        image.BlendPixel(static_cast<std::int32_t>(px), static_cast<std::int32_t>(py), point.color);
    }
    return NewDisplay::WritePngFile(image, path, &error);
}

}  // namespace SimHost
