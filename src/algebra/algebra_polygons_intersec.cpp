// Intersection of two rings, and the steps it shares with the difference. Both rings get every
// boundary crossing inserted as a marked vertex (find_all_polygon_crosspts); crossings where the
// rings only touch are dropped; then a walk follows A from a crossing where A leaves B, and
// switches to B where A leaves B and back to A where A enters B, asking afresh at each crossing on
// which side of B the boundary of A runs. Stretches taken from B carry press code 1 or more in the
// result. Limits: a walk only sees crossings that are vertices of both rings (within 0.0001), and
// sides are judged at edge midpoints, so stretches shorter than the tolerances are not told apart.
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/numeric.h"
#include "mapgeom/algebra.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"

namespace {

using mapgeom::kOverlayDone;
using mapgeom::UsedVertices;
using mapgeom::WalkRing;

// A walk of the intersection takes at most this many steps per vertex of A before it gives up on
// a ring that does not close.
constexpr long kIntersecStepsPerVertex = 15;
// Added to a point's code when a ring vertex is a crossing (see find_all_polygon_crosspts).
constexpr double kCrossingMarker = 100.0;

enum class Side { kA, kB };

bool same_point(point_t a, point_t b) {
    return com_points_same(a, b) == 0;
}

bool is_listed(const geom_t* points, point_t p) {
    return com_geom_find(points, p) != -1;
}

// A point taken from B: its press code becomes at least 1 (1 is added unless it is 1 already).
point_t pressed(point_t p) {
    if (mapgeom::press_code_of(p.z) != 1)
        p.z += 1.0;
    return p;
}

// Sets a ring's vertex, and the closing point with vertex 0, so both copies agree.
void set_vertex(polygon_t* ring, int index, point_t p) {
    com_polygon_setat(ring, index, p);
    if (index == 0 && ring->geom.count > 1)
        com_polygon_setat(ring, ring->geom.count - 1, p);
}

// Takes the crossing marker off each ring's vertex at c; both take A's coordinates.
void unmark_crossing(polygon_t* a, polygon_t* b, point_t c) {
    int in_a = com_polygon_find(a, c);
    if (in_a < 0)
        return;
    point_t place = com_polygon_at(a, in_a);
    for (polygon_t* ring : {a, b}) {
        int at = ring == a ? in_a : com_polygon_find(b, c);
        if (at < 0)
            continue;
        point_t v = com_polygon_at(ring, at);
        if (v.z >= kCrossingMarker)
            v.z -= kCrossingMarker;
        set_vertex(ring, at, point_t{place.x, place.y, v.z});
    }
}

bool any_vertex_outside(const polygon_t* ring, const polygon_t* other) {
    for (int v = 0; v < com_polygon_num(ring); ++v)
        if (relation_point_at_polygon(other, com_polygon_at(ring, v)) == 0)
            return true;
    return false;
}

// Whether B runs outside A just after one of its crossing vertices.
bool b_leaves_a_somewhere(const polygon_t* a, const polygon_t* b, const geom_t* points) {
    for (int v = 0; v < com_polygon_num(b); ++v) {
        point_t p = com_polygon_at(b, v);
        if (is_listed(points, p) && judge_curpt_pos(b, a, p) == 0)
            return true;
    }
    return false;
}

// Scratch records of one call that release themselves.
struct PointList {
    geom_t geom{};
    PointList() { com_geom_init(&geom); }
    PointList(const PointList&) = delete;
    PointList& operator=(const PointList&) = delete;
    ~PointList() { com_geom_free(&geom); }
};

struct RingList {
    polygons_t list{};
    RingList() { com_polygons_init(&list); }
    RingList(const RingList&) = delete;
    RingList& operator=(const RingList&) = delete;
    ~RingList() { com_polygons_free(&list); }
    // Moves every ring to the end of out; this list is left empty.
    void hand_over(polygons_t* out) {
        com_polygons_addrange(out, &list);
        com_polygons_free_node(&list);
        com_polygons_init(&list);
    }
};

// The result code once the walk is over and its degenerate rings are gone.
int settle_code(const polygon_t* a, const polygon_t* b, const geom_t* points, int walked,
                const polygons_t* built) {
    if (walked != kOverlayDone)
        return walked;
    if (com_polygons_num(built) == 0)
        return mapgeom::kWalkEmptyApart;
    return b_leaves_a_somewhere(a, b, points) ? kOverlayDone : mapgeom::kWalkEmptyBWithinA;
}

// The intersection's walk. A ring starts at the first crossing after the start vertex where A runs
// into B; A is followed while inside B, B from each crossing where A leaves B, until the walk is
// back at the ring's first point.
class IntersecWalk {
public:
    IntersecWalk(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out)
        : a_(a),
          b_(b),
          points_(points),
          out_(out),
          n_a_(com_polygon_num(a)),
          n_b_(com_polygon_num(b)),
          used_(n_a_) {}

    bool produced() const { return produced_; }

    void run() {
        if (!begin_ring())
            return;
        const long limit = kIntersecStepsPerVertex * n_a_;
        for (long step = 1; used_.remaining > 0 && step <= limit; ++step) {
            point_t p;
            if (!advance(&p))
                continue;
            if (!is_listed(points_, p))
                pass(p);
            else if (!at_crossing(p))
                return;
        }
    }

private:
    polygon_t* ring() { return &current_.ring; }
    void add(point_t p) { cur_polygon_add(ring(), p); }

    bool begin_ring() {
        int start = get_outestpt_pos(a_, b_, points_, used_.used.data());
        if (start < 0)
            return false;
        i_ = start;
        side_ = Side::kA;
        started_ = false;
        first_entry_seen_ = false;
        return true;
    }

