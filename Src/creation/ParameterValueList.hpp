#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "API/Elements.hpp"

// The value list of one parameter of a library part, read from the host's
// parameter list of that part. The list is closed and its handles are freed when
// the object goes.
class ParameterValueList
{
public:
    ParameterValueList(std::int32_t libraryPartIndex, const char* parameterName);
    ParameterValueList(const ParameterValueList&) = delete;
    ParameterValueList& operator=(const ParameterValueList&) = delete;
    ~ParameterValueList();

    // The text of entry `index` (from 0), at most `maxUnits` UTF-16 units of it;
    // none when the list does not hold that entry.
    std::optional<std::u16string> Text(std::int32_t index, std::size_t maxUnits) const;

private:
    bool opened_ = false;
    API_GetParamValuesType values_;
};
