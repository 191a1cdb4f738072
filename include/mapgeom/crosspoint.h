/* Crossing points of two polygon rings: every place where their boundaries meet is inserted into
 * both rings as a vertex and reported as a crossing record (its vertex index in each ring, how the
 * first ring passes the second there, and on which side of the second ring it continues). */
#ifndef MAPGEOM_CROSSPOINT_H
#define MAPGEOM_CROSSPOINT_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

MAPGEOM_C_BEGIN

/* Finds where the boundaries of rings a and b meet, inserts each meeting point into both rings as
 * a vertex (a meeting point within 0.0001 of an existing vertex takes that vertex), and appends
 * one record per meeting point to out, ordered along b (by b's edge, then by distance from the
 * edge's start). Meeting points closer than 0.01 to each other are merged. Candidate edge pairs
 * come from a sweep over the vertices sorted on x (or y, for rings taller than wide).
 *
 * Record fields: `pt` the point (code 0); `index1`, `index2` its vertex index in the new a and b
 * (never the closing index); `flag` the kind of meeting (see calc_crosspt_flag); `curpt_flag` where
 * a's boundary just after the point lies relative to b (0 outside, 1 inside, 2 on an edge, 3 at a
 * vertex). Records already in out are left alone. Rings that do not meet come back unchanged, and
 * so does a ring without edges. Both rings keep owning their storage. */
MAPGEOM_API void calc_polygons_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out);

/* As calc_polygons_crosspts, but every edge pair is tested and meeting points are merged only when
 * closer than 0.0001. */
MAPGEOM_API void calc_polygon_and_polygon_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out);

MAPGEOM_C_END

/* ---------------------------------------------------------------------------------------------------
 * Crossing points of polylines. A polyline's vertex indexes run over all its points (0 .. count -
 * 1); segment i joins points i and i + 1.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_C_BEGIN

/* Finds where polyline `line` meets the boundary of ring `ring` (every segment-edge pair is tested,
 * within 0.0001), inserts each meeting point into both as a vertex (a point within 0.0001 of an
 * existing vertex takes that vertex) and appends one record per meeting point to out, ordered along
 * the ring (by its edge, then by distance from the edge's start). Meeting points closer than 0.0001
 * to each other are merged, except where the line passes one place more than once (its two ends at
 * one boundary point, or a point it comes back through): each pass keeps its record, with its own
 * vertex in the line and the one vertex of the place in the ring.
 *
 * Record fields: `pt` the point (code 0); `index1` its vertex index in the new line; `index2` its
 * vertex index in the new ring (never the closing index); `curpt_flag` 0; `flag` how the line
 * passes the ring there, from the midpoints of its neighbouring segments (an end of the line counts
 * as running along the boundary on its missing side): 0  crosses the boundary          1  touches
 * it from outside      3  touches it from inside 4  runs along it on both sides   5  along it on
 * one side, outside on the other 6  along it on one side, inside on the other Records already in
 * out are left alone. Shapes that do not meet come back unchanged, and so does a line of fewer than
 * 2 points or a ring without edges. Both keep owning their storage. */
MAPGEOM_API void calc_polyline_and_polygon_crosspts(polyline_t* line, polygon_t* ring,
                                                    crosspts_t* out);

/* Finds where polylines line1 and line2 meet (candidate segment pairs from a sweep over their
 * points sorted on x, or y for shapes taller than wide; segments meet within 0.0001), inserts each
 * meeting point into both as a vertex and appends one record per meeting point to out, ordered
 * along line2. Meeting points closer than 0.01 are merged, except where line1 passes one place
 * more than once: each pass keeps its record, sharing line2's vertex. `pt` is the point (code 0),
 * `index1` and `index2` its vertex index in the new line1 and line2; `flag` and `curpt_flag` are
 * 0. Records already in out are left alone; lines that do not meet come back unchanged. */
MAPGEOM_API void calc_polylines_crosspts(polyline_t* line1, polyline_t* line2, crosspts_t* out);

MAPGEOM_C_END

#ifdef __cplusplus

/* Kind of meeting at vertex i of ring a relative to ring b, from where a's boundary runs just
 * before and just after the vertex (midpoints of the neighbouring edges, tolerance 0.0001):
 *   0  a crosses b here (enters b when judge_curpt_flag is 1, leaves it when 0)
 *   1  a touches b from outside, and b's boundary just after the point lies outside a
 *   2  a touches b from outside, and b's boundary just after the point lies inside or on a
 *   3  a touches b from inside
 *   4  a runs along b's boundary on both sides
 *   5  a runs along b's boundary on one side and outside b on the other
 *   6  a runs along b's boundary on one side and inside b on the other
 * Requires 0 <= i <= com_polygon_num(a). */
MAPGEOM_API int calc_crosspt_flag(const polygon_t* a, const polygon_t* b, int i);

/* Where the midpoint of a's vertex i and the vertex after it lies relative to b: 0 outside,
 * 1 inside, 2 on an edge, 3 at a vertex (tolerance 0.0001). */
MAPGEOM_API int judge_curpt_flag(const polygon_t* a, const polygon_t* b, int i);

#endif /* __cplusplus */

#endif /* MAPGEOM_CROSSPOINT_H */
