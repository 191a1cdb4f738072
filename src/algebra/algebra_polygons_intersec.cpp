// Intersection of two rings, and the steps it shares with the difference. Both rings get every
// boundary crossing inserted as a marked vertex (find_all_polygon_crosspts); crossings where the
// rings only touch are dropped; then a walk follows A from a crossing where A leaves B, and
// switches to B where A leaves B and back to A where A enters B, asking afresh at each crossing on
// which side of B the boundary of A runs. Stretches taken from B carry press code 1 or more in the
// result. Limits: a walk only sees crossings that are vertices of both rings (within 0.0001), and
// sides are judged at edge midpoints, so stretches shorter than the tolerances are not told apart.
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "algebra/crossing_walk.h"
#include "algebra/live_shape.h"
#include "algebra/places.h"
#include "algebra/polygon_sets.h"
#include "algebra/shape_steps.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "com/owned.h"
#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "relation/orientation.h"
#include "relation/ring_locator.h"

namespace {

using namespace mapgeom;  // the shared codes, holders and steps

// A walk of the intersection takes at most this many steps per vertex of A and B before it gives
// up on a ring that does not close. A walk that closes visits each vertex of either ring a few
// times at most, so the bound only stops walks that cannot close. (Counting A's vertices alone
// cut walks short that follow long stretches of B.)
constexpr long kIntersecStepsPerVertex = 15;

// The intersection's rings may enclose more than the smaller ring by this much per unit of their
// boundary's length before its walk counts as wrong (walked_too_much).
constexpr double kWalkedAreaSlack = 0.01;

// Two edges leaving one point run along each other when the nearer end lies this near the other
// edge (the band of the side tests at crossings).
constexpr double kAlongPermit = kSideTestPermit;

// A point taken from B: its press code becomes at least 1 (1 is added unless it is 1 already).
point_t taken_from_b(point_t p) {
    if (press_code_of(p.z) != 1)
        p.z += 1.0;
    return p;
}

// Which crossings are mere touches, asked of the rings while touches lose their markers, with the
// lookups the judgement makes (the first vertex of a ring at a place, the side of a ring a midpoint
// lies on) answered from a grid of places and a locator per ring instead of a pass over a ring for
// every crossing. Taking a marker off moves B's vertex onto A's coordinates (and a ring's closing
// point with its vertex 0); the grids follow each move, and a ring whose points moved gets a fresh
// locator when it is next asked about, so every answer is the one the rings give as they then are.
class TouchJudge {
public:
    TouchJudge(polygon_t* a, polygon_t* b, OverlayLookups* lookups)
        : a_(a),
          b_(b),
          places_a_(lookups->places_a),
          places_b_(lookups->places_b),
          in_a_(&lookups->in_a),
          in_b_(&lookups->in_b) {}

    // judge_crosspt_polygons(a, b, c).
    int kind(point_t c) {
        int i = places_a_.first_at(c);
        if (i < 0)
            return kKindTouchOutsideApart;
        int after = side_of_midpoint(a_, i, com_polygon_nexter(a_, i), in_b_);
        int before = side_of_midpoint(a_, i, com_polygon_priorer(a_, i), in_b_);
        int kind = meeting_kind_of_sides(after, before);
        if (kind >= 0)
            return kind;
        int j = places_b_.first_at(c);
        if (j < 0)
            return kKindTouchOutsideApart;
        return side_of_midpoint(b_, j, com_polygon_nexter(b_, j), in_a_) != kPointOutside
                   ? kKindTouchOutsideAround
                   : kKindTouchOutsideApart;
    }

    // Takes the crossing marker off each ring's vertex at c; both take A's coordinates.
    void unmark(point_t c) {
        int in_a = places_a_.first_at(c);
        if (in_a < 0)
            return;
        point_t place = com_polygon_at(a_, in_a);
        unmark_vertex(a_, in_a, place, &places_a_, in_a_);
        int in_b = places_b_.first_at(c);
        if (in_b >= 0)
            unmark_vertex(b_, in_b, place, &places_b_, in_b_);
    }

private:
    // Where the midpoint of vertex i of ring and `toward` lies in the locator's ring.
    static int side_of_midpoint(const polygon_t* ring, int i, point_t toward, LazyLocator* other) {
        point_t vertex = com_polygon_at(ring, i);
        point_t mid = calc_plough_around_point(vertex, toward, vertex);
        return locate_in_ring(other->get(), mid, kSideTestPermit);
    }

