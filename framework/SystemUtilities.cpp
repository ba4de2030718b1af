#include "framework/SystemUtilities.hpp"

#include <curl/curl.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "Win/Process.hpp"
#include "Win/WinStandIns.hpp"

namespace
{

constexpr std::uint32_t SoundFromFileName = 0x20000;

// The command buffers, each with room for its terminator.
constexpr std::size_t RunCommandBuffer = 2500;
constexpr std::size_t BatchCommandBuffer = 3500;
constexpr long HttpOk = 200;

// Empty when the line would not fit its buffer: a cut command would run something else.
std::string CommandLine(const std::string& prefix, const std::string& text, const std::string& suffix, std::size_t buffer)
{
    const std::string line = prefix + text + suffix;
    return line.size() < buffer ? line : std::string();
}

// A quote inside the path would end the quoted argument early.
std::string BatchCommandLine(const char* path)
{
    if (path == nullptr || std::strchr(path, '"') != nullptr) return {};
    return CommandLine("cmd.exe /c call \"", path, "\"", BatchCommandBuffer);
}

// Once per request: the add-on may be unloaded between requests, and the
// library's global state must not outlive it.
class CurlLibrary
{
public:
    CurlLibrary() : ready_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}
    ~CurlLibrary()
    {
        if (ready_) curl_global_cleanup();
    }
    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;
    bool IsReady() const { return ready_; }

private:
    bool ready_;
};

struct CurlDeleter
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

struct Body
{
    std::string text;
    bool full = false;
};

// Takes the page up to HttpMaxResponse; a shorter count than offered ends the
// transfer there.
std::size_t TakeBody(char* data, std::size_t size, std::size_t count, void* target)
{
    Body& body = *static_cast<Body*>(target);
    const std::size_t offered = size * count;
    const std::size_t room = HttpMaxResponse - body.text.size();
    if (offered > room)
    {
        body.text.append(data, room);
        body.full = true;
        return room;
    }
    body.text.append(data, offered);
    return offered;
}

// SSL_CERT_FILE, as OpenSSL's own tools read it, replaces the system's store.
bool UseCertificateStore(CURL* handle)
{
    const char* store = std::getenv("SSL_CERT_FILE");
    if (store == nullptr || *store == '\0') return true;
    return curl_easy_setopt(handle, CURLOPT_CAINFO, store) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_CAPATH, static_cast<char*>(nullptr)) == CURLE_OK;
}

bool SetUpRequest(CURL* handle, const char* url, Body& body, std::chrono::milliseconds timeout)
{
    const auto set = [handle](CURLoption option, auto value) { return curl_easy_setopt(handle, option, value) == CURLE_OK; };
    // Zero would mean no deadline at all.
    const long timeoutMs = static_cast<long>(std::max<std::chrono::milliseconds::rep>(1, timeout.count()));
    return set(CURLOPT_URL, url) && set(CURLOPT_DEFAULT_PROTOCOL, "http") && set(CURLOPT_PROTOCOLS_STR, "http,https") &&
           set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)) && set(CURLOPT_SSL_VERIFYPEER, 1L) &&
           set(CURLOPT_SSL_VERIFYHOST, 2L) && UseCertificateStore(handle) &&
           // The deadline is kept without alarm signals, which belong to the host.
           set(CURLOPT_NOSIGNAL, 1L) && set(CURLOPT_TIMEOUT_MS, timeoutMs) && set(CURLOPT_WRITEFUNCTION, &TakeBody) &&
           set(CURLOPT_WRITEDATA, static_cast<void*>(&body));
}

}  // namespace

void RunCommand(const char* text)
{
    const std::string line = CommandLine("cmd.exe /c start ", text == nullptr ? "" : text, "", RunCommandBuffer);
    if (!line.empty()) Win::WinExec(line, Win::SW_HIDE);
}

bool CallBatchFile(const char* path)
{
    const std::string line = BatchCommandLine(path);
    if (line.empty()) return false;
    Win::WinExec(line, Win::SW_HIDE);
    return true;
}

std::uint32_t CallBatchFileEx(const char* path)
{
    const std::string line = BatchCommandLine(path);
    return line.empty() ? 0 : Win::WinExec(line, Win::SW_HIDE);
}

DynamicLibrary LoadDynamicLibrary(const char* path) { return path == nullptr ? nullptr : ::dlopen(path, RTLD_NOW | RTLD_LOCAL); }

LibraryFunction GetLibraryFunction(DynamicLibrary library, const char* name)
{
    return library == nullptr || name == nullptr ? nullptr : ::dlsym(library, name);
}

void FreeDynamicLibrary(DynamicLibrary library)
{
    if (library != nullptr) ::dlclose(library);
}

bool HttpGet(const char* url, std::string& output) { return HttpGetWithin(url, output, HttpTimeout); }

bool HttpGetWithin(const char* url, std::string& output, std::chrono::milliseconds timeout)
{
    output.clear();
    if (url == nullptr) return false;
    const CurlLibrary library;
    if (!library.IsReady()) return false;
    const CurlHandle handle(curl_easy_init());
    Body body;
    if (handle == nullptr || !SetUpRequest(handle.get(), url, body, timeout)) return false;
    const CURLcode result = curl_easy_perform(handle.get());
    const bool received = result == CURLE_OK || (result == CURLE_WRITE_ERROR && body.full);
    long status = 0;
    if (!received || curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != HttpOk)
        return false;
    output = std::move(body.text);
    return true;
}

bool PlaySoundFile(const char* path) { return Win::PlaySound(path == nullptr ? "" : path, SoundFromFileName); }
