#pragma once
#include <string>

#include "ProjectModel.hpp"

namespace SimHost
{

// How scenarios and tests see an element: its kind and the figures that place it.
std::string ElemTypeName(API_ElemTypeID type);
std::string DescribeElement(const StoredElement& element);

}  // namespace SimHost
