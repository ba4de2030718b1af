#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "API/Types.hpp"
#include "TypVektor.hpp"

// Operations whose real body is still to come record here that they were asked
// for, with the running action as it stood, so that their callers can be checked.
struct PendingCall {
    std::string name;
    std::vector<API_Coord3D> points;  // the running action's points, or the point handed over
    std::int16_t step = 0;            // the main object's point step at the call
    std::int32_t argument = 0;        // the call's own argument, where it has one
    const void* target = nullptr;     // the object called, where several could be
};

std::vector<PendingCall>& PendingCallTrace();

void RecordPendingCall(std::string name, const TypVektor<API_Coord3D>& points, std::int16_t step,
                       std::int32_t argument = 0, const void* target = nullptr);
