#pragma once

#include <cstddef>
#include <cstdint>

namespace e57 {

// CRC-32C (Castagnoli) as used for E57 page checksums.
class Crc32c {
public:
    // Picks the SSE4.2 instruction when the processor has it.
    static std::uint32_t compute(const void* data, std::size_t size);

    // The checksums of count blocks of one size (the pages of a file) at once: with the
    // instruction, three blocks side by side, so that its latency is hidden.
    static void computeEach(const unsigned char* const* blocks, std::size_t count, std::size_t size,
                            std::uint32_t* checksums);

    static std::uint32_t computeWithTable(const void* data, std::size_t size);
    static std::uint32_t computeWithInstruction(const void* data, std::size_t size);
    static void computeEachWithInstruction(const unsigned char* const* blocks, std::size_t count, std::size_t size,
                                           std::uint32_t* checksums);
    static bool instructionAvailable();
};

}  // namespace e57
