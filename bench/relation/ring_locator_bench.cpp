// Benchmarks of locating many points against one ring: the prepared ring locator beside the plain
// point-in-polygon scan (10K points against a 10K-vertex ring, round and ragged), and the polygon
// relation of two overlapping 10K-vertex stars, whose crossing classification locates two or three
// points per crossing against the rings (a ragged pair crosses about 150K times).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "relation/ring_locator.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kRadius = 1000000.0;
constexpr int kVertices = 10000;
constexpr int kPoints = 10000;
// Radii drawn from [(100 - r)%, 100%] of kRadius, r = the benchmark argument.
constexpr int kRound = 1;
constexpr int kRagged = 40;

// A star-shaped ring around (cx, 0) with integer vertices at even angles.
struct Star {
    polygon_t ring{};
    Star(double cx, int raggedness, unsigned seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> radius((1 - raggedness / 100.0) * kRadius, kRadius);
        for (int i = 0; i < kVertices; ++i) {
            double angle = kTwoPi * i / kVertices;
            double r = std::round(radius(random));
            com_polygon_add(&ring, point_t{std::round(cx + r * std::cos(angle)),
                                           std::round(r * std::sin(angle)), 0.0});
        }
        com_polygon_add(&ring, ring.geom.points[0]);
    }
    Star(const Star&) = delete;
    Star& operator=(const Star&) = delete;
    ~Star() { com_polygon_free(&ring); }
};

const Star& star(int raggedness, bool shifted) {
    static const Star round(0, kRound, 1);
    static const Star ragged(0, kRagged, 1);
    static const Star round_shifted(0.5 * kRadius, kRound, 2);
    static const Star ragged_shifted(0.5 * kRadius, kRagged, 2);
    if (raggedness == kRound)
        return shifted ? round_shifted : round;
    return shifted ? ragged_shifted : ragged;
}

// Half the points uniform over the star's extent, half on or beside its vertices (the side tests
// of the crossing classification probe the boundary).
const std::vector<point_t>& points(int raggedness) {
    static std::vector<point_t> cache[2];
    std::vector<point_t>& chosen = cache[raggedness == kRound ? 0 : 1];
    if (chosen.empty()) {
        const polygon_t* ring = &star(raggedness, false).ring;
        std::mt19937 random(3);
        std::uniform_real_distribution<double> coordinate(-kRadius, kRadius);
        std::uniform_int_distribution<int> vertex(0, kVertices - 1);
        std::uniform_real_distribution<double> offset(-0.5, 0.5);
        for (int k = 0; k < kPoints; ++k) {
            point_t v = ring->geom.points[vertex(random)];
            chosen.push_back(k % 2 == 0 ? point_t{coordinate(random), coordinate(random), 0}
                                        : point_t{v.x + offset(random), v.y, 0});
        }
    }
    return chosen;
}

void BM_LocatePoints_Scan(benchmark::State& state) {
    int raggedness = static_cast<int>(state.range(0));
    const polygon_t* ring = &star(raggedness, false).ring;
    for (auto _ : state)
        for (point_t p : points(raggedness))
            benchmark::DoNotOptimize(relation_point_at_polygon_by_permit(ring, p, 0.0001));
}

// Building the index included.
void BM_LocatePoints_Locator(benchmark::State& state) {
    int raggedness = static_cast<int>(state.range(0));
    const polygon_t* ring = &star(raggedness, false).ring;
    for (auto _ : state) {
        mapgeom::RingLocator locator(ring);
        for (point_t p : points(raggedness))
            benchmark::DoNotOptimize(mapgeom::locate_in_ring(&locator, p, 0.0001));
    }
}

void BM_IndexRing(benchmark::State& state) {
    const polygon_t* ring = &star(static_cast<int>(state.range(0)), false).ring;
    for (auto _ : state) {
        mapgeom::RingLocator locator(ring);
        mapgeom::index_ring(&locator);
        benchmark::DoNotOptimize(locator.slabs.entries.data());
    }
}

void BM_PolygonAndPolygonStars(benchmark::State& state) {
    int raggedness = static_cast<int>(state.range(0));
    const polygon_t* a = &star(raggedness, false).ring;
    const polygon_t* b = &star(raggedness, true).ring;
    for (auto _ : state)
        benchmark::DoNotOptimize(relation_polygon_and_polygon(a, b));
}

BENCHMARK(BM_LocatePoints_Scan)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LocatePoints_Locator)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexRing)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolygonAndPolygonStars)->Arg(kRound)->Arg(kRagged)->Unit(benchmark::kMillisecond);

}  // namespace
