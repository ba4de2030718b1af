#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/Guid.hpp"

class CDataRecorder;

// Base of every dialog and palette: runs a dialog modally or opens it as a
// palette registered with the host, keeps the window's last place, size, open
// and docked state, and passes every dialog message on to DialogCallback.
class CDialogBase
{
public:
    enum OpenMode : std::int16_t
    {
        Closed = 0,
        Modal = 1,
        Modeless = 2,
        Palette = 3
    };

    // Messages of this class: the host hid (0) or showed (1) the palette again;
    // all items are to be disabled (0) or enabled (1).
    static constexpr std::int16_t MsgPaletteShown = 0x4FFD;
    static constexpr std::int16_t MsgItemsEnabled = 0x4FFF;

    CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;
    virtual ~CDialogBase();

    virtual void EnableItems();
    virtual void DisableItems();
    // The window's last state as the preferences keep it, twelve bytes: version,
    // was open, docked, x, y, height, width.
    virtual bool WriteState(CDataRecorder& recorder);
    // Takes the state only when all twelve bytes were read, and restores the
    // window at it from then on when it has a size.
    virtual bool ReadState(CDataRecorder& recorder);
    virtual void RestoreOpenState(std::int32_t paletteFlags);
    virtual std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) = 0;

    void SetResourceModules(GSResModule module, GSResModule iconModule = 0);
    // The place the window opens at from now on.
    void SetSavedPosition(std::int16_t x, std::int16_t y);
    std::int16_t OpenModal();
    // 0: shown or already open; 2: the host refused to create the palette.
    std::int16_t OpenPalette(std::int32_t paletteFlags);
    void Close();
    void CaptureWindowState(std::int16_t dialogId, bool wasOpen, bool keepWasOpen);

    std::int16_t GetOpenMode() const { return openMode_; }
    std::int16_t GetDialogId() const { return dialogId_; }
    const GS::Guid& GetPaletteGuid() const { return paletteGuid_; }
    GSResModule GetResourceModule() const { return resourceModule_; }
    bool RestoresWindowState() const { return restore_; }

    static std::int16_t StaticDialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t object,
                                             std::intptr_t data) noexcept;
    static GSErrCode PaletteControlCallback(std::int16_t dialogId, std::int32_t code, std::intptr_t param) noexcept;

protected:
    void SetDialogId(std::int16_t dialogId) { dialogId_ = dialogId; }
    void SetPaletteGuid(const GS::Guid& guid) { paletteGuid_ = guid; }

private:
    std::int16_t Dispatch(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) noexcept;
    void RememberResourceId();
    void BecomeClosed();

    bool restore_ = false;
    bool wasOpen_ = false;
    bool docked_ = false;
    std::int16_t savedWidth_ = 0;
    std::int16_t savedHeight_ = 0;
    std::int16_t savedX_ = 0;
    std::int16_t savedY_ = 0;
    std::int16_t dialogId_ = 0;
    std::int16_t openMode_ = Closed;
    bool itemsEnabled_ = true;
    GS::Guid paletteGuid_;
    std::int16_t resourceId_ = 0;
    std::int32_t paletteFlags_ = 0;
    GSResModule resourceModule_ = 0;
    GSResModule iconModule_ = 0;
};
