#include "pointclouds/E57CloudSource.hpp"

namespace {

// Gives each point its level before it goes on.
class LevelledSink : public CloudPointSink {
public:
    LevelledSink(PointThinning& thinning, CloudPointSink& next) : thinning_(thinning), next_(next) {}

    void Take(CloudPoint* points, std::size_t count) override
    {
        for (std::size_t i = 0; i < count; ++i) points[i].level = thinning_.NextLevel(points[i].position);
        next_.Take(points, count);
    }

private:
    PointThinning& thinning_;
    CloudPointSink& next_;
};

}  // namespace

void E57CloudSource::Deliver(CloudPointSink& sink)
{
    thinning_.Restart();
    LevelledSink levelled(thinning_, sink);
    for (const ScanRecords& part : scans_) part.scan.Read(true, part.records, levelled, [](std::uint64_t) { return true; });
}
