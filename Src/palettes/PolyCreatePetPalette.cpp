#include "palettes/PolyCreatePetPalette.hpp"

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "frame/PaletteGuids.hpp"

namespace
{

constexpr std::int16_t PetPaletteId = 32445;
constexpr std::int16_t FirstModeItem = 1;
constexpr std::int16_t LastModeItem = 3;

}  // namespace

PolyCreatePetPalette::PolyCreatePetPalette()
{
    SetDialogId(PetPaletteId);
    SetPaletteGuid(polyCreatePetPaletteGuid);
}

std::int32_t PolyCreatePetPalette::InputMethod() const
{
    if (mode_ == 1) return 1;
    if (mode_ == 2) return 2;
    return 0;
}

std::int16_t PolyCreatePetPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (message == DG::MsgClick || message == DG::MsgChange) HostInterfaceRequest(FourCC("INCA"), nullptr, nullptr);
    if (dialogId != PetPaletteId && message != DG::MsgInit) return 0;
    switch (message)
    {
        case DG::MsgInit:
            DG::SetDialogGrowType(dialogId, DG::NoGrow);
            DG::SetItemValue(dialogId, mode_, 1.0);
            break;
        case DG::MsgChange:
            if (item >= FirstModeItem && item <= LastModeItem) mode_ = item;
            break;
        case DG::MsgClick:
            if (item == -1) return -1;
            break;
        case DG::MsgResize:
        {
            const DG::Size size = DG::GetClientSize(dialogId);
            DG::SetClientSize(dialogId, size.width, size.height);
            break;
        }
        default: break;
    }
    return 0;
}
