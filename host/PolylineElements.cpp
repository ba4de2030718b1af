#include "PolylineElements.hpp"

#include <sstream>

#include "NumberText.hpp"

namespace SimHost
{

bool IsPolylineType(API_ElemTypeID type) { return type == API_PolyLineID; }

std::string DescribePolygonMemo(const API_ElementMemo& memo)
{
    if (memo.coords.size() < 2) return "no polygon";
    std::ostringstream out;
    for (std::size_t i = 1; i < memo.coords.size(); ++i)
        out << (i > 1 ? " " : "") << "(" << NumberText(memo.coords[i].x, 12) << "," << NumberText(memo.coords[i].y, 12) << ")";
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
    for (const API_PolyArc& arc : memo.parcs)
        out << " " << arc.begIndex << "-" << arc.endIndex << ":" << NumberText(arc.arcAngle, 12);
    return out.str();
}

}  // namespace SimHost
