#include "framework/CDialogBase.hpp"

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "framework/CDataRecorder.hpp"

namespace
{

constexpr std::int16_t WindowStateVersion = 1;

enum PaletteControlCode : std::int32_t
{
    CloseCode = 1,
    HideCode = 2,
    ShowCode = 3,
    DisableCode = 4,
    EnableCode = 5
};

}  // namespace

CDialogBase::CDialogBase() : resourceModule_(HostGetOwnResourceModule()), iconModule_(HostGetOwnResourceModule()) {}

// The subclass is gone by now: the window closes without a message to it, and the
// host forgets the palette, so that its next control code finds no dead object.
CDialogBase::~CDialogBase()
{
    if (openMode_ == Closed) return;
    if (openMode_ == Palette) HostUnregisterPalette(dialogId_);
    DG::ClosePaletteSilently(dialogId_);
}

void CDialogBase::EnableItems()
{
    if (itemsEnabled_) return;
    DG::EnableItem(dialogId_, DG::AllItems);
    itemsEnabled_ = true;
}

void CDialogBase::DisableItems()
{
    if (!itemsEnabled_) return;
    DG::DisableItem(dialogId_, DG::AllItems);
    itemsEnabled_ = false;
}

bool CDialogBase::WriteState(CDataRecorder& recorder)
{
    return recorder.WriteShort(WindowStateVersion) && recorder.WriteBool(wasOpen_) && recorder.WriteBool(docked_) &&
           recorder.WriteShort(savedX_) && recorder.WriteShort(savedY_) && recorder.WriteShort(savedHeight_) &&
           recorder.WriteShort(savedWidth_);
}

// Every later opening of the window is put at the place read. A stream that ends
// early changes nothing, and a state never captured (no size) puts nothing, so
// that the palette never opens at a size of nothing.
bool CDialogBase::ReadState(CDataRecorder& recorder)
{
    std::int16_t version = 0;
    bool wasOpen = false;
    bool docked = false;
    std::int16_t x = 0, y = 0, height = 0, width = 0;
    const bool complete = recorder.ReadShort(version) && recorder.ReadBool(wasOpen) && recorder.ReadBool(docked) &&
                          recorder.ReadShort(x) && recorder.ReadShort(y) && recorder.ReadShort(height) &&
                          recorder.ReadShort(width);
    if (!complete) return false;
    wasOpen_ = wasOpen;
    docked_ = docked;
    savedX_ = x;
    savedY_ = y;
    savedHeight_ = height;
    savedWidth_ = width;
    restore_ = width > 0 && height > 0;
    return true;
}

// A palette without a GUID has no place with the host and is never reopened.
void CDialogBase::RestoreOpenState(std::int32_t paletteFlags)
{
    if (wasOpen_ && openMode_ == Closed)
    {
        if (!paletteGuid_.IsNull()) OpenPalette(paletteFlags);
    }
    else if (!wasOpen_ && openMode_ != Closed)
    {
        Close();
    }
}

void CDialogBase::SetResourceModules(GSResModule module, GSResModule iconModule)
{
    resourceModule_ = module;
    iconModule_ = iconModule == 0 ? module : iconModule;
}

void CDialogBase::SetSavedPosition(std::int16_t x, std::int16_t y)
{
    savedX_ = x;
    savedY_ = y;
    restore_ = true;
}

// The dialog manager calls in from the host's side: nothing may be thrown back.
std::int16_t CDialogBase::Dispatch(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) noexcept
{
    try
    {
        return DialogCallback(message, dialogId, item, data);
    }
    catch (...)
    {
        return 0;
    }
}

void CDialogBase::RememberResourceId()
{
    if (resourceId_ == 0) resourceId_ = dialogId_;
}

void CDialogBase::BecomeClosed()
{
    openMode_ = Closed;
    if (resourceId_ != 0) dialogId_ = resourceId_;
}