    // Vertex `index` of ring (and the closing point with vertex 0) takes the place's coordinates
    // and loses the marker.
    static void unmark_vertex(polygon_t* ring, int index, point_t place, PlaceIndex* grid,
                              LazyLocator* locator) {
        point_t v = com_polygon_at(ring, index);
        if (v.z >= kNodeMarker)
            v.z -= kNodeMarker;
        point_t unmarked{place.x, place.y, v.z};
        int last = ring->geom.count - 1;
        for (int k : {index, index == 0 && last > 0 ? last : -1}) {
            if (k < 0)
                continue;
            point_t old = com_polygon_at(ring, k);
            com_polygon_setat(ring, k, unmarked);
            if (old.x == unmarked.x && old.y == unmarked.y)
                continue;
            grid->move(k, unmarked);
            locator->located.reset();
        }
    }

    polygon_t* a_;
    polygon_t* b_;
    PlaceIndex& places_a_;
    PlaceIndex& places_b_;
    LazyLocator* in_a_;
    LazyLocator* in_b_;
};

// Whether some vertex of ring lies outside other or, when none does, some edge midpoint. With the
// crossings inserted as vertices no edge crosses the other boundary, so an edge lies inside,
// outside or along it as its midpoint does: a ring whose vertices all lie on the other's boundary
// (a triangle against two of its edges) is told apart from one within the other.
bool any_boundary_point_outside(const polygon_t* ring, const polygon_t* other) {
    int n = com_polygon_num(ring);
    for (int v = 0; v < n; ++v)
        if (relation_point_at_polygon(other, com_polygon_at(ring, v)) == 0)
            return true;
    for (int v = 0; v < n; ++v) {
        point_t p = com_polygon_at(ring, v);
        point_t q = com_polygon_nexter(ring, v);
        if (relation_point_at_polygon(other, point_t{(p.x + q.x) / 2, (p.y + q.y) / 2, 0.0}) == 0)
            return true;
    }
    return false;
}

// Whether B runs outside A just after one of its crossing vertices (judge_curpt_pos(b, a, vertex)
// for each, with A located by in_a).
bool b_leaves_a_somewhere(const polygon_t* b, const geom_t* points, const PlaceIndex& places_b,
                          RingLocator* in_a) {
    PlaceIndex listed(points);
    for (int v = 0; v < com_polygon_num(b); ++v) {
        point_t p = com_polygon_at(b, v);
        if (listed.first_at(p) != -1 && side_after_vertex(b, in_a, places_b.first_at(p)) == 0)
            return true;
    }
    return false;
}

// Removes consecutive repeated points from both rings, turns A counter-clockwise and B like A or
// against it.
void prepare_rings(polygon_t* a, polygon_t* b, bool b_like_a) {
    clean_and_orient(a);
    optimize_polygon_del_repeatpts(b);
    bool b_counter_clockwise = relation_polygon_direction(b) == 0;
    if (b_counter_clockwise != b_like_a)
        com_polygon_reverse(b);
}

// Whether a ring bounds any area: three vertices or more, not all on one line. A ring without
// area (a point, a segment walked there and back) has no inside for a walk to follow; walking it
// against another ring builds rings out of the other's boundary alone.
bool has_area(const polygon_t* ring) {
    return com_polygon_num(ring) >= 3 && is_allpoints_at_line(ring) != 0;
}

// Whether edges p->q and p->r leave p along the same line in the same sense: the nearer end lies on
// the longer edge. (Collinear overlaps can leave a vertex of one ring inside an edge of the other,
// so the two edges need not end at the same point.)
bool leave_together(point_t p, point_t q, point_t r) {
    double to_q = (q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y);
    double to_r = (r.x - p.x) * (r.x - p.x) + (r.y - p.y) * (r.y - p.y);
    return to_q <= to_r ? relation_point_at_line(q, p, r, kAlongPermit) == 0
                        : relation_point_at_line(r, p, q, kAlongPermit) == 0;
}

// Where A runs just after its vertex at p, relative to B (judge_curpt_pos), with one correction: a
// stretch of A along B's boundary counts as inside B only when B runs the same way along it, that
// is when both rings lie on the same side of it. When B runs the other way the rings lie on either
// side, A's stretch is outside B, and taking it as inside would send the walk along a boundary
// that bounds nothing in common (and, past vertices already used, across A's interior).
// `side` is judge_curpt_pos there, in_a the first vertex of A at p (com_polygon_find).
int corrected_side(int side, CrossingVertices* crossings, const polygon_t* a, const polygon_t* b,
                   int in_a, point_t p) {
    if (in_a < 0 || (side != 2 && side != 3))
        return side;
    point_t next_a = com_polygon_nexter(a, in_a);
    for (int j : crossings->vertices_of_b_at(p)) {
        if (j >= com_polygon_num(b))
            break;
        if (leave_together(p, next_a, com_polygon_nexter(b, j)))
            return side;
        if (leave_together(p, next_a, com_polygon_priorer(b, j)))
            return 0;
    }
    return side;
}

// The result code once the walk is over and its degenerate rings are gone. When the walk built
// rings and all were degenerate, what is common is nothing (rings that touch: 6), and what is left
// of A is nothing (A within B: 4, not 6, which would tell the caller that all of A is left).
int settle_code(Overlay op, const polygon_t* b, const geom_t* points, int walked,
                const polygons_t* built, OverlayLookups* lookups) {
    if (walked != kOverlayDone)
        return walked;
    if (com_polygons_num(built) == 0)
        return op == Overlay::kIntersec ? kWalkEmptyApart : kWalkEmptyAWithinB;
    return b_leaves_a_somewhere(b, points, lookups->places_b, lookups->in_a.get())
               ? kOverlayDone
               : kWalkEmptyBWithinA;
}

// The intersection's walk. A ring starts at the first crossing after the start vertex where A runs
// into B; A is followed while inside B, B from each crossing where A leaves B, until the walk is
// back at the ring's first point.
class IntersecWalk : public CrossingWalk<IntersecWalk> {
public:
    using CrossingWalk::CrossingWalk;

