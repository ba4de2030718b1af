#pragma once
#include <cstdint>
#include <string>

#include "API/Types.hpp"
#include "GS/CharCode.hpp"
#include "GS/UniString.hpp"

// The host's text styles and text engine, as far as drawing text needs them.
namespace TE
{

// Face bits.
constexpr std::int16_t FaceBold = 1;
constexpr std::int16_t FaceItalic = 2;
constexpr std::int16_t FaceUnderline = 4;

class Font
{
public:
    void SetFontName(const GS::UniString& name, GSCharCode code)
    {
        name_ = name;
        code_ = code;
    }
    void SetStyle(std::int16_t face) { face_ = face; }
    void SetSize(double size) { size_ = size; }
    // The height of a capital letter in pixels; it decides the width of a text.
    void SetCapISize(double pixels) { capISize_ = pixels; }

    const GS::UniString& GetName() const { return name_; }
    GSCharCode GetCharCode() const { return code_; }
    std::int16_t GetStyle() const { return face_; }
    double GetSize() const { return size_; }
    double GetCapISize() const { return capISize_; }

private:
    GS::UniString name_;
    GSCharCode code_ = CC_WestEuropean;
    std::int16_t face_ = 0;
    double size_ = 0.0;
    double capISize_ = 0.0;
};

// Widths follow one rule: every UTF-16 unit is 0.6 cap heights wide (the font
// size stands in when no cap height is set), bold text a tenth wider.
class TextEngine
{
public:
    // The width of the text in that font, written into width.
    void GetTextWidth(const GS::UniString& text, const Font& font, double& width) const;

    // The font's family name without a script suffix (" CE", " Cyr", " Greek",
    // " Tur", " Baltic"), and its character code.
    static void GetSimpleFontName(const GS::UniString& name, GS::UniString* simpleName, GSCharCode* code);
};

extern const TextEngine textEngine;

}  // namespace TE

// A host text style: font name, face bits, justification (0 left, 1 centre,
// 2 right) and size in millimetres.
struct TSStyle
{
    std::string fontName;
    std::int16_t face = 0;
    std::int32_t justification = 0;
    double size = 0.0;
};

// Registers a style and gives its index (from 1).
std::int32_t TSRegisterStyle(const TSStyle& style);
// The style of that index; APIERR_BADINDEX for an unknown one.
GSErrCode TSPickUpStyle(std::int32_t index, TSStyle* style);
