#include "PlanPicture.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ElementGeometry.hpp"
#include "Graphics/NativeContext.hpp"
#include "Graphics/PngWriter.hpp"
#include "OpeningElements.hpp"
#include "PictureFrame.hpp"
#include "ProjectFile.hpp"

namespace SimHost
{

namespace
{

constexpr std::uint8_t FillAlpha = 51;
const Gfx::Color Background {255, 255, 255};
const Gfx::Color Outline {40, 40, 60};
const Gfx::Color Fills[] = {
    {70, 130, 180, FillAlpha}, {214, 120, 40, FillAlpha}, {60, 160, 90, FillAlpha}, {170, 70, 150, FillAlpha}};
const Gfx::Color RoofFill {190, 60, 50, FillAlpha};
const Gfx::Color WallFill {110, 110, 110, 2 * FillAlpha};
const Gfx::Color OpeningFill {70, 130, 180, 4 * FillAlpha};

using Contours = std::vector<std::vector<API_Coord>>;

// A filled area of the picture: its contours and its colour.
struct Area
{
    Contours contours;
    Gfx::Color fill;
};

// A polygon's contours as plan points: each edge gives its start vertex, placed by
// the morph's transformation.
Contours PlanContours(const API_MorphBody& body, const API_MorphPolygon& polygon, const double (&t)[12])
{
    Contours contours(1);
    for (const std::int32_t edge : polygon.edges)
    {
        if (edge == 0)
        {
            contours.emplace_back();
            continue;
        }
        const auto& ends = body.edges[static_cast<std::size_t>(std::abs(edge)) - 1];
        const API_Coord3D& v = body.vertices[static_cast<std::size_t>(edge > 0 ? ends[0] : ends[1]) - 1];
        const API_Coord3D placed = Transformed(t, v);
        contours.back().push_back({placed.x, placed.y});
    }
    return contours;
}

API_Box ExtentOf(const std::vector<Area>& areas)
{
    API_Box box {0, 0, 1, 1};
    bool first = true;
    for (const Area& area : areas)
        for (const auto& contour : area.contours)
            for (const API_Coord& p : contour) Enclose(box, first, p);
    return box;
}

void TraceContour(NewDisplay::NativeContext& context, const PictureFrame& view, const std::vector<API_Coord>& contour,
                  bool closeIt)
{
    if (contour.empty()) return;
    context.MoveTo(view.X(contour.front()), view.Y(contour.front()));
    for (std::size_t i = 1; i < contour.size(); ++i) context.LineTo(view.X(contour[i]), view.Y(contour[i]));
    if (closeIt) context.LineTo(view.X(contour.front()), view.Y(contour.front()));
}

// Each area filled in its colour, faint so that overlaps show, then every outline on top.
NewDisplay::NativeImage DrawPlan(const std::vector<Area>& areas)
{
    const PictureFrame view(ExtentOf(areas));
    NewDisplay::NativeImage image(view.Width(), view.Height());
    NewDisplay::NativeContext context(image);
    context.FillRect(0, 0, static_cast<float>(view.Width()), static_cast<float>(view.Height()), Background);
    Gfx::Pattern solid;
    std::fill(std::begin(solid.bits), std::end(solid.bits), std::uint8_t {0xFF});
    context.SetFillPattern(solid);
    for (const Area& area : areas)
    {
        context.SetForeColor(area.fill.red, area.fill.green, area.fill.blue, area.fill.alpha);
        context.BeginPolygon();
        for (const auto& contour : area.contours) TraceContour(context, view, contour, false);
        context.EndPolygon();
    }
    context.SetForeColor(Outline.red, Outline.green, Outline.blue, Outline.alpha);
    for (const Area& area : areas)
        for (const auto& contour : area.contours) TraceContour(context, view, contour, true);
    return image;
}

}  // namespace

void AddPlanPictureVerbs(ScenarioVerbs& verbs)
{
    verbs["plan-picture"] = [](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        const std::string file = Scenario::Rest(args);
        if (file.empty()) return scenario.Fail("plan-picture <file>");
        std::vector<Area> areas;
        std::size_t morphs = 0, polygons = 0, roofs = 0, walls = 0, openings = 0;
        for (const StoredElement& element : host->model_.content.elements)
        {
            const API_ElemTypeID type = element.record.header.typeID;
            if (type == API_MorphID)
            {
                const Gfx::Color& fill = Fills[morphs++ % std::size(Fills)];
                for (const API_MorphPolygon& polygon : element.memo.morphBody.polygons)
                    areas.push_back({PlanContours(element.memo.morphBody, polygon, element.record.morph.transformation), fill});
                polygons += element.memo.morphBody.polygons.size();
            }
            else if (type == API_RoofID)
            {
                areas.push_back({MemoContours(element.memo), RoofFill});
                ++roofs;
            }
            else if (type == API_WallID)
            {
                areas.push_back({WallContours(element), WallFill});
                ++walls;
            }
            else if (IsOpening(type))
            {
                areas.push_back({{OpeningPlanOutline(host->model_, element)}, OpeningFill});
                ++openings;
            }
        }
        const NewDisplay::NativeImage image = DrawPlan(areas);
        std::string error;
        if (!NewDisplay::WritePngFile(image, WorkPath(*host, file), &error)) return scenario.Fail(error);
        scenario.Out() << "plan picture " << file << ": " << polygons << " polygons of " << morphs << " morphs, " << roofs
                       << " roofs, " << walls << " walls, " << openings << " openings, " << image.GetWidth() << " x "
                       << image.GetHeight() << " pixels\n";
        return true;
    };
}

}  // namespace SimHost
