// Overlay and split helpers shared by the overlay, clipping, repair, split and reduction units but
// not exported: scratch records that release themselves, lookups of points by place, press-code
// rewriting, and the steps the intersection and the difference share.
#ifndef MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
#define MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "com/linked_list.h"
#include "mapgeom/algebra.h"
#include "mapgeom/com.h"
#include "mapgeom/measure.h"
#include "relation/ring_locator.h"

namespace mapgeom {

// Two points are the same when x and y each differ by less than this (com_points_same).
constexpr double kSamePointTolerance = 0.0001;

inline bool same_point(point_t a, point_t b) {
    return com_points_same(a, b) == 0;
}

// A point code without its press code: its hundreds and above.
inline double hundreds_of(double code) {
    return std::trunc(code / 100.0) * 100.0;
}

// Kinds of meeting (calc_crosspt_flag) at which a walk switches rings: a crossing (0), and leaving
// (5) or joining (6) a stretch along the other boundary. The others (1 to 4) are mere touches.
inline bool is_walkable_kind(int kind) {
    return kind == 0 || kind == 5 || kind == 6;
}

inline point_t midpoint(point_t a, point_t b) {
    return calc_plough_around_point(a, b, a);
}

// Band of the midpoint tests of the split operations, which tell whether a stretch of a cutting
// line runs inside, outside or along a boundary.
constexpr double kStretchPermit = 1e-6;

// Where the stretch from a to b runs relative to the locator's ring: the point-in-polygon code
// (0 outside, 1 inside, 2 on an edge, 3 at a vertex) of its midpoint.
inline int stretch_side(RingLocator* ring, point_t a, point_t b) {
    return locate_in_ring(ring, midpoint(a, b), kStretchPermit);
}

// Removes repeated points (optimize_polygon_del_repeatpts) and turns the ring counter-clockwise.
void clean_and_orient(polygon_t* ring);

// split_polyline_by_rect, but keeping the stretches along every side of the rectangle: the cut of
// a line to the whole tiled area of a grid, whose far sides belong to the last tiles.
int split_polyline_by_rect_keeping_sides(polyline_t* line, polygon_t* rect, polylines_t* out);

// ---------------------------------------------------------------------------------------------------
// Scratch records of one call that release themselves.

// A ring whose points the holder releases unless it hands them on. All-zero is an empty ring
// (points are allocated when the first one is added).
struct OwnedRing {
    polygon_t ring{};
    OwnedRing() = default;
    explicit OwnedRing(polygon_t adopted) : ring(adopted) {}
    OwnedRing(const OwnedRing&) = delete;
    OwnedRing& operator=(const OwnedRing&) = delete;
    ~OwnedRing() { com_polygon_free(&ring); }
    // Hands the points over (to a list that takes them); the holder is left empty.
    polygon_t release() {
        polygon_t handed = ring;
        ring = polygon_t{};
        return handed;
    }
};

// A polyline being built that releases whatever it still owns.
struct OwnedLine {
    polyline_t line{};
    OwnedLine() { com_polyline_init(&line); }
    OwnedLine(const OwnedLine&) = delete;
    OwnedLine& operator=(const OwnedLine&) = delete;
    ~OwnedLine() { com_polyline_free(&line); }
};

// A scratch point list.
struct PointList {
    geom_t g{};
    PointList() = default;
    PointList(const PointList&) = delete;
    PointList& operator=(const PointList&) = delete;
    ~PointList() { com_geom_free(&g); }
};

// Results that one call builds apart from the caller's list, so that the clean-up of degenerate
// results (err_polygon_process, err_polyline_process) and the checks see only this call's own and
// never remove what the caller had put in the list. Released with the call unless handed over.
struct OwnedPolygons {
    polygons_t list{};
    OwnedPolygons() { com_polygons_init(&list); }
    OwnedPolygons(const OwnedPolygons&) = delete;
    OwnedPolygons& operator=(const OwnedPolygons&) = delete;
    ~OwnedPolygons() { com_polygons_free(&list); }
    // Moves every ring, in order, to the end of out; this list is left empty.
    void hand_over(polygons_t* out);
};

struct OwnedPolylines {
    polylines_t list{};
    OwnedPolylines() { com_polylines_init(&list); }
    OwnedPolylines(const OwnedPolylines&) = delete;
    OwnedPolylines& operator=(const OwnedPolylines&) = delete;
    ~OwnedPolylines() { com_polylines_free(&list); }
    // Moves every polyline, in order, to the end of out; this list is left empty.
    void hand_over(polylines_t* out);
};

// Takes the first ring out of a non-empty list, handing its storage to the caller.
polygon_t take_front(polygons_t* list);

// Removes from a shape list, in order, every node for which bad(node) is true, releasing its
// shape with release(node).
template <typename List, typename Bad, typename Release>
void remove_nodes_where(List* list, Bad bad, Release release) {
    auto node = list->head;
    while (node != nullptr) {
        auto next = node->next;
        if (bad(node)) {
            unlink(list, node);
            release(node);
            std::free(node);
        }
        node = next;
    }
}

// Removes every point that is the same as the point kept before it, so that no edge of a working
// copy has zero length; the first point stays.
inline void drop_repeated_points(geom_t* g) {
    int kept = g->count > 0 ? 1 : 0;
    for (int k = 1; k < g->count; ++k)
        if (!same_point(g->points[k], g->points[kept - 1]))
            g->points[kept++] = g->points[k];
    g->count = kept;
}

// ---------------------------------------------------------------------------------------------------
// Points found by place.

// A fixed list of points sorted on x: first_at(p) answers as com_geom_find over the points in
// their original order (the least index whose point is the same as p), at the cost of a binary
// search and a look at the points in p's x window, for walks that ask once per vertex.
class PlaceIndex {
public:
    template <typename PointOf>
    PlaceIndex(int count, PointOf point_of) {
        by_x_.reserve(count);
        for (int k = 0; k < count; ++k) {
            point_t p = point_of(k);
            // A coordinate that is not finite is the same as no point (com_points_same fails).
            if (std::isfinite(p.x) && std::isfinite(p.y))
                by_x_.push_back({p, k});
        }
        std::sort(by_x_.begin(), by_x_.end(),
                  [](const Entry& u, const Entry& v) { return u.pt.x < v.pt.x; });
    }
    explicit PlaceIndex(const geom_t* points)
        : PlaceIndex(points->count, [points](int k) { return points->points[k]; }) {}

