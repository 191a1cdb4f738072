/* Measures: plane and earth distances, the angle at a vertex, triangle and polygon areas, extents.
 * Plane measures work in the caller's units. Earth measures read x as longitude and y as latitude
 * in 1/2560 arc-second (9,216,000 units per degree) and return metres or square metres.
 * All are pure functions of their arguments. */
#ifndef MAPGEOM_MEASURE_H
#define MAPGEOM_MEASURE_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

#ifdef __cplusplus

/* Plane distance between a and b. */
MAPGEOM_API double calc_points_distance(point_t a, point_t b);

/* Distance on the earth in metres, flat around a: the earth radius (6378137 m at the equator,
 * falling linearly to 6356752 m at either pole) and the cosine of latitude are taken at a's
 * latitude only, so swapping the points can change the result slightly. */
MAPGEOM_API double calc_points_distance_onearth(point_t a, point_t b);

/* Angle at b between b->a and b->c in degrees, 0..180. Not a number when a or c equals b. */
MAPGEOM_API double calc_points_angle(point_t a, point_t b, point_t c);

/* Midpoint of a and b with code 0 (c takes no part). */
MAPGEOM_API point_t calc_plough_around_point(point_t a, point_t b, point_t c);

/* Foot of the perpendicular from p to the infinite line through a and b, code 0. */
MAPGEOM_API point_t calc_point_to_line_apeakpt(point_t p, point_t a, point_t b);

/* Distance from p to the segment a-b: the perpendicular distance when the foot lies within the
 * segment's box grown by permit on every side (bounds included), else the nearer endpoint's. */
MAPGEOM_API double calc_point_to_line_distance_by_permit(point_t p, point_t a, point_t b,
                                                         double permit);
/* calc_point_to_line_distance_by_permit with permit 0.01. */
MAPGEOM_API double calc_point_to_line_distance(point_t p, point_t a, point_t b);

/* The point of the polyline nearest to p (despite the name, a point): a stored vertex (keeping its
 * code) or a perpendicular foot on a segment (code 0). Ties keep the earlier candidate. The
 * polyline must hold at least one point. */
MAPGEOM_API point_t calc_point_to_polyline_distance(const polyline_t* line, point_t p);

/* Signed plane area of the triangle: positive when a, b, c turn clockwise (y up), negative when
 * counter-clockwise, 0 when collinear. */
MAPGEOM_API double calc_triangle_area_by_vector(point_t a, point_t b, point_t c);

/* Unsigned triangle area in square metres (Heron's formula on earth distances). */
MAPGEOM_API double calc_triangle_area_by_halen(point_t a, point_t b, point_t c);

/* Unsigned area of a closed polygon in square metres; the same for either orientation. */
MAPGEOM_API double calc_polygon_area(const polygon_t* polygon);

/* Extent of the stored points (at least one required). */
MAPGEOM_API rectangle_t calc_geom_exrectangle(const geom_t* geom);
MAPGEOM_API rectangle_t calc_polygon_exrectangle(const polygon_t* polygon);
MAPGEOM_API rectangle_t calc_polyline_exrectangle(const polyline_t* polyline);

/* Extent of a list of borders (see algebra_convert_borders_to_polygon): that of every point of
 * every border, which is the extent of the ring they join into (joining drops only end points
 * that repeat another within 0.0001), and of all their points when they do not join. The list
 * must hold at least one point. */
MAPGEOM_API rectangle_t calc_polylines_exrectangle(const polylines_t* polylines);

#endif /* __cplusplus */

#endif /* MAPGEOM_MEASURE_H */
