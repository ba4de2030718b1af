#include "pointclouds/PointCloudTemplate.hpp"

std::vector<PointCloudPlaceholder> PointCloudPlaceholders(std::uint32_t levelCount)
{
    if (levelCount == 2) return {{"[pointcloudgspc]_1", 0}, {"[pointcloudgspc]_2", 1}};
    if (levelCount == 3) return {{"[pointcloudgspc]_25_2", 2}, {"[pointcloudgspc]_25", 1}, {"[pointcloudgspc]_50", 0}};
    return {{"[pointcloudgspc]", 0}};
}
