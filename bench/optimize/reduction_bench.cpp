// The default reductions on wiggly lines (1K to 1M points) and jittered rings (1K to 100K
// vertices), beside GEOS's Douglas-Peucker (GEOSSimplify) and topology-preserving simplifiers on
// the same inputs, with the GEOS tolerance searched (outside the timing) so that GEOS keeps about
// as many vertices as the reduction. Counters: ns per input point and points kept.
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/optimize.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A line running along x in steps of 30 to 100 units, swinging +-2000 units over every 60 points
// with +-40 units of noise: most vertices matter little at the reduction's default scale.
std::vector<point_t> wiggly_line(int n) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> step(30, 100), noise(-40, 40);
    std::vector<point_t> points;
    double x = 0;
    for (int k = 0; k < n; ++k) {
        x += step(rng);
        double y = 2000 * std::sin(kTwoPi * k / 60) + noise(rng);
        points.push_back({std::round(x), std::round(y), 0});
    }
    return points;
}

// n vertices around a circle about 100 units apart, the radius jittered by +-30 units and swinging
// by 1500 units over 40 vertices; closed.
std::vector<point_t> jittered_ring(int n) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> noise(-30, 30);
    double radius = n * 100.0 / kTwoPi;
    std::vector<point_t> ring;
    for (int k = 0; k < n; ++k) {
        double a = kTwoPi * k / n;
        double r = radius + 1500 * std::sin(kTwoPi * k / 40) + noise(rng);
        ring.push_back({std::round(r * std::cos(a)), std::round(r * std::sin(a)), 0});
    }
    ring.push_back(ring.front());
    return ring;
}

template <typename Shape, void (*Init)(Shape*), void (*Add)(Shape*, point_t), void (*Free)(Shape*)>
struct Owned {
    Shape shape{};
    explicit Owned(const std::vector<point_t>& points) {
        Init(&shape);
        for (const point_t& p : points)
            Add(&shape, p);
    }
    Owned() { Init(&shape); }
    ~Owned() { Free(&shape); }
};
using Line = Owned<polyline_t, com_polyline_init, com_polyline_add, com_polyline_free>;
using Ring = Owned<polygon_t, com_polygon_init, com_polygon_add, com_polygon_free>;

const std::vector<point_t>& input(bool ring, int n) {
    static std::map<std::pair<bool, int>, std::vector<point_t>> made;
    auto found = made.find({ring, n});
    if (found == made.end())
        found =
            made.emplace(std::make_pair(ring, n), ring ? jittered_ring(n) : wiggly_line(n)).first;
    return found->second;
}

// Points the library's default reduction keeps.
int reduction_output(bool ring, int n) {
    if (ring) {
        Ring in(input(true, n)), out;
        reduc_polygon_by_defult(&in.shape, &out.shape);
        return out.shape.geom.count;
    }
    Line in(input(false, n)), out;
    reduc_polyline_by_defult(&in.shape, &out.shape);
    return out.shape.geom.count;
}

void reduce_line(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Line in(input(false, n));
    int kept = 0;
    for (auto _ : state) {
        Line out;
        reduc_polyline_by_defult(&in.shape, &out.shape);
        kept = out.shape.geom.count;
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["ns_per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["kept"] = kept;
}

void reduce_ring(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Ring in(input(true, n));
    int kept = 0;
    for (auto _ : state) {
        Ring out;
        reduc_polygon_by_defult(&in.shape, &out.shape);
        kept = out.shape.geom.count;
    }
    state.counters["ns_per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["kept"] = kept;
}

// ---------------------------------------------------------------------------------------------
// GEOS baselines.

struct GeosInput {
    GEOSContextHandle_t h = GEOS_init_r();
    GEOSGeometry* geometry = nullptr;
    GeosInput(const std::vector<point_t>& points, bool ring) {
        GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, static_cast<unsigned>(points.size()), 2);
        for (unsigned k = 0; k < points.size(); ++k)
            GEOSCoordSeq_setXY_r(h, s, k, points[k].x, points[k].y);
        geometry = ring ? GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, s), nullptr, 0)
                        : GEOSGeom_createLineString_r(h, s);
    }
    ~GeosInput() {
        GEOSGeom_destroy_r(h, geometry);
        GEOS_finish_r(h);
    }
    int simplified_points(GEOSGeometry* (*simplify)(GEOSContextHandle_t, const GEOSGeometry*,
                                                    double),
                          double tolerance) {
        GEOSGeometry* g = simplify(h, geometry, tolerance);
        int points = GEOSGetNumCoordinates_r(h, g);
        GEOSGeom_destroy_r(h, g);
        return points;
    }
};

using Simplifier = GEOSGeometry* (*)(GEOSContextHandle_t, const GEOSGeometry*, double);

// The tolerance at which GEOS keeps about as many points as the reduction: bisection in log
// scale between 1 and 10^5 units (the kept count falls as the tolerance grows).
double matching_tolerance(GeosInput* geos, Simplifier simplify, int target) {
    double low = 0.0, high = 5.0;  // decimal exponents
    for (int step = 0; step < 14; ++step) {
        double mid = (low + high) / 2;
        if (geos->simplified_points(simplify, std::pow(10.0, mid)) > target)
            low = mid;
        else
            high = mid;
    }
    return std::pow(10.0, high);
}

void geos_simplify(benchmark::State& state, Simplifier simplify, bool ring) {
    const int n = static_cast<int>(state.range(0));
    GeosInput geos(input(ring, n), ring);
    double tolerance = matching_tolerance(&geos, simplify, reduction_output(ring, n));
    int kept = 0;
    for (auto _ : state) {
        GEOSGeometry* g = simplify(geos.h, geos.geometry, tolerance);
        kept = GEOSGetNumCoordinates_r(geos.h, g);
        GEOSGeom_destroy_r(geos.h, g);
    }
    state.counters["ns_per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["kept"] = kept;
    state.counters["tolerance"] = tolerance;
}

}  // namespace

BENCHMARK(reduce_line)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_simplify, line_douglas_peucker, GEOSSimplify_r, false)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_simplify, line_topology_preserving, GEOSTopologyPreserveSimplify_r, false)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(reduce_ring)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_simplify, ring_douglas_peucker, GEOSSimplify_r, true)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(geos_simplify, ring_topology_preserving, GEOSTopologyPreserveSimplify_r, true)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
