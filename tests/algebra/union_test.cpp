// Union of two rings through the public API: outlines with their codes and what happens to the
// inputs, the codes of rings that do not cross (nested, apart, touching, on each other's boundary),
// walks that cannot be followed, holes, and the caller's list being appended to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::plane_signed_area;
using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::pts;
using testing_shapes::Xy;

// "x y z, ..." in whole numbers, to compare rings point by point, codes included.
std::string text_of(const polygon_t* ring) {
    std::string text;
    for (const Xy& p : points_of(&ring->geom))
        text += (text.empty() ? "" : ", ") + std::to_string(int(p.x)) + " " +
                std::to_string(int(p.y)) + " " + std::to_string(int(p.z));
    return text;
}

std::vector<std::string> texts_of(const polygons_t* list) {
    std::vector<std::string> texts;
    for (const polygon_node_t* node = list->head; node != nullptr; node = node->next)
        texts.push_back(text_of(&node->polygon));
    return texts;
}

std::vector<std::string> texts_of(const std::vector<std::string>& rings) {
    std::vector<std::string> texts;
    for (const std::string& ring : rings)
        texts.push_back(text_of(Polygon(pts(ring)).get()));
    return texts;
}

const char* const kSquare = "0 0, 10 0, 10 10, 0 10";
const char* const kSquareClockwise = "0 0, 0 10, 10 10, 10 0";
const char* const kShifted = "5 5, 15 5, 15 15, 5 15";
const char* const kSquaresUnion = "10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0, 10 0, 10 5";
const char* const kSlanted = "0 0, 1000 1, 1000 1000, 0 1000";

TEST(PolygonUnion, CodeOutlineAndInputsAfterTheCallByHowTheRingsLie) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        int code;
        std::vector<std::string> rings;  // not compared for -3
        const char* a_after;             // nullptr: not compared
    };
    const Case cases[] = {
        {"OverlappingSquares",
         kSquare,
         kShifted,
         0,
         {kSquaresUnion},
         "0 0, 10 0, 10 5, 10 10, 5 10, 0 10, 0 0"},
        {"ClockwiseRingsAreTurnedFirst",
         kSquareClockwise,
         "5 5, 5 15, 15 15, 15 5",
         0,
         {kSquaresUnion},
         "0 0, 10 0, 10 5, 10 10, 5 10, 0 10, 0 0"},
        {"SharedEdgeKeepsBothCornersOfIt",
         kSquare,
         "10 0, 20 0, 20 10, 10 10",
         0,
         {"10 0, 20 0, 20 10, 10 10, 0 10, 0 0, 10 0"},
         nullptr},
        {"BWithinASharingPartOfAnEdgeGivesA",
         kSquare,
         "2 0, 5 0, 5 5, 2 5",
         0,
         {"2 0, 5 0, 10 0, 10 10, 0 10, 0 0, 2 0"},
         "0 0, 2 0, 5 0, 10 0, 10 10, 0 10, 0 0"},
        // Press sections on both right edges; the crossing (10,5) lies inside A's section.
        {"PressedPointsComeOutWithCodeOne",
         "0 0, 10 0 2, 10 10 3, 0 10",
         "5 5, 15 5 2, 15 15 3, 5 15",
         0,
         {"10 5 1, 15 5 1, 15 15 1, 5 15, 5 10, 0 10, 0 0, 10 0 1, 10 5 1"},
         nullptr},
        {"BStrictlyInsideA", kSquare, "2 2, 8 2, 8 8, 2 8", 2, {}, kSquare},
        {"AStrictlyInsideB", "2 2, 8 2, 8 8, 2 8", kSquare, 1, {}, nullptr},
        {"FarApart", kSquare, "50 50, 60 50, 60 60", 3, {}, nullptr},
        // A's first vertex is 0.001 from B's slanted edge (on it within 0.01) but A lies apart.
        {"VertexNearTheOtherBoundaryButApart", "1 0, 900 -100, 100 -100", kSlanted, 3, {}, nullptr},
        // Rings whose meeting points only touch, or lie along the other ring, give the walk no
        // start: their union is read from how they lie.
        {"CornerTouchingSquaresLieApart", kSquare, "10 10, 20 10, 20 20, 10 20", 3, {}, nullptr},
        {"AInsideBTouchingItAtAVertex", "5 0, 8 5, 2 5", kSquare, 1, {}, nullptr},
        {"BInsideATouchingItAtAVertex", kSquare, "5 0, 8 5, 2 5", 2, {}, nullptr},
        {"ADiamondWithEveryVertexOnB", "5 0, 10 5, 5 10, 0 5", kSquare, 1, {}, nullptr},
        {"AWithinBSharingPartOfAnEdge", "2 0, 5 0, 5 5, 2 5", kSquare, 1, {}, nullptr},
        {"SameOutlineFromAnotherStart", kSquare, "10 10, 0 10, 0 0, 10 0", 1, {}, nullptr},
        // A vertex of A 0.001 inside B's slanted edge: its edges cross B less than 0.01 apart and
        // the crossing engine keeps one crossing, so the walk has nothing sound to follow: it
        // never begins a ring (and stops at its step bound), or closes a wrong one.
        {"MergedCrossingsLeaveAWalkThatCannotClose",
         "999 1, 900 -100, 950 -100",
         kSlanted,
         -3,
         {},
         nullptr},
        {"MergedCrossingsLeadTheWalkAstray",
         "999 1, 900 -100, -50 -100, -50 500, 10 500, 960 -30",
         kSlanted,
         -3,
         {},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a));
        Polygon b(pts(c.b));
        Polygons out;
        EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), c.code);
        if (c.code != -3) {
            EXPECT_EQ(texts_of(out.get()), texts_of(c.rings));
        }
        if (c.a_after != nullptr) {
            EXPECT_EQ(text_of(a.get()), text_of(Polygon(pts(c.a_after)).get()));
        }
    }
}

