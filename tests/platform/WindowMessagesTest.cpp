#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Win/MessageReceiver.hpp"
#include "Win/WinStandIns.hpp"
#include "Win/WindowMessages.hpp"

namespace fs = std::filesystem;

namespace
{

constexpr const char* MessageName = "WM_SURVANTO_FOLDER_TEST";

// A desktop folder path of its own under a fresh temporary folder, as the
// message folder for as long as it lives.
class Desktop
{
public:
    Desktop()
    {
        std::string pattern = (fs::temp_directory_path() / "survanto-messages-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
        base_ = pattern;
        Win::SetMessageFolder(Folder());
    }
    ~Desktop()
    {
        Win::SetMessageFolder({});
        std::error_code ignored;
        fs::remove_all(base_, ignored);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    std::string Base() const { return base_; }
    std::string Folder() const { return base_ + "/desktop"; }

private:
    std::string base_;
};

// A datagram socket bound at the path, as another user's listener would be.
class Eavesdropper
{
public:
    explicit Eavesdropper(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            ADD_FAILURE() << "cannot bind " << path;
    }
    ~Eavesdropper() { ::close(fd_); }
    Eavesdropper(const Eavesdropper&) = delete;
    Eavesdropper& operator=(const Eavesdropper&) = delete;

    bool HeardAnything() const
    {
        char byte = 0;
        return ::recv(fd_, &byte, 1, MSG_DONTWAIT) >= 0;
    }

private:
    int fd_;
};

// Whether a line of the debug output from the given line on holds the text.
bool DebugOutputHas(std::size_t from, const std::string& text)
{
    const std::vector<std::string> lines = Win::RecordedDebugOutput();
    for (std::size_t at = from; at < lines.size(); ++at)
        if (lines[at].find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(MessageFolder, AFolderOthersMayEnterIsRefusedAndNothingIsSent)
{
    const std::uint32_t message = Win::RegisterWindowMessage(MessageName);
    struct Case
    {
        const char* label;
        std::function<void(const Desktop&)> prepare;  // makes the desktop folder and the message's folder in it
        std::string why;
        bool needsRoot = false;  // only root can give a folder away
    };
    const auto folderWithMode = [](mode_t mode) {
        return [mode](const Desktop& desktop) {
            fs::create_directories(desktop.Folder() + "/" + MessageName);
            ::chmod(desktop.Folder().c_str(), mode);
        };
    };
    const Case cases[] = {
        {"made in advance for everyone", folderWithMode(0777), "other users may enter it (mode 0777)"},
        {"open to the group", folderWithMode(0750), "other users may enter it (mode 0750)"},
        {"a link to a sound folder",
         [](const Desktop& desktop) {
             const std::string elsewhere = desktop.Base() + "/elsewhere";
             fs::create_directories(elsewhere + "/" + MessageName);
             ::chmod(elsewhere.c_str(), 0700);
             fs::create_directory_symlink(elsewhere, desktop.Folder());
         },
         "it is a symbolic link"},
        {"another user's",
         [folderWithMode](const Desktop& desktop) {
             folderWithMode(0700)(desktop);
             if (::chown(desktop.Folder().c_str(), 65534, 65534) != 0) ADD_FAILURE() << "the folder was not given away";
         },
         "it belongs to user 65534", true},
    };
    for (const Case& c : cases)
    {
        if (c.needsRoot && ::geteuid() != 0) continue;
        const Desktop desktop;
        c.prepare(desktop);
        const Eavesdropper eavesdropper(desktop.Folder() + "/" + MessageName + "/listener");
        const std::string refusal = "the message folder " + desktop.Folder() + " is refused: " + c.why;

        const Win::MessageReceiver receiver(message);
        EXPECT_FALSE(receiver.IsListening()) << c.label;
        EXPECT_EQ(receiver.Error(), refusal) << c.label;

        const std::size_t linesBefore = Win::RecordedDebugOutput().size();
        EXPECT_FALSE(Win::PostMessage(Win::HWND_BROADCAST, message, 14, 0)) << c.label;
        EXPECT_TRUE(DebugOutputHas(linesBefore, refusal)) << c.label;
        EXPECT_FALSE(eavesdropper.HeardAnything()) << c.label;
    }
}

TEST(MessageFolder, AFolderOfTheUsersOwnCarriesMessagesThroughSocketsForTheUserAlone)
{
    const std::uint32_t message = Win::RegisterWindowMessage(MessageName);
    for (const bool madeInAdvance : {false, true})
    {
        const Desktop desktop;
        if (madeInAdvance)
        {
            fs::create_directory(desktop.Folder());
            ::chmod(desktop.Folder().c_str(), 0700);
        }
        Win::MessageReceiver receiver(message);
        ASSERT_TRUE(receiver.IsListening()) << receiver.Error();
        struct stat folder
        {};
        ASSERT_EQ(::lstat(desktop.Folder().c_str(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 0777, 0700u) << madeInAdvance;
        for (const auto& entry : fs::directory_iterator(desktop.Folder() + "/" + MessageName))
        {
            struct stat socketFile
            {};
            ASSERT_EQ(::lstat(entry.path().c_str(), &socketFile), 0);
            EXPECT_TRUE(S_ISSOCK(socketFile.st_mode)) << entry.path();
            EXPECT_EQ(socketFile.st_mode & 0777, 0600u) << entry.path();
        }
        EXPECT_TRUE(Win::PostMessage(Win::HWND_BROADCAST, message, 14, 2));
        const std::vector<Win::WindowMessage> heard = receiver.TakeWaiting();
        ASSERT_EQ(heard.size(), 1u) << madeInAdvance;
        EXPECT_EQ(heard.front().firstParameter, 14u);
        EXPECT_EQ(heard.front().secondParameter, 2u);
    }
}
