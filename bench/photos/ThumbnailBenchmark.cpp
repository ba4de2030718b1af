// The photo list's thumbnails: each photo read for a 64 x 64 box, fitted into it,
// turned and made a list icon, against decoding the same JPEGs at 1/8 alone.
// 100 photos of 12 megapixels and 25 of 48, made once. The peak memory a pass
// adds to the process shows that it follows the reduced size, not the photo's.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GX/Image.hpp"
#include "GX/ImageBase.hpp"

namespace
{

constexpr std::int32_t Box = 64;

struct PhotoSet
{
    std::int32_t width = 0, height = 0, count = 0;
};

PhotoSet SetOf(std::int64_t megapixels) { return megapixels == 48 ? PhotoSet {8000, 6000, 25} : PhotoSet {4000, 3000, 100}; }

// A photo-like picture, different for every seed, encoded row by row.
void WritePhoto(const std::string& path, std::int32_t width, std::int32_t height, int seed)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * 3);
    std::uint32_t noise = std::uint32_t(seed) * 2654435761u + 1;
    while (info.next_scanline < info.image_height)
    {
        const double y = info.next_scanline;
        for (std::int32_t x = 0; x < width; ++x)
        {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            row[std::size_t(x) * 3] = JSAMPLE(std::clamp(int(128 + 90 * std::sin((x + seed * 37) * 0.004)) + grain, 0, 255));
            row[std::size_t(x) * 3 + 1] = JSAMPLE(std::clamp(int(128 + 90 * std::cos(y * 0.003 + seed)) + grain, 0, 255));
            row[std::size_t(x) * 3 + 2] = JSAMPLE(std::clamp(int((x + y) * 255 / (width + height)) + grain, 0, 255));
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

const std::vector<std::string>& Photos(const PhotoSet& set)
{
    static std::map<std::int32_t, std::vector<std::string>> made;
    std::vector<std::string>& paths = made[set.width];
    if (!paths.empty()) return paths;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("survanto-thumbnail-bench-" + std::to_string(set.width) + "x" + std::to_string(set.height));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < set.count; ++i)
    {
        const std::string path = (folder / ("IMG_" + std::to_string(1000 + i) + ".jpg")).string();
        if (!std::filesystem::exists(path)) WritePhoto(path, set.width, set.height, i);
        paths.push_back(path);
    }
    return paths;
}

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return 0;
}

// The resident high-water mark is reset, so the peak measured is this pass's.
struct PeakMemory
{
    long before = 0;

    PeakMemory()
    {
        std::ofstream("/proc/self/clear_refs") << "5";
        before = StatusKiB("VmRSS:");
    }
    double AddedMiB() const { return double(StatusKiB("VmHWM:") - before) / 1024.0; }
};

struct PixMapDeleter
{
    void operator()(GSPixMap* pixMap) const { GXDeleteGSPixMap(pixMap); }
};
using PixMapPtr = std::unique_ptr<GSPixMap, PixMapDeleter>;

// One entry of the loader's work list: read, fit centred, turn, convert.
DG::NativeIcon MakeThumbnail(const std::string& path, int turns)
{
    GSPixMapHandle read = nullptr;
    std::int32_t w = 0, h = 0;
    if (!GX::ImageBase::ReadFile(IO::Location(path), read, GSPixMapPixelType32, Box, Box, w, h)) return {};
    const PixMapPtr photo(read);
    const double s = std::min(double(Box) / w, double(Box) / h);
    GXRect to;
    to.left = static_cast<std::int32_t>(Box / 2.0 - w / 2.0 * s);
    to.top = static_cast<std::int32_t>(Box / 2.0 - h / 2.0 * s);
    to.right = static_cast<std::int32_t>(to.left + w * s);
    to.bottom = static_cast<std::int32_t>(to.top + h * s);
    const PixMapPtr fitted(GXCreateGSPixMap(Box, Box, 72, 72));
    GXStretchGSPixMap(photo.get(), fitted.get(), {0, 0, GXGetGSPixMapWidth(read), GXGetGSPixMapHeight(read)}, to);
    const PixMapPtr turned(GXCreateGSPixMap(Box, Box, 72, 72));
    const GXPoint origins[] = {{0, Box}, {Box, Box}, {Box, 0}, {0, 0}};
    GXRotateGSPixMap(fitted.get(), turned.get(), {0, 0, Box, Box}, turns * M_PI / 2, origins[turns]);
    return GX::Image(turned.get()).ToDGIcon();
}

// The floor: libjpeg's own decoding at 1/8, rows into one buffer.
std::size_t DecodeEighth(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> pixels(std::size_t(info.output_width) * info.output_height * 4);
    while (info.output_scanline < info.output_height)
    {
        JSAMPROW row = pixels.data() + std::size_t(info.output_scanline) * info.output_width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return pixels.size();
}

void BM_LoaderWorkList(benchmark::State& state)
{
    const std::vector<std::string>& photos = Photos(SetOf(state.range(0)));
    const PeakMemory peak;
    for (auto _ : state)
        for (std::size_t i = 0; i < photos.size(); ++i)
        {
            const DG::NativeIcon icon = MakeThumbnail(photos[i], int(i % 4));
            if (icon.IsEmpty()) state.SkipWithError("a photo was not read");
            benchmark::DoNotOptimize(icon);
        }
    state.counters["photos"] = double(photos.size());
    state.counters["peak_MiB"] = peak.AddedMiB();
    state.SetItemsProcessed(state.iterations() * std::int64_t(photos.size()));
}

void BM_DecodeEighthAlone(benchmark::State& state)
{
    const std::vector<std::string>& photos = Photos(SetOf(state.range(0)));
    const PeakMemory peak;
    for (auto _ : state)
        for (const std::string& photo : photos) benchmark::DoNotOptimize(DecodeEighth(photo));
    state.counters["photos"] = double(photos.size());
    state.counters["peak_MiB"] = peak.AddedMiB();
    state.SetItemsProcessed(state.iterations() * std::int64_t(photos.size()));
}

}  // namespace

BENCHMARK(BM_LoaderWorkList)->ArgName("megapixels")->Arg(12)->Arg(48)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEighthAlone)->ArgName("megapixels")->Arg(12)->Arg(48)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
