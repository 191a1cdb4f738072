/* Road helpers: points along a line, points to either side of it, bearings, cuts by length, and the
 * middle line between the two edges of a road. Coordinates are earth units (x longitude, y
 * latitude in 1/2560 arc-second); distances given and returned are metres measured with
 * calc_points_distance_onearth, and points between vertices are interpolated linearly in the
 * coordinates. A point counts as lying on a polyline when it is within 1.5 units of a vertex or of
 * a segment. Lines passed as `polyline_t*` are only read unless a function says otherwise. */
#ifndef MAPGEOM_ROAD_H
#define MAPGEOM_ROAD_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

MAPGEOM_C_BEGIN

/* Appends to `out` (initialised by the caller; its earlier points are kept) the middle line of
 * `a` and `b`, two roughly parallel lines such as the edges of a road. Both are first reduced
 * (reduc_polyline_by_defult, so coordinates become whole units) and b is turned to run the way a
 * does: two closed lines by ring orientation, open ones by which ends lie nearer each other. The
 * points of each line are then projected in turn onto the facing segment of the other, each
 * projection that lands within that segment giving the midpoint of the point and its foot; where
 * neither side finds a foot, the walk jumps ahead to the nearest pair of vertices and takes their
 * midpoint. The line starts at the middle of the first points and ends at the middle of the last
 * points; repeated points (within 0.99) are removed from what is appended. Returns 0, or -1 when
 * either line reduces to fewer than 2 distinct points or an argument is null (nothing appended).
 * The caller releases `out` with com_polyline_free. */
MAPGEOM_API int create_new_line(polyline_t* a, polyline_t* b, polyline_t* out);

MAPGEOM_C_END

#ifdef __cplusplus

/* The point d metres from a towards b (beyond b when d exceeds their distance, behind a when d is
 * negative), code 0. When a and b are the same place on the earth (distance 0) the result is a,
 * code 0. */
MAPGEOM_API point_t calc_point_at_line(double d, point_t a, point_t b);

/* The coordinate steps that move d metres east (*dx) and north (*dy) at p, measured over a step of
 * 1,000,000 units from p. */
MAPGEOM_API void calc_point_difference(double d, double* dx, double* dy, point_t p);

/* The two points d metres from the midpoint of a-b on the perpendicular to a-b through it (the
 * perpendicular taken in coordinates): for d > 0 *first is the one towards +x (for a segment
 * running along x, towards +y), *second its mirror image through the midpoint. A vertical segment
 * gives points due east and due west. Returns 0, or -1 with the outputs untouched when a and b are
 * the same point (com_points_same). */
MAPGEOM_API int get_apeak_points(double d, point_t* first, point_t* second, point_t a, point_t b);

/* Writes the point of the line nearest to p (calc_point_to_polyline_distance) to *foot and returns
 * its earth distance from p in metres. A null or empty line returns -1 with *foot untouched. */
MAPGEOM_API double calc_point_to_polyline_apeakpt(polyline_t* line, point_t* foot, point_t p);

/* The index of p on the line: the first vertex within 1.5 units of p in x and in y; otherwise the
 * first segment within 1.5 units of p (calc_point_to_line_distance), into which p is inserted as a
 * new vertex, whose index is returned (the line grows by one point). -1 when p is not on the line
 * (nothing changed), also for a null line. */
MAPGEOM_API int get_point_at_polyline_index(polyline_t* line, point_t p);

/* Writes to *out the point d metres along the line from p, which must lie on it: a vertex when the
 * distance ends exactly there, else a point between two vertices (code 0); the line's last point
 * when the line ends first. A negative d counts as 0. Returns 0, or -1 with *out untouched when p
 * is not on the line or an argument is null. */
MAPGEOM_API int get_point_at_polyline(double d, point_t* out, polyline_t* line, point_t p);

/* The bearings of the line at p, in degrees clockwise from north (0 .. 360, measured in
 * coordinates): *forward towards the next vertex, *backward towards the previous one; at an end of
 * the line the missing one is the other turned by 180 degrees. Repeated points (within 0.99) are
 * skipped. Returns 0, or -1 with the outputs untouched when p is not on the line or the line has
 * fewer than two distinct points. */
MAPGEOM_API int calc_point_at_polyline_angle(polyline_t* line, double* forward, double* backward,
                                             point_t p);

/* The two points d metres to either side of the line's middle (the point half its length along it,
 * from calc_polyline_perimeter), on the perpendicular through the middle to the chord between the
 * vertices before and after it (get_apeak_points over that chord centred on the middle). Returns 0,
 * or -1 with the outputs untouched when the line has fewer than two points or the vertices around
 * its middle are the same point (a line of zero length). */
MAPGEOM_API int get_apeak_polyline(polyline_t* line, point_t* first, point_t* second, double d);

/* Cuts the line d metres from its start and appends the two pieces to `out` (not cleared; release
 * with com_polylines_free): vertices 0 .. k and k .. last, the cut point k belonging to both (a
 * cut at the very start gives a one-point first piece). Returns 0 when cut; 1 when the line is not
 * longer than d (a copy of the whole line is appended); -1 for a null or empty line or a null out
 * (nothing appended). */
MAPGEOM_API int split_polyline_by_length(double d, polyline_t* line, polylines_t* out);

#endif /* __cplusplus */

#endif /* MAPGEOM_ROAD_H */
