#include "e57/Crc32c.hpp"

#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <nmmintrin.h>
#define E57_HAVE_X86 1
#endif

namespace e57 {
namespace {

constexpr std::uint32_t kReflectedPolynomial = 0x82F63B78u;

// Slicing-by-8 tables: the fallback must not be the bottleneck on machines without SSE4.2.
struct Tables {
    std::array<std::array<std::uint32_t, 256>, 8> t{};
    Tables() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) ? kReflectedPolynomial : 0u);
            t[0][i] = crc;
        }
        for (std::size_t k = 1; k < 8; ++k)
            for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
    }
};

const Tables& tables() {
    static const Tables instance;
    return instance;
}

#ifdef E57_HAVE_X86
__attribute__((target("sse4.2"))) std::uint32_t crcWithSse42(const unsigned char* p, std::size_t n) {
    std::uint64_t crc = 0xFFFFFFFFu;
    for (; n >= 8; n -= 8, p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        crc = _mm_crc32_u64(crc, word);
    }
    auto crc32 = static_cast<std::uint32_t>(crc);
    for (; n > 0; --n, ++p) crc32 = _mm_crc32_u8(crc32, *p);
    return ~crc32;
}

// Three independent chains: the instruction takes three cycles and starts one a cycle.
__attribute__((target("sse4.2"))) void crc3WithSse42(const unsigned char* a, const unsigned char* b,
                                                     const unsigned char* c, std::size_t n, std::uint32_t* out) {
    std::uint64_t crcA = 0xFFFFFFFFu, crcB = 0xFFFFFFFFu, crcC = 0xFFFFFFFFu;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t wordA, wordB, wordC;
        std::memcpy(&wordA, a + i, 8);
        std::memcpy(&wordB, b + i, 8);
        std::memcpy(&wordC, c + i, 8);
        crcA = _mm_crc32_u64(crcA, wordA);
        crcB = _mm_crc32_u64(crcB, wordB);
        crcC = _mm_crc32_u64(crcC, wordC);
    }
    auto a32 = static_cast<std::uint32_t>(crcA), b32 = static_cast<std::uint32_t>(crcB),
         c32 = static_cast<std::uint32_t>(crcC);
    for (; i < n; ++i) {
        a32 = _mm_crc32_u8(a32, a[i]);
        b32 = _mm_crc32_u8(b32, b[i]);
        c32 = _mm_crc32_u8(c32, c[i]);
    }
    out[0] = ~a32;
    out[1] = ~b32;
    out[2] = ~c32;
}
#endif

}  // namespace

std::uint32_t Crc32c::computeWithTable(const void* data, std::size_t size) {
    const auto& t = tables().t;
    const auto* p = static_cast<const unsigned char*>(data);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (; size >= 8; size -= 8, p += 8) {
        std::uint32_t low;
        std::uint32_t high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + 4, 4);
        low ^= crc;
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; size > 0; --size, ++p) crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFFu];
    return ~crc;
}

bool Crc32c::instructionAvailable() {
#ifdef E57_HAVE_X86
    static const bool available = __builtin_cpu_supports("sse4.2");
    return available;
#else
    return false;
#endif
}

std::uint32_t Crc32c::computeWithInstruction(const void* data, std::size_t size) {
#ifdef E57_HAVE_X86
    if (instructionAvailable()) return crcWithSse42(static_cast<const unsigned char*>(data), size);
#endif
    return computeWithTable(data, size);
}

void Crc32c::computeEachWithInstruction(const unsigned char* const* blocks, std::size_t count, std::size_t size,
                                        std::uint32_t* checksums) {
    std::size_t i = 0;
#ifdef E57_HAVE_X86
    if (instructionAvailable())
        for (; i + 3 <= count; i += 3) crc3WithSse42(blocks[i], blocks[i + 1], blocks[i + 2], size, checksums + i);
#endif
    for (; i < count; ++i) checksums[i] = computeWithInstruction(blocks[i], size);
}

void Crc32c::computeEach(const unsigned char* const* blocks, std::size_t count, std::size_t size,
                         std::uint32_t* checksums) {
    if (instructionAvailable()) return computeEachWithInstruction(blocks, count, size, checksums);
    for (std::size_t i = 0; i < count; ++i) checksums[i] = computeWithTable(blocks[i], size);
}

std::uint32_t Crc32c::compute(const void* data, std::size_t size) {
    return instructionAvailable() ? computeWithInstruction(data, size) : computeWithTable(data, size);
}

}  // namespace e57
