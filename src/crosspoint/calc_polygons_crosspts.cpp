// Crossing points of two rings from a vertex sweep (crosspoint/vertex_sweep.h: each edge is tested
// only against the edges at the other ring's vertices within its own widened key interval).
// Crossings closer than 0.01 are merged.
#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/crosspoint.h"

void calc_polygons_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out) {
    if (a == nullptr || b == nullptr)
        return;
    mapgeom::run_crossing_steps(&a->geom, &b->geom, out, [&](mapgeom::CrossingWork& work) {
        mapgeom::find_candidates_by_vertex_sweep(&work, out);
        mapgeom::insert_and_classify_crosspts(a, b, out, work, mapgeom::kDefaultPermit);
    });
}
