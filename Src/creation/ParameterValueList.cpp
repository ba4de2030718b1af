#include "creation/ParameterValueList.hpp"

#include <cstring>

#include "API/AddOnInterface.hpp"

ParameterValueList::ParameterValueList(std::int32_t libraryPartIndex, const char* parameterName)
{
    opened_ = HostUtilityRequest(FourCC("OPAR"), &libraryPartIndex, nullptr) == NoError;
    if (!opened_) return;
    std::strncpy(values_.name, parameterName, sizeof values_.name - 1);
    if (HostUtilityRequest(FourCC("GPVL"), &values_, nullptr) != NoError) values_.nValues = 0;
}

ParameterValueList::~ParameterValueList()
{
    BMKillHandle(&values_.realValues);
    BMKillHandle(&values_.uniStringValues);
    if (opened_) HostUtilityRequest(FourCC("CPAR"), nullptr, nullptr);
}

// The texts lie one after the other, each ended by a zero; a text that runs to
// the end of the handle ends there.
std::optional<std::u16string> ParameterValueList::Text(std::int32_t index, std::size_t maxUnits) const
{
    if (index < 0 || index >= values_.nValues || values_.uniStringValues == nullptr) return std::nullopt;
    const std::size_t units = static_cast<std::size_t>(BMGetHandleSize(values_.uniStringValues)) / sizeof(char16_t);
    const char* bytes = *values_.uniStringValues;
    const auto unitAt = [bytes](std::size_t i) {
        char16_t unit = 0;
        std::memcpy(&unit, bytes + i * sizeof(char16_t), sizeof unit);
        return unit;
    };
    std::size_t at = 0;
    for (std::int32_t skipped = 0; skipped < index; ++skipped)
    {
        while (at < units && unitAt(at) != 0) ++at;
        if (at >= units) return std::nullopt;
        ++at;
    }
    if (at >= units) return std::nullopt;
    std::u16string text;
    while (at < units && unitAt(at) != 0 && text.size() < maxUnits) text.push_back(unitAt(at++));
    return text;
}
