#pragma once
#include <cctype>
#include <string>

// A test name from a case's own name: gtest allows letters, digits and
// underscores only, so every other character becomes an underscore.
inline std::string TestNameOf(std::string name)
{
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Names each value-parameterised test after its case's `name`, so that test
// names stay the same from build to build.
struct CaseName
{
    template <typename Info>
    std::string operator()(const Info& info) const
    {
        return TestNameOf(info.param.name);
    }
};
