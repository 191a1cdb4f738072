// Helpers of the overlay walks: cutting rings at repeated vertices, side tests at crossings, the
// choice of a start vertex, appending without repeats, and removing degenerate results.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "shapes.h"

namespace {

using testing_shapes::plane_signed_area;
using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Polyline;
using testing_shapes::Polylines;
using testing_shapes::Xy;

void expect_ring(const polygon_t* ring, const std::vector<Xy>& expected) {
    std::vector<Xy> got = points_of(&ring->geom);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(got[k].x, expected[k].x) << "point " << k;
        EXPECT_EQ(got[k].y, expected[k].y) << "point " << k;
        EXPECT_EQ(got[k].z, expected[k].z) << "point " << k;
    }
}

bool has_repeated_vertex(const polygon_t* ring) {
    int n = com_polygon_num(ring);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (com_points_same(com_polygon_at(ring, i), com_polygon_at(ring, j)) == 0)
                return true;
    return false;
}

// The list takes the ring over; a ring record is handed in as a by-value copy, so that the
// Polygon holder does not release storage the list owns afterwards.
polygon_t ring_record(const std::vector<Xy>& points) {
    polygon_t ring;
    com_polygon_init(&ring);
    for (const Xy& p : points)
        com_polygon_add(&ring, point_t{p.x, p.y, p.z});
    return ring;
}

TEST(SplitAtRepeatedVertices, FigureEightGivesTwoClosedRingsSharingThePosition) {
    // (4,2) is visited twice; its second visit ends a press section (code 1).
    polygon_t ring = ring_record({{0, 0}, {4, 2}, {8, 0}, {8, 4}, {4, 2, 1}, {0, 4}, {0, 0}});
    Polygons out;
    split_polygon_by_repeat_points(&ring, out.get(), 0);
    ASSERT_EQ(out.size(), 2);
    expect_ring(com_polygons_at_pointer(out.get(), 0), {{0, 0}, {4, 2, 1}, {0, 4}, {0, 0}});
    expect_ring(com_polygons_at_pointer(out.get(), 1), {{4, 2}, {8, 0}, {8, 4}, {4, 2, 0}});
    // The list owns the storage now; the caller's record is left empty.
    EXPECT_EQ(ring.geom.points, nullptr);
    com_polygon_free(&ring);
}

TEST(SplitAtRepeatedVertices, RingWithoutRepeatsIsHandedOverUnchanged) {
    std::vector<Xy> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    polygon_t ring = ring_record(square);
    point_t* storage = ring.geom.points;
    Polygons out;
    split_polygon_by_repeat_points(&ring, out.get(), 0);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(com_polygons_at_pointer(out.get(), 0)->geom.points, storage);
    expect_ring(com_polygons_at_pointer(out.get(), 0), square);
    EXPECT_EQ(ring.geom.points, nullptr);
}

TEST(SplitAtRepeatedVertices, ThreeLeafRingIsCutUntilNoPieceRepeatsAVertex) {
    polygon_t ring = ring_record(
        {{5, 5}, {10, 4}, {10, 6}, {5, 5}, {6, 10}, {4, 10}, {5, 5}, {0, 6}, {0, 4}, {5, 5}});
    double area = plane_signed_area(&ring.geom);
    Polygons out;
    split_polygon_by_repeat_points(&ring, out.get(), 0);
    ASSERT_EQ(out.size(), 3);
    double pieces_area = 0.0;
    for (int k = 0; k < out.size(); ++k) {
        const polygon_t* piece = com_polygons_at_pointer(out.get(), k);
        EXPECT_EQ(com_polygon_num(piece), 3) << "piece " << k;
        EXPECT_FALSE(has_repeated_vertex(piece)) << "piece " << k;
        EXPECT_EQ(com_points_same(com_polygon_front(piece), com_polygon_last(piece)), 0);
        pieces_area += plane_signed_area(&piece->geom);
    }
    EXPECT_DOUBLE_EQ(pieces_area, area);
}

// Overlapping squares with their two crossings inserted into both rings.
struct CrossedSquares {
    Polygon a{{0, 0}, {10, 0}, {10, 5}, {10, 10}, {5, 10}, {0, 10}};
    Polygon b{{5, 5}, {10, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 10}};
    geom_t points{};
    CrossedSquares() {
        com_geom_add(&points, point_t{10, 5, 0});
        com_geom_add(&points, point_t{5, 10, 0});
    }
    ~CrossedSquares() { com_geom_free(&points); }
};

