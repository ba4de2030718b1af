#pragma once
#include <string>
#include <vector>

#include "ProjectModel.hpp"

namespace SimHost
{

// Takes a shell's shapes and contour out of the memo's handles, checked against
// the record's counts; false for a handle missing or too short, an index out of
// its polygon, a value that is not finite, a contour that does not close, or a
// class this host does not know.
bool TakeShellGeometry(const API_Element& element, const API_ElementMemo* memo, ShellGeometry& geometry);

// The same checks for geometry that comes from elsewhere (a saved project): the
// shapes the class asks for, a contour exactly when the record says so.
bool IsSoundShellGeometry(const API_Element& element, const ShellGeometry& geometry);

// Frees the memo's shell handles and contour and forgets them.
void FreeShellMemo(API_ElementMemo& memo);
// Forgets them without freeing: a copy of the memo does not own them.
void ForgetShellMemo(API_ElementMemo& memo);

// The shell's surface tessellated, as the lines of its tessellation in project
// coordinates (heights with the storey level added); a contour clips them to what
// lies inside it, seen across the contour's plane.
struct ShellEdge
{
    API_Coord3D from, to;
};
std::vector<ShellEdge> ShellEdges(const StoredElement& shell, double storeyLevel);

// The box of the shell's edges: no box for a shell that shows nothing.
bool ShellBox(const StoredElement& shell, double storeyLevel, API_Box3D& box);

// The record's placement and the shapes' points, for the project's facts.
std::string DescribeShell(const StoredElement& shell);

}  // namespace SimHost
