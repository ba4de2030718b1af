#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "Host.hpp"
#include "ProjectModel.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// The host's project file, readable JSON: the elements (each record's bytes as hex,
// which is what is read back, beside its description and GUID for the reader; the
// memo and the add-on's user data), layers, storeys and the module data as hex.
bool SaveProjectFile(const ProjectModel& model, const std::string& path, std::string& error);
// A fresh project with the file's content; false with the reason, and the model untouched.
bool ReadProjectFile(const std::string& path, ProjectModel& model, std::string& error);

// A platform sign in the host's files: its two characters ("WW"), or its number
// when they are not printable; reading throws on anything else.
nlohmann::json PlatformSignJson(std::uint16_t sign);
std::uint16_t PlatformSignFrom(const nlohmann::json& sign);

// A path given in a scenario: a relative one lies in the host's work folder.
std::string WorkPath(const Host& host, const std::string& path);
// Fact "file <path>": the file's bytes as hex, "none" when there is no such file.
std::optional<std::string> FileFact(const Host& host, const std::string& name);

// save-project <file>   writes the open project
// open-project <file>   opens a saved project as the host does: the open project
//                       is closed, then the project-open event follows
void AddProjectFileVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
