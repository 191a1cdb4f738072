// Steps shared by the crossing-point engines: working copies with crossed-segment marks, the two
// candidate searches, ordering and merging crossing records along one shape, inserting them into
// that shape as vertices, and turning the sides of a vertex into a kind of meeting. Each engine
// only chooses its candidate search, its merge tolerance and its classification.
#ifndef MAPGEOM_SRC_CROSSPOINT_CROSSPOINT_INTERNAL_H
#define MAPGEOM_SRC_CROSSPOINT_CROSSPOINT_INTERNAL_H

#include <utility>
#include <vector>

#include "com/boundary.h"
#include "com/codes.h"
#include "com/owned.h"
#include "com/tolerances.h"
#include "mapgeom/com.h"
#include "relation/ring_locator.h"

namespace mapgeom {

// Two segments meet when the meeting point lies within this distance of both segments' boxes.
constexpr double kSegmentMeetPermit = kSamePoint;
// Band within which a neighbouring edge's midpoint counts as lying on the other ring's boundary.
constexpr double kSideTestPermit = kSamePoint;

// Which index of a crossing record a step orders by and rewrites: index1 (0) or index2 (other).
inline int& crosspt_index(crosspt_t& record, int which) {
    return which == 0 ? record.index1 : record.index2;
}
inline int crosspt_index(const crosspt_t& record, int which) {
    return which == 0 ? record.index1 : record.index2;
}

// Storage an engine's working copies and crossed marks can reuse from call to call (a tiling runs
// the engine once per tile): the buffers keep their size, so a run of small calls allocates once.
struct CrossingScratch {
    polygon_t a{};
    polygon_t b{};
    std::vector<unsigned char> crossed_a;
    std::vector<unsigned char> crossed_b;

    CrossingScratch() = default;
    ~CrossingScratch() {
        com_polygon_free(&a);
        com_polygon_free(&b);
    }
    CrossingScratch(const CrossingScratch&) = delete;
    CrossingScratch& operator=(const CrossingScratch&) = delete;
};

// Per-call state of an engine: both shapes as they came in (all segment indexes of the candidate
// search refer to these copies; segment i runs from stored point i to point i + 1, a ring's
// closing point included), one crossed mark per stored point, and where this call's records start.
// The copies and marks live in the caller's scratch when one is given, else in the work itself.
struct CrossingWork {
    CrossingScratch own;
    CrossingScratch* held;
    int segments_a;
    int segments_b;
    int first_record;
    std::vector<unsigned char>& crossed_a;
    std::vector<unsigned char>& crossed_b;

    CrossingWork(const geom_t* shape_a, const geom_t* shape_b, const crosspts_t* out,
                 CrossingScratch* scratch = nullptr)
        : held(scratch != nullptr ? scratch : &own),
          segments_a(shape_a->count - 1),
          segments_b(shape_b->count - 1),
          first_record(out->count),
          crossed_a(held->crossed_a),
          crossed_b(held->crossed_b) {
        copy_points(&held->a.geom, shape_a);
        copy_points(&held->b.geom, shape_b);
    }
    CrossingWork(const CrossingWork&) = delete;
    CrossingWork& operator=(const CrossingWork&) = delete;

