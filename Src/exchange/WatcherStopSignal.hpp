#pragma once

// Wakes a thread that polls for it: readable once Raise was called. Shared by the
// thread and whoever stops it; the descriptor is closed when both are done.
class WatcherStopSignal {
public:
    WatcherStopSignal();
    ~WatcherStopSignal();
    WatcherStopSignal(const WatcherStopSignal&) = delete;
    WatcherStopSignal& operator=(const WatcherStopSignal&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void Raise();

private:
    int fd_;
};
