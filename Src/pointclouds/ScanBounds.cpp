#include "pointclouds/ScanBounds.hpp"

#include <cstring>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "e57/VectorKernels.hpp"

namespace
{

// The portable loop; it does not branch on the data.
std::size_t WidenOneByOne(const double* xs, const double* ys, const double* zs, const std::int64_t* invalid, std::size_t begin,
                          std::size_t end, const PoseMatrix& pose, double* low, double* high)
{
    double lowX = low[0], lowY = low[1], lowZ = low[2], highX = high[0], highY = high[1], highZ = high[2];
    std::size_t taken = 0;
    for (std::size_t i = begin; i < end; ++i)
    {
        const API_Coord3D p = pose.Transformed(xs[i], ys[i], zs[i]);
        const bool valid = GivesPoint(invalid, i, p);
        lowX = valid && p.x < lowX ? p.x : lowX;
        lowY = valid && p.y < lowY ? p.y : lowY;
        lowZ = valid && p.z < lowZ ? p.z : lowZ;
        highX = valid && highX < p.x ? p.x : highX;
        highY = valid && highY < p.y ? p.y : highY;
        highZ = valid && highZ < p.z ? p.z : highZ;
        taken += valid;
    }
    low[0] = lowX, low[1] = lowY, low[2] = lowZ, high[0] = highX, high[1] = highY, high[2] = highZ;
    return taken;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first of four lanes, in their order, that is below (or, for a maximum, above)
// the value so far. False when two lanes hold equal values of other bits (a zero and
// a negative zero), of which the lanes cannot tell which came first.
template <typename Beyond>
bool JoinLanes(const double (&lanes)[4], double& value, Beyond beyond)
{
    const double start = value;
    for (const double lane : lanes)
        if (beyond(lane, value)) value = lane;
    if (SameBits(value, start)) return true;
    for (const double lane : lanes)
        if (lane == value && !SameBits(lane, value)) return false;
    return true;
}

#if defined(__x86_64__)
// Every fourth point in each of four lanes; within a lane the first of equal values
// stays, as in the portable loop, and the lanes are joined in their order. False,
// with low and high untouched, when the lanes cannot be joined.
__attribute__((target("avx2"))) bool WidenInLanes(const double* xs, const double* ys, const double* zs,
                                                  const std::int64_t* invalid, std::size_t begin, std::size_t end,
                                                  const PoseMatrix& pose, double* low, double* high, std::size_t& taken)
{
    __m256d m[3][4];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) m[row][column] = _mm256_set1_pd(pose.At(row, column));
    __m256d lows[3], highs[3];
    for (int axis = 0; axis < 3; ++axis)
    {
        lows[axis] = _mm256_set1_pd(low[axis]);
        highs[axis] = _mm256_set1_pd(high[axis]);
    }
    const __m256d largest = _mm256_set1_pd(std::numeric_limits<double>::max());
    const __m256d sign = _mm256_set1_pd(-0.0);
    __m256i counted = _mm256_setzero_si256();
    for (std::size_t i = begin; i + 4 <= end; i += 4)
    {
        const __m256d x = _mm256_loadu_pd(xs + i), y = _mm256_loadu_pd(ys + i), z = _mm256_loadu_pd(zs + i);
        __m256d valid = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
        if (invalid != nullptr)
        {
            const __m256i flags = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(invalid + i));
            valid = _mm256_castsi256_pd(_mm256_cmpeq_epi64(flags, _mm256_setzero_si256()));
        }
        __m256d p[3];
        for (int row = 0; row < 3; ++row)
        {
            p[row] = _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(m[row][0], x), _mm256_mul_pd(m[row][1], y)),
                                                 _mm256_mul_pd(m[row][2], z)),
                                   m[row][3]);
            valid = _mm256_and_pd(valid, _mm256_cmp_pd(_mm256_andnot_pd(sign, p[row]), largest, _CMP_LE_OQ));
        }
        for (int axis = 0; axis < 3; ++axis)
        {
            const __m256d lower = _mm256_and_pd(valid, _mm256_cmp_pd(p[axis], lows[axis], _CMP_LT_OQ));
            const __m256d higher = _mm256_and_pd(valid, _mm256_cmp_pd(highs[axis], p[axis], _CMP_LT_OQ));
            lows[axis] = _mm256_blendv_pd(lows[axis], p[axis], lower);
            highs[axis] = _mm256_blendv_pd(highs[axis], p[axis], higher);
        }
        counted = _mm256_sub_epi64(counted, _mm256_castpd_si256(valid));
    }
    double joined[6] = {low[0], low[1], low[2], high[0], high[1], high[2]};
    for (int axis = 0; axis < 3; ++axis)
    {
        double lanes[4];
        _mm256_storeu_pd(lanes, lows[axis]);
        if (!JoinLanes(lanes, joined[axis], [](double lane, double value) { return lane < value; })) return false;
        _mm256_storeu_pd(lanes, highs[axis]);
        if (!JoinLanes(lanes, joined[3 + axis], [](double lane, double value) { return value < lane; })) return false;
    }
    std::int64_t counts[4];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(counts), counted);
    taken = static_cast<std::size_t>(counts[0] + counts[1] + counts[2] + counts[3]);
    std::memcpy(low, joined, 3 * sizeof(double));
    std::memcpy(high, joined + 3, 3 * sizeof(double));
    return true;
}
#endif

}  // namespace

ScanBounds::ScanBounds(const PointCloudBox& box, bool empty)
{
    const double infinity = std::numeric_limits<double>::infinity();
    if (empty)
    {
        low_[0] = low_[1] = low_[2] = infinity;
        high_[0] = high_[1] = high_[2] = -infinity;
    }
    else
    {
        low_[0] = box.xMin, low_[1] = box.yMin, low_[2] = box.zMin;
        high_[0] = box.xMax, high_[1] = box.yMax, high_[2] = box.zMax;
    }
}

std::size_t ScanBounds::Widen(const double* xs, const double* ys, const double* zs, const std::int64_t* invalid,
                              std::size_t begin, std::size_t end, const PoseMatrix& pose)
{
#if defined(__x86_64__)
    std::size_t taken = 0;
    const std::size_t whole = begin + (end - begin) / 4 * 4;
    if (whole > begin && e57::VectorKernels::inUse() && WidenInLanes(xs, ys, zs, invalid, begin, whole, pose, low_, high_, taken))
        return taken + WidenOneByOne(xs, ys, zs, invalid, whole, end, pose, low_, high_);
#endif
    return WidenOneByOne(xs, ys, zs, invalid, begin, end, pose, low_, high_);
}

void ScanBounds::Into(PointCloudBox& box) const
{
    box.xMin = low_[0], box.yMin = low_[1], box.zMin = low_[2];
    box.xMax = high_[0], box.yMax = high_[1], box.zMax = high_[2];
}
