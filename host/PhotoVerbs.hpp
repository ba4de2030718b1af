#pragma once
#include <optional>
#include <string>

#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

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
//   wait-thumbnails <dialog> <item> <count>   runs the posted commands until that
//                                 many entries of the list view show a picture
//                                 (fails after 30 s)
//   list-view-png <dialog> <item> <file.png>   the list view as the user sees it
//   "parameter <n> <name>"        a GDL parameter of the n-th element (from 1): its
//                                 number, its quoted text, or its array's texts
//                                 joined by "/"
//   "embedded-pictures"           the files of the embedded library's folder "Survanto"
std::optional<std::string> ListViewFact(const std::string& name);
std::optional<std::string> PhotoFact(const Host& host, const std::string& name);
void AddPhotoVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
