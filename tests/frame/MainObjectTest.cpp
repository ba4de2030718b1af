#include <gtest/gtest.h>

#include <stdexcept>

#include "DG/DG.hpp"
#include "InProcessHost.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "framework/OwnChangeScope.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

SimHost::Host::Options WithLanguage(const std::string& code)
{
    SimHost::Host::Options options;
    options.languageCode = code;
    options.currentTool = API_WallID;
    return options;
}

}  // namespace

TEST(MainObject, LanguageFollowsTheHostsLanguageCode)
{
    struct Case
    {
        const char* code;
        std::int32_t language;
        const char* paletteMenuItem;
    };
    const Case cases[] = {
        {"GER", 0,
         "Survanto Palette\x05"
         "3\x05S\x05"
         "E\x05I"},
        {"CHE", 0,
         "Survanto Palette\x05"
         "3\x05S\x05"
         "E\x05I"},
        {"AUT", 0,
         "Survanto Palette\x05"
         "3\x05S\x05"
         "E\x05I"},
        {"FRA", 2,
         "Palette Survanto\x05"
         "3\x05S\x05"
         "E\x05I"},
        {"USA", 1,
         "Survanto Palette\x05"
         "3\x05S\x05"
         "E\x05I"},
        {"", 1,
         "Survanto Palette\x05"
         "3\x05S\x05"
         "E\x05I"},
    };
    for (const auto& c : cases)
    {
        InProcessHost host(WithLanguage(c.code));
        Survanto* survanto = theSurvanto.load();
        ASSERT_NE(survanto, nullptr);
        EXPECT_EQ(survanto->language, c.language) << c.code;
        EXPECT_EQ(RS::GetIndString(32500, 2, CurrentResourceModule()).ToUtf8(), c.paletteMenuItem) << c.code;
        EXPECT_EQ(RS::GetIndString(32506, 2, CurrentResourceModule()).ToUtf8().substr(0, 3), c.language == 0   ? "Hil"
                                                                                             : c.language == 1 ? "Hel"
                                                                                                               : "Aid")
            << c.code;
    }
}

TEST(MainObject, StartValuesAfterInitialize)
{
    InProcessHost host(WithLanguage("GER"));
    const Survanto* survanto = theSurvanto.load();
    ASSERT_NE(survanto, nullptr);
    EXPECT_EQ(survanto->currentTool, API_WallID);
    EXPECT_EQ(survanto->measuringMode, 0);
    EXPECT_EQ(survanto->pointStep, 0);
    EXPECT_EQ(measuringState.stationMode, 2);
    EXPECT_EQ(survanto->stationId, GS::UniString("0"));
    EXPECT_EQ(survanto->activeStationId, GS::UniString("0"));
    EXPECT_EQ(survanto->GetDialogId(), 32450);
    EXPECT_EQ(survanto->GetPaletteGuid().ToText(true), "{995CF970-972B-11E0-AA80-0800200C9A66}");
    EXPECT_TRUE(survanto->sounds);
    EXPECT_TRUE(survanto->refreshItems);
    EXPECT_DOUBLE_EQ(survanto->wallThicknessTolerance, 0.01);
    EXPECT_DOUBLE_EQ(survanto->snapDirectionTolerance, 1.0);
    EXPECT_DOUBLE_EQ(survanto->profileArcStep, 0.17453292519943295);
    EXPECT_EQ(survanto->stationPen, 89);
    EXPECT_EQ(survanto->perTypeLayers[0], 0);
    EXPECT_EQ(survanto->perTypeLayers[10], 1);
    EXPECT_EQ(survanto->perTypePens[0], 0);
    EXPECT_EQ(survanto->perTypePens[10], 36);
    EXPECT_EQ(survanto->trackingDelay, 250);
    EXPECT_EQ(survanto->importColumnWidths, (std::array<std::int16_t, 7> {50, 32, 100, 100, 100, 32, 40}));
    EXPECT_EQ(survanto->instrumentTempFile.ToPath(), host->WorkFolder() + "/AppData/quintair.tmp");
    EXPECT_EQ(survanto->exchangeFile.ToUtf8(), host->WorkFolder() + "/AppData/vezadovi4vuz.lse");
    ASSERT_EQ(survanto->profileList.GetSize(), 1u);
    ASSERT_EQ(survanto->profileList[0].points.GetSize(), 1u);
    EXPECT_EQ(survanto->profileList[0].points[0].x, 0.0);
    EXPECT_EQ(survanto->profileList[0].points[0].y, 0.0);
    ASSERT_EQ(survanto->profileList[0].ends.GetSize(), 2u);
    EXPECT_EQ(survanto->profileList[0].ends[0], -1);
    EXPECT_EQ(survanto->profileList[0].ends[1], 0);
    EXPECT_NE(theAttributeData, nullptr);
}

