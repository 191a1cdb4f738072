// Pieces shared by the shape-to-shape relations: containment from a first point, and the reduction
// of polyline-against-polygon crossing records to one code.
#ifndef MAPGEOM_SRC_SHAPE_RELATION_SHAPE_RELATION_INTERNAL_H
#define MAPGEOM_SRC_SHAPE_RELATION_SHAPE_RELATION_INTERNAL_H

#include "com/codes.h"
#include "com/owned.h"
#include "mapgeom/com.h"
#include "mapgeom/relation.h"

namespace mapgeom {

// Whether the ring's first point lies inside the container (relation_point_at_polygon): how the
// shape relations tell containment where the boundaries do not meet.
inline bool first_point_inside(const polygon_t* ring, const polygon_t* container) {
    return ring->geom.count > 0 &&
           relation_point_at_polygon(container, com_polygon_front(ring)) == kPointInside;
}

// Computes the crossing records of `line` and `polygon` (both changed as
// calc_polyline_and_polygon_crosspts changes them, records appended to `crossings`) and reduces the
// records this call added to a relation code: 0 crosses, 1 inside (or first point on the boundary)
// without records, 2 outside without records, 3 inside touching or running along, 4 outside
// touching. Without records, the line's first point decides (a line without points is outside).
int relate_polyline_to_polygon(polyline_t* line, polygon_t* polygon, crosspts_t* crossings);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_SHAPE_RELATION_SHAPE_RELATION_INTERNAL_H
