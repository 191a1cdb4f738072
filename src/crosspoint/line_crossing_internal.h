// Per-call state and runner of the engines that take a polyline (polyline against ring, polyline
// against polyline): working copies of both shapes as they came in, one crossed mark per stored
// point, and a rollback that gives the caller its shapes back should a scratch allocation fail.
#ifndef MAPGEOM_SRC_CROSSPOINT_LINE_CROSSING_INTERNAL_H
#define MAPGEOM_SRC_CROSSPOINT_LINE_CROSSING_INTERNAL_H

#include <vector>

#include "com/boundary.h"
#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/com.h"

namespace mapgeom {

// Segment indexes of the candidate search refer to the copies; segment i of either shape runs
// from its stored point i to point i + 1 (a ring's closing point included).
struct LineCrossingWork {
    ShapeCopy first;
    ShapeCopy second;
    int first_record;
    std::vector<unsigned char> crossed_first;
    std::vector<unsigned char> crossed_second;

    LineCrossingWork(const geom_t* a, const geom_t* b, const crosspts_t* out)
        : first(a), second(b), first_record(out->count) {}

    const geom_t* first_points() const { return &first.ring.geom; }
    const geom_t* second_points() const { return &second.ring.geom; }
    int first_segments() const { return first.ring.geom.count - 1; }
    int second_segments() const { return second.ring.geom.count - 1; }
};

// Orders the records from work.first_record on along each shape in turn (by the shape's segment,
// then distance from its start; merging points within merge_tolerance) and inserts them into it as
// vertices, leaving index1 and index2 as vertex indexes of the rebuilt shapes. The first shape is
// a polyline: it keeps a record for every pass through a place, its ends included. Along the
// second (`second_is_ring` or a polyline), the passes of the first through one place keep their
// records and share the second's vertex there. Shapes without records keep their points.
inline void sort_and_insert_line_crosspts(geom_t* first, geom_t* second, crosspts_t* out,
                                          const LineCrossingWork& work, double merge_tolerance,
                                          bool second_is_ring) {
    int from = work.first_record;
    if (out->count == from)
        return;
    MergeRule along_first{merge_tolerance, false, true, false};
    sort_and_merge_crosspts(work.first_points(), out, from, 0, along_first);
    insert_crosspts_along(work.first_points(), work.first_points()->count, work.crossed_first,
                          first, out, from, 0);
    MergeRule along_second{merge_tolerance, second_is_ring, false, true};
    sort_and_merge_crosspts(work.second_points(), out, from, 1, along_second);
    insert_crosspts_along(work.second_points(), work.second_points()->count, work.crossed_second,
                          second, out, from, 1, true);
}

// Runs an engine's steps on working copies of two shapes with at least one segment each (others
// are left alone). Should a scratch allocation fail part-way, both shapes get their points back
// and this call's records are dropped.
template <typename Steps>
void run_line_crossing_steps(geom_t* first, geom_t* second, crosspts_t* out, Steps steps) {
    if (first == nullptr || second == nullptr || out == nullptr)
        return;
    if (first->count < 2 || second->count < 2)
        return;
    LineCrossingWork work(first, second, out);
    bool done = guarded(false, [&] {
        work.crossed_first.assign(first->count, 0);
        work.crossed_second.assign(second->count, 0);
        steps(work);
        return true;
    });
    if (done)
        return;
    com_geom_clear(first);
    for (int p = 0; p < work.first_points()->count; ++p)
        com_geom_add(first, work.first_points()->points[p]);
    com_geom_clear(second);
    for (int p = 0; p < work.second_points()->count; ++p)
        com_geom_add(second, work.second_points()->points[p]);
    out->count = work.first_record;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_CROSSPOINT_LINE_CROSSING_INTERNAL_H
