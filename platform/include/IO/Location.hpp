#pragma once
#include <string>
#include <vector>

#include "GS/UniString.hpp"

namespace IO
{

// A path below some location, kept as its names; "/" and "\" both separate names,
// as the host's library takes either.
class RelativeLocation
{
public:
    explicit RelativeLocation(const std::string& path);

    const std::vector<std::string>& Names() const { return names_; }

private:
    std::vector<std::string> names_;
};

// A file-system location; the add-on builds paths by replacing and appending names.
// Names are taken apart at "/" and at "\"; appended names are joined with "/".
class Location
{
public:
    Location() = default;
    explicit Location(std::string path) : path_(std::move(path)) {}
    explicit Location(const GS::UniString& path) : path_(path.ToUtf8()) {}

    const std::string& ToPath() const { return path_; }
    GS::UniString ToUniString() const { return GS::UniString(path_); }
    bool IsEmpty() const { return path_.empty(); }

    std::string GetLastLocalName() const;
    void DeleteLastLocalName();
    void AppendToLocal(const std::string& name);
    void AppendToLocal(const RelativeLocation& relative);
    void SetLastLocalName(const std::string& name);

    bool operator==(const Location& o) const { return path_ == o.path_; }

private:
    std::string path_;
};

}  // namespace IO
