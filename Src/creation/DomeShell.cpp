#include "creation/DomeShell.hpp"

#include <cmath>

#include "API/AddOnInterface.hpp"
#include "Geometry/CurveGeometry.hpp"
#include "creation/ShellMemo.hpp"
#include "frame/Survanto.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"

namespace
{

constexpr std::int32_t RevolvedClass = 1;

}  // namespace

std::optional<DomeShell> DomeShell::Cut(const API_Coord3D& centre, double radius, double baseHeight)
{
    if (!(radius > 0.0) || !std::isfinite(radius) || !std::isfinite(centre.x) || !std::isfinite(centre.y) ||
        !std::isfinite(centre.z))
        return std::nullopt;
    const double b = baseHeight - centre.z;
    if (!std::isfinite(b) || std::fabs(b) >= radius) return std::nullopt;
    DomeShell dome;
    dome.centre = centre;
    dome.rim = {b, std::sqrt(radius * radius - b * b)};
    dome.apex = {radius, 0.0};
    dome.arcAngle = Geometry::GetVectorsRelAngle({dome.rim.x, dome.rim.y}, {dome.apex.x, dome.apex.y});
    return dome;
}

void DomeShell::Create(Survanto& survanto) const
{
    API_Element element;
    element.header.typeID = API_ShellID;
    element.shell.shellClass = RevolvedClass;
    if (HostGetElementDefaults(&element, nullptr) != NoError) return;
    API_ShellType& shell = element.shell;
    SetIdentityTransformation(shell.basePlane);
    // Heights are the home storey's.
    shell.basePlane[3] = centre.x;
    shell.basePlane[7] = centre.y;
    shell.basePlane[11] = centre.z - GetStoryLevel(element.header.floorInd);
    if (unflipped) shell.isFlipped = false;
    const bool hasContour = !contour.empty();
    if (hasContour) shell.hasContour = true;
    API_RevolvedShellData& revolved = shell.revolved;
    revolved.slantAngle = 0.0;
    revolved.revolutionAngle = TwoPi;
    revolved.distortionAngle = HalfPi;
    revolved.segmentedSurfaces = false;
    revolved.segmentType = 0;
    revolved.segmentsByCircle = 36;
    revolved.shapePoly = {3, 1, 1};
    SetIdentityTransformation(revolved.axisBase);
    revolved.distortionVector = {0.0, 0.0};
    revolved.begAngle = 0.0;

    ShellMemo shellMemo;
    if (!shellMemo.AllocateShape(0, revolved.shapePoly)) return;
    const API_Polygon contourCounts {static_cast<std::int32_t>(contour.size()), 1, 0};
    if (hasContour && !shellMemo.AllocateContour(contourCounts)) return;
    shellMemo.FillShape(0, {rim, apex, rim}, 2, arcAngle);
    if (hasContour) shellMemo.FillContour(contour);
    if (HostCreateElement(&element, &*shellMemo.memo) == NoError) survanto.FitElementToStorey(element);
}
