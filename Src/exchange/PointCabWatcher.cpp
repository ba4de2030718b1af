#include "exchange/PointCabWatcher.hpp"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>

#include "API/AddOnInterface.hpp"
#include "frame/AddOnGlobals.hpp"
#include "BackgroundThreadList.hpp"
#include "IO/Location.hpp"
#include "exchange/WatcherStopSignal.hpp"

namespace {

// Names, sizes, last writes and creations, as PointCab's ways of writing show them.
constexpr std::uint32_t WatchedChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB;
// Subfolders are watched too, up to this many.
constexpr std::size_t MaxWatchedSubfolders = 1024;

void Post(const PointCabWatch& watch, const char (&command)[5], bool silent)
{
    HostPostAddOnCommand(&watch.ownModule, FourCC(command), 1, silent);
}

class FolderTreeWatch {
public:
    FolderTreeWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~FolderTreeWatch()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderTreeWatch(const FolderTreeWatch&) = delete;
    FolderTreeWatch& operator=(const FolderTreeWatch&) = delete;

    int fd() const { return fd_; }

    // False when the folder itself cannot be watched; subfolders are watched as far as they let us.
    bool WatchTree(const std::string& folder)
    {
        rootWatch_ = Add(folder);
        if (rootWatch_ < 0) return false;
        AddSubfolders(folder);
        return true;
    }

    // Reads every pending event; false when the folder's own watch has ended.
    bool Drain()
    {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t length = ::read(fd_, buffer, sizeof buffer);
            if (length < 0 && errno == EINTR) continue;
            if (length < 0 && errno == EAGAIN) return true;
            if (length <= 0) return false;
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (!Take(*event)) return false;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int Add(const std::string& folder)
    {
        const int wd = ::inotify_add_watch(fd_, folder.c_str(), WatchedChanges | IN_ONLYDIR);
        if (wd >= 0) folders_[wd] = folder;
        return wd;
    }

    void AddSubfolders(const std::string& folder)
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec)) {
            if (folders_.size() > MaxWatchedSubfolders) return;
            if (it->is_directory(ec) && !it->is_symlink(ec)) Add(it->path().string());
        }
    }

    bool Take(const inotify_event& event)
    {
        if ((event.mask & IN_IGNORED) != 0) {
            folders_.erase(event.wd);
            return event.wd != rootWatch_;
        }
        const auto folder = folders_.find(event.wd);
        if ((event.mask & IN_ISDIR) != 0 && (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0 && event.len > 0 &&
            folder != folders_.end() && folders_.size() <= MaxWatchedSubfolders) {
            const std::string created = folder->second + "/" + event.name;
            Add(created);
            AddSubfolders(created);
        }
        return true;
    }

    int fd_;
    int rootWatch_ = -1;
    std::map<int, std::string> folders_;
};

enum class Wake { Stop, Change, Broken };

Wake WaitForChange(const FolderTreeWatch& tree, int stopSignal)
{
    pollfd waits[2] = {{tree.fd(), POLLIN, 0}, {stopSignal, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(waits, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return Wake::Broken;
        if (waits[1].revents != 0 || quitting.load()) return Wake::Stop;
        if ((waits[0].revents & POLLIN) != 0) return Wake::Change;
        if (waits[0].revents != 0) return Wake::Broken;
    }
}

std::int32_t PointCabWatcherThread(const PointCabWatch& watch, FolderTreeWatch* tree, const WatcherStopSignal& stop)
{
    if (tree == nullptr) {
        Post(watch, "ALRT", false);
        return 1;
    }
    for (;;) {
        switch (WaitForChange(*tree, stop.fd())) {
            case Wake::Stop: return 0;
            case Wake::Broken: return 1;
            case Wake::Change: break;
        }
        const bool stillWatched = tree->Drain();
        Post(watch, "NEWP", true);
        if (!stillWatched) return 1;
    }
}

}  // namespace

std::string PointCabWatchFolder(const std::string& exchangeFile)
{
    IO::Location folder(exchangeFile);
    folder.DeleteLastLocalName();
    return folder.ToPath();
}

std::int32_t StartPointCabWatcher(const PointCabWatch& watch)
{
    // The watch is set up before the call returns, so no change after it is missed.
    auto tree = std::make_shared<FolderTreeWatch>();
    // A relative folder has no fixed place to watch, as a path without a drive has none on Windows.
    const bool watched = !watch.folder.empty() && watch.folder.front() == '/' && tree->fd() >= 0 && tree->WatchTree(watch.folder);
    if (!watched) tree.reset();
    auto stop = std::make_shared<WatcherStopSignal>();
    if (!stop->Valid()) return 0;
    return StartBackgroundThread([watch, tree, stop] { return PointCabWatcherThread(watch, tree.get(), *stop); },
                                 [stop] { stop->Raise(); });
}