TEST(MainObject, FreeDataClearsThePointersBeforeTheObjectsGo)
{
    InProcessHost host;
    ASSERT_NE(theSurvanto.load(), nullptr);
    host->FreeData();
    EXPECT_EQ(theSurvanto.load(), nullptr);
    EXPECT_EQ(theAttributeData, nullptr);
}

TEST(MainObject, OpeningAProjectPostsOpneWhichRunsFromTheEventLoop)
{
    InProcessHost host;
    Survanto* survanto = theSurvanto.load();
    survanto->elementCreated = true;
    survanto->instrumentPromptSent = true;
    host->OpenProject("site");
    EXPECT_TRUE(survanto->elementCreated) << "runs only from the event loop";
    EXPECT_EQ(host->RunPendingCommands(), 1);
    EXPECT_FALSE(survanto->elementCreated);
    EXPECT_FALSE(survanto->instrumentPromptSent);
    EXPECT_EQ(host->Fact("posted"), "OPNE");
}

TEST(OwnChangeCounter, BalancedAndNeverBelowZero)
{
    InProcessHost host;
    EXPECT_EQ(GetOwnChangeCounter(), 0);
    EndOwnChange();
    EXPECT_EQ(GetOwnChangeCounter(), 0);
    BeginOwnChange("a");
    BeginOwnChange("b");
    EXPECT_EQ(GetOwnChangeCounter(), 2);
    EndOwnChange();
    EndOwnChange();
    EXPECT_EQ(GetOwnChangeCounter(), 0);
}

// A throwing command body must not leave the counter raised: every later user
// edit would then pass the element observer as the add-on's own.
TEST(OwnChangeCounter, AThrowingCommandBodyLeavesItWhereItWas)
{
    InProcessHost host;
    Survanto* survanto = theSurvanto.load();
    ASSERT_NE(survanto, nullptr);
    BeginOwnChange("outer");
    std::int32_t insideBody = 0;
    const GSErrCode result = survanto->RunChangeCommand([&insideBody]() -> GSErrCode {
        insideBody = GetOwnChangeCounter();
        throw std::runtime_error("body fails");
    });
    EXPECT_EQ(result, APIERR_GENERAL);
    EXPECT_EQ(insideBody, 2);
    EXPECT_EQ(GetOwnChangeCounter(), 1);

    EXPECT_THROW(
        {
            const OwnChangeScope ownChange;
            EXPECT_EQ(GetOwnChangeCounter(), 2);
            throw std::runtime_error("body fails");
        },
        std::runtime_error);
    EXPECT_EQ(GetOwnChangeCounter(), 1);
    EndOwnChange();
    EXPECT_EQ(GetOwnChangeCounter(), 0);
}

TEST(MainObject, ALanguageChangeReopensThePaletteWithItsTextsAndKeepsItsValues)
{
    InProcessHost host(WithLanguage("GER"));
    Survanto* survanto = theSurvanto.load();
    ASSERT_EQ(survanto->OpenPalette(503), 0);
    DG::SetItemValue(Survanto::MainPaletteDialogId, 26, 1.0);
    EXPECT_EQ(DG::GetItemText(Survanto::MainPaletteDialogId, 1).ToUtf8(), "Messgerät ausrichten");

    survanto->language = 2;
    EXPECT_EQ(survanto->ApplyLanguageResources(), 0);
    EXPECT_NE(survanto->GetOpenMode(), 0);
    EXPECT_EQ(DG::GetItemText(Survanto::MainPaletteDialogId, 1).ToUtf8(), "Orienter l'appareil");
    EXPECT_EQ(DG::GetItemValue(Survanto::MainPaletteDialogId, 26), 1.0);
    survanto->Close();
}
