#pragma once

#include <cstddef>
#include <cstdint>

namespace e57 {

// Unpacks values of one bit width (0 to 64), packed least significant bit first,
// into whole words. Runs of 8 values start on a byte and take exactly `bits` bytes,
// so their values are read at fixed offsets; only the values before the first such
// run and after the last are read one by one.
class BitUnpacker {
public:
    // Bytes past the last value's byte that the unpacker may read (never uses).
    static constexpr std::size_t kSlackBytes = 32;

    // vectorKernel: use the AVX2 kernel for the widths it serves where the
    // processor has AVX2.
    BitUnpacker(unsigned bits, bool vectorKernel);

    // Unpacks count values whose first one starts shift bits (0 to 7) into bytes.
    // 32-bit words take widths up to 32 bits only, 64-bit words any width.
    void unpack(const unsigned char* bytes, unsigned shift, std::size_t count, std::uint32_t* values) const;
    void unpack(const unsigned char* bytes, unsigned shift, std::size_t count, std::uint64_t* values) const;

    using Runs32 = void (*)(const unsigned char* bytes, std::size_t runs, std::uint32_t* values);
    using Runs64 = void (*)(const unsigned char* bytes, std::size_t runs, std::uint64_t* values);

private:
    template <typename Word, typename Runs>
    void unpackWith(Runs runs, const unsigned char* bytes, unsigned shift, std::size_t count, Word* values) const;

    unsigned bits_;
    std::uint64_t mask_;
    Runs32 runs32_ = nullptr;
    Runs64 runs64_ = nullptr;
};

}  // namespace e57
