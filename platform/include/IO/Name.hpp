#pragma once
#include <string>

namespace IO
{

// One local name of a location, as UTF-8 text.
class Name
{
public:
    explicit Name(std::string name) : name_(std::move(name)) {}

    const std::string& ToString() const { return name_; }

private:
    std::string name_;
};

}  // namespace IO
