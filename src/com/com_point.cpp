// Point coincidence within a tolerance: the library's single notion of "the same point".
#include <cmath>

#include "mapgeom/com.h"
#include "tolerances.h"

// Strict comparison: a difference of exactly the tolerance, or NaN, counts as different.
int com_points_same_permit(point_t a, point_t b, double permit) {
    bool same = std::fabs(a.x - b.x) < permit && std::fabs(a.y - b.y) < permit;
    return same ? 0 : 1;
}

int com_points_same(point_t a, point_t b) {
    return com_points_same_permit(a, b, mapgeom::kSamePoint);
}
