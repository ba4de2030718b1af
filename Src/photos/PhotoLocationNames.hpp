#pragma once
#include <vector>

#include "API/Elements.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"

// A photo's location as photo objects carry it: the network names (server and
// share of a path that starts with two separators) and the local names.
struct PhotoLocationNames
{
    std::vector<GS::UniString> network;
    std::vector<GS::UniString> local;
};

PhotoLocationNames NamesOfLocation(const IO::Location& location);
IO::Location LocationOfNames(const PhotoLocationNames& names);

// Writes the names into the array parameter: its first dimension the count, its
// value the names as zero-terminated UTF-16 texts one after the other in one
// zero-filled block. No names give one empty text.
void SetNameArray(API_AddParType& parameter, const std::vector<GS::UniString>& names);
// The non-empty names of the array parameter, as many as its first dimension
// gives, read within its block only.
std::vector<GS::UniString> ReadNameArray(const API_AddParType& parameter);
