#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// Thin functions over the operating system that the add-on shares.

// Runs "cmd.exe /c start " + text, hidden, without waiting. A text too long for
// the command buffer is refused, not cut.
void RunCommand(const char* text);
// Runs "cmd.exe /c call "<path>"", hidden; false when the path was refused.
bool CallBatchFile(const char* path);
// The same command; the system's answer (above 31: started), 0 when refused.
std::uint32_t CallBatchFileEx(const char* path);

using DynamicLibrary = void*;
using LibraryFunction = void*;
// Null when the library is missing or cannot be loaded.
DynamicLibrary LoadDynamicLibrary(const char* path);
LibraryFunction GetLibraryFunction(DynamicLibrary library, const char* name);
void FreeDynamicLibrary(DynamicLibrary library);

// Where a URL leads: "http://" or no scheme gives port 80, "https://" port 443
// (spoken in plain TCP all the same); a ":port" behind the host name wins.
struct HttpTarget {
    std::string host;
    std::string path;
    std::uint16_t port = 80;
};
HttpTarget SplitHttpUrl(const std::string& url);

// All of one request together, from connecting to the last byte: the update
// check runs while the host starts.
constexpr std::chrono::milliseconds HttpTimeout {3000};
// The most of a response that is read; the rest is left unread.
constexpr std::size_t HttpMaxResponse = 64 * 1024;

// One HTTP/1.0 GET; the output is the response as received, up to HttpMaxResponse
// bytes and within the timeout. False when the host cannot be resolved or
// reached, the request cannot be sent, or nothing arrived before the timeout.
bool HttpGet(const char* url, std::string& output);
bool HttpGetFrom(const HttpTarget& target, std::string& output, std::chrono::milliseconds timeout = HttpTimeout);

// Plays a .wav file by name, synchronously; the system's default sound when it is missing.
bool PlaySoundFile(const char* path);
