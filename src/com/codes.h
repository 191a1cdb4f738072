// Result and point codes shared across the library: point-in-ring codes, press codes carried in a
// point's third coordinate, and the node marker. Units use these names instead of bare numbers.
#ifndef MAPGEOM_SRC_COM_CODES_H
#define MAPGEOM_SRC_COM_CODES_H

namespace mapgeom {

// Where a point lies against a ring (relation_point_at_polygon and its variants, curpt_flag).
enum PointInRing : int {
    kPointOutside = 0,
    kPointInside = 1,
    kPointOnEdge = 2,
    kPointAtVertex = 3,
};

// The press code: the last two decimal digits of a point code. A press section is a stretch of
// boundary an operation created (a tile edge, a cut line) whose vertices reduction keeps:
//   2 ------ 1 ------ 1 ------ 3      while an operation runs
//   2 ------ 0 ------ 0 ------ 3      as delivered
// Reversing a point sequence exchanges 2 and 3.
enum PressCode : int {
    kPressPlain = 0,
    kPressInside = 1,
    kPressStart = 2,
    kPressEnd = 3,
};

// Added to a point code (the hundreds) to mark a node point: a crossing point a split took into a
// result, which the border conversion cuts at.
constexpr double kNodeMarker = 100.0;

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_CODES_H
