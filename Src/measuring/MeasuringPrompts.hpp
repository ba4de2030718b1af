#pragma once
#include <cstdint>
#include <functional>

// The choice of the measuring prompt: an entry of string list 32560 from the
// tool, the running mode and step and the main palette's items.
struct PromptSituation
{
    std::int32_t tool = 0;
    std::int32_t variation = 0;
    std::int16_t mode = 0;
    std::int16_t step = 0;
    std::function<bool(std::int16_t item)> isOn;             // the item's value is 1
    std::function<std::int16_t(std::int16_t item)> entryOf;  // a push menu's chosen entry
};

std::int16_t ChooseMeasuringPrompt(const PromptSituation& situation);
