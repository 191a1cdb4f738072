// Benchmarks of the ear-clipping triangulation beside GEOS's constrained Delaunay triangulation on
// the same rings: a circle whose radius jitters by a quarter vertex spacing and a ragged
// coastline-like ring, of 1K, 10K and 100K vertices.
// Counters give the time per vertex through `vertices` (items per second).
//
// With MAPGEOM_BENCH_RING_DIR set, each ring is also written there as "x y" lines
// (<shape>_<n>.txt) for earcut_bench.py, which times earcut on the same rings.
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

void write_ring(const std::string& name, int n, const Ring& ring) {
    const char* dir = std::getenv("MAPGEOM_BENCH_RING_DIR");
    if (dir == nullptr)
        return;
    std::string path = std::string(dir) + "/" + name + "_" + std::to_string(n) + ".txt";
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        for (size_t k = 0; k + 1 < ring.size(); ++k)  // without the closing point
            std::fprintf(f, "%.0f %.0f\n", ring[k].x, ring[k].y);
        std::fclose(f);
    }
}

// The ring of a shape and size, clockwise (the walk's own orientation) and in whole units, so the
// triangulation leaves it as it is and one record serves every iteration.
const Ring& ring_of(int shape, int n) {
    static std::map<std::pair<int, int>, Ring> made;
    auto found = made.find({shape, n});
    if (found != made.end())
        return found->second;
    Ring ring = shape == 0 ? bench_rings::jagged_and_circle(n).a : coastline(n);
    std::reverse(ring.begin(), ring.end());
    write_ring(shape == 0 ? "circle" : "coast", n, ring);
    return made.emplace(std::make_pair(shape, n), std::move(ring)).first->second;
}

void BM_EarClipping(benchmark::State& state) {
    const Ring& ring = ring_of(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    polygon_t polygon, triangles;
    com_polygon_init(&polygon);
    com_polygon_init(&triangles);
    bench_rings::fill(&polygon.geom, ring);
    int result = 0;
    for (auto _ : state) {
        com_polygon_clear(&triangles);
        result = optimize_polygon_triangles(&polygon, &triangles);
        benchmark::DoNotOptimize(triangles.geom.points);
    }
    state.counters["result"] = result;
    state.counters["triangles"] = triangles.geom.count / 3;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ring.size() - 1));
    com_polygon_free(&polygon);
    com_polygon_free(&triangles);
}

void BM_GeosConstrainedDelaunay(benchmark::State& state) {
    const Ring& ring = ring_of(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSGeometry* polygon = bench_rings::geos_polygon(context, ring);
    int triangles = 0;
    for (auto _ : state) {
        GEOSGeometry* result = GEOSConstrainedDelaunayTriangulation_r(context, polygon);
        triangles = result == nullptr ? -1 : GEOSGetNumGeometries_r(context, result);
        if (result != nullptr)
            GEOSGeom_destroy_r(context, result);
    }
    state.counters["triangles"] = triangles;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ring.size() - 1));
    GEOSGeom_destroy_r(context, polygon);
    GEOS_finish_r(context);
}

// Shapes (0 jittered circle, 1 coastline) by sizes.
void shapes_and_sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"shape", "n"})->Unit(benchmark::kMillisecond);
    for (int shape : {0, 1})
        for (int n : {1000, 10000, 100000})
            b->Args({shape, n});
}

BENCHMARK(BM_EarClipping)->Apply(shapes_and_sizes);
BENCHMARK(BM_GeosConstrainedDelaunay)->Apply(shapes_and_sizes);

}  // namespace
