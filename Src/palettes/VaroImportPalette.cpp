#include "palettes/VaroImportPalette.hpp"

#include "IO/Folder.hpp"
#include "frame/PaletteGuids.hpp"
#include "pointclouds/JobFolderScan.hpp"

namespace {

// Each job found again takes over the settings of its first namesake of the
// earlier list, but not the pictures placed for it.
void CarryOverJobs(const VaroImportData& earlier, VaroImportData& found)
{
    for (OrtophotoData& job : found.jobs) {
        for (const OrtophotoData& known : earlier.jobs) {
            if (known.jobName != job.jobName) continue;
            job = known;
            break;
        }
    }
}

}  // namespace

VaroImportPalette::VaroImportPalette()
{
    SetDialogId(32465);
    SetPaletteGuid(varoImportPaletteGuid);
}

std::int16_t VaroImportPalette::DialogCallback(std::int16_t, std::int16_t, std::int16_t, std::intptr_t) { return 0; }

void VaroImportPalette::ReadJobFolder(const GS::UniString& path)
{
    VaroImportData found;
    found.jobFolder = path;
    if (!path.IsEmpty()) {
        JobFolderScan scan {0, found};
        IO::Folder(IO::Location(path)).Enumerate(ScanJobFolderEntry, &scan);
    }
    if (path == importData.jobFolder) CarryOverJobs(importData, found);
    importData = found;
}
