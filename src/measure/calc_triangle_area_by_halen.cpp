// Unsigned area of a triangle on the earth, in square metres, by Heron's formula.
#include <cmath>

#include "mapgeom/measure.h"

double calc_triangle_area_by_halen(point_t a, point_t b, point_t c) {
    double l1 = calc_points_distance_onearth(a, b);
    double l2 = calc_points_distance_onearth(c, b);
    double l3 = calc_points_distance_onearth(c, a);
    double s = 0.5 * (l1 + l2 + l3);
    // Rounding can make the product slightly negative for a flat triangle.
    return std::sqrt(std::fabs(s * (s - l1) * (s - l2) * (s - l3)));
}
