#pragma once
#include <cstdint>
#include <functional>

#include "API/Types.hpp"
#include "Geometry/Transformation.hpp"
#include "e57/ImageFile.hpp"
#include "e57/StructureNode.hpp"
#include "pointclouds/PointCloudBox.hpp"
#include "pointclouds/PointFileSet.hpp"
#include "pointclouds/PointThinning.hpp"

// One scan of an opened E57 file: its pose and its points, read in blocks of 40
// records. A pose without "rotation" does not turn, one without "translation" does
// not move; a pose with a value that is no number counts as none. Points marked invalid and
// points that are no numbers are left out.
class E57Scan
{
public:
    static constexpr std::size_t BlockSize = 40;

    // Told the number of points read so far before each block; false stops the reading.
    using BeforeBlock = std::function<bool(std::uint64_t pointsSoFar)>;

    E57Scan(const e57::ImageFile& file, const e57::StructureNode& scan);

    bool HasPose() const { return hasPose_; }
    // The point's place in the project: rotated first, then moved; identity without a pose.
    const TRANMAT& Pose() const { return pose_; }
    // The pose's translation: where the scanner stood.
    const API_Coord3D& ScannerPosition() const { return scanner_; }
    bool HasCartesian() const { return hasCartesian_; }
    std::uint64_t RecordCount() const;

    // Reads the scan's coordinates from the start, while beforeBlock agrees, and widens
    // the box by its points in project coordinates: the first point of all (points
    // still 0) sets the box. points counts the points taken; returns the records read.
    std::uint64_t TakeBox(PointCloudBox& box, std::uint64_t& points, const BeforeBlock& beforeBlock) const;
    // Writes the points of the first recordLimit records with their colours into the
    // open point files, each on its level: on other threads, block by block, each
    // block in parts side by side, while the next blocks are read. The files and the
    // thinning are those threads' until the call returns; a read that fails stops
    // them before the exception goes on.
    void WritePoints(std::uint64_t recordLimit, PointThinning& thinning, PointFileSet& files) const;

private:
    void ReadPose();

    const e57::ImageFile* file_;
    e57::StructureNode scan_;
    bool hasPose_ = false;
    bool hasCartesian_ = false;
    TRANMAT pose_;
    API_Coord3D scanner_ {};
};
