// Overlay helpers shared by the overlay, clipping, repair and reduction units but not exported.
#ifndef MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
#define MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H

#include "mapgeom/com.h"

namespace mapgeom {

// Press-code normalisation before a walk. A press section is the stretch from a point with press
// code 2 to the next point with code 3, found by walking the ring from its first code-2 point and
// wrapping past the closing point. Every point of a section gets code 1 (the hundreds of its code
// kept), except its last point, which differs between the two variants below. Points outside
// every section, and a code-3 point that no code-2 point precedes, keep their codes. The ring's
// first point and its closing point end up with the same code.

// Union and graphic reduction: the last point of a section gets code 1 as well, so whole sections,
// both ends included, read as pressed.
void transform_press_ends_pressed(polygon_t* ring);

// Polygon-rectangle intersection, self-intersection repair and the decomposition through the
// external triangulator: the last point of a section gets code 0, so every edge of a section
// starts at a code-1 point.
void transform_press_end_released(polygon_t* ring);

// How the union's boundary walk ended: no vertex of A to start from, every ring closed, or stopped
// at the iteration bound with a ring unfinished (that ring is dropped).
enum class UnionWalkEnd { kNoStart, kDone, kIterationLimit };

struct UnionWalkResult {
    UnionWalkEnd end;
    // Sum of the signed plane areas of the closed rings as walked, before their points are snapped
    // to whole units, with coordinates taken relative to `origin` (which keeps the sums exact for
    // rings far from (0, 0)).
    double walked_area;
};

// The union's boundary walk over rings a and b, both counter-clockwise, whose crossings `list`
// holds as calc_polygons_crosspts leaves them. Appends each closed outline ring, cleaned and cut at
// repeated vertices, to out; the rings and the list are only read.
UnionWalkResult polygon_and_polygon_union(polygon_t* a, polygon_t* b, const crosspts_t* list,
                                          polygons_t* out, point_t origin);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
