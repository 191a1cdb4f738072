/* Convex splitting: a simple polygon is cut into convex pieces by diagonals between its vertices,
 * chosen one reflex vertex at a time (the middle one of the ring's reflex vertices, cut toward the
 * vertex it sees that best resolves its angle), each half split the same way. Results are the
 * diagonals as pairs of input vertex indexes and, on request, the pieces themselves. */
#ifndef MAPGEOM_CONVEX_H
#define MAPGEOM_CONVEX_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"
#include "mapgeom/java.h"

#ifdef __cplusplus

/* Writes the diagonals of a convex split of the polygon to out, two vertex indexes of the input
 * ring per diagonal (the one at the lower position of the counter-clockwise ring first, in the
 * order the cuts were made), and returns the number of ints written. The caller sizes out to
 * 2 x (n - 3) ints for n vertices; no more are ever written. Returns 0 (nothing written) for a
 * polygon relation_polygon_iserror rejects, a triangle or a convex polygon. The polygon is not
 * changed. A piece left with a reflex vertex is appended to the trace file "D:\1.txt" and the line
 * "error1" goes to standard output. */
MAPGEOM_API int polygon_to_convex(polygon_t* polygon, int* out);

/* As polygon_to_convex, and appends the pieces (closed, counter-clockwise, owned by the list) to
 * the caller's list. For a clockwise input the indexes refer to the reversed (counter-clockwise)
 * ring the pieces are made of. No piece is appended when an allocation fails (result 0). */
MAPGEOM_API int graphic_to_convex(polygon_t* polygon, polygons_t* pieces, int* out);

/* For each polygon of the flat-array list, in order, appends its diagonals (as polygon_to_convex
 * gives them) to out as one group; an invalid polygon adds an empty group. */
MAPGEOM_API void polygons_to_convex(polygons_java_t* in, split_lines_t* out);

/* ---------------------------------------------------------------------------------------------------
 * Helpers. A ring is counter-clockwise; vertex indexes run 0 .. com_polygon_num - 1.
 * -------------------------------------------------------------------------------------------------
 */

/* The middle one (position size / 2) of the ring's reflex vertices in order, or -1 when there is
 * none. */
MAPGEOM_API int get_first_concave_index(const polygon_t* polygon);

/* The vertex the reflex vertex c is cut to, or -1 when it sees none (then the polygon is appended
 * to the trace file "D:\2.txt" and "error2" goes to standard output). Of the vertices c sees, in
 * ring order from c: those inside the cone of both edge extensions at c (the middle reflex one of
 * them, else their middle one); else the first on the far side of both edges' lines; else the last
 * one behind both. */
MAPGEOM_API int get_split_index(const polygon_t* polygon, int c);

/* 0 when the segment a-b meets the ring's boundary in exactly two distinct points (meetings by
 * relation_lines_cross, points within 0.0001 counted once), 1 otherwise. */
MAPGEOM_API int judge_line_polygon(const polygon_t* polygon, point_t a, point_t b);

/* 1 when prev -> cur -> next turns left or runs straight, 0 when it turns right (exact sign of
 * the cross product). */
MAPGEOM_API int is_protruding(point_t prev, point_t cur, point_t next);

/* 1 when c lies left of the line a -> b, -1 right, 0 on it. */
MAPGEOM_API int judge_point_line(point_t a, point_t b, point_t c);

/* Appends "num: <stored point count>" and one "x<tab>y" line per stored point to the file. */
MAPGEOM_API void write_polygon(const polygon_t* polygon, const char* file_name);

#endif /* __cplusplus */

#endif /* MAPGEOM_CONVEX_H */
