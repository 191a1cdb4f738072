/* Polygon overlay and its support: crossing finders that insert every meeting point of two
 * boundaries into both shapes and list the points, side tests of one ring against another, the
 * cutting of rings at repeated vertices, and the removal of degenerate result shapes. */
#ifndef MAPGEOM_ALGEBRA_H
#define MAPGEOM_ALGEBRA_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

MAPGEOM_C_BEGIN

/* ---------------------------------------------------------------------------------------------------
 * Crossing finders. Each tests every segment pair of the two shapes (as they came in), inserts each
 * meeting point into both shapes as a vertex unless a vertex is already there, and appends the
 * point to `points` unless it is listed already (within 0.0001). The shapes are changed in place
 * and keep owning their storage; `points` is appended to, never cleared. All return 0.
 * -------------------------------------------------------------------------------------------------
 */

/* Two polylines; segments meet within 0.01 and a point goes into the part of each tested segment
 * (as subdivided so far) that holds it within 0.01, unless that part has a point there already
 * (a polyline passing the place twice gets the point on each pass it is found on). */
MAPGEOM_API int find_all_crosspts(polyline_t* line1, polyline_t* line2, geom_t* points);

/* A polyline and a ring; segments meet within 0.0001 and a point goes into the part of the tested
 * segment (as subdivided so far) that holds it within 0.00001, unless that part has a point there
 * already (a shape passing the place twice gets the point on each pass it is found on). */
MAPGEOM_API int find_all_polyline_crosspts(polyline_t* line, polygon_t* ring, geom_t* points);

/* Two rings; segments meet within 0.0001. Listed points have code 0. In the rings, crossing
 * vertices are marked through their code: an inserted vertex gets 100 (or the code of its edge's
 * start plus 100 when that start has a press code), a vertex that a crossing hits gets its code
 * plus 100 (once: codes of 200 and more stay). A point goes into the part of the tested edge that
 * holds it within 0.01, or after the edge's start when no part does. */
MAPGEOM_API int find_all_polygon_crosspts(polygon_t* a, polygon_t* b, geom_t* points);

MAPGEOM_C_END

#ifdef __cplusplus

/* Cuts a ring at every vertex position it visits twice and appends the pieces, each free of
 * repeated vertices, to out; a ring without repeated vertices is appended as it is. The list takes
 * over the ring's storage: the ring record is left empty. `flag` is not used. */
MAPGEOM_API void split_polygon_by_repeat_points(polygon_t* ring, polygons_t* out, int flag);

/* Where a's boundary runs just after its vertex at p, relative to b: the point-in-polygon code
 * (0 outside, 1 inside, 2 on an edge, 3 at a vertex; tolerance 0.0001) of the midpoint of that
 * vertex and the next one. When a has no vertex at p, the code of p itself. */
MAPGEOM_API int judge_curpt_pos(const polygon_t* a, const polygon_t* b, point_t p);

/* Kind of meeting (0..6, as calc_crosspt_flag) of a's vertex at p relative to b; 1 when a has no
 * vertex at p. */
MAPGEOM_API int judge_crosspt_polygons(const polygon_t* a, const polygon_t* b, point_t p);

/* Index of the first vertex i of a (0 .. num - 1) with used[i] == 0 that is listed in `points` and
 * after which a runs outside b; -1 when there is none. */
MAPGEOM_API int get_outestpt_pos(const polygon_t* a, const polygon_t* b, const geom_t* points,
                                 int* used);

/* Appends p unless the ring already holds two or more points and p repeats the last one (within
 * 0.0001). Returns 0 when appended, 1 when skipped. */
MAPGEOM_API int cur_polygon_add(polygon_t* ring, point_t p);

/* Appends p unless it repeats the polyline's last point (within 0.0001). Returns 0 when appended,
 * 1 when skipped. */
MAPGEOM_API int cur_polyline_add(polyline_t* line, point_t p);

/* Removes (and releases) every ring with fewer than 3 edges or whose last point is 0.99 or more
 * away from its first in x or in y. */
MAPGEOM_API void err_polygon_process(polygons_t* list);

/* Removes (and releases) every polyline with fewer than 2 points. */
MAPGEOM_API void err_polyline_process(polylines_t* list);

#endif /* __cplusplus */

/* ===================================================================================================
 * Splitting polygons and polylines. Pieces are appended to the caller's output list, which is never
 * cleared; each operation ends with a cleaning pass over the whole output list (pieces already in
 * it included) that removes unusable shapes. The caller releases the list with its _free function.
 * ===================================================================================================
 */
MAPGEOM_C_BEGIN

/* Cuts a polygon into pieces along a cutting line and appends them (closed, counter-clockwise) to
 * out. The line is trimmed first to the stretch from where it first enters the polygon to where
 * it finally leaves it; outside stretches between are skipped, and every stretch inside separates
 * two pieces. Nothing is cut when an end of the line lies strictly inside the polygon or the line
 * meets its boundary at fewer than two points. Pieces are snapped to whole units and cleaned of
 * repeated points, and a piece that visits a position twice is cut there. A crossing point in a
 * piece carries 100 added to its code (codes of 100 and more are kept): it is a node point.
 * Changes the caller's polygon only by turning it counter-clockwise when it is clockwise; the line
 * is not changed. Afterwards every ring in out with fewer than 3 edges, or not closed within 0.99,
 * is removed. Returns 0. */
MAPGEOM_API int split_polygon_by_polyline(polygon_t* polygon, polyline_t* line, polygons_t* out);

MAPGEOM_C_END

#ifdef __cplusplus

/* Appends to out the stretches of `line` inside `polygon` or along its boundary, each from where
 * the line enters to where it leaves; a piece that ends where the line leaves is cleaned of points
 * closer than 0.99 to the point before. The polygon is turned counter-clockwise in place when it is
 * clockwise; the line is not changed. Returns 0 when the line was cut (pieces appended); 1 when it
 * lies inside, touching the boundary or not (a copy of the whole line appended); 2 when it lies
 * outside, touching the boundary or not (nothing appended). Afterwards polylines of fewer than 2
 * points are removed from out. */
MAPGEOM_API int split_polyline_by_polygon(polyline_t* line, polygon_t* polygon, polylines_t* out);

/* As split_polyline_by_polygon for a rectangle given as a closed ring of its corners, with one
 * rule for stretches along the outline: those on its least-x and least-y sides are kept, those on
 * its greatest-x and greatest-y sides are cut away, so that a line along the common edge of two
 * neighbouring tiles goes to exactly one of them. Returns 1 (a copy of the whole line appended)
 * only when the line lies strictly inside without meeting the outline, 2 when it lies outside
 * without meeting it (nothing appended), otherwise 0 (the kept stretches appended, possibly none).
 * The outline is turned counter-clockwise in place when it is clockwise; the line is not changed.
 */
MAPGEOM_API int split_polyline_by_rect(polyline_t* line, polygon_t* rect, polylines_t* out);

/* Cuts polyline a at every point where polyline b meets it (within 0.01) and appends the pieces in
 * order along a, each piece ending at a meeting point where the next begins. Both lines are cleaned
 * of points closer than 0.99 to the point before first (on copies: neither is changed). Returns 0
 * when cut, 1 when the lines do not meet (nothing appended). Afterwards polylines of fewer than 2
 * points are removed from out. */
MAPGEOM_API int split_polyline_by_polyline(polyline_t* a, polyline_t* b, polylines_t* out);

#endif /* __cplusplus */

#endif /* MAPGEOM_ALGEBRA_H */
