/* Skeleton (centre) lines of polygons: the scan-beam construction over one polygon and the
 * flat-array record it can write into. All functions are plain-named and usable from C.
 *
 * Coordinates are handled in whole units (values are truncated toward zero). */
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

MAPGEOM_C_END

#endif /* MAPGEOM_SKELETON_H */
