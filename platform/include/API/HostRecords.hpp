#pragma once
#include <functional>

#include "API/Attributes.hpp"
#include "API/Database.hpp"
#include "API/Elements.hpp"
#include "API/LibraryParts.hpp"
#include "API/Types.hpp"

namespace Modeler
{
class Sight;
}

// An operation the host runs at once as one undoable step.
using APIUndoableCommand = std::function<GSErrCode()>;
