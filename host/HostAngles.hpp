#pragma once

namespace SimHost
{

constexpr double Pi = 3.14159265358979323846;

}  // namespace SimHost
