#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "e57/CompressedVectorNode.hpp"
#include "e57/ImageFile.hpp"

namespace e57test
{

// Every value of one field of a scan, read through the reader in blocks.
template <typename T>
std::vector<T> readField(const e57::ImageFile& file, const e57::CompressedVectorNode& points, const std::string& field,
                         std::size_t block = 1000, bool convert = true, bool scale = true)
{
    std::vector<T> all;
    std::vector<T> buffer(block);
    e57::CompressedVectorReader reader =
        points.reader({e57::SourceDestBuffer(file, field, buffer.data(), block, convert, scale)});
    while (const std::size_t count = reader.read()) all.insert(all.end(), buffer.begin(), buffer.begin() + count);
    reader.close();
    return all;
}

inline e57::CompressedVectorNode scanPoints(const e57::ImageFile& file, int scan)
{
    return e57::CompressedVectorNode(file.root().get("/data3D/" + std::to_string(scan) + "/points"));
}

}  // namespace e57test
