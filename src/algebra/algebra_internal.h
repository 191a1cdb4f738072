// Overlay helpers shared by the overlay, clipping, repair and reduction units but not exported.
#ifndef MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
#define MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H

#include <vector>

#include "mapgeom/com.h"

namespace mapgeom {

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
    kWalkEmptyAWithinB = 4,   // crossings, nothing built; as 1
    kWalkEmptyBWithinA = 5,   // crossings, nothing built (or B never runs outside A); as 2
    kWalkEmptyApart = 6,      // crossings, nothing built (or all built rings degenerate); as 3
    kOverlayFailed = -1,      // a null argument, or scratch memory ran out
};

// How B's ring is turned before the crossings are found: like A (intersection) or against it
// (difference, so that B's stretches come out in the direction that bounds A minus B).
enum class TurnB { kLikeA, kAgainstA };

// Removes consecutive repeated points from both rings, turns A counter-clockwise and B as asked.
void prepare_overlay_rings(polygon_t* a, polygon_t* b, TurnB turn);

// How the rings lie by their vertices alone, as an offset added to 1 (no crossing) or 4 (a walk
// that built nothing): 0 no vertex of A outside B, 1 no vertex of B outside A, 2 neither.
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

// The whole operation around a walk: prepares the rings, finds the crossings, reports how rings
// without crossings lie, else walks, removes degenerate rings from what the walk built, settles the
// result code and appends the rings to out (rings already in out are left alone).
using OverlayWalk = int (*)(polygon_t*, polygon_t*, geom_t*, polygons_t*);
int run_crossing_overlay(polygon_t* a, polygon_t* b, polygons_t* out, TurnB turn, OverlayWalk walk);

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

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_ALGEBRA_INTERNAL_H
