#include "TextEngine/TextEngine.hpp"

#include <mutex>
#include <vector>

namespace TE
{

namespace
{

constexpr double UnitWidth = 0.6;
constexpr double BoldWidening = 1.1;

}  // namespace

const TextEngine textEngine;

void TextEngine::GetTextWidth(const GS::UniString& text, const Font& font, double& width) const
{
    const double height = font.GetCapISize() > 0.0 ? font.GetCapISize() : font.GetSize();
    width = text.GetLength() * UnitWidth * height;
    if ((font.GetStyle() & FaceBold) != 0) width *= BoldWidening;
}

void TextEngine::GetSimpleFontName(const GS::UniString& name, GS::UniString* simpleName, GSCharCode* code)
{
    GS::UniString simple = name;
    for (const char* suffix : {" CE", " Cyr", " Greek", " Tur", " Baltic"})
    {
        const GS::UniString ending(suffix);
        if (simple.GetLength() > ending.GetLength() && simple.EndsWith(ending))
        {
            simple = simple.GetSubstring(0, simple.GetLength() - ending.GetLength());
            break;
        }
    }
    if (simpleName != nullptr) *simpleName = simple;
    if (code != nullptr) *code = CC_WestEuropean;
}

}  // namespace TE

namespace
{

std::mutex stylesMutex;

std::vector<TSStyle>& Styles()
{
    static std::vector<TSStyle> styles;
    return styles;
}

}  // namespace

std::int32_t TSRegisterStyle(const TSStyle& style)
{
    const std::lock_guard<std::mutex> lock(stylesMutex);
    Styles().push_back(style);
    return static_cast<std::int32_t>(Styles().size());
}

GSErrCode TSPickUpStyle(std::int32_t index, TSStyle* style)
{
    const std::lock_guard<std::mutex> lock(stylesMutex);
    if (style == nullptr) return APIERR_BADPARS;
    if (index < 1 || static_cast<std::size_t>(index) > Styles().size()) return APIERR_BADINDEX;
    *style = Styles()[static_cast<std::size_t>(index) - 1];
    return NoError;
}
