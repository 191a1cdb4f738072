// Constants and small inline pieces shared by the measures and the relation predicates.
#ifndef MAPGEOM_SRC_MEASURE_MEASURE_INTERNAL_H
#define MAPGEOM_SRC_MEASURE_MEASURE_INTERNAL_H

#include <algorithm>
#include <cmath>

#include "com/tolerances.h"
#include "mapgeom/com.h"

namespace mapgeom {

inline double square(double value) {
    return value * value;
}

inline double plane_distance(point_t a, point_t b) {
    return std::sqrt(square(a.x - b.x) + square(a.y - b.y));
}

// The box of a segment grown by a band on every side.
struct GrownBox {
    double min_x;
    double max_x;
    double min_y;
    double max_y;

    bool contains_inclusive(double x, double y) const {
        return x >= min_x && x <= max_x && y >= min_y && y <= max_y;
    }
    bool contains_x_inclusive(double x) const { return x >= min_x && x <= max_x; }
    bool contains_y_inclusive(double y) const { return y >= min_y && y <= max_y; }
    bool contains_x_strict(double x) const { return x > min_x && x < max_x; }
    bool contains_y_strict(double y) const { return y > min_y && y < max_y; }
};

inline GrownBox grown_box(point_t a, point_t b, double band) {
    return GrownBox{std::min(a.x, b.x) - band, std::max(a.x, b.x) + band, std::min(a.y, b.y) - band,
                    std::max(a.y, b.y) + band};
}

inline bool is_near_vertical(point_t a, point_t b) {
    return std::fabs(b.x - a.x) < kDirectionTolerance;
}

inline bool is_near_horizontal(point_t a, point_t b) {
    return std::fabs(b.y - a.y) < kDirectionTolerance;
}

// Foot of the perpendicular from p on the line through a and b, which must be neither
// near-vertical nor near-horizontal (so the slope and its normal are finite and distinct). The y
// of the foot comes from the line equation for shallow lines and from the two line constants for
// steep ones, whichever loses less precision. Code 0.
inline point_t foot_on_sloped_line(point_t p, point_t a, point_t b) {
    double k = (b.y - a.y) / (b.x - a.x);
    double k2 = -1.0 / k;
    double c1 = a.y - a.x * k;
    double c2 = p.y - p.x * k2;
    double x = (c1 - c2) / (k2 - k);
    double y = std::fabs(k) < 1.0 ? x * k + c1 : (k * c2 - k2 * c1) / (k - k2);
    return point_t{x, y, 0.0};
}

// relation_point_at_line: 0 p on the segment a->b (within permit of its line, strictly inside its
// box grown by permit), 1 on its line outside it, 2 left of the line, 3 right of it.
int point_at_segment(point_t p, point_t a, point_t b, double permit);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_MEASURE_MEASURE_INTERNAL_H
