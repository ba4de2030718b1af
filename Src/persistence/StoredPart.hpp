#pragma once
#include <cstdint>

// The parts of the add-on's stored project data, in the order they are stored:
// the main object's block from the users' records to the orthophoto jobs, bytes
// behind them that no part takes, then the report's block. An alert names those
// that could not be read.
enum class StoredPart : std::int16_t
{
    UserData,
    Profiles,
    Stations,
    OrthophotoJobs,
    Trailing,
    Report
};
