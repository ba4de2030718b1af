#pragma once
#include <cstdint>

#include "API/Elements.hpp"

namespace SimHost
{

// New elements go on this layer unless the defaults say otherwise.
constexpr std::int16_t DefaultLayer = 1;

// A tool's defaults before anybody changed them: sizes a user would see in a new project.
API_Element InitialDefaults(API_ElemTypeID type, std::int32_t variation);

}  // namespace SimHost
