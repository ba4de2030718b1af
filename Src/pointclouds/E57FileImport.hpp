#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "API/Types.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "pointclouds/E57CloudSource.hpp"
#include "pointclouds/E57Scan.hpp"
#include "pointclouds/PointCloudBox.hpp"
#include "pointclouds/PointThinning.hpp"

class Survanto;

// What the import's panel gives the reading of every file.
struct E57ImportOptions
{
    IO::Location targetFolder;
    GS::UniString partName;
    std::size_t selectedFiles = 1;
    std::int16_t storeyIndex = 0;
    bool thinOut = true;
    bool thinByDistance = true;
    double distance75 = 6.0;
    double distance50 = 12.0;
    double distance25 = 36.0;
};

// The import of one E57 file: each scan with a pose becomes a part with its point
// files, a placed object and a camera at the scanner; the scans without a pose
// become one merged part when the user wants them. The cancel and failure flags
// belong to the whole command.
class E57FileImport
{
public:
    E57FileImport(Survanto& survanto, const E57ImportOptions& options, bool& cancelled, bool& failed);

    // Reads the file's scans; the GUIDs of the objects and cameras made go into `made`.
    // The reader's errors end the file and reach the caller.
    void Run(const IO::Location& file, std::vector<API_Guid>& made);

private:
    // What the first reading of a cloud gave: its box and its number of points.
    struct CloudExtent
    {
        PointCloudBox box;
        std::uint64_t points = 0;
    };

    bool CancelledAt(std::int32_t value);
    void SetValue(std::int32_t value);
    // Reads a scan's coordinates into the extent, up to a cancel; the records read.
    std::uint64_t MeasureScan(const E57Scan& scan, std::int32_t pass, CloudExtent& extent);
    PointThinning Thinning(const E57Scan* positioned) const;
    GS::UniString PartName(const IO::Location& file, std::int32_t passIndex, std::int32_t outputs) const;
    void MakePart(const GS::UniString& name, E57CloudSource& source, const CloudExtent& extent, const E57Scan* positioned,
                  std::vector<API_Guid>& made);

    Survanto& survanto_;
    const E57ImportOptions& options_;
    bool& cancelled_;
    bool& failed_;
    std::int32_t value_ = 0;
};
