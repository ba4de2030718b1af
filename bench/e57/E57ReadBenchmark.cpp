// Reading throughput of the E57 reader on a generated scan of 10 million points
// (double coordinates, 8-bit colours), in the import's blocks of 40 and in large blocks;
// and files of many scans without points, whose cost grows with the scans alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "e57/CompressedVectorNode.hpp"
#include "e57/ImageFile.hpp"
#include "e57/VectorNode.hpp"

namespace
{

constexpr std::uint64_t kPoints = 10'000'000;

std::string& scanPath()
{
    static std::string path = "/tmp/survanto-e57-bench-" + std::to_string(::getpid()) + ".e57";
    return path;
}

void removeScan() { std::remove(scanPath().c_str()); }

const std::string& generatedScan()
{
    static const bool written = [] {
        e57test::ScanLayout scan;
        scan.name = "benchmark";
        scan.fields = {{"cartesianX", e57test::FieldKind::Double},          {"cartesianY", e57test::FieldKind::Double},
                       {"cartesianZ", e57test::FieldKind::Double},          {"colorRed", e57test::FieldKind::Integer, 0, 255},
                       {"colorGreen", e57test::FieldKind::Integer, 0, 255}, {"colorBlue", e57test::FieldKind::Integer, 0, 255}};
        scan.recordCount = kPoints;
        scan.source = [](std::uint64_t r, e57test::FieldValue* v) {
            v[0].real = double(r % 1000) * 0.01;
            v[1].real = double(r / 1000 % 1000) * 0.01;
            v[2].real = double(r) * 1e-6;
            v[3].integer = std::int64_t(r % 256);
            v[4].integer = std::int64_t(r / 256 % 256);
            v[5].integer = std::int64_t(r * 7 % 256);
        };
        e57test::E57TestWriter writer;
        writer.addScan(scan);
        writer.write(scanPath());
        std::atexit(removeScan);
        return true;
    }();
    static_cast<void>(written);
    return scanPath();
}

double peakResidentMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Arguments: block size, checksum percent.
void readScan(benchmark::State& state)
{
    const std::string& path = generatedScan();
    const auto block = static_cast<std::size_t>(state.range(0));
    const int checksums = static_cast<int>(state.range(1));
    std::vector<double> x(block), y(block), z(block);
    std::vector<std::int64_t> red(block), green(block), blue(block);
    const double memoryBefore = peakResidentMegabytes();
    std::uint64_t total = 0;
    for (auto _ : state)
    {
        e57::ImageFile file(path, "r", checksums);
        const e57::CompressedVectorNode points(file.root().get("/data3D/0/points"));
        auto reader = points.reader({{file, "cartesianX", x.data(), block, true, true},
                                     {file, "cartesianY", y.data(), block, true, true},
                                     {file, "cartesianZ", z.data(), block, true, true},
                                     {file, "colorRed", red.data(), block, true, true},
                                     {file, "colorGreen", green.data(), block, true, true},
                                     {file, "colorBlue", blue.data(), block, true, true}});
        double checksum = 0;
        while (const std::size_t count = reader.read())
        {
            total += count;
            checksum += x[count - 1] + double(blue[0]);
        }
        benchmark::DoNotOptimize(checksum);
        reader.close();
        file.close();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(total));
    state.counters["points_per_s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peakResidentMegabytes();
    state.counters["peak_growth_MB"] = peakResidentMegabytes() - memoryBefore;
}

BENCHMARK(readScan)
    ->ArgNames({"block", "checksum_percent"})
    ->Args({40, 100})
    ->Args({10000, 100})
    ->Args({40, 0})
    ->Args({10000, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

std::string emptyScansPath(std::int64_t scans)
{
    return "/tmp/survanto-e57-bench-" + std::to_string(::getpid()) + "-empty-" + std::to_string(scans) + ".e57";
}

void removeEmptyScans()
{
    for (const std::int64_t scans : {10'000, 100'000}) std::remove(emptyScansPath(scans).c_str());
}

const std::string& emptyScans(std::int64_t scans)
{
    static std::map<std::int64_t, std::string> written;
    auto& path = written[scans];
    if (path.empty())
    {
        e57test::E57TestWriter writer;
        for (std::int64_t i = 0; i < scans; ++i)
        {
            e57test::ScanLayout scan;
            scan.name = "empty";
            scan.fields = {{"cartesianX", e57test::FieldKind::Double},
                           {"cartesianY", e57test::FieldKind::Double},
                           {"cartesianZ", e57test::FieldKind::Double}};
            scan.withoutSection = true;
            writer.addScan(std::move(scan));
        }
        path = emptyScansPath(scans);
        writer.write(path);
        if (written.size() == 1) std::atexit(removeEmptyScans);
    }
    return path;
}

// Opens the file and reads every scan's (empty) coordinates, as e57dump does.
void readEmptyScans(benchmark::State& state)
{
    const std::string& path = emptyScans(state.range(0));
    double x = 0, y = 0, z = 0;
    for (auto _ : state)
    {
        e57::ImageFile file(path, "r");
        const e57::VectorNode scans(file.root().get("/data3D"));
        std::size_t records = 0;
        for (std::int64_t i = 0; i < scans.childCount(); ++i)
        {
            const e57::CompressedVectorNode points(e57::StructureNode(scans.get(i)).get("points"));
            auto reader = points.reader({{file, "cartesianX", &x, 1, true, true},
                                         {file, "cartesianY", &y, 1, true, true},
                                         {file, "cartesianZ", &z, 1, true, true}});
            records += reader.read();
            reader.close();
        }
        benchmark::DoNotOptimize(records);
        file.close();
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(readEmptyScans)->ArgName("scans")->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