    bool produced() const { return produced_; }
    void run() { CrossingWalk::run(kIntersecStepsPerVertex * (n_a_ + n_b_)); }

    // The area the rings closed so far enclose as the walk built them (before their points were
    // snapped to whole units), and the length of their boundaries.
    double walked_area() const { return walked_area_; }
    double walked_length() const { return walked_length_; }

    bool begin_ring() {
        int start = crossings_.next_start(used_);
        first_entry_seen_ = false;
        return begin_at(start >= 0 ? start : start_along_b());
    }

    // A point that is not a crossing.
    void pass(point_t p) {
        if (side_ == WalkSide::kB) {
            if (started_)
                add(taken_from_b(p));
            return;
        }
        if (started_)
            add(p);
        if (taken_from_a_)
            used_.use(i_);
    }

    // A crossing: close the ring, or switch sides. False when no start is left for a new ring.
    bool at_crossing(point_t p) {
        if (closes_ring(p)) {
            close(p, crossings_.first_on_a(side_, here()));
            return begin_ring();
        }
        int in_a = crossings_.first_on_a(side_, here());
        if (used_.is_used(in_a)) {
            if (side_ == WalkSide::kB && started_)
                add(p);
            return true;
        }
        if (side_after_corrected(in_a, p) != 0)
            enter(p, in_a);
        else if (started_)
            leave(p);
        return true;
    }

private:
    int side_after_corrected(int in_a, point_t p) {
        return corrected_side(side_after(in_a, p), &crossings_, a_, b_, in_a, p);
    }

    // A start that get_outestpt_pos cannot see: a free crossing vertex of A after which A runs
    // along B's boundary the other way, which leaves B as surely as running off outside it does.
    // Searched only when no other start is left, so that rings keep the start they would have.
    int start_along_b() {
        for (int v = 0; v < n_a_; ++v) {
            if (used_.is_used(v) || !crossings_.listed(WalkSide::kA, v))
                continue;
            if (side_after_corrected(crossings_.first_on_a(WalkSide::kA, v),
                                     com_polygon_at(a_, v)) == 0)
                return v;
        }
        return -1;
    }

