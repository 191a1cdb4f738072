// Benchmarks of tiled clipping through the flat-array records: one large random polygon (20,000
// vertices), 1,000 small ones and a real state outline (the largest outer ring of the us-atlas
// fixture, moved into the grid), cut into grids of 64 x 64 and 256 x 256 tiles, beside GEOS
// clipping the same polygons with GEOSClipByRect on every tile their boundary meets (the tiles are
// found before timing, so the baseline pays neither for finding them nor for the inner tiles).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "../support/geos_tiles.h"
#include "mapgeom/java.h"
#include "us_atlas.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
// The grid spans 0 .. kExtent each way.
constexpr int kExtent = 2000000;

using Ring = std::vector<std::pair<int, int>>;

// A closed ring star-shaped around (cx, cy) with n vertices at even angles and random radii
// between `inner` and 1 times `radius` (integer coordinates).
Ring star(std::mt19937& random, int n, double cx, double cy, double radius, double inner) {
    std::uniform_real_distribution<double> factor(inner, 1.0);
    Ring ring;
    for (int i = 0; i < n; ++i) {
        double angle = kTwoPi * i / n;
        double r = radius * factor(random);
        ring.emplace_back(static_cast<int>(std::lround(cx + r * std::cos(angle))),
                          static_cast<int>(std::lround(cy + r * std::sin(angle))));
    }
    ring.push_back(ring.front());
    return ring;
}

std::vector<Ring> large_set() {
    std::mt19937 random(7);
    return {star(random, 20000, kExtent / 2.0, kExtent / 2.0, 0.49 * kExtent, 0.9)};
}

std::vector<Ring> small_set() {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> centre(50000.0, kExtent - 50000.0);
    std::uniform_real_distribution<double> radius(5000.0, 45000.0);
    std::vector<Ring> rings;
    for (int i = 0; i < 1000; ++i)
        rings.push_back(star(random, 12, centre(random), centre(random), radius(random), 0.5));
    return rings;
}

// The state outer ring with the most vertices, moved so that its extent starts at the grid's
// origin and scaled (one factor both ways) to fill the grid; closed.
std::vector<Ring> state_set() {
    const testing_shapes::AtlasRing* largest = nullptr;
    static const std::vector<testing_shapes::AtlasRing> states =
        testing_shapes::load_atlas_outers("states.txt");
    for (const auto& r : states)
        if (largest == nullptr || r.points.size() > largest->points.size())
            largest = &r;
    double min_x = 1e300, min_y = 1e300, span = 0.0;
    for (const auto& p : largest->points)
        min_x = std::min(min_x, p.x), min_y = std::min(min_y, p.y);
    for (const auto& p : largest->points)
        span = std::max({span, p.x - min_x, p.y - min_y});
    double scale = (kExtent - 1) / span;
    Ring ring;
    for (const auto& p : largest->points)
        ring.emplace_back(static_cast<int>((p.x - min_x) * scale),
                          static_cast<int>((p.y - min_y) * scale));
    ring.push_back(ring.front());
    return {ring};
}

const std::vector<Ring>& rings_of(int set) {
    static const std::vector<Ring> large = large_set();
    static const std::vector<Ring> small = small_set();
    static const std::vector<Ring> state = state_set();
    return set == 0 ? large : set == 1 ? small : state;
}

// The in-record a host hands over.
struct HostInput {
    polygon_division_in_t in{};
    HostInput(const std::vector<Ring>& rings, int tiles) {
        std::vector<int> x, y, z, parts;
        for (const Ring& ring : rings) {
            parts.push_back(static_cast<int>(ring.size()));
            for (auto [px, py] : ring) {
                x.push_back(px);
                y.push_back(py);
                z.push_back(0);
            }
        }
        in.point_num = static_cast<int>(x.size());
        in.part_num = static_cast<int>(parts.size());
        in.grid_min_x = in.grid_min_y = 0;
        in.grid_max_x = in.grid_max_y = kExtent;
        in.col_num = in.row_num = tiles;
        polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(), in.point_num,
                                 in.part_num);
    }
    ~HostInput() { polygon_division_in_free(&in); }
};

void BM_TilePolygons(benchmark::State& state) {
    const std::vector<Ring>& rings = rings_of(static_cast<int>(state.range(0)));
    HostInput host(rings, static_cast<int>(state.range(1)));
    int pieces = 0;
    for (auto _ : state) {
        polygon_division_out_t out{};
        polygon_division_out_init(&out, 512, 512, host.in.part_num);
        algebra_polygon_intersec_java(&host.in, &out);
        pieces = out.part_num;
        polygon_division_out_free(&out);
    }
    state.counters["pieces"] = pieces;
}

// GEOS: every polygon clipped by every tile its boundary meets.
void BM_TilePolygons_GeosClipByRect(benchmark::State& state) {
    int tiles = static_cast<int>(state.range(1));
    double size = static_cast<double>(kExtent / tiles);
    bench_rings::GeosTileClipping geos({0, 0, size, size, tiles, tiles});
    for (const Ring& ring : rings_of(static_cast<int>(state.range(0))))
        geos.add_ring(static_cast<unsigned>(ring.size()), [&](unsigned i) {
            return std::pair<double, double>(ring[i].first, ring[i].second);
        });
    for (auto _ : state)
        geos.clip_all();
    state.counters["boundary_tiles"] = static_cast<double>(geos.tile_count());
}

// Arguments: shape set (0: one 20,000-vertex polygon, 1: 1,000 small polygons), tiles per side.
void Sets(benchmark::internal::Benchmark* b) {
    for (int set : {0, 1, 2})
        for (int tiles : {64, 256})
            b->Args({set, tiles});
}

BENCHMARK(BM_TilePolygons)->Apply(Sets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TilePolygons_GeosClipByRect)->Apply(Sets)->Unit(benchmark::kMillisecond);

}  // namespace
