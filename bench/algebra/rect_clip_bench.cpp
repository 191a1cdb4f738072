// One polygon clipped by one rectangle: the flower of the overlay benchmarks (1K and 10K vertices)
// by a rectangle over its right half that cuts about ten of its lobes, beside GEOS ClipByRect and
// Clipper's intersection with the same rectangle.
#include <benchmark/benchmark.h>

#include "../support/bench_rings.h"
#include "../support/clipper_rings.h"
#include "mapgeom/algebra.h"

namespace {

using bench_rings::kCentre;
using bench_rings::kRadius;
using bench_rings::Ring;

const Ring& flower(benchmark::State& state) {
    return bench_rings::circle_and_flower(static_cast<int>(state.range(0)), 0.25).b;
}

// The rectangle: over the right-most lobes of the flower, its left edge through them.
constexpr double kMinX = kCentre + 0.95 * kRadius;
constexpr double kMaxX = kCentre + 1.5 * kRadius;
constexpr double kMinY = kCentre - 0.6 * kRadius;
constexpr double kMaxY = kCentre + 0.6 * kRadius;

Ring rectangle() {
    return {{kMinX, kMinY, 0},
            {kMaxX, kMinY, 0},
            {kMaxX, kMaxY, 0},
            {kMinX, kMaxY, 0},
            {kMinX, kMinY, 0}};
}

// The clipping changes its inputs in place, so both are rebuilt, untimed, before every run.
void BM_RectClip(benchmark::State& state) {
    const Ring& ring = flower(state);
    const Ring rect = rectangle();
    polygon_t a{};
    polygon_t r{};
    polygons_t out;
    com_polygons_init(&out);
    int code = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench_rings::fill(&a.geom, ring);
        bench_rings::fill(&r.geom, rect);
        com_polygons_free(&out);
        com_polygons_init(&out);
        state.ResumeTiming();
        code = algebra_polygon_and_rect_intersec(&a, &r, &out);
        benchmark::DoNotOptimize(out.num);
    }
    state.counters["code"] = code;
    state.counters["rings"] = out.num;
    com_polygons_free(&out);
    com_polygon_free(&a);
    com_polygon_free(&r);
}

void BM_RectClip_GeosClipByRect(benchmark::State& state) {
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSGeometry* polygon = bench_rings::geos_polygon(context, flower(state));
    int parts = 0;
    for (auto _ : state) {
        GEOSGeometry* result = GEOSClipByRect_r(context, polygon, kMinX, kMinY, kMaxX, kMaxY);
        parts = GEOSGetNumGeometries_r(context, result);
        GEOSGeom_destroy_r(context, result);
    }
    state.counters["rings"] = parts;
    GEOSGeom_destroy_r(context, polygon);
    GEOS_finish_r(context);
}

void BM_RectClip_Clipper(benchmark::State& state) {
    bench_rings::clipper_binary(state, bench_rings::clipper_path(flower(state)),
                                bench_rings::clipper_path(rectangle()), ClipperLib::ctIntersection,
                                "rings");
}

}  // namespace

BENCHMARK(BM_RectClip)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectClip_GeosClipByRect)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectClip_Clipper)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
