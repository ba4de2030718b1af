#include <gtest/gtest.h>

#include <sstream>

#include "DG/DG.hpp"
#include "Scenario.hpp"

namespace
{

SimHost::Host::Options AddOnOptions()
{
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    return options;
}

// A scenario answers the save-file dialogs to come, in order.
TEST(ScenarioVerbs, AnswerFileQueuesTheUsersChoice)
{
    DG::ForgetAllDialogs();
    std::ostringstream out;
    SimHost::Scenario scenario(AddOnOptions(), out);
    ASSERT_TRUE(scenario.RunText("start\nanswer-file cancel\nanswer-file report.txt\nanswer-file /tmp/other.txt\n")) << out.str();
    IO::Location chosen;
    EXPECT_FALSE(DGGetSaveFile(&chosen, 0, nullptr, nullptr, nullptr, "first"));
    ASSERT_TRUE(DGGetSaveFile(&chosen, 0, nullptr, nullptr, nullptr, "second"));
    EXPECT_EQ(chosen.ToPath(), scenario.GetHost()->WorkFolder() + "/report.txt");
    ASSERT_TRUE(DGGetSaveFile(&chosen, 0, nullptr, nullptr, nullptr, "third"));
    EXPECT_EQ(chosen.ToPath(), "/tmp/other.txt");
    EXPECT_FALSE(DGGetSaveFile(&chosen, 0, nullptr, nullptr, nullptr, "unanswered"));
    EXPECT_EQ(DG::RecordedFileDialogs().size(), 4u);
    DG::ForgetAllDialogs();
}

TEST(ScenarioVerbs, BadTeamworkAndFileAnswersFailWithTheirLine)
{
    const struct
    {
        const char* text;
        int failingLine;
    } cases[] = {
        {"start\nanswer-file\n", 2},
        {"start\nteamwork-user 1 anna\n", 2},
        {"start\nnew-project\nteamwork-user anna\n", 3},
        {"start\nnew-project\nteamwork-user 2\n", 3},
        {"start\nnew-project\nteamwork-user 40000 anna\n", 3},
    };
    for (const auto& c : cases)
    {
        std::ostringstream out;
        {
            SimHost::Scenario scenario(AddOnOptions(), out);
            EXPECT_FALSE(scenario.RunText(c.text, "case")) << c.text;
        }
        EXPECT_EQ(out.str().rfind("case:" + std::to_string(c.failingLine) + ": ", 0), 0u) << c.text << out.str();
    }
}

}  // namespace
