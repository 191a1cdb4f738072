// Union, intersection and difference of two random rings of 1K and 10K vertices (a jittered
// circle and a 20-lobed flower crossing about 40 times, so each overlay stitches about 20 pieces),
// beside GEOS and Clipper on the same rings.
#include <benchmark/benchmark.h>

#include "../support/bench_rings.h"
#include "../support/clipper_rings.h"
#include "mapgeom/algebra.h"

namespace {

using bench_rings::RingPair;

const RingPair& rings(benchmark::State& state) {
    return bench_rings::circle_and_flower(static_cast<int>(state.range(0)), 0.25);
}

// A mapgeom overlay of the circle (A) and the flower (B). The overlay changes its inputs in place,
// so both are rebuilt, untimed, before every run.
void mapgeom_overlay(benchmark::State& state, int (*overlay)(polygon_t*, polygon_t*, polygons_t*)) {
    const RingPair& pair = rings(state);
    polygon_t a{};
    polygon_t b{};
    polygons_t out;
    com_polygons_init(&out);
    int code = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench_rings::fill(&a.geom, pair.a);
        bench_rings::fill(&b.geom, pair.b);
        com_polygons_free(&out);
        com_polygons_init(&out);
        state.ResumeTiming();
        code = overlay(&a, &b, &out);
        benchmark::DoNotOptimize(out.num);
    }
    state.counters["code"] = code;
    state.counters["rings"] = out.num;
    com_polygons_free(&out);
    com_polygon_free(&a);
    com_polygon_free(&b);
}

void geos_overlay(benchmark::State& state,
                  GEOSGeometry* (*op)(GEOSContextHandle_t, const GEOSGeometry*,
                                      const GEOSGeometry*)) {
    bench_rings::geos_binary(state, rings(state), bench_rings::geos_polygon, op, "rings");
}

void clipper_overlay(benchmark::State& state, ClipperLib::ClipType op) {
    const RingPair& pair = rings(state);
    bench_rings::clipper_binary(state, bench_rings::clipper_path(pair.a),
                                bench_rings::clipper_path(pair.b), op, "rings");
}

}  // namespace

BENCHMARK_CAPTURE(mapgeom_overlay, union, algebra_polygons_union)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_overlay, union, GEOSUnion_r)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(clipper_overlay, union, ClipperLib::ctUnion)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_overlay, intersec, algebra_polygons_intersec)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_overlay, intersec, GEOSIntersection_r)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(clipper_overlay, intersec, ClipperLib::ctIntersection)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_overlay, diffence, algebra_polygons_diffence)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_overlay, diffence, GEOSDifference_r)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(clipper_overlay, diffence, ClipperLib::ctDifference)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
