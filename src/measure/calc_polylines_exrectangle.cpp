// Extent of a list of borders.
#include <algorithm>

#include "com/check.h"
#include "mapgeom/measure.h"

// Joining borders into a ring only drops end points that repeat another, so the extent of the
// joined ring is that of all the borders' points, and needs no join (nor a ring to release).
rectangle_t calc_polylines_exrectangle(const polylines_t* polylines) {
    MAPGEOM_CHECK(polylines != nullptr);
    const polyline_node_t* node = polylines->head;
    while (node != nullptr && node->polyline.geom.count == 0)
        node = node->next;
    MAPGEOM_CHECK(node != nullptr);  // an extent needs a point
    rectangle_t rect = calc_polyline_exrectangle(&node->polyline);
    for (node = node->next; node != nullptr; node = node->next) {
        if (node->polyline.geom.count == 0)
            continue;
        rectangle_t part = calc_polyline_exrectangle(&node->polyline);
        rect.min_x = std::min(rect.min_x, part.min_x);
        rect.max_x = std::max(rect.max_x, part.max_x);
        rect.min_y = std::min(rect.min_y, part.min_y);
        rect.max_y = std::max(rect.max_y, part.max_y);
    }
    return rect;
}
