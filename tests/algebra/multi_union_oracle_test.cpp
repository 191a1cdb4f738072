// Unions of random polygon sets and of real county outlines against GEOS's unary union: the area
// the merged polygons cover (outer rings less holes) is GEOS's, every ring is valid, every hole
// lies within its outer ring, and for counties sharing their edges the number of polygons and
// holes is GEOS's too. Holes that the default reduction drops are left out of GEOS's area.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/algebra.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "polygon_sets.h"
#include "ring_checks.h"
#include "us_atlas.h"

namespace {

using namespace testing_shapes;

constexpr unsigned kSetsPerKind = 25;
constexpr double kAreaShare = 1e-6;

struct Expanded {
    polygons_expand_t l{};
    Expanded() { com_polygons_expand_init(&l); }
    ~Expanded() { com_polygons_expand_free(&l); }
};

struct UnionFacts {
    double area = 0.0;
    int polygons = 0;
    int holes = 0;
};

// What GEOS's unary union of the rings covers, and its polygons and holes; a hole the default
// reduction would reduce away counts as covered.
UnionFacts geos_union(Geos& geos, const RingSet& rings) {
    std::vector<GEOSGeometry*> parts;
    for (const auto& ring : rings)
        parts.push_back(GEOSGeom_clone_r(geos.h, geos.polygon(ring)));
    GEOSGeometry* all = geos.keep(GEOSGeom_createCollection_r(
        geos.h, GEOS_MULTIPOLYGON, parts.data(), static_cast<unsigned>(parts.size())));
    GEOSGeometry* merged = geos.keep(GEOSUnaryUnion_r(geos.h, all));
    UnionFacts facts;
    facts.area = geos.area(merged);
    for (int k = 0; k < GEOSGetNumGeometries_r(geos.h, merged); ++k) {
        const GEOSGeometry* polygon = GEOSGetGeometryN_r(geos.h, merged, k);
        ++facts.polygons;
        for (int h = 0; h < GEOSGetNumInteriorRings_r(geos.h, polygon); ++h) {
            const GEOSCoordSequence* s =
                GEOSGeom_getCoordSeq_r(geos.h, GEOSGetInteriorRingN_r(geos.h, polygon, h));
            unsigned size = 0;
            GEOSCoordSeq_getSize_r(geos.h, s, &size);
            Polygon hole;
            for (unsigned i = 0; i < size; ++i) {
                double x = 0, y = 0;
                GEOSCoordSeq_getXY_r(geos.h, s, i, &x, &y);
                com_polygon_add(hole.get(), pt(x, y));
            }
            Polygon reduced;
            if (reduc_polygon_by_defult(hole.get(), reduced.get()) == 1)
                facts.area += std::fabs(plane_signed_area(&hole.get()->geom));
            else
                ++facts.holes;
        }
    }
    return facts;
}

// What the records cover, after checking every ring and that each hole lies within its outer ring.
UnionFacts check_records(const polygons_expand_t* records) {
    UnionFacts facts;
    for (const polygon_expand_node_t* node = records->head; node != nullptr; node = node->next) {
        const polygon_expand_t& r = node->polygon_expand;
        ++facts.polygons;
        EXPECT_EQ(relation_polygon_iserror(&r.polygon), 0) << text_of(&r.polygon.geom);
        facts.area += std::fabs(plane_signed_area(&r.polygon.geom));
        for (const polygon_node_t* h = r.holes.head; h != nullptr; h = h->next) {
            ++facts.holes;
            EXPECT_EQ(relation_polygon_iserror(&h->polygon), 0) << text_of(&h->polygon.geom);
            int code = relation_polygon_and_polygon(&r.polygon, &h->polygon);
            EXPECT_TRUE(code == 2 || code == 5 || code == 8)
                << "hole " << text_of(&h->polygon.geom) << " lies " << code << " to its outer ring";
            facts.area -= std::fabs(plane_signed_area(&h->polygon.geom));
        }
    }
    return facts;
}

std::string describe(const RingSet& set) {
    std::string text;
    for (const auto& ring : set)
        text += (text.empty() ? "" : " | ") + text_of(ring);
    return text;
}

TEST(MultiPolygonsUnion, RandomSetsCoverWhatGeosUnaryUnionCovers) {
    Geos geos;
    for (SetKind kind :
         {SetKind::kOverlapping, SetKind::kGridParcels, SetKind::kNested, SetKind::kApart}) {
        for (unsigned seed = 1; seed <= kSetsPerKind; ++seed) {
            std::mt19937 rng(seed);
            RingSet set = random_set(rng, kind);
            SCOPED_TRACE(std::string(name_of(kind)) + " seed " + std::to_string(seed) + "\n" +
                         describe(set));
            Polygons in;
            for (const auto& ring : set) {
                Polygon p(ring);
                com_polygons_add_copy(in.get(), *p.get());
            }
            Expanded out;
            ASSERT_EQ(multi_polygons_union(in.get(), &out.l), 0);
            UnionFacts want = geos_union(geos, set);
            UnionFacts got = check_records(&out.l);
            EXPECT_NEAR(got.area, want.area, kAreaShare * want.area);
            if (kind != SetKind::kOverlapping) {
                EXPECT_EQ(got.polygons, want.polygons);
                EXPECT_EQ(got.holes, want.holes);
            }
            Polygons plain;
            algebra_multi_polygons_union(in.get(), plain.get());
            EXPECT_EQ(faulty_rings(plain.get(), true), "");
            EXPECT_NEAR(area_sum(plain.get()), want.area, kAreaShare * want.area);
        }
    }
}

TEST(MultiPolygonsUnion, CountiesOfAStateMergeAsGeosMergesThem) {
    Geos geos;
    for (const char* state : {"19", "44", "08", "51"}) {
        SCOPED_TRACE(std::string("state ") + state);
        RingSet counties;
        Polygons in;
        for (const AtlasRing& r : load_atlas_outers("counties.txt", state)) {
            Polygon p(r.points);
            if (relation_polygon_iserror(p.get()) != 0)
                continue;
            counties.push_back(r.points);
            com_polygons_add_copy(in.get(), *p.get());
        }
        ASSERT_GT(counties.size(), 3u);
        Expanded out;
        multi_polygons_union(in.get(), &out.l);
        UnionFacts want = geos_union(geos, counties);
        UnionFacts got = check_records(&out.l);
        EXPECT_NEAR(got.area, want.area, kAreaShare * want.area);
        EXPECT_EQ(got.polygons, want.polygons);
        EXPECT_EQ(got.holes, want.holes);
        // The plain delivery, holes cut out, covers the same: counter-clockwise valid pieces.
        Polygons plain;
        algebra_multi_polygons_union(in.get(), plain.get());
        EXPECT_EQ(faulty_rings(plain.get(), true), "");
        EXPECT_NEAR(area_sum(plain.get()), want.area, kAreaShare * want.area);
    }
}

}  // namespace
