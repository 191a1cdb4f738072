// Pieces shared by the cleaning and shaping passes.
#ifndef MAPGEOM_SRC_OPTIMIZE_OPTIMIZE_INTERNAL_H
#define MAPGEOM_SRC_OPTIMIZE_OPTIMIZE_INTERNAL_H

#include "com/boundary.h"
#include "com/numeric.h"
#include "mapgeom/com.h"

namespace mapgeom {

// Rounds half away from zero to a whole number, saturating at the 32-bit range (NaN gives 0).
inline double snap_to_whole_unit(double value) {
    return static_cast<double>(truncate_to_int32(value > 0.0 ? value + 0.5 : value - 0.5));
}

inline void snap_point(point_t* pt) {
    pt->x = snap_to_whole_unit(pt->x);
    pt->y = snap_to_whole_unit(pt->y);
}

// Runs pass(&shape->geom) without letting an exception escape and returns count(shape) after it;
// a null shape is left alone and gives 0.
template <typename Shape, typename Pass, typename Count>
int run_cleaning_pass(Shape* shape, Pass pass, Count count) {
    if (shape == nullptr)
        return 0;
    return guarded(0, [&] {
        pass(&shape->geom);
        return count(shape);
    });
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_OPTIMIZE_OPTIMIZE_INTERNAL_H
