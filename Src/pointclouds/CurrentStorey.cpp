#include "pointclouds/CurrentStorey.hpp"

#include "API/AddOnInterface.hpp"
#include "API/Database.hpp"

std::int16_t CurrentStoreyIndex()
{
    API_StoryInfo info;
    if (HostEnvironmentRequest(FourCC("GSTO"), &info, nullptr) != NoError) return 0;
    return info.actStory;
}
