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

#endif /* MAPGEOM_OPTIMIZE_H */
