// Extent of a polyline.
#include "mapgeom/measure.h"

rectangle_t calc_polyline_exrectangle(const polyline_t* polyline) {
    return calc_geom_exrectangle(&polyline->geom);
}
