#include "pointclouds/E57CloudSource.hpp"

#include <algorithm>
#include <array>

namespace {

// Gives each point its level before it goes on.
class LevelledSink : public CloudPointSink {
public:
    LevelledSink(PointThinning& thinning, CloudPointSink& next) : thinning_(thinning), next_(next) {}

    void Take(const CloudPoint* points, std::size_t count) override
    {
        std::array<CloudPoint, E57Scan::BlockSize> levelled;
        while (count > 0) {
            const std::size_t n = std::min(count, levelled.size());
            for (std::size_t i = 0; i < n; ++i) {
                levelled[i] = points[i];
                levelled[i].level = thinning_.NextLevel(points[i].position);
            }
            next_.Take(levelled.data(), n);
            points += n;
            count -= n;
        }
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
