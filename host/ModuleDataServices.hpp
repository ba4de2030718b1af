#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// Module data and preferences: the services fill their slots and tell their facts
//   module-data                      the names with their sizes: "":32 "REPORT":60
//   module-data "<name>"             the bytes as hex
//   module-data-header "<name>"      version 1, sign WW
//   preferences                      the bytes as hex, or none
//   preferences-version              the version stored with them, or none
//   merge-result                     what the last merge handler call answered, or none
// and the verb
//   merge <mode> <module> <file>     calls the add-on's merge handler for the named
//                                    module data ("" for the unnamed one): the base is
//                                    the open project's, the block to merge the project
//                                    file's; the destination's result becomes the open
//                                    project's module data.
void AddModuleDataVerbs(ScenarioVerbs& verbs);

// The merge of the verb above, with the incoming project read; false when the
// add-on installed no merge handler.
bool MergeModuleData(Host& host, std::int32_t mode, const GS::UniString& name, const ProjectModel& incoming, GSErrCode& result);

}  // namespace SimHost
