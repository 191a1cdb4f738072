// The crossing finders of the overlay and split operations: where each meeting point goes in both
// shapes, how ring vertices at crossings are marked, and that each point is listed once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "shapes.h"

namespace {

using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::Xy;

// A point list that releases itself.
struct Points {
    geom_t g{};
    Points() { com_geom_init(&g); }
    Points(const Points&) = delete;
    Points& operator=(const Points&) = delete;
    ~Points() { com_geom_free(&g); }
};

void expect_points(const geom_t* got, const std::vector<Xy>& expected, const char* which) {
    SCOPED_TRACE(which);
    std::vector<Xy> points = points_of(got);
    ASSERT_EQ(points.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE("point " + std::to_string(k));
        EXPECT_NEAR(points[k].x, expected[k].x, 1e-9);
        EXPECT_NEAR(points[k].y, expected[k].y, 1e-9);
        EXPECT_EQ(points[k].z, expected[k].z);
    }
}

TEST(PolygonCrossingFinder, InsertsMarkedVerticesAndListsPlainPoints) {
    // a's edge from (10,0) starts a press section (code 2): its crossing carries 102.
    Polygon a({{0, 0}, {10, 0, 2}, {10, 10}, {0, 10}});
    Polygon b({{5, 5}, {15, 5}, {15, 15}, {5, 15}});
    Points points;
    EXPECT_EQ(find_all_polygon_crosspts(a.get(), b.get(), &points.g), 0);
    expect_points(&points.g, {{10, 5}, {5, 10}}, "points");
    expect_points(&a.get()->geom,
                  {{0, 0}, {10, 0, 2}, {10, 5, 102}, {10, 10}, {5, 10, 100}, {0, 10}, {0, 0}}, "a");
    expect_points(&b.get()->geom,
                  {{5, 5}, {10, 5, 100}, {15, 5}, {15, 15}, {5, 15}, {5, 10, 100}, {5, 5}}, "b");
}

TEST(PolygonCrossingFinder, VertexHitBySeveralPairsIsMarkedOnceAndNotDuplicated) {
    // Two edges of each ring meet at (10,10), a vertex of both: four segment pairs report it.
    Polygon a({{0, 0}, {10, 0}, {10, 10, 3}, {0, 10}});
    Polygon b({{10, 10}, {20, 10}, {20, 20}});
    Points points;
    find_all_polygon_crosspts(a.get(), b.get(), &points.g);
    expect_points(&points.g, {{10, 10}}, "points");
    expect_points(&a.get()->geom, {{0, 0}, {10, 0}, {10, 10, 103}, {0, 10}, {0, 0}}, "a");
    expect_points(&b.get()->geom, {{10, 10, 100}, {20, 10}, {20, 20}, {10, 10}}, "b");
}

TEST(PolygonCrossingFinder, SeveralCrossingsOnOneEdgeGoInOrder) {
    Polygon a({{0, 0}, {30, 0}, {30, 10}, {0, 10}});
    Polygon comb({{5, -5}, {10, 5}, {15, -5}, {20, 5}, {25, -5}, {25, -10}, {5, -10}});
    Points points;
    find_all_polygon_crosspts(a.get(), comb.get(), &points.g);
    expect_points(&a.get()->geom,
                  {{0, 0},
                   {7.5, 0, 100},
                   {12.5, 0, 100},
                   {17.5, 0, 100},
                   {22.5, 0, 100},
                   {30, 0},
                   {30, 10},
                   {0, 10},
                   {0, 0}},
                  "a");
    EXPECT_EQ(points.g.count, 4);
    EXPECT_EQ(comb.get()->geom.count, 12);
}

TEST(PolygonCrossingFinder, RingPassingAPositionTwiceGetsTheCrossingOnTheTestedEdge) {
    // (10,0) and (20,10) are both visited twice; b crosses only the edge from the second (10,0)
    // to the second (20,10), which a lookup of its ends by position would not find.
    Polygon a({{0, 0}, {10, 0}, {20, 0}, {20, 10}, {30, 0}, {10, 0}, {20, 10}, {0, 10}});
    Polygon b({{14, 3}, {17, 3}, {17, 6}, {14, 6}});
    Points points;
    find_all_polygon_crosspts(a.get(), b.get(), &points.g);
    expect_points(&points.g, {{16, 6}, {14, 4}}, "points");
    expect_points(&a.get()->geom,
                  {{0, 0},
                   {10, 0},
                   {20, 0},
                   {20, 10},
                   {30, 0},
                   {10, 0},
                   {14, 4, 100},
                   {16, 6, 100},
                   {20, 10},
                   {0, 10},
                   {0, 0}},
                  "a");
    expect_points(&b.get()->geom,
                  {{14, 3}, {17, 3}, {17, 6}, {16, 6, 100}, {14, 6}, {14, 4, 100}, {14, 3}}, "b");
}

TEST(PolylineCrossingFinders, InsertIntoBothShapesAtTheSubdividedSegment) {
    // Two crossings on the same polyline segment, found in the order of the ring's edges.
    Polyline line({{0, 5}, {20, 5}});
    Polygon ring({{5, 0}, {15, 0}, {15, 10}, {5, 10}});
    Points points;
    EXPECT_EQ(find_all_polyline_crosspts(line.get(), ring.get(), &points.g), 0);
    expect_points(&points.g, {{15, 5}, {5, 5}}, "points");
    expect_points(&line.get()->geom, {{0, 5}, {5, 5}, {15, 5}, {20, 5}}, "line");
    expect_points(&ring.get()->geom, {{5, 0}, {15, 0}, {15, 5}, {15, 10}, {5, 10}, {5, 5}, {5, 0}},
                  "ring");
}

TEST(PolylineCrossingFinders, TwoPolylinesShareEachCrossingOnce) {
    struct Case {
        const char* name;
        std::vector<Xy> first;
        std::vector<Xy> second;
        std::vector<Xy> first_after;
        std::vector<Xy> second_after;
        std::vector<Xy> points;
    };
    const Case cases[] = {
        {"PlainCrossing",
         {{0, 0}, {10, 10}},
         {{0, 10}, {10, 0}},
         {{0, 0}, {5, 5}, {10, 10}},
         {{0, 10}, {5, 5}, {10, 0}},
         {{5, 5}}},
        {"CrossingAtAVertexFoundTwice",
         {{0, 0}, {5, 5}, {10, 0}},
         {{5, 0}, {5, 10}},
         {{0, 0}, {5, 5}, {10, 0}},
         {{5, 0}, {5, 5}, {5, 10}},
         {{5, 5}}},
        {"NoMeeting",
         {{0, 0}, {10, 0}},
         {{0, 5}, {10, 5}},
         {{0, 0}, {10, 0}},
         {{0, 5}, {10, 5}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polyline first(c.first);
        Polyline second(c.second);
        Points points;
        EXPECT_EQ(find_all_crosspts(first.get(), second.get(), &points.g), 0);
        expect_points(&first.get()->geom, c.first_after, "first");
        expect_points(&second.get()->geom, c.second_after, "second");
        expect_points(&points.g, c.points, "points");
    }
}

}  // namespace