// A palette is registered before its subclass sees the init message and put at
// its saved place after it; the base enables or disables the items before the
// subclass hears of it.
std::int16_t CDialogBase::StaticDialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item,
                                               std::intptr_t object, std::intptr_t data) noexcept
{
    auto* dialog = reinterpret_cast<CDialogBase*>(object);
    if (dialog == nullptr || dialog->openMode_ == Closed) return 0;
    const bool palette = dialog->openMode_ == Palette;
    if (palette && message == DG::MsgInit)
    {
        dialog->dialogId_ = dialogId;
        HostRegisterPalette(dialogId, PaletteControlCallback, dialog->paletteFlags_, dialog->paletteGuid_);
    }
    if (message == MsgItemsEnabled)
    {
        if (data == 1)
            dialog->EnableItems();
        else
            dialog->DisableItems();
    }
    const std::int16_t result = dialog->Dispatch(message, dialogId, item, data);
    if (message == DG::MsgInit && dialog->restore_)
    {
        DG::SetClientPosition(dialogId, dialog->savedX_, dialog->savedY_);
        if (dialog->savedWidth_ > 0 && dialog->savedHeight_ > 0)
            DG::SetClientSize(dialogId, dialog->savedWidth_, dialog->savedHeight_);
    }
    if (palette && message == DG::MsgClose)
    {
        HostUnregisterPalette(dialogId);
        dialog->BecomeClosed();
    }
    return result;
}

GSErrCode CDialogBase::PaletteControlCallback(std::int16_t dialogId, std::int32_t code, std::intptr_t) noexcept
{
    switch (code)
    {
        case CloseCode:
            if (DG::IsOpen(dialogId)) DG::ClosePalette(dialogId);
            break;
        case HideCode:
            DG::HidePalette(dialogId);
            DG::SendDialogMessage(dialogId, MsgPaletteShown, 1, 0);
            break;
        case ShowCode:
            DG::ShowPalette(dialogId);
            DG::SendDialogMessage(dialogId, MsgPaletteShown, 1, 1);
            break;
        case DisableCode: DG::SendDialogMessage(dialogId, MsgItemsEnabled, 1, 0); break;
        case EnableCode: DG::SendDialogMessage(dialogId, MsgItemsEnabled, 1, 1); break;
        default: break;
    }
    return NoError;
}

std::int16_t CDialogBase::OpenModal()
{
    if (openMode_ != Closed) return 0;
    openMode_ = Modal;
    RememberResourceId();
    const auto object = reinterpret_cast<std::intptr_t>(this);
    const std::int16_t result = DG::RunModal(resourceModule_, dialogId_, [object](short m, short d, short i, std::intptr_t data) {
        return StaticDialogCallback(m, d, i, object, data);
    });
    BecomeClosed();
    return result;
}

std::int16_t CDialogBase::OpenPalette(std::int32_t paletteFlags)
{
    if (openMode_ != Closed) return 0;
    openMode_ = Palette;
    RememberResourceId();
    paletteFlags_ = paletteFlags;
    const auto object = reinterpret_cast<std::intptr_t>(this);
    short id = 0;
    if (resourceId_ != 0)
        id = DG::OpenPalette(
            resourceModule_, resourceId_,
            [object](short m, short d, short i, std::intptr_t data) { return StaticDialogCallback(m, d, i, object, data); },
            paletteGuid_);
    if (id == 0)
    {
        BecomeClosed();
        return 2;
    }
    dialogId_ = id;
    return 0;
}

void CDialogBase::Close()
{
    if (DG::IsOpen(dialogId_))
    {
        if (openMode_ == Modal)
            DG::AbortModal(dialogId_);
        else if (openMode_ == Palette || openMode_ == Modeless)
            DG::ClosePalette(dialogId_);
    }
    BecomeClosed();
}

void CDialogBase::CaptureWindowState(std::int16_t dialogId, bool wasOpen, bool keepWasOpen)
{
    const DG::Point position = DG::GetClientPosition(dialogId);
    const DG::Size size = DG::GetClientSize(dialogId);
    if (openMode_ == Closed) return;
    savedX_ = position.x;
    savedY_ = position.y;
    savedWidth_ = size.width;
    savedHeight_ = size.height;
    if (!keepWasOpen) wasOpen_ = wasOpen;
    docked_ = !paletteGuid_.IsNull() && DG::IsPaletteDocked(paletteGuid_);
}
