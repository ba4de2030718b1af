#include <gtest/gtest.h>

#include <string>

#include "DG/DG.hpp"
#include "MainObjectFixture.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

constexpr short Palette = Survanto::MainPaletteDialogId;
constexpr short StationItem = 1;

class Language : public MainObjectFixture
{
protected:
    void SetUp() override
    {
        MainObjectFixture::SetUp();
        before_ = measuringState;
        measuringState.stationMode = 2;
        Main().HandleMenuCommand({32500, 1});
        ASSERT_TRUE(DG::IsOpen(Palette));
        ASSERT_EQ(ItemText(), "Messgerät ausrichten");
        Host().menuTexts_.clear();
    }
    void TearDown() override
    {
        Main().SetLanguage(0);
        measuringState = before_;
        MainObjectFixture::TearDown();
    }
    static std::string ItemText() { return DG::GetItemText(Palette, StationItem).ToUtf8(); }

private:
    MeasuringState before_;
};

// The open palette comes back in the new language, the menus are relabelled
// (the debug palette's only in debug mode) and the GDL extension follows.
TEST_F(Language, SwitchingRelabelsPaletteMenusAndLibraryParts)
{
    const std::string others = "[32503/1: Point 3D][32505/1: Écrire un e-mail][32506/1: Aide]"
                               "[32508/1: Ouvrir l'aide en ligne][32509/1: Démarrer la télémaintenance]";
    const struct
    {
        std::uint8_t debugMode;
        std::string menus;
    } cases[] = {{0, "[32500/1: Palette Survanto]" + others},
                 {1, "[32500/1: Palette Survanto][32501/1: Palette de débogage]" + others}};
    // The debug palette's menu, registered as a start in debug mode registers it.
    Host().menus_.push_back({32501, 32511, 0, 1});
    for (const auto& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.debugMode));
        measuringState.debugMode = c.debugMode;
        Host().menuTexts_.clear();
        Main().SetLanguage(2);
        EXPECT_EQ(Main().language, 2);
        EXPECT_TRUE(DG::IsOpen(Palette));
        EXPECT_EQ(ItemText(), "Orienter l'appareil");
        EXPECT_EQ(Host().Fact("menu-texts"), c.menus);
        EXPECT_EQ(Host().Fact("gdl-language"), "3");
    }
    Main().SetLanguage(1);
    EXPECT_EQ(ItemText(), "Align instrument");
    EXPECT_EQ(Host().Fact("gdl-language"), "2");
}

// A language that does not exist changes nothing.
TEST_F(Language, AnUnknownLanguageChangesNothing)
{
    for (const std::int32_t language : {-1, 3, 7})
    {
        Main().SetLanguage(language);
        EXPECT_EQ(Main().language, 0);
        EXPECT_EQ(ItemText(), "Messgerät ausrichten");
        EXPECT_EQ(Host().Fact("menu-texts"), "");
    }
}

}  // namespace
