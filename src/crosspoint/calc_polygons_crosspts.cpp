// Crossing points of two rings from a vertex sweep (crosspoint/vertex_sweep.h: each edge is tested
// only against the edges at the other ring's vertices within its own widened key interval).
// Crossings closer than 0.01 are merged.
#include "crosspoint/crosspoint_internal.h"
#include "crosspoint/vertex_sweep.h"
#include "mapgeom/crosspoint.h"

namespace {

using mapgeom::RingCrossingWork;

// Crossings of this engine closer than this are one crossing.
constexpr double kMergeTolerance = 0.01;

void find_candidates_by_vertex_sweep(RingCrossingWork* work, crosspts_t* out) {
    mapgeom::for_each_sweep_meeting(&work->a.ring.geom, work->edges_a, &work->b.ring.geom,
                                    work->edges_b, [&](point_t c, int i, int j) {
                                        work->crossed_a[i] = 1;
                                        work->crossed_b[j] = 1;
                                        mapgeom::append_crossing(out, c, i, j);
                                    });
}

void sort_crosspts(const polygon_t* ring, crosspts_t* list, int first, int which) {
    mapgeom::sort_and_merge_crosspts(&ring->geom, list, first, which,
                                     mapgeom::MergeRule{kMergeTolerance});
}

// The whole engine after the copies are made. Inside this namespace the name of the sorter
// resolves to this file's own copy.
void find_sort_insert_classify(polygon_t* a, polygon_t* b, crosspts_t* out,
                               RingCrossingWork& work) {
    find_candidates_by_vertex_sweep(&work, out);
    mapgeom::insert_and_classify_crosspts(a, b, out, work, sort_crosspts);
}

}  // namespace

void calc_polygons_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out) {
    mapgeom::run_ring_crossing_steps(
        a, b, out, [&](RingCrossingWork& work) { find_sort_insert_classify(a, b, out, work); });
}
