#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "API/LibraryParts.hpp"
#include "IO/Location.hpp"

// The loaded libraries as the E57 import sees them. A usable library is available,
// writable and not the project's embedded library.
struct ImportLibraries
{
    std::vector<API_LibraryInfo> list;
    std::int32_t embedded = -1;

    static ImportLibraries Read();
    bool IsUsable(std::size_t index) const;
    // The folder "Point Cloud" beside the project's file, when the project has one.
    static std::optional<IO::Location> ProjectPointCloudFolder();
    // Whether the folder is, or lies below, a usable library.
    bool HoldsFolder(const IO::Location& folder) const;
};
