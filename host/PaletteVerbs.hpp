#pragma once
#include <string>

#include "Scenario.hpp"

namespace SimHost
{

// The user's hand on the add-on's menus and palettes, played by scenarios:
//   menu <menu id> [item]                  chooses a menu item (1 when not given)
//   click <dialog> <item>                  clicks an item; a check button toggles
//   set-item <dialog> <item> <value>       changes an item's value as the user would
//                                          (a push menu's or pop-up's entry)
//   expect-item <dialog> <item> = <value>  the item's value must read so
//   expect-dialog <dialog> = open|closed   whether the dialog is open
//   answer-file <path>|cancel              answers the next save-file dialog; a
//                                          relative path lies in the work folder
//   answer-alert <button 1..3>             answers the next alert (unanswered ones take 1)
//   drag-slider <dialog> <slider> <value>  the user drags a slider within its bounds
//   close-dialog <dialog>                  the palette's close box
//   move-dialog <dialog> <x> <y>           the user moves the open palette
//   palette-control <dialog> close|hide|show|disable|enable
//                                          the host's request to a registered palette
//   print-dialog <dialog>                  prints the dialog as a table of its items
// A click or change fails on an item that is hidden or disabled, and on a
// pop-up's disabled entry, which no user can reach. Facts: palettes, "dialog <id>", "item <dialog> <item> <field>" with
// the fields value, text, enabled, visible, icon, tooltip, help, entry, entries, font, bounds (a slider's).
void AddPaletteVerbs(ScenarioVerbs& verbs);

// Empty when the dialog is open; otherwise whether it is closed or there is none,
// for the verbs that need it open.
std::string WhyDialogIsNotOpen(short dialog);

}  // namespace SimHost
