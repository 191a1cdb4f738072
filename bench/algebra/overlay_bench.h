// Shared pieces of the two-ring overlay benchmarks: the input pair (random rings of a given vertex
// count in map units) and one benchmark body for a mapgeom overlay and one for GEOS, so each
// operation is timed beside GEOS on the very same rings.
//
// The rings: a jittered circle and a jittered 20-lobed flower around the same centre, each
// star-shaped (sorted angles) and so simple, with whole-number coordinates around 10^6. Their
// boundaries cross about 40 times, so each overlay has about 20 pieces to stitch.
#ifndef MAPGEOM_BENCH_ALGEBRA_OVERLAY_BENCH_H
#define MAPGEOM_BENCH_ALGEBRA_OVERLAY_BENCH_H

#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "mapgeom/com.h"

namespace overlay_bench {

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
constexpr double kTwoPi = 6.283185307179586;

// n vertices at sorted random angles, the radius given by `shape` jittered by up to a quarter of
// the vertex spacing, rounded to whole units.
template <typename Shape>
std::vector<Xy> jittered_ring(std::mt19937& rng, int n, Shape shape) {
    std::uniform_real_distribution<double> angle(0.0, kTwoPi);
    double spacing = kTwoPi * kRadius / n;
    std::uniform_real_distribution<double> jitter(-spacing / 4.0, spacing / 4.0);
    std::vector<double> angles(n);
    for (double& a : angles)
        a = angle(rng);
    std::sort(angles.begin(), angles.end());
    std::vector<Xy> ring;
    for (double a : angles) {
        double r = shape(a) + jitter(rng);
        Xy p{std::round(kCentre + r * std::cos(a)), std::round(kCentre + r * std::sin(a))};
        if (ring.empty() || p.x != ring.back().x || p.y != ring.back().y)
            ring.push_back(p);
    }
    return ring;
}

// The pair of n-vertex rings, made once per n.
inline const RingPair& ring_pair(int n) {
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

inline void fill_ring(polygon_t* ring, const std::vector<Xy>& points) {
    com_polygon_clear(ring);
    for (const Xy& p : points)
        com_polygon_add(ring, point_t{p.x, p.y, 0.0});
    com_polygon_add(ring, point_t{points.front().x, points.front().y, 0.0});
}

// A mapgeom overlay of the circle (A) and the flower (B) of state.range(0) vertices each. The
// overlay changes its inputs in place, so both are rebuilt, untimed, before every run.
inline void mapgeom_overlay(benchmark::State& state,
                            int (*overlay)(polygon_t*, polygon_t*, polygons_t*)) {
    const RingPair& pair = ring_pair(static_cast<int>(state.range(0)));
    polygon_t a;
    polygon_t b;
    com_polygon_init(&a);
    com_polygon_init(&b);
    polygons_t out;
    com_polygons_init(&out);
    int code = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fill_ring(&a, pair.circle);
        fill_ring(&b, pair.flower);
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

enum class GeosOverlay { kUnion, kIntersection, kDifference };

inline GEOSGeometry* geos_polygon(GEOSContextHandle_t context, const std::vector<Xy>& points) {
    unsigned size = static_cast<unsigned>(points.size() + 1);
    GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context, size, 2);
    for (unsigned k = 0; k < size; ++k) {
        const Xy& p = points[k % points.size()];
        GEOSCoordSeq_setXY_r(context, sequence, k, p.x, p.y);
    }
    return GEOSGeom_createPolygon_r(context, GEOSGeom_createLinearRing_r(context, sequence),
                                    nullptr, 0);
}

// GEOS computing the same overlay of the same rings (building them is not timed).
inline void geos_overlay(benchmark::State& state, GeosOverlay op) {
    const RingPair& pair = ring_pair(static_cast<int>(state.range(0)));
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSGeometry* a = geos_polygon(context, pair.circle);
    GEOSGeometry* b = geos_polygon(context, pair.flower);
    int parts = 0;
    for (auto _ : state) {
        GEOSGeometry* result = op == GeosOverlay::kUnion ? GEOSUnion_r(context, a, b)
                               : op == GeosOverlay::kIntersection
                                   ? GEOSIntersection_r(context, a, b)
                                   : GEOSDifference_r(context, a, b);
        parts = GEOSGetNumGeometries_r(context, result);
        GEOSGeom_destroy_r(context, result);
    }
    state.counters["rings"] = parts;
    GEOSGeom_destroy_r(context, a);
    GEOSGeom_destroy_r(context, b);
    GEOS_finish_r(context);
}

}  // namespace overlay_bench

#endif  // MAPGEOM_BENCH_ALGEBRA_OVERLAY_BENCH_H
