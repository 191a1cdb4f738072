// How a polyline lies against a polygon: the crossing records of the two (on copies) are reduced to
// whether the polyline reaches the outside, the inside, or both; without records, its first point
// tells inside from outside.
#include "com/codes.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/relation.h"
#include "shape_relation/shape_relation_internal.h"

namespace mapgeom {
namespace {

// Kinds of meeting (calc_polyline_and_polygon_crosspts) that put part of the line outside: a
// crossing, a touch from outside, leaving the boundary outward.
bool reaches_outside(int flag) {
    return flag == kKindCrosses || flag == kKindTouchOutsideApart ||
           flag == kKindTouchOutsideAround || flag == kKindAlongOutward;
}

// Kinds that put part of the line inside: a crossing, a touch from inside, leaving the boundary
// inward.
bool reaches_inside(int flag) {
    return flag == kKindCrosses || flag == kKindTouchInside || flag == kKindAlongInward;
}

}  // namespace

int relate_polyline_to_polygon(polyline_t* line, polygon_t* polygon, crosspts_t* crossings) {
    if (line->geom.count == 0)
        return kLineOutsideApart;
    int first = crossings->count;
    calc_polyline_and_polygon_crosspts(line, polygon, crossings);
    if (crossings->count == first)
        return relation_point_at_polygon(polygon, com_polyline_front(line)) == kPointOutside
                   ? kLineOutsideApart
                   : kLineInsideApart;
    bool outside = false;
    bool inside = false;
    for (int k = first; k < crossings->count; ++k) {
        outside = outside || reaches_outside(crossings->crosspts[k].flag);
        inside = inside || reaches_inside(crossings->crosspts[k].flag);
    }
    if (outside && inside)
        return kLineCrosses;
    return outside ? kLineOutsideTouching : kLineInsideTouching;
}

}  // namespace mapgeom

int relation_polyline_and_polygon(const polyline_t* line, const polygon_t* polygon) {
    if (line == nullptr || polygon == nullptr)
        return mapgeom::kLineOutsideApart;
    mapgeom::OwnedLine line_copy(line);
    mapgeom::OwnedRing ring_copy(polygon);
    mapgeom::OwnedCrossings crossings;
    return mapgeom::relate_polyline_to_polygon(&line_copy.line, &ring_copy.ring, &crossings.list);
}
