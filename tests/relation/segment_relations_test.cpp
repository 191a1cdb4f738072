// Segment crossing and point-to-segment / point-to-polyline codes, branch by branch.
#include <gtest/gtest.h>

#include "mapgeom/relation.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

struct CrossCase {
    const char* name;
    point_t a1, a2, b1, b2;
    double permit;
    int code;
    double x, y;  // expected out for codes 0 and 4
};

TEST(LinesCross, CodesForEveryBranch) {
    const CrossCase cases[] = {
        {"general crossing", pt(0, 0), pt(10, 10), pt(0, 10), pt(10, 0), 0.01, 0, 5, 5},
        {"lines cross outside", pt(0, 0), pt(1, 1), pt(5, 0), pt(6, -1), 0.01, 4, 2.5, 2.5},
        {"parallel apart", pt(0, 0), pt(10, 0), pt(0, 5), pt(10, 5), 0.01, 3, 0, 0},
        {"shared end a2=b1", pt(0, 0), pt(10, 0), pt(10, 0), pt(20, 5), 0.01, 0, 10, 0},
        {"shared end a1=b2", pt(0, 0), pt(10, 0), pt(3, 4), pt(0, 0), 0.01, 0, 0, 0},
        {"collinear overlap", pt(0, 0), pt(10, 0), pt(5, 0), pt(20, 0), 0.01, 0, 5, 0},
        {"collinear overlap via b2", pt(0, 0), pt(10, 0), pt(20, 0), pt(5, 0), 0.01, 0, 5, 0},
        {"collinear disjoint", pt(0, 0), pt(10, 0), pt(11, 0), pt(20, 0), 0.01, 3, 0, 0},
        {"both vertical apart", pt(0, 0), pt(0, 10), pt(1, 0), pt(1, 10), 0.01, 3, 0, 0},
        {"both vertical overlap", pt(0, 0), pt(0, 10), pt(0, 5), pt(0, 20), 0.01, 0, 0, 5},
        {"a vertical", pt(2, -5), pt(2, 5), pt(0, 0), pt(4, 2), 0.01, 0, 2, 1},
        {"b vertical", pt(0, 0), pt(4, 2), pt(2, -5), pt(2, 5), 0.01, 0, 2, 1},
        {"a horizontal", pt(-5, 1), pt(5, 1), pt(0, 0), pt(4, 2), 0.01, 0, 2, 1},
        {"b horizontal", pt(0, 0), pt(4, 2), pt(-5, 1), pt(5, 1), 0.01, 0, 2, 1},
        {"T at b1 inside a", pt(0, 0), pt(10, 0), pt(4, 0), pt(4, 5), 0.01, 0, 4, 0},
        // The crossing (10.5, 0) lies exactly at a's grown bound: included.
        {"at grown bound", pt(0, 0), pt(10, 0), pt(10.5, -1), pt(10.5, 1), 0.5, 0, 10.5, 0},
        {"past grown bound", pt(0, 0), pt(10, 0), pt(10.75, -1), pt(10.75, 1), 0.5, 4, 10.75, 0}};
    for (const CrossCase& c : cases) {
        SCOPED_TRACE(c.name);
        point_t out = pt(-99, -99, 7);
        EXPECT_EQ(relation_lines_cross_by_permit(&out, c.a1, c.a2, c.b1, c.b2, c.permit), c.code);
        if (c.code == 0 || c.code == 4) {
            EXPECT_NEAR(out.x, c.x, 1e-9);
            EXPECT_NEAR(out.y, c.y, 1e-9);
        }
    }
}

TEST(LinesCross, SameSegmentLeavesOutUntouchedAndComputedPointKeepsCode) {
    point_t out = pt(-1, -2, 7);
    EXPECT_EQ(relation_lines_cross(&out, pt(0, 0), pt(10, 0), pt(10, 0), pt(0, 0)), 5);
    EXPECT_EQ(relation_lines_cross(&out, pt(0, 0), pt(10, 0), pt(0, 0), pt(10, 0)), 5);
    EXPECT_EQ(out.x, -1);
    EXPECT_EQ(out.y, -2);
    EXPECT_EQ(relation_lines_cross(&out, pt(0, 0), pt(10, 10), pt(0, 10), pt(10, 0)), 0);
    EXPECT_EQ(out.z, 7);  // only x and y of a computed crossing are written
    // A shared endpoint is copied whole.
    EXPECT_EQ(relation_lines_cross(&out, pt(1, 1, 3), pt(5, 1), pt(1, 1), pt(1, 9)), 0);
    EXPECT_EQ(out.z, 3);
}

