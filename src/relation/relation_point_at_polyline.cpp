// Whether a point coincides with a vertex of a polyline or lies on one of its segments.
#include "mapgeom/relation.h"

int relation_point_at_polyline(const polyline_t* line, int* index, point_t p, double permit) {
    int scratch = -1;
    if (index == nullptr)
        index = &scratch;
    *index = -1;
    const point_t* points = line->geom.points;
    int count = line->geom.count;
    // Every vertex is tried before any segment, so a point near a vertex reports the vertex.
    for (int i = 0; i < count; ++i) {
        if (com_points_same_permit(points[i], p, permit) == 0) {
            *index = i;
            return 1;
        }
    }
    for (int i = 0; i + 1 < count; ++i) {
        if (relation_point_at_line(p, points[i], points[i + 1], permit) == 0) {
            *index = i;
            return 2;
        }
    }
    return 0;
}
