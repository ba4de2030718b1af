#pragma once
#include <string>

#include "Scenario.hpp"

namespace SimHost
{

// What the orthophoto program leaves in a folder: a job folder "<job>_info"
// with its tile description "<job>-coord.txt", and numbered PNG tiles in
// "tiles" beside it, each a square of the given size in metres, laid out in
// columns and rows from a corner: upright along x (a facade) or flat (a floor).
struct OrthophotoJob
{
    std::string folder;  // the folder that holds the job folder
    std::string name;
    bool vertical = true;
    int columns = 1;
    int rows = 1;
    double tileSize = 1.0;
    int pixels = 64;
    double x = 0.0, y = 0.0, z = 0.0;
};

// False with the reason when a file cannot be written.
bool WriteOrthophotoJob(const OrthophotoJob& job, std::string& error);

// Verb:
//   write-orthophoto-job <folder> <job> vertical|horizontal <columns> <rows> <tile metres> <pixels> [x y z]
//       a relative folder lies in the work folder
void AddOrthophotoJobVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
