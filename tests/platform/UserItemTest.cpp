#include <gtest/gtest.h>

#include "DG/DG.hpp"
#include "Graphics/UserItemUpdateNativeContext.hpp"
#include "TestDialogs.hpp"

// User items draw through the update message into a picture the dialog manager keeps.

namespace
{

constexpr short PaletteId = 30961;
constexpr short Button = 1;
constexpr short Picture = 2;

class UserItemTest : public OwnDialogTest
{
protected:
    UserItemTest()
        : OwnDialogTest(PaletteId, "DIALOG 30961 palette \"P\" size=100,80 at=0,0\n"
                                   "item 1 button \"Zu\" rect=5,50,30,20\nitem 2 user \"\" rect=10,5,40,30\n")
    {}

    // Opens the palette; its callback paints the item red where it is told to.
    void Open(bool enableUpdate)
    {
        DG::OpenPalette(module_, PaletteId, [this, enableUpdate](short message, short, short item, std::intptr_t data) -> short {
            if (message == DG::MsgInit && enableUpdate) DG::EnableMessage(PaletteId, DG::AllItems, DG::MsgUserUpdate);
            if (message != DG::MsgUserUpdate) return 0;
            const auto* update = reinterpret_cast<const DG::UserUpdateData*>(data);
            updates.push_back({item, update->rect.left, update->rect.top});
            NewDisplay::UserItemUpdateNativeContext context(update);
            context.FillRect(0, 0, 40, 30, Gfx::Color(255, 0, 0));
            return 0;
        });
    }

    struct Update
    {
        short item, left, top;
    };
    std::vector<Update> updates;
};

TEST_F(UserItemTest, OnlyAnOpenDialogThatEnabledTheMessageDrawsItsUserItems)
{
    struct Case
    {
        const char* name;
        bool enable;
        bool close;
        short item;
        bool drawn;
    };
    const std::vector<Case> cases {
        {"enabled", true, false, Picture, true},
        {"not enabled", false, false, Picture, false},
        {"closed", true, true, Picture, false},
        {"no user item", true, false, Button, false},
    };
    for (const Case& c : cases)
    {
        updates.clear();
        Open(c.enable);
        if (c.close) DG::ClosePalette(PaletteId);
        const NewDisplay::NativeImage* picture = DG::UpdateUserItem(PaletteId, c.item);
        EXPECT_EQ(picture != nullptr, c.drawn) << c.name;
        EXPECT_EQ(updates.size(), c.drawn ? 1u : 0u) << c.name;
        if (picture != nullptr)
        {
            EXPECT_EQ(picture->GetWidth(), 40u) << c.name;
            EXPECT_EQ(picture->GetHeight(), 30u) << c.name;
            EXPECT_EQ(picture->GetPixel(39, 29), Gfx::Color(255, 0, 0)) << c.name;
            EXPECT_EQ(updates[0].left, 10) << c.name;
            EXPECT_EQ(updates[0].top, 5) << c.name;
        }
        DG::ClosePalette(PaletteId);
    }
}

TEST_F(UserItemTest, AnInvalidatedItemIsDrawnAtOnceAndItsPictureKept)
{
    Open(true);
    DG::InvalidateItem(PaletteId, Picture);
    ASSERT_EQ(updates.size(), 1u);
    const DG::Item* item = DG::GetDialog(PaletteId)->FindItem(Picture);
    ASSERT_TRUE(item->picture.has_value());
    EXPECT_EQ(item->picture->GetPixel(0, 0), Gfx::Color(255, 0, 0));
    DG::ClosePalette(PaletteId);
    Open(false);
    DG::InvalidateItem(PaletteId, Picture);
    EXPECT_EQ(updates.size(), 1u) << "a new opening enables its messages anew";
}

}  // namespace
