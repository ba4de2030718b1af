#include "creation/PlanPredicates.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

// Error bounds and the exact arithmetic follow Shewchuk, "Adaptive Precision
// Floating-Point Arithmetic and Fast Robust Geometric Predicates" (1997). They need
// IEEE doubles rounding to nearest, without extended precision or fused
// multiply-add contraction; the build compiles this file with -ffp-contract=off.

namespace
{

constexpr double Epsilon = 0x1p-53;
constexpr double Splitter = 0x1p27 + 1.0;
constexpr double OrientationBound = (3.0 + 16.0 * Epsilon) * Epsilon;
constexpr double InCircleBound = (10.0 + 96.0 * Epsilon) * Epsilon;

int Sign(double value) { return value > 0.0 ? 1 : (value < 0.0 ? -1 : 0); }

// a + b = sum + error, exactly.
void TwoSum(double a, double b, double& sum, double& error)
{
    sum = a + b;
    const double bVirtual = sum - a;
    const double aVirtual = sum - bVirtual;
    error = (a - aVirtual) + (b - bVirtual);
}

// a + b = sum + error, exactly, for |a| >= |b|.
void FastTwoSum(double a, double b, double& sum, double& error)
{
    sum = a + b;
    error = b - (sum - a);
}

// a - b = difference + error, exactly.
void TwoDiff(double a, double b, double& difference, double& error)
{
    difference = a - b;
    const double bVirtual = a - difference;
    const double aVirtual = difference + bVirtual;
    error = (a - aVirtual) + (bVirtual - b);
}

// a = high + low, each with at most 26 significant bits.
void Split(double a, double& high, double& low)
{
    const double c = Splitter * a;
    const double big = c - a;
    high = c - big;
    low = a - high;
}

// a · b = product + error, exactly, with b already split.
void TwoProduct(double a, double b, double bHigh, double bLow, double& product, double& error)
{
    product = a * b;
    double aHigh = 0.0, aLow = 0.0;
    Split(a, aHigh, aLow);
    const double error1 = product - aHigh * bHigh;
    const double error2 = error1 - aLow * bHigh;
    const double error3 = error2 - aHigh * bLow;
    error = aLow * bLow - error3;
}

// A number as a sum of doubles that do not overlap, smallest magnitude first, zero
// terms left out (a lone 0 stands for zero). Its sign is the sign of its last term.
template <std::size_t Capacity>
struct Expansion
{
    std::array<double, Capacity> terms;  // only the first `size` are set
    std::size_t size = 0;