// Covered area read from the rings: outlines counter-clockwise, holes clockwise.
TEST(PolygonUnion, EnclosedHoleComesOutAsAClockwiseRing) {
    struct Case {
        const char* name;
        const char* b;
        double outline_area;
        double hole_area;
    };
    const char* const u_shape = "0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30";
    const Case cases[] = {
        {"BarWiderThanTheU", "-5 25, 35 25, 35 40, -5 40", 1350.0, 150.0},
        {"BarFlushWithTheU", "0 25, 30 25, 30 40, 0 40", 1200.0, 150.0},
        {"UClosedByAnotherU", "0 40, 0 20, 10 20, 10 35, 20 35, 20 20, 30 20, 30 40", 1200.0,
         250.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(u_shape));
        Polygon b(pts(c.b));
        Polygons out;
        ASSERT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), 0);
        std::vector<double> areas;
        for (const polygon_node_t* node = out.get()->head; node != nullptr; node = node->next) {
            EXPECT_EQ(relation_polygon_iserror(&node->polygon), 0) << text_of(&node->polygon);
            areas.push_back(plane_signed_area(&node->polygon.geom));
        }
        std::sort(areas.begin(), areas.end());
        EXPECT_EQ(areas, (std::vector<double>{-c.hole_area, c.outline_area}));
    }
}

TEST(PolygonUnion, AppendsToTheCallersListLeavingItsRingsAloneAndIgnoresNullArguments) {
    const std::vector<std::string> earlier = {"0 0, 1 1, 0 0", "0 0, 10 10, 10 0, 0 10, 0 0"};
    Polygons out;
    for (const std::string& ring : earlier)  // degenerate, and a bow tie
        com_polygons_add_copy(out.get(), Polygon(pts(ring)).p);
    Polygon a(pts(kSquare));
    Polygon b(pts(kShifted));
    EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), 0);
    EXPECT_EQ(texts_of(out.get()), texts_of({earlier[0], earlier[1], kSquaresUnion}));

    EXPECT_EQ(algebra_polygons_union(a.get(), nullptr, out.get()), 3);
    EXPECT_EQ(algebra_polygons_union(nullptr, a.get(), out.get()), 3);
    EXPECT_EQ(algebra_polygons_union(a.get(), a.get(), nullptr), 3);
    EXPECT_EQ(out.size(), 3);
}

}  // namespace
