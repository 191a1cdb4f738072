// Crossing points of two rings from every edge pair (pairs whose boxes are far apart are skipped
// through a segment index, which leaves the results of the full double loop unchanged); crossings
// closer than 0.0001 are merged. Also the classifier of a ring's vertex against another ring.
#include "crosspoint/crosspoint_internal.h"
#include "crosspoint/segment_index.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/relation.h"

namespace {

using mapgeom::RingCrossingWork;

// Crossings of this engine closer than this are one crossing.
constexpr double kMergeTolerance = 0.0001;

void find_candidates_in_all_pairs(RingCrossingWork* work, crosspts_t* out) {
    const geom_t* a = &work->a.ring.geom;
    const geom_t* b = &work->b.ring.geom;
    mapgeom::for_each_candidate_pair(a, work->edges_a, b, work->edges_b, [&](int i, int j) {
        point_t c{};
        if (relation_lines_cross_by_permit(&c, a->points[i], a->points[i + 1], b->points[j],
                                           b->points[j + 1], mapgeom::kSegmentMeetPermit) != 0)
            return;
        work->crossed_a[i] = 1;
        work->crossed_b[j] = 1;
        mapgeom::append_crossing(out, c, i, j);
    });
}

void sort_crosspts(const polygon_t* ring, crosspts_t* list, int first, int which) {
    mapgeom::sort_and_merge_crosspts(&ring->geom, list, first, which,
                                     mapgeom::MergeRule{kMergeTolerance});
}

// The kind of meeting once the side after the vertex is known (calc_crosspt_flag without reading
// that side again).
int crosspt_flag_after_side(const polygon_t* a, const polygon_t* b, int i, int after) {
    return mapgeom::meeting_kind_after_side(a, b, i, after, com_polygon_at(a, i));
}

}  // namespace

int calc_crosspt_flag(const polygon_t* a, const polygon_t* b, int i) {
    return crosspt_flag_after_side(a, b, i, judge_curpt_flag(a, b, i));
}

int judge_curpt_flag(const polygon_t* a, const polygon_t* b, int i) {
    return mapgeom::side_after_vertex(a, b, i);
}

void calc_polygon_and_polygon_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out) {
    mapgeom::run_ring_crossing_steps(a, b, out, [&](RingCrossingWork& work) {
        find_candidates_in_all_pairs(&work, out);
        mapgeom::insert_and_classify_crosspts(a, b, out, work, sort_crosspts);
    });
}
