/* A C host: the cleaning passes and the records they take are usable from C. */
#include "mapgeom/optimize.h"

int c_host_clean_ring(void) {
    point_t points[] = {{0, 0, 0}, {0.2, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 0, 0}};
    polygon_t ring = {{points, 5, 5}, 0};
    return optimize_polygon_del_repeatpts(&ring) * 10 + ring.geom.count;
}
