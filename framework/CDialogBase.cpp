#include "CDialogBase.hpp"

#include "API/AddOnInterface.hpp"
#include "CDataRecorder.hpp"
#include "DG/DG.hpp"

CDialogBase::CDialogBase() : resourceModule_(HostGetOwnResourceModule()), iconModule_(HostGetOwnResourceModule()) {}

// The subclass is gone by now, so the window closes without calling back into it.
CDialogBase::~CDialogBase()
{
    if (openMode_ == Palette || openMode_ == Modeless) DG::ClosePaletteSilently(dialogId_);
}

void CDialogBase::EnableItems() { itemsEnabled_ = true; }
void CDialogBase::DisableItems() { itemsEnabled_ = false; }

namespace {
constexpr std::int16_t WindowStateVersion = 1;
}  // namespace

bool CDialogBase::WriteState(CDataRecorder& recorder)
{
    return recorder.WriteShort(WindowStateVersion) && recorder.WriteBool(wasOpen_) && recorder.WriteBool(docked_) &&
           recorder.WriteShort(savedX_) && recorder.WriteShort(savedY_) && recorder.WriteShort(savedHeight_) &&
           recorder.WriteShort(savedWidth_);
}

// The version is read but not looked at: there has only ever been one.
bool CDialogBase::ReadState(CDataRecorder& recorder)
{
    std::int16_t version = 0;
    bool wasOpen = false;
    bool docked = false;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t height = 0;
    std::int16_t width = 0;
    const bool whole = recorder.ReadShort(version) && recorder.ReadBool(wasOpen) && recorder.ReadBool(docked) &&
                       recorder.ReadShort(x) && recorder.ReadShort(y) && recorder.ReadShort(height) &&
                       recorder.ReadShort(width);
    if (!whole) return false;
    wasOpen_ = wasOpen;
    docked_ = docked;
    savedX_ = x;
    savedY_ = y;
    savedHeight_ = height;
    savedWidth_ = width;
    restore_ = true;
    return true;
}

void CDialogBase::SetResourceModules(GSResModule module, GSResModule iconModule)
{
    resourceModule_ = module;
    iconModule_ = iconModule == 0 ? module : iconModule;
}

// The dialog manager calls in from the host's side: nothing may be thrown back.
std::int16_t CDialogBase::Dispatch(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) noexcept
{
    try {
        return DialogCallback(message, dialogId, item, data);
    } catch (...) {
        return 0;
    }
}

std::int16_t CDialogBase::OpenModal()
{
    if (openMode_ != Closed) return 0;
    if (resourceId_ == 0) resourceId_ = dialogId_;
    openMode_ = Modal;
    const std::int16_t result = DG::RunModal(resourceModule_, resourceId_, [this](short m, short d, short i, std::intptr_t data) {
        return Dispatch(m, d, i, data);
    });
    openMode_ = Closed;
    dialogId_ = resourceId_;
    return result;
}

std::int16_t CDialogBase::OpenPalette(std::int32_t paletteFlags)
{
    if (openMode_ != Closed) return 0;
    if (resourceId_ == 0) resourceId_ = dialogId_;
    paletteFlags_ = paletteFlags;
    openMode_ = Palette;
    const short id = DG::OpenPalette(resourceModule_, resourceId_, [this](short m, short d, short i, std::intptr_t data) {
        return Dispatch(m, d, i, data);
    });
    if (id == 0) {
        openMode_ = Closed;
        return 2;
    }
    dialogId_ = id;
    return 0;
}

void CDialogBase::Close()
{
    if (openMode_ == Palette || openMode_ == Modeless) {
        wasOpen_ = true;
        DG::ClosePalette(dialogId_);
    }
    openMode_ = Closed;
    if (resourceId_ != 0) dialogId_ = resourceId_;
}
