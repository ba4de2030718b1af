#pragma once
#include <cstdint>
#include <string>

// The registry as a text file: one value a line, "<key>\t<name>\t<text>", the key
// with its hive ("HKEY_LOCAL_MACHINE\SOFTWARE\..."). Keys and names compare
// without case, as Windows compares them. Only text values are kept. Only a
// regular file is read. A line that holds no value is told once on the debug
// output ("<file>:<line>: ..."), skipped, and kept as it was when the file is
// written again.
namespace Win
{

using HKEY = std::uintptr_t;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr std::uint32_t KEY_READ = 0x20019;
constexpr std::uint32_t KEY_WOW64_32KEY = 0x0200;
constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_MORE_DATA = 234;

// Where the registry lives; until set, nowhere: every key is missing.
void SetRegistryFile(const std::string& path);
// Sets one value; false for a text that a line cannot hold (a tab or a line
// break) or a file that cannot be read or written. Writers of every process take
// turns on the lock file "<file>.lock" and replace the file with a whole new one,
// flushed to the disk first, so no writer's value is lost to another's and a
// power cut leaves the old file or the new one.
bool SetRegistryValue(const std::string& key, const std::string& name, const std::string& text);

// The key exists when any value lies below it. Both views of the registry are one here.
long RegOpenKeyEx(HKEY hive, const std::string& subKey, std::uint32_t access, HKEY& key);
// At most capacity - 1 characters; ERROR_MORE_DATA leaves text empty, as a too small buffer would.
long RegQueryValueEx(HKEY key, const std::string& name, std::size_t capacity, std::string& text);
long RegCloseKey(HKEY key);

}  // namespace Win
