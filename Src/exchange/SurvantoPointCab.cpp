#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "frame/AddOnGlobals.hpp"
#include "BackgroundThreadList.hpp"
#include "exchange/PointCabWatcher.hpp"
#include "frame/Survanto.hpp"

// The exchange-folder watcher starts and stops here; the main object's lifetime
// bounds it, so no watcher thread outlives the object that started it. One
// watcher at a time: a restart stops and joins the previous one first.
std::int32_t Survanto::RestartPointCabWatcher()
{
    StopPointCabWatcher();
    pointCabWatcherStopSignal = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (pointCabWatcherStopSignal < 0) return 0;
    PointCabWatch watch;
    watch.folder = PointCabWatchFolder(exchangeFile.ToUtf8());
    watch.stopSignal = pointCabWatcherStopSignal;
    watch.ownModule = OwnModuleId();
    pointCabWatcherNumber = StartPointCabWatcher(watch);
    return pointCabWatcherNumber;
}

void Survanto::StopPointCabWatcher()
{
    if (pointCabWatcherStopSignal >= 0) {
        const std::uint64_t stop = 1;
        [[maybe_unused]] const ssize_t written = ::write(pointCabWatcherStopSignal, &stop, sizeof stop);
    }
    if (pointCabWatcherNumber != 0) {
        RemoveBackgroundThread(pointCabWatcherNumber);  // waits for the thread
        pointCabWatcherNumber = 0;
    }
    if (pointCabWatcherStopSignal >= 0) {
        ::close(pointCabWatcherStopSignal);
        pointCabWatcherStopSignal = -1;
    }
}
