// Hole cutting and list union against GEOS. Cutting random polygons with holes: the pieces cover
// exactly the polygon less its holes, no two overlap, every piece is a valid counter-clockwise
// ring. Union of random polygon sets and of real county outlines against GEOS's unary union: the
// covered area (outer rings less holes) is GEOS's, every ring is valid, every hole lies within its
// outer ring, and where no rings cross, the polygon and hole counts are GEOS's too. Holes that the
// default reduction drops are left out of GEOS's area.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "geos_oracle.h"
#include "list_union.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "point_text.h"
#include "polygon_sets.h"
#include "ring_checks.h"
#include "us_atlas.h"

namespace {

using namespace testing_shapes;

// An outer star around the origin (radius 800 to 1000 at 18 or more angles, so it holds the
// square [-530, 530]^2) followed by holes in the cells of a grid over [-500, 500]^2: coarse grids
// give large holes with many vertices, fine ones many small holes sharing cut lines by column.
RingSet polygon_with_holes(std::mt19937& rng, Geos& geos) {
    RingSet s(1);
    for (int k = 0, n = random_int(rng, 18, 30); k < n; ++k) {
        double angle = (k + random_real(rng, 0.1, 0.9)) * 2.0 * M_PI / n;
        double r = random_real(rng, 800.0, 1000.0);
        s[0].push_back({std::round(r * std::cos(angle)), std::round(r * std::sin(angle))});
    }
    int cells = random_int(rng, 1, 12);
    double size = 1000.0 / cells, fill = random_real(rng, 0.2, 1.0);
    for (int i = 0; i < cells; ++i)
        for (int j = 0; j < cells; ++j) {
            if (random_real(rng, 0.0, 1.0) > fill)
                continue;
            double cx = -500.0 + (i + 0.5) * size, cy = -500.0 + (j + 0.5) * size;
            std::vector<Xy> hole =
                random_star(rng, random_int(rng, 3, 9), cx, cy, 0.15 * size, 0.45 * size, true);
            if (geos.valid(hole))
                s.push_back(hole);
        }
    return s;
}

// Cuts the holes out of s and checks the pieces against GEOS: valid and counter-clockwise, their
// areas adding up to the polygon less its holes within `share` of it, each within it, none
// overlapping another.
void expect_pieces_cover_the_rest(Geos& geos, const RingSet& s, double share) {
    Polygons in, out;
    add_rings(in.get(), s);
    std::vector<GEOSGeometry*> holes;
    for (size_t k = 1; k < s.size(); ++k)
        holes.push_back(GEOSGeom_createLinearRing_r(geos.h, geos.sequence(s[k], true)));
    // The holes lie apart inside the outer ring: the polygon less its holes, as GEOS has it.
    GEOSGeometry* rest = geos.keep(GEOSGeom_createPolygon_r(
        geos.h, GEOSGeom_createLinearRing_r(geos.h, geos.sequence(s[0], true)), holes.data(),
        static_cast<unsigned>(holes.size())));
    ASSERT_EQ(GEOSisValid_r(geos.h, rest), 1);
    ASSERT_EQ(split_polygons_by_holes(in.get(), out.get()), 0);
    ASSERT_EQ(faulty_rings(out.get(), true), "");
    double slack = share * geos.area(rest);
    EXPECT_NEAR(area_sum(out.get()), geos.area(rest), slack);
    EXPECT_EQ(out.size() == 1, s.size() == 1);
    // Each piece within the polygon less its holes, and pieces whose extents overlap share no
    // area: with the areas adding up, the pieces cover all of it once.
    std::vector<GEOSGeometry*> pieces;
    std::vector<rectangle_t> extents;
    double inside = 0.0, overlap = 0.0;
    for (const polygon_node_t* node = out.get()->head; node != nullptr; node = node->next) {
        pieces.push_back(geos.polygon(&node->polygon.geom));
        extents.push_back(calc_polygon_exrectangle(&node->polygon));
        EXPECT_EQ(GEOSisValid_r(geos.h, pieces.back()), 1) << text_of(&node->polygon.geom);
        inside += geos.area(geos.keep(GEOSIntersection_r(geos.h, pieces.back(), rest)));
    }
    EXPECT_NEAR(inside, geos.area(rest), slack);
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t j = i + 1; j < pieces.size(); ++j)
            if (relation_rect_and_rect(extents[i], extents[j]) != 0)
                overlap += geos.area(geos.keep(GEOSIntersection_r(geos.h, pieces[i], pieces[j])));
    EXPECT_LT(overlap, slack);
}

TEST(SplitPolygonsByHoles, RandomHolesGivePiecesCoveringTheRestOnceAsGeosSays) {
    Geos geos;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        RingSet s = polygon_with_holes(rng, geos);
        SCOPED_TRACE("seed " + std::to_string(seed) + "\n" + text_of(s));
        expect_pieces_cover_the_rest(geos, s, 1e-9);
    }
}

