// Appending to the add-on's list: a point record of 76 bytes, a million and ten
// million times. Amortised constant time shows as a tenfold time for tenfold appends.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "framework/TypVektor.hpp"

namespace
{

struct PointRecord
{
    std::int32_t values[19];
};
static_assert(sizeof(PointRecord) == 76);

void BM_Append(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    PointRecord record {};
    for (auto _ : state)
    {
        auto list = std::make_unique<TypVektor<PointRecord>>();
        for (std::uint32_t i = 0; i < count; ++i)
        {
            record.values[0] = static_cast<std::int32_t>(i);
            list->Add(record);
        }
        benchmark::DoNotOptimize(list->GetSize());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_Append)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
