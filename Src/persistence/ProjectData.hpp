#pragma once
#include <array>
#include <cstdint>

#include "framework/IFileIO.hpp"
#include "persistence/ProjectStream.hpp"
#include "persistence/QuintairData.hpp"
#include "persistence/StationReference.hpp"
#include "pointclouds/VaroImportData.hpp"
#include "profiles/SectionPalette.hpp"

// The main object's project data on their own, as a teamwork merge reads and
// writes them: no main palette, no watcher, no update check, and the live
// measuring state stays as it is. Starts with the main object's start values,
// so a shorter stream leaves what a new main object would hold.
class ProjectData final : public IFileIO
{
public:
    ProjectData();

    // The stream the main object writes, with the user list as it stands.
    bool Write(CDataRecorder& recorder) override;
    // The project-data stream of any version; values of a stream older than the
    // user list are dropped. False when the stream was damaged.
    bool Read(CDataRecorder& recorder) override;

    bool elementCreated = false;
    QuintairData userData;
    // The profiles live in the palette that draws them; this one never opens.
    SectionPalette sectionPalette;
    StationReference firstStation;
    StationReference secondStation;
    bool markerIdsShown = false;
    bool manualCalibration = false;
    bool sounds = true;
    VaroImportData importData;
    std::array<std::int16_t, 7> importColumnWidths {};
    std::int32_t language = 0;
    std::int32_t streamVersion = 0;

private:
    ProjectStream StreamOverMembers();
};
