#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "e57/VectorKernels.hpp"
#include "pointclouds/ScanBounds.hpp"

namespace
{

struct Records
{
    std::vector<double> x, y, z;
    std::vector<std::int64_t> invalid;

    void Add(double px, double py, double pz, std::int64_t flag = 0)
    {
        x.push_back(px), y.push_back(py), z.push_back(pz), invalid.push_back(flag);
    }
};

TRANMAT Pose(double angle, double tx, double ty, double tz)
{
    TRANMAT pose;
    Geometry::TMIdentity(&pose);
    pose.matrix.Set(0, 0, std::cos(angle)), pose.matrix.Set(0, 1, -std::sin(angle));
    pose.matrix.Set(1, 0, std::sin(angle)), pose.matrix.Set(1, 1, std::cos(angle));
    pose.matrix.Set(0, 3, tx), pose.matrix.Set(1, 3, ty), pose.matrix.Set(2, 3, tz);
    return pose;
}

// The box as the import defines it: of the records not flagged, whose place is a
// number, the first sets the box and every further one widens it.
PointCloudBox Expected(const Records& r, const PoseMatrix& pose, PointCloudBox box, bool empty, std::size_t& taken)
{
    taken = 0;
    for (std::size_t i = 0; i < r.x.size(); ++i)
    {
        const API_Coord3D p = pose.Transformed(r.x[i], r.y[i], r.z[i]);
        if (r.invalid[i] != 0 || !std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) continue;
        box.Add(p, empty && taken == 0);
        ++taken;
    }
    return box;
}

struct BoundsCase
{
    const char* name;
    Records records;
    TRANMAT pose;
    bool empty;
    PointCloudBox start;
};

std::vector<BoundsCase> Cases()
{
    std::vector<BoundsCase> cases;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> place(-50.0, 50.0);
    const double nan = std::nan(""), infinity = std::numeric_limits<double>::infinity();
    for (std::size_t count : {0, 1, 3, 4, 5, 8, 9, 40, 2563})
    {
        BoundsCase c {"turned and moved", {}, Pose(0.7, 100, 200, 3), true, {}};
        for (std::size_t i = 0; i < count; ++i)
        {
            const std::size_t kind = i % 11;
            if (kind == 3)
                c.records.Add(nan, place(random), place(random));
            else if (kind == 7)
                c.records.Add(place(random), place(random), -infinity);
            else
                c.records.Add(place(random), place(random), place(random), kind == 5 ? 1 : 0);
        }
        cases.push_back(c);
    }
    // Equal values of other bits: a zero and a negative zero, the later one in an
    // earlier lane of four; the negative one first, then the other way round. The
    // first of them stays.
    TRANMAT keepsNegativeZero;
    Geometry::TMIdentity(&keepsNegativeZero);
    for (int row = 0; row < 3; ++row) keepsNegativeZero.matrix.Set(row, 3, -0.0);
    for (const double first : {-0.0, 0.0})
    {
        BoundsCase c {"zeros of both signs", {}, keepsNegativeZero, true, {}};
        for (const double x : {3.0, first, 5.0, 6.0, -first, 7.0, 8.0, 9.0, 4.0}) c.records.Add(x, -0.0, -0.0);
        cases.push_back(c);
    }
    BoundsCase inside {"a box so far that stays", {}, Pose(0, 0, 0, 0), false, {-10, -10, -10, 10, 10, 10}};
    BoundsCase outside {"a box so far that widens", {}, Pose(0, 0, 0, 0), false, {-1, -1, -1, 1, 1, 1}};
    BoundsCase flagged {"every record flagged", {}, Pose(0, 0, 0, 0), false, {-1, -1, -1, 1, 1, 1}};
    for (int i = 0; i < 13; ++i)
    {
        inside.records.Add(i % 5, -i % 7, i % 3);
        outside.records.Add(i - 6, 2 * i, -0.5 * i);
        flagged.records.Add(100 * i, 100, 100, 1);
    }
    cases.push_back(inside);
    cases.push_back(outside);
    cases.push_back(flagged);
    return cases;
}

bool SameBits(const PointCloudBox& a, const PointCloudBox& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// With and without the processor's wide loops: the same box, bit for bit, and the
// same points taken, as the records one by one give them.
TEST(ScanBounds, WidensAsTheRecordsOneByOneDo)
{
    for (const bool wide : {true, false})
    {
        e57::VectorKernels::allow(wide);
        for (const BoundsCase& c : Cases())
        {
            const PoseMatrix pose(c.pose);
            std::size_t expectedTaken = 0;
            const PointCloudBox expected = Expected(c.records, pose, c.start, c.empty, expectedTaken);
            ScanBounds bounds(c.start, c.empty);
            const Records& r = c.records;
            const std::size_t taken = bounds.Widen(r.x.data(), r.y.data(), r.z.data(), r.invalid.data(), 0, r.x.size(), pose);
            EXPECT_EQ(taken, expectedTaken) << c.name << " of " << r.x.size() << (wide ? ", wide" : "");
            if (expectedTaken == 0 && c.empty) continue;
            PointCloudBox box;
            bounds.Into(box);
            EXPECT_TRUE(SameBits(box, expected)) << c.name << " of " << r.x.size() << (wide ? ", wide" : "") << ": x " << box.xMin
                                                 << " " << std::signbit(box.xMin);
        }
    }
    e57::VectorKernels::allow(true);
}

}  // namespace
