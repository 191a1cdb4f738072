// Overlay helpers shared by the overlay, clipping, repair and reduction units but not exported.
#ifndef MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
#define MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H

#include <vector>

#include "mapgeom/com.h"
#include "relation/ring_locator.h"

namespace mapgeom {

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

// The places of a ring's vertices (or of a point list) sorted by x, to find the first of them at a
// place (com_points_same) without scanning them all.
class PlaceIndex {
public:
    explicit PlaceIndex(const geom_t* points, int count);
    // The least index whose point is the same as p, or -1; all such indexes, ascending.
    int first_at(point_t p) const;
    std::vector<int> all_at(point_t p) const;

private:
    const geom_t* points_;
    std::vector<int> by_x_;
};

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

// A ring under construction that releases itself.
struct WalkRing {
    polygon_t ring{};
    WalkRing() { com_polygon_init(&ring); }
    WalkRing(const WalkRing&) = delete;
    WalkRing& operator=(const WalkRing&) = delete;
    ~WalkRing() { com_polygon_free(&ring); }
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
