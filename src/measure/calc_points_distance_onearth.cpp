// Distance on the earth between two points in map units, in metres (see earth_distance.h).
#include "earth_distance.h"
#include "mapgeom/measure.h"

double calc_points_distance_onearth(point_t a, point_t b) {
    return mapgeom::earth_distance(a.x, a.y, b.x, b.y);
}
