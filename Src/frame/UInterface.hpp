#pragma once
#include <cstdint>
#include <string>

#include "API/Types.hpp"

// Alert kinds of the host's alert box.
constexpr std::int16_t AlertError = -1;
constexpr std::int16_t AlertWarning = -2;
constexpr std::int16_t AlertInformation = -3;

// The string list that holds every alert's titles, messages and button texts.
constexpr std::int32_t AlertStringListId = 32550;
// The host's string-resource type that every alert passes.
constexpr std::int32_t AlertStringType = 1;
// An index that leaves its text empty.
constexpr std::int32_t NoAlertText = -1;

// The titles and buttons that alerts share, entries of the alert list.
constexpr std::int32_t AlertOkButton = 1;
constexpr std::int32_t AlertCancelButton = 2;
constexpr std::int32_t AlertErrorTitle = 3;
constexpr std::int32_t AlertWarningTitle = 7;
constexpr std::int32_t AlertMessageTitle = 27;
constexpr std::int32_t AlertYesButton = 38;
constexpr std::int32_t AlertNoButton = 39;
constexpr std::int32_t AlertInformationTitle = 58;

// Shows the host's alert built from 1-based entries of a string list and
// returns the pressed button (1, 2 or 3). Missing entries stay empty.
std::int16_t ShowAlert(std::int16_t alertType, std::int32_t stringListId, std::int32_t titleIndex, std::int32_t largeTextIndex,
                       std::int32_t smallTextIndex, std::int32_t button1Index, std::int32_t button2Index,
                       std::int32_t button3Index, GSResModule module, std::int32_t stringType);

// Sets the text of one item (1-based) of an add-on menu.
GSErrCode SetMenuItemText(std::int16_t menu, std::int32_t item, const std::string& text);

// List-box tab fields and the dialog items placed on them.
std::int16_t FitTabFieldItems(std::int16_t dialogId, std::int16_t listItem, std::int16_t margin);
std::int16_t ClearTabFieldItems(std::int16_t dialogId, std::int16_t listItem);
void FitTabFieldsToList(std::int16_t dialogId, std::int16_t listItem);
