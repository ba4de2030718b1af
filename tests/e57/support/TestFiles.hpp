#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e57test
{

inline std::string samplePath(const std::string& name) { return std::string(SURVANTO_E57_SAMPLES) + "/" + name; }

// A fresh path in a per-process scratch folder.
std::string scratchPath(const std::string& name);
std::vector<unsigned char> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes);
// The same file with its XML section replaced by edit(xml); header and checksums follow.
std::vector<unsigned char> withEditedXml(const std::vector<unsigned char>& file,
                                         const std::function<std::string(const std::string&)>& edit);
// Recomputes the checksum of every page, so that a change shows as itself and not as a bad checksum.
void resealPages(std::vector<unsigned char>& bytes);

}  // namespace e57test
