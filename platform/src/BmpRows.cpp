#include "BmpRows.hpp"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// Writing a picture of 64 MiB as BMP is bound by memory, not by arithmetic, as
// long as each pixel costs no more than a few instructions: eight pixels go
// through one shuffle, and the alpha test is one AND per eight pixels.

namespace
{

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");

constexpr std::uint32_t Alpha = 0xFF000000u;

std::uint32_t Word(const std::uint8_t* p)
{
    std::uint32_t word = 0;
    std::memcpy(&word, p, 4);
    return word;
}

void PutWord(std::uint8_t* p, std::uint32_t word) { std::memcpy(p, &word, 4); }

// The pixels from x on, one at a time; all keeps the AND of their words.
void PackTail(const std::uint8_t* in, std::int32_t x, std::int32_t width, std::uint8_t* out, std::uint32_t& all)
{
    for (; x < width; ++x)
    {
        all &= Word(in + 4 * std::size_t(x));
        std::memcpy(out + 3 * std::size_t(x), in + 4 * std::size_t(x), 3);
    }
}

#if defined(__x86_64__)
// Eight pixels a step: the shuffle drops each alpha byte within both halves, the
// permutation closes the gap between them. Each step stores 32 bytes of which
// the last 8 belong to the next step, so the steps stop where that store would
// pass the row's end.
__attribute__((target("avx2"))) bool PackOpaqueRowAvx2(const std::uint8_t* in, std::int32_t width, std::uint8_t* out)
{
    const __m256i dropAlpha = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6, 8, 9, 10,
                                               12, 13, 14, -1, -1, -1, -1);
    const __m256i closeGap = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(Alpha));
    __m256i all = alpha;
    std::int32_t x = 0;
    for (; 3 * std::int64_t(x) + 32 <= 3 * std::int64_t(width); x += 8)
    {
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 4 * std::size_t(x)));
        all = _mm256_and_si256(all, pixels);
        const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, dropAlpha), closeGap);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 3 * std::size_t(x)), packed);
    }
    const bool opaque = _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(all, alpha), alpha)) == -1;
    std::uint32_t tail = Alpha;
    PackTail(in, x, width, out, tail);
    return opaque && (tail & Alpha) == Alpha;
}
#endif

}  // namespace

bool PackOpaqueRowPortable(const std::uint8_t* in, std::int32_t width, std::uint8_t* out)
{
    std::uint32_t all = Alpha;
    std::int32_t x = 0;
    // Four pixels as three words.
    for (; x + 4 <= width; x += 4)
    {
        const std::uint8_t* from = in + 4 * std::size_t(x);
        std::uint8_t* to = out + 3 * std::size_t(x);
        const std::uint32_t p0 = Word(from), p1 = Word(from + 4), p2 = Word(from + 8), p3 = Word(from + 12);
        all &= p0 & p1 & p2 & p3;
        PutWord(to, (p0 & 0xFFFFFFu) | (p1 << 24));
        PutWord(to + 4, ((p1 >> 8) & 0xFFFFu) | (p2 << 16));
        PutWord(to + 8, ((p2 >> 16) & 0xFFu) | (p3 << 8));
    }
    PackTail(in, x, width, out, all);
    return (all & Alpha) == Alpha;
}

bool PackOpaqueRow(const std::uint8_t* in, std::int32_t width, std::uint8_t* out)
{
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    if (avx2) return PackOpaqueRowAvx2(in, width, out);
#endif
    return PackOpaqueRowPortable(in, width, out);
}
