// Segment crossing, point against segment, polyline, triangle and rectangle, and rectangle against
// rectangle: the codes of every branch at their exact band edges.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "mapgeom/relation.h"
#include "point_text.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

point_t at(const std::vector<testing_shapes::Xy>& points, size_t k) {
    return pt(points[k].x, points[k].y, points[k].z);
}

TEST(LinesCross, CodesForEveryBranch) {
    const struct {
        const char *name, *a1_a2_b1_b2;
        double permit;
        int code;
        double x, y;  // expected out for codes 0 and 4
    } cases[] = {{"general crossing", "0 0, 10 10, 0 10, 10 0", 0.01, 0, 5, 5},
                 {"lines cross outside", "0 0, 1 1, 5 0, 6 -1", 0.01, 4, 2.5, 2.5},
                 {"parallel apart", "0 0, 10 0, 0 5, 10 5", 0.01, 3, 0, 0},
                 {"shared end a2=b1", "0 0, 10 0, 10 0, 20 5", 0.01, 0, 10, 0},
                 {"shared end a1=b2", "0 0, 10 0, 3 4, 0 0", 0.01, 0, 0, 0},
                 {"collinear overlap", "0 0, 10 0, 5 0, 20 0", 0.01, 0, 5, 0},
                 {"collinear overlap via b2", "0 0, 10 0, 20 0, 5 0", 0.01, 0, 5, 0},
                 {"collinear disjoint", "0 0, 10 0, 11 0, 20 0", 0.01, 3, 0, 0},
                 {"both vertical apart", "0 0, 0 10, 1 0, 1 10", 0.01, 3, 0, 0},
                 {"both vertical overlap", "0 0, 0 10, 0 5, 0 20", 0.01, 0, 0, 5},
                 {"a vertical", "2 -5, 2 5, 0 0, 4 2", 0.01, 0, 2, 1},
                 {"b vertical", "0 0, 4 2, 2 -5, 2 5", 0.01, 0, 2, 1},
                 {"a horizontal", "-5 1, 5 1, 0 0, 4 2", 0.01, 0, 2, 1},
                 {"b horizontal", "0 0, 4 2, -5 1, 5 1", 0.01, 0, 2, 1},
                 // The crossing (10.5, 0) lies exactly at a's grown bound: included.
                 {"at grown bound", "0 0, 10 0, 10.5 -1, 10.5 1", 0.5, 0, 10.5, 0},
                 {"past grown bound", "0 0, 10 0, 10.75 -1, 10.75 1", 0.5, 4, 10.75, 0}};
    for (const auto& c : cases) {
        const auto p = testing_shapes::pts(c.a1_a2_b1_b2);
        point_t out = pt(-99, -99, 7);
        EXPECT_EQ(
            relation_lines_cross_by_permit(&out, at(p, 0), at(p, 1), at(p, 2), at(p, 3), c.permit),
            c.code)
            << c.name;
        EXPECT_TRUE((c.code != 0 && c.code != 4) ||
                    (std::fabs(out.x - c.x) < 1e-9 && std::fabs(out.y - c.y) < 1e-9))
            << c.name << ": " << out.x << " " << out.y;
    }
}

TEST(LinesCross, SameSegmentLeavesOutUntouchedAndComputedPointKeepsCode) {
    point_t out = pt(-1, -2, 7);
    EXPECT_EQ(relation_lines_cross(&out, pt(0, 0), pt(10, 0), pt(10, 0), pt(0, 0)), 5);
    EXPECT_EQ(relation_lines_cross(&out, pt(0, 0), pt(10, 0), pt(0, 0), pt(10, 0)), 5);
    EXPECT_EQ(out.x + out.y, -3);
    EXPECT_EQ(relation_lines_cross(&out, pt(0, 0), pt(10, 10), pt(0, 10), pt(10, 0)), 0);
    EXPECT_EQ(out.z, 7);  // only x and y of a computed crossing are written
    EXPECT_EQ(relation_lines_cross(&out, pt(1, 1, 3), pt(5, 1), pt(1, 1), pt(1, 9)), 0);
    EXPECT_EQ(out.z, 3);  // a shared endpoint is copied whole
}

