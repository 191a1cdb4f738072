// Plane distance between two points.
#include "mapgeom/measure.h"
#include "measure_internal.h"

double calc_points_distance(point_t a, point_t b) {
    return mapgeom::plane_distance(a, b);
}
