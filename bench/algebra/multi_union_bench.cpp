// Dissolving parcels and cutting holes: the union of 1K and 10K parcels of a jittered grid whose
// cells share their edges (a few cells left out, so holes appear) and of the counties of Iowa and
// Colorado, beside GEOS's unary union of the same polygons; and a square with 10, 100 and 1,000
// holes cut into polygons without holes.
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "us_atlas.h"

namespace {

using Rings = std::vector<std::vector<testing_shapes::Xy>>;

// cols x rows cells of 10,000 units, inner vertices jittered by up to 30% of a cell; one cell in
// 50 is left out.
Rings grid_parcels(int cols, int rows) {
    std::mt19937 rng(static_cast<unsigned>(cols * rows));
    std::uniform_real_distribution<double> jitter(-3000.0, 3000.0), keep(0.0, 1.0);
    const double cell = 10000.0;
    std::vector<std::vector<testing_shapes::Xy>> at(cols + 1,
                                                    std::vector<testing_shapes::Xy>(rows + 1));
    for (int i = 0; i <= cols; ++i)
        for (int j = 0; j <= rows; ++j) {
            double dx = (i > 0 && i < cols) ? jitter(rng) : 0.0;
            double dy = (j > 0 && j < rows) ? jitter(rng) : 0.0;
            at[i][j] = {std::round(i * cell + dx), std::round(j * cell + dy)};
        }
    Rings cells;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i)
            if (keep(rng) > 0.02 || i == 0 || j == 0)
                cells.push_back({at[i][j], at[i + 1][j], at[i + 1][j + 1], at[i][j + 1]});
    return cells;
}

Rings counties(const std::string& state) {
    Rings rings;
    for (const auto& r : testing_shapes::load_atlas_outers("counties.txt", state))
        rings.push_back(r.points);
    return rings;
}

// Inputs by name, made once.
const Rings& input(int which) {
    static std::map<int, Rings> made;
    auto found = made.find(which);
    if (found != made.end())
        return found->second;
    Rings rings = which == 0   ? grid_parcels(32, 32)
                  : which == 1 ? grid_parcels(100, 100)
                  : which == 2 ? counties("19")
                               : counties("08");
    return made.emplace(which, std::move(rings)).first->second;
}

void add_ring(polygons_t* list, const std::vector<testing_shapes::Xy>& ring) {
    polygon_t p;
    com_polygon_init(&p);
    for (const auto& v : ring)
        com_polygon_add(&p, point_t{v.x, v.y, 0.0});
    com_polygon_add(&p, point_t{ring[0].x, ring[0].y, 0.0});
    com_polygons_add(list, p);
}

void mapgeom_dissolve(benchmark::State& state) {
    const Rings& rings = input(static_cast<int>(state.range(0)));
    polygons_t in;
    com_polygons_init(&in);
    for (const auto& ring : rings)
        add_ring(&in, ring);
    int merged = 0;
    for (auto _ : state) {
        polygons_expand_t out;
        com_polygons_expand_init(&out);
        multi_polygons_union(&in, &out);
        merged = out.num;
        com_polygons_expand_free(&out);
    }
    state.counters["inputs"] = static_cast<double>(rings.size());
    state.counters["polygons"] = merged;
    com_polygons_free(&in);
}

void geos_unary_union(benchmark::State& state) {
    const Rings& rings = input(static_cast<int>(state.range(0)));
    GEOSContextHandle_t h = GEOS_init_r();
    std::vector<GEOSGeometry*> parts;
    for (const auto& ring : rings) {
        GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, static_cast<unsigned>(ring.size() + 1), 2);
        for (unsigned k = 0; k <= ring.size(); ++k)
            GEOSCoordSeq_setXY_r(h, s, k, ring[k % ring.size()].x, ring[k % ring.size()].y);
        parts.push_back(GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, s), nullptr, 0));
    }
    GEOSGeometry* all = GEOSGeom_createCollection_r(h, GEOS_MULTIPOLYGON, parts.data(),
                                                    static_cast<unsigned>(parts.size()));
    int merged = 0;
    for (auto _ : state) {
        GEOSGeometry* u = GEOSUnaryUnion_r(h, all);
        merged = GEOSGetNumGeometries_r(h, u);
        GEOSGeom_destroy_r(h, u);
    }
    state.counters["inputs"] = static_cast<double>(rings.size());
    state.counters["polygons"] = merged;
    GEOSGeom_destroy_r(h, all);
    GEOS_finish_r(h);
}

// A square of side 100,000 with `holes` small octagons on a grid inside it.
void mapgeom_cut_holes(benchmark::State& state) {
    int holes = static_cast<int>(state.range(0));
    int cols = static_cast<int>(std::ceil(std::sqrt(holes)));
    double cell = 100000.0 / (cols + 1);
    polygons_t in;
    com_polygons_init(&in);
    add_ring(&in, {{0, 0}, {100000, 0}, {100000, 100000}, {0, 100000}});
    std::mt19937 rng(static_cast<unsigned>(holes));
    std::uniform_real_distribution<double> shift(-0.1 * cell, 0.1 * cell);
    for (int k = 0; k < holes; ++k) {
        double cx = (k % cols + 1) * cell + shift(rng), cy = (k / cols + 1) * cell + shift(rng);
        std::vector<testing_shapes::Xy> ring;
        for (int v = 0; v < 8; ++v)
            ring.push_back({std::round(cx + 0.3 * cell * std::cos(v * M_PI / 4)),
                            std::round(cy + 0.3 * cell * std::sin(v * M_PI / 4))});
        add_ring(&in, ring);
    }
    int pieces = 0;
    for (auto _ : state) {
        polygons_t out;
        com_polygons_init(&out);
        split_polygons_by_holes(&in, &out);
        pieces = out.num;
        com_polygons_free(&out);
    }
    state.counters["pieces"] = pieces;
    com_polygons_free(&in);
}

}  // namespace

// 0: 1,024 grid parcels, 1: 10,000 grid parcels, 2: Iowa's counties, 3: Colorado's counties.
BENCHMARK(mapgeom_dissolve)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(geos_unary_union)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(mapgeom_cut_holes)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
