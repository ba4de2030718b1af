#include <atomic>
#include <chrono>
#include <thread>

#include "DG/DG.hpp"
#include "PhotoFixture.hpp"
#include "photos/PhotoThumbnailLoader.hpp"

namespace {

constexpr short FolderDialog = 32495;

// An image reader the test holds: each photo takes a while, and every call is counted.
struct SlowReader {
    std::atomic<int> calls {0};
    std::atomic<int> done {0};
    std::chrono::milliseconds delay {60};

    PhotoThumbnailLoader::Maker Maker()
    {
        return [this](const PhotoWork&, std::int32_t width, std::int32_t height) {
            ++calls;
            std::this_thread::sleep_for(delay);
            ++done;
            return DG::NativeIcon(NewDisplay::NativeImage(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)));
        };
    }
};

void WaitUntilIdle(const PhotoThumbnailLoader& loader)
{
    for (int i = 0; i < 400 && loader.IsRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

class LoaderTest : public PhotoFixture {
protected:
    void SetUp() override
    {
        PhotoFixture::SetUp();
        for (const char* name : {"a.png", "b.png", "c.png"}) WritePhoto(name, 8, 6);
        Folder().thumbnailLoader.SetMaker(reader_.Maker());
        Folder().largeThumbnails = true;
    }

    int ImagesSet()
    {
        int set = 0;
        for (short entry = 1; entry <= DG::ListViewGetItemCount(FolderDialog, 1); ++entry)
            set += DG::ListViewGetItemImage(FolderDialog, 1, entry).IsEmpty() ? 0 : 1;
        return set;
    }

    SlowReader reader_;
};

// The loader hands its thumbnails over; the user-interface thread sets them
// when the host runs the command the loader posted.
TEST_F(LoaderTest, ThumbnailsArriveThroughTheHostsEventLoop)
{
    OpenFolderPalette();
    WaitUntilIdle(Folder().thumbnailLoader);
    EXPECT_EQ(ImagesSet(), 0) << "nothing set from the loader's thread";
    Host().RunPendingCommands();
    EXPECT_EQ(ImagesSet(), 3);
}

// Closed while loading: the loader ends after the photo in hand, and nothing is
// set after the close.
TEST_F(LoaderTest, NoThumbnailIsSetAfterTheClose)
{
    OpenFolderPalette();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    DG::CloseByUser(FolderDialog);
    WaitUntilIdle(Folder().thumbnailLoader);
    EXPECT_LT(reader_.calls.load(), 3);
    Host().RunPendingCommands();
    Folder().TakeFinishedThumbnails();
    EXPECT_EQ(ImagesSet(), 0);
}

// A new fill waits for the running loader, which stops after the photo in
// hand, and drops what it made.
TEST_F(LoaderTest, ANewFillWaitsAndDropsTheOldThumbnails)
{
    OpenFolderPalette();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    DG::ClickItem(FolderDialog, 5);
    WaitUntilIdle(Folder().thumbnailLoader);
    const auto finished = Folder().thumbnailLoader.TakeFinished();
    ASSERT_EQ(finished.size(), 3u);
    for (const FinishedThumbnail& thumbnail : finished) EXPECT_EQ(thumbnail.fill, finished.front().fill);
    EXPECT_EQ(reader_.calls.load(), 4) << "one photo of the first loader, three of the second";
}

// Destroying the loader stops it after the photo in hand and waits for it.
TEST_F(LoaderTest, DestructionJoinsTheThread)
{
    SlowReader reader;
    {
        PhotoThumbnailLoader loader;
        loader.SetMaker(reader.Maker());
        PhotoWorkList work;
        work.width = work.height = 4;
        for (short entry = 1; entry <= 5; ++entry) work.photos.push_back({entry, IO::Location(std::string("/p.png")), 0});
        ASSERT_TRUE(loader.Start(std::move(work), 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(reader.calls.load(), 1);
    EXPECT_EQ(reader.done.load(), 1);
}
