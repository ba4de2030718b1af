// An orthophoto job of 4096 x 4096 pixels (one tile) and one four times as large
// (four tiles), JPEG or PNG, placed into a floor plan, against reading the same
// files alone. The apply also reads its tiles alone in each round, outside the
// timed part, and reports its processor time as a multiple of that: over all
// rounds (x_decode) and the median of the rounds' own multiples
// (x_decode_median), which a neighbour's burst on a shared machine moves
// least. Every allocation through operator new is counted, so that the apply's
// peak beyond the pictures the host keeps shows.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "GX/ImageBase.hpp"
#include "Host.hpp"
#include "ImageFiles.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace
{

std::atomic<std::int64_t> liveBytes {0};
std::atomic<std::int64_t> peakBytes {0};

// Each block carries its size in front of it.
constexpr std::size_t Header = alignof(std::max_align_t);

void* Allocate(std::size_t size)
{
    auto* block = static_cast<unsigned char*>(std::malloc(size + Header));
    if (block == nullptr) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    const std::int64_t now = liveBytes += static_cast<std::int64_t>(size);
    std::int64_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now))
    {}
    return block + Header;
}

void Release(void* pointer) noexcept
{
    if (pointer == nullptr) return;
    auto* block = static_cast<unsigned char*>(pointer) - Header;
    liveBytes -= static_cast<std::int64_t>(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { Release(pointer); }

namespace
{

constexpr std::int32_t Side = 4096;
constexpr double MegapixelsPerTile = Side * double(Side) / 1e6;
constexpr double MiB = 1024.0 * 1024.0;
constexpr int MostTiles = 4;

enum Format
{
    Jpeg = 0,
    Png = 1
};

// Smooth colour ramps with a grid and the tile's own tint: photographs compress
// about as well.
Bytes TilePixels(int tile)
{
    Bytes bgra(std::size_t(Side) * Side * 4);
    for (std::int32_t y = 0; y < Side; ++y)
    {
        for (std::int32_t x = 0; x < Side; ++x)
        {
            std::uint8_t* p = bgra.data() + (std::size_t(y) * Side + std::size_t(x)) * 4;
            const bool grid = x % 256 < 3 || y % 256 < 3;
            p[0] = grid ? 20 : static_cast<std::uint8_t>(x / 16);
            p[1] = grid ? 20 : static_cast<std::uint8_t>(y / 16);
            p[2] = static_cast<std::uint8_t>(tile * 37 + (x ^ y) % 64);
            p[3] = 255;
        }
    }
    return bgra;
}

const std::filesystem::path& TileFolder()
{
    static const std::filesystem::path folder = std::filesystem::temp_directory_path() / "survanto-orthophoto-bench";
    return folder;
}

// The tiles of one format, made once.
const std::vector<std::string>& TileFiles(Format format)
{
    static std::map<Format, std::vector<std::string>> made;
    std::vector<std::string>& files = made[format];
    if (!files.empty()) return files;
    std::filesystem::create_directories(TileFolder());
    for (int tile = 0; tile < MostTiles; ++tile)
    {
        const std::string path = (TileFolder() / ("tile" + std::to_string(tile) + (format == Jpeg ? ".jpg" : ".png"))).string();
        const Bytes pixels = TilePixels(tile);
        const Bytes file = format == Jpeg ? MakeJpeg(Side, Side, pixels, 90) : MakePng(Side, Side, pixels);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        files.push_back(path);
    }
    return files;
}

// A flat job in the floor plan: tile k covers 4 m x 4 m in a row along x.
OrtophotoData Job(Format format, int tiles)
{
    OrtophotoData job;
    job.jobName = GS::UniString("Bench");
    job.execute = true;
    const std::vector<std::string>& files = TileFiles(format);
    for (int k = 0; k < tiles; ++k)
    {
        OrtophotoDataPart tile;
        tile.imagePath = GS::UniString(files[static_cast<std::size_t>(k)]);
        const double x = 4.0 * k;
        tile.leftBottom = {x, 0, 0};
        tile.rightBottom = {x + 4, 0, 0};
        tile.leftUpper = {x, 4, 0};
        tile.rightUpper = {x + 4, 4, 0};
        job.tiles.Add(tile);
    }
    return job;
}

void SetRates(benchmark::State& state, int tiles)
{
    state.counters["s_per_tile"] =
        benchmark::Counter(tiles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["MP_per_s"] = benchmark::Counter(tiles * MegapixelsPerTile, benchmark::Counter::kIsIterationInvariantRate);
}

// Reads the job's tiles alone; false when one cannot be read.
bool DecodeTiles(const std::vector<std::string>& files, int tiles)
{
    for (int k = 0; k < tiles; ++k)
    {
        GSPixMapHandle pixMap = nullptr;
        if (!GX::ImageBase::ReadFile(IO::Location(files[static_cast<std::size_t>(k)]), pixMap, GSPixMapPixelType32)) return false;
        GXDeleteGSPixMap(pixMap);
    }
    return true;
}

void BM_DecodeAlone(benchmark::State& state)
{
    const auto format = static_cast<Format>(state.range(0));
    const int tiles = static_cast<int>(state.range(1));
    const std::vector<std::string>& files = TileFiles(format);
    for (auto _ : state)
        if (!DecodeTiles(files, tiles)) state.SkipWithError("a tile could not be read");
    SetRates(state, tiles);
}

// The thread's processor time: on a shared machine the wall clock says more
// about the neighbours than about the apply.
double ThreadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

std::int64_t PictureBytesKept(const SimHost::ProjectModel& model)
{
    std::int64_t bytes = 0;
    for (const SimHost::StoredElement& element : model.content.elements)
        bytes += static_cast<std::int64_t>(element.memo.pictureData.size());
    for (const SimHost::ProjectContent& step : model.undoSteps)
        for (const SimHost::StoredElement& element : step.elements)
            bytes += static_cast<std::int64_t>(element.memo.pictureData.size());
    return bytes;
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void BM_Apply(benchmark::State& state)
{
    const auto format = static_cast<Format>(state.range(0));
    const int tiles = static_cast<int>(state.range(1));
    const OrtophotoData job = Job(format, tiles);
    const std::string work = (TileFolder() / "host").string();
    SimHost::Host::Options options;
    options.workFolder = work;
    SimHost::Host host(options);
    host.LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    host.Start();
    VaroImportPalette& palette = theSurvanto.load()->importPalette;
    double extraMiB = 0.0;
    double applySeconds = 0.0, decodeSeconds = 0.0;
    std::vector<double> roundMultiples;
    for (auto _ : state)
    {
        state.PauseTiming();
        host.NewProject();
        palette.importData.jobs.Clear();
        palette.importData.jobs.Add(job);
        const std::int64_t baseline = liveBytes.load();
        peakBytes = baseline;
        state.ResumeTiming();
        const double applyStart = ThreadSeconds();
        palette.Apply(VaroImportPalette::AllJobs);
        const double applied = ThreadSeconds() - applyStart;
        state.PauseTiming();
        // Read while the placed pictures are still held, so both find memory alike.
        const double decodeStart = ThreadSeconds();
        if (!DecodeTiles(TileFiles(format), tiles)) state.SkipWithError("a tile could not be read");
        const double decoded = ThreadSeconds() - decodeStart;
        applySeconds += applied;
        decodeSeconds += decoded;
        if (decoded > 0.0) roundMultiples.push_back(applied / decoded);
        if (palette.importData.jobs[0].placedPictures.GetSize() != static_cast<std::uint32_t>(tiles))
            state.SkipWithError("not every tile was placed");
        extraMiB = std::max(extraMiB, (peakBytes.load() - baseline - PictureBytesKept(host.model_)) / MiB);
        state.ResumeTiming();
    }
    SetRates(state, tiles);
    state.counters["x_decode"] = decodeSeconds > 0.0 ? applySeconds / decodeSeconds : 0.0;
    state.counters["x_decode_median"] = Median(roundMultiples);
    state.counters["peak_beyond_kept_MiB"] = extraMiB;
    state.counters["tile_pixels_MiB"] = Side * double(Side) * 4 / MiB;
    host.Shutdown();
}

}  // namespace

BENCHMARK(BM_DecodeAlone)->ArgsProduct({{Jpeg, Png}, {1, 4}})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Apply)->ArgsProduct({{Jpeg, Png}, {1, 4}})->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK_MAIN();
