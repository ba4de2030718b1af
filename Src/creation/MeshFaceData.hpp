#pragma once
#include <array>
#include <cstdint>

#include "Geometry/Point2.hpp"

// One triangle of a morph mesh, in project coordinates (metres).
struct MeshFaceData
{
    std::array<Geometry::Vector3<double>, 3> vertices {};
    // Carried along with the record; the mesh builder neither sets nor reads them.
    std::array<std::int32_t, 3> indexSlots {};
    Geometry::Vector3<double> normal {};
};
