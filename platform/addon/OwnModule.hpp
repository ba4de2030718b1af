#pragma once
#include "API/Types.hpp"

namespace AddOnInterface
{
// Kept by the library load hook: where the add-on file lies and its resources.
void SetOwnModule(const IO::Location& location, GSResModule module);
}  // namespace AddOnInterface