    // The next point along the side followed; false for a used vertex of A (passed over).
    bool advance(point_t* p) {
        if (side_ == Side::kA) {
            i_ = (i_ + 1) % n_a_;
            if (used_.is_used(i_))
                return false;
            *p = com_polygon_at(a_, i_);
        } else {
            j_ = (j_ + 1) % n_b_;
            *p = com_polygon_at(b_, j_);
        }
        return true;
    }

    // A point that is not a crossing.
    void pass(point_t p) {
        if (side_ == Side::kB) {
            if (started_)
                add(pressed(p));
            return;
        }
        if (started_)
            add(p);
        if (taken_from_a_)
            used_.use(i_);
    }

    // A crossing: close the ring, or switch sides. False when no start is left for a new ring.
    bool at_crossing(point_t p) {
        if (com_polygon_num(ring()) > 0 && same_point(p, com_polygon_front(ring()))) {
            close(p);
            return begin_ring();
        }
        int in_a = com_polygon_find(a_, p);
        if (used_.is_used(in_a)) {
            if (side_ == Side::kB && started_)
                add(p);
            return true;
        }
        if (judge_curpt_pos(a_, b_, p) != 0)
            enter(p, in_a);
        else if (started_)
            leave(p);
        return true;
    }

    // A runs into B after p: follow A.
    void enter(point_t p, int in_a) {
        add(p);
        started_ = true;
        i_ = in_a;
        if (first_entry_seen_)
            used_.use(i_);
        first_entry_seen_ = true;
        side_ = Side::kA;
        taken_from_a_ = true;
    }

    // A runs outside B after p: follow B.
    void leave(point_t p) {
        add(pressed(p));
        j_ = com_polygon_find(b_, p);
        used_.use(i_);
        side_ = Side::kB;
        produced_ = true;
    }

    // Back at the ring's first point. When the ring arrives there along a pressed stretch, the
    // closing point is pressed like every point from B (1 added unless its code is 1 already, so a
    // pressed crossing never reads as a section's start) and the first point takes its code.
    void close(point_t p) {
        if (mapgeom::press_code_of(com_polygon_last(ring()).z) > 0) {
            p = pressed(p);
            com_polygon_setat(ring(), 0, p);
        }
        add(p);
        mapgeom::close_walked_ring(ring(), out_);
        used_.use(com_polygon_find(a_, p));
    }

    polygon_t* a_;
    polygon_t* b_;
    geom_t* points_;
    polygons_t* out_;
    int n_a_;
    int n_b_;
    UsedVertices used_;
    WalkRing current_;
    Side side_ = Side::kA;
    int i_ = 0;
    int j_ = 0;
    bool started_ = false;
    bool first_entry_seen_ = false;
    bool taken_from_a_ = false;
    bool produced_ = false;
};

}  // namespace

namespace mapgeom {

void prepare_overlay_rings(polygon_t* a, polygon_t* b, TurnB turn) {
    optimize_polygon_del_repeatpts(a);
    optimize_polygon_del_repeatpts(b);
    if (relation_polygon_direction(a) != 0)
        com_polygon_reverse(a);
    bool b_counter_clockwise = relation_polygon_direction(b) == 0;
    if (b_counter_clockwise != (turn == TurnB::kLikeA))
        com_polygon_reverse(b);
}

int nesting_offset(const polygon_t* a, const polygon_t* b) {
    if (!any_vertex_outside(a, b))
        return 0;
    if (!any_vertex_outside(b, a))
        return 1;
    return 2;
}

void drop_touching_crossings(polygon_t* a, polygon_t* b, geom_t* points, TouchMarkers markers) {
    for (int k = 0; k < points->count;) {
        point_t c = points->points[k];
        int kind = judge_crosspt_polygons(a, b, c);
        if (kind == 0 || kind == 5 || kind == 6) {
            ++k;
            continue;
        }
        com_geom_removeat(points, k);
        if (kind == 2 && markers == TouchMarkers::kAllButInnerTouch)
            continue;
        unmark_crossing(a, b, c);
    }
}

void close_walked_ring(polygon_t* ring, polygons_t* out) {
    optimize_polygon_del_repeatpts(ring);
    RingList pieces;
    split_polygon_by_repeat_points(ring, &pieces.list, 0);
    pieces.hand_over(out);
    com_polygon_init(ring);
}

int polygons_intersec(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out) {
    drop_touching_crossings(a, b, points, TouchMarkers::kAllTouches);
    IntersecWalk walk(a, b, points, out);
    walk.run();
    return walk.produced() ? kOverlayDone : kWalkEmptyAWithinB + nesting_offset(a, b);
}

int run_crossing_overlay(polygon_t* a, polygon_t* b, polygons_t* out, TurnB turn,
                         OverlayWalk walk) {
    if (a == nullptr || b == nullptr || out == nullptr)
        return kOverlayFailed;
    return guarded(static_cast<int>(kOverlayFailed), [&] {
        PointList points;
        prepare_overlay_rings(a, b, turn);
        find_all_polygon_crosspts(a, b, &points.geom);
        if (points.geom.count == 0)
            return kNoCrossingAWithinB + nesting_offset(a, b);
        RingList built;
        int walked = walk(a, b, &points.geom, &built.list);
        err_polygon_process(&built.list);
        int code = settle_code(a, b, &points.geom, walked, &built.list);
        built.hand_over(out);
        return code;
    });
}

}  // namespace mapgeom

int algebra_polygons_intersec(polygon_t* a, polygon_t* b, polygons_t* out) {
    return mapgeom::run_crossing_overlay(a, b, out, mapgeom::TurnB::kLikeA,
                                         mapgeom::polygons_intersec);
}
