// An exchange folder the add-on may read but not write, played by survanto-host in
// a child process that obeys permission bits: as root it gives up the capabilities
// that override them, so the folder's write really fails.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "ChildHost.hpp"

namespace fs = std::filesystem;

namespace
{

std::vector<std::string> WithoutOverridingPermissions()
{
    if (::getuid() != 0) return {};
    const std::string dropped = "-dac_override,-dac_read_search,-fowner";
    return {"setpriv", "--inh-caps=" + dropped, "--bounding-set=" + dropped};
}

class UnwritableExchangeFolder : public ::testing::Test
{
protected:
    UnwritableExchangeFolder()
        : folder_(fs::temp_directory_path() / ("survanto-unwritable-" + std::to_string(std::random_device {}())))
    {
        fs::create_directories(folder_);
    }
    ~UnwritableExchangeFolder() override
    {
        std::error_code ec;
        fs::permissions(folder_ / "work" / "AppData", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(folder_, ec);
    }
    fs::path folder_;
};

TEST_F(UnwritableExchangeFolder, KeepsTheAnnotationTellsOnceAndTakesPointsOnceWritable)
{
    const std::string exchangeFolder = (folder_ / "work" / "AppData").string();
    const std::string alert =
        "[Survanto - Fehler!: Achtung! Das Survanto Add-On kann Daten von PointCab unter \"" + exchangeFolder +
        "\" nicht empfangen. | Bitte überprüfen Sie, ob Sie die nötigen Zugriffsrechte haben und ob PointCab "
        "den selben Ordner zum Senden der Daten verwendet.]";
    const std::string scenario = "start\nnew-project\n"
                                 "annotation {ro-0001} 2 3 4 0 0 0 0 0\n"
                                 "exchange-folder read-only\n"
                                 "wait-newp\n"
                                 "expect exchange-annotations = 1\n"
                                 "expect alerts = " +
                                 alert +
                                 "\n"
                                 // Every further change is tried again, and the user is not told twice.
                                 "exchange-folder read-only\n"
                                 "wait-newp\n"
                                 "expect exchange-annotations = 1\n"
                                 "expect alerts = " +
                                 alert +
                                 "\n"
                                 "exchange-folder writable\n"
                                 "wait-newp\n"
                                 "expect exchange-annotations = 0\n"
                                 "expect alerts = " +
                                 alert +
                                 "\n"
                                 "free\n";
    const ChildRun run = RunHostProcess(folder_.string(), scenario, WithoutOverridingPermissions());
    ASSERT_TRUE(run.ended) << run.out << run.err;
    ASSERT_TRUE(WIFEXITED(run.status)) << run.out << run.err;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.out << run.err;
}

}  // namespace
