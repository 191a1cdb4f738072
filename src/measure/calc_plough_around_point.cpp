// Midpoint of two points (the third argument is accepted and ignored).
#include "mapgeom/measure.h"

point_t calc_plough_around_point(point_t a, point_t b, point_t /*c*/) {
    return point_t{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, 0.0};
}
