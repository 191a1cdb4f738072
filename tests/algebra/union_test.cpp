// Union of two rings through the public API: the outline and what it does to the inputs, the codes
// of rings that do not cross (nested, apart, touching, on each other's boundary), holes, press
// codes, and the caller's list being appended to.
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

// "x y z, ..." with whole numbers, for comparing rings point by point, codes included.
std::string text_of(const polygon_t* ring) {
    std::string text;
    for (const Xy& p : points_of(&ring->geom))
        text += (text.empty() ? "" : ", ") + std::to_string(int(p.x)) + " " +
                std::to_string(int(p.y)) + " " + std::to_string(int(p.z));
    return text;
}

std::string text_of(const std::string& points) {
    return text_of(Polygon(pts(points)).get());
}

std::vector<std::string> texts_of(const polygons_t* list) {
    std::vector<std::string> texts;
    for (const polygon_node_t* node = list->head; node != nullptr; node = node->next)
        texts.push_back(text_of(&node->polygon));
    return texts;
}

const char* const kSquare = "0 0, 10 0, 10 10, 0 10";
const char* const kSquareClockwise = "0 0, 0 10, 10 10, 10 0";
const char* const kShiftedSquare = "5 5, 15 5, 15 15, 5 15";
const char* const kShiftedSquareClockwise = "5 5, 5 15, 15 15, 15 5";

TEST(PolygonUnion, OverlappingSquaresGiveOneRingAndLeaveTheInputsTurnedWithCrossingsInserted) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
    };
    const Case cases[] = {
        {"BothCounterClockwise", kSquare, kShiftedSquare},
        {"BothClockwise", kSquareClockwise, kShiftedSquareClockwise},
        {"AClockwise", kSquareClockwise, kShiftedSquare},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a));
        Polygon b(pts(c.b));
        Polygons out;
        EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), 0);
        EXPECT_EQ(texts_of(out.get()),
                  std::vector<std::string>{
                      text_of("10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0, 10 0, 10 5")});
        EXPECT_EQ(text_of(a.get()), text_of("0 0, 10 0, 10 5, 10 10, 5 10, 0 10, 0 0"));
        EXPECT_EQ(text_of(b.get()), text_of("5 5, 10 5, 15 5, 15 15, 5 15, 5 10, 5 5"));
    }
}

TEST(PolygonUnion, RingsThatDoNotCrossGiveTheirCodeAndRingsSharingBoundaryAnOutline) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        int code;
        std::vector<std::string> rings;
    };
    const Case cases[] = {
        {"SharedEdgeKeepsBothCornersOfIt",
         kSquare,
         "10 0, 20 0, 20 10, 10 10",
         0,
         {"10 0, 20 0, 20 10, 10 10, 0 10, 0 0, 10 0"}},
        {"BWithinASharingPartOfAnEdgeGivesA",
         kSquare,
         "2 0, 5 0, 5 5, 2 5",
         0,
         {"2 0, 5 0, 10 0, 10 10, 0 10, 0 0, 2 0"}},
        {"AWithinBSharingPartOfAnEdge", "2 0, 5 0, 5 5, 2 5", kSquare, 1, {}},
        {"BStrictlyInsideA", kSquare, "2 2, 8 2, 8 8, 2 8", 2, {}},
        {"AStrictlyInsideB", "2 2, 8 2, 8 8, 2 8", kSquare, 1, {}},
        {"FarApart", kSquare, "50 50, 60 50, 60 60", 3, {}},
        {"CornerTouchingSquaresLieApart", kSquare, "10 10, 20 10, 20 20, 10 20", 3, {}},
        {"AInsideBTouchingItAtAVertex", "5 0, 8 5, 2 5", kSquare, 1, {}},
        {"BInsideATouchingItAtAVertex", kSquare, "5 0, 8 5, 2 5", 2, {}},
        {"ADiamondWithEveryVertexOnB", "5 0, 10 5, 5 10, 0 5", kSquare, 1, {}},
        {"SameOutlineFromAnotherStart", kSquare, "10 10, 0 10, 0 0, 10 0", 1, {}},
        // A's first vertex is 0.001 from B's slanted edge (on it within 0.01) but A lies apart.
        {"VertexNearTheOtherBoundaryButApart",
         "1 0, 900 -100, 100 -100",
         "0 0, 1000 1, 1000 1000, 0 1000",
         3,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a));
        Polygon b(pts(c.b));
        Polygons out;
        EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), c.code);
        std::vector<std::string> expected;
        for (const std::string& ring : c.rings)
            expected.push_back(text_of(ring));
        EXPECT_EQ(texts_of(out.get()), expected);
    }
}

