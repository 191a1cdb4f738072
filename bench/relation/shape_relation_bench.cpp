// Benchmarks of the shape-to-shape relations on small and large rings: polygon against polygon
// (two overlapping stars) and polyline against polygon (a random walk over a star), each beside
// GEOS computing the DE-9IM matrix of the same pair.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include <geos_c.h>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kRadius = 1000000.0;

// Integer vertices of a nearly round star-shaped ring around (cx, 0) with n vertices at even
// angles (radii within 1% of kRadius: a ragged outline has edges crossing hundreds of others).
std::vector<point_t> star_points(int n, double cx, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> radius(0.99 * kRadius, kRadius);
    std::vector<point_t> points;
    for (int i = 0; i < n; ++i) {
        double angle = kTwoPi * i / n;
        double r = radius(random);
        points.push_back(
            {std::round(cx + r * std::cos(angle)), std::round(r * std::sin(angle)), 0});
    }
    points.push_back(points.front());
    return points;
}

// Integer points of a random walk from the origin, n points.
std::vector<point_t> walk_points(int n, unsigned seed) {
    std::mt19937 random(seed);
    double step = 8.0 * kRadius / n;
    std::uniform_real_distribution<double> move(-step, step);
    std::vector<point_t> points{{0, 0, 0}};
    for (int i = 1; i < n; ++i)
        points.push_back({std::round(points.back().x + move(random) + step / 4),
                          std::round(points.back().y + move(random)), 0});
    return points;
}

struct Shapes {
    polygon_t a{};
    polygon_t b{};
    polyline_t line{};
    GEOSContextHandle_t geos = GEOS_init_r();
    GEOSGeometry* geos_a = nullptr;
    GEOSGeometry* geos_b = nullptr;
    GEOSGeometry* geos_line = nullptr;

    explicit Shapes(int n) {
        std::vector<point_t> pa = star_points(n, 0, 1);
        std::vector<point_t> pb = star_points(n, 0.5 * kRadius, 2);
        std::vector<point_t> pl = walk_points(n, 3);
        for (point_t p : pa)
            com_polygon_add(&a, p);
        for (point_t p : pb)
            com_polygon_add(&b, p);
        for (point_t p : pl)
            com_polyline_add(&line, p);
        geos_a = GEOSGeom_createPolygon_r(geos, GEOSGeom_createLinearRing_r(geos, sequence(pa)),
                                          nullptr, 0);
        geos_b = GEOSGeom_createPolygon_r(geos, GEOSGeom_createLinearRing_r(geos, sequence(pb)),
                                          nullptr, 0);
        geos_line = GEOSGeom_createLineString_r(geos, sequence(pl));
    }
    ~Shapes() {
        com_polygon_free(&a);
        com_polygon_free(&b);
        com_polyline_free(&line);
        GEOSGeom_destroy_r(geos, geos_a);
        GEOSGeom_destroy_r(geos, geos_b);
        GEOSGeom_destroy_r(geos, geos_line);
        GEOS_finish_r(geos);
    }
    Shapes(const Shapes&) = delete;
    Shapes& operator=(const Shapes&) = delete;

    GEOSCoordSequence* sequence(const std::vector<point_t>& points) {
        GEOSCoordSequence* s = GEOSCoordSeq_create_r(geos, static_cast<unsigned>(points.size()), 2);
        for (unsigned i = 0; i < points.size(); ++i)
            GEOSCoordSeq_setXY_r(geos, s, i, points[i].x, points[i].y);
        return s;
    }
};

const Shapes& shapes(int n) {
    static const Shapes small(100);
    static const Shapes large(10000);
    return n <= 100 ? small : large;
}

void BM_PolygonAndPolygon(benchmark::State& state) {
    const Shapes& s = shapes(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(relation_polygon_and_polygon(&s.a, &s.b));
}

void BM_PolygonAndPolygon_GeosRelate(benchmark::State& state) {
    const Shapes& s = shapes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        char* matrix = GEOSRelate_r(s.geos, s.geos_a, s.geos_b);
        benchmark::DoNotOptimize(matrix);
        GEOSFree_r(s.geos, matrix);
    }
}

void BM_PolylineAndPolygon(benchmark::State& state) {
    const Shapes& s = shapes(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(relation_polyline_and_polygon(&s.line, &s.a));
}

void BM_PolylineAndPolygon_GeosRelate(benchmark::State& state) {
    const Shapes& s = shapes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        char* matrix = GEOSRelate_r(s.geos, s.geos_line, s.geos_a);
        benchmark::DoNotOptimize(matrix);
        GEOSFree_r(s.geos, matrix);
    }
}

BENCHMARK(BM_PolygonAndPolygon)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PolygonAndPolygon_GeosRelate)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PolylineAndPolygon)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PolylineAndPolygon_GeosRelate)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
