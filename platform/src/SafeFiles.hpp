#pragma once
#include <sys/types.h>

#include <cstdint>
#include <limits>
#include <string>

// Reading files a user may have put anything in the place of, and replacing files
// so that a crash or a power cut leaves either the old file or the new one whole.
namespace SafeFiles
{

enum class Refusal
{
    None,
    Missing,
    NotRegular,
    Denied,
    TooLarge,
    ReadFailed
};

// What a refusal says in a message: "is not a regular file" and so on.
const char* RefusalText(Refusal refusal);

// A descriptor open for reading on a regular file, or -1 and why not. The open
// neither waits nor is fooled: a pipe, a device or a folder in the file's place
// (also behind a link) is refused, never waited on or read as data. The
// descriptor reads blocking again, as an ordinary file does.
int OpenRegular(const std::string& path, Refusal& refusal);

// The whole of a regular file into bytes; a file past maxBytes is refused unread.
Refusal ReadRegular(const std::string& path, std::string& bytes,
                    std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

// A name in the target's folder that no other writer uses: ".<name>.XXXXXX" for mkstemp.
std::string AsidePattern(const std::string& path);

// The permissions a replacement takes: those of the file it replaces, so a
// private file stays private, else the fallback.
mode_t KeptMode(const std::string& path, mode_t fallback = 0644);

// Flushes the bytes and then puts the aside file in the target's place and flushes
// the folder, so the rename itself survives a power cut. False, and the aside file
// removed, when any step fails.
bool CommitAside(int descriptor, const std::string& asidePath, const std::string& path);

// The rename and folder flush of CommitAside alone, for an aside file already flushed and closed.
bool PutInPlace(const std::string& asidePath, const std::string& path);

// Writes bytes to a new file under a unique name beside the target with the
// target's permissions (KeptMode) and commits it as above.
bool ReplaceWhole(const std::string& path, const std::string& bytes);

}  // namespace SafeFiles
