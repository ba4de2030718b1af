#pragma once
#include "API/Types.hpp"

namespace Modeler {

// The 3D window's camera as the modeler library keeps it.
struct Camera {
    API_Coord3D position {};
    API_Coord3D target {};
    double viewCone = 0.0;
    double roll = 0.0;
};

}  // namespace Modeler
