// Crossing points of two random rings of 1K and 10K vertices through both engines, beside GEOS
// intersecting the same two boundaries (which only computes the points: nothing is inserted or
// classified). The rings: a jittered circle and a jittered 20-lobed flower (bench_rings.h, radii
// jittered by up to one vertex spacing), whose boundaries cross about 40 times.
#include <benchmark/benchmark.h>

#include "../support/bench_rings.h"
#include "mapgeom/crosspoint.h"

namespace {

using bench_rings::RingPair;

const RingPair& rings(benchmark::State& state) {
    return bench_rings::circle_and_flower(static_cast<int>(state.range(0)), 1.0);
}

void BM_RingCrossings(benchmark::State& state,
                      void (*engine)(polygon_t*, polygon_t*, crosspts_t*)) {
    const RingPair& pair = rings(state);
    polygon_t a{};
    polygon_t b{};
    crosspts_t out;
    com_crosspts_init(&out);
    for (auto _ : state) {
        state.PauseTiming();
        bench_rings::fill(&a.geom, pair.a);
        bench_rings::fill(&b.geom, pair.b);
        com_crosspts_clear(&out);
        state.ResumeTiming();
        engine(&a, &b, &out);
        benchmark::DoNotOptimize(out.count);
    }
    state.counters["crossings"] = out.count;
    com_crosspts_free(&out);
    com_polygon_free(&a);
    com_polygon_free(&b);
}

void BM_GeosBoundaryIntersection(benchmark::State& state) {
    bench_rings::geos_binary(state, rings(state), bench_rings::geos_line, GEOSIntersection_r,
                             "crossings");
}

}  // namespace

BENCHMARK_CAPTURE(BM_RingCrossings, sweep, calc_polygons_crosspts)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RingCrossings, all_pairs, calc_polygon_and_polygon_crosspts)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeosBoundaryIntersection)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