    // A runs into B after p: follow A.
    void enter(point_t p, int in_a) {
        add(p);
        started_ = true;
        i_ = in_a;
        if (first_entry_seen_)
            used_.use(i_);
        first_entry_seen_ = true;
        side_ = WalkSide::kA;
        taken_from_a_ = true;
    }

    // A runs outside B after p: follow B.
    void leave(point_t p) {
        add(taken_from_b(p));
        j_ = crossings_.first_on_b(side_, here());
        used_.use(i_);
        side_ = WalkSide::kB;
        produced_ = true;
    }

    // Back at the ring's first point. When the ring arrives there along a pressed stretch, the
    // closing point is pressed like every point from B (1 added unless its code is 1 already, so a
    // pressed crossing never reads as a section's start) and the first point takes its code.
    void close(point_t p, int in_a) {
        if (press_code_of(com_polygon_last(ring()).z) > 0) {
            p = taken_from_b(p);
            com_polygon_setat(ring(), 0, p);
        }
        add(p);
        const geom_t& walked = ring()->geom;
        walked_area_ += std::fabs(twice_signed_area(walked.points, walked.count)) / 2;
        for (int k = 0; k + 1 < walked.count; ++k) {
            double dx = walked.points[k + 1].x - walked.points[k].x;
            double dy = walked.points[k + 1].y - walked.points[k].y;
            walked_length_ += std::sqrt(dx * dx + dy * dy);
        }
        close_walked_ring(ring(), out_);
        used_.use(in_a);
    }

    double walked_area_ = 0.0;
    double walked_length_ = 0.0;
    bool first_entry_seen_ = false;
    bool taken_from_a_ = false;
    bool produced_ = false;
};

}  // namespace

