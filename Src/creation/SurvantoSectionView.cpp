#include <cstdint>
#include <optional>

#include "API/AddOnInterface.hpp"
#include "FloorPlanDatabaseScope.hpp"
#include "Geometry/Geometry.hpp"
#include "HostApiHelpers.hpp"
#include "frame/Survanto.hpp"
#include "Vektor2D.hpp"

// A 2D element measured while a section, elevation or interior elevation is in
// front is drawn in that view: x along the section line from where the project
// origin falls onto it, y the measured height. The section line and the side the
// view looks at belong to the view's element, which lives in the floor plan.

namespace {

constexpr std::uint64_t SectionMemoParts = 0x07FFFFFFBFFFFFFF;
constexpr double Tolerance = 1e-5;

bool ShowsSectionView(const API_DatabaseInfo& window, const API_DatabaseInfo& database)
{
    const bool sectionKind = window.typeID == APIWind_SectionID || window.typeID == APIWind_ElevationID ||
                             window.typeID == APIWind_InteriorElevationID;
    return sectionKind && database.elementGuid != APINULLGuid;
}

// The segment of the main line the view shows: an interior elevation's segments
// follow each other in one list of points. None when the memo lacks it or it has
// no length.
std::optional<Geometry::Sector> ShownSegment(const API_Element& element, const API_ElementMemo& memo, const API_DatabaseInfo& database)
{
    std::size_t first = 0;
    if (database.typeID == APIWind_InteriorElevationID) {
        const auto& segments = memo.sectionSegments;
        for (std::int32_t i = 0; i < element.cutPlane.segmentCount && i < database.segmentNumber; ++i) {
            const auto segment = static_cast<std::size_t>(i);
            if (segment >= segments.size() || segments[segment].mainCoordCount < 0) return std::nullopt;
            first += static_cast<std::size_t>(segments[segment].mainCoordCount);
        }
    }
    const auto& main = memo.sectionMainCoords;
    if (first + 1 >= main.size()) return std::nullopt;
    const Geometry::Sector line {{main[first].x, main[first].y}, {main[first + 1].x, main[first + 1].y}};
    if (Vektor2D(line.c2.x - line.c1.x, line.c2.y - line.c1.y).GetLength() < Tolerance) return std::nullopt;
    return line;
}

// The view's x of a plan point: its distance along the line from the origin's
// foot, negative against the line's direction, mirrored for a view to the right.
double ViewX(const Geometry::Sector& line, bool viewToLeft, double x, double y)
{
    Vektor2D direction(line.c2.x - line.c1.x, line.c2.y - line.c1.y);
    direction.Normalize();
    const Geometry::Coord foot = Geometry::CoordProjSector({x, y}, line);
    const Geometry::Coord origin = Geometry::CoordProjSector({0.0, 0.0}, line);
    const Vektor2D along(foot.x - origin.x, foot.y - origin.y);
    const double distance = along.DotProduct(direction) < -Tolerance ? -along.GetLength() : along.GetLength();
    return viewToLeft ? distance : -distance;
}

void ProjectIntoView(TypVektor<API_Coord3D>& points)
{
    API_DatabaseInfo window {};
    API_DatabaseInfo database {};
    if (HostDatabaseRequest(FourCC("GWIN"), &window, nullptr) != NoError ||
        HostDatabaseRequest(FourCC("GDAT"), &database, nullptr) != NoError || !ShowsSectionView(window, database))
        return;
    const FloorPlanDatabaseScope floorPlan;
    API_Element element;
    element.header.guid = database.elementGuid;
    API_ElementMemo memo;
    if (HostGetElement(&element) == NoError && HostGetElementMemo(&element.header.guid, &memo, SectionMemoParts) == NoError) {
        const bool viewToLeft = IsSectionViewToLeft(element, memo, database);
        if (const std::optional<Geometry::Sector> line = ShownSegment(element, memo, database)) {
            for (std::uint32_t j = 0; j < points.GetSize(); ++j) {
                API_Coord3D& p = points[j];
                const double height = p.z;
                p.x = ViewX(*line, viewToLeft, p.x, p.y);
                p.y = height;
            }
        }
    }
    HostDisposeElementMemo(&memo);
}

}  // namespace

void Survanto::ProjectPointsToSectionView()
{
    ProjectIntoView(actionPoints);
    pointStep = 0;
}
