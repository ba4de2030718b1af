#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "API/Database.hpp"

namespace SimHost {

struct TeamworkUser {
    std::int16_t id = 0;
    API_Guid guid {};
    std::string name;
};

// The sharing of a project: solo until a user joins it; then the project is a
// teamwork project and the user who joined last is the one working here.
class Teamwork {
public:
    bool IsShared() const { return shared_; }
    // Adds the user, or renames the user of that id, and makes them the current one.
    void SetCurrentUser(std::int16_t id, const std::string& name);
    const std::vector<TeamworkUser>& Users() const { return users_; }
    std::int16_t CurrentUserId() const { return currentUser_; }

    // The answers to "PROJ" and "SHAR".
    void FillProjectInfo(API_ProjectInfo& info) const;
    GSErrCode FillSharingInfo(API_SharingInfo& info) const;

    // A user's GUID follows from the id, so scenarios can name it.
    static API_Guid GuidOfUser(std::int16_t id);

private:
    bool shared_ = false;
    std::int16_t currentUser_ = 0;
    std::vector<TeamworkUser> users_;
};

}  // namespace SimHost
