#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "curves/Curve3DPalette.hpp"

// What every curve the palette builds must keep, and small builders of test data.

constexpr double CurvePi = 3.14159265358979323846;

inline API_Coord3D OnCircle(double cx, double cy, double radius, double degrees, double z = 0.0)
{
    const double a = degrees * CurvePi / 180.0;
    return {cx + radius * std::cos(a), cy + radius * std::sin(a), z};
}

inline Geometry::Vector3<double> V(const API_Coord3D& p) { return {p.x, p.y, p.z}; }

inline void ExpectPoint(const API_Coord3D& actual, const API_Coord3D& expected, const std::string& what, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

inline void ExpectVector(const Geometry::Vector3<double>& actual, const Geometry::Vector3<double>& expected,
                         const std::string& what, double tolerance = 1e-9)
{
    ExpectPoint({actual.x, actual.y, actual.z}, {expected.x, expected.y, expected.z}, what, tolerance);
}

inline std::vector<API_Coord3D> Points(const Curve3DPalette::CurveData& curve)
{
    return {curve.points.begin(), curve.points.end()};
}

// One tangent per vertex from the second vertex on, every number finite, and
// every arc: its two vertices in order, angle in (-2π, 0], a unit axis, and its
// first vertex turned about the axis through the centre by the angle landing on
// its last vertex (for arcs in one plane).
inline void ExpectCurveHolds(const Curve3DPalette::CurveData& curve, const std::string& label)
{
    SCOPED_TRACE(label);
    const std::uint32_t n = curve.points.GetSize();
    EXPECT_EQ(curve.tangents.GetSize(), n < 2 ? 0u : n);
    for (const API_Coord3D& p : curve.points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    for (const auto& t : curve.tangents) EXPECT_TRUE(std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z));
    std::int32_t previousBegin = -1;
    for (const Curve3DPalette::arcData& arc : curve.arcs)
    {
        ASSERT_EQ(arc.endIndex, arc.beginIndex + 1);
        ASSERT_GE(arc.beginIndex, 0);
        ASSERT_LT(static_cast<std::uint32_t>(arc.endIndex), n);
        EXPECT_GT(arc.beginIndex, previousBegin) << "arcs in vertex order";
        previousBegin = arc.beginIndex;
        EXPECT_GT(arc.angle, -2 * CurvePi);
        EXPECT_LE(arc.angle, 0.0);
        const auto& k = arc.axis;
        EXPECT_NEAR(std::sqrt(k.x * k.x + k.y * k.y + k.z * k.z), 1.0, 1e-9);
        const API_Coord3D& first = curve.points[static_cast<std::uint32_t>(arc.beginIndex)];
        const API_Coord3D& last = curve.points[static_cast<std::uint32_t>(arc.endIndex)];
        const double vx = first.x - arc.centre.x, vy = first.y - arc.centre.y, vz = first.z - arc.centre.z;
        const double c = std::cos(arc.angle), s = std::sin(arc.angle);
        const double kv = k.x * vx + k.y * vy + k.z * vz;
        const API_Coord3D turned {arc.centre.x + vx * c + (k.y * vz - k.z * vy) * s + k.x * kv * (1 - c),
                                  arc.centre.y + vy * c + (k.z * vx - k.x * vz) * s + k.y * kv * (1 - c),
                                  arc.centre.z + vz * c + (k.x * vy - k.y * vx) * s + k.z * kv * (1 - c)};
        ExpectPoint(turned, last, "arc " + std::to_string(arc.beginIndex) + " turned onto its last vertex", 1e-7);
    }
}
