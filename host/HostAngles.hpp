#pragma once

namespace SimHost
{

constexpr double Pi = 3.14159265358979323846;
constexpr double DegreesPerRadian = 57.29577951308232;

}  // namespace SimHost
