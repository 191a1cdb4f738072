// Benchmarks of the ear-clipping triangulation beside GEOS's constrained Delaunay triangulation on
// the same rings: a circle whose radius jitters by a quarter vertex spacing and a ragged
// coastline-like ring, of 1K, 10K and 100K vertices, and the 68 outer rings of the us-atlas state
// fixtures (4353 vertices, up to 733 in one ring) triangulated one after another.
// Counters give the time per vertex through `vertices` (items per second).
//
// With MAPGEOM_BENCH_RING_DIR set, each ring is also written there as "x y" lines
// (<shape>_<n>.txt; the state rings in one file, separated by empty lines) for earcut_bench.py,
// which times earcut on the same rings.
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "../../tests/support/us_atlas.h"
#include "../support/bench_rings.h"
#include "mapgeom/com.h"
#include "mapgeom/triangulate.h"

namespace {

using bench_rings::Ring;

// Radii of the coastline: octaves of sines whose amplitude halves as their frequency doubles, so
// the outline is ragged at every scale down to a few vertex spacings.
constexpr int kCoastOctaves = 10;
constexpr double kCoastAmplitude = 0.25;
// Radius jitter of the coastline in vertex spacings: enough to make many of its vertices reflex.
constexpr double kCoastJitter = 1.5;

// Vertices at evenly spaced angles keep the rings simple after rounding to whole units: each
// vertex stays inside its own angular sector, so the ring is star-shaped around the centre.
Ring coastline(int n) {
    std::mt19937 rng(static_cast<unsigned>(n) + 1u);
    std::uniform_real_distribution<double> phase(0.0, bench_rings::kTwoPi);
    double phases[kCoastOctaves];
    for (double& p : phases)
        p = phase(rng);
    const double spacing = bench_rings::kTwoPi * bench_rings::kRadius / n;
    std::uniform_real_distribution<double> jitter(-kCoastJitter * spacing, kCoastJitter * spacing);
    Ring ring;
    for (int i = 0; i < n; ++i) {
        double a = bench_rings::kTwoPi * i / n;
        double r = 1.0, amplitude = kCoastAmplitude, frequency = 3.0;
        for (int k = 0; k < kCoastOctaves; ++k, amplitude *= 0.5, frequency *= 2.0)
            r += amplitude * std::sin(frequency * a + phases[k]);
        ring.push_back(bench_rings::at_radius(a, bench_rings::kRadius * r + jitter(rng)));
    }
    return bench_rings::closed(ring);
}

void write_rings(const std::string& name, int n, const std::vector<Ring>& rings) {
    const char* dir = std::getenv("MAPGEOM_BENCH_RING_DIR");
    if (dir == nullptr)
        return;
    std::string path = std::string(dir) + "/" + name + "_" + std::to_string(n) + ".txt";
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        for (size_t r = 0; r < rings.size(); ++r) {
            std::fprintf(f, r > 0 ? "\n" : "");
            for (size_t k = 0; k + 1 < rings[r].size(); ++k)  // without the closing point
                std::fprintf(f, "%.0f %.0f\n", rings[r][k].x, rings[r][k].y);
        }
        std::fclose(f);
    }
}

Ring clockwise(Ring ring) {
    double twice_area = 0.0;
    for (size_t k = 0; k + 1 < ring.size(); ++k)
        twice_area += ring[k].x * ring[k + 1].y - ring[k + 1].x * ring[k].y;
    if (twice_area > 0.0)
        std::reverse(ring.begin(), ring.end());
    return ring;
}

// The outer rings of the state fixtures, clockwise and closed.
std::vector<Ring> state_rings() {
    std::vector<Ring> rings;
    for (const testing_shapes::AtlasRing& r : testing_shapes::load_atlas_outers("states.txt")) {
        Ring ring;
        for (const testing_shapes::Xy& v : r.points)
            ring.push_back(point_t{v.x, v.y, 0.0});
        rings.push_back(clockwise(bench_rings::closed(ring)));
    }
    return rings;
}

constexpr int kStates = 2;

// The rings of a shape and size (the states come at their own sizes), clockwise (the walk's own
// orientation) and in whole units, so the triangulation leaves them as they are and one record
// serves every iteration.
const std::vector<Ring>& rings_of(int shape, int n) {
    static std::map<std::pair<int, int>, std::vector<Ring>> made;
    auto found = made.find({shape, n});
    if (found != made.end())
        return found->second;
    std::vector<Ring> rings;
    if (shape == kStates)
        rings = state_rings();
    else
        rings.push_back(clockwise(shape == 0 ? bench_rings::jagged_and_circle(n).a : coastline(n)));
    const char* names[] = {"circle", "coast", "states"};
    write_rings(names[shape], n, rings);
    return made.emplace(std::make_pair(shape, n), std::move(rings)).first->second;
}

int64_t vertex_count(const std::vector<Ring>& rings) {
    int64_t n = 0;
    for (const Ring& ring : rings)
        n += static_cast<int64_t>(ring.size()) - 1;
    return n;
}

void BM_EarClipping(benchmark::State& state) {
    const std::vector<Ring>& rings =
        rings_of(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<polygon_t> polygons(rings.size());
    for (size_t r = 0; r < rings.size(); ++r) {
        com_polygon_init(&polygons[r]);
        bench_rings::fill(&polygons[r].geom, rings[r]);
    }
    polygon_t triangles;
    com_polygon_init(&triangles);
    int failed = 0;
    for (auto _ : state) {
        com_polygon_clear(&triangles);
        failed = 0;
        for (polygon_t& polygon : polygons)
            failed += optimize_polygon_triangles(&polygon, &triangles) != 0;
        benchmark::DoNotOptimize(triangles.geom.points);
    }
    state.counters["failed"] = failed;
    state.counters["triangles"] = triangles.geom.count / 3;
    state.SetItemsProcessed(state.iterations() * vertex_count(rings));
    for (polygon_t& polygon : polygons)
        com_polygon_free(&polygon);
    com_polygon_free(&triangles);
}

void BM_GeosConstrainedDelaunay(benchmark::State& state) {
    const std::vector<Ring>& rings =
        rings_of(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    GEOSContextHandle_t context = GEOS_init_r();
    std::vector<GEOSGeometry*> polygons;
    for (const Ring& ring : rings)
        polygons.push_back(bench_rings::geos_polygon(context, ring));
    int triangles = 0, failed = 0;
    for (auto _ : state) {
        triangles = failed = 0;
        for (GEOSGeometry* polygon : polygons) {
            GEOSGeometry* result = GEOSConstrainedDelaunayTriangulation_r(context, polygon);
            if (result == nullptr) {
                ++failed;
                continue;
            }
            triangles += GEOSGetNumGeometries_r(context, result);
            GEOSGeom_destroy_r(context, result);
        }
    }
    state.counters["failed"] = failed;
    state.counters["triangles"] = triangles;
    state.SetItemsProcessed(state.iterations() * vertex_count(rings));
    for (GEOSGeometry* polygon : polygons)
        GEOSGeom_destroy_r(context, polygon);
    GEOS_finish_r(context);
}

// Shapes (0 jittered circle, 1 coastline) by sizes, then the states (n: their vertices in all).
void shapes_and_sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"shape", "n"})->Unit(benchmark::kMillisecond);
    for (int shape : {0, 1})
        for (int n : {1000, 10000, 100000})
            b->Args({shape, n});
    b->Args({kStates, 4353});
}

BENCHMARK(BM_EarClipping)->Apply(shapes_and_sizes);
BENCHMARK(BM_GeosConstrainedDelaunay)->Apply(shapes_and_sizes);

}  // namespace
