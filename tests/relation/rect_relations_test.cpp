// Point-in-rectangle bands and rectangle-to-rectangle codes.
#include <gtest/gtest.h>

#include "mapgeom/relation.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

TEST(PointAtRect, BandsAtTheirExactEdges) {
    const point_t upper_left = pt(0, 10);
    const point_t lower_right = pt(20, 0);
    const struct {
        point_t p;
        int code;
    } cases[] = {{pt(10, 5), 0},      {pt(0.5, 5), 2},    {pt(0.75, 5), 0},   {pt(-0.5, 5), 2},
                 {pt(-0.75, 5), 1},   {pt(20.5, 5), 2},   {pt(20.75, 5), 1},  {pt(10, 9.5), 2},
                 {pt(10, 10.5), 2},   {pt(10, 10.75), 1}, {pt(10, -0.75), 1}, {pt(10, 0.5), 2},
                 {pt(19.25, 0.75), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(relation_point_at_rect(c.p, upper_left, lower_right, 0.5), c.code)
            << "(" << c.p.x << ", " << c.p.y << ")";
}

rectangle_t rect(double min_x, double max_x, double min_y, double max_y) {
    return rectangle_t{min_y, max_y, min_x, max_x};
}

TEST(RectAndRect, CodesInTheirOrder) {
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
        SCOPED_TRACE(c.name);
        EXPECT_EQ(relation_rect_and_rect(a, c.b), c.code);
        int swapped = c.code == 2 ? 3 : c.code == 3 ? 2 : c.code;
        EXPECT_EQ(relation_rect_and_rect(c.b, a), swapped);
    }
}

}  // namespace
