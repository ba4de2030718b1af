#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The point-cloud template part, parent of every generated point-cloud part.
constexpr const char* PointCloudTemplateId = "{2D913BBF-CD72-4620-9F2C-124EFB419915}-{616F4271-55A4-46E0-A010-97C1515C9641}";

// A placeholder of the template's 3D script and the level whose point file it names.
struct PointCloudPlaceholder
{
    std::string text;
    std::uint32_t level = 0;
};

// The placeholders of a level count in the order they are filled in: with three
// levels "[pointcloudgspc]_25_2" comes before "[pointcloudgspc]_25", which would
// otherwise take its start.
std::vector<PointCloudPlaceholder> PointCloudPlaceholders(std::uint32_t levelCount);
