// Shapes made ready for the library's ring operations: polygons with holes cut into hole-free
// pieces by the library's hole cutting, and rings that cross or touch themselves repaired.
#ifndef MAPGEOM_TOOLS_PREPARE_H
#define MAPGEOM_TOOLS_PREPARE_H

#include <vector>

#include "feature_model.h"

namespace mapgeom_tool {

// The plain rings that cover `polygon` exactly: its outer ring when it has no holes, otherwise the
// pieces of the library's hole cutting (vertical cuts through each hole), whose cut edges are press
// sections.
std::vector<Path> hole_free_rings(const PolygonShape& polygon);

// A polygon whose rings cross or touch themselves cut by the library's self-intersection repair
// into valid rings, grouped back into polygons with holes; `cut` is set when the library cut.
std::vector<PolygonShape> repaired_polygons(const PolygonShape& polygon, bool* cut);

// The union of plain rings by the library's union of polygon lists: merged polygons with the
// holes the merges enclose (outer rings counter-clockwise, holes clockwise).
std::vector<PolygonShape> united_polygons(const std::vector<Path>& rings);

// The rectangle r = {minx, miny, maxx, maxy} as a counter-clockwise ring from its least corner;
// with `press` the whole outline is one press section (code 2 first, 3 on the closing point).
Path rect_outline(const double r[4], bool press);

// The pieces of a plain ring inside a rectangle by the library's polygon-and-rectangle
// intersection: its pieces, or the ring or the rectangle when one holds the other; `code` is the
// library's result code.
std::vector<Path> clip_ring_by_rect(const Path& ring, const double rect[4], int* code);

// The sentence the help texts of ring operations share.
extern const char* const kHolesCutHelp;

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_PREPARE_H
