#pragma once
#include <string>

#include "GS/UniString.hpp"

namespace IO {

// A file-system location; the add-on builds paths by replacing and appending names.
class Location {
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
    void SetLastLocalName(const std::string& name);

    bool operator==(const Location& o) const { return path_ == o.path_; }

private:
    std::string path_;
};

}  // namespace IO
