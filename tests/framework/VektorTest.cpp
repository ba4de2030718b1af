#include <gtest/gtest.h>

#include <cmath>

#include "framework/Tolerance.hpp"
#include "framework/Vektor2D.hpp"
#include "framework/Vektor3D.hpp"

namespace
{

TEST(Vektor2D, DirectionAngles)
{
    struct Case
    {
        Vektor2D v;
        double angle;
    };
    const Case cases[] = {{Vektor2D(), 0.0}, {{0, -1}, 3 * M_PI / 2}, {{-1, 0}, M_PI},
                          {{1, -0.0}, 0.0},  {{0, 0}, M_PI / 2},      {{1e-300, 1e-300}, M_PI / 2},
                          {{1, 1e-17}, 0.0}, {{-3, -1e-17}, M_PI},    {{0.1 * 3, 0}, 0.0},
                          {{1, -1e-9}, 0.0}};
    for (const Case& c : cases)
    {
        const double angle = c.v.GetAngle();
        EXPECT_FALSE(std::isnan(angle)) << c.v.x << "," << c.v.y;
        EXPECT_NEAR(angle, c.angle, 1e-12) << c.v.x << "," << c.v.y;
        EXPECT_LT(angle, 2 * M_PI) << c.v.x << "," << c.v.y;
    }
}

TEST(Vektor2D, NormalizeLeavesShortVectorsAlone)
{
    Vektor2D tiny(0.000009, 0);
    tiny.Normalize();
    EXPECT_DOUBLE_EQ(tiny.x, 0.000009);
    Vektor2D zero(0, 0);
    zero.Normalize();
    EXPECT_EQ(zero.x, 0.0);
    Vektor2D small(0.00002, 0);
    small.Normalize();
    EXPECT_DOUBLE_EQ(small.x, 1.0);
}

TEST(Vektor2D, RotationAndPerpendicular)
{
    Vektor2D v;
    v.Rotate(M_PI / 2);
    EXPECT_NEAR(v.x, 0.0, 1e-15);
    EXPECT_NEAR(v.y, 1.0, 1e-15);
    const Vektor2D p = Vektor2D(3, 4).GetPerpendicular();
    EXPECT_EQ(p.x, -4.0);
    EXPECT_EQ(p.y, 3.0);
    EXPECT_GT(Vektor2D(1, 0).CrossProduct({0, 1}), 0.0);
}

// Rounding carries the scalar product of these unit vectors past ±1.
TEST(Vektor3D, AnglesOfParallelAndOppositeVectorsAreNotNaN)
{
    const Vektor3D vectors[] = {{0.1, 0.2, 0.3}, {1, 1, 1}, {3, -7, 0.1}, {1e-3, 2e-3, 7e-3}, {0.7, 0.7, 0.0}};
    for (const Vektor3D& v : vectors)
    {
        for (const double k : {1.0, 3.0, 0.1, 7.3})
        {
            const double parallel = v.GetAngle(v * k);
            const double opposite = v.GetAngle(v * -k);
            EXPECT_FALSE(std::isnan(parallel));
            EXPECT_FALSE(std::isnan(opposite));
            EXPECT_NEAR(parallel, 0.0, 1e-7);
            EXPECT_NEAR(opposite, M_PI, 1e-7);
        }
    }
    EXPECT_DOUBLE_EQ(Vektor3D(0, 0, 1).GetAngle(Vektor3D(0, 0, 0)), M_PI / 2);
}

TEST(Vektor3D, NormalizeAndEquality)
{
    EXPECT_EQ(Vektor3D().x, 1.0);
    Vektor3D zero(0, 0, 0);
    zero.Normalize();
    EXPECT_EQ(zero.GetLength(), 0.0);
    Vektor3D tiny(0, 0.000009, 0);
    tiny.Normalize();
    EXPECT_DOUBLE_EQ(tiny.y, 0.000009);
    EXPECT_FALSE(Vektor3D(0, 0, 0).IsEqual({0.5, 0, 0}));
    EXPECT_FALSE(Vektor3D(1, 0, 0).IsEqual({1, 0, 1e-5 + 1e-12}));
    EXPECT_TRUE(Vektor3D(1, 0, 0).IsEqual({1, 0, 0.9e-5}));
    EXPECT_FALSE(IsWithinTolerance(0.0, 1e-5, 1e-5));
    EXPECT_TRUE(Vektor3D(1, 2, 3).IsParallel({-2, -4, -6}));
}

TEST(Vektor3D, PerpendicularAndRotation)
{
    const Vektor3D diagonal = Vektor3D(2, 2, 2).GetPerpendicular();
    EXPECT_DOUBLE_EQ(diagonal.x, 2);
    EXPECT_DOUBLE_EQ(diagonal.y, -2);
    EXPECT_DOUBLE_EQ(diagonal.z, 0);
    const Vektor3D x = Vektor3D(1, 0, 0).GetPerpendicular();
    EXPECT_DOUBLE_EQ(x.y, -1);
    EXPECT_DOUBLE_EQ(x.z, 1);

    Vektor3D v(1, 0, 0);
    v.RotateAround(M_PI / 2, {0, 0, 5});
    EXPECT_NEAR(v.x, 0, 1e-12);
    EXPECT_NEAR(v.y, 1, 1e-12);
    EXPECT_NEAR(v.z, 0, 1e-12);
    Vektor3D along(0, 0, 2);
    along.RotateAround(1.0, {0, 0, 5});
    EXPECT_NEAR(along.x, 0, 1e-12);
    EXPECT_NEAR(along.z, 2, 1e-12);
}

}  // namespace
