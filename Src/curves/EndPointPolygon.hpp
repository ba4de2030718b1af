#pragma once
#include <cstdint>

#include "curves/Curve3DPalette.hpp"
#include "curves/CurveVectors.hpp"

// Method 8, the polygon measured by its vertices: each point ends a straight
// segment (step 13), an arc leaving the last vertex along its tangent (step 14)
// or, with one more point, an arc through that point (step 15). A point closer
// than the tolerance to the last vertex makes no segment and is not taken; an
// arc that has no circle (points on one line, a tangent along the chord) becomes
// a straight segment.
namespace Curves
{

// Appends the point as the end of a straight segment: the previous last vertex's
// tangent becomes the bisector of its directions in and out. False when the
// point is not taken.
bool AddStraightSegment(Curve3DPalette::CurveData& curve, const Vector& point);

void AddTangentialArcSegment(Curve3DPalette::CurveData& curve, const Vector& point);

// The arc from the last vertex through a first point to a second; on an empty
// polygon the first point is the arc's start. `arcPointCount` counts the arc's
// points as the prompt asks for them (1: the first, 2: the second).
void AddTwoPointArcPoint(Curve3DPalette::CurveData& curve, std::int16_t& arcPointCount, TypVektor<Vector>& segmentPoints,
                         const Vector& point);

void AddEndPointPoint(Curve3DPalette::CurveData& curve, std::int16_t step, std::int16_t& arcPointCount,
                      TypVektor<Vector>& segmentPoints, const Vector& point);

// Appends vertex 0 as a straight or tangential closing segment (a two-point arc
// step closes with a tangential arc) and gives both ends one tangent. Fewer than
// two vertices: nothing.
void CloseEndPointCurve(Curve3DPalette::CurveData& curve, std::int16_t& step, std::int16_t& arcPointCount,
                        TypVektor<Vector>& segmentPoints);

}  // namespace Curves
