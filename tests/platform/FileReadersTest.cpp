#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "GX/ImageBase.hpp"
#include "GX/PixMap.hpp"
#include "IO/File.hpp"
#include "IO/RegularFileReader.hpp"
#include "InProcessHost.hpp"
#include "RS/ResourceModule.hpp"
#include "Waiting.hpp"
#include "Win/Registry.hpp"
#include "Win/WinStandIns.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/CSettingsRecorder.hpp"

namespace fs = std::filesystem;

namespace
{

// The reader runs in a child process: one that waits on a pipe or reads a device
// without end fails its case when the deadline passes instead of hanging the test.
bool RefusedWithinDeadline(const std::function<bool()>& refused)
{
    const pid_t child = ::fork();
    if (child == 0) ::_exit(refused() ? 0 : 1);
    if (child < 0) return false;
    int status = 0;
    if (!WaitUntil([&] { return ::waitpid(child, &status, WNOHANG) != 0; }, std::chrono::seconds(20)))
    {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ADD_FAILURE() << "the reader still waits or reads after 20 s";
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool DebugOutputNames(const std::string& path)
{
    const auto output = Win::RecordedDebugOutput();
    return std::any_of(output.begin(), output.end(), [&](const std::string& line) { return line.rfind(path + ": ", 0) == 0; });
}

struct Reader
{
    const char* name;
    std::function<bool(const std::string& path)> refuses;
};

bool RecorderRefuses(std::int32_t mode, const std::string& path)
{
    CDataRecorder recorder(CDataRecorder::EncodingUtf8);
    recorder.SetMode(mode);
    recorder.SetPath(path.c_str());
    return recorder.OpenRead() != 0;
}

const Reader Readers[] = {
    {"IO::File",
     [](const std::string& path) {
         IO::File file {IO::Location(path)};
         return file.GetStatus() == IO::NotAFile || file.Open(IO::File::ReadMode) == IO::NotAFile;
     }},
    {"text file through the recorder (point list, tile description)",
     [](const std::string& path) { return RecorderRefuses(CDataRecorder::ModeHostFileText, path); }},
    {"C file through the recorder",
     [](const std::string& path) { return RecorderRefuses(CDataRecorder::ModeCFileBinary, path); }},
    {"configuration reader",
     [](const std::string& path) {
         CSettingsRecorder settings;
         settings.SetPath(path.c_str());
         settings.SetMode(CDataRecorder::ModeHostFileText);
         return settings.Load() != 0;
     }},
    {"language file", [](const std::string& path) { return RS::OpenResourceFile(path) == 0 && DebugOutputNames(path); }},
    {"registry file",
     [](const std::string& path) {
         Win::SetRegistryFile(path);
         Win::HKEY key = 0;
         const bool refused =
             Win::RegOpenKeyEx(Win::HKEY_LOCAL_MACHINE, "SOFTWARE", Win::KEY_READ, key) == Win::ERROR_FILE_NOT_FOUND &&
             !Win::SetRegistryValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\A", "B", "c") && DebugOutputNames(path);
         struct stat info
         {};
         return refused && ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);  // not replaced
     }},
    {"regular file reader (exchange file)", [](const std::string& path) { return !IO::RegularFileReader(path).IsOpen(); }},
    {"image file",
     [](const std::string& path) {
         GSPixMapHandle pixMap = nullptr;
         return !GX::ImageBase::ReadFile(IO::Location(path), pixMap, GSPixMapPixelType32) && pixMap == nullptr;
     }},
};

}  // namespace

// Whatever a user puts in a file's place, every shared reader refuses it at once:
// none waits for a pipe's writer or reads a device's endless bytes.
TEST(SharedReaders, RefuseWhatIsNotARegularFileWithoutWaiting)
{
    TempFolder folder;
    const std::string pipe = folder.path() + "/pipe.jpg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_directory(folder.path() + "/folder.jpg");
    fs::create_symlink(pipe, folder.path() + "/link-to-pipe.png");
    fs::create_symlink("/dev/zero", folder.path() + "/link-to-zero.bmp");
    const std::string places[] = {pipe, folder.path() + "/folder.jpg", "/dev/zero", folder.path() + "/link-to-pipe.png",
                                  folder.path() + "/link-to-zero.bmp"};
    for (const Reader& reader : Readers)
        for (const std::string& place : places)
        {
            SCOPED_TRACE(std::string(reader.name) + " on " + place);
            EXPECT_TRUE(RefusedWithinDeadline([&] { return reader.refuses(place); }));
        }
}

// A file the add-on replaces keeps its permissions: a private file does not become
// readable by everyone through a new copy.
TEST(SharedWriters, AReplacedFileKeepsItsPermissions)
{
    TempFolder folder;
    const std::string path = folder.path() + "/private";
    const std::function<bool()> writers[] = {
        [&] {
            CDataRecorder recorder(CDataRecorder::EncodingUtf8);
            recorder.SetMode(CDataRecorder::ModeHostFileBinary);
            recorder.SetPath(path.c_str());
            return recorder.OpenWrite() == 0 && recorder.WriteLong(7) && recorder.Close() == 0;
        },
        [&] {
            Win::SetRegistryFile(path);
            const bool written = Win::SetRegistryValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\A", "B", "c");
            Win::SetRegistryFile({});
            return written;
        },
        [&] {
            GSPixMapHandle pixMap = GXCreateGSPixMap(2, 2, 72, 72);
            const bool written = GX::ImageBase::WriteFile(IO::Location(path), FTM::FileTypeManager::Png, pixMap);
            GXDeleteGSPixMap(pixMap);
            return written;
        },
    };
    for (const auto& write : writers)
    {
        fs::remove(path);
        std::ofstream(path) << "old";
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        ASSERT_TRUE(write());
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_NE(FileText(path), "old");
    }
}
