#pragma once

#include <cstddef>
#include <cstdint>

namespace e57 {

// CRC-32C (Castagnoli) as used for E57 page checksums.
class Crc32c {
public:
    // Picks the SSE4.2 instruction when the processor has it.
    static std::uint32_t compute(const void* data, std::size_t size);

    static std::uint32_t computeWithTable(const void* data, std::size_t size);
    static std::uint32_t computeWithInstruction(const void* data, std::size_t size);
    static bool instructionAvailable();
};

}  // namespace e57
