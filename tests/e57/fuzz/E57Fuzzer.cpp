// libFuzzer target: open, walk and read everything of an arbitrary file. Page
// checksums are recomputed first, so that mutations reach the header, XML and
// packet parsers instead of stopping at the first bad checksum.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ReadEverything.hpp"
#include "e57/Crc32c.hpp"
#include "e57/E57Exception.hpp"

namespace
{

std::vector<std::uint8_t> withValidChecksums(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    for (std::size_t page = 0; page + 1024 <= bytes.size(); page += 1024)
    {
        const std::uint32_t crc = e57::Crc32c::compute(bytes.data() + page, 1020);
        for (int i = 0; i < 4; ++i) bytes[page + 1020 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int descriptor = memfd_create("e57-fuzz", MFD_CLOEXEC);
    if (descriptor < 0) return 0;
    const auto bytes = withValidChecksums(data, size);
    if (write(descriptor, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()))
    {
        try
        {
            e57test::readEverything("/proc/self/fd/" + std::to_string(descriptor));
        }
        catch (const e57::E57Exception&)
        {}
    }
    close(descriptor);
    return 0;
}
