// Whether and where two segments meet, worked out inline: the one implementation behind
// relation_lines_cross and the validity sweep's pair test, which runs it for every pair of nearby
// edges and needs the meeting point only when the carrying lines cross.
//
// Order of the tests: the same segment; a shared endpoint (a1 first, then a2); parallel or both
// near-vertical (an endpoint of b on a, b1 first, with the default band); otherwise the carrying
// lines' crossing, which counts when it lies within both segments' boxes grown by the permit.
#ifndef MAPGEOM_SRC_RELATION_LINES_CROSS_H
#define MAPGEOM_SRC_RELATION_LINES_CROSS_H

#include <cmath>

#include "com/tolerances.h"
#include "mapgeom/com.h"
#include "measure/measure_internal.h"

namespace mapgeom {

// How two segments a and b meet, in the order the tests decide it.
enum class lines_meeting_t {
    kSameSegment,      // a and b are the same segment in either orientation
    kAtA1,             // a1 is the same point as an end of b
    kAtA2,             // a2 is the same point as an end of b
    kAtB1,             // parallel, b1 lies on a
    kAtB2,             // parallel, b2 lies on a (b1 does not)
    kParallelApart,    // parallel, neither end of b lies on a
    kCrossingWithin,   // the carrying lines cross within both grown boxes
    kCrossingOutside,  // the carrying lines cross outside one of them
};

// com_points_same in place: a call into another unit per comparison costs more than it.
inline bool same_point_inline(const point_t& a, const point_t& b) {
    return std::fabs(a.x - b.x) < kSamePoint && std::fabs(a.y - b.y) < kSamePoint;
}

// Crossing point of the carrying lines of a and b, which are known not to be parallel; only
// out->x and out->y are written. Near-vertical and near-horizontal lines are taken exactly as
// vertical / horizontal, so the point lies on them.
inline void carrying_lines_crossing(point_t* out, const point_t& a1, const point_t& a2,
                                    const point_t& b1, const point_t& b2, double ka, double kb) {
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

// How segments a and b meet. *crossing gets x and y of the carrying lines' crossing for the two
// crossing answers and is left untouched otherwise; it must not be one of the four points.
inline lines_meeting_t lines_meeting(point_t* crossing, const point_t& a1, const point_t& a2,
                                     const point_t& b1, const point_t& b2, double permit) {
    // Segments rarely share an end: when no two ends are near in x, none is the same point.
    const bool ends_near_in_x =
        std::fabs(a1.x - b1.x) < kSamePoint || std::fabs(a1.x - b2.x) < kSamePoint ||
        std::fabs(a2.x - b1.x) < kSamePoint || std::fabs(a2.x - b2.x) < kSamePoint;
    if (ends_near_in_x) {
        if ((same_point_inline(a1, b1) && same_point_inline(a2, b2)) ||
            (same_point_inline(a1, b2) && same_point_inline(a2, b1)))
            return lines_meeting_t::kSameSegment;
        if (same_point_inline(a1, b1) || same_point_inline(a1, b2))
            return lines_meeting_t::kAtA1;
        if (same_point_inline(a2, b1) || same_point_inline(a2, b2))
            return lines_meeting_t::kAtA2;
    }
    // Slopes are worked out only now, when a shared end has not answered. A zero dx gives an
    // infinite or NaN slope; every test below is false for those, and the crossing formulas only
    // use the slope of a segment that is not near-vertical.
    double dxa = a2.x - a1.x;
    double dxb = b2.x - b1.x;
    double ka = (a2.y - a1.y) / dxa;
    double kb = (b2.y - b1.y) / dxb;
    bool parallel = std::fabs(ka - kb) < kDirectionTolerance;
    bool both_vertical =
        std::fabs(dxa) < kDirectionTolerance && std::fabs(dxb) < kDirectionTolerance;
    if (parallel || both_vertical) {
        // Overlap is judged by b's endpoints on a only, always with the default band.
        if (point_at_segment(b1, a1, a2, kDefaultPermit) == 0)
            return lines_meeting_t::kAtB1;
        if (point_at_segment(b2, a1, a2, kDefaultPermit) == 0)
            return lines_meeting_t::kAtB2;
        return lines_meeting_t::kParallelApart;
    }
    carrying_lines_crossing(crossing, a1, a2, b1, b2, ka, kb);
    if (!grown_box(a1, a2, permit).contains_inclusive(crossing->x, crossing->y) ||
        !grown_box(b1, b2, permit).contains_inclusive(crossing->x, crossing->y))
        return lines_meeting_t::kCrossingOutside;
    return lines_meeting_t::kCrossingWithin;
}

// relation_lines_cross_by_permit's code and *out (out must not be null): 0 they meet (*out the
// meeting point), 3 parallel apart, 4 crossing outside (*out x and y of the crossing), 5 the same
// segment (*out untouched).
inline int lines_cross_code(point_t* out, const point_t& a1, const point_t& a2, const point_t& b1,
                            const point_t& b2, double permit) {
    switch (lines_meeting(out, a1, a2, b1, b2, permit)) {
        case lines_meeting_t::kSameSegment:
            return 5;
        case lines_meeting_t::kAtA1:
            *out = a1;
            return 0;
        case lines_meeting_t::kAtA2:
            *out = a2;
            return 0;
        case lines_meeting_t::kAtB1:
            *out = b1;
            return 0;
        case lines_meeting_t::kAtB2:
            *out = b2;
            return 0;
        case lines_meeting_t::kParallelApart:
            return 3;
        case lines_meeting_t::kCrossingWithin:
            return 0;
        case lines_meeting_t::kCrossingOutside:
            break;
    }
    return 4;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_LINES_CROSS_H
