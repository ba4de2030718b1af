#pragma once
#include <cstdint>
#include <utility>

#include "API/Types.hpp"
#include "GS/UniString.hpp"
#include "VectorImage/VectorImage.hpp"

// Attribute records: layers, pens, line types, fills and fonts.

constexpr std::int32_t API_PenID = 1;
constexpr std::int32_t API_LayerID = 2;
constexpr std::int32_t API_LinetypeID = 3;
constexpr std::int32_t API_FilltypeID = 4;
constexpr std::int32_t API_FontID = 10;
constexpr std::int32_t API_ProfileID = 11;

constexpr std::size_t API_AttrNameLen = 256;

// Layer flags.
constexpr std::int32_t APILay_Hidden = 1;
constexpr std::int32_t APILay_Locked = 2;

struct API_Attr_Head
{
    std::int32_t typeID;
    std::int16_t index;
    std::int32_t flags;
    char name[API_AttrNameLen];       // 8-bit text, zero-terminated
    GS::UniString* uniStringNamePtr;  // when set, the host writes the name into it
};

struct API_LayerType
{
    API_Attr_Head head;
};

struct API_RGBColor
{
    double f_red;
    double f_green;
    double f_blue;
};

// A pen: its colour (0 to 1) and its width in millimetres.
struct API_PenType
{
    API_Attr_Head head;
    API_RGBColor rgb;
    double width;
};

// A line type; the host hands out no dash items.
struct API_LinetypeType
{
    API_Attr_Head head;
};

// Fill kinds.
constexpr std::int16_t APIFill_Empty = 0;
constexpr std::int16_t APIFill_Vector = 1;
constexpr std::int16_t APIFill_Solid = 2;

// One family of parallel pattern lines of a vector fill: their direction, their
// spacing and the offset of the first line from the pattern's origin, in
// millimetres on paper.
struct API_FillLine
{
    double angle;
    double spacing;
    double offset;
};

constexpr std::size_t API_MaxFillLines = 4;

// A fill: its kind, the 8 x 8 bit pattern that stands for it on screen (row by
// row, the highest bit leftmost), a percentage for screen fills, and for vector
// fills the families of its pattern lines.
struct API_FilltypeType
{
    API_Attr_Head head;
    std::int16_t subType;
    std::uint8_t bitPat[8];
    bool percentFill;
    double percent;
    std::int16_t lineCount;
    API_FillLine lines[API_MaxFillLines];
};

// A font; its name is the header's.
struct API_FontType
{
    API_Attr_Head head;
};

// A profile of the host's profile library; its drawing comes with its definitions.
struct API_ProfileAttrType
{
    API_Attr_Head head;
};

// A profile attribute's drawing as the host hands it out.
class ProfileVectorImage
{
public:
    explicit ProfileVectorImage(VectorImage image) : image_(std::move(image)) {}
    const VectorImage& GetVectorImage() const { return image_; }

private:
    VectorImage image_;
};

// The definitions of an attribute beyond its record: a profile's drawing, which
// belongs to the host until HostDisposeAttributeDefinitions gives it back.
struct API_AttributeDef
{
    ProfileVectorImage* profile_vectorImageItems = nullptr;
};

union API_Attribute
{
    API_Attr_Head header;
    API_LayerType layer;
    API_PenType pen;
    API_LinetypeType linetype;
    API_FilltypeType filltype;
    API_FontType font;
    API_ProfileAttrType profile;
};
