// Whether and where two segments meet.
//
// Order of the tests: the same segment (5); a shared endpoint (0); parallel or both near-vertical
// (0 when an endpoint of b lies on a, else 3); otherwise the carrying lines' crossing, which counts
// (0) when it lies within both segments' boxes grown by the permit, and else is reported as 4.
#include <cmath>

#include "com/tolerances.h"
#include "mapgeom/relation.h"
#include "measure/measure_internal.h"

namespace {

using mapgeom::kDirectionTolerance;

// com_points_same and com_line_same, worked out in place: this test runs for every pair of
// segments the crossing searches and the validity sweep propose, and a call into another unit
// for each point comparison costs more than the comparison.
bool points_same(point_t a, point_t b) {
    return std::fabs(a.x - b.x) < mapgeom::kSamePoint && std::fabs(a.y - b.y) < mapgeom::kSamePoint;
}

bool segments_same(point_t a1, point_t a2, point_t b1, point_t b2) {
    return (points_same(a1, b1) && points_same(a2, b2)) ||
           (points_same(a1, b2) && points_same(a2, b1));
}

// Crossing point of the carrying lines of a and b, which are known not to be parallel.
// Near-vertical and near-horizontal lines are taken exactly as vertical / horizontal, so the point
// lies on them.
void carrying_lines_crossing(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2,
                             double ka, double kb) {
    double dxa = a2.x - a1.x;
    double dxb = b2.x - b1.x;
    if (std::fabs(dxa) < kDirectionTolerance) {
        out->x = a1.x;
        out->y = b1.y + (out->x - b1.x) * kb;
    } else if (std::fabs(dxb) < kDirectionTolerance) {
        out->x = b1.x;
        out->y = a1.y + (out->x - a1.x) * ka;
    } else if (std::fabs(a2.y - a1.y) < kDirectionTolerance) {
        out->y = a1.y;
        out->x = (out->y - (b1.y - b1.x * kb)) / kb;
    } else if (std::fabs(b2.y - b1.y) < kDirectionTolerance) {
        out->y = b1.y;
        out->x = (out->y - (a1.y - a1.x * ka)) / ka;
    } else {
        out->x = ((b1.y - b1.x * kb) - (a1.y - a1.x * ka)) / (ka - kb);
        out->y = a1.y + (out->x - a1.x) * ka;
    }
}

}  // namespace

int relation_lines_cross_by_permit(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2,
                                   double permit) {
    using namespace mapgeom;
    point_t scratch;
    if (out == nullptr)
        out = &scratch;
    double dxa = a2.x - a1.x;
    double dxb = b2.x - b1.x;
    // A zero dx gives an infinite or NaN slope; every test below is false for those, and the
    // crossing formulas only use the slope of a segment that is not near-vertical.
    double ka = (a2.y - a1.y) / dxa;
    double kb = (b2.y - b1.y) / dxb;

    if (segments_same(a1, a2, b1, b2))
        return 5;
    if (points_same(a1, b1) || points_same(a1, b2)) {
        *out = a1;
        return 0;
    }
    if (points_same(a2, b1) || points_same(a2, b2)) {
        *out = a2;
        return 0;
    }
    bool parallel = std::fabs(ka - kb) < kDirectionTolerance;
    bool both_vertical =
        std::fabs(dxa) < kDirectionTolerance && std::fabs(dxb) < kDirectionTolerance;
    if (parallel || both_vertical) {
        // Overlap is judged by b's endpoints on a only, always with the default band.
        if (relation_point_at_line(b1, a1, a2, kDefaultPermit) == 0) {
            *out = b1;
            return 0;
        }
        if (relation_point_at_line(b2, a1, a2, kDefaultPermit) == 0) {
            *out = b2;
            return 0;
        }
        return 3;
    }
    carrying_lines_crossing(out, a1, a2, b1, b2, ka, kb);
    bool within_a = grown_box(a1, a2, permit).contains_inclusive(out->x, out->y);
    bool within_b = grown_box(b1, b2, permit).contains_inclusive(out->x, out->y);
    return within_a && within_b ? 0 : 4;
}

int relation_lines_cross(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2) {
    return relation_lines_cross_by_permit(out, a1, a2, b1, b2, mapgeom::kDefaultPermit);
}
