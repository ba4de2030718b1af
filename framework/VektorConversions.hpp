#pragma once
#include "API/Types.hpp"
#include "Geometry/Point2.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/Vektor3D.hpp"

// Measured points and host geometry as the vectors the creators compute with.
inline Vektor2D PlanVektor(const API_Coord3D& p) { return {p.x, p.y}; }
inline Vektor3D SpaceVektor(const API_Coord3D& p) { return {p.x, p.y, p.z}; }
inline Vektor3D SpaceVektor(const Geometry::Vector3<double>& p) { return {p.x, p.y, p.z}; }
