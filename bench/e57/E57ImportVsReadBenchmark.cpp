// The E57 import and the plain read against the floor, side by side in one run:
//   floor    the file copied from the page cache in large reads, every page's CRC-32C checked
//   read     the reader over every field of the scan, in large blocks, every checksum tested
//   import   the import command in a simulated host: the part, its point files, the object
// Two files at 1 M and 10 M points: "colour" (double coordinates, 8-bit colours) and
// "scaled" (20-bit scaled-integer coordinates, 8-bit colours), both with a pose and
// thinning by distance. Each round runs the three once, in turn; the counters are the
// medians over the rounds and their ratios. Run one case alone (--benchmark_filter)
// to see its own peak memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchFolder.hpp"
#include "E57TestWriter.hpp"
#include "ImportHost.hpp"
#include "e57/CompressedVectorNode.hpp"
#include "e57/Crc32c.hpp"
#include "e57/ImageFile.hpp"

namespace fs = std::filesystem;

namespace
{

enum class FileKind
{
    Colour,
    Scaled
};

const fs::path& BenchFolder() { return BenchFolderNamed("survanto-e57-ratio-bench"); }

std::vector<e57test::FieldLayout> Fields(FileKind kind)
{
    using e57test::FieldKind;
    const std::array<e57test::FieldLayout, 3> colours {e57test::FieldLayout {"colorRed", FieldKind::Integer, 0, 255},
                                                       e57test::FieldLayout {"colorGreen", FieldKind::Integer, 0, 255},
                                                       e57test::FieldLayout {"colorBlue", FieldKind::Integer, 0, 255}};
    std::vector<e57test::FieldLayout> fields;
    for (const char* axis : {"cartesianX", "cartesianY", "cartesianZ"})
    {
        if (kind == FileKind::Colour)
            fields.push_back({axis, FieldKind::Double});
        else
            fields.push_back({axis, FieldKind::ScaledInteger, -500'000, 500'000, 0.00004, 0.0});
    }
    fields.insert(fields.end(), colours.begin(), colours.end());
    return fields;
}

// A scan on a 1000 x 1000 grid, 20 m wide, with its scanner in the middle.
const std::string& GeneratedScan(FileKind kind, std::uint64_t points)
{
    static std::map<std::pair<FileKind, std::uint64_t>, std::string> written;
    std::string& path = written[{kind, points}];
    if (!path.empty()) return path;
    e57test::ScanLayout scan;
    scan.name = "benchmark";
    scan.fields = Fields(kind);
    scan.recordCount = points;
    scan.pose = e57test::Pose {std::array<double, 4> {0.9238795325, 0, 0, 0.3826834324}, std::array<double, 3> {100, 200, 3}};
    const bool scaled = kind == FileKind::Scaled;
    scan.source = [scaled](std::uint64_t r, e57test::FieldValue* v) {
        const double place[3] = {double(r % 1000) * 0.02 - 10, double(r / 1000 % 1000) * 0.02 - 10, double(r % 7919) * 1e-3};
        for (int axis = 0; axis < 3; ++axis)
        {
            if (scaled)
                v[axis].integer = std::int64_t(std::llround(place[axis] / 0.00004));
            else
                v[axis].real = place[axis];
        }
        v[3].integer = std::int64_t(r % 256);
        v[4].integer = std::int64_t(r / 256 % 256);
        v[5].integer = std::int64_t(r * 7 % 256);
    };
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    path = (BenchFolder() / ((scaled ? "scaled-" : "colour-") + std::to_string(points) + ".e57")).string();
    writer.write(path);
    return path;
}

double Seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

template <typename Work>
double Timed(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return Seconds(std::chrono::steady_clock::now() - start);
}

// The file from the page cache in reads of 1 MiB, every page's checksum compared.
bool CopyAndCheck(const std::string& path)
{
    constexpr std::size_t Page = 1024, Pages = 1024;
    std::vector<unsigned char> bytes(Page * Pages);
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    bool sound = true;
    for (;;)
    {
        const ssize_t got = ::read(descriptor, bytes.data(), bytes.size());
        if (got <= 0) break;
        for (std::size_t at = 0; at + Page <= std::size_t(got); at += Page)
        {
            const unsigned char* page = bytes.data() + at;
            const std::uint32_t stored = (std::uint32_t {page[1020]} << 24) | (std::uint32_t {page[1021]} << 16) |
                                         (std::uint32_t {page[1022]} << 8) | std::uint32_t {page[1023]};
            sound &= e57::Crc32c::compute(page, 1020) == stored;
        }
    }
    ::close(descriptor);
    return sound;
}

// Every field of the scan in blocks of 10,000, as e57dump would read it.
double ReadEveryField(const std::string& path)
{
    constexpr std::size_t Block = 10'000;
    std::vector<double> x(Block), y(Block), z(Block);
    std::vector<std::int64_t> red(Block), green(Block), blue(Block);
    e57::ImageFile file(path, "r", e57::ImageFile::kChecksumAll);
    const e57::CompressedVectorNode points(file.root().get("/data3D/0/points"));
    auto reader = points.reader({{file, "cartesianX", x.data(), Block, true, true},
                                 {file, "cartesianY", y.data(), Block, true, true},
                                 {file, "cartesianZ", z.data(), Block, true, true},
                                 {file, "colorRed", red.data(), Block, true, true},
                                 {file, "colorGreen", green.data(), Block, true, true},
                                 {file, "colorBlue", blue.data(), Block, true, true}});
    double checksum = 0;
    while (const std::size_t count = reader.read()) checksum += x[count - 1] + z[0] + double(red[0] + blue[count - 1]);
    reader.close();
    file.close();
    return checksum;
}

double PeakResidentMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void ImportAgainstRead(benchmark::State& state)
{
    const auto kind = static_cast<FileKind>(state.range(0));
    const auto points = static_cast<std::uint64_t>(state.range(1));
    const std::string& path = GeneratedScan(kind, points);
    ImportHost host(BenchFolder() / "host");
    std::vector<double> floor, read, import;
    double checksum = 0;
    for (auto _ : state)
    {
        bool sound = true;
        floor.push_back(Timed([&] { sound = CopyAndCheck(path); }));
        read.push_back(Timed([&] { checksum += ReadEveryField(path); }));
        bool made = false;
        const auto importOnce = [&] { made = host.Import(path); };
        import.push_back(Timed(importOnce));
        state.SetIterationTime(import.back());
        if (!sound || !made) state.SkipWithError("the file did not check or no cloud was made");
    }
    benchmark::DoNotOptimize(checksum);
    if (import.empty()) return;
    const double floorTime = Median(floor), readTime = Median(read), importTime = Median(import);
    state.counters["floor_ms"] = floorTime * 1e3;
    state.counters["read_ms"] = readTime * 1e3;
    state.counters["import_ms"] = importTime * 1e3;
    state.counters["read/floor"] = readTime / floorTime;
    state.counters["import/read"] = importTime / readTime;
    state.counters["peak_MB"] = PeakResidentMegabytes();
}

BENCHMARK(ImportAgainstRead)
    ->ArgNames({"scaled", "points"})
    ->Args({0, 1'000'000})
    ->Args({1, 1'000'000})
    ->Args({0, 10'000'000})
    ->Args({1, 10'000'000})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
