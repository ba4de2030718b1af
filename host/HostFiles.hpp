#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace SimHost
{

// Bytes as upper-case hex pairs separated by blanks ("11 30 0C"), as facts and the
// host's files show them.
std::string HexText(const std::vector<std::uint8_t>& bytes);
// False, and nothing changed, unless the text is whole hex pairs (blanks between them allowed).
bool BytesFromHex(const std::string& text, std::vector<std::uint8_t>& bytes);

// A platform sign as its two characters ("WW"), or its number when they are not printable.
std::string PlatformSignText(std::uint16_t sign);

bool ReadWholeFile(const std::string& path, std::string& content);
// Writes beside the file and then replaces it, so a failed write leaves the old file whole.
bool WriteFileSafely(const std::string& path, const std::string& content, std::string& error);

}  // namespace SimHost
