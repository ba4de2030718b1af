#include "photos/PhotoThumbnailLoader.hpp"

#include <exception>

#include "framework/BackgroundThreadList.hpp"
#include "photos/PhotoImages.hpp"

PhotoThumbnailLoader::PhotoThumbnailLoader()
    : maker_([](const PhotoWork& work, std::int32_t width, std::int32_t height) {
          return MakeThumbnail(work.photo, width, height, work.quarterTurns);
      }),
      shared_(std::make_shared<Shared>())
{}

PhotoThumbnailLoader::~PhotoThumbnailLoader() { StopAndWait(); }

std::int32_t PhotoThumbnailLoader::Run(const std::shared_ptr<Shared>& shared, const PhotoWorkList& work, std::int32_t fill,
                                       const Maker& maker, const Wake& wake)
{
    for (const PhotoWork& photo : work.photos)
    {
        if (shared->stop.load()) break;
        DG::NativeIcon thumbnail;
        try
        {
            thumbnail = maker(photo, work.width, work.height);
        }
        catch (const std::exception&)
        {
            thumbnail = DG::NativeIcon();
        }
        if (shared->stop.load()) break;
        if (thumbnail.IsEmpty()) continue;
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->finished.push_back({fill, photo.entry, std::move(thumbnail)});
        }
        if (wake) wake();
    }
    shared->running.store(false);
    return 0;
}

bool PhotoThumbnailLoader::Start(PhotoWorkList work, std::int32_t fill)
{
    StopAndWait();
    // A fresh share: nothing of the loader before reaches this one.
    shared_ = std::make_shared<Shared>();
    shared_->running.store(true);
    auto shared = shared_;
    threadNumber_ = StartBackgroundThread(
        [shared, work = std::move(work), fill, maker = maker_, wake = wake_] { return Run(shared, work, fill, maker, wake); },
        [shared] { shared->stop.store(true); });
    if (threadNumber_ == 0) shared_->running.store(false);
    return threadNumber_ != 0;
}

void PhotoThumbnailLoader::RequestStop() { shared_->stop.store(true); }

void PhotoThumbnailLoader::StopAndWait()
{
    if (threadNumber_ == 0) return;
    RemoveBackgroundThread(threadNumber_);
    threadNumber_ = 0;
}

bool PhotoThumbnailLoader::IsRunning() const { return shared_->running.load(); }

bool PhotoThumbnailLoader::StopRequested() const { return shared_->stop.load(); }

std::vector<FinishedThumbnail> PhotoThumbnailLoader::TakeFinished()
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    std::vector<FinishedThumbnail> taken(std::make_move_iterator(shared_->finished.begin()),
                                         std::make_move_iterator(shared_->finished.end()));
    shared_->finished.clear();
    return taken;
}
