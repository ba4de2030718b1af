#include <atomic>
#include <climits>
#include <condition_variable>
#include <mutex>

#include "DG/DG.hpp"
#include "PhotoFixture.hpp"
#include "Waiting.hpp"
#include "photos/PhotoThumbnailLoader.hpp"

namespace
{

constexpr short FolderDialog = 32495;

// An image reader the test holds: the first `allowed` photos pass, every later
// one waits in hand until the test allows more or the loader is told to stop.
// Every call is counted, and the test can wait for a call to begin.
class GatedReader
{
public:
    PhotoThumbnailLoader::Maker Maker(const PhotoThumbnailLoader& loader)
    {
        return [this, &loader](const PhotoWork&, std::int32_t width, std::int32_t height) {
            const int call = Begin();
            // The loader's stop is a flag without a signal, so it is looked at again and again.
            if (!WaitUntil([&] { return call <= allowed_.load() || loader.StopRequested(); })) stuck_ = true;
            End();
            return DG::NativeIcon(NewDisplay::NativeImage(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)));
        };
    }

    void Allow(int calls) { allowed_ = calls; }
    void AllowAll() { allowed_ = INT_MAX; }
    // False when no such call began before the hang guard.
    bool AwaitCall(int call)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, HangGuard, [&] { return calls_ >= call; });
    }
    int Calls()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    int Done()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return done_;
    }
    bool Stuck() const { return stuck_; }

private:
    int Begin()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++calls_;
        changed_.notify_all();
        return calls_;
    }
    void End()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++done_;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int calls_ = 0;
    int done_ = 0;
    std::atomic<int> allowed_ {0};
    std::atomic<bool> stuck_ {false};
};

bool WaitUntilIdle(const PhotoThumbnailLoader& loader)
{
    return WaitUntil([&] { return !loader.IsRunning(); });
}

}  // namespace

class LoaderTest : public PhotoFixture
{
protected:
    void SetUp() override
    {
        PhotoFixture::SetUp();
        for (const char* name : {"a.png", "b.png", "c.png"}) WritePhoto(name, 8, 6);
        Folder().thumbnailLoader.SetMaker(reader_.Maker(Folder().thumbnailLoader));
        Folder().largeThumbnails = true;
    }
    void TearDown() override
    {
        EXPECT_FALSE(reader_.Stuck()) << "a photo waited at the gate for " << HangGuard.count() << " s";
        PhotoFixture::TearDown();
    }

    int ImagesSet()
    {
        int set = 0;
        for (short entry = 1; entry <= DG::ListViewGetItemCount(FolderDialog, 1); ++entry)
            set += DG::ListViewGetItemImage(FolderDialog, 1, entry).IsEmpty() ? 0 : 1;
        return set;
    }

    GatedReader reader_;
};

// The loader hands its thumbnails over; the user-interface thread sets them
// when the host runs the command the loader posted.
TEST_F(LoaderTest, ThumbnailsArriveThroughTheHostsEventLoop)
{
    reader_.AllowAll();
    OpenFolderPalette();
    ASSERT_TRUE(WaitUntilIdle(Folder().thumbnailLoader)) << "the loader still runs after " << HangGuard.count() << " s";
    EXPECT_EQ(ImagesSet(), 0) << "nothing set from the loader's thread";
    Host().RunPendingCommands();
    EXPECT_EQ(ImagesSet(), 3);
}

// Closed while loading the second photo: the loader ends after the photo in
// hand, and not even the thumbnail made before the close is set.
TEST_F(LoaderTest, NoThumbnailIsSetAfterTheClose)
{
    reader_.Allow(1);
    OpenFolderPalette();
    ASSERT_TRUE(reader_.AwaitCall(2)) << "the loader never reached the second photo";
    DG::CloseByUser(FolderDialog);
    ASSERT_TRUE(WaitUntilIdle(Folder().thumbnailLoader)) << "the loader still runs after " << HangGuard.count() << " s";
    EXPECT_EQ(reader_.Calls(), 2) << "no photo after the one in hand";
    Host().RunPendingCommands();
    Folder().TakeFinishedThumbnails();
    EXPECT_EQ(ImagesSet(), 0);
}

// A new fill waits for the running loader, which stops after the photo in
// hand, and drops what it made.
TEST_F(LoaderTest, ANewFillWaitsAndDropsTheOldThumbnails)
{
    reader_.Allow(1);
    OpenFolderPalette();
    ASSERT_TRUE(reader_.AwaitCall(2)) << "the first loader never reached the second photo";
    DG::ClickItem(FolderDialog, 5);
    EXPECT_EQ(reader_.Done(), 2) << "the new fill began before the first loader ended";
    reader_.AllowAll();
    ASSERT_TRUE(WaitUntilIdle(Folder().thumbnailLoader)) << "the loader still runs after " << HangGuard.count() << " s";
    const auto finished = Folder().thumbnailLoader.TakeFinished();
    ASSERT_EQ(finished.size(), 3u);
    for (const FinishedThumbnail& thumbnail : finished) EXPECT_EQ(thumbnail.fill, finished.front().fill);
    EXPECT_EQ(reader_.Calls(), 5) << "two photos of the first loader, three of the second";
}

// Destroying the loader stops it after the photo in hand and waits for it.
TEST_F(LoaderTest, DestructionJoinsTheThread)
{
    GatedReader reader;
    {
        PhotoThumbnailLoader loader;
        loader.SetMaker(reader.Maker(loader));
        PhotoWorkList work;
        work.width = work.height = 4;
        for (short entry = 1; entry <= 5; ++entry) work.photos.push_back({entry, IO::Location(std::string("/p.png")), 0});
        ASSERT_TRUE(loader.Start(std::move(work), 1));
        ASSERT_TRUE(reader.AwaitCall(1)) << "the loader never began";
    }
    EXPECT_EQ(reader.Calls(), 1);
    EXPECT_EQ(reader.Done(), 1) << "the photo in hand was finished before the destructor returned";
    EXPECT_FALSE(reader.Stuck());
}