struct LineCase {
    point_t p, a, b;
    double permit;
    int code;
};

// Each case is also checked with the segment reversed, where left and right exchange. Cases cover
// the horizontal, vertical, rising and falling branches, on / on the line outside / left / right,
// and the band edges: the distance to the line is inclusive, the grown box strict. A zero-length
// segment takes the vertical branch.
TEST(PointAtLine, CodesForEveryBranchAndDirection) {
    const LineCase cases[] = {
        {pt(5, 0), pt(0, 0), pt(10, 0), 0.01, 0},       {pt(15, 0), pt(0, 0), pt(10, 0), 0.01, 1},
        {pt(5, 1), pt(0, 0), pt(10, 0), 0.01, 2},       {pt(5, -1), pt(0, 0), pt(10, 0), 0.01, 3},
        {pt(0, 5), pt(0, 0), pt(0, 10), 0.01, 0},       {pt(0, -3), pt(0, 0), pt(0, 10), 0.01, 1},
        {pt(-1, 5), pt(0, 0), pt(0, 10), 0.01, 2},      {pt(1, 5), pt(0, 0), pt(0, 10), 0.01, 3},
        {pt(5, 5), pt(0, 0), pt(10, 10), 0.01, 0},      {pt(12, 12), pt(0, 0), pt(10, 10), 0.01, 1},
        {pt(0, 5), pt(0, 0), pt(10, 10), 0.01, 2},      {pt(5, 0), pt(0, 0), pt(10, 10), 0.01, 3},
        {pt(5, 5), pt(0, 10), pt(10, 0), 0.01, 0},      {pt(-2, 12), pt(0, 10), pt(10, 0), 0.01, 1},
        {pt(10, 10), pt(0, 10), pt(10, 0), 0.01, 2},    {pt(0, 0), pt(0, 10), pt(10, 0), 0.01, 3},
        {pt(10.25, 0), pt(0, 0), pt(10, 0), 0.5, 0},    {pt(10.5, 0), pt(0, 0), pt(10, 0), 0.5, 1},
        {pt(5, 0.5), pt(0, 0), pt(10, 0), 0.5, 0},      {pt(5, 0.75), pt(0, 0), pt(10, 0), 0.5, 2},
        {pt(0.5, -0.5), pt(0, 0), pt(0, 10), 0.5, 1},   {pt(0.5, 0), pt(0, 0), pt(0, 10), 0.5, 0},
        {pt(10.5, 10.5), pt(0, 0), pt(10, 10), 0.5, 1}, {pt(3, 3), pt(3, 3), pt(3, 3), 0.01, 0},
        {pt(3, 4), pt(3, 3), pt(3, 3), 0.01, 1}};
    for (const LineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "p (" << c.p.x << "," << c.p.y << ") a (" << c.a.x << ","
                                        << c.a.y << ") b (" << c.b.x << "," << c.b.y << ")");
        EXPECT_EQ(relation_point_at_line(c.p, c.a, c.b, c.permit), c.code);
        int reversed = c.code == 2 ? 3 : c.code == 3 ? 2 : c.code;
        EXPECT_EQ(relation_point_at_line(c.p, c.b, c.a, c.permit), reversed);
    }
    // With a == b the side is 3 left of the point and 2 elsewhere.
    EXPECT_EQ(relation_point_at_line(pt(2, 3), pt(3, 3), pt(3, 3), 0.01), 3);
    EXPECT_EQ(relation_point_at_line(pt(4, 3), pt(3, 3), pt(3, 3), 0.01), 2);
}

TEST(PointAtPolyline, VertexBeforeSegmentAndIndex) {
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
}

TEST(PointAtTriangle, SameAnswerForBothOrientations) {
    const struct {
        point_t p;
        int code;
    } cases[] = {{pt(2, 1), 0}, {pt(0, 0), 0}, {pt(2, 0), 0}, {pt(5, 5), 1}, {pt(8, 0), 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(relation_point_at_triangle(c.p, pt(0, 0), pt(6, 0), pt(0, 6), 0.01), c.code);
        EXPECT_EQ(relation_point_at_triangle(c.p, pt(0, 6), pt(6, 0), pt(0, 0), 0.01), c.code);
    }
}

}  // namespace
