// Press codes of rings under an operation: the hundreds of a point code, the rewriting of press
// sections into the form a walk reads before it, and back into delivered sections after a cut.
#ifndef MAPGEOM_SRC_ALGEBRA_PRESS_CODES_H
#define MAPGEOM_SRC_ALGEBRA_PRESS_CODES_H

#include <cmath>

#include "com/codes.h"
#include "mapgeom/com.h"

namespace mapgeom {

// A point code without its press code: its hundreds and above.
inline double hundreds_of(double code) {
    return std::trunc(code / kNodeMarker) * kNodeMarker;
}

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

// Press markers back after a cut: the inverse of transform_press_end_released for a ring read from
// its first stored point to its closing point, without wrapping. Each run of code-1 points and the
// code-0 point after it becomes a section again: the run's first point gets code 2, its other
// points code 0 and the point after it code 3 (hundreds kept throughout). A run still open at the
// closing point has no code-3 end: it continues into the ring's first point. Points outside every
// run keep their codes.
void transform_polygon_press(polygon_t* ring);

// transform_polygon_press on every ring of the list.
void transform_polygons_press(polygons_t* list);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_PRESS_CODES_H
