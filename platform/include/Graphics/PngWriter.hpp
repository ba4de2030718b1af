#pragma once
#include <string>

#include "Graphics/NativeImage.hpp"

namespace NewDisplay
{

// Writes the picture as an 8-bit RGBA PNG file, first beside the target and then
// in its place. False, with the reason, when it cannot.
bool WritePngFile(const NativeImage& image, const std::string& path, std::string* error);

}  // namespace NewDisplay
