#pragma once
#include <optional>
#include <vector>

#include "API/Types.hpp"

class Survanto;

// A spherical cap as a revolved shell: the sphere's centre (project heights), the
// profile from the base circle's rim A to the apex B turning by the arc angle,
// and for a segment the plan contour relative to the centre.
struct DomeShell
{
    API_Coord3D centre;
    API_Coord rim;
    API_Coord apex;
    double arcAngle = 0.0;
    bool unflipped = false;
    std::vector<API_Coord> contour;

    // The cap of the sphere cut at the base height; none for a sphere the fit
    // could not give or a base that misses it.
    static std::optional<DomeShell> Cut(const API_Coord3D& centre, double radius, double baseHeight);

    // Inside an undoable command: the revolved shell with the tool's defaults, fitted
    // to its storey; nothing when the host refuses the defaults or memory.
    void Create(Survanto& survanto) const;
};
