#include "NumberText.hpp"

#include <gtest/gtest.h>

#include <locale>
#include <string>

namespace
{

using SimHost::NearZero;
using SimHost::NumberText;

struct NumberCase
{
    const char* name;
    double value;
    int digits;
    NearZero nearZero;
    const char* expected;
};

const NumberCase Cases[] = {
    {"RoundingNoiseTrimmed", 0.1 + 0.2, 6, NearZero::AsZero, "0.3"},
    {"SixDigitsGoExponential", 1234567.0, 6, NearZero::AsZero, "1.23457e+06"},
    {"TwelveDigitsStayWhole", 1234567.0, 12, NearZero::AsZero, "1234567"},
    {"NegativeZeroAsZero", -0.0, 6, NearZero::AsZero, "0"},
    {"NegativeZeroAsIs", -0.0, 6, NearZero::AsIs, "-0"},
    {"BelowTheZeroBand", 4e-10, 6, NearZero::AsZero, "0"},
    {"BelowTheZeroBandAsIs", 4e-10, 6, NearZero::AsIs, "4e-10"},
    {"AboveTheZeroBand", -6e-10, 6, NearZero::AsZero, "-6e-10"},
};

class NumberTextTest : public testing::TestWithParam<NumberCase>
{};

TEST_P(NumberTextTest, WritesAsPercentG)
{
    const NumberCase& c = GetParam();
    EXPECT_EQ(NumberText(c.value, c.digits, c.nearZero), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, NumberTextTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

struct CommaPoint : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
};

TEST(NumberText, KeepsTheDecimalPointUnderACommaLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const std::string text = NumberText(2.5, 6);
    std::locale::global(previous);
    EXPECT_EQ(text, "2.5");
}

}  // namespace
