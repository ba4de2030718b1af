#include "pointclouds/E57CloudSource.hpp"

void E57CloudSource::Deliver(PointFileSet& files)
{
    if (!files.IsOpen()) return;
    thinning_.Restart();
    for (const ScanRecords& part : scans_) part.scan.WritePoints(part.records, thinning_, files);
}
