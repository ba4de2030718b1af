#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "ChildHost.hpp"
#include "InProcessHost.hpp"
#include "Scenario.hpp"

// What a scenario finds in its work folder, and what its verbs say of a palette a
// user's hand cannot reach.

namespace fs = std::filesystem;

namespace
{

bool PassedAlone(const ChildRun& run) { return run.ended && WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0; }

// The user opens the main palette from the menu; the host quits with it open, and so
// keeps its open state in the work folder.
const char* const OpensTheMainPalette = "start\nnew-project\n"
                                        "expect-dialog 32450 = closed\n"
                                        "menu 32500\n"
                                        "expect-dialog 32450 = open\n"
                                        "quit\nfree\n";

}  // namespace

TEST(ScenarioWorkFolder, ASecondRunStartsCleanUnlessItKeepsTheState)
{
    TempFolder folder;
    const ChildRun first = RunHostProcess(folder.path(), OpensTheMainPalette);
    ASSERT_TRUE(PassedAlone(first)) << first.out << first.err;
    ASSERT_TRUE(fs::exists(fs::path(folder.path()) / "work" / "Preferences.json")) << "the palette's state was not kept";

    const ChildRun again = RunHostProcess(folder.path(), OpensTheMainPalette);
    EXPECT_TRUE(PassedAlone(again)) << again.out << again.err;

    const ChildRun kept = RunHostProcess(folder.path(), "keep-work-state\nstart\nnew-project\n"
                                                        "expect-dialog 32450 = open\nquit\nfree\n");
    EXPECT_TRUE(PassedAlone(kept)) << kept.out << kept.err;

    const ChildRun late = RunHostProcess(folder.path(), "start\nkeep-work-state\n");
    EXPECT_FALSE(PassedAlone(late));
    EXPECT_NE(late.out.find("keep-work-state belongs before start"), std::string::npos) << late.out;
}

TEST(ScenarioWorkFolder, PictureVerbsWriteIntoTheWorkFolder)
{
    TempFolder work;
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    options.workFolder = work.path();
    std::ostringstream out;
    SimHost::Scenario scenario(options, out);
    ASSERT_TRUE(scenario.RunText("start\nnew-project\nadd-wall 0 0 4 0 0.3 0\n"
                                 "plan-picture pictures-plan.png\naxon-picture pictures-axon.png\n"))
        << out.str();
    for (const char* name : {"pictures-plan.png", "pictures-axon.png"})
    {
        EXPECT_TRUE(fs::exists(fs::path(work.path()) / name)) << name;
        EXPECT_FALSE(fs::exists(fs::current_path() / name)) << name << " lies in the current folder";
    }
}

TEST(ScenarioDialogs, AVerbSaysWhetherTheDialogIsClosedOrMissing)
{
    struct Case
    {
        const char* line;
        const char* message;
    };
    const Case cases[] = {
        {"click 32450 15", "palette 32450 is closed: item 15 cannot be reached"},
        {"set-item 32450 17 1", "palette 32450 is closed: item 17 cannot be reached"},
        {"close-dialog 32450", "palette 32450 is closed"},
        {"click 32111 1", "there is no dialog 32111: item 1 cannot be reached"},
        {"close-dialog 32111", "there is no dialog 32111"},
    };
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    std::ostringstream started;
    SimHost::Scenario scenario(options, started);
    ASSERT_TRUE(scenario.RunText("start\nnew-project\nmenu 32500\nclose-dialog 32450\nexpect-dialog 32450 = closed\n"))
        << started.str();
    for (const Case& c : cases) EXPECT_FALSE(scenario.RunText(std::string(c.line) + "\n", "probe")) << c.line;
    const std::string said = started.str();
    for (const Case& c : cases)
        EXPECT_NE(said.find(std::string("probe:1: ") + c.message + "\n"), std::string::npos) << c.line << "\n" << said;
}
