// Candidate segment pairs for the all-pairs crossing searches, proposed through a packed R-tree of
// segment boxes. For every segment i of the first shape (in order) it visits, in ascending order,
// every segment j of the second shape whose box, grown by kCandidateBoxMargin, meets i's grown box:
// the same pairs, in the same order, that the plain double loop reaches with a meeting result,
// since no segment test of the library reports a meeting farther than 0.01 from both segments.
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
// never reports a meeting at one); a segment of NaN points gets a box that meets nothing.
SegmentBox grown_segment_box(point_t a, point_t b);

// Whether two boxes meet (comparisons with NaN are false, so a NaN box meets nothing).
inline bool segment_boxes_meet(const SegmentBox& a, const SegmentBox& b) {
    return a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y && b.min_y <= a.max_y;
}

void build_segment_index(SegmentIndex* index, const geom_t* shape, int segment_count);

// Replaces hits by the ids of the segments whose grown boxes meet `query`, ascending.
void query_segment_index(const SegmentIndex& index, const SegmentBox& query,
                         std::vector<int>* hits);

// Calls visit(i, j) for the candidate pairs of segments i of `first` (0 .. first_segments - 1,
// outer loop) and j of `second` (inner loop, ascending). Small inputs get every pair.
template <typename Visit>
void for_each_candidate_pair(const geom_t* first, int first_segments, const geom_t* second,
                             int second_segments, Visit visit) {
    if (first_segments <= 0 || second_segments <= 0)
        return;
    if (static_cast<long long>(first_segments) * second_segments <= kIndexedPairThreshold) {
        for (int i = 0; i < first_segments; ++i)
            for (int j = 0; j < second_segments; ++j)
                visit(i, j);
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
