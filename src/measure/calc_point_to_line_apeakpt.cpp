// Foot of the perpendicular from a point to the infinite line through two points.
#include "mapgeom/measure.h"
#include "measure_internal.h"

point_t calc_point_to_line_apeakpt(point_t p, point_t a, point_t b) {
    // A near-vertical line (this includes a == b) or a near-horizontal one has no usable slope.
    if (mapgeom::is_near_vertical(a, b))
        return point_t{a.x, p.y, 0.0};
    if (mapgeom::is_near_horizontal(a, b))
        return point_t{p.x, a.y, 0.0};
    return mapgeom::foot_on_sloped_line(p, a, b);
}
