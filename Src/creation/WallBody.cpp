#include "creation/WallBody.hpp"

namespace
{

constexpr std::int32_t OutsideFace = 0;
constexpr std::int32_t Centre = 1;
constexpr std::int32_t InsideFace = 2;
constexpr std::int32_t CoreOutside = 3;
constexpr std::int32_t CoreCentre = 4;
constexpr std::int32_t CoreInside = 5;

}  // namespace

double BodySide(const API_WallType& wall)
{
    const std::int32_t code = wall.referenceLineCode;
    const bool outsideOrCentre = code == OutsideFace || code == Centre || code == CoreOutside || code == CoreCentre;
    const bool inside = code == InsideFace || code == CoreInside;
    return (!wall.flipped && outsideOrCentre) || (wall.flipped && inside) ? -1.0 : 1.0;
}

WallFaces FacesAcross(const API_WallType& wall, double thickness)
{
    if (wall.referenceLineCode == Centre || wall.referenceLineCode == CoreCentre) return {thickness / 2.0, -thickness / 2.0};
    return BodySide(wall) < 0.0 ? WallFaces {0.0, -thickness} : WallFaces {thickness, 0.0};
}
