#include "PolylineElements.hpp"

#include <cmath>
#include <sstream>

namespace SimHost {

namespace {

std::string Number(double v)
{
    std::ostringstream out;
    out.precision(12);
    out << (std::fabs(v) < 5e-10 ? 0.0 : v);
    return out.str();
}

}  // namespace

bool IsPolylineType(API_ElemTypeID type) { return type == API_PolyLineID; }

std::string DescribePolygonMemo(const API_ElementMemo& memo)
{
    if (memo.coords.size() < 2) return "no polygon";
    std::ostringstream out;
    for (std::size_t i = 1; i < memo.coords.size(); ++i)
        out << (i > 1 ? " " : "") << "(" << Number(memo.coords[i].x) << "," << Number(memo.coords[i].y) << ")";
    out << " ends";
    for (std::size_t i = 0; i < memo.pends.size(); ++i) out << (i > 0 ? "," : " ") << memo.pends[i];
    out << DescribePolygonArcs(memo);
    return out.str();
}

std::string DescribePolygonArcs(const API_ElementMemo& memo)
{
    if (memo.parcs.empty()) return {};
    std::ostringstream out;
    out << " arcs";
    for (const API_PolyArc& arc : memo.parcs) out << " " << arc.begIndex << "-" << arc.endIndex << ":" << Number(arc.arcAngle);
    return out.str();
}

}  // namespace SimHost
