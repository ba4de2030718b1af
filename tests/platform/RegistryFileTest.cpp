#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessHost.hpp"
#include "Win/Registry.hpp"
#include "Win/WinStandIns.hpp"

namespace fs = std::filesystem;

namespace
{

const std::string Key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orbolink";

std::string Query(const std::string& name)
{
    Win::HKEY key = 0;
    if (Win::RegOpenKeyEx(Win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Orbolink", Win::KEY_READ, key) != Win::ERROR_SUCCESS)
        return "(no key)";
    std::string text;
    const long found = Win::RegQueryValueEx(key, name, 256, text);
    Win::RegCloseKey(key);
    return found == Win::ERROR_SUCCESS ? text : "(missing)";
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The values of the file by name, read as a line of the file is written.
std::map<std::string, std::string> ValuesIn(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
    {
        const auto first = line.find('\t'), second = line.find('\t', first + 1);
        if (line.compare(0, first, Key) == 0 && second != std::string::npos)
            values[line.substr(first + 1, second - first - 1)] = line.substr(second + 1);
    }
    return values;
}

// The registry file's folder: in memory where the system has one, since the race
// below is about writers taking turns, not about the disk.
class RaceFolder
{
public:
    RaceFolder()
    {
        std::string pattern = (fs::is_directory("/dev/shm") ? std::string("/dev/shm") : fs::temp_directory_path().string()) +
                              "/survanto-registry-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~RaceFolder()
    {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A child that sets its values one after the other and reports each write's
// answer through the pipe, one byte a value.
pid_t StartWriter(const std::string& file, const std::string& prefix, int count, int reportTo)
{
    const pid_t child = ::fork();
    if (child != 0) return child;
    Win::SetRegistryFile(file);
    for (int i = 0; i < count; ++i)
    {
        const char written = Win::SetRegistryValue(Key, prefix + std::to_string(i), "value " + std::to_string(i)) ? 1 : 0;
        if (::write(reportTo, &written, 1) != 1) ::_exit(2);
    }
    ::_exit(0);
}

std::vector<char> Answers(int from, int count)
{
    std::vector<char> answers(static_cast<std::size_t>(count));
    std::size_t got = 0;
    while (got < answers.size())
    {
        const ssize_t n = ::read(from, answers.data() + got, answers.size() - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    answers.resize(got);
    return answers;
}

}  // namespace

class RegistryFile : public ::testing::Test
{
protected:
    void SetUp() override { Win::ClearRecords(); }
    void TearDown() override { Win::SetRegistryFile({}); }
};

// Two processes write at once: no value that was reported written is lost to the
// other writer, and a value written before the race is still there.
TEST_F(RegistryFile, TwoProcessesWritingAtOnceLoseNoValue)
{
    constexpr int Values = 1000;
    RaceFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::string file = folder.path() + "/registry.txt";
    Win::SetRegistryFile(file);
    ASSERT_TRUE(Win::SetRegistryValue(Key, "InstallDir", "/opt/orbolink/"));

    int first[2], second[2];
    ASSERT_EQ(::pipe(first), 0);
    ASSERT_EQ(::pipe(second), 0);
    const pid_t a = StartWriter(file, "A", Values, first[1]);
    const pid_t b = StartWriter(file, "B", Values, second[1]);
    ::close(first[1]);
    ::close(second[1]);
    const std::vector<char> answersA = Answers(first[0], Values), answersB = Answers(second[0], Values);
    ::close(first[0]);
    ::close(second[0]);
    int statusA = 0, statusB = 0;
    ::waitpid(a, &statusA, 0);
    ::waitpid(b, &statusB, 0);
    ASSERT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0);
    ASSERT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0);
    ASSERT_EQ(answersA.size(), std::size_t(Values));
    ASSERT_EQ(answersB.size(), std::size_t(Values));

    EXPECT_EQ(Query("InstallDir"), "/opt/orbolink/");
    const std::map<std::string, std::string> stored = ValuesIn(FileText(file));
    int reported = 0, missing = 0;
    for (int i = 0; i < Values; ++i)
        for (const auto* side : {&answersA, &answersB})
        {
            if ((*side)[std::size_t(i)] == 0) continue;
            ++reported;
            const auto found = stored.find(std::string(side == &answersA ? "A" : "B") + std::to_string(i));
            if (found == stored.end() || found->second != "value " + std::to_string(i)) ++missing;
        }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(reported, 2 * Values) << "a writer waits for the other rather than failing";
    const auto left = std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator());
    EXPECT_EQ(left, 2) << "the registry and its lock file, no file left aside";
}

// A line that holds no value is told with its file and line, read past, and
// written back as it was; the values around it stay readable.
TEST_F(RegistryFile, ABrokenLineIsToldAndKept)
{
    TempFolder folder;
    const std::string file = folder.path() + "/registry.txt";
    std::ofstream(file) << Key << "\tInstallDir\t/opt/orbolink/\r\n"
                        << "no tabs here\n"
                        << "\n"
                        << Key << "\tonly one tab\n"
                        << Key << "\tVersion\t4.2\n";
    Win::SetRegistryFile(file);
    EXPECT_EQ(Query("InstallDir"), "/opt/orbolink/");
    EXPECT_EQ(Query("Version"), "4.2");
    EXPECT_EQ(Win::RecordedDebugOutput(),
              (std::vector<std::string> {file + ":2: not a value (key, tab, name, tab, text); ignored",
                                         file + ":4: not a value (key, tab, name, tab, text); ignored"}))
        << "each broken line is told once, however often the file is read";

    ASSERT_TRUE(Win::SetRegistryValue(Key, "Version", "4.3"));
    EXPECT_EQ(FileText(file),
              Key + "\tInstallDir\t/opt/orbolink/\nno tabs here\n" + Key + "\tonly one tab\n" + Key + "\tVersion\t4.3\n");
}

// A registry file that cannot be read is not replaced by one holding a single value.
TEST_F(RegistryFile, AFileThatCannotBeReadIsNotOverwritten)
{
    TempFolder folder;
    const std::string file = folder.path() + "/registry.txt";
    std::ofstream(file) << Key << "\tInstallDir\t/opt/orbolink/\n";
    fs::permissions(file, fs::perms::none);
    if (::access(file.c_str(), R_OK) == 0) GTEST_SKIP() << "the test runs with rights to read any file";
    Win::SetRegistryFile(file);
    EXPECT_FALSE(Win::SetRegistryValue(Key, "Version", "4.2"));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Query("InstallDir"), "/opt/orbolink/");
}
