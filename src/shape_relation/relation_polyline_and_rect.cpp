// How a polyline lies against a rectangle given as a closed ring of its corners: classified as
// against any polygon, but on the caller's records, whose crossing list keeps the records.
#include "mapgeom/relation.h"
#include "shape_relation/shape_relation_internal.h"

int relation_polyline_and_rect(polyline_t* line, polygon_t* rect, crosspts_t* crossings) {
    if (line == nullptr || rect == nullptr)
        return mapgeom::kLineOutsideApart;
    if (crossings != nullptr)
        return mapgeom::relate_polyline_to_polygon(line, rect, crossings);
    mapgeom::OwnedCrossings scratch;
    return mapgeom::relate_polyline_to_polygon(line, rect, &scratch.list);
}
