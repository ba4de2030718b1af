#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/BM.hpp"

// A block of the project's module data or of a merge: the data version and the
// platform sign of its writer, and its bytes in a relocatable handle.
struct API_ModulData
{
    std::int32_t dataVersion = 0;
    std::uint16_t platformSign = 0;
    GSHandle dataHdl = nullptr;
};

constexpr GSErrCode APIERR_NOMODULEDATA = static_cast<GSErrCode>(0x81060068);
