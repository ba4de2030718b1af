#include "AxonometricPicture.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ElementGeometry.hpp"
#include "Graphics/NativeContext.hpp"
#include "Graphics/PngWriter.hpp"
#include "HostAngles.hpp"
#include "OpeningElements.hpp"
#include "PictureFrame.hpp"
#include "ProjectFile.hpp"
#include "ShellElements.hpp"

namespace SimHost
{

namespace
{

const Gfx::Color Background {255, 255, 255};
const Gfx::Color ShellLines {40, 80, 150};
const Gfx::Color MorphLines {170, 70, 40};
const Gfx::Color WallLines {150, 150, 150};

struct Segment
{
    API_Coord3D from, to;
    const Gfx::Color* color;
};

// Isometric: x runs to the right and down the picture, y to the right and up,
// z straight up.
API_Coord Project(const API_Coord3D& p)
{
    const double c = std::cos(Pi / 6.0), s = std::sin(Pi / 6.0);
    return {(p.x + p.y) * c, p.z + (p.y - p.x) * s};
}

void AddShellSegments(const StoredElement& shell, double storeyLevel, std::vector<Segment>& segments)
{
    for (const ShellEdge& edge : ShellEdges(shell, storeyLevel)) segments.push_back({edge.from, edge.to, &ShellLines});
}

void AddMorphSegments(const StoredElement& morph, double storeyLevel, std::vector<Segment>& segments)
{
    const API_MorphBody& body = morph.memo.morphBody;
    const auto placed = [&](std::int32_t index) {
        API_Coord3D p = Transformed(morph.record.morph.transformation, body.vertices[static_cast<std::size_t>(index) - 1]);
        p.z += storeyLevel;
        return p;
    };
    for (const auto& edge : body.edges) segments.push_back({placed(edge[0]), placed(edge[1]), &MorphLines});
}

// The wall's outline at its foot and its top, joined at the outline's corners:
// every vertex of a straight or polygonal wall, the four ends of a curved one.
void AddWallSegments(const StoredElement& wall, double storeyLevel, std::vector<Segment>& segments)
{
    const API_WallType& w = wall.record.wall;
    const double bottom = storeyLevel + w.bottomOffset, top = bottom + w.height;
    const bool curved = w.geometryKind == 0 && std::fabs(w.arcAngle) >= 1e-5;
    for (const std::vector<API_Coord>& outline : WallContours(wall))
    {
        const std::size_t n = outline.size();
        for (std::size_t i = 0; i < n; ++i)
        {
            const API_Coord& a = outline[i];
            const API_Coord& b = outline[(i + 1) % n];
            segments.push_back({{a.x, a.y, bottom}, {b.x, b.y, bottom}, &WallLines});
            segments.push_back({{a.x, a.y, top}, {b.x, b.y, top}, &WallLines});
            if (!curved || i == 0 || i + 1 == n || i + 1 == n / 2 || i == n / 2)
                segments.push_back({{a.x, a.y, bottom}, {a.x, a.y, top}, &WallLines});
        }
    }
}

API_Box ProjectedExtent(const std::vector<Segment>& segments)
{
    API_Box box {0, 0, 1, 1};
    bool first = true;
    for (const Segment& segment : segments)
        for (const API_Coord3D& p : {segment.from, segment.to}) Enclose(box, first, Project(p));
    return box;
}

NewDisplay::NativeImage DrawSegments(const std::vector<Segment>& segments)
{
    const PictureFrame view(ProjectedExtent(segments));
    NewDisplay::NativeImage image(view.Width(), view.Height());
    NewDisplay::NativeContext context(image);
    context.FillRect(0, 0, static_cast<float>(view.Width()), static_cast<float>(view.Height()), Background);
    for (const Segment& segment : segments)
    {
        context.SetForeColor(segment.color->red, segment.color->green, segment.color->blue, segment.color->alpha);
        const API_Coord from = Project(segment.from), to = Project(segment.to);
        context.MoveTo(view.X(from), view.Y(from));
        context.LineTo(view.X(to), view.Y(to));
    }
    return image;
}

}  // namespace

void AddAxonometricPictureVerbs(ScenarioVerbs& verbs)
{
    verbs["axon-picture"] = [](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        if (host == nullptr) return scenario.Fail("this action needs a started host");
        const std::string file = Scenario::Rest(args);
        if (file.empty()) return scenario.Fail("axon-picture <file>");
        const ProjectModel& model = host->model_;
        std::vector<Segment> segments;
        std::size_t shells = 0, morphs = 0, walls = 0;
        for (const StoredElement& element : model.content.elements)
        {
            const double level = model.StoreyLevel(element.record.header.floorInd);
            if (element.record.header.typeID == API_ShellID)
            {
                AddShellSegments(element, level, segments);
                ++shells;
            }
            else if (element.record.header.typeID == API_MorphID)
            {
                AddMorphSegments(element, level, segments);
                ++morphs;
            }
            else if (element.record.header.typeID == API_WallID)
            {
                AddWallSegments(element, level, segments);
                ++walls;
            }
        }
        const NewDisplay::NativeImage image = DrawSegments(segments);
        std::string error;
        if (!NewDisplay::WritePngFile(image, WorkPath(*host, file), &error)) return scenario.Fail(error);
        scenario.Out() << "axonometric picture " << file << ": " << shells << " shells, " << morphs << " morphs, " << walls
                       << " walls, " << segments.size() << " edges, " << image.GetWidth() << " x " << image.GetHeight()
                       << " pixels\n";
        return true;
    };
}

}  // namespace SimHost
