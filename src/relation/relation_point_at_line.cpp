// Where a point lies with respect to a directed segment: the measures' segment side test.
#include "mapgeom/relation.h"
#include "measure/measure_internal.h"

int relation_point_at_line(point_t p, point_t a, point_t b, double permit) {
    return mapgeom::point_at_segment(p, a, b, permit);
}
