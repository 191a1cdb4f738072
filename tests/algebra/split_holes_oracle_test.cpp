// Random polygons with holes cut into pieces, judged by GEOS: the pieces cover exactly the polygon
// less its holes (GEOS's area of the difference, and nothing of it left uncovered), no two pieces
// overlap, and every piece is a valid counter-clockwise ring.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "point_text.h"
#include "random_shapes.h"
#include "ring_checks.h"

namespace {

using namespace testing_shapes;

constexpr unsigned kTrials = 60;

// An outer star around the origin (radius 800 to 1000 at 18 or more angles, so it holds the
// square [-530, 530]^2) and holes in the cells of a grid over [-500, 500]^2: coarse grids give
// large holes with many vertices, fine ones many small holes; holes in one column share cut lines.
struct Shape {
    std::vector<Xy> outer;
    std::vector<std::vector<Xy>> holes;
};

Shape random_shape(std::mt19937& rng, Geos& geos) {
    Shape s;
    int n = random_int(rng, 18, 30);
    for (int k = 0; k < n; ++k) {
        double angle = (k + random_real(rng, 0.1, 0.9)) * 2.0 * M_PI / n;
        double r = random_real(rng, 800.0, 1000.0);
        s.outer.push_back({std::round(r * std::cos(angle)), std::round(r * std::sin(angle))});
    }
    int cells = random_int(rng, 1, 12);
    double size = 1000.0 / cells;
    double fill = random_real(rng, 0.2, 1.0);
    for (int i = 0; i < cells; ++i)
        for (int j = 0; j < cells; ++j) {
            if (random_real(rng, 0.0, 1.0) > fill)
                continue;
            double cx = -500.0 + (i + 0.5) * size, cy = -500.0 + (j + 0.5) * size;
            std::vector<Xy> hole =
                random_star(rng, random_int(rng, 3, 9), cx, cy, 0.15 * size, 0.45 * size, true);
            if (geos.valid(hole))
                s.holes.push_back(hole);
        }
    return s;
}

std::string describe(unsigned seed, const Shape& s) {
    std::string text = "seed " + std::to_string(seed) + "\n" + text_of(s.outer);
    for (const auto& hole : s.holes)
        text += " | " + text_of(hole);
    return text;
}

// Splits the shape and checks the pieces against GEOS: valid and counter-clockwise, their areas
// adding up to the polygon less its holes within `share` of it, and each piece within it.
void expect_pieces_cover_the_rest(Geos& geos, const Shape& s, double share) {
    Polygons in, out;
    Polygon outer(s.outer);
    com_polygons_add_copy(in.get(), *outer.get());
    std::vector<GEOSGeometry*> holes;
    for (const auto& h : s.holes) {
        Polygon hole(h);
        com_polygons_add_copy(in.get(), *hole.get());
        holes.push_back(GEOSGeom_createLinearRing_r(geos.h, geos.sequence(h, true)));
    }
    // The holes lie apart inside the outer ring: the polygon less its holes, as GEOS has it.
    GEOSGeometry* rest = geos.keep(GEOSGeom_createPolygon_r(
        geos.h, GEOSGeom_createLinearRing_r(geos.h, geos.sequence(s.outer, true)), holes.data(),
        static_cast<unsigned>(holes.size())));
    ASSERT_EQ(GEOSisValid_r(geos.h, rest), 1);
    ASSERT_EQ(split_polygons_by_holes(in.get(), out.get()), 0);
    ASSERT_EQ(faulty_rings(out.get(), true), "");
    double slack = share * geos.area(rest);
    EXPECT_NEAR(area_sum(out.get()), geos.area(rest), slack);

    // Each piece valid and within the polygon less its holes; pieces whose extents overlap
    // share no area. With the areas adding up, the pieces cover all of it once.
    std::vector<GEOSGeometry*> pieces;
    std::vector<rectangle_t> extents;
    double inside = 0.0;
    for (const polygon_node_t* node = out.get()->head; node != nullptr; node = node->next) {
        pieces.push_back(geos.polygon(&node->polygon.geom));
        extents.push_back(calc_polygon_exrectangle(&node->polygon));
        ASSERT_EQ(GEOSisValid_r(geos.h, pieces.back()), 1) << text_of(&node->polygon.geom);
        inside += geos.area(geos.keep(GEOSIntersection_r(geos.h, pieces.back(), rest)));
    }
    EXPECT_NEAR(inside, geos.area(rest), slack);
    double overlap = 0.0;
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t j = i + 1; j < pieces.size(); ++j)
            if (relation_rect_and_rect(extents[i], extents[j]) != 0 &&
                GEOSIntersects_r(geos.h, pieces[i], pieces[j]) == 1)
                overlap += geos.area(geos.keep(GEOSIntersection_r(geos.h, pieces[i], pieces[j])));
    EXPECT_LT(overlap, slack);
    if (s.holes.empty())
        EXPECT_EQ(out.size(), 1);
    else
        EXPECT_GE(out.size(), 2);
}

TEST(SplitPolygonsByHoles, RandomHolesGivePiecesCoveringTheRestOnceAsGeosSays) {
    Geos geos;
    for (unsigned seed = 1; seed <= kTrials; ++seed) {
        std::mt19937 rng(seed);
        Shape s = random_shape(rng, geos);
        SCOPED_TRACE(describe(seed, s));
        expect_pieces_cover_the_rest(geos, s, 1e-9);
    }
}

// A sliver hole (a triangle half a unit in area) whose sharp tip a later cut line passes where the
// tip is thinner than the validity band: the two crossings are made one place, which moves the
// boundary by less than that band, so the area may differ by a hair more than above.
TEST(SplitPolygonsByHoles, LineThroughAThinHoleTipGivesValidPieces) {
    std::ifstream file(std::string(MAPGEOM_TEST_DATA_DIR) + "/split_holes/thin_hole_tip.txt");
    ASSERT_TRUE(file.good());
    Shape s;
    std::string ring;
    while (std::getline(file, ring, '|')) {
        if (s.outer.empty())
            s.outer = pts(ring);
        else
            s.holes.push_back(pts(ring));
    }
    ASSERT_EQ(s.holes.size(), 113u);
    Geos geos;
    expect_pieces_cover_the_rest(geos, s, 1e-7);
}

}  // namespace
