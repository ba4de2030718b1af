#include "Win/Registry.hpp"


#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <vector>

namespace Win {

namespace {

struct RegistryValue {
    std::string key;
    std::string name;
    std::string text;
};

struct RegistryState {
    std::mutex mutex;
    std::string file;
    HKEY nextKey = 0x1000;
    std::map<HKEY, std::string> openKeys;
};

RegistryState& TheRegistry()
{
    static RegistryState state;
    return state;
}

bool SameWithoutCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

std::vector<RegistryValue> ReadValues(const std::string& file)
{
    std::vector<RegistryValue> values;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) continue;
        values.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    return values;
}

bool WriteValues(const std::string& file, const std::vector<RegistryValue>& values)
{
    const std::string aside = file + ".new";
    {
        std::ofstream out(aside, std::ios::trunc);
        for (const RegistryValue& v : values) out << v.key << '\t' << v.name << '\t' << v.text << '\n';
        out.flush();
        if (!out) {
            std::remove(aside.c_str());
            return false;
        }
    }
    return std::rename(aside.c_str(), file.c_str()) == 0;
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
    std::vector<RegistryValue> values = ReadValues(r.file);
    const auto same = [&](const RegistryValue& v) { return SameWithoutCase(v.key, key) && SameWithoutCase(v.name, name); };
    values.erase(std::remove_if(values.begin(), values.end(), same), values.end());
    values.push_back({key, name, text});
    return WriteValues(r.file, values);
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
    const std::vector<RegistryValue> values = ReadValues(r.file);
    const bool found = std::any_of(values.begin(), values.end(), [&](const RegistryValue& v) {
        return SameWithoutCase(v.key, wanted) ||
               (v.key.size() > wanted.size() && v.key[wanted.size()] == '\\' && SameWithoutCase(v.key.substr(0, wanted.size()), wanted));
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
    for (const RegistryValue& v : ReadValues(r.file))
        if (SameWithoutCase(v.key, open->second) && SameWithoutCase(v.name, name)) {
            if (v.text.size() + 1 > capacity) return ERROR_MORE_DATA;
            text = v.text;
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
