#pragma once
#include <cstdint>
#include <functional>

// The process-wide list of the add-on's worker threads. A thread's number is its
// place in the list + 1; removed entries stay empty, so a number is never reused.
// Started and removed from the host's user-interface thread.

using BackgroundThreadFunction = std::function<std::int32_t()>;
// Tells a thread to end; the thread returns soon after. Called on the remover's thread.
using BackgroundThreadStop = std::function<void()>;

// 1-based number of the new thread, 0 when the system could not start it. A thread
// without a stop runs on by itself, detached. A thread with one is told to stop and
// waited for when its entry is removed, the list is cleared or the add-on unloads,
// so none of its code runs after the add-on is gone.
std::int32_t StartBackgroundThread(BackgroundThreadFunction function, BackgroundThreadStop stop = nullptr);

// Numbers outside the list and entries already removed are ignored.
bool RemoveBackgroundThread(std::int32_t number);

// At unload: removes every remaining entry, stopping and joining what can be stopped.
void ClearBackgroundThreadList();
