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

/* ---------------------------------------------------------------------------------------------------
 * Spike removal and thinning.
 * -------------------------------------------------------------------------------------------------
 */

/* Removes every vertex at which the ring turns back by more than 177 degrees (the angle there is
 * below 3 degrees), re-examining the same place after each removal; when the spike tip is the
 * first vertex the ring is re-closed on the new first vertex. Removal stops at three vertices (a
 * needle triangle is left as it is). A null polygon is ignored. */
MAPGEOM_API void optimize_polygon_reduc(polygon_t* polygon);

/* Appends to `output` about n points of `input` spread evenly by arc length: the first point, then
 * every point at which the length walked since the last taken point reaches (total length / n).
 * The last point is taken only when the walk reaches it. With n at least the input's point count
 * every point is copied. Returns 0 (also for null records, which are ignored). */
MAPGEOM_API int optimize_polyline_reduc(const polyline_t* input, polyline_t* output, int n);

/* ---------------------------------------------------------------------------------------------------
 * Graphic reduction: thinning the vertices of a polyline or polygon ring for display. The walk
 * keeps an anchor vertex and drops the following vertex while any criterion says it matters too
 * little: the angle at it (below min_angle or above max_angle, degrees), the distance from the
 * anchor to the next vertex (below min_length), its distance from that chord (not above
 * min_height) and, for rings, the triangle's area (below min_area). Rings never lose a vertex whose
 * point code is nonzero (press sections) nor its neighbours, never drop a vertex while another
 * vertex lies in the triangle the drop would cut off, and keep a sharp corner with an arm longer
 * than keep_arm_length. All work is done on coordinates truncated toward zero to whole numbers.
 * -------------------------------------------------------------------------------------------------
 */

/* C++ gets the constructor's values as member defaults; C hosts initialise with the macros below.
 */
#ifdef __cplusplus
#define MAPGEOM_STRAIGHT_ANGLE = 180.0
#else
#define MAPGEOM_STRAIGHT_ANGLE
#endif

/* Thresholds of the polyline reduction. `tolerance` is carried but not consulted. */
typedef struct tag_polyline_param_t {
    double tolerance MAPGEOM_ZERO;
    double min_angle MAPGEOM_ZERO;
    double max_angle MAPGEOM_STRAIGHT_ANGLE;
    double min_length MAPGEOM_ZERO;
    double min_height MAPGEOM_ZERO;
} polyline_param_t;
typedef struct tag_polyline_param_t tag_polyline_param_t;

/* Thresholds of the ring reduction. `tolerance` is carried but not consulted. */
typedef struct tag_polygon_param_t {
    double tolerance MAPGEOM_ZERO;
    double min_angle MAPGEOM_ZERO;
    double max_angle MAPGEOM_STRAIGHT_ANGLE;
    double min_length MAPGEOM_ZERO;
    double min_height MAPGEOM_ZERO;
    double min_area MAPGEOM_ZERO;
    double keep_arm_length MAPGEOM_ZERO;
} polygon_param_t;
typedef struct tag_polygon_param_t tag_polygon_param_t;

/* The constructor's values for C hosts: every threshold 0 except max_angle = 180. */
#define MAPGEOM_POLYLINE_PARAM_INIT \
    { 0.0, 0.0, 180.0, 0.0, 0.0 }
#define MAPGEOM_POLYGON_PARAM_INIT \
    { 0.0, 0.0, 180.0, 0.0, 0.0, 0.0, 0.0 }

/* Appends the reduced ring to `output` (initialised by the caller, normally empty; the caller owns
 * and releases it with com_polygon_free). The input is not changed. Press sections come out as
 * 2, 0, ..., 0, 3 (hundreds of the point codes kept). A ring whose last stored point is not its
 * first is reduced as if closed on its first point. Returns
 *   0  the output holds the reduced ring (at least three vertices, closed);
 *   1  the ring collapsed to two or fewer vertices: the output holds what was left minus one point
 *      (the first when the closing point carries a press code, else the closing point);
 *   1  also for a null input or output or when memory runs out (output untouched then). */
MAPGEOM_API int reduc_polygon(const polygon_t* input, polygon_t* output,
                              const tag_polygon_param_t* param);

/* reduc_polygon with min_angle 61, max_angle 180, min_length 310, min_height 50, min_area 14000,
 * keep_arm_length 2000. */
MAPGEOM_API int reduc_polygon_by_defult(const polygon_t* input, polygon_t* output);

/* Appends the reduced polyline to `output` (caller-owned; release with com_polyline_free): the
 * kept vertices, truncated toward zero, without repeats, always ending with the input's last point;
 * every output point carries the third coordinate of the input's last point. Returns 0, or 8 when
 * the input has fewer than 2 points (or a record is null, or memory runs out): output untouched. */
MAPGEOM_API int reduc_polyline(const polyline_t* input, polyline_t* output,
                               const tag_polyline_param_t* param);

/* reduc_polyline with min_angle 61, max_angle 180, min_length 310 and min_height just above 110. */
MAPGEOM_API int reduc_polyline_by_defult(const polyline_t* input, polyline_t* output);

MAPGEOM_C_END

#ifdef __cplusplus
#include <vector>

/* ---------------------------------------------------------------------------------------------------
 * The reduction's working records and criteria (C++ names).
 * -------------------------------------------------------------------------------------------------
 */

struct PointXY {
    double x;
    double y;
};