TEST(SideTests, SideAndKindAtCrossingsAndElsewhere) {
    CrossedSquares s;
    struct Case {
        const char* name;
        bool b_against_a;
        point_t p;
        int side;
        int kind;
    };
    const Case cases[] = {
        {"AEntersB", false, {10, 5, 0}, 1, 0},
        {"ALeavesB", false, {5, 10, 0}, 0, 0},
        {"BLeavesA", true, {10, 5, 0}, 0, 0},
        {"VertexAwayFromB", false, {0, 0, 0}, 0, 1},
        {"VertexOfBAwayFromA", true, {15, 15, 0}, 0, 1},
        {"NotAVertexGivesThePointsOwnSide", false, {12, 12, 0}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const polygon_t* first = c.b_against_a ? s.b.get() : s.a.get();
        const polygon_t* second = c.b_against_a ? s.a.get() : s.b.get();
        EXPECT_EQ(judge_curpt_pos(first, second, c.p), c.side);
        EXPECT_EQ(judge_crosspt_polygons(first, second, c.p), c.kind);
    }
    // A touch where b's boundary runs on inside a gives kind 2.
    Polygon notch({{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}});
    Polygon inside({{5, 5}, {4, 2}, {6, 2}});
    EXPECT_EQ(judge_crosspt_polygons(notch.get(), inside.get(), point_t{5, 5, 0}), 2);
}

TEST(SideTests, StartVertexIsTheFirstUnusedCrossingAfterWhichARunsOutside) {
    CrossedSquares s;
    std::vector<int> used(6, 0);
    EXPECT_EQ(get_outestpt_pos(s.a.get(), s.b.get(), &s.points, used.data()), 4);
    used[4] = 1;
    EXPECT_EQ(get_outestpt_pos(s.a.get(), s.b.get(), &s.points, used.data()), -1);
    // b runs outside a just after (10,5).
    std::vector<int> b_used(6, 0);
    EXPECT_EQ(get_outestpt_pos(s.b.get(), s.a.get(), &s.points, b_used.data()), 1);
}

TEST(AppendWithoutRepeats, RingsSkipARepeatOnceTheyHoldTwoPointsPolylinesAlways) {
    struct Case {
        const char* name;
        int held;
        point_t p;
        int result;
        int count_after;
    };
    const Case ring_cases[] = {
        {"EmptyRingTakesThePoint", 0, {0, 0, 0}, 0, 1},
        {"OnePointRingTakesARepeat", 1, {0.00005, 0, 0}, 0, 2},
        {"TwoPointRingSkipsARepeatOfItsLast", 2, {1.00005, 1, 0}, 1, 2},
        {"TwoPointRingTakesANewPoint", 2, {2, 2, 0}, 0, 3},
    };
    const Case line_cases[] = {
        {"EmptyLineTakesThePoint", 0, {0, 0, 0}, 0, 1},
        {"OnePointLineSkipsARepeat", 1, {0.00005, 0, 0}, 1, 1},
        {"LineTakesANewPoint", 1, {1, 1, 0}, 0, 2},
    };
    for (const Case& c : ring_cases) {
        SCOPED_TRACE(c.name);
        Polygon ring;
        for (int k = 0; k < c.held; ++k)
            com_polygon_add(ring.get(), point_t{double(k), double(k), 0});
        EXPECT_EQ(cur_polygon_add(ring.get(), c.p), c.result);
        EXPECT_EQ(ring.get()->geom.count, c.count_after);
    }
    for (const Case& c : line_cases) {
        SCOPED_TRACE(c.name);
        Polyline line;
        for (int k = 0; k < c.held; ++k)
            com_polyline_add(line.get(), point_t{double(k), double(k), 0});
        EXPECT_EQ(cur_polyline_add(line.get(), c.p), c.result);
        EXPECT_EQ(line.get()->geom.count, c.count_after);
    }
}

TEST(DegenerateResults, RingsWithFewEdgesOrOpenEndsAreRemoved) {
    const std::vector<std::vector<Xy>> rings{
        {{0, 0}, {10, 0}, {0, 10}, {0, 0}},           // triangle: kept
        {{0, 0}, {5, 0}, {0, 0}},                     // two edges
        {{0, 0}, {10, 0}, {10, 10}, {1, 0}},          // last point 1.0 off in x
        {},                                           // empty
        {{0, 0}, {10, 0}, {10, 10}, {0.5, 0.5}},      // within 0.99: kept
        {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5}}  // last point 5 off in y
    };
    Polygons list;
    for (const auto& r : rings)
        com_polygons_add(list.get(), ring_record(r));
    err_polygon_process(list.get());
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(com_polygon_num(com_polygons_at_pointer(list.get(), 0)), 3);
    EXPECT_EQ(com_polygon_last(com_polygons_at_pointer(list.get(), 1)).x, 0.5);

    Polylines lines;
    for (int points : {0, 1, 2, 1, 3}) {
        polyline_t line;
        com_polyline_init(&line);
        for (int k = 0; k < points; ++k)
            com_polyline_add(&line, point_t{double(k), 0, 0});
        com_polylines_add(lines.get(), line);
    }
    err_polyline_process(lines.get());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(com_polyline_num(com_polylines_at_pointer(lines.get(), 0)), 2);
    EXPECT_EQ(com_polyline_num(com_polylines_at_pointer(lines.get(), 1)), 3);
}

}  // namespace
