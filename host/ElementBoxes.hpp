#pragma once
#include "ProjectModel.hpp"

namespace SimHost
{

// The element's 3D box, its heights above the storey level given.
bool ElementBox(const StoredElement& element, double storeyLevel, API_Box3D& box);

}  // namespace SimHost
