// Bezier smoothing of a polyline: not provided. The entry point exists for hosts that bind it; it
// writes nothing and says so through its result.
#include "mapgeom/optimize.h"

int optimize_polyline_bezier(const polyline_t* /*line*/, double /*parameter*/,
                             polyline_t* /*out*/) {
    return -1;
}
