#include "Win/Registry.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <vector>

#include "SafeFiles.hpp"
#include "Win/WinStandIns.hpp"

namespace Win
{

namespace
{

// A line of the file as it was, within the file's bytes; its key, name and text
// when it holds a value. A line that holds none is kept as it was when the file
// is written again.
struct RegistryLine
{
    std::string_view written;
    bool holdsValue = false;
    std::string_view key;
    std::string_view name;
    std::string_view text;
};

struct RegistryContent
{
    std::string bytes;
    std::vector<RegistryLine> lines;
};

struct RegistryState
{
    std::mutex mutex;
    std::string file;
    HKEY nextKey = 0x1000;
    std::map<HKEY, std::string> openKeys;
    std::set<std::string> told;  // what was told about the file already, so each is told once
};

RegistryState& TheRegistry()
{
    static RegistryState state;
    return state;
}

bool SameWithoutCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

RegistryLine LineOf(std::string_view written)
{
    RegistryLine line;
    line.written = written;
    const std::size_t first = written.find('\t');
    const std::size_t second = first == std::string_view::npos ? first : written.find('\t', first + 1);
    line.holdsValue = second != std::string_view::npos && first != 0 && second != first + 1;
    if (!line.holdsValue) return line;
    line.key = written.substr(0, first);
    line.name = written.substr(first + 1, second - first - 1);
    line.text = written.substr(second + 1);
    return line;
}

void TellOnce(RegistryState& r, const std::string& message, std::string_view about = {})
{
    if (r.told.insert(message + "\n" + std::string(about)).second) OutputDebugString(message);
}

// The file's lines; false when it is there but cannot be read (a missing file holds no lines).
bool ReadContent(RegistryState& r, RegistryContent& content)
{
    content.lines.clear();
    const SafeFiles::Refusal refusal = SafeFiles::ReadRegular(r.file, content.bytes);
    if (refusal == SafeFiles::Refusal::Missing) return true;
    if (refusal != SafeFiles::Refusal::None)
    {
        TellOnce(r, r.file + ": " + SafeFiles::RefusalText(refusal) + "; no value is read from it");
        return false;
    }
    const std::string_view bytes = content.bytes;
    std::size_t number = 0;
    for (std::size_t from = 0; from < bytes.size();)
    {
        const std::size_t end = std::min(bytes.find('\n', from), bytes.size());
        std::string_view written = bytes.substr(from, end - from);
        from = end + 1;
        ++number;
        if (!written.empty() && written.back() == '\r') written.remove_suffix(1);
        if (written.empty()) continue;
        content.lines.push_back(LineOf(written));
        if (!content.lines.back().holdsValue)
            TellOnce(r, r.file + ":" + std::to_string(number) + ": not a value (key, tab, name, tab, text); ignored", written);
    }
    return true;
}

// Writers of other processes wait for each other on a lock file beside the
// registry; a writer that holds it for good makes this one fail, not hang.
class WriterLock
{
public:
    explicit WriterLock(const std::string& file)
    {
        descriptor_ = ::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
        struct stat info
        {};
        if (descriptor_ >= 0 && (::fstat(descriptor_, &info) != 0 || !S_ISREG(info.st_mode))) Release();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (descriptor_ >= 0 && !locked_)
        {
            locked_ = ::flock(descriptor_, LOCK_EX | LOCK_NB) == 0;
            if (locked_) break;
            if (errno != EWOULDBLOCK && errno != EINTR)
                Release();
            else if (std::chrono::steady_clock::now() > deadline)
                Release();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~WriterLock() { Release(); }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    bool IsLocked() const { return locked_; }

private:
    void Release()
    {
        if (descriptor_ >= 0) ::close(descriptor_);
        descriptor_ = -1;
        locked_ = false;
    }

    int descriptor_ = -1;
    bool locked_ = false;
};

// The file again with the one value in place of its earlier lines.
std::string WithValue(const RegistryContent& content, const std::string& key, const std::string& name, const std::string& text)
{
    std::string bytes;
    bytes.reserve(content.bytes.size() + key.size() + name.size() + text.size() + 3);
    for (const RegistryLine& line : content.lines)
        if (!line.holdsValue || !SameWithoutCase(line.key, key) || !SameWithoutCase(line.name, name))
            (bytes += line.written) += '\n';
    return bytes + key + '\t' + name + '\t' + text + '\n';
}

std::string HiveName(HKEY hive) { return hive == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : std::string(); }

bool HoldsLine(const std::string& text) { return text.find_first_of("\t\r\n") == std::string::npos; }

}  // namespace

void SetRegistryFile(const std::string& path)
{
    auto& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.file = path;
}

bool SetRegistryValue(const std::string& key, const std::string& name, const std::string& text)
{
    if (!HoldsLine(key) || !HoldsLine(name) || !HoldsLine(text) || key.empty() || name.empty()) return false;
    auto& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.file.empty()) return false;
    const WriterLock writers(r.file);
    RegistryContent content;
    return writers.IsLocked() && ReadContent(r, content) && SafeFiles::ReplaceWhole(r.file, WithValue(content, key, name, text));
}

long RegOpenKeyEx(HKEY hive, const std::string& subKey, std::uint32_t, HKEY& key)
{
    key = 0;
    const std::string hiveName = HiveName(hive);
    if (hiveName.empty()) return ERROR_INVALID_HANDLE;
    const std::string wanted = hiveName + "\\" + subKey;
    auto& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.file.empty()) return ERROR_FILE_NOT_FOUND;
    RegistryContent content;
    ReadContent(r, content);
    const bool found = std::any_of(content.lines.begin(), content.lines.end(), [&](const RegistryLine& v) {
        return v.holdsValue && (SameWithoutCase(v.key, wanted) || (v.key.size() > wanted.size() && v.key[wanted.size()] == '\\' &&
                                                                   SameWithoutCase(v.key.substr(0, wanted.size()), wanted)));
    });
    if (!found) return ERROR_FILE_NOT_FOUND;
    key = r.nextKey++;
    r.openKeys.emplace(key, wanted);
    return ERROR_SUCCESS;
}

long RegQueryValueEx(HKEY key, const std::string& name, std::size_t capacity, std::string& text)
{
    text.clear();
    auto& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto open = r.openKeys.find(key);
    if (open == r.openKeys.end()) return ERROR_INVALID_HANDLE;
    RegistryContent content;
    ReadContent(r, content);
    for (const RegistryLine& v : content.lines)
        if (v.holdsValue && SameWithoutCase(v.key, open->second) && SameWithoutCase(v.name, name))
        {
            if (v.text.size() + 1 > capacity) return ERROR_MORE_DATA;
            text = std::string(v.text);
            return ERROR_SUCCESS;
        }
    return ERROR_FILE_NOT_FOUND;
}

long RegCloseKey(HKEY key)
{
    auto& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.openKeys.erase(key) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace Win
