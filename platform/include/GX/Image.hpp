#pragma once
#include <cstdint>
#include <memory>

#include "DG/NativeIcon.hpp"
#include "GX/PixMap.hpp"
#include "Graphics/NativeImage.hpp"

struct GSPixMap;

namespace GX
{

// A picture taken from a pixmap (a copy: the pixmap stays the caller's), turned
// into what the dialog manager and the drawing contexts show.
class Image
{
public:
    // Empty for a null pixmap.
    explicit Image(GSPixMapHandle pixMap);
    ~Image();
    Image(Image&&) noexcept;
    Image& operator=(Image&&) noexcept;

    bool IsEmpty() const { return pixels_ == nullptr; }
    std::int32_t GetWidth() const;
    std::int32_t GetHeight() const;

    // The picture as RGBA, scaled by resolutionFactor (area-averaged; the size
    // rounded, at least 1 x 1), its colours multiplied by alpha when asked. A
    // 0 x 0 image when empty.
    NewDisplay::NativeImage ToNativeImage(double resolutionFactor, bool premultiplied) const;
    // The picture for a dialog item such as a list entry; an empty icon when empty.
    DG::NativeIcon ToDGIcon() const;

private:
    std::unique_ptr<GSPixMap> pixels_;
};

}  // namespace GX
