// Earth length of a polyline: the sum of its segments' earth distances, with the same formula as
// calc_points_distance_onearth.
#include "mapgeom/partition.h"
#include "measure/earth_distance.h"

double calc_polyline_perimeter(polyline_t* polyline) {
    if (polyline == nullptr || polyline->geom.points == nullptr)
        return 0.0;
    const point_t* points = polyline->geom.points;
    double length = 0.0;
    for (int k = 1; k < polyline->geom.count; ++k)
        length +=
            mapgeom::earth_distance(points[k - 1].x, points[k - 1].y, points[k].x, points[k].y);
    return length;
}
