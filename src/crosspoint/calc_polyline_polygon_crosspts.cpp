// Crossing points of a polyline and a ring from every segment-edge pair (pairs whose boxes are far
// apart are skipped through a segment index, which leaves the results of the full double loop
// unchanged); crossings closer than 0.0001 are merged. Each crossing is classified by where the
// polyline runs just before and just after it; a polyline end counts as running along the ring.
#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "relation/ring_locator.h"

namespace {

using namespace mapgeom;

// Side code given to the missing side of a polyline's end: on the ring's edge.
constexpr int kMissingSide = kPointOnEdge;

// Side of the ring (0 outside, 1 inside, 2 on an edge, 3 at a vertex) of the midpoint of p and q.
int side_of_midpoint(RingLocator* in_ring, point_t p, point_t q) {
    return locate_in_ring(in_ring, calc_plough_around_point(p, q, p), kSideTestPermit);
}

// Kind of meeting of the line's point i with the ring. Running outside on both sides is a touch
// from outside (1) without the ring variant's further test.
int calc_crosspt_flag(const polyline_t* line, RingLocator* in_ring, int i) {
    int last = com_polyline_num(line) - 1;
    point_t p = com_polyline_at(line, i);
    int after =
        i == last ? kMissingSide : side_of_midpoint(in_ring, p, com_polyline_at(line, i + 1));
    int before = i == 0 ? kMissingSide : side_of_midpoint(in_ring, p, com_polyline_at(line, i - 1));
    int kind = meeting_kind_of_sides(after, before);
    return kind < 0 ? kKindTouchOutsideApart : kind;
}

// The ring keeps its points while the records are classified: it is prepared once for them all.
void classify_crosspts(const polyline_t* line, const polygon_t* ring, crosspts_t* list, int first) {
    RingLocator in_ring(ring);
    int points = com_polyline_num(line);
    int edges = com_polygon_num(ring);
    for (int k = first; k < list->count; ++k) {
        crosspt_t& record = list->crosspts[k];
        // A ring without edges (all its points one) can still be met at that point.
        record.index1 = points > 0 ? record.index1 % points : 0;
        record.index2 = edges > 0 ? record.index2 % edges : 0;
        record.flag = calc_crosspt_flag(line, &in_ring, record.index1);
        record.curpt_flag = 0;
    }
}

}  // namespace

void calc_polyline_and_polygon_crosspts(polyline_t* line, polygon_t* ring, crosspts_t* out) {
    if (line == nullptr || ring == nullptr)
        return;
    mapgeom::run_crossing_steps(&line->geom, &ring->geom, out, [&](mapgeom::CrossingWork& work) {
        mapgeom::find_candidates_in_all_pairs(&work, out);
        mapgeom::sort_and_insert_line_crosspts(&line->geom, &ring->geom, out, work,
                                               mapgeom::kSamePoint, true);
        classify_crosspts(line, ring, out, work.first_record);
    });
}
