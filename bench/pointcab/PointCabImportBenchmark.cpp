// The change check with the import of one annotation, from an exchange file that
// holds many: parse, take the first annotation, write the rest back, take the point.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "API/AddOnInterface.hpp"
#include "ExchangeVerbs.hpp"
#include "Host.hpp"
#include "exchange/PointCabImport.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

namespace {

std::string ExchangeDocument(std::int64_t annotations, std::int64_t& nextId)
{
    std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PointCabExchange>\n";
    for (std::int64_t i = 0; i < annotations; ++i, ++nextId)
        document += "  <Annotation>\n    <Element type=\"point\" uuid=\"{bench-" + std::to_string(nextId) +
                    "}\">\n      <Point3d>12.345 67.891 1.234 0</Point3d>\n      <Origin3d>1.5 2.5 0 0</Origin3d>\n"
                    "    </Element>\n  </Annotation>\n";
    return document + "</PointCabExchange>\n";
}

void WriteAside(const std::string& path, const std::string& content)
{
    std::ofstream(path + ".writing", std::ios::binary | std::ios::trunc) << content;
    std::filesystem::rename(path + ".writing", path);
}

void BM_CheckAndImportOneAnnotation(benchmark::State& state)
{
    const std::string work = (std::filesystem::temp_directory_path() / "survanto-pointcab-bench").string();
    std::filesystem::remove_all(work);
    SimHost::Host::Options options;
    options.workFolder = work;
    SimHost::Host host(options);
    host.LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    host.Start();
    const std::string path = SimHost::ExchangeFilePath(host);
    std::int64_t nextId = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteAside(path, ExchangeDocument(state.range(0), nextId));
        state.ResumeTiming();
        PollPointCabFile();
    }
    state.SetComplexityN(state.range(0));
    host.Shutdown();
    std::filesystem::remove_all(work);
}

}  // namespace

BENCHMARK(BM_CheckAndImportOneAnnotation)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
