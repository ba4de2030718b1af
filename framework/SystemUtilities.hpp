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

// All of one request together, from resolving the name to the last byte: the
// update check runs while the host starts.
constexpr std::chrono::milliseconds HttpTimeout {3000};
// The most of a page that is read; the rest is left unread.
constexpr std::size_t HttpMaxResponse = 64 * 1024;

// One GET over http:// or https:// (no scheme: http). TLS certificates are
// verified against the system's store, or the store the environment's
// SSL_CERT_FILE names. The output is the body of a 200 answer, up to
// HttpMaxResponse bytes. False, with an empty output, for any other answer, a
// certificate that does not verify, a host that cannot be resolved or reached,
// or an exchange not done within the timeout.
bool HttpGet(const char* url, std::string& output);
bool HttpGetWithin(const char* url, std::string& output, std::chrono::milliseconds timeout);

// Plays a .wav file by name, synchronously; the system's default sound when it is missing.
bool PlaySoundFile(const char* path);
