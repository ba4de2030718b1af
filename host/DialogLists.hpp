#pragma once
#include <optional>
#include <string>

#include "Scenario.hpp"

namespace SimHost
{

// What scenarios read and do with list boxes, pop-ups and folder browsers of
// the add-on's dialogs. Facts asked for by name:
//   "rows <dialog> <list>"        the number of rows and of selected rows
//   "row <dialog> <list> <n>"     "*" when selected, then per tab field its icon
//                                 ([x], [ ], - or #id) or text, " | " between
//   "header <dialog> <list>"      per header item its text or icon and its arrow
//   "popup <dialog> <item>"       the entries, ">" before the chosen one and a
//                                 disabled one in parentheses
//   "folder-dialogs"              each folder browser's title and start folder
// Verbs:
//   click-row <dialog> <list> <row> [x] [add]   the user's click on a row (0: below
//                                 the rows) at x (default 200); add keeps the rows
//                                 selected before
//   click-header <dialog> <list> <header item>
//   answer-folder <path>|cancel   answers the next folder browser (a relative path
//                                 lies in the work folder)
//   print-list <dialog> <list>    prints the header and the rows
//   resize-dialog <dialog> <width> <height>   the user drags the palette's edges
//                                 as far as its grow type lets them: the grow
//                                 phases, then the size change (message 12)
std::optional<std::string> ListFact(const std::string& name);
void AddListVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