    // The least index whose point is the same as p, or -1; all such indexes, ascending.
    int first_at(point_t p) const {
        int first = -1;
        visit_same(p, [&](int k) { first = first < 0 || k < first ? k : first; });
        return first;
    }
    std::vector<int> all_at(point_t p) const {
        std::vector<int> found;
        visit_same(p, [&](int k) { found.push_back(k); });
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    // The window is twice the tolerance wide so that rounding in its bounds never hides a point
    // that com_points_same accepts; that test decides.
    static constexpr double kWindow = 2.0 * kSamePointTolerance;
    struct Entry {
        point_t pt;
        int index;
    };
    template <typename Visit>
    void visit_same(point_t p, Visit visit) const {
        auto from = std::lower_bound(by_x_.begin(), by_x_.end(), p.x - kWindow,
                                     [](const Entry& e, double x) { return e.pt.x < x; });
        for (auto it = from; it != by_x_.end() && it->pt.x <= p.x + kWindow; ++it)
            if (same_point(it->pt, p))
                visit(it->index);
    }
    std::vector<Entry> by_x_;
};

// ---------------------------------------------------------------------------------------------------
// Press-code normalisation before a walk. A press section is the stretch from a point with press
// code 2 to the next point with code 3, found by walking the ring from its first code-2 point and
// wrapping past the closing point. Every point of a section gets code 1 (the hundreds of its code
// kept), except its last point, which differs between the two variants below. Points outside
// every section, and a code-3 point that no code-2 point precedes, keep their codes. The ring's
// first point and its closing point end up with the same code.

// Union and graphic reduction: the last point of a section gets code 1 as well, so whole sections,
// both ends included, read as pressed.
void transform_press_ends_pressed(polygon_t* ring);

// Polygon-rectangle intersection, self-intersection repair and the decomposition through the
// external triangulator: the last point of a section gets code 0, so every edge of a section
// starts at a code-1 point.
void transform_press_end_released(polygon_t* ring);

// ---------------------------------------------------------------------------------------------------
// Intersection and difference of two rings (algebra_polygons_intersec.cpp holds these steps; each
// operation's own unit holds its walk). Crossings are a point list filled by
// find_all_polygon_crosspts; a ring vertex is a crossing when the list holds its position.

// Result codes of the intersection and the difference.
enum OverlayCode : int {
    kOverlayDone = 0,         // the rings cross; result rings appended
    kNoCrossingAWithinB = 1,  // no crossing; no vertex of A outside B
    kNoCrossingBWithinA = 2,  // no crossing; no vertex of B outside A
    kNoCrossingApart = 3,     // no crossing; each ring has a vertex outside the other
    kWalkEmptyAWithinB = 4,   // crossings, nothing built; as 1 (difference: also when every
                              // ring built was degenerate)
    kWalkEmptyBWithinA = 5,   // crossings, nothing built (or B never runs outside A); as 2
    kWalkEmptyApart = 6,      // crossings, nothing built; as 3 (intersection: also when every
                              // ring built was degenerate)
    kOverlayFailed = -1,      // a null argument, or scratch memory ran out
};

// How the rings lie, as an offset added to 1 (no crossing) or 4 (a walk that built nothing): 0 no
// vertex of A outside B, 1 no vertex of B outside A, 2 neither. Where all vertices of a ring lie
// inside or on the other, its edge midpoints decide.
int nesting_offset(const polygon_t* a, const polygon_t* b);

// Which touching crossings lose their marker when they leave the list.
enum class TouchMarkers { kAllTouches, kAllButInnerTouch };

// Takes every crossing where A only touches B (kinds 1 to 4) out of the list; the vertex of each
// ring there loses its crossing marker (kind 2, B touching A from inside, keeps it with
// kAllButInnerTouch). Both rings' vertices take A's coordinates.
void drop_touching_crossings(polygon_t* a, polygon_t* b, geom_t* points, TouchMarkers markers);

// Marks of A's vertices that a walk has taken, with the count of those still free.
struct UsedVertices {
    std::vector<int> used;  // int marks, as get_outestpt_pos reads them
    int remaining;

