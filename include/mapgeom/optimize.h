/* Cleaning and shaping passes over polygons and polylines. They change the caller's record in
 * place; the caller keeps owning it and releases it with its `_free` function. */
#ifndef MAPGEOM_OPTIMIZE_H
#define MAPGEOM_OPTIMIZE_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

MAPGEOM_C_BEGIN

/* ---------------------------------------------------------------------------------------------------
 * Repeated-point removal: the passes most algorithms run first on their inputs.
 * -------------------------------------------------------------------------------------------------
 */

/* Snaps x and y of every point to whole units (half away from zero) and removes consecutive
 * repeated points, closing point included. Of two repeated points the one with a nonzero code
 * survives (the later one when both have codes). Returns the vertex count afterwards
 * (com_polygon_num); 0 for a null polygon. */
MAPGEOM_API int optimize_polygon_del_repeatpts(polygon_t* polygon);

/* Removes every point closer than 0.99 in x and in y to the point kept before it. No snapping.
 * Returns the point count afterwards; 0 for a null polyline. */
MAPGEOM_API int optimize_polyline_del_repeatpts(polyline_t* polyline);

/* Snaps every point to whole units and merges each run of repeated points into its first point,
 * keeping press codes consistent: along the run, a plain point followed by a press-coded one gives
 * the first point that code, and two press-coded points in a row make it plain (code 0). Returns
 * the stored point count afterwards, closing point included; 0 for a null polygon. */
MAPGEOM_API int optimize_polygon_process(polygon_t* polygon);

MAPGEOM_C_END

/* ---------------------------------------------------------------------------------------------------
 * Shaping: companion lines alongside a polyline, and convex pieces through the partition library.
 * -------------------------------------------------------------------------------------------------
 */

MAPGEOM_C_BEGIN

struct tag_polygons_java_t; /* the polygon list record of mapgeom/java.h */

/* Appends to `left` and `right` (initialised by the caller, not cleared) the two companions of
 * `line` at distance d: each vertex shifted by d along x where the line is steep there (|slope| >
 * 1) and along y where it is flat, towards the left or the right of the direction of travel. The
 * slope at a vertex is that of the chord between its neighbours (first and last vertex: the chord
 * to the second-next or from the second-previous point, or the single segment of a two-point
 * line). Every vertex gets a shift, also one that repeats its predecessor (see the source for the
 * rule). Returns 0, or -1 when the line has fewer than 2 points or an argument is null (nothing
 * written). The input is only read. */
MAPGEOM_API int optimize_polyline_double(const polyline_t* line, double d, polyline_t* left,
                                         polyline_t* right);

/* Bezier smoothing is not provided: writes nothing to `out` and returns -1. */
MAPGEOM_API int optimize_polyline_bezier(const polyline_t* line, double parameter, polyline_t* out);

/* Cuts a polygon into convex pieces with the partition library (polygomtriangulate) and appends
 * them, as closed counter-clockwise rings, to `out` (not cleared; release with com_polygons_free).
 * The edges of every press section go over as fixed segments; in the pieces, each run of edges that
 * kept fixed segments becomes a press section again (codes 2 ... 3, other points 0). Coordinates
 * are truncated to whole units. Returns 0 with the pieces; otherwise appends a copy and returns: -1
 * unusable: at most 3 stored points, faulty (relation_polygon_iserror nonzero), more than 65,535
 * stored points or a coordinate beyond +-2^53 (the exchange record cannot hold it); the copy is the
 * polygon as given a partition failure code (PARTITION_NOT_SIMPLE and the others of
 * mapgeom/partition.h); the copy is counter-clockwise with its press sections as given. The polygon
 * is only read. */
MAPGEOM_API int optimize_polygon_mulangle(const polygon_t* polygon, polygons_t* out);

/* optimize_polygon_mulangle over every polygon of the list record `in`, appending the pieces (or
 * the copy) to the list record `out` (initialised by the caller); counts[i] receives the number of
 * rings appended for polygon i. The caller sizes counts to in->part_num (a null counts is skipped).
 * `in` is only read. */
MAPGEOM_API void optimize_polygons_mulangle(struct tag_polygons_java_t* in,
                                            struct tag_polygons_java_t* out, int* counts);

MAPGEOM_C_END

#endif /* MAPGEOM_OPTIMIZE_H */
