#pragma once
#include "API/Elements.hpp"

namespace SimHost {

// Fills (element type 18): the record holds the polygon's counts, the memo the
// polygon in the host's form.
bool IsFillType(API_ElemTypeID type);

}  // namespace SimHost