/* A polyline vertex truncated toward zero to whole numbers. */
struct DBC_tagGeoPoint_t {
    long long x;
    long long y;
};

/* A ring vertex truncated toward zero, with its point code kept in 16 bits; any nonzero flag
 * protects the vertex, 2 and 3 mark a section's start and end. */
struct tagCF_DivGeoPoint_t {
    long long x;
    long long y;
    unsigned short flag;
    tagCF_DivGeoPoint_t() : x(0), y(0), flag(0) {}
    tagCF_DivGeoPoint_t(long long x_, long long y_, unsigned short flag_)
        : x(x_), y(y_), flag(flag_) {}
};

/* The two walks keep plain names, like the entry points over them, though only C++ can call them.
 */
MAPGEOM_C_BEGIN

/* The polyline walk over whole-number vertices: 0, or 8 when `in` has fewer than 2 points (out
 * untouched). Kept vertices are appended to `out`. */
MAPGEOM_API int CF_PolylineReduc(const std::vector<DBC_tagGeoPoint_t>& in,
                                 std::vector<DBC_tagGeoPoint_t>& out, tag_polyline_param_t param);

/* The ring walk over whole-number vertices (closing point included): appends the kept vertices,
 * closing point included, with section starts and ends normalised. Returns 0. */
MAPGEOM_API int CF_PolygonReduc(const std::vector<tagCF_DivGeoPoint_t>& in,
                                std::vector<tagCF_DivGeoPoint_t>& out, tag_polygon_param_t param);

MAPGEOM_C_END

/* Whether candidate C between anchor A and next vertex B may be dropped from a polyline: *keep is
 * set to 0 by the first of Angle, Length, High that says so, else stays 1. A criterion's nonzero
 * code (3 or 5: coincident A and B) ends the run and is returned with *keep 1. */
MAPGEOM_API int CF_PolylineMethod(const PointXY* anchor, const PointXY* next,
                                  const PointXY* candidate, unsigned long* keep,
                                  tag_polyline_param_t param);

/* The same for a ring: A and B coinciding (within 0.001, exclusive) give *keep 0; otherwise Area,
 * Angle (a sharp corner with an arm longer than keep_arm_length stays), Length, High. A nonzero
 * criterion code is returned with *keep 1. */
MAPGEOM_API int CF_PolygonMethod(const PointXY* anchor, const PointXY* next,
                                 const PointXY* candidate, unsigned long* keep,
                                 tag_polygon_param_t param);

/* The criteria. Each first handles degenerate input: A, B and C coinciding (within 0.001,
 * inclusive) return 5; C coinciding with A or B gives *verdict 0 and *value 0; A coinciding with B
 * returns 3. Otherwise *value is the measure, *verdict 0 when C may be dropped by it, 1 when it
 * matters, and the result 0.
 *   Angle  the angle at C in degrees (pi taken as 3.1415926); 0 when below t1 or above t2.
 *   Length |AB|; 0 when below t1.
 *   High   distance of C from the line AB; 0 when not above t1 + 0.001.
 *   Area   the triangle's area (Heron); 0 when below t1. */
MAPGEOM_API int MethodOfAngle(const PointXY* a, const PointXY* b, const PointXY* c, double t1,
                              double t2, unsigned short* verdict, double* value);
MAPGEOM_API int MethodOfLength(const PointXY* a, const PointXY* b, const PointXY* c, double t1,
                               double t2, unsigned short* verdict, double* value);
MAPGEOM_API int MethodOfHigh(const PointXY* a, const PointXY* b, const PointXY* c, double t1,
                             double t2, unsigned short* verdict, double* value);
MAPGEOM_API int MethodOfArea(const PointXY* a, const PointXY* b, const PointXY* c, double t1,
                             double t2, unsigned short* verdict, double* value);

/* Side of C against the line A -> B: 2 left (signed distance above 0.001), 1 right (below
 * -0.001), 0 on the line (also when A and B are the same point). Returns 0. */
MAPGEOM_API int PointAtLineLR(const PointXY* a, const PointXY* b, const PointXY* c,
                              unsigned short* side);

/* *distance = the Euclidean distance of P and Q. Returns 0. */
MAPGEOM_API int PointSpaceCal(const PointXY* p, const PointXY* q, double* distance);

/* Whether P lies on segment AB within `tolerance`: *result 1 on the line and within AB's box grown
 * by the tolerance, 2 on the line outside it, 0 off the line; returns 0. A and B coinciding
 * (within 0.001) give *result 65535 and return 6; a tolerance outside [0, 10] gives 65535 and 7. */
MAPGEOM_API int JudgePointAccept(const PointXY* a, const PointXY* b, const PointXY* p,
                                 double tolerance, unsigned short* result);

/* How segments AB and CD meet. Returns 6 with *result 65535 when A and B or C and D coincide
 * (within 0.001); otherwise 0 with *result
 *   0  no common point (not parallel)     3  collinear, sharing a stretch: *cross = its first
 *   1  crossing inside both: *cross          point along AB
 *   2  touching: an end point of one on   4  parallel (or collinear) without a common point
 *      the other, *cross = that point
 * *cross is left alone where no point is named. */
MAPGEOM_API int JudgeLinesCut(const PointXY* a, const PointXY* b, const PointXY* c,
                              const PointXY* d, unsigned short* result, PointXY* cross);

#endif /* __cplusplus */

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
