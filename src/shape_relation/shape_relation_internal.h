// Pieces shared by the shape-to-shape relations: containment from a first vertex, and the reduction
// of polyline-against-polygon crossing records to one code.
#ifndef MAPGEOM_SRC_SHAPE_RELATION_SHAPE_RELATION_INTERNAL_H
#define MAPGEOM_SRC_SHAPE_RELATION_SHAPE_RELATION_INTERNAL_H

#include "com/codes.h"
#include "com/owned.h"
#include "mapgeom/com.h"
#include "mapgeom/relation.h"

namespace mapgeom {

// Whether the ring lies inside the container where the boundaries do not meet: its first point
// inside it (relation_point_at_polygon). A first point the location puts on the container's
// boundary (within its permit, where the crossing search, with its finer tolerance, found no
// meeting) tells nothing: the first vertex off that boundary decides instead, or the ring counts
// as not inside when every vertex lies on it. (Read off the first point alone, a ring inside
// another and touching its edge there came out as lying apart.)
inline bool first_point_inside(const polygon_t* ring, const polygon_t* container) {
    for (int i = 0; i < ring->geom.count; ++i) {
        const int code = relation_point_at_polygon(container, ring->geom.points[i]);
        if (code == kPointInside || code == kPointOutside)
            return code == kPointInside;
    }
    return false;
}

// Computes the crossing records of `line` and `polygon` (both changed as
// calc_polyline_and_polygon_crosspts changes them, records appended to `crossings`) and reduces the
// records this call added to a relation code: 0 crosses, 1 inside (or first point on the boundary)
// without records, 2 outside without records, 3 inside touching or running along, 4 outside
// touching. Without records, the line's first point decides (a line without points is outside).
int relate_polyline_to_polygon(polyline_t* line, polygon_t* polygon, crosspts_t* crossings);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_SHAPE_RELATION_SHAPE_RELATION_INTERNAL_H
