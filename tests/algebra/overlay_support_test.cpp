// Helpers of the overlay walks: cutting rings at repeated vertices, side tests at crossings, the
// choice of a start vertex, appending without repeats, and removing degenerate results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::plane_signed_area;
using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Polylines;
using testing_shapes::pts;
using testing_shapes::Xy;

// A bare ring record for the functions that take its storage over.
polygon_t ring_record(const std::string& text) {
    polygon_t ring;
    com_polygon_init(&ring);
    for (const Xy& p : pts(text))
        com_polygon_add(&ring, point_t{p.x, p.y, p.z});
    return ring;
}

std::string text_of(const polygon_t* ring) {
    std::string text;
    for (const Xy& p : points_of(&ring->geom))
        text += (text.empty() ? "" : ", ") + std::to_string(int(p.x)) + " " +
                std::to_string(int(p.y)) + " " + std::to_string(int(p.z));
    return text;
}

bool has_repeated_vertex(const polygon_t* ring) {
    for (int i = 0; i < com_polygon_num(ring); ++i)
        for (int j = i + 1; j < com_polygon_num(ring); ++j)
            if (com_points_same(com_polygon_at(ring, i), com_polygon_at(ring, j)) == 0)
                return true;
    return false;
}

TEST(SplitAtRepeatedVertices, CutsUntilNoPieceRepeatsAVertexAndTakesTheStorageOver) {
    struct Case {
        const char* name;
        const char* ring;
        std::vector<std::string> pieces;  // empty: only checked for repeats, edges and area
    };
    const Case cases[] = {
        // (4,2) is visited twice; its second visit ends a press section (code 1 becomes 0).
        {"FigureEightGivesTwoRingsSharingThePosition",
         "0 0, 4 2, 8 0, 8 4, 4 2 1, 0 4, 0 0",
         {"0 0 0, 4 2 1, 0 4 0, 0 0 0", "4 2 0, 8 0 0, 8 4 0, 4 2 0"}},
        {"RingWithoutRepeatsIsHandedOverUnchanged",
         "0 0, 10 0, 10 10 2, 0 0",
         {"0 0 0, 10 0 0, 10 10 2, 0 0 0"}},
        {"ThreeLeavesAtOnePositionGiveThreeTriangles",
         "5 5, 10 4, 10 6, 5 5, 6 10, 4 10, 5 5, 0 6, 0 4, 5 5",
         {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        polygon_t ring = ring_record(c.ring);
        double area = plane_signed_area(&ring.geom);
        Polygons out;
        split_polygon_by_repeat_points(&ring, out.get(), 0);
        EXPECT_EQ(ring.geom.points, nullptr);  // the list owns the storage now
        ASSERT_EQ(out.size(), static_cast<int>(c.pieces.size()));
        double pieces_area = 0.0;
        for (int k = 0; k < out.size(); ++k) {
            const polygon_t* piece = com_polygons_at_pointer(out.get(), k);
            if (!c.pieces[k].empty()) {
                EXPECT_EQ(text_of(piece), text_of(Polygon(pts(c.pieces[k])).get()));
            }
            EXPECT_GE(com_polygon_num(piece), 3);
            EXPECT_FALSE(has_repeated_vertex(piece)) << "piece " << k;
            pieces_area += plane_signed_area(&piece->geom);
        }
        EXPECT_DOUBLE_EQ(pieces_area, area);
    }
}

TEST(SideTests, SideKindAndStartVertexAroundTwoCrossings) {
    // Overlapping squares with their crossings (10,5) and (5,10) inserted into both.
    Polygon a(pts("0 0, 10 0, 10 5, 10 10, 5 10, 0 10"));
    Polygon b(pts("5 5, 10 5, 15 5, 15 15, 5 15, 5 10"));
    struct Case {
        const char* name;
        bool b_against_a;
        point_t p;
        int side, kind;
    };
    const Case cases[] = {
        {"AEntersB", false, {10, 5, 0}, 1, 0},
        {"ALeavesB", false, {5, 10, 0}, 0, 0},
        {"BLeavesA", true, {10, 5, 0}, 0, 0},
        {"VertexAwayFromTheOtherRing", false, {0, 0, 0}, 0, 1},
        {"NotAVertexGivesThePointsOwnSide", false, {12, 12, 0}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const polygon_t* first = c.b_against_a ? b.get() : a.get();
        const polygon_t* second = c.b_against_a ? a.get() : b.get();
        EXPECT_EQ(judge_curpt_pos(first, second, c.p), c.side);
        EXPECT_EQ(judge_crosspt_polygons(first, second, c.p), c.kind);
    }
    // A touch from outside where b's boundary runs on inside a is kind 2.
    Polygon notch(pts("0 0, 10 0, 10 10, 5 5, 0 10"));
    Polygon inside(pts("5 5, 4 2, 6 2"));
    EXPECT_EQ(judge_crosspt_polygons(notch.get(), inside.get(), point_t{5, 5, 0}), 2);

    geom_t points{};
    com_geom_add(&points, point_t{10, 5, 0});
    com_geom_add(&points, point_t{5, 10, 0});
    std::vector<int> used(6, 0);
    EXPECT_EQ(get_outestpt_pos(a.get(), b.get(), &points, used.data()), 4);
    EXPECT_EQ(get_outestpt_pos(b.get(), a.get(), &points, used.data()), 1);
    used[4] = 1;
    EXPECT_EQ(get_outestpt_pos(a.get(), b.get(), &points, used.data()), -1);
    com_geom_free(&points);
}

TEST(AppendWithoutRepeats, RingsSkipARepeatOnceTheyHoldTwoPointsPolylinesAlways) {
    struct Case {
        const char* held;
        point_t p;
        int ring_result, line_result;
    };
    const Case cases[] = {
        {"", {0, 0, 0}, 0, 0},
        {"0 0", {0.00005, 0, 0}, 0, 1},
        {"0 0, 1 1", {1.00005, 1, 0}, 1, 1},
        {"0 0, 1 1", {2, 2, 0}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        polygon_t ring = ring_record(c.held);  // not closed: the points as held
        testing_shapes::Polyline line(pts(c.held));
        int held = ring.geom.count;
        EXPECT_EQ(cur_polygon_add(&ring, c.p), c.ring_result);
        EXPECT_EQ(cur_polyline_add(line.get(), c.p), c.line_result);
        EXPECT_EQ(ring.geom.count, held + (c.ring_result == 0 ? 1 : 0));
        EXPECT_EQ(line.get()->geom.count, held + (c.line_result == 0 ? 1 : 0));
        com_polygon_free(&ring);
    }
}

TEST(DegenerateResults, RingsWithFewEdgesOrOpenEndsAndShortPolylinesAreRemoved) {
    // Kept: the triangle and the ring closed within 0.99; the others follow each other, so each
    // removal must look again at the ring that moves into its place.
    const char* rings[] = {"0 0, 10 0, 0 10, 0 0",      "0 0, 5 0, 0 0",
                           "0 0, 10 0, 10 10, 1 0",     "",
                           "0 0, 10 0, 10 10, 0.5 0.5", "0 0, 10 0, 10 10, 0 10, 0 5"};
    Polygons list;
    for (const char* r : rings)
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
