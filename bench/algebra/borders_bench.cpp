// Polygons as borders: the counties of Iowa and Colorado cut into borders where three or more faces
// meet and joined back county by county, beside GEOS polygonizing the same borders (each shared one
// once); and the union of a circle and a flower of 1K and 10K vertices on borders beside the same
// union on rings, which prices the conversion around the overlay.
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../support/bench_rings.h"
#include "mapgeom/algebra.h"
#include "us_atlas.h"

namespace {

using Key = std::pair<double, double>;

// Every county of the state as borders, the counties' groups in a table.
struct CountyBorders {
    polylines_t list{};
    std::vector<polyline_t*> unique;  // each shared border once
    CountyBorders(const CountyBorders&) = delete;
    explicit CountyBorders(const std::string& state) {
        auto rings = testing_shapes::load_atlas_outers("counties.txt", state);
        std::map<Key, std::set<Key>> neighbours;
        for (const auto& r : rings)
            for (size_t k = 0; k < r.points.size(); ++k) {
                Key p{r.points[k].x, r.points[k].y};
                Key q{r.points[(k + 1) % r.points.size()].x, r.points[(k + 1) % r.points.size()].y};
                neighbours[p].insert(q);
                neighbours[q].insert(p);
            }
        com_polylines_init(&list);
        com_polylines_init_polygon_rec(&list);
        int group = 0;
        for (const auto& r : rings) {
            polygon_t ring;
            com_polygon_init(&ring);
            for (size_t k = 0; k <= r.points.size(); ++k) {
                const auto& v = r.points[k % r.points.size()];
                com_polygon_add(
                    &ring, point_t{v.x, v.y, neighbours[{v.x, v.y}].size() >= 3 ? 100.0 : 0.0});
            }
            algebra_convert_polygon_to_borders(&ring, &list);
            com_polygon_free(&ring);
            com_polylines_add_int(&list, ++group, list.num);
        }
        for (polyline_node_t* n = list.head; n != nullptr; n = n->next) {
            bool seen = false;
            for (polyline_t* u : unique)
                seen = seen || judge_border_same(u, &n->polyline) == 0;
            if (!seen)
                unique.push_back(&n->polyline);
        }
    }
    ~CountyBorders() { com_polylines_free(&list); }
};

const CountyBorders& counties(int which) {
    static CountyBorders iowa("19"), colorado("08");
    return which == 0 ? iowa : colorado;
}

void mapgeom_counties_borders_round_trip(benchmark::State& state) {
    const CountyBorders& in = counties(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        polylines_t copy;
        com_polylines_init(&copy);
        com_polylines_addrange_copy(&copy, &in.list);
        com_polylines_init_polygon_rec(&copy);
        for (int k = 1; k <= in.list.polygon_rec_num; ++k)
            com_polylines_add_int(&copy, k, in.list.polygon_rec[k]);
        polylines_t out;
        com_polylines_init(&out);
        // Hole cutting of rings that hold no other passes each county through as it is: the
        // grouped join of every county, then its borders again.
        benchmark::DoNotOptimize(algebra_polygons_holes_by_borders(&copy, &out));
        com_polylines_free(&copy);
        com_polylines_free(&out);
    }
    state.counters["borders"] = in.list.num;
}
BENCHMARK(mapgeom_counties_borders_round_trip)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void geos_counties_polygonize(benchmark::State& state) {
    const CountyBorders& in = counties(static_cast<int>(state.range(0)));
    GEOSContextHandle_t h = GEOS_init_r();
    std::vector<GEOSGeometry*> lines;
    for (const polyline_t* u : in.unique)
        lines.push_back(bench_rings::geos_line(
            h, bench_rings::Ring(u->geom.points, u->geom.points + u->geom.count)));
    for (auto _ : state) {
        GEOSGeometry* polygons =
            GEOSPolygonize_r(h, lines.data(), static_cast<unsigned>(lines.size()));
        benchmark::DoNotOptimize(polygons);
        GEOSGeom_destroy_r(h, polygons);
    }
    for (GEOSGeometry* g : lines)
        GEOSGeom_destroy_r(h, g);
    GEOS_finish_r(h);
}
BENCHMARK(geos_counties_polygonize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The union of a circle and a flower, on rings (by_borders 0) or on their borders (1).
void mapgeom_union(benchmark::State& state) {
    const bench_rings::RingPair& pair =
        bench_rings::circle_and_flower(static_cast<int>(state.range(0)), 0.3);
    bool by_borders = state.range(1) == 1;
    int code = 0, rings = 0;
    for (auto _ : state) {
        polygon_t a, b;
        com_polygon_init(&a);
        com_polygon_init(&b);
        bench_rings::fill(&a.geom, pair.a);
        bench_rings::fill(&b.geom, pair.b);
        polylines_t borders_a, borders_b, out_borders;
        polygons_t out;
        com_polylines_init(&borders_a);
        com_polylines_init(&borders_b);
        com_polylines_init(&out_borders);
        com_polygons_init(&out);
        if (by_borders) {
            algebra_convert_polygon_to_borders(&a, &borders_a);
            algebra_convert_polygon_to_borders(&b, &borders_b);
            code = algebra_polygons_union_by_borders(&borders_a, &borders_b, &out_borders);
            rings = out_borders.polygon_rec_num;
        } else {
            code = algebra_polygons_union(&a, &b, &out);
            rings = out.num;
        }
        com_polygon_free(&a);
        com_polygon_free(&b);
        com_polylines_free(&borders_a);
        com_polylines_free(&borders_b);
        com_polylines_free(&out_borders);
        com_polygons_free(&out);
    }
    state.counters["code"] = code;
    state.counters["rings"] = rings;
}
BENCHMARK(mapgeom_union)->ArgsProduct({{1000, 10000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
