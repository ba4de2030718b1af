#pragma once
#include "framework/CDialogBase.hpp"

// A small dockable palette that shows one measuring prompt of the prompt list.
class InfoPalette : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32410;

    InfoPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // Keeps the prompt (1-based) and shows it when the palette is open.
    void SetPrompt(std::int16_t index);
    void ShowStoredPrompt();

private:
    // "Survanto Funktion wählen": what the user does first.
    std::int16_t prompt_ = 4;
};
