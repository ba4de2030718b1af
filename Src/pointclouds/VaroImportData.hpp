#pragma once
#include <cstdint>

#include "GS/UniString.hpp"
#include "framework/IFileIO.hpp"
#include "framework/TypVektor.hpp"
#include "pointclouds/OrtophotoData.hpp"

// The orthophoto import's job list: the folder the user chose and the jobs found
// below it, stored with the project.
class VaroImportData : public IFileIO
{
public:
    static constexpr std::int16_t StreamVersion = 4;

    VaroImportData() = default;
    VaroImportData(const VaroImportData&) = default;
    // Jobs are copy-constructed, so their placed pictures come along.
    VaroImportData& operator=(const VaroImportData&) = default;
    virtual ~VaroImportData() = default;

    // Always true.
    bool Write(CDataRecorder& recorder) override;
    // Replaces folder and jobs. False, with the jobs read so far, when a stored
    // count is negative or larger than the bytes left could hold.
    bool Read(CDataRecorder& recorder) override;
    // Turns every target whose view the host no longer knows into the floor plan
    // of the current storey.
    void ValidateTargets();

    GS::UniString jobFolder;
    TypVektor<OrtophotoData> jobs;
};
