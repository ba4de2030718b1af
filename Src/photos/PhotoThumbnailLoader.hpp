#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "DG/NativeIcon.hpp"
#include "IO/Location.hpp"

// One photo of the loader's work: its list entry, file and quarter turns.
struct PhotoWork
{
    std::int16_t entry = 0;
    IO::Location photo;
    std::int32_t quarterTurns = 0;
};

// What the loader is given: the photos in list order and the pictures' size.
struct PhotoWorkList
{
    std::vector<PhotoWork> photos;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// A thumbnail made for the entry of the list the loader was started on (its fill).
struct FinishedThumbnail
{
    std::int32_t fill = 0;
    std::int16_t entry = 0;
    DG::NativeIcon image;
};

// The thumbnail loader: one worker thread at a time that makes the thumbnails of
// a work list taken on the user-interface thread. It hands each thumbnail over
// through a locked queue and wakes the user-interface thread, which takes them;
// it never touches the dialog manager and never waits for that thread. Started,
// stopped and taken from on the user-interface thread only; the maker may ask
// from the worker thread whether the stop was requested.
class PhotoThumbnailLoader
{
public:
    // Makes one thumbnail; an empty icon when the photo cannot be read.
    using Maker = std::function<DG::NativeIcon(const PhotoWork& work, std::int32_t width, std::int32_t height)>;
    // Tells the user-interface thread that thumbnails wait; any thread calls it.
    using Wake = std::function<void()>;

    PhotoThumbnailLoader();
    PhotoThumbnailLoader(const PhotoThumbnailLoader&) = delete;
    PhotoThumbnailLoader& operator=(const PhotoThumbnailLoader&) = delete;
    // Stops the running thread and waits for it.
    ~PhotoThumbnailLoader();

    void SetMaker(Maker maker) { maker_ = std::move(maker); }
    void SetWake(Wake wake) { wake_ = std::move(wake); }

    // Stops and waits for a loader still running, drops what it left, then
    // starts on the work; false when no thread could be started.
    bool Start(PhotoWorkList work, std::int32_t fill);
    // The thread ends after the photo in hand, whose thumbnail is dropped.
    void RequestStop();
    // Requests the stop, waits for the thread's end and removes its record.
    void StopAndWait();
    bool IsRunning() const;
    bool StopRequested() const;
    std::vector<FinishedThumbnail> TakeFinished();

private:
    // What the thread shares with this object: the stop request and the queue.
    struct Shared
    {
        std::atomic<bool> stop {false};
        std::atomic<bool> running {false};
        std::mutex mutex;
        std::deque<FinishedThumbnail> finished;
    };

    static std::int32_t Run(const std::shared_ptr<Shared>& shared, const PhotoWorkList& work, std::int32_t fill,
                            const Maker& maker, const Wake& wake);

    Maker maker_;
    Wake wake_;
    std::shared_ptr<Shared> shared_;
    std::int32_t threadNumber_ = 0;
};