namespace mapgeom {

CrossingVertices::CrossingVertices(const polygon_t* a, const polygon_t* b, const geom_t* points,
                                   OverlayLookups* lookups)
    : a_(a),
      b_(b),
      places_b_(&lookups->places_b),
      vertices_a_(a->geom.count),
      vertices_b_(b->geom.count),
      side_after_(a->geom.count, -1),
      in_b_(lookups->in_b.get()) {
    // A vertex is listed when some crossing is the same point: the vertices at each crossing's
    // place, found through the rings' grids, rather than every vertex looked up in the list.
    for (int k = 0; k < points->count; ++k) {
        lookups->places_a.visit_same(points->points[k],
                                     [&](int i) { vertices_a_[i].listed = true; });
        places_b_->visit_same(points->points[k], [&](int i) { vertices_b_[i].listed = true; });
    }
    for (auto [ring, vertices] :
         {std::make_pair(a, &vertices_a_), std::make_pair(b, &vertices_b_)}) {
        for (int i = 0; i < ring->geom.count; ++i) {
            Vertex& v = (*vertices)[i];
            if (v.listed) {
                point_t p = ring->geom.points[i];
                v.on_a = lookups->places_a.first_at(p);
                v.on_b = places_b_->first_at(p);
            }
        }
    }
}

int CrossingVertices::side_after(int k) {
    if (side_after_[k] < 0)
        side_after_[k] = static_cast<signed char>(side_after_vertex(a_, in_b_, k));
    return side_after_[k];
}

int CrossingVertices::next_start(const UsedMarks& used) {
    return starts_.next(com_polygon_num(a_), [&](int i) {
        const Vertex& v = vertices_a_[i];
        return !used.is_used(i) && v.listed && side_after(v.on_a) == kPointOutside;
    });
}

int nesting_offset(const polygon_t* a, const polygon_t* b) {
    if (!any_boundary_point_outside(a, b))
        return 0;
    if (!any_boundary_point_outside(b, a))
        return 1;
    return 2;
}

void drop_touching_crossings(polygon_t* a, polygon_t* b, geom_t* points, TouchMarkers markers,
                             OverlayLookups* lookups) {
    TouchJudge judge(a, b, lookups);
    int kept = 0;
    for (int k = 0; k < points->count; ++k) {
        point_t c = points->points[k];
        int kind = judge.kind(c);
        if (is_walkable_kind(kind)) {
            points->points[kept++] = c;
            continue;
        }
        if (kind == kKindTouchOutsideAround && markers == TouchMarkers::kAllButInnerTouch)
            continue;
        judge.unmark(c);
    }
    points->count = kept;
}

void close_walked_ring(polygon_t* ring, polygons_t* out) {
    optimize_polygon_del_repeatpts(ring);
    OwnedPolygons pieces;
    split_polygon_by_repeat_points(ring, &pieces.list, 0);
    pieces.hand_over(out);
    com_polygon_init(ring);
}

namespace {

// Whether the walk's rings enclose more than the smaller of the two rings as prepared (before the
// crossings went in), which no intersection of valid rings can: by more than a hundredth of their
// boundary's length, far beyond where the tolerances of the crossings can move it. Only a walk
// that went the wrong way at crossings close together builds such rings. Rings crossing
// themselves bound no area the walk can be held to, so they are never held to it.
bool walked_too_much(const IntersecWalk& walk, const polygon_t* a, const polygon_t* b) {
    double smaller = std::min(std::fabs(twice_signed_area(a->geom.points, a->geom.count)),
                              std::fabs(twice_signed_area(b->geom.points, b->geom.count))) /
                     2;
    if (!(walk.walked_area() > smaller + kWalkedAreaSlack * walk.walked_length()))
        return false;
    return relation_polygon_iserror(a) == 0 && relation_polygon_iserror(b) == 0;
}

}  // namespace

int polygons_intersec(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out,
                      OverlayLookups* lookups, const polygon_t* a_prepared,
                      const polygon_t* b_prepared) {
    drop_touching_crossings(a, b, points, TouchMarkers::kAllTouches, lookups);
    IntersecWalk walk(a, b, points, out, lookups);
    walk.run();
    // The rings of a walk that went wrong are not delivered: the failure is reported instead.
    if (a_prepared != nullptr && walked_too_much(walk, a_prepared, b_prepared)) {
        com_polygons_free(out);
        return kOverlayFailed;
    }
    return walk.produced() ? kOverlayDone : kWalkEmptyAWithinB + nesting_offset(a, b);
}

int run_crossing_overlay(polygon_t* a, polygon_t* b, polygons_t* out, Overlay op) {
    if (a == nullptr || b == nullptr || out == nullptr)
        return kOverlayFailed;
    bool intersec = op == Overlay::kIntersec;
    return guarded(static_cast<int>(kOverlayFailed), [&] {
        OwnedPoints points;
        prepare_rings(a, b, intersec);
        if (!has_area(a) || !has_area(b))
            return kNoCrossingAWithinB + nesting_offset(a, b);
        // The intersection holds its walk to the rings as they are before their crossings go in.
        OwnedRing a_prepared, b_prepared;
        if (intersec) {
            copy_points(&a_prepared.ring.geom, &a->geom);
            copy_points(&b_prepared.ring.geom, &b->geom);
        }
        find_all_polygon_crosspts(a, b, &points.g);
        if (points.g.count == 0)
            return kNoCrossingAWithinB + nesting_offset(a, b);
        OwnedPolygons built;
        OverlayLookups lookups(a, b, points.g.count);
        int walked = intersec ? polygons_intersec(a, b, &points.g, &built.list, &lookups,
                                                  &a_prepared.ring, &b_prepared.ring)
                              : polygons_diffence(a, b, &points.g, &built.list, &lookups);
        err_polygon_process(&built.list);
        drop_flat_rings(&built.list);
        // Snapping the crossings to whole units can leave a ring crossing or touching itself
        // where the two outlines run close (slivers between neighbours a unit apart): such a ring
        // goes as its repaired pieces, as the union delivers its own.
        mend_snapped_result_rings(&built.list);
        int code = settle_code(op, b, &points.g, walked, &built.list, &lookups);
        built.hand_over(out);
        return code;
    });
}

}  // namespace mapgeom

int algebra_polygons_intersec(polygon_t* a, polygon_t* b, polygons_t* out) {
    return run_crossing_overlay(a, b, out, Overlay::kIntersec);
}