// A sliver hole (a triangle half a unit in area) whose sharp tip a later cut line passes where the
// tip is thinner than the validity band: the two crossings are made one place, which moves the
// boundary by less than that band, so the area may differ by a hair more than above.
TEST(SplitPolygonsByHoles, LineThroughAThinHoleTipGivesValidPieces) {
    std::ifstream file(std::string(MAPGEOM_TEST_DATA_DIR) + "/split_holes/thin_hole_tip.txt");
    ASSERT_TRUE(file.good());
    RingSet s;
    std::string ring;
    while (std::getline(file, ring, '|'))
        s.push_back(pts(ring));
    ASSERT_GT(s.size(), 100u);
    Geos geos;
    expect_pieces_cover_the_rest(geos, s, 1e-7);
}

struct UnionFacts {
    double area = 0.0;
    int polygons = 0, holes = 0;
};

// What GEOS's unary union of the rings covers, and its polygons and holes; a hole the default
// reduction would reduce away counts as covered.
UnionFacts geos_union(Geos& geos, const RingSet& rings) {
    GEOSGeometry* merged = geos.union_of(rings);
    UnionFacts facts{geos.area(merged), GEOSGetNumGeometries_r(geos.h, merged), 0};
    for (int k = 0; k < facts.polygons; ++k) {
        const GEOSGeometry* polygon = GEOSGetGeometryN_r(geos.h, merged, k);
        for (int h = 0; h < GEOSGetNumInteriorRings_r(geos.h, polygon); ++h) {
            const GEOSCoordSequence* s =
                GEOSGeom_getCoordSeq_r(geos.h, GEOSGetInteriorRingN_r(geos.h, polygon, h));
            unsigned size = 0;
            GEOSCoordSeq_getSize_r(geos.h, s, &size);
            Polygon hole, reduced;
            for (unsigned i = 0; i < size; ++i) {
                double x = 0, y = 0;
                GEOSCoordSeq_getXY_r(geos.h, s, i, &x, &y);
                com_polygon_add(hole.get(), pt(x, y));
            }
            if (reduc_polygon_by_defult(hole.get(), reduced.get()) == 1)
                facts.area += std::fabs(plane_signed_area(&hole.get()->geom));
            else
                ++facts.holes;
        }
    }
    return facts;
}

// Merges the rings both ways; checks every ring, that each hole lies within its outer ring, and
// the covered area against GEOS's; returns the records' polygon and hole counts.
UnionFacts check_union(const RingSet& set, const UnionFacts& want) {
    Polygons in;
    add_rings(in.get(), set);
    list_union::United u = list_union::unite(in.get());
    EXPECT_EQ(u.faulty, "");
    EXPECT_NEAR(u.records, want.area, 1e-6 * want.area);
    EXPECT_NEAR(u.plain, want.area, 1e-6 * want.area);
    return UnionFacts{u.records, u.polygons, u.hole_count};
}

TEST(MultiPolygonsUnion, RandomSetsCoverWhatGeosUnaryUnionCovers) {
    Geos geos;
    for (SetKind kind :
         {SetKind::kOverlapping, SetKind::kGridParcels, SetKind::kNested, SetKind::kApart}) {
        for (unsigned seed = 1; seed <= 25; ++seed) {
            std::mt19937 rng(seed);
            RingSet set = random_set(rng, kind);
            SCOPED_TRACE("kind " + std::to_string(int(kind)) + " seed " + std::to_string(seed) +
                         "\n" + text_of(set));
            UnionFacts want = geos_union(geos, set), got = check_union(set, want);
            if (kind != SetKind::kOverlapping) {
                EXPECT_EQ(got.polygons, want.polygons);
                EXPECT_EQ(got.holes, want.holes);
            }
            if (kind == SetKind::kGridParcels) {
                // Every parcel given twice: the same polygons and holes, each hole once.
                RingSet twice = set;
                twice.insert(twice.end(), set.begin(), set.end());
                UnionFacts again = check_union(twice, want);
                EXPECT_EQ(again.polygons, got.polygons);
                EXPECT_EQ(again.holes, got.holes);
            }
        }
    }
}

TEST(MultiPolygonsUnion, CountiesOfAStateMergeAsGeosMergesThem) {
    Geos geos;
    for (const char* state : {"19", "44", "08", "51"}) {
        SCOPED_TRACE(std::string("state ") + state);
        RingSet counties;
        for (const AtlasRing& r : load_atlas_outers("counties.txt", state)) {
            Polygon p(r.points);
            if (relation_polygon_iserror(p.get()) == 0)
                counties.push_back(r.points);
        }
        ASSERT_GT(counties.size(), 3u);
        UnionFacts want = geos_union(geos, counties), got = check_union(counties, want);
        EXPECT_EQ(got.polygons, want.polygons);
        EXPECT_EQ(got.holes, want.holes);
    }
}

}  // namespace
