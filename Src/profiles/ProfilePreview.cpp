#include "profiles/ProfilePreview.hpp"

#include <algorithm>

#include "Graphics/NativeImage.hpp"
#include "Graphics/UserItemUpdateNativeContext.hpp"
#include "profiles/C2DDrawElement.hpp"
#include "profiles/PreviewPrimitives.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

constexpr double LoadFactor = 100.0;

}  // namespace

void DrawProfilePreview(const VectorImage& drawing, const DG::UserUpdateData* data)
{
    if (data == nullptr || data->picture == nullptr) return;
    VectorImage marked = drawing;
    SectionPalette::AddOriginMark(marked);
    const DG::Rect rect = DG::GetItemRect(data->dialogId, data->item);
    const std::int32_t w = std::max(rect.right - rect.left, 0);
    const std::int32_t h = std::max(rect.bottom - rect.top, 0);
    NewDisplay::NativeImage image(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
    {
        NewDisplay::NativeContext context(image);
        DZ::C2DDrawElement displayList;
        displayList.LoadFromVectorImage(marked, LoadFactor, true);
        const double margin = std::min(w, h) / 20.0;
        DZ::FillPreviewRect(0, 0, w, h, 255, 255, 255, context);
        displayList.Draw(margin, margin, w - 2.0 * margin, h - 2.0 * margin, context);
    }
    NewDisplay::UserItemUpdateNativeContext itemContext(data);
    itemContext.DrawImage(image, 0, 0);
}
