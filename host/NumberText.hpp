#pragma once
#include <string>

namespace SimHost
{

// What the host works out carries rounding noise that would read as "-0" or
// "1e-17"; a dialog item's value is the add-on's own and is shown as it is.
enum class NearZero
{
    AsZero,
    AsIs
};

// The value as %g writes it with that many significant digits (no trailing
// zeros), always with a decimal point whatever the process's locale. With
// NearZero::AsZero a value within 5e-10 of zero reads "0".
std::string NumberText(double value, int digits, NearZero nearZero = NearZero::AsZero);

}  // namespace SimHost
