// Turning rings counter-clockwise, the orientation the crossing kinds and the walks assume.
#ifndef MAPGEOM_SRC_RELATION_ORIENTATION_H
#define MAPGEOM_SRC_RELATION_ORIENTATION_H

#include "mapgeom/com.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"

namespace mapgeom {

// Reverses the ring when relation_polygon_direction finds it clockwise.
inline void make_counter_clockwise(polygon_t* ring) {
    if (relation_polygon_direction(ring) != 0)
        com_polygon_reverse(ring);
}

// Removes repeated points (optimize_polygon_del_repeatpts: coordinates snapped to whole units)
// and turns the ring counter-clockwise.
inline void clean_and_orient(polygon_t* ring) {
    optimize_polygon_del_repeatpts(ring);
    make_counter_clockwise(ring);
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_ORIENTATION_H