    explicit UsedVertices(int n) : used(n > 0 ? n : 0, 0), remaining(n > 0 ? n : 0) {}
    bool is_used(int i) const { return i >= 0 && i < static_cast<int>(used.size()) && used[i]; }
    // Marks vertex i; a vertex counts once however often it is marked.
    void use(int i) {
        if (i < 0 || i >= static_cast<int>(used.size()) || used[i])
            return;
        used[i] = 1;
        --remaining;
    }
};

// Which ring a walk follows, or a vertex belongs to.
enum class WalkSide { kA, kB };

// The crossing list of a walk looked up by vertex. Built once the touching crossings are dropped
// (the list and the rings do not change during a walk), it answers in constant time what a walk
// would otherwise find by searching the list and the rings for a position: whether a vertex is a
// crossing, the first vertex of each ring at its place, and on which side of B A runs after it.
class CrossingVertices {
public:
    CrossingVertices(const polygon_t* a, const polygon_t* b, const geom_t* points);

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
    std::vector<int> vertices_of_b_at(point_t p) const { return places_b_.all_at(p); }

    // As get_outestpt_pos: the first free listed vertex of A after which A runs outside B, or -1.
    // A vertex passed over stays disqualified (used marks only grow, the rest is fixed), so each
    // search resumes where the last one stopped.
    int next_start(const UsedVertices& used);

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
    PlaceIndex places_b_;
    std::vector<Vertex> vertices_a_;
    std::vector<Vertex> vertices_b_;
    std::vector<signed char> side_after_;  // -1 until computed
    RingLocator in_b_;                     // b located once for all the side tests
    int start_cursor_ = 0;
};

// What the walks of the intersection and the difference share: the rings, the crossings looked up
// by vertex, the used marks of A, the ring under construction, and which ring the walk follows
// at which vertex. Walk (the derived walk) provides begin_ring() (false when no start is left),
// pass(p) for a point that is no crossing and at_crossing(p) (false when the walk is over).
template <typename Walk>
class CrossingWalk {
public:
    CrossingWalk(polygon_t* a, polygon_t* b, const geom_t* points, polygons_t* out)
        : a_(a),
          b_(b),
          crossings_(a, b, points),
          out_(out),
          n_a_(com_polygon_num(a)),
          n_b_(com_polygon_num(b)),
          used_(n_a_) {}

