#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "e57/BitUnpacker.hpp"
#include "e57/VectorKernels.hpp"

namespace
{

// Values packed one bit at a time, least significant bit first, the first value
// starting shift bits into the first byte; the unpacker's slack bytes follow.
std::vector<unsigned char> packBitByBit(const std::vector<std::uint64_t>& values, unsigned bits, unsigned shift)
{
    const std::size_t used = (shift + values.size() * bits + 7) / 8;
    std::vector<unsigned char> bytes(used, 0);
    for (std::size_t i = 0; i < values.size(); ++i)
        for (unsigned k = 0; k < bits; ++k)
            if ((values[i] >> k) & 1)
            {
                const std::size_t bit = shift + i * bits + k;
                bytes[bit / 8] = static_cast<unsigned char>(bytes[bit / 8] | (1u << (bit % 8)));
            }
    // Bits around the values belong to neighbours: set, so that they must be masked off.
    const std::size_t end = shift + values.size() * bits;
    if (end % 8 != 0) bytes[used - 1] = static_cast<unsigned char>(bytes[used - 1] | (0xFF << (end % 8)));
    if (shift > 0 && used > 0) bytes[0] = static_cast<unsigned char>(bytes[0] | (0xFF >> (8 - shift)));
    bytes.insert(bytes.end(), e57::BitUnpacker::kSlackBytes, 0xA5);
    return bytes;
}

// Random values of the width, with its largest value and zero among them.
std::vector<std::uint64_t> valuesOf(unsigned bits, std::size_t count, std::mt19937_64& random)
{
    const std::uint64_t mask = bits == 64 ? ~std::uint64_t {0} : (std::uint64_t {1} << bits) - 1;
    std::vector<std::uint64_t> values(count);
    for (std::size_t i = 0; i < count; ++i) values[i] = i % 5 == 1 ? mask : i % 5 == 3 ? 0 : random() & mask;
    return values;
}

template <typename Word>
void expectUnpacked(bool vectorKernel, unsigned maxBits)
{
    std::mt19937_64 random(2807);
    for (unsigned bits = 0; bits <= maxBits; ++bits)
    {
        const e57::BitUnpacker unpacker(bits, vectorKernel);
        for (unsigned shift = 0; shift < 8; ++shift)
            for (const std::size_t count : {0u, 1u, 5u, 8u, 13u, 16u, 67u})
            {
                const auto values = valuesOf(bits, count, random);
                const auto bytes = packBitByBit(values, bits, shift);
                std::vector<Word> unpacked(count + 1, Word {0x5A});
                unpacker.unpack(bytes.data(), shift, count, unpacked.data());
                for (std::size_t i = 0; i < count; ++i)
                    ASSERT_EQ(unpacked[i], values[i]) << bits << " bits from bit " << shift << ", value " << i << " of " << count;
                ASSERT_EQ(unpacked[count], Word {0x5A}) << "written past the values at " << bits << " bits";
            }
    }
}

class Unpacking : public ::testing::TestWithParam<bool>
{};

TEST_P(Unpacking, EveryWidthFromEveryBitInto32BitWords) { expectUnpacked<std::uint32_t>(GetParam(), 32); }

TEST_P(Unpacking, EveryWidthFromEveryBitInto64BitWords) { expectUnpacked<std::uint64_t>(GetParam(), 64); }

INSTANTIATE_TEST_SUITE_P(Kernels, Unpacking, ::testing::Values(false, true), [](const ::testing::TestParamInfo<bool>& info) {
    return std::string(info.param ? "Vector" : "Portable");
});

TEST(Unpacking, TheVectorKernelRunsWhereTheProcessorHasIt)
{
    if (!e57::VectorKernels::available()) GTEST_SKIP() << "no AVX2 on this processor: the portable kernel was tested twice";
    EXPECT_TRUE(e57::VectorKernels::inUse());
    e57::VectorKernels::allow(false);
    EXPECT_FALSE(e57::VectorKernels::inUse());
    e57::VectorKernels::allow(true);
    EXPECT_TRUE(e57::VectorKernels::inUse());
}

}  // namespace
