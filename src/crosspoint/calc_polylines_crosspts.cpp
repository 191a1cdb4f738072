// Crossing points of two polylines from the vertex sweep shared with the ring engine; crossings
// closer than 0.01 are merged. The records are not classified.
#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/crosspoint.h"

void calc_polylines_crosspts(polyline_t* line1, polyline_t* line2, crosspts_t* out) {
    if (line1 == nullptr || line2 == nullptr)
        return;
    mapgeom::run_crossing_steps(&line1->geom, &line2->geom, out, [&](mapgeom::CrossingWork& work) {
        mapgeom::find_candidates_by_vertex_sweep(&work, out);
        mapgeom::sort_and_insert_line_crosspts(&line1->geom, &line2->geom, out, work,
                                               mapgeom::kDefaultPermit, false);
    });
}
