#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "GS/UniString.hpp"

namespace GS
{

// A 128-bit identifier in the usual text form "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx",
// read with or without surrounding braces.
class Guid
{
public:
    struct Parts
    {
        std::uint32_t data1 = 0;
        std::uint16_t data2 = 0;
        std::uint16_t data3 = 0;
        std::array<std::uint8_t, 8> data4 {};
        bool operator==(const Parts& o) const
        {
            return data1 == o.data1 && data2 == o.data2 && data3 == o.data3 && data4 == o.data4;
        }
    };

    Guid() = default;
    explicit Guid(const Parts& parts) : parts_(parts) {}
    explicit Guid(const char* text);

    // False when the text is no GUID; the value is then the null GUID.
    bool FromText(const std::string& text);
    std::string ToText(bool withBraces = false) const;
    UniString ToUniString() const { return UniString(ToText()); }

    bool IsNull() const { return parts_ == Parts {}; }
    const Parts& GetParts() const { return parts_; }
    static Guid Generate();

    bool operator==(const Guid& o) const { return parts_ == o.parts_; }
    bool operator!=(const Guid& o) const { return !(parts_ == o.parts_); }

private:
    Parts parts_;
};

}  // namespace GS
