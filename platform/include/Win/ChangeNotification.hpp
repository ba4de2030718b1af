#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "Win/WaitHandle.hpp"

namespace Win
{

constexpr std::uint32_t FILE_NOTIFY_CHANGE_FILE_NAME = 0x01;
constexpr std::uint32_t FILE_NOTIFY_CHANGE_DIR_NAME = 0x02;
constexpr std::uint32_t FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x04;
constexpr std::uint32_t FILE_NOTIFY_CHANGE_SIZE = 0x08;
constexpr std::uint32_t FILE_NOTIFY_CHANGE_LAST_WRITE = 0x10;
constexpr std::uint32_t FILE_NOTIFY_CHANGE_CREATION = 0x40;

// What FindFirstChangeNotification gives: a handle signalled at the first change of
// the kinds asked for in a folder (and, when asked, in its subfolders, also in those
// made later, up to a thousand or so) until Rearm, which FindNextChangeNotification
// stands for. Invalid when the folder cannot be watched. With the subfolders, a new
// or moved-in name signals whatever the filter: new subfolders must be seen.
class ChangeNotification : public WaitHandle
{
public:
    ChangeNotification(const std::string& folder, bool watchSubtree, std::uint32_t filter);

    // Takes the changes seen so far and waits for the next; false when the folder
    // itself is no longer watched (it was removed or moved away).
    bool Rearm();

private:
    int Add(const std::string& folder);
    void AddSubfolders(const std::string& folder);
    bool Take(std::uint32_t mask, int watch, const char* name);

    std::uint32_t events_;
    bool subtree_;
    int rootWatch_ = -1;
    std::map<int, std::string> folders_;
};

}  // namespace Win
