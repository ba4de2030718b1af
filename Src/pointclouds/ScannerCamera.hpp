#pragma once
#include <optional>

#include "API/Types.hpp"

// Makes the camera of a point-cloud object's scanner: a camera set of its own named
// "Survanto - " and the part's name (at most 255 UTF-16 units, no pair of surrogates
// split), and in it a camera at the scanner, looking toward +y, linked both ways
// with the object. The base point is the given one, each coordinate that is absent
// taken from the object. Returns the camera, or the null GUID when the host made
// no set or no camera (no set is left behind then).
API_Guid CreateScannerCamera(const API_Guid& object, std::optional<double> x = std::nullopt,
                             std::optional<double> y = std::nullopt, std::optional<double> z = std::nullopt);
