// Folder change notifications as the watcher waits on them. The system queues a
// change before the call that makes it returns, so no test waits for time to pass.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "InProcessHost.hpp"
#include "Win/ChangeNotification.hpp"
#include "Win/SignalEvent.hpp"

namespace fs = std::filesystem;

namespace
{

// Whether the handle is signalled now: an event set behind it answers when it is not.
bool Signalled(const Win::WaitHandle& handle)
{
    Win::SignalEvent otherwise;
    otherwise.Set();
    return Win::WaitForMultipleObjects({&handle, &otherwise}) == Win::WAIT_OBJECT_0;
}

constexpr std::uint32_t ExchangeChanges = Win::FILE_NOTIFY_CHANGE_FILE_NAME | Win::FILE_NOTIFY_CHANGE_SIZE |
                                          Win::FILE_NOTIFY_CHANGE_LAST_WRITE | Win::FILE_NOTIFY_CHANGE_CREATION;

TEST(ChangeNotification, SignalsTheChangesAskedForWhereTheyWereAskedFor)
{
    struct Case
    {
        const char* label;
        std::uint32_t filter;
        bool subtree;
        std::function<void(const std::string& folder)> change;
        bool signalled;
    };
    const auto append = [](const std::string& path) { std::ofstream(path, std::ios::app) << "x"; };
    const Case cases[] = {
        {"a new file", ExchangeChanges, true, [](const std::string& f) { std::ofstream(f + "/new.lse"); }, true},
        {"a write", ExchangeChanges, true, [&](const std::string& f) { append(f + "/old.lse"); }, true},
        {"a new time alone", ExchangeChanges, true,
         [](const std::string& f) {
             fs::last_write_time(f + "/old.lse", fs::file_time_type::clock::now() - std::chrono::hours(1));
         },
         true},
        {"a file renamed into place", ExchangeChanges, true,
         [](const std::string& f) {
             std::ofstream(f + "/.aside") << "y";
             fs::rename(f + "/.aside", f + "/old.lse");
         },
         true},
        {"a write in a subfolder", ExchangeChanges, true, [&](const std::string& f) { append(f + "/sub/old.lse"); }, true},
        {"a write in a subfolder, subtree not asked for", ExchangeChanges, false,
         [&](const std::string& f) { append(f + "/sub/old.lse"); }, false},
        {"a write, names alone asked for", Win::FILE_NOTIFY_CHANGE_FILE_NAME, false,
         [&](const std::string& f) { append(f + "/old.lse"); }, false},
        {"a file renamed, sizes alone asked for", Win::FILE_NOTIFY_CHANGE_SIZE, false,
         [](const std::string& f) { fs::rename(f + "/old.lse", f + "/renamed.lse"); }, false},
        {"a file removed, names asked for", Win::FILE_NOTIFY_CHANGE_FILE_NAME, false,
         [](const std::string& f) { fs::remove(f + "/old.lse"); }, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        TempFolder folder;
        fs::create_directory(folder.path() + "/sub");
        std::ofstream(folder.path() + "/old.lse") << "old";
        std::ofstream(folder.path() + "/sub/old.lse") << "old";
        Win::ChangeNotification notification(folder.path(), c.subtree, c.filter);
        ASSERT_TRUE(notification.Valid());
        EXPECT_FALSE(Signalled(notification));
        c.change(folder.path());
        EXPECT_EQ(Signalled(notification), c.signalled);
    }
}

TEST(ChangeNotification, RearmingWaitsForTheNextChangeAlsoInASubfolderMadeMeanwhile)
{
    TempFolder folder;
    Win::ChangeNotification notification(folder.path(), true, ExchangeChanges);
    ASSERT_TRUE(notification.Valid());
    fs::create_directories(folder.path() + "/Jobs");
    ASSERT_TRUE(Signalled(notification));
    ASSERT_TRUE(notification.Rearm());
    EXPECT_FALSE(Signalled(notification)) << "the changes seen are taken";
    std::ofstream(folder.path() + "/Jobs/scan.txt") << "x";
    EXPECT_TRUE(Signalled(notification));
    ASSERT_TRUE(notification.Rearm());
    EXPECT_FALSE(Signalled(notification));
}

TEST(ChangeNotification, AFolderThatIsNotThereOrGoesAwayEndsTheWatch)
{
    TempFolder folder;
    Win::ChangeNotification missing(folder.path() + "/fehlt", true, ExchangeChanges);
    EXPECT_FALSE(missing.Valid());
    Win::SignalEvent stop;
    EXPECT_EQ(Win::WaitForMultipleObjects({&stop, &missing}), Win::WAIT_FAILED);

    const std::string watched = folder.path() + "/PointCab";
    fs::create_directories(watched + "/sub");
    Win::ChangeNotification notification(watched, true, ExchangeChanges);
    ASSERT_TRUE(notification.Valid());
    fs::remove_all(watched);
    ASSERT_TRUE(Signalled(notification));
    EXPECT_FALSE(notification.Rearm());
}

TEST(SignalEvent, StaysSignalledOnceSetAndTheFirstSignalledHandleWins)
{
    TempFolder folder;
    Win::SignalEvent stop;
    Win::ChangeNotification notification(folder.path(), true, ExchangeChanges);
    ASSERT_TRUE(stop.Valid());
    EXPECT_FALSE(Signalled(stop));
    stop.Set();
    std::ofstream(folder.path() + "/new.lse") << "x";
    EXPECT_EQ(Win::WaitForMultipleObjects({&stop, &notification}), Win::WAIT_OBJECT_0);
    EXPECT_EQ(Win::WaitForMultipleObjects({&notification, &stop}), Win::WAIT_OBJECT_0);
    EXPECT_EQ(Win::WaitForMultipleObjects({&stop}), Win::WAIT_OBJECT_0) << "still signalled after the waits";
}

}  // namespace
