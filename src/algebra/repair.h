// Bounds of the self-intersection repair, and the repair under given bounds.
#ifndef MAPGEOM_SRC_ALGEBRA_REPAIR_H
#define MAPGEOM_SRC_ALGEBRA_REPAIR_H

#include "mapgeom/com.h"

namespace mapgeom {

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

#endif  // MAPGEOM_SRC_ALGEBRA_REPAIR_H
