// The walks of the intersection and the difference of two rings and the steps around them: touching
// crossings dropped, the crossing list looked up by vertex, the walk state both walks share, and
// the whole operation around a walk.
#ifndef MAPGEOM_SRC_ALGEBRA_CROSSING_WALK_H
#define MAPGEOM_SRC_ALGEBRA_CROSSING_WALK_H

#include <optional>
#include <vector>

#include "algebra/places.h"
#include "algebra/shape_steps.h"
#include "algebra/walk_state.h"
#include "com/codes.h"
#include "com/owned.h"
#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "relation/ring_locator.h"

namespace mapgeom {

// Intersection and difference of two rings (algebra_polygons_intersec.cpp holds these steps; each
// operation's own unit holds its walk). Crossings are a point list filled by
// find_all_polygon_crosspts; a ring vertex is a crossing when the list holds its position.

// How the rings lie, as an offset added to 1 (no crossing) or 4 (a walk that built nothing): 0 no
// vertex of A outside B, 1 no vertex of B outside A, 2 neither. Where all vertices of a ring lie
// inside or on the other, its edge midpoints decide.
int nesting_offset(const polygon_t* a, const polygon_t* b);

// A ring's locator, made when first asked for and dropped when the ring's points move; told how
// many points it is expected to locate (expect_points).
struct LazyLocator {
    const polygon_t* ring;
    long expected;
    std::optional<RingLocator> located;
    RingLocator* get() {
        if (!located) {
            located.emplace(ring);
            expect_points(&*located, expected);
        }
        return &*located;
    }
};

// The lookups of both rings for one overlay: each ring's vertices by place and its locator for the
// side tests. Touch judging moves vertices and keeps the grids in step (and drops a moved ring's
// locator); from then on the rings keep their points to the end of the operation, so the walk and
// the result code ask the same lookups (a locator that has built its slabs builds them once for
// all the steps).
struct OverlayLookups {
    // Touch judging locates about two points in B for every crossing, the walk one more.
    OverlayLookups(const polygon_t* a, const polygon_t* b, int crossings)
        : in_a{a, crossings, {}},
          in_b{b, 3L * crossings, {}},
          places_a(&a->geom),
          places_b(&b->geom) {}
    LazyLocator in_a;
    LazyLocator in_b;
    PlaceIndex places_a;
    PlaceIndex places_b;
};

// Which touching crossings lose their marker when they leave the list.
enum class TouchMarkers { kAllTouches, kAllButInnerTouch };

// Takes every crossing where A only touches B (kinds 1 to 4) out of the list; the vertex of each
// ring there loses its crossing marker (kind 2, B touching A from inside, keeps it with
// kAllButInnerTouch). Both rings' vertices take A's coordinates.
void drop_touching_crossings(polygon_t* a, polygon_t* b, geom_t* points, TouchMarkers markers,
                             OverlayLookups* lookups);

// The crossing list of a walk looked up by vertex. Built once the touching crossings are dropped
// (the list and the rings do not change during a walk), it answers in constant time what a walk
// would otherwise find by searching the list and the rings for a position: whether a vertex is a
// crossing, the first vertex of each ring at its place, and on which side of B A runs after it.
class CrossingVertices {
public:
    // The rings must keep their points while this is used; lookups must be theirs.
    CrossingVertices(const polygon_t* a, const polygon_t* b, const geom_t* points,
                     OverlayLookups* lookups);

    // For vertex i of ring `ring`: whether the list holds its place (com_geom_find), and the first
    // vertex of A and of B at its place (com_polygon_find; -1 when none). The first two are asked
    // of listed vertices only.
    bool listed(WalkSide ring, int i) const { return at(ring, i).listed; }
    int first_on_a(WalkSide ring, int i) const { return at(ring, i).on_a; }
    int first_on_b(WalkSide ring, int i) const { return at(ring, i).on_b; }

    // judge_curpt_pos of A's vertex k, the first of A at its place: where A runs just after it
    // relative to B (0 outside, 1 inside, 2 on an edge, 3 at a vertex). Computed once per vertex.
    int side_after(int k);

    // The vertices of B at p (com_points_same), ascending.
    std::vector<int> vertices_of_b_at(point_t p) const { return places_b_->all_at(p); }

