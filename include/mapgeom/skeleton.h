/* Skeleton (centre) lines of polygons: the scan-beam construction over one polygon, the flat-array
 * record it can write into, the post-processing of raw centre lines into a pruned graph of lines,
 * and the two-pass skeleton of a set of polygons. All functions are plain-named and usable from C.
 *
 * Coordinates are handled in whole units (values are truncated toward zero); lengths used for
 * pruning are earth metres, x being longitude and y latitude in 1/2560 arc-second. */
#ifndef MAPGEOM_SKELETON_H
#define MAPGEOM_SKELETON_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

/* Centre lines as flat integer arrays: part i holds part_points[i] points, stored one part after
 * another in x and y. The layout (32 bytes) is the same as the line reduce-out record's; the
 * arrays are malloc'd and released with com_framework_free. */
typedef struct tag_framework_t {
    int point_num;    /*  0: points stored                   */
    int part_num;     /*  4: parts stored                    */
    int* part_points; /*  8: points of each part             */
    int* x;           /* 16 */
    int* y;           /* 24 */
} framework_t;
typedef struct tag_framework_t tag_framework_t;

MAPGEOM_C_BEGIN

/* ---------------------------------------------------------------------------------------------------
 * The record. Init allocates (earlier arrays are not released: init only a fresh or freed record).
 * -------------------------------------------------------------------------------------------------
 */

/* Allocates x, y and part_points with 512 zeroed entries each; both counts become 0. */
MAPGEOM_API void com_framework_init(tag_framework_t* framework);

/* Allocates x, y (point_count entries) and part_points (part_count entries), copies the host
 * arrays into them (a null host array leaves zeros; a negative count counts as 0) and sets the
 * counts. */
MAPGEOM_API void com_framework_init_value(tag_framework_t* framework, const int* x, const int* y,
                                          const int* part_points, int point_count, int part_count);

/* Releases the three arrays, nulls the pointers and sets both counts to 0. */
MAPGEOM_API void com_framework_free(tag_framework_t* framework);

/* Copies point_num entries of x and y and part_num entries of part_points into host buffers sized
 * from the counts. A null buffer is skipped. */
MAPGEOM_API void get_framework_value(const tag_framework_t* framework, int* x, int* y,
                                     int* part_points);

/* ---------------------------------------------------------------------------------------------------
 * Scan-beam skeleton of one polygon. The polygon is cut by vertical scan lines, one through every
 * vertex x and one midway in every gap wider than 1 unit; the midpoints of the cross-sections,
 * chained from one scan line to the next, are the centre lines.
 *
 * Both change the caller's polygon in place: repeated points are removed (coordinates snapped to
 * whole units) and a clockwise ring is reversed to counter-clockwise. Both return 0. A polygon of
 * fewer than 3 vertices, with a coordinate that is not finite or beyond the 32-bit integer range,
 * or whose construction fails, gives no lines. Where a scan line meets an odd number of boundary
 * edges (a ring touching itself), the lowest edge on it has no partner and is left out there.
 * -------------------------------------------------------------------------------------------------
 */

/* Appends each centre line of two or more points as one part of `out` (initialised with
 * com_framework_init). The record's arrays are first brought to at least 512 points and 512 parts
 * (never less than the counts already held) and then grow as needed, so nothing is written past
 * them. A record with a negative count is left untouched; lines whose points would take a count
 * past the int32 range are not written. */
MAPGEOM_API int calc_polygon_framework(polygon_t* polygon, tag_framework_t* out);

/* Appends each centre line to `out` as a polyline, then removes every polyline of fewer than two
 * points from the whole list (those the caller put there before included). */
MAPGEOM_API int calc_graphic_framework(polygon_t* polygon, polylines_t* out);

/* ---------------------------------------------------------------------------------------------------
 * Post-processing. Line ends are snapped to nodes on a 5-unit grid; lines meeting at a node of two
 * lines are merged; dead-end branches shorter than the pruning length are removed. The pruning
 * length follows the total length T of the input lines: 30000 m when T > 1000 km, 20000 m when
 * T > 500 km, otherwise 10000 m. It is kept per call, so calls may run on different threads.
 * -------------------------------------------------------------------------------------------------
 */

/* Prunes and merges the lines of `in` (not changed) and appends the resulting polylines to `out`,
 * in the text order of their keys (the index of the first input line each is made of: 0, 1, 10,
 * 11, ..., 2, ...). Empty polylines of `in` take no part. */
MAPGEOM_API void polygon_framework_process(const polylines_t* in, polylines_t* out);

/* Joins two skeletons of one shape, `a` from scan lines across x and `b` from scan lines across y
 * (neither is changed): each line of `a`, longest first, is paired with the line of `b` whose ends
 * lie nearest its own, and between the places where the two cross, flat stretches are taken from
 * the line of `a` and steep ones from the line of `b`. Merged lines of two or more points are
 * appended to `out`. Lines of `a` left without a partner, and lines of `b` never chosen, are not
 * written. */
MAPGEOM_API void framework_connect(const polylines_t* a, const polylines_t* b, polylines_t* out);

/* Moves skeleton points that lie near the polygon's boundary in x: a point whose probes 8000 units
 * to its left and right are located differently (outside, inside, on an edge or at a vertex) is
 * moved 4000 units right when the left probe is outside, or 4000 left when the right probe is.
 * Changes `lines` in place; the polygon is not changed. */
MAPGEOM_API void framework_points_revise(const polygon_t* polygon, polylines_t* lines);

/* ---------------------------------------------------------------------------------------------------
 * Two-pass skeleton of a set of polygons. The polygons are united (multi_polygons_union), the
 * holes of each united polygon are cut out (split_polygons_by_holes), and the scan-beam
 * construction runs on every hole-free piece twice: as it is, and turned by +90 degrees about the
 * origin (coordinates truncated to whole units) with its lines turned back. Each pass is
 * post-processed and the two are joined (framework_connect), so flat stretches come from the first
 * pass and steep ones from the second. Both return 0; the input is not changed; a piece whose
 * construction fails contributes no lines.
 * -------------------------------------------------------------------------------------------------
 */

/* Appends the skeleton lines of the set to `out`. An empty (or null) list gives nothing. */
MAPGEOM_API int calc_graphics_framework(const polygons_t* polygons, polylines_t* out);

/* The same over flat arrays: each part of `polygons` is one ring; every resulting line is appended
 * to `out` (initialised with com_framework_init) as one part, under the growth rules of
 * calc_polygon_framework. */
MAPGEOM_API int calc_polygons_framework(const tag_framework_t* polygons, tag_framework_t* out);

MAPGEOM_C_END

#endif /* MAPGEOM_SKELETON_H */
