#include "persistence/ProjectUser.hpp"

#include <algorithm>
#include <iterator>

#include "API/AddOnInterface.hpp"

namespace
{

// The login name ends at its terminator or at the end of its field.
GS::UniString LoginNameOf(const API_UserInfo& user)
{
    const char16_t* begin = std::begin(user.loginName);
    const char16_t* end = std::find(begin, std::end(user.loginName), u'\0');
    return GS::UniString::FromUtf16(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

ProjectUser ProjectUser::Current()
{
    ProjectUser current;
    API_ProjectInfo project;
    if (HostEnvironmentRequest(FourCC("PROJ"), &project, nullptr) != NoError || !project.teamwork) return current;
    API_SharingInfo sharing;
    if (HostEnvironmentRequest(FourCC("SHAR"), &sharing, nullptr) != NoError) return current;
    const std::size_t listed = std::min(sharing.users.size(), static_cast<std::size_t>(std::max(sharing.nUsers, 0)));
    for (std::size_t i = 0; i < listed; ++i)
    {
        const API_UserInfo& user = sharing.users[i];
        if (user.userId != project.userId) continue;
        current.guid = APIGuid2GSGuid(user.guid);
        current.name = LoginNameOf(user);
    }
    return current;
}

bool ProjectUser::InTeamworkProject()
{
    API_ProjectInfo project;
    return HostEnvironmentRequest(FourCC("PROJ"), &project, nullptr) == NoError && project.teamwork;
}
