#pragma once
#include <cstdint>
#include <string>

#include "API/Types.hpp"

// The exchange-folder watcher: a worker thread that posts "NEWP" to the add-on at
// every change in the folder of the exchange file, or "ALRT" when the folder
// cannot be watched. It touches nothing but its folder, the stop signal, the
// quitting flag and the host's command posting.

// What the thread is given when it starts; it never reads the main object.
struct PointCabWatch
{
    std::string folder;
    API_ModulID ownModule;
};

// Starts the watcher thread (its thread-list number, 0 when it could not start). The
// thread ends with 1 when the folder cannot be watched or the watch broke, with 0
// when it is stopped or the quitting flag tells it to; removing its list entry, or
// the add-on's unloading, stops it and waits for it.
std::int32_t StartPointCabWatcher(const PointCabWatch& watch);

// The folder the watcher watches for an exchange file path.
std::string PointCabWatchFolder(const std::string& exchangeFile);
