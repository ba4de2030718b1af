#include <algorithm>
#include <cmath>
#include <cstddef>

#include "Geometry/Geometry.hpp"
#include "Geometry/Polygon2DData.hpp"

// The outline is walked once: kept vertices stay, and where an edge crosses the
// line a crossing is put in, an exit where the walk leaves the half plane and an
// entry where it comes back. Sorted along the line, the crossings pair up into
// the stretches of the line inside the outline; each piece runs along the outline
// to an exit and along the line to the entry paired with it.

namespace Geometry
{

namespace
{

enum class NodeKind
{
    Vertex,
    Exit,
    Entry
};

struct Node
{
    Point2<double> point;
    NodeKind kind = NodeKind::Vertex;
    std::size_t partner = 0;  // an exit's entry across the line
};

bool IsValidOutline(const Polygon2DData& polygon)
{
    const std::vector<std::int32_t>& ends = polygon.contourEnds;
    if (ends.size() < 2 || ends[0] != 0 || ends[1] < 4 || polygon.vertices.size() < static_cast<std::size_t>(ends[1]) + 1)
        return false;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(ends[1]); ++i)
        if (!std::isfinite(polygon.vertices[i].x) || !std::isfinite(polygon.vertices[i].y)) return false;
    return true;
}

class HalfPlaneCut
{
public:
    HalfPlaneCut(const std::vector<Point2<double>>& outline, const HalfPlane2DData& halfPlane)
        : outline_(outline), plane_(halfPlane)
    {}

    bool Cut(std::vector<Polygon2DData>& pieces)
    {
        WalkOutline();
        return PairCrossings() && TracePieces(pieces);
    }

private:
    double Side(const Point2<double>& p) const { return plane_.normal.x * p.x + plane_.normal.y * p.y - plane_.constant; }
    bool Inside(const Point2<double>& p) const { return Side(p) < -GeometryEps; }

    // A crossing at a vertex on the line is that vertex itself.
    Point2<double> Crossing(const Point2<double>& a, const Point2<double>& b) const
    {
        const double sa = Side(a), sb = Side(b);
        if (std::fabs(sa) <= GeometryEps) return a;
        if (std::fabs(sb) <= GeometryEps) return b;
        const double t = sa / (sa - sb);
        return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    }

    void WalkOutline()
    {
        const std::size_t count = outline_.size();
        for (std::size_t i = 0; i < count; ++i)
        {
            const Point2<double>& a = outline_[i];
            const Point2<double>& b = outline_[(i + 1) % count];
            const bool aInside = Inside(a);
            if (aInside) nodes_.push_back({a, NodeKind::Vertex, 0});
            if (aInside != Inside(b)) nodes_.push_back({Crossing(a, b), aInside ? NodeKind::Exit : NodeKind::Entry, 0});
        }
    }

    bool PairCrossings()
    {
        std::vector<std::size_t> crossings;
        for (std::size_t i = 0; i < nodes_.size(); ++i)
            if (nodes_[i].kind != NodeKind::Vertex) crossings.push_back(i);
        const Point2<double> along {-plane_.normal.y, plane_.normal.x};
        const auto position = [&](std::size_t i) { return along.x * nodes_[i].point.x + along.y * nodes_[i].point.y; };
        std::stable_sort(crossings.begin(), crossings.end(),
                         [&](std::size_t a, std::size_t b) { return position(a) < position(b); });
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
        {
            Node& first = nodes_[crossings[k]];
            Node& second = nodes_[crossings[k + 1]];
            if (first.kind == second.kind) return false;
            Node& exit = first.kind == NodeKind::Exit ? first : second;
            exit.partner = first.kind == NodeKind::Exit ? crossings[k + 1] : crossings[k];
        }
        return crossings.size() % 2 == 0;
    }

    bool TracePieces(std::vector<Polygon2DData>& pieces)
    {
        std::vector<bool> visited(nodes_.size(), false);
        for (std::size_t start = 0; start < nodes_.size(); ++start)
        {
            if (visited[start] || nodes_[start].kind != NodeKind::Vertex) continue;
            std::vector<Point2<double>> points;
            std::size_t i = start;
            do {
                if (visited[i]) return false;
                visited[i] = true;
                AppendDistinct(points, nodes_[i].point);
                if (nodes_[i].kind == NodeKind::Exit)
                {
                    i = nodes_[i].partner;
                    visited[i] = true;
                    AppendDistinct(points, nodes_[i].point);
                }
                i = (i + 1) % nodes_.size();
            } while (i != start);
            if (points.size() > 1 && IsSamePoint(points.back(), points.front())) points.pop_back();
            if (points.size() >= 3) pieces.push_back(PieceOf(points));
        }
        return true;
    }

    static bool IsSamePoint(const Point2<double>& a, const Point2<double>& b)
    {
        return std::fabs(a.x - b.x) <= GeometryEps && std::fabs(a.y - b.y) <= GeometryEps;
    }

    static void AppendDistinct(std::vector<Point2<double>>& points, const Point2<double>& p)
    {
        if (points.empty() || !IsSamePoint(points.back(), p)) points.push_back(p);
    }

    static Polygon2DData PieceOf(const std::vector<Point2<double>>& points)
    {
        Polygon2DData piece;
        piece.vertices.reserve(points.size() + 2);
        piece.vertices.push_back({});
        piece.vertices.insert(piece.vertices.end(), points.begin(), points.end());
        piece.vertices.push_back(points.front());
        piece.contourEnds = {0, static_cast<std::int32_t>(points.size() + 1)};
        if (GetPolygon2DDataBoundBox(piece, &piece.boundBox) == NoError) piece.status |= PolyStatus_BoundBox;
        return piece;
    }

    const std::vector<Point2<double>>& outline_;
    const HalfPlane2DData plane_;
    std::vector<Node> nodes_;
};

}  // namespace

GSErrCode CutPolyLine2D(const Polygon2DData& polygon, const HalfPlane2DData& halfPlane, std::vector<Polygon2DData>* pieces)
{
    if (pieces == nullptr) return APIERR_BADPARS;
    pieces->clear();
    if (!IsValidOutline(polygon)) return APIERR_BADPARS;
    const auto last = static_cast<std::size_t>(polygon.contourEnds[1]);
    const std::vector<Point2<double>> outline(polygon.vertices.begin() + 1,
                                              polygon.vertices.begin() + static_cast<std::ptrdiff_t>(last));
    std::vector<Polygon2DData> cut;
    if (!HalfPlaneCut(outline, halfPlane).Cut(cut)) return APIERR_IRREGULARPOLY;
    *pieces = std::move(cut);
    return NoError;
}

}  // namespace Geometry
