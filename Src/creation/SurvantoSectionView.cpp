#include <optional>

#include "creation/SectionViewLine.hpp"
#include "frame/Survanto.hpp"

// A 2D element measured while a section, elevation or interior elevation is in
// front is drawn in that view: x along the section line, y the measured height.

void Survanto::ProjectPointsToSectionView()
{
    if (const std::optional<SectionViewLine> section = SectionViewLine::OfFrontWindow())
    {
        for (std::uint32_t j = 0; j < actionPoints.GetSize(); ++j)
        {
            API_Coord3D& p = actionPoints[j];
            const double height = p.z;
            p.x = section->ViewX({p.x, p.y});
            p.y = height;
        }
    }
    pointStep = 0;
}
