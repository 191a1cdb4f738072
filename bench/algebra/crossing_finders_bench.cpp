// The crossing finders of the overlay and split operations on inputs with thousands of crossings,
// beside GEOS computing the crossing points of the same two boundaries (intersection of the two
// boundary lines):
// - jagged: a ring of n vertices whose radius jitters around a circle, against a plain circle of
//   n vertices; they cross about n / 2 times, spread over both rings;
// - comb: a ring whose top side zigzags across a straight line in `teeth` teeth, against a square
//   whose bottom edge is that line; that one edge takes 2 x teeth crossings.
// The intersection and difference of the jagged pair show what the finder and the touching
// crossings cost inside a whole overlay. The jagged rings come from bench/support/bench_rings.h.
#include <benchmark/benchmark.h>

#include <map>

#include "../support/bench_rings.h"
#include "mapgeom/algebra.h"

namespace {

using bench_rings::RingPair;

const RingPair& jagged_pair(int n) {
    return bench_rings::jagged_and_circle(n);
}

const RingPair& comb_pair(int teeth) {
    static std::map<int, RingPair> made;
    auto found = made.find(teeth);
    if (found != made.end())
        return found->second;
    RingPair pair;
    for (int k = 0; k < teeth; ++k) {
        pair.a.push_back(point_t{10.0 * k, -5.0, 0.0});
        pair.a.push_back(point_t{10.0 * k + 5.0, 5.0, 0.0});
    }
    double right = 10.0 * teeth;
    for (point_t p : {point_t{right, -5.0, 0.0}, point_t{right, -20.0, 0.0},
                      point_t{0.0, -20.0, 0.0}, point_t{0.0, -5.0, 0.0}})
        pair.a.push_back(p);
    pair.b = {{-10.0, 0.0, 0.0},
              {right + 10.0, 0.0, 0.0},
              {right + 10.0, 50.0, 0.0},
              {-10.0, 50.0, 0.0},
              {-10.0, 0.0, 0.0}};
    return made.emplace(teeth, std::move(pair)).first->second;
}

enum class Finder { kPolygon, kPolyline, kPolylines, kIntersec, kDiffence };

// One finder (or the whole intersection) on the pair; the inputs change in place, so they are
// rebuilt, untimed, before every run.
void mapgeom_finder(benchmark::State& state, const RingPair& (*pair_of)(int), Finder finder) {
    const RingPair& pair = pair_of(static_cast<int>(state.range(0)));
    polygon_t a{};
    polygon_t b{};
    geom_t points{};
    polygons_t out;
    com_polygons_init(&out);
    for (auto _ : state) {
        state.PauseTiming();
        bench_rings::fill(&a.geom, pair.a);
        bench_rings::fill(&b.geom, pair.b);
        com_geom_clear(&points);
        com_polygons_free(&out);
        com_polygons_init(&out);
        state.ResumeTiming();
        polyline_t line{a.geom, nullptr};
        polyline_t other{b.geom, nullptr};
        switch (finder) {
            case Finder::kPolygon:
                find_all_polygon_crosspts(&a, &b, &points);
                break;
            case Finder::kPolyline:
                find_all_polyline_crosspts(&line, &b, &points);
                a.geom = line.geom;
                break;
            case Finder::kPolylines:
                find_all_crosspts(&line, &other, &points);
                a.geom = line.geom;
                b.geom = other.geom;
                break;
            case Finder::kIntersec:
                algebra_polygons_intersec(&a, &b, &out);
                break;
            case Finder::kDiffence:
                algebra_polygons_diffence(&a, &b, &out);
                break;
        }
    }
    if (finder == Finder::kIntersec || finder == Finder::kDiffence)
        state.counters["rings"] = out.num;
    else
        state.counters["crossings"] = points.count;
    com_polygons_free(&out);
    com_geom_free(&points);
    com_geom_free(&a.geom);
    com_geom_free(&b.geom);
}

// GEOS: the points where the two boundaries meet (building the lines is not timed).
void geos_crossings(benchmark::State& state, const RingPair& (*pair_of)(int)) {
    bench_rings::geos_binary(state, pair_of(static_cast<int>(state.range(0))),
                             bench_rings::geos_line, GEOSIntersection_r, "crossings");
}

}  // namespace

BENCHMARK_CAPTURE(mapgeom_finder, jagged_polygon, jagged_pair, Finder::kPolygon)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_finder, jagged_polyline, jagged_pair, Finder::kPolyline)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_finder, jagged_polylines, jagged_pair, Finder::kPolylines)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_crossings, jagged, jagged_pair)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_finder, jagged_intersec, jagged_pair, Finder::kIntersec)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_finder, jagged_diffence, jagged_pair, Finder::kDiffence)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(mapgeom_finder, comb_polygon, comb_pair, Finder::kPolygon)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_crossings, comb, comb_pair)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
