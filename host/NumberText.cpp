#include "NumberText.hpp"

#include <cmath>
#include <locale>
#include <sstream>

namespace SimHost
{

std::string NumberText(double value, int digits, NearZero nearZero)
{
    if (nearZero == NearZero::AsZero && std::fabs(value) < 5e-10) value = 0.0;
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(digits);
    text << value;
    return text.str();
}

}  // namespace SimHost
