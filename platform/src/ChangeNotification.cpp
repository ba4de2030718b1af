#include "Win/ChangeNotification.hpp"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace Win
{

namespace
{

// Subfolders are watched too, up to this many.
constexpr std::size_t MaxWatchedSubfolders = 1024;

// The system's events for the kinds of change Windows tells apart. A last write
// also shows as an attribute change: a program may set the time alone.
std::uint32_t EventsFor(std::uint32_t filter)
{
    std::uint32_t events = 0;
    if ((filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME)) != 0)
        events |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if ((filter & FILE_NOTIFY_CHANGE_ATTRIBUTES) != 0) events |= IN_ATTRIB;
    if ((filter & FILE_NOTIFY_CHANGE_SIZE) != 0) events |= IN_MODIFY;
    if ((filter & FILE_NOTIFY_CHANGE_LAST_WRITE) != 0) events |= IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB;
    if ((filter & FILE_NOTIFY_CHANGE_CREATION) != 0) events |= IN_CREATE;
    return events;
}

}  // namespace

ChangeNotification::ChangeNotification(const std::string& folder, bool watchSubtree, std::uint32_t filter)
    : WaitHandle(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), events_(EventsFor(filter)), subtree_(watchSubtree)
{
    // Subfolders made later are watched as they come.
    if (subtree_) events_ |= IN_CREATE | IN_MOVED_TO;
    if (Valid()) rootWatch_ = Add(folder);
    if (rootWatch_ < 0)
        Invalidate();
    else if (subtree_)
        AddSubfolders(folder);
}

bool ChangeNotification::Rearm()
{
    if (rootWatch_ < 0) return false;
    alignas(inotify_event) char buffer[4096];
    for (;;)
    {
        const ssize_t length = ::read(Descriptor(), buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) continue;
        if (length < 0 && errno == EAGAIN) return true;
        if (length <= 0) return false;
        for (ssize_t at = 0; at < length;)
        {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (!Take(event->mask, event->wd, event->len > 0 ? event->name : "")) return false;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

int ChangeNotification::Add(const std::string& folder)
{
    const int wd = ::inotify_add_watch(Descriptor(), folder.c_str(), events_ | IN_ONLYDIR);
    if (wd >= 0) folders_[wd] = folder;
    return wd;
}

void ChangeNotification::AddSubfolders(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec))
    {
        if (folders_.size() > MaxWatchedSubfolders) return;
        if (it->is_directory(ec) && !it->is_symlink(ec)) Add(it->path().string());
    }
}

// False when the folder's own watch has ended.
bool ChangeNotification::Take(std::uint32_t mask, int watch, const char* name)
{
    if ((mask & IN_IGNORED) != 0)
    {
        folders_.erase(watch);
        if (watch == rootWatch_) rootWatch_ = -1;
        return rootWatch_ >= 0;
    }
    const auto folder = folders_.find(watch);
    if (subtree_ && (mask & IN_ISDIR) != 0 && (mask & (IN_CREATE | IN_MOVED_TO)) != 0 && *name != '\0' &&
        folder != folders_.end() && folders_.size() <= MaxWatchedSubfolders)
    {
        const std::string created = folder->second + "/" + name;
        Add(created);
        AddSubfolders(created);
    }
    return true;
}

}  // namespace Win
