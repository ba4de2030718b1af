#pragma once
#include "Scenario.hpp"

namespace SimHost {

// The user's hand on the add-on's menus and palettes, played by scenarios:
//   menu <menu id> [item]                  chooses a menu item (1 when not given)
//   click <dialog> <item>                  clicks an item; a check button toggles
//   set-item <dialog> <item> <value>       changes an item's value as the user would
//   expect-item <dialog> <item> = <value>  the item's value must read so
//   expect-dialog <dialog> = open|closed   whether the dialog is open
//   answer-file <path>|cancel              answers the next save-file dialog; a
//                                          relative path lies in the work folder
void AddPaletteVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
