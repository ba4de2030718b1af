#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "Geometry/Point2.hpp"
#include "curves/CurvePaletteRules.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "framework/TypVektor.hpp"

// The palette "Polygonpalette" in which the surveyor builds a curve from measured
// points: a polygon of straight and arc segments, a spline, a rectangle from three
// ceiling points, and the plane a 2D curve lies in. "Erstellen" hands the curve
// to the creator of the main object's current tool.
//
// Item numbers double as values: the method (`curveMode`), the segment or plane
// kind (`curveStep`), the dimension and the closure are the numbers of the items
// that choose them.
class Curve3DPalette : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32425;
    static constexpr std::int16_t PromptListId = 32561;

    enum Item : std::int16_t
    {
        CreateItem = 1,
        CancelItem = 2,
        Dimension2DItem = 3,
        Dimension3DItem = 4,
        OpenItem = 5,
        ClosedItem = 6,
        EndPointMethodItem = 8,
        TwoPointMethodItem = 9,
        SplineMethodItem = 10,
        PlaneMethodItem = 11,
        FirstStepItem = 13,
        SecondStepItem = 14,
        ThirdStepItem = 15,
        FourthStepItem = 16,
        PromptItem = 18,
        CeilingMethodItem = 19,
    };

    // An arc segment: from vertex beginIndex to vertex endIndex = beginIndex + 1,
    // sweeping `angle` in (-2π, 0] about the unit `axis` through `centre`: turning
    // the first vertex so gives the last (clockwise seen from the axis tip).
    struct arcData
    {
        std::int32_t beginIndex = 0;
        std::int32_t endIndex = 0;
        double angle = 0.0;
        API_Coord3D centre;
        Geometry::Vector3<double> axis;
    };

    // Vertices in measuring order, one direction per vertex from the second vertex
    // on, and the arcs ordered by their first vertex; a segment without an arc is
    // straight, and a closed curve repeats its first vertex at the end.
    struct CurveData
    {
        TypVektor<API_Coord3D> points;
        TypVektor<Geometry::Vector3<double>> tangents;
        TypVektor<arcData> arcs;
    };

    // The plane of a 2D curve; its axes map the curve to 2D and back.
    struct PlaneData
    {
        Geometry::Vector3<double> xAxis;
        Geometry::Vector3<double> yAxis;
        Geometry::Vector3<double> normal;
        Geometry::Vector3<double> origin;
    };

    Curve3DPalette();

    // The host's palette-wide enabling leaves this palette's items as its own rules set them.
    void EnableItems() override {}
    void DisableItems() override {}
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // Both instances are dialog 32425, which the host shows once: while the other
    // one is open, the user is told to close it first. True when it is open.
    static bool TellWhenOpen(const Curve3DPalette& other);

    void SetUpForTool();
    // Item states, values and the prompt from the palette's state; only while open.
    void UpdateItems();
    void ShowPrompt();
    // Forgets the curve, the spline and ceiling points and the shown polylines
    // (which stay in the project).
    void ClearCurve();

    // One measured point for the running method, taken into the view's own 2D
    // coordinates when a section, elevation or interior elevation is in front.
    // *segmentCompleted becomes 1 when the point completed a side of method 9.
    void AddMeasuredPoint(API_Coord3D point, std::uint8_t* segmentCompleted);
    // Hands the curve to the creator of the main object's current tool, then ends
    // the measuring. Returns 1.
    std::int16_t CreateElements();
    // The closed rectangle P0, P1, Q1, Q0, P0 whose opposite edge passes through
    // the third point in plan; false, with an empty curve, when P1 lies on P0 in plan.
    static bool BuildCeilingRectangle(const TypVektor<API_Coord3D>& ceilingPoints, CurveData& curve);

    // The arc from a to b that leaves a along the tangent; the tangent becomes the
    // arc's unit direction at b. False, all left as they were, when there is no
    // such arc: a chord without length or a tangent along the chord.
    static bool CalcTangentialArc(const Geometry::Vector3<double>& a, const Geometry::Vector3<double>& b,
                                  Geometry::Vector3<double>& tangent, API_Coord3D& centre, Geometry::Vector3<double>& axis,
                                  double& angle);
    // The arc from p0 through p1 to p2 with its unit directions at both ends;
    // false when the three points lie on one line or two of them at one place.
    static bool CalcArcThroughThreePoints(const Geometry::Vector3<double>& p0, const Geometry::Vector3<double>& p1,
                                          const Geometry::Vector3<double>& p2, Geometry::Vector3<double>& startTangent,
                                          Geometry::Vector3<double>& endTangent, API_Coord3D& centre,
                                          Geometry::Vector3<double>& axis, double& angle);

    // The methods' handlers of one point, and what finishes their curves.
    void AddEndPointPolygonPoint(API_Coord3D point);
    void CloseEndPointPolygon();
    void SetHorizontalPlane(const Geometry::Vector3<double>& point);
    void AddPlanePoint(API_Coord3D point);
    void AddSplinePoint(API_Coord3D point);
    void RebuildSplineCurve();
    void AddTwoPointSegmentPoint(API_Coord3D point);
    void CloseTwoPointSegmentPolygon();

    Geometry::Vector3<double> defaultPlaneOrigin;
    TypVektor<API_Guid> shownPolylines;
    CDialogResizer resizer;
    std::int32_t toolType = 0;
    std::int16_t curveMode = 0;
    std::int16_t curveStep = 0;
    std::int16_t curveDimension = 0;
    std::int16_t polygonClosure = OpenItem;
    bool planeDefined = false;
    CurveData curve;
    TypVektor<API_Coord3D> splinePoints;
    TypVektor<API_Coord3D> ceilingPoints;
    PlaneData plane;
    std::int16_t arcPointCount = 0;
    TypVektor<Geometry::Vector3<double>> planePoints;
    TypVektor<Geometry::Vector3<double>> segmentPoints;
    bool sectionMode = false;

private:
    bool IsOpen() const;
    CurvePaletteState CurrentState() const;
    void ChangeItem(std::int16_t item);
    void FinishAndCreate();
    API_Coord3D InCurvePlane(const API_Coord3D& point) const;
};
