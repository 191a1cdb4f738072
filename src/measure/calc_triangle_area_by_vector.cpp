// Signed plane area of a triangle (positive when clockwise with the y axis up).
#include "mapgeom/measure.h"

double calc_triangle_area_by_vector(point_t a, point_t b, point_t c) {
    return 0.5 * (a.x * (c.y - b.y) + b.x * (a.y - c.y) + c.x * (b.y - a.y));
}
