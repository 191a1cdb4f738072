// Clipping by rectangles for the tiled clipping: one polygon prepared once for many rectangles, and
// the cut of a line to a grid's whole tiled area.
#ifndef MAPGEOM_SRC_ALGEBRA_RECT_CLIP_H
#define MAPGEOM_SRC_ALGEBRA_RECT_CLIP_H

#include <string>

#include "mapgeom/com.h"

namespace mapgeom {

// split_polyline_by_rect, but keeping the stretches along every side of the rectangle: the cut of
// a line to the whole tiled area of a grid, whose far sides belong to the last tiles.
int split_polyline_by_rect_keeping_sides(polyline_t* line, polygon_t* rect, polylines_t* out);

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
    polygon_t ring_;            // cleaned, counter-clockwise, press sections in the walk form
    int faulty_ = -1;           // relation_polygon_iserror(polygon) != 0, once asked
    std::string source_trace_;  // the polygon's "source_error.txt" block when it is faulty
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_RECT_CLIP_H
