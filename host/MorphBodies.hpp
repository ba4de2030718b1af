#pragma once
#include <vector>

#include "API/AddOnInterface.hpp"

// A body under construction: what the host's body builder has been given so far.
struct API_BodyBuilderData
{
    API_MorphBody body;
    std::vector<API_OverriddenAttribute> materials;
};

namespace SimHost
{

// The body builder (HostCreateBodyBuilder to HostDisposeBodyBuilder): every index,
// every contour and every handle is checked, and a refused call adds nothing.
void FillMorphBodyServices(HostServiceTable& table);

// A body a morph can take: at least one polygon, and every index in range.
bool IsUsableMorphBody(const API_MorphBody& body, std::size_t materialCount);

}  // namespace SimHost
