// Where a point lies with respect to an axis-aligned rectangle given by two corners, with a band
// of the permit's width around each side.
#include "mapgeom/relation.h"

int relation_point_at_rect(point_t p, point_t upper_left, point_t lower_right, double permit) {
    bool outside = p.x < upper_left.x - permit || p.x > lower_right.x + permit ||
                   p.y < lower_right.y - permit || p.y > upper_left.y + permit;
    if (outside)
        return 1;
    bool inside = upper_left.x + permit < p.x && p.x < lower_right.x - permit &&
                  lower_right.y + permit < p.y && p.y < upper_left.y - permit;
    return inside ? 0 : 2;
}
