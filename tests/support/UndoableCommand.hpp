#pragma once
#include <type_traits>

#include "API/AddOnInterface.hpp"

// Runs the body as the add-on makes its changes: inside one undoable command,
// which the host needs for every element change. Gives the body's result.
template <typename Body>
auto InUndoableCommand(Body&& body) -> decltype(body())
{
    using Result = decltype(body());
    if constexpr (std::is_void_v<Result>)
    {
        HostCallUndoableCommand(GS::UniString(), [&] {
            body();
            return NoError;
        });
    }
    else
    {
        Result result {};
        HostCallUndoableCommand(GS::UniString(), [&] {
            result = body();
            return NoError;
        });
        return result;
    }
}
