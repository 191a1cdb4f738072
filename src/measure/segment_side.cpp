// Where a point lies with respect to a directed segment (relation_point_at_line): on it, on its
// line outside it, left or right (x to the right, y up). The measures ask it too, so it lives here,
// below the relations.
//
// Near-vertical and near-horizontal segments are judged by one coordinate; sloped ones by the
// distance to the perpendicular foot. "On" needs the point strictly inside the segment's box grown
// by the permit, so a point exactly at the grown bound counts as outside the segment (code 1).
#include <cmath>

#include "measure/measure_internal.h"

namespace {

constexpr int kOnSegment = 0;
constexpr int kOnLineOutside = 1;
constexpr int kLeft = 2;
constexpr int kRight = 3;

int side_of_vertical(point_t p, point_t a, point_t b) {
    if (a.y < b.y)
        return p.x < a.x ? kLeft : kRight;
    return p.x < a.x ? kRight : kLeft;
}

int side_of_horizontal(point_t p, point_t a, point_t b) {
    if (a.x < b.x)
        return a.y < p.y ? kLeft : kRight;
    return a.y < p.y ? kRight : kLeft;
}

// v = p.x k - p.y + c is negative above the line y = k x + c; which side is "left" depends on the
// slope's sign and the direction of travel.
int side_of_sloped(point_t p, point_t a, point_t b, double k, double c) {
    double v = p.x * k - p.y + c;
    bool upward = a.y <= b.y;
    if (k > 0.0) {
        if (upward)
            return v < 0.0 ? kLeft : kRight;
        return v < 0.0 ? kRight : kLeft;
    }
    if (upward)
        return v > 0.0 ? kLeft : kRight;
    return v > 0.0 ? kRight : kLeft;
}

}  // namespace

namespace mapgeom {

int point_at_segment(point_t p, point_t a, point_t b, double permit) {
    GrownBox box = grown_box(a, b, permit);
    if (is_near_vertical(a, b)) {
        if (std::fabs(p.x - b.x) <= permit)
            return box.contains_y_strict(p.y) ? kOnSegment : kOnLineOutside;
        return side_of_vertical(p, a, b);
    }
    if (is_near_horizontal(a, b)) {
        if (std::fabs(p.y - a.y) <= permit)
            return box.contains_x_strict(p.x) ? kOnSegment : kOnLineOutside;
        return side_of_horizontal(p, a, b);
    }
    double k = (b.y - a.y) / (b.x - a.x);
    double c = b.y - b.x * k;
    double k2 = -1.0 / k;
    double c2 = p.y - p.x * k2;
    point_t foot{(c - c2) / (k2 - k), (c * k2 - c2 * k) / (k2 - k), 0.0};
    if (plane_distance(p, foot) <= permit) {
        bool inside = box.contains_x_strict(p.x) && box.contains_y_strict(p.y);
        return inside ? kOnSegment : kOnLineOutside;
    }
    return side_of_sloped(p, a, b, k, c);
}

}  // namespace mapgeom
