#include <cstdint>

#include "exchange/PointCabWatcher.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "framework/BackgroundThreadList.hpp"

// The exchange-folder watcher starts and stops here; the main object's lifetime
// bounds it, so no watcher thread outlives the object that started it. One
// watcher at a time: a restart stops and joins the previous one first.
std::int32_t Survanto::RestartPointCabWatcher()
{
    StopPointCabWatcher();
    PointCabWatch watch;
    watch.folder = PointCabWatchFolder(exchangeFile.ToUtf8());
    watch.ownModule = OwnModuleId();
    pointCabWatcherNumber = StartPointCabWatcher(watch);
    return pointCabWatcherNumber;
}

void Survanto::StopPointCabWatcher()
{
    if (pointCabWatcherNumber == 0) return;
    RemoveBackgroundThread(pointCabWatcherNumber);  // stops the thread and waits for it
    pointCabWatcherNumber = 0;
}
