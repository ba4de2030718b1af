#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "PhotoFixture.hpp"

namespace
{

constexpr short PreviewDialog = 32496;

struct FitCase
{
    int turns;
    double scale, x, y;
};

// The numbers of a recorded "DrawImage WxH xScale yScale angle x y ..." call.
std::vector<double> DrawnNumbers(const std::string& call)
{
    std::istringstream words(call);
    std::string name, size;
    words >> name >> size;
    std::vector<double> numbers;
    for (double n; numbers.size() < 5 && words >> n;) numbers.push_back(n);
    return numbers;
}

}  // namespace

class PreviewTest : public PhotoFixture
{
protected:
    void ShowPhoto(const std::string& path, int turns)
    {
        Preview().photoLocation = IO::Location(path);
        Preview().quarterTurns = turns;
        Preview().SetResourceModules(CurrentResourceModule(), Main().resourceModules[0]);
        Preview().OpenPalette(211);
        Preview().LoadPhoto();
    }
};

// A 400 x 300 photo in the 272 x 236 item: the scale from the turned size, the
// photo's own top left corner where the turned photo sits centred, the angle
// from the unreduced turns.
TEST_F(PreviewTest, DrawsThePhotoFittedAndTurnedAboutItsCorner)
{
    const std::string photo = WritePhoto("site.png", 400, 300);
    const FitCase cases[] = {
        {0, 0.68, 0, 16}, {1, 0.59, 47.5, 236}, {2, 0.68, 272, 220}, {3, 0.59, 224.5, 0}, {5, 0.59, 47.5, 236}};
    for (const FitCase& c : cases)
    {
        SCOPED_TRACE(c.turns);
        ShowPhoto(photo, c.turns);
        NewDisplay::NativeImage target(272, 236);
        NewDisplay::NativeContext context(target);
        Preview().DrawPhoto(context, 272, 236);
        const auto& calls = context.GetRecordedCalls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].rfind("FillRect", 0), 0u) << calls[0];
        ASSERT_EQ(calls[1].rfind("DrawImage 400x300", 0), 0u) << calls[1];
        const std::vector<double> drawn = DrawnNumbers(calls[1]);
        ASSERT_EQ(drawn.size(), 5u) << calls[1];
        EXPECT_NEAR(drawn[0], c.scale, 1e-4);
        EXPECT_NEAR(drawn[1], c.scale, 1e-4);
        EXPECT_NEAR(drawn[2], -c.turns * Pi / 2, 1e-4);
        EXPECT_NEAR(drawn[3], c.x, 1e-3);
        EXPECT_NEAR(drawn[4], c.y, 1e-3);
    }
}

// The user makes the palette larger: the picture is drawn again at the item's
// new size, the photo fitted to it.
TEST_F(PreviewTest, AResizeFitsThePhotoAgain)
{
    ShowPhoto(WritePhoto("site.png", 400, 300), 0);
    const NewDisplay::NativeImage* before = DG::UpdateUserItem(PreviewDialog, 3);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->GetWidth(), 272u);
    const DG::Size size = DG::GetClientSize(PreviewDialog);
    DG::ResizeByUser(PreviewDialog, static_cast<short>(size.width + 128), static_cast<short>(size.height + 100));
    const NewDisplay::NativeImage* after = DG::UpdateUserItem(PreviewDialog, 3);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->GetWidth(), 400u);
    EXPECT_EQ(after->GetHeight(), 336u);
    // 400 x 300 fills the width: the band above it stays white, the photo's red reaches the right edge.
    EXPECT_EQ(after->GetPixel(200, 10), Gfx::Color(255, 255, 255, 255));
    EXPECT_EQ(after->GetPixel(395, 200), Gfx::Color(200, 30, 30, 255));
}

// A photo whose file is gone shows its name and no picture.
TEST_F(PreviewTest, AMissingFileShowsItsNameOnly)
{
    ShowPhoto(photos_.path() + "/gone.jpg", 0);
    EXPECT_EQ(DG::GetItemText(PreviewDialog, 2).ToUtf8(), "gone");
    EXPECT_EQ(Preview().picture, nullptr);
    const NewDisplay::NativeImage* drawn = DG::UpdateUserItem(PreviewDialog, 3);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->GetPixel(136, 118).alpha, 0) << "nothing drawn";
}
