// Extent of a polygon.
#include "mapgeom/measure.h"

rectangle_t calc_polygon_exrectangle(const polygon_t* polygon) {
    return calc_geom_exrectangle(&polygon->geom);
}
