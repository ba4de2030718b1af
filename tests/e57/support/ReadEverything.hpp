#pragma once

#include <cstdint>
#include <string>

namespace e57test
{

// Opens a file, visits every node and reads every compressed vector with all its
// numeric fields bound (as doubles, converted and scaled). Returns the number of
// records read. Throws e57::E57Exception for a file the reader refuses.
std::uint64_t readEverything(const std::string& path, int checksumPercent = 100);

}  // namespace e57test
