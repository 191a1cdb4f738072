// Real outlines (the US state and county rings of tests/data/us_atlas): the union of neighbouring
// states (Colorado and Utah, Texas and Louisiana, Virginia and Kentucky) and of every two counties
// of one state that share a border, the polygon relation of the same county pairs, and the
// validity check of every county ring; beside GEOS (union, relate, IsValid) and, for the unions,
// Clipper. Each run does the whole set; a mapgeom run also copies its rings into fresh polygons,
// since the overlays change their inputs, while the peers' inputs are built once.
#include <benchmark/benchmark.h>
#include <geos_c.h>
#include <polyclipping/clipper.hpp>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "us_atlas.h"

namespace {

using Ring = std::vector<testing_shapes::Xy>;
using Pairs = std::vector<std::pair<Ring, Ring>>;

// The first (largest) outer ring of a state.
Ring state_ring(const std::vector<testing_shapes::AtlasRing>& states, const std::string& id) {
    for (const auto& r : states)
        if (r.id == id && r.polygon == 0 && !r.hole)
            return r.points;
    return {};
}

const Pairs& state_pairs() {
    static const Pairs pairs = [] {
        auto states = testing_shapes::load_atlas_rings("states.txt");
        Pairs made;
        for (auto [a, b] :
             {std::make_pair("08", "49"), std::make_pair("48", "22"), std::make_pair("51", "21")})
            made.emplace_back(state_ring(states, a), state_ring(states, b));
        return made;
    }();
    return pairs;
}

// Counties of one state that share at least two vertices (a stretch of border).
const Pairs& county_pairs() {
    static const Pairs pairs = [] {
        auto counties = testing_shapes::load_atlas_outers("counties.txt");
        Pairs made;
        for (size_t i = 0; i < counties.size(); ++i) {
            std::set<std::pair<double, double>> points;
            for (const auto& p : counties[i].points)
                points.insert({p.x, p.y});
            for (size_t j = i + 1; j < counties.size(); ++j) {
                if (counties[i].id.substr(0, 2) != counties[j].id.substr(0, 2))
                    continue;
                int shared = 0;
                for (const auto& p : counties[j].points)
                    shared += points.count({p.x, p.y}) > 0;
                if (shared >= 2)
                    made.emplace_back(counties[i].points, counties[j].points);
            }
        }
        return made;
    }();
    return pairs;
}

const std::vector<Ring>& county_rings() {
    static const std::vector<Ring> rings = [] {
        std::vector<Ring> made;
        for (const auto& r : testing_shapes::load_atlas_outers("counties.txt"))
            made.push_back(r.points);
        return made;
    }();
    return rings;
}

const Pairs& pairs_of(benchmark::State& state) {
    return state.range(0) == 0 ? state_pairs() : county_pairs();
}

void fill(polygon_t* polygon, const Ring& ring) {
    com_geom_clear(&polygon->geom);
    for (const auto& p : ring)
        com_polygon_add(polygon, point_t{p.x, p.y, 0.0});
    com_polygon_add(polygon, point_t{ring.front().x, ring.front().y, 0.0});
}

GEOSGeometry* geos_polygon(GEOSContextHandle_t context, const Ring& ring) {
    unsigned size = static_cast<unsigned>(ring.size());
    GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context, size + 1, 2);
    for (unsigned k = 0; k <= size; ++k)
        GEOSCoordSeq_setXY_r(context, sequence, k, ring[k % size].x, ring[k % size].y);
    return GEOSGeom_createPolygon_r(context, GEOSGeom_createLinearRing_r(context, sequence),
                                    nullptr, 0);
}

ClipperLib::Path clipper_path(const Ring& ring) {
    ClipperLib::Path path;
    for (const auto& p : ring)
        path.push_back(ClipperLib::IntPoint(static_cast<ClipperLib::cInt>(p.x),
                                            static_cast<ClipperLib::cInt>(p.y)));
    return path;
}

void BM_AtlasUnion(benchmark::State& state) {
    const Pairs& pairs = pairs_of(state);
    polygon_t a{};
    polygon_t b{};
    long rings = 0;
    for (auto _ : state) {
        rings = 0;
        for (const auto& [ring_a, ring_b] : pairs) {
            fill(&a, ring_a);
            fill(&b, ring_b);
            polygons_t out;
            com_polygons_init(&out);
            algebra_polygons_union(&a, &b, &out);
            rings += out.num;
            com_polygons_free(&out);
        }
    }
    state.counters["pairs"] = static_cast<double>(pairs.size());
    state.counters["rings"] = static_cast<double>(rings);
    com_polygon_free(&a);
    com_polygon_free(&b);
}

