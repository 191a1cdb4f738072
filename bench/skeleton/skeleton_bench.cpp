// Scan-beam skeleton cost: the scan positions (and so the work) follow the vertex count, not the
// extent. Smooth lobed rings of 1K, 10K and 100K vertices over the same extent, and the 10K ring
// scaled by 10 and by 1000; counters report scan positions and beams per vertex, and
// items_per_second the vertices handled per second. Also the post-processing and the whole
// two-pass skeleton. No installed peer library computes centre lines, so there is no baseline.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "mapgeom/mapgeom.h"
#include "skeleton/skeleton_internal.h"

namespace {

constexpr double kRadius = 1.0e6;  // map units (about 12 km)
constexpr double kTwoPi = 6.283185307179586;

// n vertices around a ring whose radius swings smoothly by 5 % and 2 % over 7 and 13 lobes: a
// scan line meets it a few times whatever n is. Whole units, closed.
polygon_t lobed_ring(int n, double scale) {
    polygon_t ring{};
    com_polygon_init(&ring);
    for (int i = 0; i <= n; ++i) {
        double a = kTwoPi * (i % n) / n;
        double r = kRadius * scale * (1.0 + 0.05 * std::sin(7 * a) + 0.02 * std::sin(13 * a));
        com_polygon_add(&ring,
                        point_t{std::round(r * std::cos(a)), std::round(r * std::sin(a)), 0});
    }
    return ring;
}

void run_skeleton(benchmark::State& state, int n, double scale) {
    polygon_t ring = lobed_ring(n, scale);
    std::vector<mapgeom::DBC_tagGeoPoint_t> points = mapgeom::framework_ring_of(&ring);
    mapgeom::ScanBeams scan;
    mapgeom::CreatScanBeam(points, &scan);
    for (auto _ : state) {
        polylines_t lines{};
        com_polylines_init(&lines);
        calc_graphic_framework(&ring, &lines);
        benchmark::DoNotOptimize(lines.num);
        com_polylines_free(&lines);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["positions"] = static_cast<double>(scan.positions.size());
    state.counters["positions_per_vertex"] = static_cast<double>(scan.positions.size()) / n;
    state.counters["beams_per_vertex"] = static_cast<double>(scan.beams.size()) / n;
    com_polygon_free(&ring);
}

// Same extent, growing vertex count.
void BM_ScanBeamSkeleton_Vertices(benchmark::State& state) {
    run_skeleton(state, static_cast<int>(state.range(0)), 1.0);
}

// 10K vertices, the ring scaled by 1, 10 and 1000 (radius up to 10^9 units).
void BM_ScanBeamSkeleton_Scaled(benchmark::State& state) {
    run_skeleton(state, 10000, static_cast<double>(state.range(0)));
}

// The post-processing of the 10K ring's raw lines.
void BM_FrameworkProcess(benchmark::State& state) {
    polygon_t ring = lobed_ring(static_cast<int>(state.range(0)), 1.0);
    polylines_t raw{};
    com_polylines_init(&raw);
    calc_graphic_framework(&ring, &raw);
    for (auto _ : state) {
        polylines_t out{};
        com_polylines_init(&out);
        polygon_framework_process(&raw, &out);
        benchmark::DoNotOptimize(out.num);
        com_polylines_free(&out);
    }
    state.counters["raw_lines"] = raw.num;
    com_polylines_free(&raw);
    com_polygon_free(&ring);
}

// The two-pass skeleton of the ring as a one-polygon set: union, both passes, post-processing and
// the join.
void BM_TwoPassSkeleton(benchmark::State& state) {
    polygons_t set{};
    com_polygons_init(&set);
    com_polygons_add(&set, lobed_ring(static_cast<int>(state.range(0)), 1.0));
    for (auto _ : state) {
        polylines_t lines{};
        com_polylines_init(&lines);
        calc_graphics_framework(&set, &lines);
        benchmark::DoNotOptimize(lines.num);
        com_polylines_free(&lines);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    com_polygons_free(&set);
}

}  // namespace

BENCHMARK(BM_ScanBeamSkeleton_Vertices)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanBeamSkeleton_Scaled)->Arg(1)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameworkProcess)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoPassSkeleton)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
