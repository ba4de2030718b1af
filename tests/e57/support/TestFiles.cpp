#include "TestFiles.hpp"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "e57/Crc32c.hpp"

namespace e57test
{

namespace
{

std::filesystem::path scratchFolder()
{
    return std::filesystem::temp_directory_path() / ("survanto-e57-" + std::to_string(::getpid()));
}

void removeScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder(), ignored);
}

}  // namespace

std::string scratchPath(const std::string& name)
{
    static const bool cleanupRegistered = std::atexit(removeScratchFolder) == 0;
    static_cast<void>(cleanupRegistered);
    std::filesystem::create_directories(scratchFolder());
    return (scratchFolder() / name).string();
}

std::vector<unsigned char> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void resealPages(std::vector<unsigned char>& bytes)
{
    for (std::size_t page = 0; page + 1024 <= bytes.size(); page += 1024)
    {
        const std::uint32_t crc = e57::Crc32c::compute(bytes.data() + page, 1020);
        for (int i = 0; i < 4; ++i) bytes[page + 1020 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    }
}

std::vector<unsigned char> withEditedXml(const std::vector<unsigned char>& file,
                                         const std::function<std::string(const std::string&)>& edit)
{
    std::vector<unsigned char> logical;
    for (std::size_t page = 0; page + 1024 <= file.size(); page += 1024)
        logical.insert(logical.end(), file.begin() + page, file.begin() + page + 1020);
    std::uint64_t xmlOffset = 0;
    std::uint64_t xmlLength = 0;
    std::memcpy(&xmlOffset, file.data() + 24, 8);
    std::memcpy(&xmlLength, file.data() + 32, 8);
    const std::size_t xmlStart = xmlOffset / 1024 * 1020 + xmlOffset % 1024;
    const std::string xml = edit(std::string(logical.begin() + xmlStart, logical.begin() + xmlStart + xmlLength));
    logical.resize(xmlStart);
    logical.insert(logical.end(), xml.begin(), xml.end());
    logical.resize((logical.size() + 1019) / 1020 * 1020, 0);

    std::vector<unsigned char> result;
    for (std::size_t page = 0; page < logical.size(); page += 1020)
    {
        result.insert(result.end(), logical.begin() + page, logical.begin() + page + 1020);
        result.insert(result.end(), 4, 0);
    }
    const std::uint64_t physicalLength = result.size();
    const std::uint64_t newXmlLength = xml.size();
    std::memcpy(result.data() + 16, &physicalLength, 8);
    std::memcpy(result.data() + 32, &newXmlLength, 8);
    resealPages(result);
    return result;
}

}  // namespace e57test
