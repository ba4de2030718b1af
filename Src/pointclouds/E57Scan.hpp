#pragma once
#include <cstdint>
#include <functional>

#include "API/Types.hpp"
#include "Geometry/Transformation.hpp"
#include "e57/ImageFile.hpp"
#include "e57/StructureNode.hpp"
#include "pointclouds/CloudPoint.hpp"

// One scan of an opened E57 file: its pose and its points, read in blocks of 40
// records. A pose without "rotation" does not turn, one without "translation" does
// not move. Points marked invalid and points that are no numbers are left out.
class E57Scan {
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

    // Reads at most recordLimit records from the start and hands their points in
    // project coordinates to the sink, with their colours when asked for. Returns
    // the records read.
    std::uint64_t Read(bool withColours, std::uint64_t recordLimit, CloudPointSink& sink, const BeforeBlock& beforeBlock) const;

private:
    void ReadPose();

    const e57::ImageFile* file_;
    e57::StructureNode scan_;
    bool hasPose_ = false;
    bool hasCartesian_ = false;
    TRANMAT pose_;
    API_Coord3D scanner_ {};
};
