// The import of an XYZ point list into a new project: reading the lines, one
// measured-point marker per line inside one undoable command, selecting them and
// zooming to them. Each size is imported once into memory the process has not
// used yet, as a first import is: run each size alone (--benchmark_filter) so that
// neither reuses the other's memory, and to see its own peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "DG/FileDialog.hpp"
#include "Host.hpp"
#include "LibraryServices.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace fs = std::filesystem;

namespace
{

double PeakResidentMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Lines as an export writes them, spread over a square of a hundred metres.
std::string WritePointList(const fs::path& folder, std::int64_t lines)
{
    const fs::path path = folder / ("points-" + std::to_string(lines) + ".xyz");
    std::ofstream out(path, std::ios::binary);
    out << "\xEF\xBB\xBF";
    char line[96];
    for (std::int64_t i = 0; i < lines; ++i)
    {
        const int length = std::snprintf(line, sizeof line, "%.4f %.4f %.4f\r\n", double(i % 1000) * 0.1, double(i / 1000) * 0.1,
                                         1.0 + double(i % 7) * 0.01);
        out.write(line, length);
    }
    return path.string();
}

// A new project with the add-on's library, the free-area layer present and shown.
void NewProjectWithLibrary(SimHost::Host& host)
{
    host.NewProject();
    std::string error;
    SimHost::LoadLibraryFolder(host, (fs::path(SURVANTO_SOURCE_DIR) / "resources/library").string(), error, true);
    const std::int16_t layer = theSurvanto.load()->freeAreaLayer;
    host.model_.content.layers[layer] = {"Freifläche", 0};
}

void ImportPointList(benchmark::State& state)
{
    const std::int64_t lines = state.range(0);
    const fs::path work = fs::temp_directory_path() / ("survanto-pointlist-bench-" + std::to_string(::getpid()));
    fs::create_directories(work);
    const std::string path = WritePointList(work, lines);
    SimHost::Host::Options options;
    options.workFolder = (work / "host").string();
    auto host = std::make_unique<SimHost::Host>(options);
    host->LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    host->Start();
    const double peakBefore = PeakResidentMegabytes();
    for (auto _ : state)
    {
        state.PauseTiming();
        NewProjectWithLibrary(*host);
        DG::QueueOpenAnswer(true, {IO::Location(path)});
        state.ResumeTiming();
        theSurvanto.load()->ImportPointList();
        if (host->model_.selection.size() != static_cast<std::size_t>(lines)) state.SkipWithError("not every line was placed");
    }
    state.SetItemsProcessed(lines * state.iterations());
    state.counters["peak_MB"] = PeakResidentMegabytes();
    state.counters["peak_growth_MB"] = PeakResidentMegabytes() - peakBefore;
    host->Shutdown();
    fs::remove_all(work);
}

}  // namespace

BENCHMARK(ImportPointList)
    ->ArgName("lines")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
