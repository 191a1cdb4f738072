// Benchmarks of the relations: point location against a prepared polygon (scan lines) versus the
// plain point-in-polygon test on the same points, and the validity sweep of a large ring, each
// beside GEOS (prepared geometry, IsValid) on the same input.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include <geos_c.h>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A closed star-shaped ring around (0, 0): sorted angles, integer radii in [r_min, r_max] and
// integer vertices, so it is simple and suits the scan lines.
struct Ring {
    polygon_t polygon{};
    Ring(int n, double r_min, double r_max, unsigned seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> radius(r_min, r_max);
        com_polygon_init(&polygon);
        for (int i = 0; i < n; ++i) {
            const double angle = kTwoPi * i / n;
            const double r = std::round(radius(random));
            com_polygon_add(&polygon, point_t{std::round(r * std::cos(angle)),
                                              std::round(r * std::sin(angle)), 0.0});
        }
        com_polygon_add(&polygon, polygon.geom.points[0]);
    }
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    ~Ring() { com_polygon_free(&polygon); }
};

// Uniform points over the square [-extent, extent]^2.
std::vector<point_t> random_points(int count, double extent, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coordinate(-extent, extent);
    std::vector<point_t> points(count);
    for (point_t& p : points)
        p = point_t{coordinate(random), coordinate(random), 0.0};
    return points;
}

// The location input: 10K-vertex stars and 1M points over their extent. The outline's raggedness
// (radii drawn from [(100 - r)%, 100%] of the outer radius, r = the benchmark argument) sets how
// many edges span a scan line: a round outline has a few, a ragged one hundreds.
constexpr int kLocationVertices = 10000;
constexpr int kLocationPoints = 1000000;
constexpr double kOuterRadius = 1000000.0;
constexpr int kRound = 1;
constexpr int kRagged = 40;

const Ring& location_ring(int raggedness) {
    static const Ring round(kLocationVertices, 0.99 * kOuterRadius, kOuterRadius, 1);
    static const Ring ragged(kLocationVertices, 0.6 * kOuterRadius, kOuterRadius, 1);
    return raggedness == kRound ? round : ragged;
}

const std::vector<point_t>& location_points() {
    static const std::vector<point_t> points = random_points(kLocationPoints, kOuterRadius, 2);
    return points;
}

// Mean number of boundary points listed on a scan line.
double mean_crosses(const polygon_pretreat_t& pre) {
    double total = 0;
    for (const scan_line_t& line : pre.scan_lines)
        total += static_cast<double>(line.crosses.size());
    return total / static_cast<double>(pre.scan_lines.size());
}

void BM_PreparePolygon(benchmark::State& state) {
    const Ring& ring = location_ring(static_cast<int>(state.range(0)));
    double crosses = 0;
    for (auto _ : state) {
        polygon_pretreat_t pre;
        create_polygon_pretreat(&ring.polygon, &pre);
        benchmark::DoNotOptimize(pre.scan_lines.data());
        crosses = mean_crosses(pre);
    }
    state.counters["crosses_per_line"] = crosses;
    state.SetItemsProcessed(state.iterations() * kLocationVertices);
}
BENCHMARK(BM_PreparePolygon)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);

void BM_PreparedLocation(benchmark::State& state) {
    const Ring& ring = location_ring(static_cast<int>(state.range(0)));
    const std::vector<point_t>& points = location_points();
    polygon_pretreat_t pre;
    create_polygon_pretreat(&ring.polygon, &pre);
    for (auto _ : state) {
        int inside = 0;
        for (const point_t& p : points)
            inside += relation_point_and_polygon(&pre, p) == 1;
        benchmark::DoNotOptimize(inside);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_PreparedLocation)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);

// The plain test walks every edge per point: it runs on the first 2000 of the same points (all 1M
// would take minutes); compare items per second.
constexpr int kPlainPoints = 2000;

