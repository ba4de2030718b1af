// The Delaunay triangulation in plan (plan points in, index triangles out, the check
// for points near an earlier one included), and the morph mesh builder's whole build.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "creation/MorphMeshBuilder.hpp"
#include "creation/PlanTriangulation.hpp"

namespace
{

constexpr double Side = 1000.0;

std::vector<Geometry::Coord> RandomPlanPoints(std::size_t count)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> coordinate(0.0, Side);
    std::vector<Geometry::Coord> points(count);
    for (Geometry::Coord& p : points) p = {coordinate(random), coordinate(random)};
    return points;
}

void BM_TriangulateRandomPoints(benchmark::State& state)
{
    const std::vector<Geometry::Coord> points = RandomPlanPoints(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(TriangulateInPlan(points));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TriangulateRandomPoints)->Arg(2000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Every quadruple of neighbours lies on one circle.
void BM_TriangulateGrid(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    std::vector<Geometry::Coord> points;
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) points.push_back({static_cast<double>(column), static_cast<double>(row)});
    for (auto _ : state) benchmark::DoNotOptimize(TriangulateInPlan(points));
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_TriangulateGrid)->Arg(100)->Unit(benchmark::kMillisecond);

// Measured points on a gently waved terrain, thickened by 0.3 m along the normals.
void BM_BuildThickMorph(benchmark::State& state)
{
    const std::vector<Geometry::Coord> plan = RandomPlanPoints(static_cast<std::size_t>(state.range(0)));
    TypVektor<MorphMeshBuilder::Point> points;
    for (const Geometry::Coord& p : plan) points.Add({p.x, p.y, 0.002 * (p.x + p.y) + 0.5 * std::sin(p.x / 50.0)});
    MorphSettings settings;
    settings.thickness = 0.3;
    settings.morphType = 1;
    TypVektor<API_Coord3D> actionPoints;
    MorphMeshBuilder builder;
    for (auto _ : state)
    {
        TypVektor<MorphMeshBuilder::Point> given = points;
        builder.Build(given, settings, actionPoints);
        benchmark::DoNotOptimize(builder.Faces().GetSize());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildThickMorph)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