    int Sign() const { return ::Sign(terms[size - 1]); }
};

std::size_t SumTerms(const double* e, std::size_t eSize, const double* f, std::size_t fSize, double* h)
{
    std::size_t i = 0, j = 0, count = 0;
    const auto takeSmaller = [&]() {
        if (j == fSize || (i < eSize && (f[j] > e[i]) == (f[j] > -e[i]))) return e[i++];
        return f[j++];
    };
    double q = takeSmaller();
    while (i < eSize || j < fSize)
    {
        double sum = 0.0, error = 0.0;
        TwoSum(q, takeSmaller(), sum, error);
        if (error != 0.0) h[count++] = error;
        q = sum;
    }
    if (q != 0.0 || count == 0) h[count++] = q;
    return count;
}

std::size_t ScaleTerms(const double* e, std::size_t eSize, double b, double* h)
{
    double bHigh = 0.0, bLow = 0.0;
    Split(b, bHigh, bLow);
    double q = 0.0, error = 0.0;
    TwoProduct(e[0], b, bHigh, bLow, q, error);
    std::size_t count = 0;
    if (error != 0.0) h[count++] = error;
    for (std::size_t k = 1; k < eSize; ++k)
    {
        double product = 0.0, productError = 0.0, sum = 0.0;
        TwoProduct(e[k], b, bHigh, bLow, product, productError);
        TwoSum(q, productError, sum, error);
        if (error != 0.0) h[count++] = error;
        FastTwoSum(product, sum, q, error);
        if (error != 0.0) h[count++] = error;
    }
    if (q != 0.0 || count == 0) h[count++] = q;
    return count;
}

template <std::size_t N, std::size_t M>
Expansion<N + M> Sum(const Expansion<N>& e, const Expansion<M>& f)
{
    Expansion<N + M> h;
    h.size = SumTerms(e.terms.data(), e.size, f.terms.data(), f.size, h.terms.data());
    return h;
}

template <std::size_t N>
void Negate(Expansion<N>& e)
{
    for (std::size_t k = 0; k < e.size; ++k) e.terms[k] = -e.terms[k];
}

template <std::size_t N, std::size_t M>
Expansion<2 * N * M> Product(const Expansion<N>& e, const Expansion<M>& f)
{
    Expansion<2 * N * M> result;
    result.size = ScaleTerms(e.terms.data(), e.size, f.terms[0], result.terms.data());
    std::array<double, 2 * N> scaled;
    std::array<double, 2 * N * M> sum;
    for (std::size_t k = 1; k < f.size; ++k)
    {
        const std::size_t scaledSize = ScaleTerms(e.terms.data(), e.size, f.terms[k], scaled.data());
        result.size = SumTerms(result.terms.data(), result.size, scaled.data(), scaledSize, sum.data());
        std::copy(sum.begin(), sum.begin() + static_cast<std::ptrdiff_t>(result.size), result.terms.begin());
    }
    return result;
}

Expansion<2> Difference(double a, double b)
{
    double difference = 0.0, error = 0.0;
    TwoDiff(a, b, difference, error);
    Expansion<2> e;
    if (error != 0.0) e.terms[e.size++] = error;
    e.terms[e.size++] = difference;
    return e;
}

template <std::size_t N>
Expansion<4 * N * N> SquaredLength(const Expansion<N>& x, const Expansion<N>& y)
{
    return Sum(Product(x, x), Product(y, y));
}

template <std::size_t N>
Expansion<4 * N * N> Cross(const Expansion<N>& ax, const Expansion<N>& ay, const Expansion<N>& bx, const Expansion<N>& by)
{
    auto negative = Product(ay, bx);
    Negate(negative);
    return Sum(Product(ax, by), negative);
}

int ExactOrientation(const Geometry::Coord& a, const Geometry::Coord& b, const Geometry::Coord& c)
{
    return Cross(Difference(a.x, c.x), Difference(a.y, c.y), Difference(b.x, c.x), Difference(b.y, c.y)).Sign();
}

int ExactInCircle(const Geometry::Coord& a, const Geometry::Coord& b, const Geometry::Coord& c, const Geometry::Coord& d)
{
    const Expansion<2> adx = Difference(a.x, d.x), ady = Difference(a.y, d.y);
    const Expansion<2> bdx = Difference(b.x, d.x), bdy = Difference(b.y, d.y);
    const Expansion<2> cdx = Difference(c.x, d.x), cdy = Difference(c.y, d.y);
    const auto aTerm = Product(SquaredLength(adx, ady), Cross(bdx, bdy, cdx, cdy));
    const auto bTerm = Product(SquaredLength(bdx, bdy), Cross(cdx, cdy, adx, ady));
    const auto cTerm = Product(SquaredLength(cdx, cdy), Cross(adx, ady, bdx, bdy));
    return Sum(Sum(aTerm, bTerm), cTerm).Sign();
}

}  // namespace

int PlanOrientation(const Geometry::Coord& a, const Geometry::Coord& b, const Geometry::Coord& c)
{
    const double left = (a.x - c.x) * (b.y - c.y);
    const double right = (a.y - c.y) * (b.x - c.x);
    const double determinant = left - right;
    double magnitude = 0.0;
    if (left > 0.0)
    {
        if (right <= 0.0) return Sign(determinant);
        magnitude = left + right;
    }
    else if (left < 0.0)
    {
        if (right >= 0.0) return Sign(determinant);
        magnitude = -left - right;
    }
    else
    {
        return Sign(determinant);
    }
    const double bound = OrientationBound * magnitude;
    if (determinant >= bound || -determinant >= bound) return Sign(determinant);
    return ExactOrientation(a, b, c);
}

int PlanInCircle(const Geometry::Coord& a, const Geometry::Coord& b, const Geometry::Coord& c, const Geometry::Coord& d)
{
    const double adx = a.x - d.x, ady = a.y - d.y;
    const double bdx = b.x - d.x, bdy = b.y - d.y;
    const double cdx = c.x - d.x, cdy = c.y - d.y;
    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double aLift = adx * adx + ady * ady;
    const double bLift = bdx * bdx + bdy * bdy;
    const double cLift = cdx * cdx + cdy * cdy;
    const double determinant = aLift * (bdxcdy - cdxbdy) + bLift * (cdxady - adxcdy) + cLift * (adxbdy - bdxady);
    const double permanent = (std::abs(bdxcdy) + std::abs(cdxbdy)) * aLift + (std::abs(cdxady) + std::abs(adxcdy)) * bLift +
                             (std::abs(adxbdy) + std::abs(bdxady)) * cLift;
    const double bound = InCircleBound * permanent;
    if (determinant > bound || -determinant > bound) return Sign(determinant);
    return ExactInCircle(a, b, c, d);
}
