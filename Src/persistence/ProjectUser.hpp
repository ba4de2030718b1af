#pragma once
#include "GS/Guid.hpp"
#include "GS/UniString.hpp"

// The user who works in the project: in a teamwork project the user whose id the
// project information names, with the GUID and login name of the host's user
// list; in a solo project, or when the host cannot tell, the null GUID and no name.
struct ProjectUser
{
    GS::Guid guid;
    GS::UniString name;

    static ProjectUser Current();
    // Whether the open project is shared; false when the host cannot tell.
    static bool InTeamworkProject();
};
