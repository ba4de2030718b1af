#include "PlanPicture.hpp"

#include <algorithm>
#include <cstdlib>

#include "PlanCanvas.hpp"
#include "PngFile.hpp"

namespace SimHost {

namespace {

constexpr std::uint32_t PictureSide = 1000;
constexpr std::uint32_t PictureMargin = 20;
constexpr double FillOpacity = 0.2;
const Colour Outline {40, 40, 60};
const Colour Fills[] = {{70, 130, 180}, {214, 120, 40}, {60, 160, 90}, {170, 70, 150}};

using Contours = std::vector<std::vector<API_Coord>>;

// A polygon's contours as plan points: each edge gives its start vertex, placed by
// the morph's transformation.
Contours PlanContours(const API_MorphBody& body, const API_MorphPolygon& polygon, const double (&t)[12])
{
    Contours contours(1);
    for (const std::int32_t edge : polygon.edges) {
        if (edge == 0) {
            contours.emplace_back();
            continue;
        }
        const auto& ends = body.edges[static_cast<std::size_t>(std::abs(edge)) - 1];
        const API_Coord3D& v = body.vertices[static_cast<std::size_t>(edge > 0 ? ends[0] : ends[1]) - 1];
        contours.back().push_back({t[0] * v.x + t[1] * v.y + t[2] * v.z + t[3], t[4] * v.x + t[5] * v.y + t[6] * v.z + t[7]});
    }
    return contours;
}

API_Box ExtentOf(const std::vector<std::pair<Contours, std::size_t>>& polygons)
{
    API_Box box {0, 0, 1, 1};
    bool first = true;
    for (const auto& [contours, morph] : polygons)
        for (const auto& contour : contours)
            for (const API_Coord& p : contour) {
                if (first) box = {p.x, p.y, p.x, p.y};
                first = false;
                box = {std::min(box.xMin, p.x), std::min(box.yMin, p.y), std::max(box.xMax, p.x), std::max(box.yMax, p.y)};
            }
    return box;
}

}  // namespace

void AddPlanPictureVerbs(ScenarioVerbs& verbs)
{
    verbs["plan-picture"] = [](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        const std::string file = Scenario::Rest(args);
        if (file.empty()) return scenario.Fail("plan-picture <file>");
        std::vector<std::pair<Contours, std::size_t>> polygons;
        std::size_t morphs = 0;
        for (const StoredElement& element : host->model_.content.elements) {
            if (element.record.header.typeID != API_MorphID) continue;
            for (const API_MorphPolygon& polygon : element.memo.morphBody.polygons)
                polygons.emplace_back(PlanContours(element.memo.morphBody, polygon, element.record.morph.transformation), morphs);
            ++morphs;
        }
        PlanCanvas canvas(ExtentOf(polygons), PictureSide, PictureMargin);
        for (const auto& [contours, morph] : polygons)
            canvas.FillPolygon(contours, Fills[morph % std::size(Fills)], FillOpacity);
        for (const auto& [contours, morph] : polygons)
            for (const auto& contour : contours)
                for (std::size_t i = 0; i < contour.size(); ++i) canvas.DrawLine(contour[i], contour[(i + 1) % contour.size()], Outline);
        if (!WritePng(file, canvas.Width(), canvas.Height(), canvas.Pixels())) return scenario.Fail("cannot write " + file);
        scenario.Out() << "plan picture " << file << ": " << polygons.size() << " polygons of " << morphs << " morphs, "
                       << canvas.Width() << " x " << canvas.Height() << " pixels\n";
        return true;
    };
}

}  // namespace SimHost
