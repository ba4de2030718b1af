#include "FillElements.hpp"

namespace SimHost {

bool IsFillType(API_ElemTypeID type) { return type == API_HatchID; }

}  // namespace SimHost
