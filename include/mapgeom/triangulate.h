/* Triangulation of polygons. The caller owns every record passed in and releases it with its
 * `_free` function; results are appended to caller-supplied records, never cleared first. */
#ifndef MAPGEOM_TRIANGULATE_H
#define MAPGEOM_TRIANGULATE_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

MAPGEOM_C_BEGIN

/* ---------------------------------------------------------------------------------------------------
 * Ear-clipping triangulation of a simple ring (no holes).
 * -------------------------------------------------------------------------------------------------
 */

/* Cuts the ring into triangles and appends them to `triangles` (an initialised polygon_t used as a
 * flat list): points 3k, 3k + 1, 3k + 2 are triangle k, taken from the ring's vertices, with no
 * closing points. The ring is changed in place: coordinates snapped to whole units and repeated
 * points removed (optimize_polygon_del_repeatpts), and a counter-clockwise ring is reversed to
 * clockwise. Triangles of a clockwise walk come out clockwise. A vertex collinear with its
 * neighbours is dropped without a triangle, so a ring of n vertices gives n - 2 triangles less one
 * per dropped vertex.
 * Returns 0 when done; -1 when fewer than 3 vertices remain (nothing appended), when either record
 * is null, or when no ear is found within 256 attempts per vertex (a self-crossing ring): the
 * triangles found until then stay appended. */
MAPGEOM_API int optimize_polygon_triangles(polygon_t* polygon, polygon_t* triangles);

MAPGEOM_C_END

#endif /* MAPGEOM_TRIANGULATE_H */