    const geom_t* points_a() const { return &held->a.geom; }
    const geom_t* points_b() const { return &held->b.geom; }
};

// Appends a candidate crossing on edge index1 of the first shape and edge index2 of the second;
// the point's code is cleared.
void append_crossing(crosspts_t* out, point_t pt, int index1, int index2);

// The candidate searches: every meeting (within kSegmentMeetPermit) of segment i of work's shape
// a with segment j of shape b marks both segments and is appended as a record (i, j). The first
// visits every pair whose boxes come near each other (through a box index), in the order of the
// double loop over a's and b's segments; the second the pairs a vertex sweep proposes
// (crosspoint/vertex_sweep.h).
void find_candidates_in_all_pairs(CrossingWork* work, crosspts_t* out);
void find_candidates_by_vertex_sweep(CrossingWork* work, crosspts_t* out);

// When sort_and_merge_crosspts takes records at one place (within `tolerance`) for one crossing.
// The ring engines' rule is the default: every two neighbours at one place are one crossing.
struct MergeRule {
    double tolerance;
    // The shape sorted along is a ring, whose last point repeats its first: a last record at the
    // place of the first is that crossing again, found on the last edge. The two ends of an open
    // shape are different vertices, even at one place.
    bool ring = true;
    // Records at one place are one crossing only where the shape sorted along passes it once: on
    // one segment, or on segments with only vertices at that place between them. A polyline that
    // comes back to a place meets the other shape there once per pass.
    bool per_pass_of_shape = false;
    // Records at one place are one crossing only when they stand on one vertex of the other shape
    // (whose index they already hold as vertex indexes): different ones are passes of the other.
    bool per_pass_of_other = false;
};

// Orders the records from `first` on along `shape` (by the edge index selected by `which`, then by
// distance from that edge's start, ties by the other index, then in list order), drops every
// record that is one crossing with the record before it (kept or not), and, along a ring, the last
// record when it is one crossing with the first (see MergeRule).
void sort_and_merge_crosspts(const geom_t* shape, crosspts_t* list, int first, int which,
                             MergeRule rule);

// Rebuilds `target` (emptied first) from the first point_count points of `copy` with the sorted
// records from `first` on inserted after the start of their edge, and rewrites each record's index
// (selected by `which`) to the crossing's vertex index. A crossing within 0.0001 of its edge's
// start takes that vertex; one within 0.0001 of the edge's end is replaced by the end vertex.
// With `share_places` (records kept once per pass of the other shape), a record within 0.0001 of
// the crossing inserted just before it takes that crossing's vertex instead of a copy of it.
void insert_crosspts_along(const geom_t* copy, int point_count,
                           const std::vector<unsigned char>& crossed, geom_t* target,
                           crosspts_t* list, int first, int which, bool share_places = false);

// Point location in both rings of a classification, each ring prepared once for its many points.
// Neither ring may change while it is used.
struct RingPairLocators {
    const polygon_t* a;
    const polygon_t* b;
    RingLocator in_a;
    RingLocator in_b;
    RingPairLocators(const polygon_t* ring_a, const polygon_t* ring_b)
        : a(ring_a), b(ring_b), in_a(ring_a), in_b(ring_b) {}
};

// Side of the second ring (0 outside, 1 inside, 2 on an edge, 3 at a vertex) of the midpoint of
// a's vertex i and the vertex after it.
int side_after_vertex(const polygon_t* a, const polygon_t* b, int i);
int side_after_vertex(const polygon_t* a, RingLocator* in_b, int i);

// Kind of meeting (0..6) from where a shape runs just after and just before a point, as point-in-
// polygon codes of the other ring (0 outside, 1 inside, 2 on an edge, 3 at a vertex); -1 when it
// runs outside on both sides (a touch from outside, which each caller settles its own way).
int meeting_kind_of_sides(int after, int before);

// Kind of meeting (0..6) of a's vertex i relative to b, given `after`, the side of b on which a
// runs just after the vertex (side_after_vertex). When a runs outside b on both sides, b's vertex
// at `lookup` decides between 1 and 2; without such a vertex the kind is 1.
int meeting_kind_after_side(const polygon_t* a, const polygon_t* b, int i, int after,
                            point_t lookup);
int meeting_kind_after_side(RingPairLocators* rings, int i, int after, point_t lookup);

// Kind of meeting (0..6) of a's vertex at p relative to b (judge_crosspt_polygons): kind 1 when a
// has no vertex at p.
int meeting_kind_at(const polygon_t* a, const polygon_t* b, point_t p);

// Takes every record from `first` on to vertex indexes within 0 .. num - 1 of each ring and fills
// in `curpt_flag` (side_after_vertex) and `flag` (meeting_kind_after_side, looking a's vertex up in
// b). Both rings stay as they are meanwhile, so each is prepared once for locating points.
void classify_crosspts(const polygon_t* a, const polygon_t* b, crosspts_t* list, int first);

// The steps after the candidate search, common to the ring engines: order the records along a and
// insert them into a, the same along b (merging records within merge_tolerance), then classify
// each. Rings without crossings keep their points.
void insert_and_classify_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out,
                                  const CrossingWork& work, double merge_tolerance);

// The same for the engines that take a polyline as the first shape: records ordered and inserted
// along each shape in turn (merging points within merge_tolerance), index1 and index2 left as
// vertex indexes of the rebuilt shapes. The polyline keeps a record for every pass through a
// place, its ends included. Along the second shape (`second_is_ring` or a polyline), the passes of
// the first through one place keep their records and share the second's vertex there. Shapes
// without records keep their points.
void sort_and_insert_line_crosspts(geom_t* first, geom_t* second, crosspts_t* out,
                                   const CrossingWork& work, double merge_tolerance,
                                   bool second_is_ring);

// Runs an engine's steps on working copies of two shapes with at least one segment each (others
// are left alone). Should a scratch allocation fail part-way, both shapes get their points back
// and this call's records are dropped, so the caller never sees a half-rebuilt shape.
// The working copies and marks go into `scratch` when one is given.
template <typename Steps>
void run_crossing_steps(geom_t* a, geom_t* b, crosspts_t* out, Steps steps,
                        CrossingScratch* scratch = nullptr) {
    if (a == nullptr || b == nullptr || out == nullptr)
        return;
    if (a->count < 2 || b->count < 2)
        return;
    CrossingWork work(a, b, out, scratch);
    bool done = guarded(false, [&] {
        work.crossed_a.assign(a->count, 0);
        work.crossed_b.assign(b->count, 0);
        steps(work);
        return true;
    });
    if (done)
        return;
    for (auto [shape, copy] : {std::pair{a, work.points_a()}, {b, work.points_b()}}) {
        com_geom_clear(shape);
        for (int p = 0; p < copy->count; ++p)
            com_geom_add(shape, copy->points[p]);
    }
    out->count = work.first_record;
}

// calc_polygon_and_polygon_crosspts, with the working copies and marks in `scratch` (when not
// null) instead of storage of its own.
void polygon_and_polygon_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out,
                                  CrossingScratch* scratch);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_CROSSPOINT_CROSSPOINT_INTERNAL_H
