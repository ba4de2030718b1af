#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "InProcessHost.hpp"
#include "LanguageFile.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"

namespace
{

class ShowAlertTest : public ::testing::Test
{
protected:
    void SetUp() override { DG::ClearRecordedAlerts(); }

    InProcessHost host_;
};

struct AlertCase
{
    const char* name;
    std::int16_t type;
    std::int32_t title, largeText, smallText, button1, button2, button3;
    std::vector<short> queuedAnswers;
    std::int16_t expectedAnswer;
    const char* expectedTitle;
    const char* expectedLargeText;
    const char* expectedSmallText;
    const char* expectedButton1;
    const char* expectedButton2;
    const char* expectedButton3;
};

}  // namespace

TEST_F(ShowAlertTest, FetchesEachTextByItsIndexAndAnswersWithThePressedButton)
{
    const AlertCase cases[] = {
        {"version alert",
         AlertError,
         3,
         73,
         NoAlertText,
         1,
         NoAlertText,
         NoAlertText,
         {},
         1,
         "Survanto - Fehler!",
         "PointCab version 3.6 oder neuer ist benötigt zum benutzung der koordinaten ermitlung.",
         "",
         "OK",
         "",
         ""},
        {"no wall for the opening",
         AlertError,
         3,
         13,
         NoAlertText,
         1,
         NoAlertText,
         NoAlertText,
         {},
         1,
         "Survanto - Fehler!",
         "Achtung! Es kann keine Öffnung platziert werden. Die betroffene Wand wurde nicht gefunden!",
         "",
         "OK",
         "",
         ""},
        {"instrument question, second button left out",
         AlertInformation,
         31,
         32,
         NoAlertText,
         33,
         NoAlertText,
         34,
         {3},
         3,
         "Messgerät Verbindungsaufbau",
         "Es ist noch kein Messgerät verbunden. Möchten Sie die Verbindung herstellen?",
         "",
         "Ja",
         "",
         "Nein"},
        {"wall not reserved, three buttons",
         AlertError,
         3,
         19,
         20,
         21,
         22,
         23,
         {2},
         2,
         "Survanto - Fehler!",
         "Die ausgewählte Wand ist nicht reserviert!",
         "Sollen nur die Punkte der Konstruktion gemessen werden?",
         "OK",
         "Abbrechen",
         "Wiederholen"},
        {"indexes the list does not hold",
         AlertWarning,
         30000,
         0,
         5000,
         65537,
         -2,
         7,
         {},
         1,
         "",
         "",
         "",
         "",
         "",
         "Survanto - Warnung!"},
        {"an entry the list keeps empty", AlertWarning, 4, 4, 4, 4, 4, 4, {}, 1, "", "", "", "", "", ""},
    };
    for (const auto& c : cases)
    {
        DG::ClearRecordedAlerts();
        for (const short answer : c.queuedAnswers) DG::QueueAlertAnswer(answer);
        const std::int16_t answer = ShowAlert(c.type, AlertStringListId, c.title, c.largeText, c.smallText, c.button1, c.button2,
                                              c.button3, CurrentResourceModule(), AlertStringType);
        EXPECT_EQ(answer, c.expectedAnswer) << c.name;
        ASSERT_EQ(DG::RecordedAlerts().size(), 1u) << c.name;
        const DG::AlertRecord& shown = DG::RecordedAlerts().front();
        EXPECT_EQ(shown.type, c.type) << c.name;
        EXPECT_EQ(shown.title.ToUtf8(), c.expectedTitle) << c.name;
        EXPECT_EQ(shown.text1.ToUtf8(), c.expectedLargeText) << c.name;
        EXPECT_EQ(shown.text2.ToUtf8(), c.expectedSmallText) << c.name;
        EXPECT_TRUE(shown.text3.IsEmpty()) << c.name;
        EXPECT_EQ(shown.button1.ToUtf8(), c.expectedButton1) << c.name;
        EXPECT_EQ(shown.button2.ToUtf8(), c.expectedButton2) << c.name;
        EXPECT_EQ(shown.button3.ToUtf8(), c.expectedButton3) << c.name;
    }
}

TEST_F(ShowAlertTest, TakesTheTextsFromTheGivenModuleAndList)
{
    const LanguageFile english("SurvantoInt.lng");
    const LanguageFile french("SurvantoFra.lng");
    ShowAlert(AlertError, AlertStringListId, 3, 13, NoAlertText, 1, NoAlertText, NoAlertText, english.module(), AlertStringType);
    ShowAlert(AlertError, AlertStringListId, 3, 13, NoAlertText, 1, NoAlertText, NoAlertText, french.module(), AlertStringType);
    ShowAlert(AlertError, 32549, 3, 13, NoAlertText, 1, NoAlertText, NoAlertText, CurrentResourceModule(), AlertStringType);
    ShowAlert(AlertError, AlertStringListId, 3, 13, NoAlertText, 1, NoAlertText, NoAlertText, 0, AlertStringType);

    const auto& shown = DG::RecordedAlerts();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].title.ToUtf8(), "Survanto - Error!");
    EXPECT_EQ(shown[0].text1.ToUtf8(), "Attention! No opening can be placed. The wall was not found!");
    EXPECT_EQ(shown[1].title.ToUtf8(), "Survanto - Erreur !");
    for (std::size_t i = 2; i < shown.size(); ++i)
    {
        EXPECT_TRUE(shown[i].title.IsEmpty()) << i;
        EXPECT_TRUE(shown[i].text1.IsEmpty()) << i;
        EXPECT_TRUE(shown[i].button1.IsEmpty()) << i;
    }
}

TEST_F(ShowAlertTest, LeavesPlaceholdersAndLineBreaksAsTheListHoldsThem)
{
    const GSResModule german = CurrentResourceModule();
    const auto text = [german](std::int16_t index) { return RS::GetIndString(AlertStringListId, index, german).ToUtf8(); };
    EXPECT_NE(text(6).find("Standort %s aktiv"), std::string::npos);
    EXPECT_EQ(text(61), "Ihre Versionsnummer [vnum1]\r\nNeueste Versionsnummer [vnum2]");
    EXPECT_EQ(text(76), "Die Ebene für dieses Werkzeug wurde gelöscht.\r\nBitte wählen Sie eine andere Ebene aus.");
    EXPECT_NE(text(64).find("Version aus.\r\nWählen Sie dazu"), std::string::npos);
    EXPECT_NE(text(64).find("den Befehl \"BIM-Server-Bibliotheken verwalten...\" Die aktuelle"), std::string::npos);
    EXPECT_EQ(text(78).find("Die Ebene \"[LAYERNAME]\" ist ausgeblendet."), 0u);
    EXPECT_NE(text(81).find("unter \"[FILEPATH]\" nicht"), std::string::npos);
}
