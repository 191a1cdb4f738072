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

// Press markers back after a cut: the inverse of transform_press_end_released for a ring read from
// its first stored point to its closing point, without wrapping. Each run of code-1 points and the
// code-0 point after it becomes a section again: the run's first point gets code 2, its other
// points code 0 and the point after it code 3 (hundreds kept throughout). A run still open at the
// closing point has no code-3 end: it continues into the ring's first point. Points outside every
// run keep their codes.
void transform_polygon_press(polygon_t* ring);

// transform_polygon_press on every ring of the list.
void transform_polygons_press(polygons_t* list);

// How far the self-intersection repair goes before it delivers what still touches or crosses
// itself as it stands: passes in one line of descent, and passes in one call (min_passes plus
// passes_per_vertex per vertex of the cleaned ring).
struct RepairBounds {
    int max_pass_depth;
    int min_passes;
    int passes_per_vertex;
};

// The bounds of error_polygon_process. Real rings settle within three passes in a line (the later
// ones mend contacts that snapping crossing points to whole units made).
constexpr RepairBounds kRepairBounds{8, 64, 4};

// error_polygon_process under the given bounds.
int repair_self_contacts(const polygon_t* polygon, polygons_t* out, RepairBounds bounds);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
