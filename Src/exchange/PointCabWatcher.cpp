#include "exchange/PointCabWatcher.hpp"

#include <memory>

#include "API/AddOnInterface.hpp"
#include "IO/Location.hpp"
#include "Win/ChangeNotification.hpp"
#include "Win/SignalEvent.hpp"
#include "frame/AddOnGlobals.hpp"
#include "framework/BackgroundThreadList.hpp"

namespace
{

// Names, sizes, last writes and creations, as PointCab's ways of writing show them.
constexpr std::uint32_t WatchedChanges = Win::FILE_NOTIFY_CHANGE_FILE_NAME | Win::FILE_NOTIFY_CHANGE_SIZE |
                                         Win::FILE_NOTIFY_CHANGE_LAST_WRITE | Win::FILE_NOTIFY_CHANGE_CREATION;

void Post(const PointCabWatch& watch, const char (&command)[5], bool silent)
{
    HostPostAddOnCommand(&watch.ownModule, FourCC(command), 1, silent);
}

// The stop signal comes first: it wins when a change comes at the same time.
constexpr std::uint32_t StopSignalled = Win::WAIT_OBJECT_0;
constexpr std::uint32_t ChangeSignalled = Win::WAIT_OBJECT_0 + 1;

std::int32_t PointCabWatcherThread(const PointCabWatch& watch, Win::ChangeNotification* change, const Win::SignalEvent& stop)
{
    if (change == nullptr)
    {
        Post(watch, "ALRT", false);
        return 1;
    }
    for (;;)
    {
        const std::uint32_t woken = Win::WaitForMultipleObjects({&stop, change});
        if (woken == StopSignalled || quitting.load()) return 0;
        if (woken != ChangeSignalled) return 1;
        // Re-armed before posting: a change the posted check may come too early for wakes the wait again.
        const bool stillWatched = change->Rearm();
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
    // A relative folder has no fixed place to watch, as a path without a drive has none on Windows.
    std::shared_ptr<Win::ChangeNotification> change;
    if (!watch.folder.empty() && watch.folder.front() == '/')
        change = std::make_shared<Win::ChangeNotification>(watch.folder, true, WatchedChanges);
    if (change && !change->Valid()) change.reset();
    auto stop = std::make_shared<Win::SignalEvent>();
    if (!stop->Valid()) return 0;
    return StartBackgroundThread([watch, change, stop] { return PointCabWatcherThread(watch, change.get(), *stop); },
                                 [stop] { stop->Set(); });
}
