#pragma once
#include <cstdint>
#include <string>

namespace GS
{

// Unicode text held as UTF-16 code units, as the host's string class does;
// stored streams write exactly these units.
class UniString
{
public:
    UniString() = default;
    UniString(const char* utf8);
    UniString(const std::string& utf8);
    explicit UniString(std::u16string units);

    static UniString FromUtf16(const char16_t* units, std::size_t count);

    const std::u16string& Units() const { return units_; }
    std::string ToUtf8() const;
    std::uint32_t GetLength() const { return static_cast<std::uint32_t>(units_.size()); }
    bool IsEmpty() const { return units_.empty(); }
    void Clear() { units_.clear(); }

    char16_t operator[](std::uint32_t index) const { return units_[index]; }
    UniString& operator+=(const UniString& other);
    UniString operator+(const UniString& other) const;
    bool operator==(const UniString& other) const { return units_ == other.units_; }
    bool operator!=(const UniString& other) const { return units_ != other.units_; }
    bool operator<(const UniString& other) const { return units_ < other.units_; }

    bool IsEqualIgnoringCase(const UniString& other) const;
    bool BeginsWith(const UniString& prefix) const;
    bool EndsWith(const UniString& suffix) const;
    UniString GetSubstring(std::uint32_t from, std::uint32_t count) const;
    UniString ToLowerCase() const;

private:
    std::u16string units_;
};

// The host's line end in texts it keeps, such as GDL scripts.
constexpr char EOL[] = "\n";

std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& units);
// Appends one character (a code point up to 0x10FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace GS
