#pragma once
#include <optional>
#include <string>

#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The user's hand in the host's system dialogs and tree views:
//   answer-open <file>... | cancel      the next file dialog: the files chosen (paths
//                                       of the work folder), then OK; or Cancel
//   panel-value <item> <value>          then, inside that dialog, on its panel:
//   panel-text <item> <text>              a value set, a text typed, a button clicked,
//   panel-click <item>                    the panel widened and heightened
//   panel-resize <dx> [<dy>]
//   answer-alert <button>               the button that answers the next alert
//   tree-select <dialog> <item> <text>  selects the first tree item with that text
//   tree-expand <dialog> <item> <text>  expands it (tree-collapse: collapses it)
//   double-click <dialog> <item>        the double-click message of an item
//   print-tree <dialog> <item>          one line per tree item, indented by depth
void AddDialogVerbs(ScenarioVerbs& verbs);
// Facts: file-dialog (the last one shown).
void AddDialogFacts(const Host& host, Facts& facts);
// "tree <dialog> <item>": the tree in one line, items separated by " | ", each
// behind one dot per depth, with "+" when expanded, "(style n)" and "*" selected.
std::optional<std::string> TreeFact(const std::string& name);

}  // namespace SimHost
