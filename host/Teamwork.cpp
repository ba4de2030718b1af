#include "Teamwork.hpp"

#include <algorithm>
#include <climits>
#include <iterator>

namespace SimHost
{

void Teamwork::SetCurrentUser(std::int16_t id, const std::string& name)
{
    shared_ = true;
    currentUser_ = id;
    const auto known = std::find_if(users_.begin(), users_.end(), [id](const TeamworkUser& u) { return u.id == id; });
    if (known != users_.end())
    {
        known->name = name;
        return;
    }
    users_.push_back({id, GuidOfUser(id), name});
}

void Teamwork::FillProjectInfo(API_ProjectInfo& info) const
{
    info.teamwork = shared_;
    info.userId = shared_ ? currentUser_ : 0;
}

GSErrCode Teamwork::FillSharingInfo(API_SharingInfo& info) const
{
    info = API_SharingInfo {};
    if (!shared_) return APIERR_GENERAL;
    for (const TeamworkUser& user : users_)
    {
        API_UserInfo entry {};
        const std::u16string name = GS::Utf8ToUtf16(user.name);
        const std::size_t units = std::min(name.size(), std::size(entry.loginName) - 1);
        std::copy_n(name.begin(), units, entry.loginName);
        entry.guid = user.guid;
        entry.userId = user.id;
        info.users.push_back(entry);
    }
    info.nUsers = static_cast<std::int32_t>(info.users.size());
    return NoError;
}

API_Guid Teamwork::GuidOfUser(std::int16_t id)
{
    GS::Guid::Parts parts;
    parts.data1 = 0x7EA30000;
    parts.data3 = 0x4000;
    parts.data4[0] = 0x80;
    parts.data4[6] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(id) >> 8);
    parts.data4[7] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(id) & 0xFF);
    return GSGuid2APIGuid(GS::Guid(parts));
}

std::optional<std::int16_t> Teamwork::HolderOf(const API_Guid& guid) const
{
    for (const auto& [held, user] : reservations_)
        if (held == guid) return user;
    return std::nullopt;
}

void Teamwork::Hold(const API_Guid& guid, std::int16_t user)
{
    Release(guid);
    reservations_.emplace_back(guid, user);
}

void Teamwork::Release(const API_Guid& guid)
{
    reservations_.erase(
        std::remove_if(reservations_.begin(), reservations_.end(), [&guid](const auto& r) { return r.first == guid; }),
        reservations_.end());
}

std::int16_t Teamwork::SomeoneElse() const
{
    for (const TeamworkUser& user : users_)
        if (user.id != currentUser_) return user.id;
    return static_cast<std::int16_t>(currentUser_ == SHRT_MAX ? 0 : currentUser_ + 1);
}

}  // namespace SimHost
