// How two extents lie: identical, one within the other, intersecting, or disjoint.
#include "mapgeom/relation.h"

namespace {

bool within(const rectangle_t& inner, const rectangle_t& outer) {
    return inner.min_x >= outer.min_x && inner.max_x <= outer.max_x && inner.min_y >= outer.min_y &&
           inner.max_y <= outer.max_y;
}

// Closed rectangles meet exactly when both their x ranges and their y ranges overlap: then either
// a corner of one lies in the other or they cross, one spanning the other's width and the other
// its height.
bool closed_ranges_overlap(const rectangle_t& a, const rectangle_t& b) {
    return a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y && b.min_y <= a.max_y;
}

}  // namespace

int relation_rect_and_rect(rectangle_t a, rectangle_t b) {
    if (a.min_x == b.min_x && a.max_x == b.max_x && a.min_y == b.min_y && a.max_y == b.max_y)
        return 4;
    if (within(a, b))
        return 3;
    if (within(b, a))
        return 2;
    return closed_ranges_overlap(a, b) ? 1 : 0;
}