// Covered area read from the rings: outlines counter-clockwise, holes clockwise.
TEST(PolygonUnion, EnclosedHoleComesOutAsAClockwiseRing) {
    struct Case {
        const char* name;
        const char* a;
        const char* b;
        double outline_area;
        double hole_area;
    };
    const char* const u_shape = "0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30";
    const Case cases[] = {
        {"BarWiderThanTheU", u_shape, "-5 25, 35 25, 35 40, -5 40", 1350.0, 150.0},
        {"BarFlushWithTheU", u_shape, "0 25, 30 25, 30 40, 0 40", 1200.0, 150.0},
        {"UClosedByAnotherU", u_shape, "0 40, 0 20, 10 20, 10 35, 20 35, 20 20, 30 20, 30 40",
         1200.0, 250.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a));
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

// A vertex of A 0.001 inside B's slanted edge: its two edges cross that edge less than 0.01 apart
// and the crossing engine keeps one crossing, so the walk has nothing sound to follow.
TEST(PolygonUnion, CrossingsMergedAtAVertexJustInsideTheOtherRingAreReportedAsFailure) {
    const char* const slanted = "0 0, 1000 1, 1000 1000, 0 1000";
    const char* const cases[] = {
        "999 1, 900 -100, 950 -100",                            // the walk never begins a ring
        "999 1, 900 -100, -50 -100, -50 500, 10 500, 960 -30",  // the walk closes a wrong ring
    };
    for (const char* a_text : cases) {
        SCOPED_TRACE(a_text);
        Polygon a(pts(a_text));
        Polygon b(pts(slanted));
        Polygons out;
        EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), -3);
    }
}

TEST(PolygonUnion, PressSectionsComeOutWithCodeOneOnEveryPoint) {
    // A's right edge and B's right edge are press sections; the crossing (10,5) lies inside A's.
    Polygon a(pts("0 0, 10 0 2, 10 10 3, 0 10"));
    Polygon b(pts("5 5, 15 5 2, 15 15 3, 5 15"));
    Polygons out;
    ASSERT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), 0);
    EXPECT_EQ(texts_of(out.get()),
              std::vector<std::string>{
                  text_of("10 5 1, 15 5 1, 15 15 1, 5 15, 5 10, 0 10, 0 0, 10 0 1, 10 5 1")});
}

TEST(PolygonUnion, AppendsToTheCallersListAndLeavesItsRingsAlone) {
    Polygons out;
    com_polygons_add_copy(out.get(), Polygon(pts("0 0, 1 1, 0 0")).p);                // degenerate
    com_polygons_add_copy(out.get(), Polygon(pts("0 0, 10 10, 10 0, 0 10, 0 0")).p);  // bow tie
    Polygon a(pts(kSquare));
    Polygon b(pts(kShiftedSquare));
    EXPECT_EQ(algebra_polygons_union(a.get(), b.get(), out.get()), 0);
    EXPECT_EQ(texts_of(out.get()),
              (std::vector<std::string>{
                  text_of("0 0, 1 1, 0 0"), text_of("0 0, 10 10, 10 0, 0 10, 0 0"),
                  text_of("10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0, 10 0, 10 5")}));
}

TEST(PolygonUnion, NullArgumentsChangeNothing) {
    Polygon a(pts(kSquare));
    Polygons out;
    EXPECT_EQ(algebra_polygons_union(a.get(), nullptr, out.get()), 3);
    EXPECT_EQ(algebra_polygons_union(nullptr, a.get(), out.get()), 3);
    EXPECT_EQ(algebra_polygons_union(a.get(), a.get(), nullptr), 3);
    EXPECT_EQ(out.size(), 0);
    EXPECT_EQ(text_of(a.get()), text_of(kSquare));
}

}  // namespace
