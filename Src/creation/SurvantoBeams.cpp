#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "Geometry/Geometry.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/AngleConstants.hpp"
#include "framework/HostApiHelpers.hpp"
#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/Vektor3D.hpp"
#include "framework/VektorConversions.hpp"
#include "measuring/MainPaletteItems.hpp"
#include "measuring/MeasuringState.hpp"

// Beams from measured points: simple, sloping and chained. The measured line lies
// on the edge of the beam's cross-section that the anchor pop-up names, seen from
// the station: a station on the left of the line mirrors the anchor. And beams
// selected with two lines fitted between them.

namespace
{

using namespace MainPaletteItems;

constexpr std::int32_t CentreAnchor = 4;
constexpr std::int32_t PromptStringListId = 32560;
constexpr std::int16_t TextSelectBeams = 52;
constexpr std::int16_t TextSelectTwoLines = 53;

std::int32_t MirroredAnchor(std::int32_t code)
{
    switch (code)
    {
        case 0: return 2;
        case 2: return 0;
        case 3: return 5;
        case 5: return 3;
        case 6: return 8;
        case 8: return 6;
        default: return code;
    }
}

double LateralOffset(std::int32_t code, double width)
{
    switch (code)
    {
        case 0:
        case 3:
        case 6: return -width / 2.0;
        case 2:
        case 5:
        case 8: return width / 2.0;
        default: return 0.0;
    }
}

// The level is the beam's top: an anchor on the top or the middle row lowers it.
double VerticalCorrection(std::int32_t code, double height, double slope)
{
    switch (code)
    {
        case 0:
        case 1:
        case 2: return -height / std::cos(slope);
        case 3:
        case 5: return -height / (2.0 * std::cos(slope));
        default: return 0.0;
    }
}

API_Coord HostPoint(const API_Coord3D& p) { return {p.x, p.y}; }
API_Coord HostPoint(const Geometry::Coord& p) { return {p.x, p.y}; }
Geometry::Coord GeometryPoint(const API_Coord3D& p) { return {p.x, p.y}; }
Geometry::Coord GeometryPoint(const API_Coord& p) { return {p.x, p.y}; }
double Distance(const Geometry::Coord& a, const Geometry::Coord& b) { return std::hypot(b.x - a.x, b.y - a.y); }

API_Element BeamDefaults()
{
    API_Element beam;
    beam.header.typeID = API_BeamID;
    HostGetElementDefaults(&beam, nullptr);
    return beam;
}

class BeamRun
{
public:
    BeamRun(Survanto& survanto, std::int32_t anchor) : s_(survanto), p_(survanto.actionPoints), anchor_(anchor) {}

    void Run()
    {
        const std::uint32_t n = p_.GetSize();
        if (n > 1 && StationLeftOfLine()) anchor_ = MirroredAnchor(anchor_);
        if (s_.MainPaletteItemValue(SlopingBeamItem) != 0.0 && n > 1)
            Sloping();
        else if (s_.MainPaletteItemValue(SimpleBeamItem) != 0.0 && n > 1)
            Simple();
        if (s_.MainPaletteItemValue(BeamChainItem) != 0.0 && n >= 2) Chain();
    }

private:
    bool StationLeftOfLine() const
    {
        const API_Coord offset = GetLocationOffset();
        const Vektor2D station(measuringState.stationX, measuringState.stationY);
        const Vektor2D shift(offset.x, offset.y);
        const Vektor2D q0 = PlanVektor(p_[0]) + shift - station;
        const Vektor2D q1 = PlanVektor(p_[1]) + shift - station;
        return q0.CrossProduct(q1) > GeometricTolerance;
    }

    void Create(API_Element& beam, bool snap)
    {
        if (snap) s_.ApplyAngleSnap(beam);
        s_.CompleteCreation(HostCreateElement(&beam, nullptr), beam, true);
    }

    void Simple()
    {
        API_Element beam = BeamDefaults();
        beam.beam.begC = HostPoint(p_[0]);
        beam.beam.endC = HostPoint(p_[1]);
        beam.beam.offset = LateralOffset(anchor_, beam.beam.width);
        Create(beam, true);
    }

    // Level or sloping between the two points; a beam standing upright (both
    // points at one plan position) would have no level and is not made.
    void Sloping()
    {
        API_Element beam = BeamDefaults();
        API_BeamType& b = beam.beam;
        b.begC = HostPoint(p_[0]);
        b.endC = HostPoint(p_[1]);
        b.level = p_[0].z - GetStoryLevel(beam.header.floorInd);
        const Vektor3D v = SpaceVektor(p_[1]) - SpaceVektor(p_[0]);
        if (std::fabs(v.z) < GeometricTolerance)
        {
            b.isSlanted = false;
            b.level += b.height;
        }
        else
        {
            const Vektor3D plan(v.x, v.y, 0.0);
            if (plan.GetLength() < GeometricTolerance) return;
            double slope = v.GetAngle(plan);
            if (v.z < -GeometricTolerance) slope = -slope;
            b.isSlanted = true;
            b.slantAngle = slope;
            b.level += b.height / std::sin(std::fabs(HalfPi - slope));
        }
        b.offset = LateralOffset(anchor_, b.width);
        b.level += VerticalCorrection(anchor_, b.height, b.slantAngle);
        Create(beam, true);
    }

    Geometry::Sector PairLine(std::uint32_t pair) const { return {GeometryPoint(p_[2 * pair]), GeometryPoint(p_[2 * pair + 1])}; }

