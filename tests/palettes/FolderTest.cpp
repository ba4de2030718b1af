#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "PhotoFixture.hpp"
#include "TI/Time.hpp"
#include "Waiting.hpp"
#include "framework/CDataRecorder.hpp"
#include "photos/PhotoFiles.hpp"
#include "photos/PhotoImages.hpp"

namespace
{

constexpr short FolderDialog = 32495;
constexpr short PhotoList = 1;

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

}  // namespace

class FolderTest : public PhotoFixture
{
protected:
    void TearDown() override
    {
        TISetTime(0);
        PhotoFixture::TearDown();
    }

    // Thumbnails on, the list filled and every thumbnail the loader made set.
    void OpenWithThumbnails()
    {
        Folder().largeThumbnails = true;
        OpenFolderPalette();
        EXPECT_TRUE(WaitUntil([this] { return !Folder().thumbnailLoader.IsRunning(); }))
            << "the loader still runs after " << HangGuard.count() << " s";
        Folder().TakeFinishedThumbnails();
    }
    void SelectEntry(short entry) { DG::ChangeItem(FolderDialog, PhotoList, entry); }
};

// Image files only, whatever the case of their extension, sorted by name without
// regard to case; equal names stay in the folder's order.
TEST_F(FolderTest, ListsTheImageFilesByNameWithoutRegardToCase)
{
    for (const char* name : {"b.jpg", "A.png", "c.tga", "notes.txt", "x.jpg", "x.png", "IMG_0001.JPG"})
        Touch(photos_.path() + "/" + name);
    std::filesystem::create_directory(photos_.path() + "/sub.jpg");
    OpenFolderPalette();
    EXPECT_EQ(ListedNames(), (std::vector<std::string> {"A", "b", "c", "IMG_0001", "x", "x"}));
    const short count = DG::ListViewGetItemCount(FolderDialog, PhotoList);
    EXPECT_EQ(Folder()
                  .photoList[static_cast<std::uint32_t>(DG::ListViewGetItemUserData(FolderDialog, PhotoList, count - 1))]
                  .GetLastLocalName(),
              "x.jpg");
    EXPECT_EQ(Folder()
                  .photoList[static_cast<std::uint32_t>(DG::ListViewGetItemUserData(FolderDialog, PhotoList, count))]
                  .GetLastLocalName(),
              "x.png");
    EXPECT_EQ(DG::GetItemText(FolderDialog, 3).ToUtf8(), photos_.path());
}

// A pipe or a device named like a photo is no photo: listing it would block the
// thumbnail thread and then the main thread. A link to a photo is one.
TEST_F(FolderTest, ListsRegularFilesOnly)
{
    WritePhoto("a.png", 32, 24);
    ASSERT_EQ(::mkfifo((photos_.path() + "/pipe.jpg").c_str(), 0644), 0);
    std::filesystem::create_symlink(photos_.path() + "/pipe.jpg", photos_.path() + "/link-to-pipe.png");
    std::filesystem::create_symlink("/dev/zero", photos_.path() + "/zero.bmp");
    std::filesystem::create_symlink(photos_.path() + "/a.png", photos_.path() + "/b.png");
    OpenWithThumbnails();
    EXPECT_EQ(ListedNames(), (std::vector<std::string> {"a", "b"}));
    EXPECT_FALSE(DG::ListViewGetItemImage(FolderDialog, PhotoList, 1).IsEmpty());
    EXPECT_FALSE(DG::ListViewGetItemImage(FolderDialog, PhotoList, 2).IsEmpty());
}

TEST_F(FolderTest, FitsAPhotoCentredIntoTheThumbnailBox)
{
    EXPECT_EQ(FitPhotoIntoBox(64, 64, 640, 480), (PixelRect {0, 8, 64, 56}));
    EXPECT_EQ(FitPhotoIntoBox(64, 64, 480, 640), (PixelRect {8, 0, 56, 64}));
}

