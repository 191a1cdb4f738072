// Result and point codes shared across the library: point-in-ring codes, kinds of meeting at a
// crossing, relation and clipping results, press codes carried in a point's third coordinate, and
// the node marker. Units use these names instead of bare numbers.
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

// Kind of meeting of a shape at a crossing with a ring (calc_crosspt_flag, crosspt_t::flag), from
// where the shape runs just before and just after the point.
enum CrossingKind : int {
    kKindCrosses = 0,             // crosses the ring's boundary
    kKindTouchOutsideApart = 1,   // touches from outside; the ring runs on outside the shape
    kKindTouchOutsideAround = 2,  // touches from outside; the ring runs on inside or along it
    kKindTouchInside = 3,         // touches from inside
    kKindAlongBoth = 4,           // runs along the boundary on both sides
    kKindAlongOutward = 5,        // along the boundary on one side, outside on the other
    kKindAlongInward = 6,         // along the boundary on one side, inside on the other
};

// Kinds at which a walk switches rings: a crossing, and leaving or joining a stretch along the
// other boundary. The others are mere touches.
inline bool is_walkable_kind(int kind) {
    return kind == kKindCrosses || kind == kKindAlongOutward || kind == kKindAlongInward;
}

// How polygon a lies relative to polygon b (relation_polygon_and_polygon).
enum PolygonRelation : int {
    kRelationOverlap = 0,
    kRelationAInsideB = 1,
    kRelationBInsideA = 2,
    kRelationDisjoint = 3,
    kRelationAInsideBSharingEdge = 4,
    kRelationBInsideASharingEdge = 5,
    kRelationSideBySide = 6,
    kRelationAInsideBTouching = 7,
    kRelationBInsideATouching = 8,
    kRelationApartTouching = 9,
    kRelationSameOutline = 10,
};

// How a polyline lies against a polygon (relation_polyline_and_polygon,
// relation_polyline_and_rect).
enum LineRelation : int {
    kLineCrosses = 0,
    kLineInsideApart = 1,
    kLineOutsideApart = 2,
    kLineInsideTouching = 3,
    kLineOutsideTouching = 4,
};

// Results of clipping a polygon by a rectangle (algebra_polygon_and_rect_intersec).
enum ClipCode : int {
    kClipCrossed = 0,
    kClipPolygonInside = 1,
    kClipRectInside = 2,
    kClipApart = 3,
    kClipTouchPolygonInside = 4,
    kClipTouchRectInside = 5,
    kClipNoPiece = 6,
};

// Results of cutting a polyline by a polygon or rectangle (split_polyline_by_polygon, _by_rect).
enum LineSplitCode : int {
    kLineSplit = 0,
    kLineWholeInside = 1,
    kLineOutside = 2,
};

// Results of the union of two rings (algebra_polygons_union).
enum UnionCode : int {
    kUnionBuilt = 0,
    kUnionAWithinB = 1,
    kUnionBWithinA = 2,
    kUnionApart = 3,
    kUnionUntrusted = -3,  // rings appended but not to be trusted
};

// Results of the intersection and the difference of two rings.
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
