#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "TestFiles.hpp"
#include "e57/Crc32c.hpp"

namespace
{

TEST(Crc32c, CheckValueWithBothImplementations)
{
    const std::string text = "123456789";
    EXPECT_EQ(e57::Crc32c::computeWithTable(text.data(), text.size()), 0xE3069283u);
    EXPECT_EQ(e57::Crc32c::compute(text.data(), text.size()), 0xE3069283u);
    if (!e57::Crc32c::instructionAvailable()) GTEST_SKIP() << "no SSE4.2 on this processor";
    EXPECT_EQ(e57::Crc32c::computeWithInstruction(text.data(), text.size()), 0xE3069283u);
}

TEST(Crc32c, ImplementationsAgreeOnEveryLengthAndAlignment)
{
    std::mt19937 random(57);
    std::vector<unsigned char> bytes(1100);
    for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
    for (std::size_t start = 0; start < 9; ++start)
        for (std::size_t size : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 63u, 1020u, 1091u})
        {
            const std::uint32_t table = e57::Crc32c::computeWithTable(bytes.data() + start, size);
            EXPECT_EQ(e57::Crc32c::computeWithInstruction(bytes.data() + start, size), table)
                << "start " << start << " size " << size;
        }
}

TEST(Crc32c, SamplePagesStoreTheChecksumBigEndian)
{
    const auto bytes = e57test::readBytes(e57test::samplePath("bunnyInt19.e57"));
    ASSERT_GE(bytes.size(), 2048u);
    for (std::size_t page = 0; page < 2; ++page)
    {
        const unsigned char* data = bytes.data() + page * 1024;
        const std::uint32_t crc = e57::Crc32c::computeWithTable(data, 1020);
        EXPECT_EQ(data[1020], crc >> 24);
        EXPECT_EQ(data[1021], (crc >> 16) & 0xFF);
        EXPECT_EQ(data[1022], (crc >> 8) & 0xFF);
        EXPECT_EQ(data[1023], crc & 0xFF);
    }
}

TEST(Crc32c, PagesAtOnceAgreeWithOneByOne)
{
    std::mt19937 random(57);
    std::vector<unsigned char> bytes(8 * 1031);
    for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
    for (std::size_t count = 0; count <= 7; ++count)
        for (std::size_t size : {0u, 1u, 9u, 1020u})
        {
            // Blocks at odd distances and out of order, as checked pages of a window may be.
            std::vector<const unsigned char*> blocks;
            for (std::size_t i = 0; i < count; ++i) blocks.push_back(bytes.data() + (count - i) * 1031 - i);
            std::vector<std::uint32_t> each(count), withInstruction(count);
            e57::Crc32c::computeEach(blocks.data(), count, size, each.data());
            e57::Crc32c::computeEachWithInstruction(blocks.data(), count, size, withInstruction.data());
            for (std::size_t i = 0; i < count; ++i)
            {
                const std::uint32_t expected = e57::Crc32c::computeWithTable(blocks[i], size);
                EXPECT_EQ(each[i], expected) << "block " << i << " of " << count << ", size " << size;
                EXPECT_EQ(withInstruction[i], expected) << "block " << i << " of " << count << ", size " << size;
            }
        }
}

}  // namespace
