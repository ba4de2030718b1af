#include "GS/UniString.hpp"

#include <algorithm>

namespace GS
{

std::u16string Utf8ToUtf16(const std::string& s)
{
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();)
    {
        const auto c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = c;
        int extra = 0;
        if (c >= 0xF0)
        {
            cp = c & 0x07;
            extra = 3;
        }
        else if (c >= 0xE0)
        {
            cp = c & 0x0F;
            extra = 2;
        }
        else if (c >= 0xC0)
        {
            cp = c & 0x1F;
            extra = 1;
        }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        if (cp >= 0x10000)
        {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
        else
        {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
    {
        out += static_cast<char>(c);
    }
    else if (c < 0x800)
    {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf16ToUtf8(const std::u16string& units)
{
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        std::uint32_t cp = units[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
        {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

UniString::UniString(const char* utf8) : units_(Utf8ToUtf16(utf8 == nullptr ? "" : utf8)) {}
UniString::UniString(const std::string& utf8) : units_(Utf8ToUtf16(utf8)) {}
UniString::UniString(std::u16string units) : units_(std::move(units)) {}

UniString UniString::FromUtf16(const char16_t* units, std::size_t count) { return UniString(std::u16string(units, count)); }

std::string UniString::ToUtf8() const { return Utf16ToUtf8(units_); }

UniString& UniString::operator+=(const UniString& other)
{
    units_ += other.units_;
    return *this;
}

UniString UniString::operator+(const UniString& other) const
{
    UniString result(*this);
    result += other;
    return result;
}

namespace
{
char16_t LowerUnit(char16_t c)
{
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}
}  // namespace

UniString UniString::ToLowerCase() const
{
    std::u16string lower(units_);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerUnit);
    return UniString(std::move(lower));
}

bool UniString::IsEqualIgnoringCase(const UniString& other) const { return ToLowerCase() == other.ToLowerCase(); }

bool UniString::BeginsWith(const UniString& prefix) const { return units_.compare(0, prefix.units_.size(), prefix.units_) == 0; }

bool UniString::EndsWith(const UniString& suffix) const
{
    return units_.size() >= suffix.units_.size() &&
           units_.compare(units_.size() - suffix.units_.size(), suffix.units_.size(), suffix.units_) == 0;
}

UniString UniString::GetSubstring(std::uint32_t from, std::uint32_t count) const
{
    if (from >= units_.size()) return {};
    return UniString(units_.substr(from, count));
}

}  // namespace GS
