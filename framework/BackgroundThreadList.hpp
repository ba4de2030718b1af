#pragma once
#include <cstdint>
#include <functional>

// The process-wide list of the add-on's worker threads. A thread's number is its
// place in the list + 1; removed entries stay empty, so a number is never reused.
// Used from the host's user-interface thread only.

enum class BackgroundThreadEnd {
    Detached,        // runs on by itself; removing its entry only forgets it
    JoinedOnRemove,  // removing its entry waits for it: the owner tells it to stop first
};

using BackgroundThreadFunction = std::function<std::int32_t()>;

// 1-based number of the new thread, 0 when the system could not start it.
std::int32_t StartBackgroundThread(BackgroundThreadFunction function,
                                   BackgroundThreadEnd end = BackgroundThreadEnd::Detached);

// Numbers outside the list and entries already removed are ignored.
bool RemoveBackgroundThread(std::int32_t number);

// At unload: removes every remaining entry.
void ClearBackgroundThreadList();
