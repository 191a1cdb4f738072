// Candidate segment pairs of two shapes from a vertex sweep: all stored points of both shapes are
// sorted on one coordinate, and each segment is tested only against the segments at the other
// shape's points whose keys fall within its own key interval, widened over neighbouring keys closer
// than kClosureTolerance. Two meeting segments always overlap in key, so one of them has an end
// inside the other's interval and one of the two passes finds the pair. Rings and polylines sweep
// alike: segment i of a shape runs from its stored point i to point i + 1.
//
// Cost: one O((n + m) log(n + m)) sort, then the proposed pairs. Dense points (many keys less than
// kClosureTolerance apart) widen the intervals and so propose more pairs.
#ifndef MAPGEOM_SRC_CROSSPOINT_VERTEX_SWEEP_H
#define MAPGEOM_SRC_CROSSPOINT_VERTEX_SWEEP_H

#include <algorithm>
#include <vector>

#include "com/plain_lookups.h"
#include "com/tolerances.h"
#include "crosspoint/crosspoint_internal.h"
#include "crosspoint/segment_index.h"
#include "mapgeom/com.h"
#include "mapgeom/relation.h"

namespace mapgeom {

// One stored point of either shape in the sorted sweep order: its index in shape b or -1, its index
// in shape a or -1, and its key coordinate.
struct sort_point_t {
    int index_b;
    int index_a;
    double key;
};

// The points of both shapes sorted on the key coordinate, with each stored point's slot and the
// widest slot range reachable from each slot over gaps below kClosureTolerance.
struct VertexSweep {
    std::vector<sort_point_t> slots;
    std::vector<int> slot_of_a;
    std::vector<int> slot_of_b;
    std::vector<int> reach_low;
    std::vector<int> reach_high;
};

// Sorts the first stored_a points of a and stored_b points of b on x when their combined extent,
// from bounds truncated to whole units, is at least as wide as high, else on y. Equal keys keep
// a's points before b's, each in index order, so the sweep is reproducible.
void build_vertex_sweep(const geom_t* a, int stored_a, const geom_t* b, int stored_b,
                        VertexSweep* sweep);

// Tests segment `segment` of `mover` (whose points occupy slot_of_mover) against the segments of
// `other` at every point of `other` within the segment's widened key interval, mover first in the
// segment test. `other_field` picks the slot's index into `other`. found(c, other_segment) receives
// each meeting. A segment of `other` reached from both of its ends is tested once.
template <typename Found>
void sweep_one_segment(const VertexSweep& sweep, const geom_t* mover,
                       const std::vector<int>& slot_of_mover, int segment, const geom_t* other,
                       int other_segments, int sort_point_t::*other_field,
                       std::vector<int>* tested_by, Found found) {
    int lo = slot_of_mover[segment];
    int hi = slot_of_mover[segment + 1];
    if (lo > hi)
        std::swap(lo, hi);
    lo = sweep.reach_low[lo];
    hi = sweep.reach_high[hi];
    point_t m1 = mover->points[segment];
    point_t m2 = mover->points[segment + 1];
    // The segment test reports no meeting farther than 0.01 from both segments, so segments whose
    // grown boxes (as the segment index grows them) are apart are passed over unasked.
    SegmentBox mover_box = grown_segment_box(m1, m2);
    auto test = [&](int other_segment) {
        if ((*tested_by)[other_segment] == segment)
            return;
        (*tested_by)[other_segment] = segment;
        point_t o1 = other->points[other_segment];
        point_t o2 = other->points[other_segment + 1];
        if (!segment_boxes_meet(mover_box, grown_segment_box(o1, o2)))
            return;
        point_t c{};
        if (relation_lines_cross_by_permit(&c, m1, m2, o1, o2, kSegmentMeetPermit) == 0)
            found(c, other_segment);
    };
    for (int s = lo; s <= hi; ++s) {
        int p = sweep.slots[s].*other_field;
        if (p < 0)
            continue;
        if (p < other_segments)
            test(p);
        if (p > 0)
            test(p - 1);
    }
}

// One shape of a sweep seen from a pass: its points, the grown box of each of its segments, each
// point's slot, and which index of a slot is its own.
struct SweptShape {
    const geom_t* points;
    int segments;
    std::vector<SegmentBox> boxes;
    const std::vector<int>* slot_of;
    int sort_point_t::*field;
};

// Whether the grown boxes of both segments at point p of a shape (the one from it and the one
// into it, those that exist) lie wholly above or below `box`, so that neither meets it. A NaN
// bound never says so.
inline bool segments_at_point_miss_in_y(const SweptShape& shape, int p, const SegmentBox& box) {
    auto misses = [&box](const SegmentBox& other) {
        return other.max_y < box.min_y || other.min_y > box.max_y;
    };
    return (p >= shape.segments || misses(shape.boxes[p])) &&
           (p == 0 || misses(shape.boxes[p - 1]));
}

// The shape's side of the sweep; `field` picks its index in a slot.
SweptShape swept_shape(const geom_t* points, int segments, const std::vector<int>* slot_of,
                       int sort_point_t::*field);

// sweep_one_segment over prepared shapes: the same segments tested in the same order, each
// segment's grown box made once per sweep instead of once per pair proposed. A point whose two
// segments lie wholly above or below the mover's box is passed over: neither segment's box meets
// it, so testing them would find nothing (and a segment passed over here is tested when it comes
// up again, with the same result).
template <typename Found>
void sweep_one_prepared_segment(const VertexSweep& sweep, const SweptShape& mover, int segment,
                                const SweptShape& other, int* tested_by, Found found) {
    int lo = (*mover.slot_of)[segment];
    int hi = (*mover.slot_of)[segment + 1];
    if (lo > hi)
        std::swap(lo, hi);
    lo = sweep.reach_low[lo];
    hi = sweep.reach_high[hi];
    const SegmentBox mover_box = mover.boxes[segment];
    const sort_point_t* slots = sweep.slots.data();
    const SegmentBox* other_boxes = other.boxes.data();
    auto test = [&](int other_segment) {
        if (tested_by[other_segment] == segment)
            return;
        tested_by[other_segment] = segment;
        if (!segment_boxes_meet(mover_box, other_boxes[other_segment]))
            return;
        const point_t* m = mover.points->points + segment;
        const point_t* o = other.points->points + other_segment;
        point_t c{};
        if (relation_lines_cross_by_permit(&c, m[0], m[1], o[0], o[1], kSegmentMeetPermit) == 0)
            found(c, other_segment);
    };
    for (int s = lo; s <= hi; ++s) {
        int p = slots[s].*other.field;
        if (p < 0 || segments_at_point_miss_in_y(other, p, mover_box))
            continue;
        if (p < other.segments)
            test(p);
        if (p > 0)
            test(p - 1);
    }
}

// Calls found(c, i, j) for every meeting c of segment i of a with segment j of b among the pairs
// the sweep proposes: first the pass over b's segments (in order), then over a's. A pair may be
// reported by both passes. With the plain passes on (tests), each pair's boxes are made as the
// pair is proposed, as the sweep was first written.
template <typename Found>
void for_each_sweep_meeting(const geom_t* a, int segments_a, const geom_t* b, int segments_b,
                            Found found) {
    if (segments_a < 1 || segments_b < 1)
        return;
    VertexSweep sweep;
    build_vertex_sweep(a, segments_a + 1, b, segments_b + 1, &sweep);
    if (g_plain_lookups) {
        std::vector<int> tested(segments_a, -1);
        for (int j = 0; j < segments_b; ++j)
            sweep_one_segment(sweep, b, sweep.slot_of_b, j, a, segments_a, &sort_point_t::index_a,
                              &tested, [&](point_t c, int i) { found(c, i, j); });
        tested.assign(segments_b, -1);
        for (int i = 0; i < segments_a; ++i)
            sweep_one_segment(sweep, a, sweep.slot_of_a, i, b, segments_b, &sort_point_t::index_b,
                              &tested, [&](point_t c, int j) { found(c, i, j); });
        return;
    }
    const SweptShape swept_a = swept_shape(a, segments_a, &sweep.slot_of_a, &sort_point_t::index_a);
    const SweptShape swept_b = swept_shape(b, segments_b, &sweep.slot_of_b, &sort_point_t::index_b);
    std::vector<int> tested(std::max(segments_a, segments_b), -1);
    for (int j = 0; j < segments_b; ++j)
        sweep_one_prepared_segment(sweep, swept_b, j, swept_a, tested.data(),
                                   [&](point_t c, int i) { found(c, i, j); });
    std::fill(tested.begin(), tested.end(), -1);
    for (int i = 0; i < segments_a; ++i)
        sweep_one_prepared_segment(sweep, swept_a, i, swept_b, tested.data(),
                                   [&](point_t c, int j) { found(c, i, j); });
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_CROSSPOINT_VERTEX_SWEEP_H
