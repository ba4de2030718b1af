#pragma once
#include <cstdint>

#include "IO/Location.hpp"
#include "IO/Name.hpp"

namespace IO
{

// A folder of the host's input-output library.
class Folder
{
public:
    enum OnNotFound
    {
        Fail = 0
    };

    // Called once per entry; answering false ends the enumeration.
    using EnumerationCallback = bool (*)(const Folder& parent, const Name& entryName, bool isFolder, void* userData);

    explicit Folder(const Location& location, OnNotFound onNotFound = Fail);

    std::int32_t GetStatus() const { return status_; }
    const Location& GetLocation() const { return location_; }
    // Entries in the order of their names; 0, or the folder's status when it
    // cannot be listed.
    std::int32_t Enumerate(EnumerationCallback callback, void* userData) const;
    // Makes a folder of that name inside this one: 0, or why it cannot.
    std::int32_t CreateFolder(const Name& name) const;

private:
    Location location_;
    std::int32_t status_ = 0;
};

}  // namespace IO
