// Crossing points of two rings from every edge pair (pairs whose boxes are far apart are skipped
// through a segment index, which leaves the results of the full double loop unchanged); crossings
// closer than 0.0001 are merged. Also the classifier of a ring's vertex against another ring.
#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/crosspoint.h"

int calc_crosspt_flag(const polygon_t* a, const polygon_t* b, int i) {
    return mapgeom::meeting_kind_after_side(a, b, i, judge_curpt_flag(a, b, i),
                                            com_polygon_at(a, i));
}

int judge_curpt_flag(const polygon_t* a, const polygon_t* b, int i) {
    return mapgeom::side_after_vertex(a, b, i);
}

namespace mapgeom {

void polygon_and_polygon_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out,
                                  CrossingScratch* scratch) {
    if (a == nullptr || b == nullptr)
        return;
    run_crossing_steps(
        &a->geom, &b->geom, out,
        [&](CrossingWork& work) {
            find_candidates_in_all_pairs(&work, out);
            insert_and_classify_crosspts(a, b, out, work, kSamePoint);
        },
        scratch);
}

}  // namespace mapgeom

void calc_polygon_and_polygon_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out) {
    mapgeom::polygon_and_polygon_crosspts(a, b, out, nullptr);
}
