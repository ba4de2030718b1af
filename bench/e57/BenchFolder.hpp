#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A benchmark's work folder, named by its process so that runs side by side keep
// apart: made at its first use (which gives the name) and removed when the process ends.
inline const std::filesystem::path& BenchFolderNamed(const std::string& name)
{
    static const std::filesystem::path folder = [&name] {
        const std::filesystem::path made = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    // Registered after the path is made, so it runs while the path still stands.
    static const bool removedAtExit = std::atexit([] {
                                          std::error_code ec;
                                          std::filesystem::remove_all(BenchFolderNamed(std::string()), ec);
                                      }) == 0;
    static_cast<void>(removedAtExit);
    return folder;
}
