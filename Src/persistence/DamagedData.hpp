#pragma once
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "persistence/StoredPart.hpp"

// The add-on's stored blocks that could not be read whole. The next save would
// write only what was read, so each block's stored bytes are first kept in a
// file beside the project; then the user is told once what could not be read
// and where the stored bytes lie. A block told once is not told again while
// the project and the block's bytes stay the same (the import palette reads
// the project data again).
class DamagedData
{
public:
    // A block of the project's module data (the unnamed one or "REPORT") as it
    // was stored, and the parts of it that could not be read.
    void Add(const std::string& moduleName, std::vector<char> bytes, std::vector<StoredPart> unread);
    // Keeps and tells every block added since the last call; nothing when there
    // is none.
    void Tell();

    // The file beside the project file `projectPath` that keeps a block's bytes:
    // an existing file with the same bytes, else the first free name. Empty when
    // the bytes cannot be kept there.
    static std::string KeepBeside(const std::string& projectPath, const std::string& moduleName, const std::vector<char>& bytes);

private:
    struct Block
    {
        std::string project;  // the project file; empty while there is none
        std::string moduleName;
        std::vector<char> bytes;
        std::vector<StoredPart> unread;
    };

    static std::size_t Fingerprint(const Block& block);
    static void ShowAlert(const std::vector<StoredPart>& unread, const std::vector<std::string>& keptIn, bool allKept);

    std::vector<Block> pending_;
    std::set<std::size_t> told_;
};
