#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace SimHost {

// Writes 8-bit RGB rows, top row first, as a PNG file: beside the target first, then
// in its place, so a failed write leaves an earlier file whole. False on failure.
bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgb);

}  // namespace SimHost