// Turns only grow; four to the left draw like none, one to the right as three.
TEST_F(FolderTest, TurnsTheSelectedPhotoAndShowsItInThePreview)
{
    WritePhoto("a.png", 64, 48);
    OpenFolderPalette();
    DG::ClickItem(FolderDialog, 7);
    EXPECT_EQ(Folder().quarterTurns[0], 0) << "no photo selected";
    SelectEntry(1);
    for (int click = 0; click < 4; ++click) DG::ClickItem(FolderDialog, 7);
    EXPECT_EQ(Folder().quarterTurns[0], 4);
    EXPECT_EQ(Preview().quarterTurns, 4);
    EXPECT_EQ(ReducedTurns(4), 0);
    DG::ClickItem(FolderDialog, 8);
    EXPECT_EQ(Preview().quarterTurns, 7);
    EXPECT_EQ(ReducedTurns(7), 3);
    EXPECT_NE(Preview().GetOpenMode(), CDialogBase::Closed);
    EXPECT_EQ(DG::GetItemText(32496, 2).ToUtf8(), "a");
}

// Two turn clicks in one second of the host's clock both turn the photo, but only
// the first makes its thumbnail again.
TEST_F(FolderTest, RemakesAThumbnailAtMostOnceASecond)
{
    WritePhoto("a.png", 64, 48);
    OpenWithThumbnails();
    SelectEntry(1);
    const DG::NativeIcon loaded = DG::ListViewGetItemImage(FolderDialog, PhotoList, 1);
    ASSERT_FALSE(loaded.IsEmpty());
    TISetTime(100.2);
    DG::ClickItem(FolderDialog, 7);
    const DG::NativeIcon first = DG::ListViewGetItemImage(FolderDialog, PhotoList, 1);
    EXPECT_NE(&first.GetPicture(), &loaded.GetPicture());
    TISetTime(100.9);
    DG::ClickItem(FolderDialog, 7);
    EXPECT_EQ(&DG::ListViewGetItemImage(FolderDialog, PhotoList, 1).GetPicture(), &first.GetPicture());
    EXPECT_EQ(Preview().quarterTurns, 2);
    TISetTime(101.2);
    DG::ClickItem(FolderDialog, 7);
    EXPECT_NE(&DG::ListViewGetItemImage(FolderDialog, PhotoList, 1).GetPicture(), &first.GetPicture());
}

// Thumbnails on: 64 x 64 tiles; off: 28 x 30 rows without pictures, the list
// filled again.
TEST_F(FolderTest, TheSwitchChangesTheViewAndRefills)
{
    WritePhoto("a.png", 64, 48);
    OpenWithThumbnails();
    EXPECT_EQ(DG::ListViewGetViewMode(FolderDialog, PhotoList), 0);
    EXPECT_FALSE(DG::ListViewGetItemImage(FolderDialog, PhotoList, 1).IsEmpty());
    DG::ChangeItem(FolderDialog, 6, 0.0);
    EXPECT_FALSE(Folder().largeThumbnails);
    EXPECT_EQ(DG::ListViewGetViewMode(FolderDialog, PhotoList), 1);
    EXPECT_EQ(DG::ListViewGetImageSize(FolderDialog, PhotoList).width, 28);
    EXPECT_TRUE(DG::ListViewGetItemImage(FolderDialog, PhotoList, 1).IsEmpty());
}

// The record: int32 2, the folder's path, the switch; version 1 has no switch.
TEST_F(FolderTest, WritesAndReadsItsRecord)
{
    Folder().photoFolder = IO::Location(std::string("/site/fotos"));
    Folder().largeThumbnails = true;
    std::vector<std::uint8_t> block(256);
    CDataRecorder out(CDataRecorder::EncodingCodePage);
    out.SetMode(CDataRecorder::ModeMemory);
    out.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    EXPECT_TRUE(Folder().Write(out));
    EXPECT_EQ(block[0], 2);

    for (const std::int32_t version : {2, 1})
    {
        SCOPED_TRACE(version);
        block[0] = static_cast<std::uint8_t>(version);
        PhotoLocationDlg read;
        CDataRecorder in(CDataRecorder::EncodingCodePage);
        in.SetMode(CDataRecorder::ModeMemory);
        in.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
        EXPECT_TRUE(read.Read(in));
        EXPECT_EQ(read.photoFolder.ToPath(), "/site/fotos");
        EXPECT_EQ(read.largeThumbnails, version > 1);
    }
}
