// The area an overlay result covers, read from its code and the rings the call appended. Appended
// rings keep the covered area on their left (holes run clockwise), so their signed areas add up,
// whatever the code. With nothing appended the code says how the rings lie:
//   union         1 A within B: B    2 B within A: A            3 apart: A + B
//   intersection  1, 4 A within B: A 2, 5 B within A: B         3, 6 apart: nothing
//   difference    1, 4 A within B: - 2, 5 B within A: A - B     3, 6 apart: A
#ifndef MAPGEOM_TESTS_ALGEBRA_OVERLAY_AREA_H
#define MAPGEOM_TESTS_ALGEBRA_OVERLAY_AREA_H

#include "mapgeom/algebra.h"
#include "ring_checks.h"

namespace overlay_area {

enum class Operation { kUnion, kIntersec, kDiffence };

inline const char* name_of(Operation op) {
    return op == Operation::kUnion      ? "union"
           : op == Operation::kIntersec ? "intersection"
                                        : "difference";
}

inline int call(Operation op, polygon_t* a, polygon_t* b, polygons_t* out) {
    return op == Operation::kUnion      ? algebra_polygons_union(a, b, out)
           : op == Operation::kIntersec ? algebra_polygons_intersec(a, b, out)
                                        : algebra_polygons_diffence(a, b, out);
}

// Area covered by a result; area_a and area_b are the input rings' (absolute) areas.
inline double covered_area(Operation op, int code, double area_a, double area_b, int appended_rings,
                           double appended_area) {
    if (appended_rings > 0)
        return appended_area;
    bool a_within_b = code == 1 || code == 4, b_within_a = code == 2 || code == 5;
    if (op == Operation::kUnion)
        return a_within_b ? area_b : b_within_a ? area_a : area_a + area_b;
    if (op == Operation::kIntersec)
        return a_within_b ? area_a : b_within_a ? area_b : 0.0;
    return a_within_b ? 0.0 : b_within_a ? area_a - area_b : area_a;
}

}  // namespace overlay_area

#endif  // MAPGEOM_TESTS_ALGEBRA_OVERLAY_AREA_H
