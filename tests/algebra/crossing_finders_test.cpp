// The crossing finders of the overlay and split operations: where each meeting point goes in both
// shapes, how ring vertices at crossings are marked, and that each point is listed once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::pts;
using testing_shapes::Xy;

// A point list that releases itself.
struct Points {
    geom_t g{};
    ~Points() { com_geom_free(&g); }
};

// Exact positions and codes: every expected crossing here is computed without rounding.
void expect_points(const geom_t* got, const std::string& expected) {
    std::vector<Xy> have = points_of(got);
    std::vector<Xy> want = pts(expected);
    ASSERT_EQ(have.size(), want.size()) << expected;
    for (size_t k = 0; k < want.size(); ++k)
        EXPECT_TRUE(have[k].x == want[k].x && have[k].y == want[k].y && have[k].z == want[k].z)
            << expected << ": point " << k << " is " << have[k].x << " " << have[k].y << " "
            << have[k].z;
}

// Rings a and b (both changed in place) and the listed points, after find_all_polygon_crosspts.
struct RingCase {
    const char *name, *a, *b, *a_after, *b_after, *points;
};
const RingCase kRingCases[] = {
    // The edge from (10,0) starts a press section (code 2): its crossing carries 102.
    {"InsertedVerticesAreMarkedListedPointsArePlain", "0 0, 10 0 2, 10 10, 0 10",
     "5 5, 15 5, 15 15, 5 15", "0 0, 10 0 2, 10 5 102, 10 10, 5 10 100, 0 10, 0 0",
     "5 5, 10 5 100, 15 5, 15 15, 5 15, 5 10 100, 5 5", "10 5, 5 10"},
    // Four segment pairs meet at (10,10), a vertex of both rings.
    {"VertexHitBySeveralPairsIsMarkedOnce", "0 0, 10 0, 10 10 3, 0 10", "10 10, 20 10, 20 20",
     "0 0, 10 0, 10 10 103, 0 10, 0 0", "10 10 100, 20 10, 20 20, 10 10", "10 10"},
    {"CrossingsOnOneEdgeGoInOrder", "0 0, 30 0, 30 10, 0 10", "5 -5, 10 5, 15 -5, 20 5, 20 -5",
     "0 0, 7.5 0 100, 12.5 0 100, 17.5 0 100, 20 0 100, 30 0, 30 10, 0 10, 0 0",
     "5 -5, 7.5 0 100, 10 5, 12.5 0 100, 15 -5, 17.5 0 100, 20 5, 20 0 100, 20 -5, 5 -5",
     "7.5 0, 12.5 0, 17.5 0, 20 0"},
    // (10,0) and (20,10) are visited twice; b crosses only the edge from the second (10,0) to the
    // second (20,10), which a lookup of its ends by position would miss.
    {"RingPassingAPositionTwiceGetsTheCrossingOnTheTestedEdge",
     "0 0, 10 0, 20 0, 20 10, 30 0, 10 0, 20 10, 0 10", "14 3, 17 3, 17 6, 14 6",
     "0 0, 10 0, 20 0, 20 10, 30 0, 10 0, 14 4 100, 16 6 100, 20 10, 0 10, 0 0",
     "14 3, 17 3, 17 6, 16 6 100, 14 6, 14 4 100, 14 3", "16 6, 14 4"},
};

TEST(PolygonCrossingFinder, InsertsMarksAndListsEveryCrossing) {
    for (const RingCase& c : kRingCases) {
        SCOPED_TRACE(c.name);
        Polygon a(pts(c.a));
        Polygon b(pts(c.b));
        Points points;
        EXPECT_EQ(find_all_polygon_crosspts(a.get(), b.get(), &points.g), 0);
        expect_points(&a.get()->geom, c.a_after);
        expect_points(&b.get()->geom, c.b_after);
        expect_points(&points.g, c.points);
    }
}

TEST(PolylineCrossingFinders, InsertIntoBothShapesAndListEachCrossingOnce) {
    struct Case {
        const char *name, *first, *second, *first_after, *second_after, *points;
        bool second_is_ring;
    };
    const Case cases[] = {
        // Two crossings on one polyline segment, found in the order of the ring's edges.
        {"PolylineThroughRing", "0 5, 20 5", "5 0, 15 0, 15 10, 5 10", "0 5, 5 5, 15 5, 20 5",
         "5 0, 15 0, 15 5, 15 10, 5 10, 5 5, 5 0", "15 5, 5 5", true},
        {"PlainCrossing", "0 0, 10 10", "0 10, 10 0", "0 0, 5 5, 10 10", "0 10, 5 5, 10 0", "5 5",
         false},
        {"CrossingAtAVertexFoundTwice", "0 0, 5 5, 10 0", "5 0, 5 10", "0 0, 5 5, 10 0",
         "5 0, 5 5, 5 10", "5 5", false},
        {"NoMeeting", "0 0, 10 0", "0 5, 10 5", "0 0, 10 0", "0 5, 10 5", "", false},
        // The line passes (0,5) twice; each pass gets the crossing.
        {"LinePassingACrossingTwiceThroughRing", "-5 5, 5 5, 5 15, -2.5 0",
         "0 0, 10 0, 10 10, 0 10", "-5 5, 0 5, 5 5, 5 10, 5 15, 2.5 10, 0 5, -2.5 0",
         "0 0, 10 0, 10 10, 5 10, 2.5 10, 0 10, 0 5, 0 0", "0 5, 5 10, 2.5 10", true},
        {"LinePassingACrossingTwice", "0 0, 10 10, 10 0, 0 10", "5 0, 5 10",
         "0 0, 5 5, 10 10, 10 0, 5 5, 0 10", "5 0, 5 5, 5 10", "5 5", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polyline first(pts(c.first));
        Points points;
        if (c.second_is_ring) {
            Polygon second(pts(c.second));
            EXPECT_EQ(find_all_polyline_crosspts(first.get(), second.get(), &points.g), 0);
            expect_points(&second.get()->geom, c.second_after);
        } else {
            Polyline second(pts(c.second));
            EXPECT_EQ(find_all_crosspts(first.get(), second.get(), &points.g), 0);
            expect_points(&second.get()->geom, c.second_after);
        }
        expect_points(&first.get()->geom, c.first_after);
        expect_points(&points.g, c.points);
    }
}

}  // namespace
