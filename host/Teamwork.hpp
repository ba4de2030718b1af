#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "API/Database.hpp"

namespace SimHost
{

struct TeamworkUser
{
    std::int16_t id = 0;
    API_Guid guid {};
    std::string name;
};

// The sharing of a project: solo until a user joins it; then the project is a
// teamwork project and the user who joined last is the one working here.
class Teamwork
{
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

    // Reservations: the user who holds an element, none while it is free.
    std::optional<std::int16_t> HolderOf(const API_Guid& guid) const;
    void Hold(const API_Guid& guid, std::int16_t user);
    void Release(const API_Guid& guid);
    const std::vector<std::pair<API_Guid, std::int16_t>>& Reservations() const { return reservations_; }
    // A user who is not the current one: a known colleague, else the next id.
    std::int16_t SomeoneElse() const;

private:
    bool shared_ = false;
    std::int16_t currentUser_ = 0;
    std::vector<TeamworkUser> users_;
    std::vector<std::pair<API_Guid, std::int16_t>> reservations_;
};

}  // namespace SimHost
