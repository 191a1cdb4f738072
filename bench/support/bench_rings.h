// Inputs shared by the ring benchmarks, made once per size: random rings in map units (whole
// numbers around 10^6) and the same rings as GEOS geometries for the baselines.
//
// - circle_and_flower(n, jitter): a jittered circle and a jittered 20-lobed flower of n vertices
//   each around one centre, star-shaped (sorted angles) and so simple; their boundaries cross
//   about 40 times. Radii jitter by up to `jitter` vertex spacings.
// - jagged_and_circle(n): a ring whose radius jitters by a quarter spacing around a circle of n
//   evenly spaced vertices, against the plain circle; they cross about n / 2 times.
#ifndef MAPGEOM_BENCH_SUPPORT_BENCH_RINGS_H
#define MAPGEOM_BENCH_SUPPORT_BENCH_RINGS_H

#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "mapgeom/com.h"

namespace bench_rings {

using Ring = std::vector<point_t>;  // closed: the last point repeats the first

struct RingPair {
    Ring a;
    Ring b;
};

constexpr double kCentre = 5.0e6;
constexpr double kRadius = 1.0e6;
constexpr int kLobes = 20;
constexpr double kLobeDepth = 0.1;
constexpr double kTwoPi = 6.283185307179586;

inline point_t at_radius(double angle, double r) {
    return point_t{std::round(kCentre + r * std::cos(angle)),
                   std::round(kCentre + r * std::sin(angle)), 0.0};
}

inline Ring closed(Ring ring) {
    ring.push_back(ring.front());
    return ring;
}

// n vertices at sorted random angles, the radius given by `shape` jittered by up to `jitter`
// vertex spacings; a vertex repeating the one before is dropped.
template <typename Shape>
Ring jittered_ring(std::mt19937& rng, int n, double jitter, Shape shape) {
    std::uniform_real_distribution<double> angle(0.0, kTwoPi);
    double spacing = kTwoPi * kRadius / n;
    std::uniform_real_distribution<double> offset(-jitter * spacing, jitter * spacing);
    std::vector<double> angles(n);
    for (double& a : angles)
        a = angle(rng);
    std::sort(angles.begin(), angles.end());
    Ring ring;
    for (double a : angles) {
        point_t p = at_radius(a, shape(a) + offset(rng));
        if (ring.empty() || p.x != ring.back().x || p.y != ring.back().y)
            ring.push_back(p);
    }
    return closed(ring);
}

inline const RingPair& circle_and_flower(int n, double jitter) {
    static std::map<std::pair<int, double>, RingPair> made;
    auto found = made.find({n, jitter});
    if (found != made.end())
        return found->second;
    std::mt19937 rng(static_cast<unsigned>(n));
    RingPair pair;
    pair.a = jittered_ring(rng, n, jitter, [](double) { return kRadius; });
    pair.b = jittered_ring(rng, n, jitter, [](double a) {
        return kRadius * (1.0 + kLobeDepth * std::sin(kLobes * a));
    });
    return made.emplace(std::make_pair(n, jitter), std::move(pair)).first->second;
}

// n evenly spaced vertices, the radius jittered by up to `jitter` units.
inline Ring even_circle(int n, double jitter, std::mt19937* rng) {
    std::uniform_real_distribution<double> offset(-jitter, jitter);
    Ring ring;
    for (int k = 0; k < n; ++k)
        ring.push_back(at_radius(kTwoPi * k / n, kRadius + (jitter > 0.0 ? offset(*rng) : 0.0)));
    return closed(ring);
}

inline const RingPair& jagged_and_circle(int n) {
    static std::map<int, RingPair> made;
    auto found = made.find(n);
    if (found != made.end())
        return found->second;
    std::mt19937 rng(static_cast<unsigned>(n));
    RingPair pair{even_circle(n, kTwoPi * kRadius / n / 4.0, &rng), even_circle(n, 0.0, &rng)};
    return made.emplace(n, std::move(pair)).first->second;
}

// Replaces the points of g by the ring's.
inline void fill(geom_t* g, const Ring& ring) {
    com_geom_clear(g);
    for (const point_t& p : ring)
        com_geom_add(g, p);
}

inline GEOSCoordSequence* geos_sequence(GEOSContextHandle_t context, const Ring& points) {
    unsigned size = static_cast<unsigned>(points.size());
    GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context, size, 2);
    for (unsigned k = 0; k < size; ++k)
        GEOSCoordSeq_setXY_r(context, sequence, k, points[k].x, points[k].y);
    return sequence;
}

inline GEOSGeometry* geos_line(GEOSContextHandle_t context, const Ring& points) {
    return GEOSGeom_createLineString_r(context, geos_sequence(context, points));
}

inline GEOSGeometry* geos_polygon(GEOSContextHandle_t context, const Ring& ring) {
    return GEOSGeom_createPolygon_r(
        context, GEOSGeom_createLinearRing_r(context, geos_sequence(context, ring)), nullptr, 0);
}

// GEOS computing op(a, b) on the pair (building the geometries is not timed); `counter` is named
// for what GEOSGetNumGeometries counts in the result.
template <typename Make, typename Op>
void geos_binary(benchmark::State& state, const RingPair& pair, Make make, Op op,
                 const char* counter) {
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSGeometry* a = make(context, pair.a);
    GEOSGeometry* b = make(context, pair.b);
    int parts = 0;
    for (auto _ : state) {
        GEOSGeometry* result = op(context, a, b);
        parts = GEOSGetNumGeometries_r(context, result);
        GEOSGeom_destroy_r(context, result);
    }
    state.counters[counter] = parts;
    GEOSGeom_destroy_r(context, a);
    GEOSGeom_destroy_r(context, b);
    GEOS_finish_r(context);
}

}  // namespace bench_rings

#endif  // MAPGEOM_BENCH_SUPPORT_BENCH_RINGS_H
