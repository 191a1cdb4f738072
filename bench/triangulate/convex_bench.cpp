// Convex pieces of jittered star rings of 100, 1,000 and 10,000 vertices (about a third of them
// reflex): the concave decomposition, the convex split, the visibility questions of one split
// step through the edge index and through the plain scan, and GEOS's constrained triangulation.
#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <vector>

#include "../support/bench_rings.h"
#include "mapgeom/concave.h"
#include "mapgeom/convex.h"
#include "triangulate/convex_internal.h"

namespace {

using bench_rings::Ring;

// A star-shaped ring whose radius jitters by up to three vertex spacings: simple, with many
// reflex vertices that see only part of the ring.
const Ring& jittered(int n) {
    static std::map<int, Ring> made;
    auto found = made.find(n);
    if (found != made.end())
        return found->second;
    std::mt19937 rng(static_cast<unsigned>(n) * 7u + 1u);
    Ring ring =
        bench_rings::jittered_ring(rng, n, 3.0, [](double) { return bench_rings::kRadius; });
    return made.emplace(n, ring).first->second;
}

struct OwnedRing {
    polygon_t p;
    explicit OwnedRing(const Ring& ring) {
        com_polygon_init(&p);
        for (const point_t& q : ring)
            com_polygon_add(&p, q);
    }
    ~OwnedRing() { com_polygon_free(&p); }
};

void BM_MakePolyProtru(benchmark::State& state) {
    const Ring& ring = jittered(static_cast<int>(state.range(0)));
    std::vector<_InPoint> points;
    for (const point_t& q : ring)
        points.push_back({static_cast<int>(q.x), static_cast<int>(q.y), 0});
    int pieces = 0;
    for (auto _ : state) {
        _polygon* chain = nullptr;
        pieces = 0;
        int code = MakePolyProtru(&chain, &pieces, points.data(), static_cast<int>(points.size()));
        benchmark::DoNotOptimize(code);
        ReleasePolygonSpace(chain, pieces);
    }
    state.counters["pieces"] = pieces;
}

void BM_GraphicToConvex(benchmark::State& state) {
    OwnedRing ring(jittered(static_cast<int>(state.range(0))));
    std::vector<int> out(2 * ring.p.geom.count);
    int pieces = 0;
    for (auto _ : state) {
        polygons_t list;
        com_polygons_init(&list);
        benchmark::DoNotOptimize(graphic_to_convex(&ring.p, &list, out.data()));
        pieces = com_polygons_num(&list);
        com_polygons_free(&list);
    }
    state.counters["pieces"] = pieces;
}

// The visibility questions of the first split step: from the middle reflex vertex to every vertex.
template <bool kIndexed>
void BM_SplitStepVisibility(benchmark::State& state) {
    OwnedRing ring(jittered(static_cast<int>(state.range(0))));
    int n = com_polygon_num(&ring.p);
    point_t from = com_polygon_at(&ring.p, get_first_concave_index(&ring.p));
    int seen = 0;
    for (auto _ : state) {
        seen = 0;
        if (kIndexed) {
            mapgeom::VisibilityIndex index(&ring.p);
            for (int k = 0; k < n; ++k)
                seen += index.judge(from, com_polygon_at(&ring.p, k)) == 0;
        } else {
            for (int k = 0; k < n; ++k)
                seen += judge_line_polygon(&ring.p, from, com_polygon_at(&ring.p, k)) == 0;
        }
    }
    state.counters["seen"] = seen;
}

void BM_GeosConstrainedTriangulation(benchmark::State& state) {
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSGeometry* polygon =
        bench_rings::geos_polygon(context, jittered(static_cast<int>(state.range(0))));
    int triangles = 0;
    for (auto _ : state) {
        GEOSGeometry* result = GEOSConstrainedDelaunayTriangulation_r(context, polygon);
        triangles = GEOSGetNumGeometries_r(context, result);
        GEOSGeom_destroy_r(context, result);
    }
    state.counters["triangles"] = triangles;
    GEOSGeom_destroy_r(context, polygon);
    GEOS_finish_r(context);
}

}  // namespace

BENCHMARK(BM_MakePolyProtru)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphicToConvex)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitStepVisibility<true>)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitStepVisibility<false>)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeosConstrainedTriangulation)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