    // Walks until every vertex of A is used, no start is left, or after `limit` steps (vertices
    // of A passed over as used are free: with one still unused, a step comes within n_A of them).
    void run(long limit) {
        Walk& walk = static_cast<Walk&>(*this);
        if (!walk.begin_ring())
            return;
        for (long step = 0; used_.remaining > 0 && step < limit;) {
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
    polygon_t* ring() { return &current_.ring; }
    void add(point_t p) { cur_polygon_add(ring(), p); }
    int here() const { return side_ == WalkSide::kA ? i_ : j_; }
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
    int n_a_;
    int n_b_;
    UsedVertices used_;
    OwnedRing current_;
    WalkSide side_ = WalkSide::kA;
    int i_ = 0;
    int j_ = 0;
    bool started_ = false;

private:
    // The next point along the side followed; false for a used vertex of A (passed over).
    bool advance(point_t* p) {
        if (side_ == WalkSide::kA) {
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
};

// Ends a walked ring: removes repeated points, cuts it at repeated vertices and appends the pieces
// to out. The ring is left empty for the next one.
void close_walked_ring(polygon_t* ring, polygons_t* out);

// The walks: each returns kOverlayDone when it built something, else 4, 5 or 6 by nesting_offset.
int polygons_intersec(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out);
int polygons_diffence(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out);

enum class Overlay { kIntersec, kDiffence };

// The whole operation around a walk: removes repeated points from both rings, turns A counter-
// clockwise and B like A (intersection) or against it (difference, so that B's stretches come out
// in the direction that bounds what is left of A), finds the crossings, reports how rings without
// crossings lie, else walks, removes degenerate rings from what the walk built, settles the result
// code and appends the rings to out (rings already in out are left alone).
int run_crossing_overlay(polygon_t* a, polygon_t* b, polygons_t* out, Overlay op);

// Press markers back after a cut: the inverse of transform_press_end_released for a ring read from
// its first stored point to its closing point, without wrapping. Each run of code-1 points and the
// code-0 point after it becomes a section again: the run's first point gets code 2, its other
// points code 0 and the point after it code 3 (hundreds kept throughout). A run still open at the
// closing point has no code-3 end: it continues into the ring's first point. Points outside every
// run keep their codes.
void transform_polygon_press(polygon_t* ring);

// transform_polygon_press on every ring of the list.
void transform_polygons_press(polygons_t* list);

// Sorts the rings of a polygon with holes: the first ring and, in order, each further ring whose
// extent nests with the first's are compared (relation_polygon_and_polygon) until one of the two
// holds the other; that one goes to `outer`, every other ring to `inners` in list order (the first
// ring in its turn when a later one holds it). Rings are added as deep copies with `copies`, else
// by value (sharing their points with `rings`). Returns 0, or -1 when no ring holds another (the
// first ring is then in neither list).
int sort_outer_and_inners(const polygons_t* rings, polygons_t* outer, polygons_t* inners,
                          bool copies);

// How the union of a polygon list finds the partner of a record: through a grid over the records'
// extents (what the entry points use), or by scanning the whole work list (the reference the grid
// must agree with, partner for partner).
enum class PartnerSearch { kExtentGrid, kPlainScan };

// multi_polygons_union with the given partner search.
void union_polygon_list(const polygons_t* in, polygons_expand_t* out, PartnerSearch search);

// How far the self-intersection repair goes before it delivers what still touches or crosses
// itself as it stands: passes in one line of descent, and passes in one call (min_passes plus
// passes_per_vertex per vertex of the cleaned ring).
struct RepairBounds {
    int max_pass_depth;
    int min_passes;
    int passes_per_vertex;
};

// The bounds of error_polygon_process. Real rings settle within three passes in a line (the later
// ones mend contacts that snapping crossing points to whole units made).
constexpr RepairBounds kRepairBounds{8, 64, 4};

// error_polygon_process under the given bounds.
int repair_self_contacts(const polygon_t* polygon, polygons_t* out, RepairBounds bounds);

// One polygon clipped by many rectangles (the tiled clipping): clip(rect, out), with rect the
// closed outline of a rectangle, gives exactly what algebra_polygon_and_rect_intersec(polygon,
// rect, out) gives (codes, pieces, debug traces), with the polygon prepared once and, for each
// rectangle, only the stretches of its boundary near the rectangle clipped (the rest replaced by a
// few points winding around the rectangle alike), so a rectangle costs one pass over the vertices
// plus the work near it. The validity of the polygon is asked once, at the first clip. Walks that
// reach their step bound may stop at another place, since the bound counts the reduced ring's
// vertices. The polygon must outlive the source; clip may throw std::bad_alloc from scratch
// containers.
class RectClipSource {
public:
    explicit RectClipSource(const polygon_t* polygon);
    ~RectClipSource();
    RectClipSource(const RectClipSource&) = delete;
    RectClipSource& operator=(const RectClipSource&) = delete;
    int clip(const polygon_t* rect, polygons_t* out);

private:
    const polygon_t* polygon_;
    polygon_t ring_;   // cleaned, counter-clockwise, press sections in the walk form
    int faulty_ = -1;  // relation_polygon_iserror(polygon) != 0, once asked
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
