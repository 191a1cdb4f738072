/* The plain-named crossing functions are callable from C: this unit compiles the public headers as
 * C and calls each entry point with null records, which must be ignored. */
#include "mapgeom/algebra.h"
#include "mapgeom/crosspoint.h"

int mapgeom_c_call_with_null_records(void) {
    calc_polygons_crosspts(0, 0, 0);
    calc_polygon_and_polygon_crosspts(0, 0, 0);
    calc_polyline_and_polygon_crosspts(0, 0, 0);
    calc_polylines_crosspts(0, 0, 0);
    return find_all_crosspts(0, 0, 0) + find_all_polyline_crosspts(0, 0, 0) +
           find_all_polygon_crosspts(0, 0, 0);
}
