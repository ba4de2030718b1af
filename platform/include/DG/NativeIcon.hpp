#pragma once
#include <memory>
#include <utility>

#include "Graphics/NativeImage.hpp"

namespace DG
{

// A picture that a dialog item shows, such as a list view entry's image (made by
// GX::Image::ToDGIcon). Copies share the picture, which never changes, so an icon
// may be made on one thread and handed to another.
class NativeIcon
{
public:
    NativeIcon() = default;
    explicit NativeIcon(NewDisplay::NativeImage picture)
        : picture_(std::make_shared<const NewDisplay::NativeImage>(std::move(picture)))
    {}

    bool IsEmpty() const { return picture_ == nullptr; }
    // Only for an icon that is not empty.
    const NewDisplay::NativeImage& GetPicture() const { return *picture_; }

private:
    std::shared_ptr<const NewDisplay::NativeImage> picture_;
};

}  // namespace DG
