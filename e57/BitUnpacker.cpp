#include "e57/BitUnpacker.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "e57/VectorKernels.hpp"

#if defined(__x86_64__)
#include <immintrin.h>
#define E57_HAVE_AVX2_KERNEL 1
#endif

namespace e57 {
namespace {

// The AVX2 kernel puts each value in a 32-bit lane after a shift of up to 7 bits.
constexpr unsigned kWidestVectorWidth = 25;
constexpr unsigned kWidestWord32Width = 32;
constexpr unsigned kWidestWidth = 64;

inline std::uint64_t load64(const unsigned char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

constexpr std::uint64_t maskOf(unsigned bits) {
    return bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
}

// Any value at any bit: one 8-byte load, and the byte after it when the value
// runs past that load.
inline std::uint64_t valueAtBit(const unsigned char* bytes, std::uint64_t bit, unsigned bits, std::uint64_t mask) {
    const unsigned char* at = bytes + (bit >> 3);
    const unsigned shift = static_cast<unsigned>(bit & 7);
    std::uint64_t value = load64(at) >> shift;
    if (shift + bits > 64) value |= std::uint64_t{at[8]} << (64 - shift);
    return value & mask;
}

// Value J of a run of 8 values of Bits bits that starts on a byte.
template <unsigned Bits, unsigned J>
inline std::uint64_t valueInRun(const unsigned char* run) {
    constexpr unsigned bit = J * Bits;
    constexpr unsigned shift = bit % 8;
    const unsigned char* at = run + bit / 8;
    std::uint64_t value = load64(at) >> shift;
    if constexpr (shift + Bits > 64) value |= std::uint64_t{at[8]} << (64 - shift);
    return value & maskOf(Bits);
}

template <unsigned Bits, typename Word, std::size_t... J>
inline void unpackRun(const unsigned char* run, Word* values, std::index_sequence<J...>) {
    ((values[J] = static_cast<Word>(valueInRun<Bits, J>(run))), ...);
}

template <unsigned Bits, typename Word>
void portableRuns(const unsigned char* bytes, std::size_t runs, Word* values) {
    for (std::size_t r = 0; r < runs; ++r, bytes += Bits, values += 8)
        unpackRun<Bits>(bytes, values, std::make_index_sequence<8>{});
}

template <typename Word, std::size_t... Index>
constexpr auto portableTable(std::index_sequence<Index...>) {
    return std::array<void (*)(const unsigned char*, std::size_t, Word*), sizeof...(Index)>{
        &portableRuns<static_cast<unsigned>(Index + 1), Word>...};
}

const auto kPortable32 = portableTable<std::uint32_t>(std::make_index_sequence<kWidestWord32Width>{});
const auto kPortable64 = portableTable<std::uint64_t>(std::make_index_sequence<kWidestWidth>{});

#ifdef E57_HAVE_AVX2_KERNEL

// Values 0-3 of a run come from 16 bytes loaded at its start, values 4-7 from 16
// bytes loaded at the byte where value 4 starts; each 32-bit lane gathers the four
// bytes its value starts in and shifts it down by its first bit.
template <unsigned Bits>
constexpr unsigned firstBitOfLane(unsigned lane) {
    return (lane < 4 ? 0 : 4 * Bits % 8) + lane % 4 * Bits;
}

template <unsigned Bits>
struct VectorLayout {
    static constexpr std::array<std::int8_t, 32> shuffle = [] {
        std::array<std::int8_t, 32> control{};
        for (unsigned lane = 0; lane < 8; ++lane)
            for (unsigned k = 0; k < 4; ++k)
                control[lane * 4 + k] = static_cast<std::int8_t>(firstBitOfLane<Bits>(lane) / 8 + k);
        return control;
    }();
    static constexpr std::array<std::int32_t, 8> shifts = [] {
        std::array<std::int32_t, 8> shift{};
        for (unsigned lane = 0; lane < 8; ++lane)
            shift[lane] = static_cast<std::int32_t>(firstBitOfLane<Bits>(lane) % 8);
        return shift;
    }();
};

template <unsigned Bits>
__attribute__((target("avx2"))) void vectorRuns(const unsigned char* bytes, std::size_t runs, std::uint32_t* values) {
    static_assert(Bits >= 1 && Bits <= kWidestVectorWidth, "each value must fit a 32-bit lane after its shift");
    constexpr unsigned upperHalf = 4 * Bits / 8;
    const __m256i control = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(VectorLayout<Bits>::shuffle.data()));
    const __m256i shifts = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(VectorLayout<Bits>::shifts.data()));
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(maskOf(Bits)));
    for (std::size_t r = 0; r < runs; ++r, bytes += Bits, values += 8) {
        const __m128i lower = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
        const __m128i upper = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + upperHalf));
        __m256i lanes = _mm256_inserti128_si256(_mm256_castsi128_si256(lower), upper, 1);
        lanes = _mm256_and_si256(_mm256_srlv_epi32(_mm256_shuffle_epi8(lanes, control), shifts), mask);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(values), lanes);
    }
}

template <std::size_t... Index>
constexpr auto vectorTable(std::index_sequence<Index...>) {
    return std::array<BitUnpacker::Runs32, sizeof...(Index)>{&vectorRuns<static_cast<unsigned>(Index + 1)>...};
}

const auto kVector32 = vectorTable(std::make_index_sequence<kWidestVectorWidth>{});

#endif

}  // namespace

BitUnpacker::BitUnpacker(unsigned bits, bool vectorKernel) : bits_(bits), mask_(maskOf(bits_)) {
    if (bits_ == 0) return;
    runs64_ = kPortable64[bits_ - 1];
    if (bits_ <= kWidestWord32Width) runs32_ = kPortable32[bits_ - 1];
#ifdef E57_HAVE_AVX2_KERNEL
    if (vectorKernel && bits_ <= kWidestVectorWidth && VectorKernels::available()) runs32_ = kVector32[bits_ - 1];
#else
    static_cast<void>(vectorKernel);
#endif
}

void BitUnpacker::unpack(const unsigned char* bytes, unsigned shift, std::size_t count, std::uint32_t* values) const {
    unpackWith(runs32_, bytes, shift, count, values);
}

void BitUnpacker::unpack(const unsigned char* bytes, unsigned shift, std::size_t count, std::uint64_t* values) const {
    unpackWith(runs64_, bytes, shift, count, values);
}

template <typename Word, typename Runs>
void BitUnpacker::unpackWith(Runs runs, const unsigned char* bytes, unsigned shift, std::size_t count,
                             Word* values) const {
    if (bits_ == 0) {
        std::fill_n(values, count, Word{0});
        return;
    }
    std::uint64_t bit = shift;
    std::size_t i = 0;
    for (; i < count && bit % 8 != 0; ++i, bit += bits_)
        values[i] = static_cast<Word>(valueAtBit(bytes, bit, bits_, mask_));
    const std::size_t whole = (count - i) / 8;
    if (whole > 0) {
        runs(bytes + bit / 8, whole, values + i);
        i += whole * 8;
        bit += static_cast<std::uint64_t>(whole) * 8 * bits_;
    }
    for (; i < count; ++i, bit += bits_) values[i] = static_cast<Word>(valueAtBit(bytes, bit, bits_, mask_));
}

}  // namespace e57
