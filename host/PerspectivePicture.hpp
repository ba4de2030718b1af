#pragma once
#include <string>
#include <vector>

#include "Graphics/Gfx.hpp"
#include "Modeler/Camera.hpp"

namespace SimHost
{

struct ColouredPoint
{
    Geometry::Vector3<double> position;
    Gfx::Color color;
};

// The points seen through the camera in perspective: its view cone spans the
// picture's width, its roll turns the picture, a nearer point hides a farther
// one on the same pixel; points behind the camera are not drawn.
bool WritePerspectivePicture(const Modeler::Camera& camera, const std::vector<ColouredPoint>& points, std::uint32_t width,
                             std::uint32_t height, const std::string& path, std::string& error);

}  // namespace SimHost
