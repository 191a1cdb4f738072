/* Spatial relations: where a point lies with respect to a segment, polyline, polygon, triangle or
 * rectangle, whether two segments cross, and how two rectangles lie. Each predicate returns a small
 * code; 0 means on, inside or crossing, in the manner of a comparison. The _by_permit forms take
 * the tolerance band last; the plain forms use 0.01. All are pure functions; the out and index
 * arguments belong to the caller. */
#ifndef MAPGEOM_RELATION_H
#define MAPGEOM_RELATION_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

#ifdef __cplusplus

/* ---------------------------------------------------------------------------------------------------
 * Points and segments.
 * -------------------------------------------------------------------------------------------------
 */

/* Whether segments a1-a2 and b1-b2 meet:
 *   0  they meet; *out holds the meeting point (a shared endpoint, an endpoint of b lying on a
 *      when parallel, or the crossing of the carrying lines within both boxes grown by permit)
 *   3  parallel (or both near-vertical) and no endpoint of b lies on a
 *   4  the carrying lines cross outside a segment; *out holds that point
 *   5  the same segment in either orientation; *out is left untouched
 * When the carrying lines' crossing is computed, only out->x and out->y are written. */
MAPGEOM_API int relation_lines_cross_by_permit(point_t* out, point_t a1, point_t a2, point_t b1,
                                               point_t b2, double permit);
MAPGEOM_API int relation_lines_cross(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2);

/* Where p lies with respect to the directed segment a->b (x to the right, y up):
 *   0 on the segment, 1 on its line outside the segment, 2 left of the line, 3 right of it.
 * "On" means within permit of the line and strictly inside the segment's box grown by permit. */
MAPGEOM_API int relation_point_at_line(point_t p, point_t a, point_t b, double permit);

/* 1: p coincides (within permit) with vertex *index; 2: p lies on the segment from vertex *index
 * to *index + 1; 0: neither, *index is -1. Vertices are tried before segments. */
MAPGEOM_API int relation_point_at_polyline(const polyline_t* line, int* index, point_t p,
                                           double permit);

/* Where p lies with respect to a closed polygon: 0 outside, 1 inside, 2 on an edge, 3 at a vertex
 * (within permit; the plain form uses 0.01). */
MAPGEOM_API int relation_point_at_polygon_by_permit(const polygon_t* polygon, point_t p,
                                                    double permit);
MAPGEOM_API int relation_point_at_polygon(const polygon_t* polygon, point_t p);

/* 0 when p lies inside the triangle or on its boundary (either orientation), 1 outside. */
MAPGEOM_API int relation_point_at_triangle(point_t p, point_t t1, point_t t2, point_t t3,
                                           double permit);

/* The rectangle spans upper_left = (least x, greatest y) to lower_right = (greatest x, least y).
 * 0 strictly inside (farther than permit from every side), 1 outside (farther than permit beyond
 * a side), 2 within permit of a side. */
MAPGEOM_API int relation_point_at_rect(point_t p, point_t upper_left, point_t lower_right,
                                       double permit);

/* 0 disjoint, 1 the closed rectangles intersect (touching included) without containment, 2 b lies
 * within a, 3 a lies within b, 4 all four members exactly equal. */
MAPGEOM_API int relation_rect_and_rect(rectangle_t a, rectangle_t b);

#endif /* __cplusplus */

#endif /* MAPGEOM_RELATION_H */
