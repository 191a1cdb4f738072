// Crossing points of two polylines from the vertex sweep shared with the ring engine; crossings
// closer than 0.01 are merged. The records are not classified.
#include "crosspoint/crosspoint_internal.h"
#include "crosspoint/line_crossing_internal.h"
#include "crosspoint/vertex_sweep.h"
#include "mapgeom/crosspoint.h"

namespace {

using mapgeom::LineCrossingWork;

// Crossings of this engine closer than this are one crossing.
constexpr double kMergeTolerance = 0.01;

void find_candidates_by_vertex_sweep(LineCrossingWork* work, crosspts_t* out) {
    mapgeom::for_each_sweep_meeting(work->first_points(), work->first_segments(),
                                    work->second_points(), work->second_segments(),
                                    [&](point_t c, int i, int j) {
                                        work->crossed_first[i] = 1;
                                        work->crossed_second[j] = 1;
                                        mapgeom::append_crossing(out, c, i, j);
                                    });
}

}  // namespace

void calc_polylines_crosspts(polyline_t* line1, polyline_t* line2, crosspts_t* out) {
    if (line1 == nullptr || line2 == nullptr)
        return;
    mapgeom::run_line_crossing_steps(&line1->geom, &line2->geom, out, [&](LineCrossingWork& work) {
        find_candidates_by_vertex_sweep(&work, out);
        mapgeom::sort_and_insert_line_crosspts(&line1->geom, &line2->geom, out, work,
                                               kMergeTolerance, false);
    });
}
