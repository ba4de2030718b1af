#pragma once
#include <cstdint>

#include "GS/Guid.hpp"
#include "GS/UniString.hpp"
#include "framework/TypVektor.hpp"

// One user's program messages, in the order they arrived.
class ReportUserData
{
public:
    GS::Guid user;  // null in a solo project
    GS::UniString name;
    std::int16_t reserved = 0;
    TypVektor<GS::UniString> lines;
};
