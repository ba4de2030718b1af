#pragma once
#include <stdexcept>

namespace GS
{

class IllegalReferenceException : public std::out_of_range
{
public:
    IllegalReferenceException() : std::out_of_range("illegal reference") {}
};

}  // namespace GS
