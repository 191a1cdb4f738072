// Clipping by rectangles for the tiled clipping: one polygon prepared once for many rectangles, and
// the cut of a line to a grid's whole tiled area.
#ifndef MAPGEOM_SRC_ALGEBRA_RECT_CLIP_H
#define MAPGEOM_SRC_ALGEBRA_RECT_CLIP_H

#include <memory>
#include <string>
#include <vector>

#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/com.h"

namespace mapgeom {

// split_polyline_by_rect, but keeping the stretches along every side of the rectangle: the cut of
// a line to the whole tiled area of a grid, whose far sides belong to the last tiles.
int split_polyline_by_rect_keeping_sides(polyline_t* line, polygon_t* rect, polylines_t* out);

// Whether every stored point of the ring has finite whole-number coordinates.
bool has_whole_places(const polygon_t* ring);

// split_polygon_by_repeat_points(ring, out, 0) for a ring whose stored points all have finite
// whole-number coordinates (has_whole_places), as the pieces of a clip have: the same rings in the
// same order, each cut found by numbering the places once and counting them per ring instead of
// sorting every ring. The ring's storage is taken over (the ring is left empty).
void split_whole_ring_by_repeat_points(polygon_t* ring, polygons_t* out);

// Where a vertex of a ring reduced for clipping comes from: the last vertex of the whole ring that
// the step arriving at it passes over (-1 for a point the crossing search inserted), and whether it
// stands in for a run of whole-ring vertices up to that one (a replacing corner) rather than being
// that vertex itself. The whole ring's walk takes one step per vertex of such a run where the
// reduced ring's walk takes one, and adds the run's vertices to the piece being traced, if any.
struct RingOrigin {
    int last;
    bool stand_in;
};

// The working records of one rectangle clip, kept from clip to clip so that a tiling's many small
// clips reuse their buffers instead of allocating them again: the tile's outline and the reduced
// ring as worked on, the crossing list, the origins of the ring's vertices, the walk's tables and
// the crossing engine's working copies. Only one clip at a time may use a scratch.
struct ClipScratch {
    polygon_t tile{};
    polygon_t ring{};
    crosspts_t crossings{};
    std::vector<RingOrigin> origins;
    std::vector<RingOrigin> inserted_origins;
    std::vector<char> near;
    std::vector<int> walk_tables;
    std::vector<int> whole_steps;
    CrossingScratch crossing;

    ClipScratch() = default;
    ~ClipScratch();
    ClipScratch(const ClipScratch&) = delete;
    ClipScratch& operator=(const ClipScratch&) = delete;
};

// One polygon clipped by many rectangles (the tiled clipping): clip(rect, out), with rect the
// closed outline of a rectangle, gives exactly what algebra_polygon_and_rect_intersec(polygon,
// rect, out) gives (codes, pieces, debug traces), with the polygon prepared once and, for each
// rectangle, only the stretches of its boundary near the rectangle clipped (the rest replaced by a
// few points winding around the rectangle alike), so a rectangle costs one pass over the source's
// ring plus the work near it. A source can be narrowed to an area (a block of tiles): its ring is
// then reduced once to the stretches near the area, and every rectangle within the area is clipped
// from that shorter ring with the same result; narrowing a narrowed source to a smaller area again
// lets a halving recursion look at each vertex about once per level. The validity of the polygon
// is asked once, at the first clip of any source made from it, and its trace block is formatted
// once; the blocks of its clips are appended together when the source made from the polygon
// itself goes (one open and a few writes instead of a file opened and closed per clip: on faulty
// outlines tiled into many tiles these made most of the run's system time). The clipping walk
// counts its steps as the walk over the whole ring would, so that its step bounds stop it at the
// same place. The polygon must outlive the source, and a narrowed source the one it was made from;
// clip may throw std::bad_alloc from scratch containers.
class RectClipSource {
public:
    // The clips of every source made from this one work in `scratch` (which must outlive them),
    // or, without one, in a scratch of their own.
    explicit RectClipSource(const polygon_t* polygon, ClipScratch* scratch = nullptr);
    // The source `wider` narrowed to rectangles lying within `area` (itself within the area of
    // `wider`).
    RectClipSource(const RectClipSource& wider, rectangle_t area);
    ~RectClipSource();
    RectClipSource(const RectClipSource&) = delete;
    RectClipSource& operator=(const RectClipSource&) = delete;
    int clip(const polygon_t* rect, polygons_t* out) const;
    // Whether relation_point_at_polygon(polygon, p) finds p inside the polygon, for p within the
    // source's area (anywhere for a source made from the polygon itself). The polygon's
    // coordinates must be whole numbers (as in the tiled clipping), so that removing its repeated
    // points moves nothing.
    bool inside(point_t p) const;
    // inside(p) for p at least a unit (in x or y) from every edge of the polygon: no edge of the
    // ring clipped from comes within the boundary band of p, so the ray's crossings alone tell.
    bool inside_clear_of_boundary(point_t p) const;
    // The vertices of the ring clipped from (the reduced ring of a narrowed source).
    int ring_vertices() const { return ring_.geom.count; }

private:
    // What every source made from one polygon shares.
    struct Polygon {
        const polygon_t* polygon = nullptr;
        const polygon_t* whole = nullptr;  // the cleaned whole ring (ring_ of the first source)
        bool usable = false;               // which has at least three vertices
        int faulty = -1;                   // relation_polygon_iserror(polygon) != 0, once asked
        std::string trace;               // the polygon's "source_error.txt" block when it is faulty
        long long traces_due = 0;        // clips whose block is still to be appended
        ClipScratch* scratch = nullptr;  // where the clips work
        std::unique_ptr<ClipScratch> own_scratch;  // made at the first clip when none was given
    };
    ClipScratch& scratch() const;
    Polygon own_;
    Polygon* shared_;
    bool narrowed_ = false;
    polygon_t ring_;  // cleaned, counter-clockwise, press sections in the walk form; reduced to the
                      // area of a narrowed source
    std::vector<RingOrigin> origins_;  // of ring_'s vertices, for a narrowed source
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_RECT_CLIP_H