void BM_AtlasUnion_Geos(benchmark::State& state) {
    const Pairs& pairs = pairs_of(state);
    GEOSContextHandle_t context = GEOS_init_r();
    std::vector<std::pair<GEOSGeometry*, GEOSGeometry*>> geoms;
    for (const auto& [a, b] : pairs)
        geoms.emplace_back(geos_polygon(context, a), geos_polygon(context, b));
    long parts = 0;
    long refused = 0;
    for (auto _ : state) {
        parts = 0;
        refused = 0;
        for (auto [a, b] : geoms) {
            GEOSGeometry* result = GEOSUnion_r(context, a, b);
            if (result == nullptr) {  // GEOS refuses some faulty county rings
                ++refused;
                continue;
            }
            parts += GEOSGetNumGeometries_r(context, result);
            GEOSGeom_destroy_r(context, result);
        }
    }
    state.counters["rings"] = static_cast<double>(parts);
    state.counters["refused"] = static_cast<double>(refused);
    for (auto [a, b] : geoms) {
        GEOSGeom_destroy_r(context, a);
        GEOSGeom_destroy_r(context, b);
    }
    GEOS_finish_r(context);
}

void BM_AtlasUnion_Clipper(benchmark::State& state) {
    const Pairs& pairs = pairs_of(state);
    std::vector<std::pair<ClipperLib::Path, ClipperLib::Path>> paths;
    for (const auto& [a, b] : pairs)
        paths.emplace_back(clipper_path(a), clipper_path(b));
    long parts = 0;
    for (auto _ : state) {
        parts = 0;
        for (const auto& [a, b] : paths) {
            ClipperLib::Clipper clipper;
            clipper.AddPath(a, ClipperLib::ptSubject, true);
            clipper.AddPath(b, ClipperLib::ptClip, true);
            ClipperLib::Paths result;
            clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero,
                            ClipperLib::pftNonZero);
            parts += static_cast<long>(result.size());
        }
    }
    state.counters["rings"] = static_cast<double>(parts);
}

void BM_AtlasCountyRelation(benchmark::State& state) {
    std::vector<std::pair<polygon_t, polygon_t>> polygons;
    for (const auto& [a, b] : county_pairs()) {
        polygons.emplace_back(polygon_t{}, polygon_t{});
        fill(&polygons.back().first, a);
        fill(&polygons.back().second, b);
    }
    for (auto _ : state)
        for (const auto& [a, b] : polygons)
            benchmark::DoNotOptimize(relation_polygon_and_polygon(&a, &b));
    for (auto& [a, b] : polygons) {
        com_polygon_free(&a);
        com_polygon_free(&b);
    }
}

void BM_AtlasCountyRelation_GeosRelate(benchmark::State& state) {
    GEOSContextHandle_t context = GEOS_init_r();
    std::vector<std::pair<GEOSGeometry*, GEOSGeometry*>> geoms;
    for (const auto& [a, b] : county_pairs())
        geoms.emplace_back(geos_polygon(context, a), geos_polygon(context, b));
    for (auto _ : state)
        for (auto [a, b] : geoms) {
            char* matrix = GEOSRelate_r(context, a, b);
            benchmark::DoNotOptimize(matrix);
            if (matrix != nullptr)
                GEOSFree_r(context, matrix);
        }
    for (auto [a, b] : geoms) {
        GEOSGeom_destroy_r(context, a);
        GEOSGeom_destroy_r(context, b);
    }
    GEOS_finish_r(context);
}

void BM_AtlasCountyValidity(benchmark::State& state) {
    std::vector<polygon_t> polygons(county_rings().size());
    for (size_t k = 0; k < polygons.size(); ++k)
        fill(&polygons[k], county_rings()[k]);
    int faulty = 0;
    for (auto _ : state) {
        faulty = 0;
        for (const polygon_t& p : polygons)
            faulty += relation_polygon_iserror(&p) != 0;
    }
    state.counters["faulty"] = faulty;
    for (polygon_t& p : polygons)
        com_polygon_free(&p);
}

void BM_AtlasCountyValidity_GeosIsValid(benchmark::State& state) {
    GEOSContextHandle_t context = GEOS_init_r();
    std::vector<GEOSGeometry*> geoms;
    for (const Ring& ring : county_rings())
        geoms.push_back(geos_polygon(context, ring));
    int faulty = 0;
    for (auto _ : state) {
        faulty = 0;
        for (GEOSGeometry* g : geoms)
            faulty += GEOSisValid_r(context, g) != 1;
    }
    state.counters["faulty"] = faulty;
    for (GEOSGeometry* g : geoms)
        GEOSGeom_destroy_r(context, g);
    GEOS_finish_r(context);
}

}  // namespace

// Argument 0: the neighbouring states; 1: the neighbouring counties.
BENCHMARK(BM_AtlasUnion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtlasUnion_Geos)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtlasUnion_Clipper)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtlasCountyRelation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtlasCountyRelation_GeosRelate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtlasCountyValidity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtlasCountyValidity_GeosIsValid)->Unit(benchmark::kMillisecond);
