#pragma once
#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "ProjectModel.hpp"

namespace SimHost
{

// The pens, line types, fills, fonts and profiles a new project has.
void AddStandardAttributes(ProjectContent& content);

// HostGetAttribute for every type but layers.
GSErrCode GetStoredAttribute(const ProjectModel& model, API_Attribute* attribute);

// HostSearchAttribute (layers by name too), HostCreateAttribute (layers) and the attribute facts: "attribute-requests" counts the
// requests by type and index ("1:5x2" for two requests of pen 5).
void FillAttributeServices(HostServiceTable& table);
void AddAttributeFacts(const Host& host, Facts& facts);

}  // namespace SimHost
