#include "creation/SectionViewLine.hpp"

#include <cstdint>

#include "API/AddOnInterface.hpp"
#include "framework/FloorPlanDatabaseScope.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/ScopedElementMemo.hpp"
#include "framework/Tolerance.hpp"

namespace
{

constexpr std::uint64_t SectionMemoParts = 0x07FFFFFFBFFFFFFF;

bool ShowsSectionView(const API_DatabaseInfo& window, const API_DatabaseInfo& database)
{
    return IsSectionTypeWindow(window.typeID) && database.elementGuid != APINULLGuid;
}

// The segment of the main line the view shows: an interior elevation's segments
// follow each other in one list of points. None when the memo lacks it or it has
// no length.
std::optional<Geometry::Sector> ShownSegment(const API_Element& element, const API_ElementMemo& memo,
                                             const API_DatabaseInfo& database)
{
    std::size_t first = 0;
    if (database.typeID == APIWind_InteriorElevationID)
    {
        const auto& segments = memo.sectionSegments;
        for (std::int32_t i = 0; i < element.cutPlane.segmentCount && i < database.segmentNumber; ++i)
        {
            const auto segment = static_cast<std::size_t>(i);
            if (segment >= segments.size() || segments[segment].mainCoordCount < 0) return std::nullopt;
            first += static_cast<std::size_t>(segments[segment].mainCoordCount);
        }
    }
    const auto& main = memo.sectionMainCoords;
    if (first + 1 >= main.size()) return std::nullopt;
    const Geometry::Sector line {{main[first].x, main[first].y}, {main[first + 1].x, main[first + 1].y}};
    if (Vektor2D(line.c2.x - line.c1.x, line.c2.y - line.c1.y).GetLength() < GeometricTolerance) return std::nullopt;
    return line;
}

}  // namespace

std::optional<SectionViewLine> SectionViewLine::OfFrontWindow()
{
    API_DatabaseInfo window {};
    API_DatabaseInfo database {};
    if (HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) != NoError ||
        HostDatabaseRequest(FourCC("GDAT"), &database, nullptr) != NoError || !ShowsSectionView(window, database))
        return std::nullopt;
    const FloorPlanDatabaseScope floorPlan;
    API_Element element;
    element.header.guid = database.elementGuid;
    ScopedElementMemo memo;
    if (HostGetElement(&element) != NoError || HostGetElementMemo(&element.header.guid, &*memo, SectionMemoParts) != NoError)
        return std::nullopt;
    const std::optional<Geometry::Sector> line = ShownSegment(element, *memo, database);
    if (!line) return std::nullopt;
    return SectionViewLine(*line, IsSectionViewToLeft(element, *memo, database));
}

Vektor2D SectionViewLine::Direction() const
{
    Vektor2D direction(line_.c2.x - line_.c1.x, line_.c2.y - line_.c1.y);
    direction.Normalize();
    return direction;
}

Vektor2D SectionViewLine::OriginFoot() const
{
    const Geometry::Coord origin = Geometry::CoordProjSector({0.0, 0.0}, line_);
    return {origin.x, origin.y};
}

double SectionViewLine::ViewX(const Vektor2D& plan) const
{
    const Geometry::Coord foot = Geometry::CoordProjSector({plan.x, plan.y}, line_);
    const Vektor2D along = Vektor2D(foot.x, foot.y) - OriginFoot();
    const double distance = along.DotProduct(Direction()) < -GeometricTolerance ? -along.GetLength() : along.GetLength();
    return viewToLeft_ ? distance : -distance;
}

Vektor2D SectionViewLine::PlanPointAt(double viewX) const { return OriginFoot() + Direction() * (viewToLeft_ ? viewX : -viewX); }
