#include <gtest/gtest.h>

#include "DG/DG.hpp"
#include "TestDialogs.hpp"
#include "framework/CDialogResizer.hpp"

namespace
{

constexpr short DialogId = 30970;
constexpr short Item = 1;
constexpr short Fixed = 2;

class DialogResizerTest : public OwnDialogTest
{
protected:
    DialogResizerTest()
        : OwnDialogTest(DialogId, "DIALOG 30970 palette \"R\" size=300,300\n"
                                  "item 1 list \"\" rect=10,20,100,100\nitem 2 button \"\" rect=200,250,30,30\n")
    {}
    void SetUp() override
    {
        OwnDialogTest::SetUp();
        ASSERT_NE(DG::GetDialog(DialogId, module_), nullptr);
    }
};

}  // namespace

// The item follows shares of the size change; the change is held back where a
// growing item would fall below 18 pixels; moves are truncated toward zero.
TEST_F(DialogResizerTest, ItemsFollowTheirSharesOfTheSizeChange)
{
    struct Case
    {
        const char* label;
        DG::Rect initial;  // left, top, right, bottom
        double xMove, yMove, widthGrow, heightGrow;
        DG::Size resized;
        DG::Rect expected;
    };
    const Case cases[] = {
        {"grows with the palette", {10, 20, 110, 120}, 0, 0, 1, 1, {350, 340}, {10, 20, 160, 160}},
        {"shrinks to 18 and no further", {10, 20, 110, 120}, 0, 0, 0, 1, {300, 200}, {10, 20, 110, 38}},
        {"a small item may not shrink", {10, 20, 110, 30}, 0, 0, 0, 1, {300, 250}, {10, 20, 110, 30}},
        {"half the change", {10, 20, 110, 120}, 0, 0, 0, 0.5, {300, 100}, {10, 20, 110, 38}},
        {"fixed items set no minimum", {10, 20, 110, 120}, 0, 0, 0, 0, {50, 50}, {10, 20, 110, 120}},
        {"keeps its distance to the right edge", {10, 20, 110, 120}, 1, 0, 0, 0, {350, 300}, {60, 20, 160, 120}},
        {"moves by 1 for 1.5", {10, 20, 110, 120}, 0.5, 0.5, 0, 0, {303, 297}, {11, 19, 111, 119}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        DG::SetClientSize(DialogId, 300, 300);
        DG::SetItemRect(DialogId, Item, c.initial);
        CDialogResizer resizer;
        resizer.Attach(DialogId);
        resizer.AddItem(DialogId, Item, c.xMove, c.yMove, c.widthGrow, c.heightGrow);
        DG::SetClientSize(DialogId, c.resized.width, c.resized.height);
        resizer.Resize(false);
        const DG::Rect r = DG::GetItemRect(DialogId, Item);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);

        // Each resize starts from the initial rectangle.
        resizer.Resize(false);
        EXPECT_EQ(DG::GetItemRect(DialogId, Item).bottom, c.expected.bottom);
    }
}

TEST_F(DialogResizerTest, MinimumsComeFromTheTightestItem)
{
    DG::SetClientSize(DialogId, 300, 300);
    CDialogResizer resizer;
    resizer.Attach(DialogId);
    EXPECT_EQ(resizer.FindDialogData(DialogId), -1);
    resizer.AddItem(DialogId, Fixed, 1, 1, 0, 0);
    resizer.AddItem(DialogId, Item, 0, 0, 1, 0.5);
    ASSERT_EQ(resizer.FindDialogData(DialogId), 0);

    DG::SetClientSize(DialogId, 150, 100);
    std::int16_t dx = 0, dy = 0;
    resizer.GetSizeChange(dx, dy);
    EXPECT_EQ(dx, -150);
    EXPECT_EQ(dy, -200);
    resizer.Resize(false);
    // Width held at 218, height at 136: the fixed button moves by -82 and -164.
    const DG::Rect button = DG::GetItemRect(DialogId, Fixed);
    EXPECT_EQ(button.left, 118);
    EXPECT_EQ(button.top, 86);
    EXPECT_EQ(DG::GetItemRect(DialogId, Item).right - DG::GetItemRect(DialogId, Item).left, 18);
}

TEST_F(DialogResizerTest, MovesAreBracketedUnlessTheCallerBracketsThem)
{
    DG::SetClientSize(DialogId, 300, 300);
    CDialogResizer resizer;
    resizer.Attach(DialogId);
    resizer.AddItem(DialogId, Item, 1, 0, 0, 0);
    resizer.AddItem(DialogId, Fixed, 0, 1, 0, 0);
    DG::SetClientSize(DialogId, 320, 310);
    const DG::Dialog* dialog = DG::GetDialog(DialogId);

    resizer.Resize(false);
    EXPECT_EQ(dialog->moveGrowBrackets, 1);
    EXPECT_EQ(dialog->looseMoveGrows, 0);
    resizer.Resize(true);
    EXPECT_EQ(dialog->moveGrowBrackets, 1);
    EXPECT_EQ(dialog->looseMoveGrows, 2);
}

// Cleared items are registered again from where they stand; the minimums stay.
TEST_F(DialogResizerTest, ClearedItemsNoLongerMove)
{
    DG::SetClientSize(DialogId, 300, 300);
    CDialogResizer resizer;
    resizer.Attach(DialogId);
    resizer.AddItem(DialogId, Fixed, 0, 1, 0, 0);
    resizer.ClearItems();
    DG::SetClientSize(DialogId, 300, 340);
    resizer.Resize(false);
    EXPECT_EQ(DG::GetItemRect(DialogId, Fixed).top, 250);
    EXPECT_EQ(resizer.FindDialogData(DialogId), 0);
}
