// Union of two rings through the public API: outlines with their codes and what happens to the
// inputs, the codes of rings that do not cross (nested, apart, touching, on each other's boundary),
// walks that cannot be followed, holes, and the caller's list being appended to.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "ring_checks.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

const char* const kSquare = "0 0, 10 0, 10 10, 0 10";
const char* const kShifted = "5 5, 15 5, 15 15, 5 15";
const char* const kSquaresUnion = "10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0, 10 0, 10 5";
const char* const kSquareAfter = "0 0, 10 0, 10 5, 10 10, 5 10, 0 10, 0 0";
const char* const kSlanted = "0 0, 1000 1, 1000 1000, 0 1000";

TEST(PolygonUnion, CodeOutlineAndInputsAfterTheCallByHowTheRingsLie) {
    const struct {
        const char *name, *a, *b;
        int code;
        const char *rings, *a_after;  // rings not compared for -3; a_after "" : not compared
    } cases[] = {
        {"OverlappingSquares", kSquare, kShifted, 0, kSquaresUnion, kSquareAfter},
        {"ClockwiseRingsAreTurnedFirst", "0 0, 0 10, 10 10, 10 0", "5 5, 5 15, 15 15, 15 5", 0,
         kSquaresUnion, kSquareAfter},
        {"SharedEdgeKeepsBothCornersOfIt", kSquare, "10 0, 20 0, 20 10, 10 10", 0,
         "10 0, 20 0, 20 10, 10 10, 0 10, 0 0, 10 0", ""},
        {"BWithinASharingPartOfAnEdgeGivesA", kSquare, "2 0, 5 0, 5 5, 2 5", 0,
         "2 0, 5 0, 10 0, 10 10, 0 10, 0 0, 2 0", "0 0, 2 0, 5 0, 10 0, 10 10, 0 10, 0 0"},
        // Press sections on both right edges; the crossing (10,5) lies inside A's section.
        {"PressedPointsComeOutWithCodeOne", "0 0, 10 0 2, 10 10 3, 0 10",
         "5 5, 15 5 2, 15 15 3, 5 15", 0,
         "10 5 1, 15 5 1, 15 15 1, 5 15, 5 10, 0 10, 0 0, 10 0 1, 10 5 1", ""},
        {"BStrictlyInsideA", kSquare, "2 2, 8 2, 8 8, 2 8", 2, "", "0 0, 10 0, 10 10, 0 10, 0 0"},
        {"AStrictlyInsideB", "2 2, 8 2, 8 8, 2 8", kSquare, 1, "", ""},
        {"FarApart", kSquare, "50 50, 60 50, 60 60", 3, "", ""},
        // A's first vertex is 0.001 from B's slanted edge (on it within 0.01) but A lies apart.
        {"VertexNearTheOtherBoundaryButApart", "1 0, 900 -100, 100 -100", kSlanted, 3, "", ""},
        // Meeting points that only touch, or lie along the other ring, give the walk no start:
        // the union is read from how the rings lie.
        {"CornerTouchingSquaresLieApart", kSquare, "10 10, 20 10, 20 20, 10 20", 3, "", ""},
        {"AInsideBTouchingItAtAVertex", "5 0, 8 5, 2 5", kSquare, 1, "", ""},
        {"BInsideATouchingItAtAVertex", kSquare, "5 0, 8 5, 2 5", 2, "", ""},
        {"ADiamondWithEveryVertexOnB", "5 0, 10 5, 5 10, 0 5", kSquare, 1, "", ""},
        {"AWithinBSharingPartOfAnEdge", "2 0, 5 0, 5 5, 2 5", kSquare, 1, "", ""},
        {"SameOutlineFromAnotherStart", kSquare, "10 10, 0 10, 0 0, 10 0", 1, "", ""},
        // A vertex of A 0.001 inside B's slanted edge: its edges cross B less than 0.01 apart and
        // the crossing engine keeps one crossing, so the walk has nothing sound to follow: it
        // never begins a ring (and stops at its step bound), or closes a wrong one.
        {"MergedCrossingsLeaveAWalkThatCannotClose", "999 1, 900 -100, 950 -100", kSlanted, -3, "",
         ""},
        {"MergedCrossingsLeadTheWalkAstray", "999 1, 900 -100, -50 -100, -50 500, 10 500, 960 -30",
         kSlanted, -3, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a)), b(pts(c.b));
        Polygons out;
        EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), c.code);
        if (c.code != -3) {
            EXPECT_EQ(text_of(out.get()), texts_of(c.rings));
        }
        if (*c.a_after != '\0') {
            EXPECT_EQ(text_of(&a.get()->geom), text_of(c.a_after));
        }
    }
}

// Covered area read from the rings: outlines counter-clockwise, holes clockwise.
TEST(PolygonUnion, EnclosedHoleComesOutAsAClockwiseRing) {
    const struct {
        const char *name, *b;
        double outline_area, hole_area;
    } cases[] = {
        {"BarWiderThanTheU", "-5 25, 35 25, 35 40, -5 40", 1350.0, 150.0},
        {"BarFlushWithTheU", "0 25, 30 25, 30 40, 0 40", 1200.0, 150.0},
        {"UClosedByAnotherU", "0 40, 0 20, 10 20, 10 35, 20 35, 20 20, 30 20, 30 40", 1200.0,
         250.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts("0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30")), b(pts(c.b));
        Polygons out;
        ASSERT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), 0);
        EXPECT_EQ(faulty_rings(out.get()), "");
        EXPECT_EQ(signed_areas(out.get()), (std::vector<double>{-c.hole_area, c.outline_area}));
    }
}

TEST(PolygonUnion, AppendsToTheCallersListLeavingItsRingsAloneAndIgnoresNullArguments) {
    const char* const earlier =
        "0 0, 1 1, 0 0 | 0 0, 10 10, 10 0, 0 10, 0 0";  // degenerate, bow tie
    Polygons out;
    for (const char* ring : {"0 0, 1 1, 0 0", "0 0, 10 10, 10 0, 0 10, 0 0"})
        com_polygons_add_copy(out.get(), Polygon(pts(ring)).p);
    Polygon a(pts(kSquare)), b(pts(kShifted));
    EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), 0);
    EXPECT_EQ(text_of(out.get()), texts_of(std::string(earlier) + " | " + kSquaresUnion));
    EXPECT_EQ(algebra_polygons_union(a.get(), nullptr, out.get()), 3);
    EXPECT_EQ(algebra_polygons_union(nullptr, a.get(), out.get()), 3);
    EXPECT_EQ(algebra_polygons_union(a.get(), a.get(), nullptr), 3);
    EXPECT_EQ(out.size(), 3);
}

}  // namespace
