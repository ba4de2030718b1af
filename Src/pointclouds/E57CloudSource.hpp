#pragma once
#include <cstdint>
#include <vector>

#include "pointclouds/CloudPoint.hpp"
#include "pointclouds/E57Scan.hpp"
#include "pointclouds/PointFileSet.hpp"
#include "pointclouds/PointThinning.hpp"

// The points of one point cloud read again from its scans, each up to the records
// read when its box was taken, with their colours and thinning levels.
class E57CloudSource : public CloudPointSource
{
public:
    explicit E57CloudSource(PointThinning thinning) : thinning_(thinning) {}

    void AddScan(const E57Scan& scan, std::uint64_t records) { scans_.push_back({scan, records}); }
    std::uint32_t LevelCount() const { return thinning_.LevelCount(); }
    void Deliver(PointFileSet& files) override;

private:
    struct ScanRecords
    {
        E57Scan scan;
        std::uint64_t records = 0;
    };

    PointThinning thinning_;
    std::vector<ScanRecords> scans_;
};
