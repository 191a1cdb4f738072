// Small ring utilities of the tool: plane area, orientation, press-section ranges, containment,
// and the grouping of loose result rings into polygons with holes.
#ifndef MAPGEOM_TOOLS_RINGS_H
#define MAPGEOM_TOOLS_RINGS_H

#include <utility>
#include <vector>

#include "feature_model.h"

namespace mapgeom_tool {

// Shoelace area of a closed ring: positive when counter-clockwise with the y axis up.
double signed_area(const Path& ring);

// Plane area of a polygon: outer ring minus holes (each taken unsigned).
double plane_area(const PolygonShape& polygon);

// Reverses a path in place; press codes 2 and 3 swap, as the library does when it reverses.
void reverse_path(Path* path);

// Press code of a point code: its last two decimal digits.
int press_code(double z);

// Stretches of a closed ring (or an open line) from a code-2 point to the next code-3 point, as
// (first, last) stored indexes. On a ring a stretch may run over the closing point: last < first.
std::vector<std::pair<int, int>> press_ranges(const Path& path, bool closed);

enum class Location { outside, boundary, inside };

// Where a point lies against a closed ring (even-odd rule; exactly on an edge is the boundary).
Location locate(const Vertex& p, const Path& ring);

// Groups rings that do not cross each other into polygons by nesting alone (their direction is
// not read): a ring wholly inside an even number of the others is an outer ring, one inside an odd
// number a hole of the innermost ring around it. Rings that overlap without nesting stay polygons
// of their own. Outer rings come out counter-clockwise, holes clockwise.
std::vector<PolygonShape> group_rings(std::vector<Path> rings);

// Outer rings counter-clockwise and holes clockwise (the GeoJSON right-hand rule).
void orient_for_output(PolygonShape* polygon);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_RINGS_H
