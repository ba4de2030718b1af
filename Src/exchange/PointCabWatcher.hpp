#pragma once
#include <cstdint>
#include <string>

#include "API/Types.hpp"

// The exchange-folder watcher: a worker thread that posts "NEWP" to the add-on at
// every change in the folder of the exchange file, or "ALRT" when the folder
// cannot be watched. It touches nothing but its folder, the stop signal, the
// quitting flag and the host's command posting.

// What the thread is given when it starts; it never reads the main object.
struct PointCabWatch {
    std::string folder;
    int stopSignal = -1;  // readable when the watcher is to end
    API_ModulID ownModule;
};

// Starts the watcher thread (its thread-list number, 0 when it could not start). The
// thread ends with 1 when the folder cannot be watched or the watch broke, with 0
// when the stop signal or the quitting flag tells it to; removing its list entry
// waits for it.
std::int32_t StartPointCabWatcher(const PointCabWatch& watch);

// The folder the watcher watches for an exchange file path.
std::string PointCabWatchFolder(const std::string& exchangeFile);
