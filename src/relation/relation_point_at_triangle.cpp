// Whether a point lies in a triangle of either orientation (boundary included).
#include "mapgeom/relation.h"

int relation_point_at_triangle(point_t p, point_t t1, point_t t2, point_t t3, double permit) {
    constexpr int kOnSegment = 0;
    constexpr int kLeft = 2;
    constexpr int kRight = 3;
    int r1 = relation_point_at_line(p, t1, t2, permit);
    if (r1 == kOnSegment)
        return 0;
    int r2 = relation_point_at_line(p, t2, t3, permit);
    if (r2 == kOnSegment)
        return 0;
    int r3 = relation_point_at_line(p, t3, t1, permit);
    if (r3 == kOnSegment)
        return 0;
    // Inside means the same side of all three edges: right for a clockwise triangle, left for a
    // counter-clockwise one.
    bool all_right = r1 == kRight && r2 == kRight && r3 == kRight;
    bool all_left = r1 == kLeft && r2 == kLeft && r3 == kLeft;
    return all_right || all_left ? 0 : 1;
}