void BM_PlainLocation(benchmark::State& state) {
    const Ring& ring = location_ring(static_cast<int>(state.range(0)));
    const std::vector<point_t>& points = location_points();
    for (auto _ : state) {
        int inside = 0;
        for (int i = 0; i < kPlainPoints; ++i)
            inside += relation_point_at_polygon(&ring.polygon, points[i]) == 1;
        benchmark::DoNotOptimize(inside);
    }
    state.SetItemsProcessed(state.iterations() * kPlainPoints);
}
BENCHMARK(BM_PlainLocation)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);

// Not a timing: counts the points of the plain run on which the two methods disagree.
void BM_LocationAgreement(benchmark::State& state) {
    const Ring& ring = location_ring(static_cast<int>(state.range(0)));
    const std::vector<point_t>& points = location_points();
    polygon_pretreat_t pre;
    create_polygon_pretreat(&ring.polygon, &pre);
    int differ = 0;
    for (auto _ : state) {
        differ = 0;
        for (int i = 0; i < kPlainPoints; ++i)
            differ += relation_point_and_polygon(&pre, points[i]) !=
                      relation_point_at_polygon(&ring.polygon, points[i]);
    }
    state.counters["differing"] = differ;
}
BENCHMARK(BM_LocationAgreement)->Arg(kRound)->Arg(kRagged)->Iterations(1);

// The validity input: a 100K-vertex ring, round with a ragged outline.
const Ring& validity_ring() {
    static const Ring ring(100000, 0.999 * kOuterRadius, kOuterRadius, 3);
    return ring;
}

void BM_PolygonIsError(benchmark::State& state) {
    const Ring& ring = validity_ring();
    int code = -1;
    for (auto _ : state) {
        code = relation_polygon_iserror(&ring.polygon);
        benchmark::DoNotOptimize(code);
    }
    state.counters["code"] = code;
    state.SetItemsProcessed(state.iterations() * com_polygon_num(&ring.polygon));
}
BENCHMARK(BM_PolygonIsError)->Unit(benchmark::kMillisecond);

// A GEOS context and polygon built from a ring, released together.
struct GeosPolygon {
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSGeometry* geometry = nullptr;
    explicit GeosPolygon(const polygon_t& polygon) {
        const unsigned count = static_cast<unsigned>(polygon.geom.count);
        GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context, count, 2);
        for (unsigned i = 0; i < count; ++i)
            GEOSCoordSeq_setXY_r(context, sequence, i, polygon.geom.points[i].x,
                                 polygon.geom.points[i].y);
        GEOSGeometry* shell = GEOSGeom_createLinearRing_r(context, sequence);
        geometry = GEOSGeom_createPolygon_r(context, shell, nullptr, 0);
    }
    GeosPolygon(const GeosPolygon&) = delete;
    GeosPolygon& operator=(const GeosPolygon&) = delete;
    ~GeosPolygon() {
        GEOSGeom_destroy_r(context, geometry);
        GEOS_finish_r(context);
    }
};

// GEOS prepared polygon, one point geometry made per query (its 3.11 API has no x/y form).
void BM_GeosPreparedLocation(benchmark::State& state) {
    GeosPolygon polygon(location_ring(static_cast<int>(state.range(0))).polygon);
    const std::vector<point_t>& points = location_points();
    const GEOSPreparedGeometry* prepared = GEOSPrepare_r(polygon.context, polygon.geometry);
    for (auto _ : state) {
        int inside = 0;
        for (const point_t& p : points) {
            GEOSGeometry* point = GEOSGeom_createPointFromXY_r(polygon.context, p.x, p.y);
            inside += GEOSPreparedContains_r(polygon.context, prepared, point) == 1;
            GEOSGeom_destroy_r(polygon.context, point);
        }
        benchmark::DoNotOptimize(inside);
    }
    GEOSPreparedGeom_destroy_r(polygon.context, prepared);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_GeosPreparedLocation)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);

void BM_GeosIsValid(benchmark::State& state) {
    GeosPolygon polygon(validity_ring().polygon);
    char valid = 0;
    for (auto _ : state) {
        valid = GEOSisValid_r(polygon.context, polygon.geometry);
        benchmark::DoNotOptimize(valid);
    }
    state.counters["valid"] = valid;
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_GeosIsValid)->Unit(benchmark::kMillisecond);

}  // namespace
