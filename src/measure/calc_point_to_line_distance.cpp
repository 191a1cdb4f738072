// Distance from a point to a segment: perpendicular when the foot falls within the segment's box
// grown by a band, otherwise to the nearer endpoint.
#include <algorithm>
#include <cmath>

#include "mapgeom/measure.h"
#include "measure_internal.h"

double calc_point_to_line_distance_by_permit(point_t p, point_t a, point_t b, double permit) {
    using namespace mapgeom;
    double nearer_end = std::min(plane_distance(p, a), plane_distance(p, b));
    GrownBox box = grown_box(a, b, permit);
    if (is_near_vertical(a, b))
        return box.contains_y_inclusive(p.y) ? std::fabs(b.x - p.x) : nearer_end;
    if (is_near_horizontal(a, b))
        return box.contains_x_inclusive(p.x) ? std::fabs(b.y - p.y) : nearer_end;
    point_t foot = foot_on_sloped_line(p, a, b);
    return box.contains_inclusive(foot.x, foot.y) ? plane_distance(foot, p) : nearer_end;
}

double calc_point_to_line_distance(point_t p, point_t a, point_t b) {
    return calc_point_to_line_distance_by_permit(p, a, b, mapgeom::kDefaultPermit);
}
