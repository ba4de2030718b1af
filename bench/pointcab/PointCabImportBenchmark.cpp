// The change check with the import of one annotation, from an exchange file that
// holds many: read the file, find the first annotation, write the rest back, take
// the point. A million annotations make a file of about 172 MB. Run each size alone
// (--benchmark_filter) to see its own peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "API/AddOnInterface.hpp"
#include "ExchangeVerbs.hpp"
#include "Host.hpp"
#include "exchange/ExchangeDocument.hpp"
#include "exchange/PointCabImport.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace
{

double PeakResidentMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// As PointCab writes: the whole file beside it, then in its place; written as it
// is made, so that the benchmark's own memory stays small.
void WriteExchangeDocument(const std::string& path, std::int64_t annotations, std::int64_t& nextId)
{
    {
        std::ofstream out(path + ".writing", std::ios::binary | std::ios::trunc);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PointCabExchange>\n";
        for (std::int64_t i = 0; i < annotations; ++i, ++nextId)
            out << "  <Annotation>\n    <Element type=\"point\" uuid=\"{bench-" << nextId
                << "}\">\n      <Point3d>12.345 67.891 1.234 0</Point3d>\n      <Origin3d>1.5 2.5 0 0</Origin3d>\n"
                   "    </Element>\n  </Annotation>\n";
        out << "</PointCabExchange>\n";
    }
    std::filesystem::rename(path + ".writing", path);
}

void BM_CheckAndImportOneAnnotation(benchmark::State& state)
{
    const std::string work =
        (std::filesystem::temp_directory_path() / ("survanto-pointcab-bench-" + std::to_string(::getpid()))).string();
    std::filesystem::remove_all(work);
    SimHost::Host::Options options;
    options.workFolder = work;
    SimHost::Host host(options);
    host.LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    host.Start();
    const std::string path = SimHost::ExchangeFilePath(host);
    std::int64_t nextId = 0;
    const double peakBefore = PeakResidentMegabytes();
    for (auto _ : state)
    {
        state.PauseTiming();
        WriteExchangeDocument(path, state.range(0), nextId);
        state.ResumeTiming();
        PollPointCabFile();
    }
    state.SetComplexityN(state.range(0));
    state.counters["file_MB"] = double(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = PeakResidentMegabytes();
    state.counters["peak_growth_MB"] = PeakResidentMegabytes() - peakBefore;
    host.Shutdown();
    std::filesystem::remove_all(work);
}

// Finding the first annotation in the bytes alone: the reading of the whole document.
void BM_FindFirstAnnotation(benchmark::State& state)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("survanto-pointcab-find-" + std::to_string(::getpid()) + ".xml")).string();
    std::int64_t nextId = 0;
    WriteExchangeDocument(path, state.range(0), nextId);
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove(path);
    for (auto _ : state)
    {
        ExchangeAnnotation annotation;
        AnnotationBytes taken;
        if (!FindFirstAnnotation(bytes, annotation, taken) || taken.Empty()) state.SkipWithError("no annotation found");
    }
}

}  // namespace

BENCHMARK(BM_FindFirstAnnotation)->ArgName("annotations")->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckAndImportOneAnnotation)
    ->ArgName("annotations")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
