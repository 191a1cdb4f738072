// Pieces shared by the shape-to-shape relations: working copies and crossing lists that release
// themselves, and the reduction of polyline-against-polygon crossing records to one code.
#ifndef MAPGEOM_SRC_RELATION_SHAPE_RELATION_INTERNAL_H
#define MAPGEOM_SRC_RELATION_SHAPE_RELATION_INTERNAL_H

#include "mapgeom/com.h"

namespace mapgeom {

// A deep copy of a polygon (or of a point array, as a polygon) that releases itself.
struct RingCopy {
    polygon_t ring{};
    explicit RingCopy(const polygon_t* source) { com_polygon_polygon(&ring, source); }
    explicit RingCopy(const geom_t* source) { com_geom_geom(&ring.geom, source); }
    RingCopy(const RingCopy&) = delete;
    RingCopy& operator=(const RingCopy&) = delete;
    ~RingCopy() { com_polygon_free(&ring); }
};

// A deep copy of a polyline that releases itself.
struct LineCopy {
    polyline_t line{};
    explicit LineCopy(const polyline_t* source) { com_polyline_polyline(&line, source); }
    LineCopy(const LineCopy&) = delete;
    LineCopy& operator=(const LineCopy&) = delete;
    ~LineCopy() { com_polyline_free(&line); }
};

// A crossing list that releases itself.
struct CrossingList {
    crosspts_t list{};
    CrossingList() { com_crosspts_init(&list); }
    CrossingList(const CrossingList&) = delete;
    CrossingList& operator=(const CrossingList&) = delete;
    ~CrossingList() { com_crosspts_free(&list); }
};

// Computes the crossing records of `line` and `polygon` (both changed as
// calc_polyline_and_polygon_crosspts changes them, records appended to `crossings`) and reduces the
// records this call added to a relation code: 0 crosses, 1 inside (or first point on the boundary)
// without records, 2 outside without records, 3 inside touching or running along, 4 outside
// touching. Without records, the line's first point decides (a line without points is outside).
int relate_polyline_to_polygon(polyline_t* line, polygon_t* polygon, crosspts_t* crossings);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_SHAPE_RELATION_INTERNAL_H
