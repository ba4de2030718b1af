#pragma once
#include <cstdint>

#include "IO/Folder.hpp"
#include "pointclouds/VaroImportData.hpp"

// Where a job-folder scan stands: its folder depth below the chosen folder and
// the list it fills.
struct JobFolderScan
{
    static constexpr std::int16_t DeepestLevel = 2;

    std::int16_t depth = 0;
    VaroImportData& list;
};

// The enumeration callback of the scan; userData is the JobFolderScan. Folders
// whose name holds "_info" are jobs, those holding "_results" are passed over,
// others are searched down to three levels. Always true.
bool ScanJobFolderEntry(const IO::Folder& parent, const IO::Name& entryName, bool isFolder, void* userData);
