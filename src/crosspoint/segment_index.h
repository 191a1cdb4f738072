// Candidate segment pairs for the all-pairs crossing searches: through a packed R-tree of segment
// boxes, or for small inputs a double loop testing the same boxes. For every segment i of the first
// shape (in order) they visit, in ascending order, every segment j of the second shape whose box,
// grown by kCandidateBoxMargin, meets i's grown box: the same pairs, in the same order, that the
// plain double loop reaches with a meeting result. A segment test reports a meeting only at a
// shared endpoint (within 0.0001), at an endpoint of one lying within its band of the other
// (parallel segments, band 0.01), or at a crossing inside both boxes grown by its permit (at most
// 0.01): always at a point within 0.01 of both boxes, so boxes grown by more never miss it.
#ifndef MAPGEOM_SRC_CROSSPOINT_SEGMENT_INDEX_H
#define MAPGEOM_SRC_CROSSPOINT_SEGMENT_INDEX_H

#include <cmath>
#include <vector>

#include "mapgeom/com.h"

namespace mapgeom {

// Grows every segment box on each side. The widest band of the segment tests is 0.01 (the plain
// segment crossing and the collinear endpoint test); twice that leaves room for rounding.
constexpr double kCandidateBoxMargin = 0.02;

// Below this many pairs the double loop is cheaper than building an index.
constexpr long long kIndexedPairThreshold = 4096;

// Up to this many segments of the second shape, the double loop keeps their boxes on the stack
// instead of rebuilding each for every segment of the first shape.
constexpr int kStackBoxedSegments = 64;

// Orders doubles ascending with NaN after every number, so a sort never sees an inconsistent
// comparison when a shape carries a NaN coordinate.
inline bool less_nan_last(double a, double b) {
    if (std::isnan(a))
        return false;
    if (std::isnan(b))
        return true;
    return a < b;
}

struct SegmentBox {
    double min_x;
    double min_y;
    double max_x;
    double max_y;
};

// Children per node of the packed tree: node k of a level has children k * fanout .. of the level
// below (for callers that walk `levels` with their own pruning).
constexpr int kSegmentIndexFanout = 16;

// Segment j runs from point j to point j + 1 of the shape it was built from.
struct SegmentIndex {
    std::vector<int> order;                       // segment ids in packing order
    std::vector<std::vector<SegmentBox>> levels;  // levels[0]: one box per id in `order`
};

// The box of segment a-b grown by kCandidateBoxMargin. NaN coordinates are left out (a segment test
// never reports a meeting at one); a segment of NaN points gets a box that meets nothing. Inline:
// the small searches build one for every segment of both shapes on every call.
inline SegmentBox grown_segment_box(point_t a, point_t b) {
    // std::fmin and std::fmax, worked out in place (the library calls cost more than the rest of
    // the box): the lesser or greater of two numbers, the number where the other is NaN. Zeros of
    // either sign compare equal in every box test, so which zero is kept does not matter.
    auto lesser = [](double u, double v) { return u < v || std::isnan(v) ? u : v; };
    auto greater = [](double u, double v) { return u > v || std::isnan(v) ? u : v; };
    return {lesser(a.x, b.x) - kCandidateBoxMargin, lesser(a.y, b.y) - kCandidateBoxMargin,
            greater(a.x, b.x) + kCandidateBoxMargin, greater(a.y, b.y) + kCandidateBoxMargin};
}

// Whether two boxes meet (comparisons with NaN are false, so a NaN box meets nothing).
inline bool segment_boxes_meet(const SegmentBox& a, const SegmentBox& b) {
    return a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y && b.min_y <= a.max_y;
}

void build_segment_index(SegmentIndex* index, const geom_t* shape, int segment_count);

// Replaces hits by the ids of the segments whose grown boxes meet `query`, ascending.
void query_segment_index(const SegmentIndex& index, const SegmentBox& query,
                         std::vector<int>* hits);

// The double loop for small inputs, with the index's box test on each pair: a pair whose grown
// boxes miss each other costs a few comparisons instead of a segment test. No allocation.
// With the second shape's boxes on the stack, a segment of the first whose box misses their union
// (a tile's outline, say, for the many edges of a ring around it) is passed over at once.
template <typename Visit>
void for_each_boxed_pair(const geom_t* first, int first_segments, const geom_t* second,
                         int second_segments, Visit visit) {
    SegmentBox stacked[kStackBoxedSegments];
    bool on_stack = second_segments <= kStackBoxedSegments;
    // A box that meets nothing (comparisons with NaN are false) until a box is merged in; NaN
    // bounds of a box are left out as grown_segment_box leaves them out.
    SegmentBox all{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (int j = 0; on_stack && j < second_segments; ++j) {
        stacked[j] = grown_segment_box(second->points[j], second->points[j + 1]);
        all = {std::fmin(all.min_x, stacked[j].min_x), std::fmin(all.min_y, stacked[j].min_y),
               std::fmax(all.max_x, stacked[j].max_x), std::fmax(all.max_y, stacked[j].max_y)};
    }
    for (int i = 0; i < first_segments; ++i) {
        SegmentBox box = grown_segment_box(first->points[i], first->points[i + 1]);
        if (on_stack && !segment_boxes_meet(box, all))
            continue;
        for (int j = 0; j < second_segments; ++j) {
            bool meet = on_stack
                            ? segment_boxes_meet(box, stacked[j])
                            : segment_boxes_meet(
                                  box, grown_segment_box(second->points[j], second->points[j + 1]));
            if (meet)
                visit(i, j);
        }
    }
}

// Calls visit(i, j) for the candidate pairs of segments i of `first` (0 .. first_segments - 1,
// outer loop) and j of `second` (inner loop, ascending): the pairs whose grown boxes meet, through
// the double loop for small inputs and through an index otherwise.
template <typename Visit>
void for_each_candidate_pair(const geom_t* first, int first_segments, const geom_t* second,
                             int second_segments, Visit visit) {
    if (first_segments <= 0 || second_segments <= 0)
        return;
    if (static_cast<long long>(first_segments) * second_segments <= kIndexedPairThreshold) {
        for_each_boxed_pair(first, first_segments, second, second_segments, visit);
        return;
    }
    SegmentIndex index;
    build_segment_index(&index, second, second_segments);
    std::vector<int> hits;
    for (int i = 0; i < first_segments; ++i) {
        query_segment_index(index, grown_segment_box(first->points[i], first->points[i + 1]),
                            &hits);
        for (int j : hits)
            visit(i, j);
    }
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_CROSSPOINT_SEGMENT_INDEX_H
