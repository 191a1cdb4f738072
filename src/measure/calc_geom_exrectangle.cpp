// Extent of a point array.
#include "mapgeom/measure.h"

rectangle_t calc_geom_exrectangle(const geom_t* geom) {
    point_t first = com_geom_front(geom);  // stops the process on an empty array
    rectangle_t rect{first.y, first.y, first.x, first.x};
    for (int i = 1; i < geom->count; ++i) {
        const point_t& pt = geom->points[i];
        if (pt.x < rect.min_x)
            rect.min_x = pt.x;
        if (pt.x > rect.max_x)
            rect.max_x = pt.x;
        if (pt.y < rect.min_y)
            rect.min_y = pt.y;
        if (pt.y > rect.max_y)
            rect.max_y = pt.y;
    }
    return rect;
}