    // As get_outestpt_pos: the first free listed vertex of A after which A runs outside B, or -1.
    // A vertex passed over stays disqualified (used marks only grow, the rest is fixed), so each
    // search resumes where the last one stopped.
    int next_start(const UsedMarks& used);

private:
    struct Vertex {
        bool listed = false;
        int on_a = -1;
        int on_b = -1;
    };
    const Vertex& at(WalkSide ring, int i) const {
        return ring == WalkSide::kA ? vertices_a_[i] : vertices_b_[i];
    }

    const polygon_t* a_;
    const polygon_t* b_;
    const PlaceIndex* places_b_;
    std::vector<Vertex> vertices_a_;
    std::vector<Vertex> vertices_b_;
    std::vector<signed char> side_after_;  // -1 until computed
    RingLocator* in_b_;                    // b located once for all the side tests
    StartCursor starts_;
};

// What the walks of the intersection and the difference share: the rings, the crossings looked up
// by vertex, the used marks of A, the ring under construction, and which ring the walk follows
// at which vertex. Walk (the derived walk) provides begin_ring() (false when no start is left),
// pass(p) for a point that is no crossing and at_crossing(p) (false when the walk is over).
template <typename Walk>
class CrossingWalk : protected WalkState {
public:
    CrossingWalk(polygon_t* a, polygon_t* b, const geom_t* points, polygons_t* out,
                 OverlayLookups* lookups)
        : WalkState(a, b), a_(a), b_(b), crossings_(a, b, points, lookups), out_(out) {}

    // Walks until every vertex of A is used, no start is left, or after `limit` steps (vertices
    // of A passed over as used are free: with one still unused, a step comes within n_A of them).
    void run(long limit) {
        Walk& walk = static_cast<Walk&>(*this);
        if (!walk.begin_ring())
            return;
        for (long step = 0; used_.remaining() > 0 && step < limit;) {
            point_t p;
            if (!advance(&p))
                continue;
            ++step;
            if (!crossings_.listed(side_, here()))
                walk.pass(p);
            else if (!walk.at_crossing(p))
                return;
        }
    }

protected:
    polygon_t* ring() { return &ring_.ring; }
    void add(point_t p) { cur_polygon_add(ring(), p); }
    // Starts a ring at vertex `start` of A; false (nothing changed) when start is -1.
    bool begin_at(int start) {
        if (start < 0)
            return false;
        i_ = start;
        side_ = WalkSide::kA;
        started_ = false;
        return true;
    }
    // Whether p, the walk's place, closes the ring under construction.
    bool closes_ring(point_t p) {
        return com_polygon_num(ring()) > 0 && same_point(p, com_polygon_front(ring()));
    }
    // Where A runs just after its vertex in_a at p, relative to B (judge_curpt_pos).
    int side_after(int in_a, point_t p) {
        return in_a >= 0 ? crossings_.side_after(in_a) : judge_curpt_pos(a_, b_, p);
    }

    polygon_t* a_;
    polygon_t* b_;
    CrossingVertices crossings_;
    polygons_t* out_;
    bool started_ = false;

private:
    // The next point along the side followed; false for a used vertex of A (passed over).
    bool advance(point_t* p) {
        int k = WalkState::advance();
        if (side_ == WalkSide::kA && used_.is_used(k))
            return false;
        *p = com_polygon_at(side_ == WalkSide::kA ? a_ : b_, k);
        return true;
    }
};

// Ends a walked ring: removes repeated points, cuts it at repeated vertices and appends the pieces
// to out. The ring is left empty for the next one.
void close_walked_ring(polygon_t* ring, polygons_t* out);

// The walks: each returns kOverlayDone when it built something, else 4, 5 or 6 by nesting_offset.
// Given the two rings as prepared before their crossings went in, the intersection returns
// kOverlayFailed, with nothing appended, when its rings enclose more than the smaller of two valid
// rings (a walk that went wrong).
int polygons_intersec(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out,
                      OverlayLookups* lookups, const polygon_t* a_prepared = nullptr,
                      const polygon_t* b_prepared = nullptr);
int polygons_diffence(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out,
                      OverlayLookups* lookups);

enum class Overlay { kIntersec, kDiffence };

// The whole operation around a walk: removes repeated points from both rings, turns A counter-
// clockwise and B like A (intersection) or against it (difference, so that B's stretches come out
// in the direction that bounds what is left of A), finds the crossings, reports how rings without
// crossings lie, else walks, removes degenerate rings from what the walk built, settles the result
// code and appends the rings to out (rings already in out are left alone).
int run_crossing_overlay(polygon_t* a, polygon_t* b, polygons_t* out, Overlay op);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_CROSSING_WALK_H
