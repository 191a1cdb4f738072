// Whether and where two segments meet: the inline test of lines_cross.h behind the plain entry
// points.
//
// Codes: the same segment (5); a shared endpoint (0); parallel or both near-vertical (0 when an
// endpoint of b lies on a, else 3); otherwise the carrying lines' crossing, which counts (0) when
// it lies within both segments' boxes grown by the permit, and else is reported as 4.
#include "mapgeom/relation.h"
#include "relation/lines_cross.h"

int relation_lines_cross_by_permit(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2,
                                   double permit) {
    point_t scratch;
    return mapgeom::lines_cross_code(out == nullptr ? &scratch : out, a1, a2, b1, b2, permit);
}

int relation_lines_cross(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2) {
    return relation_lines_cross_by_permit(out, a1, a2, b1, b2, mapgeom::kDefaultPermit);
}
