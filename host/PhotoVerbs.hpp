#pragma once
#include <optional>
#include <string>

#include "Scenario.hpp"

namespace SimHost {

// The host's clock, list views and photo files for scenarios. Fact asked for by name:
//   "list-view <dialog> <item>"   per entry its text, user data, "img" when it
//                                 has a picture and "grey" when its text is grey,
//                                 " | " between, then the view mode and picture size
// Verbs:
//   clock <seconds>               sets the host's clock ("TIGetTime"), which then stands
//   write-photo <file> <width> <height> [<red> <green> <blue>]   writes a photo as
//                                 PNG with a white top left quarter, so that its
//                                 turns show
//   file-time <file> <seconds>    sets a file's modification time
//   list-view-png <dialog> <item> <file.png>   the list view as the user sees it
std::optional<std::string> ListViewFact(const std::string& name);
void AddPhotoVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
