// Library-internal pieces of the convex splitting: the visibility index that answers
// judge_line_polygon without scanning every edge, and the splitting worker.
#ifndef MAPGEOM_SRC_TRIANGULATE_CONVEX_INTERNAL_H
#define MAPGEOM_SRC_TRIANGULATE_CONVEX_INTERNAL_H

#include <vector>

#include "crosspoint/segment_index.h"
#include "mapgeom/com.h"

namespace mapgeom {

// Answers judge_line_polygon(ring, a, b) for many segments of one ring, identically. The plain
// test meets every edge with relation_lines_cross and counts the distinct meeting points; a
// meeting (result 0) lies within 0.01 of both segments' boxes and, up to rounding, on the
// segment's carrying line. So only edges whose boxes come near the segment's box and its line
// are met, in ascending edge order as the plain test does (the merging of points within 0.0001
// depends on the order), and the answer is 1 as soon as a third distinct point turns up: the count
// never goes down. The ring must not change while the index is used.
class VisibilityIndex {
public:
    explicit VisibilityIndex(const polygon_t* ring);
    int judge(point_t a, point_t b) const;

private:
    void collect(point_t a, point_t b, std::vector<int>* hits) const;

    const polygon_t* ring_;
    int edges_;
    double magnitude_;  // largest coordinate magnitude of the ring, for the rounding slack
    SegmentIndex index_;
    mutable std::vector<int> hits_;
};

// Splits the counter-clockwise ring into convex pieces appended to `pieces`, writing the input
// indexes (ids[k] for vertex k) of each cut's ends to `diagonals`, a cut before its halves, the
// first half (the ring from the lower end to the higher) before the second. Takes over the ring's
// points: each piece owns its points afterwards and the rest are released.
void convex_polygon_process(polygon_t* ring, polygons_t* pieces, std::vector<int>* ids,
                            std::vector<int>* diagonals);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_TRIANGULATE_CONVEX_INTERNAL_H
