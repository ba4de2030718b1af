#include "creation/ShellMemo.hpp"

#include "API/AddOnInterface.hpp"
#include "framework/HostApiHelpers.hpp"

namespace
{

template <typename T>
GSHandle Entries(std::int32_t count)
{
    return count > 0 ? BMAllocateHandle(static_cast<GSSize>(sizeof(T)) * count, ALLCLEAR) : nullptr;
}

template <typename T>
T* At(GSHandle handle)
{
    return reinterpret_cast<T*>(*handle);
}

}  // namespace

bool ShellMemo::AllocateShape(std::size_t k, const API_Polygon& counts)
{
    API_ShellShapeHandles& shape = memo->shellShapes[k];
    shape.coords = Entries<API_Coord>(counts.nCoords + 1);
    if (shape.coords == nullptr) return false;
    shape.pends = Entries<std::int32_t>(counts.nSubPolys + 1);
    if (shape.pends == nullptr) return false;
    shape.parcs = Entries<API_PolyArc>(counts.nArcs);
    if (counts.nArcs > 0 && shape.parcs == nullptr) return false;
    shape.bodyFlags = Entries<std::uint8_t>(counts.nCoords + 1);
    return shape.bodyFlags != nullptr;
}

bool ShellMemo::AllocateContour(const API_Polygon& counts)
{
    memo->shellContours = reinterpret_cast<API_ShellContour*>(BMAllocatePtr(sizeof(API_ShellContour), ALLCLEAR));
    if (memo->shellContours == nullptr) return false;
    API_ShellContour& contour = *memo->shellContours;
    contour.poly = counts;
    SetIdentityTransformation(contour.plane);
    contour.coords = Entries<API_Coord>(counts.nCoords + 1);
    if (contour.coords == nullptr) return false;
    contour.pends = Entries<std::int32_t>(counts.nSubPolys + 1);
    return contour.pends != nullptr;
}

void ShellMemo::FillShape(std::size_t k, const std::vector<API_Coord>& points, std::int32_t end, double arcAngle)
{
    const API_ShellShapeHandles& shape = memo->shellShapes[k];
    for (std::size_t i = 0; i < points.size(); ++i) At<API_Coord>(shape.coords)[i + 1] = points[i];
    At<std::int32_t>(shape.pends)[1] = end;
    At<API_PolyArc>(shape.parcs)[0] = API_PolyArc {1, 2, arcAngle};
    At<std::uint8_t>(shape.bodyFlags)[1] = 1;
}

void ShellMemo::FillContour(const std::vector<API_Coord>& outline)
{
    API_ShellContour& contour = *memo->shellContours;
    for (std::size_t i = 0; i < outline.size(); ++i) At<API_Coord>(contour.coords)[i + 1] = outline[i];
    At<std::int32_t>(contour.pends)[1] = static_cast<std::int32_t>(outline.size());
}
