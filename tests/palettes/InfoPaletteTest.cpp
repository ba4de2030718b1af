#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"

namespace
{

constexpr short Info = InfoPalette::DialogId;

std::string Shown() { return DG::GetItemText(Info, 1).ToUtf8(); }

}  // namespace

// Opened, the palette shows the prompt it keeps, at first "choose a function";
// a prompt set while it is closed shows only when it opens again.
TEST_F(MainObjectFixture, InfoPaletteShowsItsStoredPrompt)
{
    Main().TogglePalette(Main().infoPalette, 0);
    ASSERT_TRUE(DG::IsOpen(Info));
    EXPECT_EQ(Shown(), "Survanto Funktion wählen");
    Main().infoPalette.SetPrompt(5);
    EXPECT_EQ(Shown(), "Lampenposition messen") << "entry 5 of the prompts";

    EXPECT_EQ(DG::CloseByUser(Info), -1);
    ASSERT_FALSE(DG::IsOpen(Info));
    Main().infoPalette.SetPrompt(4);
    EXPECT_EQ(Shown(), "Lampenposition messen");
    Main().TogglePalette(Main().infoPalette, 0);
    EXPECT_EQ(Shown(), "Survanto Funktion wählen");
}
