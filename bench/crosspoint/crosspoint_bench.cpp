// Crossing points of two random rings of 1K and 10K vertices through both engines, beside GEOS
// intersecting the same two boundaries (which only computes the points: nothing is inserted or
// classified). Rings are in map units (whole numbers around 10^6): a jittered circle and a
// jittered 20-lobed flower around the same centre, whose boundaries cross about 40 times.
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "mapgeom/crosspoint.h"

namespace {

struct Xy {
    double x;
    double y;
};

struct RingPair {
    std::vector<Xy> circle;
    std::vector<Xy> flower;
};

constexpr double kCentre = 5.0e6;
constexpr double kRadius = 1.0e6;
constexpr int kLobes = 20;
constexpr double kLobeDepth = 0.1;

// n vertices at sorted random angles; the radius given by `shape`, jittered by up to one vertex
// spacing and rounded to whole units.
template <typename Shape>
std::vector<Xy> jittered_ring(std::mt19937& rng, int n, Shape shape) {
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI);
    double spacing = 2.0 * M_PI * kRadius / n;
    std::uniform_real_distribution<double> jitter(-spacing, spacing);
    std::vector<double> angles(n);
    for (double& a : angles)
        a = angle(rng);
    std::sort(angles.begin(), angles.end());
    std::vector<Xy> ring;
    for (double a : angles) {
        double r = shape(a) + jitter(rng);
        ring.push_back(
            {std::round(kCentre + r * std::cos(a)), std::round(kCentre + r * std::sin(a))});
    }
    return ring;
}

const RingPair& ring_pair(int n) {
    static std::map<int, RingPair> made;
    auto found = made.find(n);
    if (found != made.end())
        return found->second;
    std::mt19937 rng(static_cast<unsigned>(n));
    RingPair pair;
    pair.circle = jittered_ring(rng, n, [](double) { return kRadius; });
    pair.flower = jittered_ring(
        rng, n, [](double a) { return kRadius * (1.0 + kLobeDepth * std::sin(kLobes * a)); });
    return made.emplace(n, std::move(pair)).first->second;
}

void fill_ring(polygon_t* ring, const std::vector<Xy>& points) {
    com_polygon_clear(ring);
    for (const Xy& p : points)
        com_polygon_add(ring, point_t{p.x, p.y, 0.0});
    com_polygon_add(ring, point_t{points.front().x, points.front().y, 0.0});
}

void BM_RingCrossings(benchmark::State& state,
                      void (*engine)(polygon_t*, polygon_t*, crosspts_t*)) {
    const RingPair& pair = ring_pair(static_cast<int>(state.range(0)));
    polygon_t a;
    polygon_t b;
    com_polygon_init(&a);
    com_polygon_init(&b);
    crosspts_t out;
    com_crosspts_init(&out);
    for (auto _ : state) {
        state.PauseTiming();
        fill_ring(&a, pair.circle);
        fill_ring(&b, pair.flower);
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

GEOSGeometry* geos_ring_boundary(GEOSContextHandle_t context, const std::vector<Xy>& points) {
    unsigned size = static_cast<unsigned>(points.size() + 1);
    GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context, size, 2);
    for (unsigned k = 0; k < size; ++k) {
        const Xy& p = points[k % points.size()];
        GEOSCoordSeq_setXY_r(context, sequence, k, p.x, p.y);
    }
    return GEOSGeom_createLineString_r(context, sequence);
}

void BM_GeosBoundaryIntersection(benchmark::State& state) {
    const RingPair& pair = ring_pair(static_cast<int>(state.range(0)));
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSGeometry* a = geos_ring_boundary(context, pair.circle);
    GEOSGeometry* b = geos_ring_boundary(context, pair.flower);
    int points = 0;
    for (auto _ : state) {
        GEOSGeometry* crossing = GEOSIntersection_r(context, a, b);
        points = GEOSGetNumGeometries_r(context, crossing);
        GEOSGeom_destroy_r(context, crossing);
    }
    state.counters["crossings"] = points;
    GEOSGeom_destroy_r(context, a);
    GEOSGeom_destroy_r(context, b);
    GEOS_finish_r(context);
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