// Each case is also checked with the segment reversed, where left and right exchange: horizontal,
// vertical, rising and falling segments, on / on the line outside / left / right, and the band
// edges (the distance to the line is inclusive, the grown box strict). A zero-length segment takes
// the vertical branch.
TEST(PointAtLine, CodesForEveryBranchAndDirection) {
    const struct {
        const char* p_a_b;
        double permit;
        int code;
    } cases[] = {{"5 0, 0 0, 10 0", 0.01, 0},       {"15 0, 0 0, 10 0", 0.01, 1},
                 {"5 1, 0 0, 10 0", 0.01, 2},       {"5 -1, 0 0, 10 0", 0.01, 3},
                 {"0 5, 0 0, 0 10", 0.01, 0},       {"0 -3, 0 0, 0 10", 0.01, 1},
                 {"-1 5, 0 0, 0 10", 0.01, 2},      {"1 5, 0 0, 0 10", 0.01, 3},
                 {"5 5, 0 0, 10 10", 0.01, 0},      {"12 12, 0 0, 10 10", 0.01, 1},
                 {"0 5, 0 0, 10 10", 0.01, 2},      {"5 0, 0 0, 10 10", 0.01, 3},
                 {"5 5, 0 10, 10 0", 0.01, 0},      {"-2 12, 0 10, 10 0", 0.01, 1},
                 {"10 10, 0 10, 10 0", 0.01, 2},    {"0 0, 0 10, 10 0", 0.01, 3},
                 {"10.25 0, 0 0, 10 0", 0.5, 0},    {"10.5 0, 0 0, 10 0", 0.5, 1},
                 {"5 0.5, 0 0, 10 0", 0.5, 0},      {"5 0.75, 0 0, 10 0", 0.5, 2},
                 {"0.5 -0.5, 0 0, 0 10", 0.5, 1},   {"0.5 0, 0 0, 0 10", 0.5, 0},
                 {"10.5 10.5, 0 0, 10 10", 0.5, 1}, {"3 3, 3 3, 3 3", 0.01, 0},
                 {"3 4, 3 3, 3 3", 0.01, 1}};
    for (const auto& c : cases) {
        const auto p = testing_shapes::pts(c.p_a_b);
        EXPECT_EQ(relation_point_at_line(at(p, 0), at(p, 1), at(p, 2), c.permit), c.code)
            << c.p_a_b;
        int reversed = c.code == 2 ? 3 : c.code == 3 ? 2 : c.code;
        EXPECT_EQ(relation_point_at_line(at(p, 0), at(p, 2), at(p, 1), c.permit), reversed)
            << c.p_a_b << " reversed";
    }
    // With a == b the side is 3 left of the point and 2 elsewhere.
    EXPECT_EQ(relation_point_at_line(pt(2, 3), pt(3, 3), pt(3, 3), 0.01), 3);
    EXPECT_EQ(relation_point_at_line(pt(4, 3), pt(3, 3), pt(3, 3), 0.01), 2);
}

TEST(PointAtPolylineAndTriangle, VertexBeforeSegmentAndEitherOrientation) {
    testing_shapes::Polyline line{{0, 0}, {10, 0}, {10, 10}};
    const struct {
        point_t p;
        int code, index;
    } cases[] = {{pt(10, 0.005), 1, 1}, {pt(10, 5), 2, 1}, {pt(3, 0), 2, 0},
                 {pt(0, 0), 1, 0},      {pt(5, 5), 0, -1}, {pt(10, 10), 1, 2}};
    for (const auto& c : cases) {
        int index = 42;
        EXPECT_EQ(relation_point_at_polyline(line.get(), &index, c.p, 0.01), c.code);
        EXPECT_EQ(index, c.index);
    }
    for (const auto& [p, code] :
         {std::pair{pt(2, 1), 0}, {pt(0, 0), 0}, {pt(2, 0), 0}, {pt(5, 5), 1}, {pt(8, 0), 1}}) {
        EXPECT_EQ(relation_point_at_triangle(p, pt(0, 0), pt(6, 0), pt(0, 6), 0.01), code);
        EXPECT_EQ(relation_point_at_triangle(p, pt(0, 6), pt(6, 0), pt(0, 0), 0.01), code);
    }
}

TEST(PointAtRect, BandsAtTheirExactEdges) {
    const struct {
        point_t p;
        int code;
    } cases[] = {{pt(10, 5), 0},      {pt(0.5, 5), 2},    {pt(0.75, 5), 0},   {pt(-0.5, 5), 2},
                 {pt(-0.75, 5), 1},   {pt(20.5, 5), 2},   {pt(20.75, 5), 1},  {pt(10, 9.5), 2},
                 {pt(10, 10.5), 2},   {pt(10, 10.75), 1}, {pt(10, -0.75), 1}, {pt(10, 0.5), 2},
                 {pt(19.25, 0.75), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(relation_point_at_rect(c.p, pt(0, 10), pt(20, 0), 0.5), c.code)
            << "(" << c.p.x << ", " << c.p.y << ")";
}

TEST(RectAndRect, CodesInTheirOrderAndMirroredWhenSwapped) {
    auto rect = [](double min_x, double max_x, double min_y, double max_y) {
        return rectangle_t{min_y, max_y, min_x, max_x};
    };
    const rectangle_t a = rect(0, 10, 0, 10);
    const struct {
        const char* name;
        rectangle_t b;
        int code;
    } cases[] = {{"copy", rect(0, 10, 0, 10), 4},
                 {"b within a", rect(2, 8, 2, 8), 2},
                 {"b within a sharing an edge", rect(0, 5, 0, 10), 2},
                 {"a within b", rect(-1, 11, -1, 11), 3},
                 {"sharing only an edge", rect(10, 20, 0, 10), 1},
                 {"sharing only a corner", rect(10, 20, 10, 20), 1},
                 {"corner overlap", rect(5, 15, 5, 15), 1},
                 {"cross", rect(4, 6, -5, 15), 1},
                 {"disjoint in x", rect(10.5, 20, 0, 10), 0},
                 {"disjoint in y", rect(0, 10, -5, -0.5), 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(relation_rect_and_rect(a, c.b), c.code) << c.name;
        EXPECT_EQ(relation_rect_and_rect(c.b, a), c.code == 2   ? 3
                                                  : c.code == 3 ? 2
                                                                : c.code)
            << c.name;
    }
}

}  // namespace
