// Benchmarks of the self-intersection repair beside GEOSMakeValid on the same ring: a large round
// outline with two vertices swapped (a few crossings, the usual faulty map ring), small and large,
// and a small ring of random vertex order (crossings everywhere, pieces by the hundred).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <utility>

#include <geos_c.h>

#include "mapgeom/algebra.h"
#include "mapgeom/com.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kRadius = 1000000.0;

struct Ring {
    polygon_t polygon{};
    Ring() { com_polygon_init(&polygon); }
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    ~Ring() { com_polygon_free(&polygon); }
    void close() { com_polygon_add(&polygon, polygon.geom.points[0]); }
};

// A circle of n integer vertices with vertex 10 and vertex n/2 swapped: the ring runs across the
// circle twice, crossing itself near both places.
const Ring& swapped_circle(int n) {
    static Ring rings[2];
    Ring& ring = rings[n > 10000 ? 1 : 0];
    if (ring.polygon.geom.count == 0) {
        for (int i = 0; i < n; ++i)
            com_polygon_add(&ring.polygon,
                            point_t{std::round(kRadius * std::cos(kTwoPi * i / n)),
                                    std::round(kRadius * std::sin(kTwoPi * i / n)), 0.0});
        std::swap(ring.polygon.geom.points[10], ring.polygon.geom.points[n / 2]);
        ring.close();
    }
    return ring;
}

// n vertices drawn uniformly over the square, in drawing order.
const Ring& random_order_ring(int n) {
    static Ring ring;
    if (ring.polygon.geom.count == 0) {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> coordinate(0.0, kRadius);
        for (int i = 0; i < n; ++i)
            com_polygon_add(&ring.polygon, point_t{std::round(coordinate(random)),
                                                   std::round(coordinate(random)), 0.0});
        ring.close();
    }
    return ring;
}

const Ring& input(int case_id) {
    return case_id == 0   ? swapped_circle(1000)
           : case_id == 1 ? swapped_circle(100000)
                          : random_order_ring(100);
}

void BM_ErrorPolygonProcess(benchmark::State& state) {
    const Ring& ring = input(static_cast<int>(state.range(0)));
    int rings = 0;
    for (auto _ : state) {
        polygons_t out;
        com_polygons_init(&out);
        error_polygon_process(&ring.polygon, &out);
        rings = com_polygons_num(&out);
        com_polygons_free(&out);
    }
    state.counters["rings"] = rings;
    state.SetItemsProcessed(state.iterations() * com_polygon_num(&ring.polygon));
}
BENCHMARK(BM_ErrorPolygonProcess)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_GeosMakeValid(benchmark::State& state) {
    const geom_t& g = input(static_cast<int>(state.range(0))).polygon.geom;
    GEOSContextHandle_t context = GEOS_init_r();
    GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context, g.count, 2);
    for (int k = 0; k < g.count; ++k)
        GEOSCoordSeq_setXY_r(context, sequence, k, g.points[k].x, g.points[k].y);
    GEOSGeometry* polygon = GEOSGeom_createPolygon_r(
        context, GEOSGeom_createLinearRing_r(context, sequence), nullptr, 0);
    int parts = 0;
    for (auto _ : state) {
        GEOSGeometry* valid = GEOSMakeValid_r(context, polygon);
        parts = GEOSGetNumGeometries_r(context, valid);
        GEOSGeom_destroy_r(context, valid);
    }
    state.counters["parts"] = parts;
    state.SetItemsProcessed(state.iterations() * (g.count - 1));
    GEOSGeom_destroy_r(context, polygon);
    GEOS_finish_r(context);
}
BENCHMARK(BM_GeosMakeValid)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
