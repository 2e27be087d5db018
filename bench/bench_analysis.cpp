#include "front_measurement.hpp"
#include "ranking.hpp"
#include "side_measurement.hpp"

#include <benchmark/benchmark.h>

using namespace veidora;

static void BM_FrontMeasurement(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(measureFront(kFrontDefaults, ','));
}
BENCHMARK(BM_FrontMeasurement);

static void BM_SideMeasurement(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(measureSide(kSideDefaults, ','));
}
BENCHMARK(BM_SideMeasurement);

static void BM_Ranking(benchmark::State& state) {
    const TraitCodes codes{1, 3, 2, 1, 2, 3, 1, 3};
    for (auto _ : state)
        benchmark::DoNotOptimize(rankGenotypes(codes, ','));
}
BENCHMARK(BM_Ranking);

BENCHMARK_MAIN();