    // Each pair of points lies on one beam's edge; consecutive beams meet where
    // their lines cross, a closed chain also its last and first beam.
    void Chain()
    {
        s_.SnapPointPairs();
        const API_Element defaults = BeamDefaults();
        const std::uint32_t pairs = p_.GetSize() / 2;
        const bool closed = pairs > 2 && s_.polygonFinish;
        for (std::uint32_t i = 0; i < pairs; ++i)
        {
            std::optional<std::uint32_t> previous, next;
            if (i > 0)
                previous = i - 1;
            else if (closed)
                previous = pairs - 1;
            if (i + 1 < pairs)
                next = i + 1;
            else if (closed)
                next = 0;

            const Geometry::Sector own {GeometryPoint(p_[2 * i + 1]), GeometryPoint(p_[2 * i])};
            Geometry::Coord begin = GeometryPoint(p_[2 * i]);
            Geometry::Coord end = GeometryPoint(p_[2 * i + 1]);
            Geometry::Coord crossing;
            if (previous && Geometry::XLines(PairLine(*previous), own, &crossing))
            {
                if (Distance(begin, crossing) > Distance(end, crossing) + GeometricTolerance) end = begin;
                begin = crossing;
            }
            if (next && Geometry::XLines(PairLine(*next), own, &crossing))
            {
                if (Distance(begin, crossing) < Distance(end, crossing) - GeometricTolerance) begin = end;
                end = crossing;
            }
            API_Element beam = defaults;
            beam.beam.begC = HostPoint(begin);
            beam.beam.endC = HostPoint(end);
            beam.beam.offset = LateralOffset(anchor_, beam.beam.width);
            Create(beam, false);
        }
    }

    Survanto& s_;
    TypVektor<API_Coord3D>& p_;
    std::int32_t anchor_;
};

void ShowFitWarning(std::int16_t text)
{
    DG::AlertRecord alert;
    alert.type = AlertWarning;
    alert.title = GS::UniString("Survanto Add-On");
    alert.text1 = RS::GetIndString(PromptStringListId, text, CurrentResourceModule());
    alert.button1 = GS::UniString("OK");
    DG::Alert(alert);
}

bool ReadElement(const API_Neig& neig, API_ElemTypeID type, API_Element& element)
{
    if (NeigToElemType(neig.neigID) != type) return false;
    element.header.guid = neig.guid;
    return HostGetElement(&element) == NoError && element.header.typeID == type;
}

// The beam runs from the first line to the second along its own direction; the
// level follows its slope to the new begin point. Lines given against the beam's
// direction swap the ends, and the level is taken where the beam then begins.
void FitBeam(API_Element& beam, const API_LineType& first, const API_LineType& second)
{
    API_BeamType& b = beam.beam;
    const Geometry::Sector axis {GeometryPoint(b.begC), GeometryPoint(b.endC)};
    Geometry::Coord x1, x2;
    if (!Geometry::XLines({GeometryPoint(first.begC), GeometryPoint(first.endC)}, axis, &x1) ||
        !Geometry::XLines({GeometryPoint(second.begC), GeometryPoint(second.endC)}, axis, &x2))
        return;
    const Vektor2D d(axis.c2.x - axis.c1.x, axis.c2.y - axis.c1.y);
    const bool against = Vektor2D(x2.x - x1.x, x2.y - x1.y).DotProduct(d) < -GeometricTolerance;
    const Geometry::Coord begin = against ? x2 : x1;
    const Geometry::Coord end = against ? x1 : x2;
    const Vektor2D fromOldBegin(begin.x - axis.c1.x, begin.y - axis.c1.y);
    const double rise = fromOldBegin.GetLength() * std::tan(b.slantAngle);
    b.level += fromOldBegin.DotProduct(d) < -GeometricTolerance ? -rise : rise;
    b.begC = HostPoint(begin);
    b.endC = HostPoint(end);
    API_Element mask;
    MarkToChange(mask.beam.begC);
    MarkToChange(mask.beam.endC);
    MarkToChange(mask.beam.level);
    MarkToChange(mask.beam.slantAngle);
    ForceChangeElement(&beam, &mask, nullptr);
}

// The first selected line and the last one bound every selected beam.
void FitSelectedBeams()
{
    API_SelectionInfo info;
    std::vector<API_Neig> selection;
    if (HostGetSelection(&info, &selection, false, true) != NoError || selection.empty()) return;
    std::optional<API_LineType> first, last;
    for (const API_Neig& neig : selection)
    {
        API_Element line;
        if (!ReadElement(neig, API_LineID, line)) continue;
        (first ? last : first) = line.line;
    }
    if (!first || !last)
    {
        ShowFitWarning(TextSelectTwoLines);
        return;
    }
    bool beamSeen = false;
    for (const API_Neig& neig : selection)
    {
        if (NeigToElemType(neig.neigID) != API_BeamID) continue;
        beamSeen = true;
        API_Element beam;
        if (ReadElement(neig, API_BeamID, beam)) FitBeam(beam, *first, *last);
    }
    if (!beamSeen) ShowFitWarning(TextSelectBeams);
}

}  // namespace

void Survanto::CreateBeam()
{
    if (!AcceptToolLayer(API_BeamID)) return;
    std::int32_t anchor = CentreAnchor;
    GetSelectedAnchor(nullptr, &anchor);
    RunCreationCommand([this, anchor] { BeamRun(*this, anchor).Run(); });
    pointStep = 0;
}

void Survanto::FitBeamsBetweenTwoLines()
{
    RunCreationCommand([] { FitSelectedBeams(); });
}
