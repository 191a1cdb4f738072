// The area that an intersection or a difference covers, read from its result code and the rings
// the call appended. Rings that cross leave results without holes: every appended ring bounds area
// (counter-clockwise, positive). When nothing is appended the code says how the rings lie:
//   intersection  1, 4 A within B: A      2, 5 B within A: B           3, 6 apart: nothing
//   difference    1, 4 A within B: none   2, 5 B within A: A minus B   3, 6 apart: A
// (B within A leaves A with B as a hole, which the caller forms: area A minus area B.)
// When rings are appended their signed areas add up, whatever the code (5 with rings: B within A
// sharing boundary, where the rings are the result).
#ifndef MAPGEOM_TESTS_ALGEBRA_OVERLAY_AREA_H
#define MAPGEOM_TESTS_ALGEBRA_OVERLAY_AREA_H

#include "mapgeom/com.h"
#include "shapes.h"

namespace overlay_area {

enum class Operation { kIntersec, kDiffence };

// Signed plane area of the rings of `list` from index `first` on.
inline double rings_area(const polygons_t* list, int first) {
    double sum = 0.0;
    for (int k = first; k < com_polygons_num(list); ++k)
        sum += testing_shapes::plane_signed_area(&com_polygons_at_pointer(list, k)->geom);
    return sum;
}

// Area covered by a result; area_a and area_b are the input rings' areas.
inline double covered_area(Operation op, int code, double area_a, double area_b, int appended_rings,
                           double appended_area) {
    if (appended_rings > 0)
        return appended_area;
    bool a_within_b = code == 1 || code == 4;
    bool b_within_a = code == 2 || code == 5;
    if (op == Operation::kIntersec)
        return a_within_b ? area_a : b_within_a ? area_b : 0.0;
    return a_within_b ? 0.0 : b_within_a ? area_a - area_b : area_a;
}

}  // namespace overlay_area

#endif  // MAPGEOM_TESTS_ALGEBRA_OVERLAY_AREA_H
