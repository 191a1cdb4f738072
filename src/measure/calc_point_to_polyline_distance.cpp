// The point of a polyline nearest to a given point: a vertex or a perpendicular foot on a segment.
#include "mapgeom/measure.h"
#include "measure_internal.h"

point_t calc_point_to_polyline_distance(const polyline_t* line, point_t p) {
    using namespace mapgeom;
    point_t best = com_polyline_front(line);  // stops the process on an empty polyline
    double best_distance = plane_distance(best, p);
    const point_t* points = line->geom.points;
    for (int i = 0; i + 1 < line->geom.count; ++i) {
        point_t a = points[i];
        point_t b = points[i + 1];
        double to_end = plane_distance(b, p);
        if (to_end < best_distance) {
            best = b;
            best_distance = to_end;
        }
        point_t foot = calc_point_to_line_apeakpt(p, a, b);
        if (point_at_segment(foot, a, b, kDefaultPermit) != 0)
            continue;
        double to_foot = plane_distance(foot, p);
        if (to_foot < best_distance) {
            best = foot;
            best_distance = to_foot;
        }
    }
    return best;
}
