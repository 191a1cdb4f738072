// Benchmarks of the convex decomposition of the partition library on large rings (a round star, a
// coastline-like outline, and two worst cases: a star whose every vertex spikes and a comb of long
// teeth, where ears are long thin triangles with many vertices in their boxes) beside GEOS's
// constrained Delaunay triangulation of the same polygon (a triangulation only, without the merge
// into convex pieces), and the whole optimize_polygon_mulangle (validity check, record,
// decomposition, press codes) on a star.
#include <benchmark/benchmark.h>

#include <geos_c.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/optimize.h"
#include "mapgeom/partition.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Xy {
    int64_t x;
    int64_t y;
};

// n vertices at even angles, radii uniform in [r_min, 100000]: r_min near the top gives a round
// outline, far below a ragged one with about half its vertices reflex.
std::vector<Xy> star(int n, double r_min) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> radius(r_min, 100000.0);
    std::vector<Xy> ring;
    for (int i = 0; i < n; ++i) {
        double a = kTwoPi * i / n, r = radius(random) * 100.0;
        ring.push_back({std::llround(r * std::cos(a)), std::llround(r * std::sin(a))});
    }
    return ring;
}

// A comb of n / 4 teeth of height 1000 standing on a base of height 10, counter-clockwise.
std::vector<Xy> comb(int n) {
    int teeth = n / 4;
    std::vector<Xy> ring{{0, 0}, {20LL * teeth - 10, 0}};
    for (int i = teeth - 1; i >= 0; --i) {
        ring.push_back({20LL * i + 10, 1000});
        ring.push_back({20LL * i, 1000});
        if (i > 0) {
            ring.push_back({20LL * i, 10});
            ring.push_back({20LL * i - 10, 10});
        }
    }
    return ring;
}

// A coastline-like outline: a circle whose radius wanders with 2,000 harmonics of falling
// amplitude (bays and headlands at every scale); star-shaped, so simple.
std::vector<Xy> coastline(int n) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> phase_of(0.0, kTwoPi);
    std::vector<double> phase(2000);
    for (double& p : phase)
        p = phase_of(random);
    std::vector<Xy> ring;
    for (int i = 0; i < n; ++i) {
        double a = kTwoPi * i / n, r = 1e7;
        for (int k = 1; k < 2000; ++k)
            r += 1e7 * 0.25 / k * std::sin(k * a + phase[k]);
        ring.push_back({std::llround(r * std::cos(a)), std::llround(r * std::sin(a))});
    }
    return ring;
}

std::vector<Xy> shape(const benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    switch (state.range(1)) {
        case 0:
            return star(n, 99000.0);
        case 1:
            return coastline(n);
        case 2:
            return star(n, 1000.0);
        default:
            return comb(n);
    }
}

void BM_Polygomtriangulate(benchmark::State& state) {
    std::vector<Xy> ring = shape(state);
    std::vector<tagPartitionPoint_t> points;
    for (const Xy& p : ring)
        points.push_back({p.x, p.y});
    tagPolygon_t record{points.data(), static_cast<uint16_t>(points.size()), nullptr, 0};
    int pieces = 0;
    for (auto _ : state) {
        tagPolygonList_t* list = nullptr;
        if (polygomtriangulate(&record, &list, &pieces) > 1)
            state.SkipWithError("decomposition failed");
        vFreeMemSub(list);
    }
    state.counters["pieces"] = pieces;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_GeosConstrainedTriangulation(benchmark::State& state) {
    std::vector<Xy> ring = shape(state);
    GEOSContextHandle_t h = GEOS_init_r();
    GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, static_cast<unsigned>(ring.size() + 1), 2);
    for (size_t k = 0; k <= ring.size(); ++k)
        GEOSCoordSeq_setXY_r(h, s, static_cast<unsigned>(k), double(ring[k % ring.size()].x),
                             double(ring[k % ring.size()].y));
    GEOSGeometry* polygon =
        GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, s), nullptr, 0);
    for (auto _ : state) {
        GEOSGeometry* triangles = GEOSConstrainedDelaunayTriangulation_r(h, polygon);
        if (triangles == nullptr)
            state.SkipWithError("GEOS failed");
        GEOSGeom_destroy_r(h, triangles);
    }
    GEOSGeom_destroy_r(h, polygon);
    GEOS_finish_r(h);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_OptimizePolygonMulangle(benchmark::State& state) {
    std::vector<Xy> ring = shape(state);
    polygon_t polygon{};
    com_polygon_init(&polygon);
    for (size_t k = 0; k <= ring.size(); ++k)
        com_polygon_add(&polygon, point_t{double(ring[k % ring.size()].x),
                                          double(ring[k % ring.size()].y), 0.0});
    for (auto _ : state) {
        polygons_t out{};
        com_polygons_init(&out);
        if (optimize_polygon_mulangle(&polygon, &out) != 0)
            state.SkipWithError("decomposition failed");
        com_polygons_free(&out);
    }
    com_polygon_free(&polygon);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Sizes small and large; second argument: 0 round star, 1 coastline, 2 spiking star, 3 comb (the
// last two only up to 10K: they degrade toward quadratic, and so does the baseline).
void Shapes(benchmark::internal::Benchmark* b) {
    for (int kind : {0, 1, 2, 3})
        for (int n : {1000, kind < 2 ? 60000 : 10000})
            b->Args({n, kind});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Polygomtriangulate)->Apply(Shapes);
BENCHMARK(BM_GeosConstrainedTriangulation)->Apply(Shapes);
BENCHMARK(BM_OptimizePolygonMulangle)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
