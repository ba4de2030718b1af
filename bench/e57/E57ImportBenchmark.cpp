// The E57 import of one generated scan (double coordinates, 8-bit colours, a pose,
// thinning by distance). Every point file starts with the cloud's box, so the box is
// known before the first point is written: the scan is read twice, the coordinates
// for the box, then every field while writing.
//   boxReading         the first reading alone: coordinates and pose for the box
//   pointFiles         the point files alone, of points held in memory
//   twoReadings        the box from a first reading, the point files from a second
//   wholeImport        the import command in a simulated host, part and object included
// Run each alone (--benchmark_filter) to see its own peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchFolder.hpp"
#include "E57TestWriter.hpp"
#include "ImportHost.hpp"
#include "pointclouds/E57CloudSource.hpp"
#include "pointclouds/E57Scan.hpp"
#include "pointclouds/PointFileSet.hpp"
#include "pointclouds/PointThinning.hpp"

namespace fs = std::filesystem;

namespace
{

const fs::path& BenchFolder() { return BenchFolderNamed("survanto-import-bench"); }

// A scan on a 1000 x 1000 grid, 20 m wide, with its scanner in the middle.
const std::string& GeneratedScan(std::uint64_t points)
{
    static std::map<std::uint64_t, std::string> written;
    std::string& path = written[points];
    if (!path.empty()) return path;
    e57test::ScanLayout scan;
    scan.name = "benchmark";
    scan.fields = {{"cartesianX", e57test::FieldKind::Double},          {"cartesianY", e57test::FieldKind::Double},
                   {"cartesianZ", e57test::FieldKind::Double},          {"colorRed", e57test::FieldKind::Integer, 0, 255},
                   {"colorGreen", e57test::FieldKind::Integer, 0, 255}, {"colorBlue", e57test::FieldKind::Integer, 0, 255}};
    scan.recordCount = points;
    scan.pose = e57test::Pose {std::array<double, 4> {0.9238795325, 0, 0, 0.3826834324}, std::array<double, 3> {100, 200, 3}};
    scan.source = [](std::uint64_t r, e57test::FieldValue* v) {
        v[0].real = double(r % 1000) * 0.02 - 10;
        v[1].real = double(r / 1000 % 1000) * 0.02 - 10;
        v[2].real = double(r) * 1e-7;
        v[3].integer = std::int64_t(r % 256);
        v[4].integer = std::int64_t(r / 256 % 256);
        v[5].integer = std::int64_t(r * 7 % 256);
    };
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    path = (BenchFolder() / ("scan-" + std::to_string(points) + ".e57")).string();
    writer.write(path);
    return path;
}

double PeakResidentMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& state, std::uint64_t points, double peakBefore)
{
    state.SetItemsProcessed(static_cast<std::int64_t>(points));
    state.counters["points_per_s"] = benchmark::Counter(double(points), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = PeakResidentMegabytes();
    state.counters["peak_growth_MB"] = PeakResidentMegabytes() - peakBefore;
}

bool Always(std::uint64_t) { return true; }

PointThinning DistanceThinning(const E57Scan& scan) { return PointThinning::ByDistance(scan.ScannerPosition(), 6, 12, 36); }

struct OpenScan
{
    explicit OpenScan(const std::string& path)
        : file(path, "r", e57::ImageFile::kChecksumAll), scan(file, e57::StructureNode(file.root().get("/data3D/0")))
    {}
    e57::ImageFile file;
    E57Scan scan;
};

void BoxReading(benchmark::State& state)
{
    const std::uint64_t points = static_cast<std::uint64_t>(state.range(0));
    const std::string& path = GeneratedScan(points);
    const double peakBefore = PeakResidentMegabytes();
    for (auto _ : state)
    {
        OpenScan open(path);
        PointCloudBox box;
        std::uint64_t taken = 0;
        open.scan.TakeBox(box, taken, Always);
        benchmark::DoNotOptimize(box);
    }
    Report(state, points * state.iterations(), peakBefore);
}

// The same block of 40 points over and over, on two levels.
class RepeatedBlock : public CloudPointSource
{
public:
    explicit RepeatedBlock(std::uint64_t points) : points_(points)
    {
        for (std::size_t i = 0; i < block_.size(); ++i)
        {
            block_[i].position = {double(i), double(i) * 0.5, 1.0};
            block_[i].colour = {double(i), 100.0, 200.0};
            block_[i].level = i % 4 == 0 ? 0 : 1;
        }
    }
    void Deliver(PointFileSet& files) override
    {
        for (std::uint64_t done = 0; done < points_; done += block_.size())
            files.Take(block_.data(), static_cast<std::size_t>(std::min<std::uint64_t>(block_.size(), points_ - done)));
    }

private:
    std::uint64_t points_;
    std::array<CloudPoint, 40> block_ {};
};

void PointFiles(benchmark::State& state)
{
    const std::uint64_t points = static_cast<std::uint64_t>(state.range(0));
    const double peakBefore = PeakResidentMegabytes();
    const fs::path target = BenchFolder() / "files";
    fs::create_directories(target);
    RepeatedBlock source(points);
    PointCloudBox box;
    box.Add({0, 0, 0}, true);
    box.Add({40, 20, 1}, false);
    for (auto _ : state)
    {
        PointFileSet files(IO::Location(target.string()), GS::UniString("Scan"), 2);
        files.Open(box);
        source.Deliver(files);
        if (!files.Close()) state.SkipWithError("the point files were not written");
    }
    Report(state, points * state.iterations(), peakBefore);
}

void TwoReadings(benchmark::State& state)
{
    const std::uint64_t points = static_cast<std::uint64_t>(state.range(0));
    const std::string& path = GeneratedScan(points);
    const double peakBefore = PeakResidentMegabytes();
    const fs::path target = BenchFolder() / "two";
    fs::create_directories(target);
    for (auto _ : state)
    {
        OpenScan open(path);
        PointCloudBox box;
        std::uint64_t taken = 0;
        const std::uint64_t records = open.scan.TakeBox(box, taken, Always);
        E57CloudSource source(DistanceThinning(open.scan));
        source.AddScan(open.scan, records);
        PointFileSet files(IO::Location(target.string()), GS::UniString("Scan"), source.LevelCount());
        files.Open(box);
        source.Deliver(files);
        if (!files.Close()) state.SkipWithError("the point files were not written");
    }
    Report(state, points * state.iterations(), peakBefore);
}

// The command as the user runs it: the dialog answered, the part generated from the
// template, the object and its camera placed.
void WholeImport(benchmark::State& state)
{
    const std::uint64_t points = static_cast<std::uint64_t>(state.range(0));
    const std::string& path = GeneratedScan(points);
    ImportHost host(BenchFolder() / "host");
    const double peakBefore = PeakResidentMegabytes();
    for (auto _ : state)
    {
        if (!host.Import(path)) state.SkipWithError("no cloud was made");
    }
    Report(state, points * state.iterations(), peakBefore);
}

void Sizes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgName("points")->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BoxReading)->Apply(Sizes);
BENCHMARK(PointFiles)->Apply(Sizes);
BENCHMARK(TwoReadings)->Apply(Sizes);
BENCHMARK(WholeImport)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
