// Library-internal side of the validity checks: the polygon check with its self-contact sweep taken
// window by window, as the check defines it, the reference its faster sweep is tested against; and
// the check asked only whether a polygon is faulty.
#ifndef MAPGEOM_SRC_RELATION_VALIDITY_H
#define MAPGEOM_SRC_RELATION_VALIDITY_H

#include "mapgeom/com.h"

namespace mapgeom {

// relation_polygon_iserror with each edge compared with the edges at every point of its widened x
// window in turn (near n squared where many points share nearly the same x); the same codes.
int polygon_iserror_by_windows(const polygon_t* polygon);

// relation_polygon_iserror(polygon) != 0, sooner: the sweep sorts equal x in any order, which only
// decides which contact is found first (and so between codes 1 and 2).
bool polygon_is_faulty(const polygon_t* polygon);

// polygon_is_faulty for a ring known not to lie on one line (is_allpoints_at_line nonzero, as the
// clean-up of clip pieces leaves them): that test is not made again.
bool polygon_off_one_line_is_faulty(const polygon_t* polygon);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_VALIDITY_H
