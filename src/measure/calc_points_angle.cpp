// The angle at a vertex, in degrees, by the law of cosines.
#include <cmath>

#include "mapgeom/measure.h"
#include "measure_internal.h"

double calc_points_angle(point_t a, point_t b, point_t c) {
    double p = mapgeom::plane_distance(a, b);
    double q = mapgeom::plane_distance(c, b);
    double r = mapgeom::plane_distance(c, a);
    double cosine = (p * p + q * q - r * r) / (2.0 * p * q);
    // Rounding can carry the cosine just past +-1. Plain comparisons (not fmin/fmax) let a NaN
    // from a zero-length arm through, so callers see "no angle" rather than 0 or 180.
    if (cosine > 1.0)
        cosine = 1.0;
    if (cosine < -1.0)
        cosine = -1.0;
    return 180.0 * std::acos(cosine) / mapgeom::kPi;
}
