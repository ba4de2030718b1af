#include "palettes/InfoPalette.hpp"

#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"
#include "frame/PaletteGuids.hpp"
#include "frame/Survanto.hpp"

namespace
{

constexpr std::int16_t PromptList = 32560;
constexpr std::int16_t PromptItem = 1;

}  // namespace

InfoPalette::InfoPalette()
{
    SetDialogId(DialogId);
    SetPaletteGuid(infoPaletteGuid);
}

std::int16_t InfoPalette::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (dialogId != DialogId && message != DG::MsgInit) return 0;
    if (message == DG::MsgInit) ShowStoredPrompt();
    if (message == DG::MsgClick && item == DG::CloseBox) return -1;
    return 0;
}

void InfoPalette::SetPrompt(std::int16_t index)
{
    prompt_ = index;
    if (GetOpenMode() == Closed) return;
    DG::SetItemText(DialogId, PromptItem, RS::GetIndString(PromptList, index, CurrentResourceModule()));
}

void InfoPalette::ShowStoredPrompt() { SetPrompt(prompt_); }
