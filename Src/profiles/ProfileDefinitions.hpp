#pragma once
#include <cstdint>

#include "API/AddOnInterface.hpp"

// The definitions of one profile attribute, given back to the host on every way out.
class ProfileDefinitions
{
public:
    ProfileDefinitions(const ProfileDefinitions&) = delete;
    ProfileDefinitions& operator=(const ProfileDefinitions&) = delete;
    explicit ProfileDefinitions(std::int16_t index) : read_(HostGetAttributeDefinitions(API_ProfileID, index, &defs_) == NoError)
    {}
    ~ProfileDefinitions() { HostDisposeAttributeDefinitions(&defs_); }

    const ProfileVectorImage* Drawing() const { return read_ ? defs_.profile_vectorImageItems : nullptr; }

private:
    API_AttributeDef defs_;
    bool read_;
};
