// Helpers of the overlay walks: cutting rings at repeated vertices, side tests at crossings, the
// choice of a start vertex, appending without repeats, and removing degenerate results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

// A bare ring record, not closed automatically, for the functions that take its storage over.
polygon_t ring_record(const std::string& text) {
    polygon_t ring;
    com_polygon_init(&ring);
    for (const Xy& p : pts(text))
        com_polygon_add(&ring, point_t{p.x, p.y, p.z});
    return ring;
}

TEST(SplitAtRepeatedVertices, CutsAtEveryRepeatedVertexAndTakesTheStorageOver) {
    const struct {
        const char *ring, *pieces;
    } cases[] = {
        // Figure eight: (4,2) is visited twice; its second visit ends a press section (1 to 0).
        {"0 0, 4 2, 8 0, 8 4, 4 2 1, 0 4, 0 0", "0 0, 4 2 1, 0 4, 0 0 | 4 2, 8 0, 8 4, 4 2"},
        {"0 0, 10 0, 10 10 2, 0 0", "0 0, 10 0, 10 10 2, 0 0"},  // handed over unchanged
        {"5 5, 10 4, 10 6, 5 5, 6 10, 4 10, 5 5, 0 6, 0 4, 5 5",
         "5 5, 10 4, 10 6, 5 5 | 5 5, 0 6, 0 4, 5 5 | 5 5, 6 10, 4 10, 5 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ring);
        polygon_t ring = ring_record(c.ring);
        Polygons out;
        split_polygon_by_repeat_points(&ring, out.get(), 0);
        EXPECT_EQ(ring.geom.points, nullptr);  // the list owns the storage now
        EXPECT_EQ(text_of(out.get()), texts_of(c.pieces));
    }
}

TEST(SideTests, SideKindAndStartVertexAroundTwoCrossings) {
    // Overlapping squares with their crossings (10,5) and (5,10) inserted into both.
    Polygon a(pts("0 0, 10 0, 10 5, 10 10, 5 10, 0 10"));
    Polygon b(pts("5 5, 10 5, 15 5, 15 15, 5 15, 5 10"));
    const struct {
        const char* name;
        bool b_against_a;
        point_t p;
        int side, kind;
    } cases[] = {
        {"AEntersB", false, {10, 5, 0}, 1, 0},
        {"ALeavesB", false, {5, 10, 0}, 0, 0},
        {"BLeavesA", true, {10, 5, 0}, 0, 0},
        {"VertexAwayFromTheOtherRing", false, {0, 0, 0}, 0, 1},
        {"NotAVertexGivesThePointsOwnSide", false, {12, 12, 0}, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const polygon_t* first = c.b_against_a ? b.get() : a.get();
        const polygon_t* second = c.b_against_a ? a.get() : b.get();
        EXPECT_EQ(judge_curpt_pos(first, second, c.p), c.side);
        EXPECT_EQ(judge_crosspt_polygons(first, second, c.p), c.kind);
    }
    // A touch from outside where b's boundary runs on inside a is kind 2.
    Polygon notch(pts("0 0, 10 0, 10 10, 5 5, 0 10")), inside(pts("5 5, 4 2, 6 2"));
    EXPECT_EQ(judge_crosspt_polygons(notch.get(), inside.get(), point_t{5, 5, 0}), 2);

    Polygon points(pts("10 5, 5 10"));
    std::vector<int> used(6, 0);
    EXPECT_EQ(get_outestpt_pos(a.get(), b.get(), &points.p.geom, used.data()), 4);
    EXPECT_EQ(get_outestpt_pos(b.get(), a.get(), &points.p.geom, used.data()), 1);
    used[4] = 1;
    EXPECT_EQ(get_outestpt_pos(a.get(), b.get(), &points.p.geom, used.data()), -1);
}

TEST(AppendWithoutRepeats, RingsSkipARepeatOnceTheyHoldTwoPointsPolylinesAlways) {
    const struct {
        const char* held;
        point_t p;
        int ring_result, line_result;
    } cases[] = {
        {"", {0, 0, 0}, 0, 0},
        {"0 0", {0.00005, 0, 0}, 0, 1},
        {"0 0, 1 1", {1.00005, 1, 0}, 1, 1},
        {"0 0, 1 1", {2, 2, 0}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.held);
        polygon_t ring = ring_record(c.held);
        Polyline line(pts(c.held));
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
    Polygons list;
    for (const char* r : {"0 0, 10 0, 0 10, 0 0", "0 0, 5 0, 0 0", "0 0, 10 0, 10 10, 1 0", "",
                          "0 0, 10 0, 10 10, 0.5 0.5", "0 0, 10 0, 10 10, 0 10, 0 5"})
        com_polygons_add(list.get(), ring_record(r));
    err_polygon_process(list.get());
    EXPECT_EQ(text_of(list.get()), texts_of("0 0, 10 0, 0 10, 0 0 | 0 0, 10 0, 10 10, 0.5 0.5"));

    Polylines lines;
    for (const char* l : {"", "0 0", "0 0, 1 0", "0 0", "0 0, 1 0, 2 0"})
        com_polylines_add_copy(lines.get(), Polyline(pts(l)).p);
    err_polyline_process(lines.get());
    EXPECT_EQ(text_of(lines.get()), texts_of("0 0, 1 0 | 0 0, 1 0, 2 0"));
}

}  // namespace
