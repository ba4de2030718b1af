#pragma once
#include <string>

#include "API/Elements.hpp"

namespace SimHost
{

// Polylines (element type 20): the record holds the polygon's counts, the memo
// the polygon in the host's form.
bool IsPolylineType(API_ElemTypeID type);

// A memo's polygon as "(x,y) (x,y) ... ends 0,n arcs b-e:angle ...", the lead
// coordinate left out; "no polygon" without coordinates.
std::string DescribePolygonMemo(const API_ElementMemo& memo);
// The memo's arcs as " arcs b-e:angle ...", nothing without arcs.
std::string DescribePolygonArcs(const API_ElementMemo& memo);

}  // namespace SimHost
