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

/* ===================================================================================================
 * Shape-to-shape relations: orientation of a ring, polygon against polygon, polyline against
 * polygon or rectangle, polyline against polyline. The classifications rest on the crossing-point
 * engine (mapgeom/crosspoint.h): the kinds of meeting at the crossing records are reduced to one
 * code.
 * ===================================================================================================
 */
#ifdef __cplusplus

/* 0 counter-clockwise, 1 clockwise (x to the right, y up), judged at the leftmost vertex (the first
 * of equal x): 0 when the boundary arrives there straight from above, otherwise when the edge to
 * the previous vertex is nearer the upward vertical than the edge to the next one. Repeated points
 * at that vertex are stepped over. A ring of fewer than 2 stored points gives 0. */
MAPGEOM_API int relation_polygon_direction(const polygon_t* polygon);

/* How polygon a lies relative to polygon b:
 *   0  the boundaries cross (partial overlap), or a shared stretch is left both inward and outward
 *   1  a inside b without contact            2  b inside a without contact
 *   3  disjoint without contact
 *   4  a inside b sharing a stretch of boundary
 *   5  b inside a sharing a stretch of boundary
 *   6  side by side, sharing a stretch of boundary
 *   7  a inside b touching at points         8  b inside a touching at points
 *   9  apart, touching at points             10 the same outline
 * Works on copies (repeated points removed, coordinates snapped to whole units, turned counter-
 * clockwise); a and b are not changed. Without meeting points (or when a copy keeps fewer than 3
 * vertices) the first point of each caller's polygon decides between 1, 2 and 3. Null: 3. */
MAPGEOM_API int relation_polygon_and_polygon(const polygon_t* a, const polygon_t* b);

/* How a polyline lies against a polygon:
 *   0  crosses the boundary (parts inside and outside)
 *   1  inside without meeting the boundary (or its first point on the boundary)
 *   2  outside without meeting the boundary (also for a line without points, or null)
 *   3  inside, touching or running along the boundary
 *   4  outside, touching or running along the boundary
 * Works on copies; line and polygon are not changed. */
MAPGEOM_API int relation_polyline_and_polygon(const polyline_t* line, const polygon_t* polygon);

/* As relation_polyline_and_polygon against a rectangle given as a closed ring of its corners, but
 * on the caller's records: the meeting points are inserted into line and rect as vertices, and the
 * crossing records are appended to `crossings` (initialised by the caller, who releases it with
 * com_crosspts_free; a null list uses a scratch one). Only this call's records are classified. */
MAPGEOM_API int relation_polyline_and_rect(polyline_t* line, polygon_t* rect,
                                           crosspts_t* crossings);

/* Writes into codes[0 .. 3], in this order and each at most once, and sets the unused entries to
 * -1: 3  both polylines have the same two end points (in either pairing) 1  an end point of a
 * coincides with an end point of b 2  a meeting point coincides with exactly one of the four end
 * points (an end on the other line) 0  a meeting point coincides with none of the end points (the
 * interiors cross) Returns the number of codes written. Points coincide within 0.0001; segments
 * meet within 0.01. Lines without points give 0. */
MAPGEOM_API int relation_polyline_and_polyline(const polyline_t* a, const polyline_t* b,
                                               int* codes);

/* Appends to out every point where a segment of a meets a segment of b (within 0.01), in the order
 * of a's segments and then b's, unless out already holds it (within 0.0001). Returns the number of
 * points in out, which is appended to, never cleared. */
MAPGEOM_API int find_polylines_crosspts(const polyline_t* a, const polyline_t* b, geom_t* out);

#endif /* __cplusplus */

/* ===================================================================================================
 * Validity checks and scan-line point location.
 * ===================================================================================================
 */
#ifdef __cplusplus
#include <utility>
#include <vector>

/* ---------------------------------------------------------------------------------------------------
 * Validity checks. Each reports through its result only and changes nothing. The self-contact
 * tests sweep the points in x order and compare a segment only with segments having a point in its
 * x range, widened over neighbouring x closer than 0.99 (near n log n; shapes whose points nearly
 * share one x degrade toward n^2).
 * -------------------------------------------------------------------------------------------------
 */

/* Whether a polygon ring is usable by the library's algorithms; the first failing test decides:
 *   3  fewer than 3 vertices
 *   4  not closed: the first and last stored points differ by 0.99 or more in x or in y
 *   5  all vertices on one line (is_allpoints_at_line)
 *   6  a point repeats its predecessor (has_overlap_points)
 *   1  two edges other than neighbours touch at a point that is one of their ends
 *   2  two edges other than neighbours cross
 *   0  valid
 * Touches and crossings are found with relation_lines_cross (0.01 band); parallel segments are
 * compared in both argument orders, so a collinear edge lying inside another is always found. */
MAPGEOM_API int relation_polygon_iserror(const polygon_t* polygon);

/* Whether a polyline is usable: 3 fewer than 2 points; 1 two segments other than neighbours touch
 * at one of their ends; 2 two segments cross; 0 valid. Closedness, collinearity and repeated points
 * are not tested (a polyline returning to its start touches at a vertex: 1). Contacts are found as
 * in relation_polygon_iserror. */
MAPGEOM_API int relation_polyline_iserror(const polyline_t* polyline);

/* 0 when every vertex lies within 0.01 of the line through vertices 0 and 1 (also for rings with
 * fewer than two stored points), 1 otherwise. */
MAPGEOM_API int is_allpoints_at_line(const polygon_t* polygon);

/* 1 when some stored point, the closing one included, is the same (within 0.0001) as its
 * predecessor, 0 otherwise. */
MAPGEOM_API int has_overlap_points(const polygon_t* polygon);

/* ---------------------------------------------------------------------------------------------------
 * Scan-line point location: a polygon prepared once answers many point queries, each by a binary
 * search for its scan line and a parity count over the edges spanning its x, with the side of an
 * edge decided in exact arithmetic (no tolerance band; only coincidence with a vertex uses the
 * library's 0.0001).
 * -------------------------------------------------------------------------------------------------
 */

/* A boundary point on a scan line: a vertex, or the point of an edge at the scan line's x. The
 * point lies on the edge from vertex `index` to vertex `index` + 1 of the prepared copy. */
typedef struct tag_point_cross_t {
    point_t pt;
    int index;
} point_cross_t;

/* A vertical line at a vertex x, with the boundary points on it in the order the edges were
 * visited. An edge is listed at its start vertex's line and at every line strictly between its
 * ends. */
typedef struct tag_scan_line_t {
    int x;
    std::vector<point_cross_t> crosses;
} scan_line_t;

/* A polygon prepared for point location: its own copy of the ring (vertex x brought to whole
 * numbers, see create_polygon_pretreat) and one scan line per distinct vertex x, ascending.
 * The record owns both: its destructor releases the copy and the scan lines, so a prepared polygon
 * never leaks. Releasing the copy early with com_polygon_free(&pre.polygon) is allowed (the
 * destructor then has nothing left to do); queries then answer 0. A record can be moved, not
 * copied. */
typedef struct tag_polygon_pretreat_t {
    polygon_t polygon;
    std::vector<scan_line_t> scan_lines;

    tag_polygon_pretreat_t() : polygon{} {}
    ~tag_polygon_pretreat_t() { com_polygon_free(&polygon); }
    tag_polygon_pretreat_t(const tag_polygon_pretreat_t&) = delete;
    tag_polygon_pretreat_t& operator=(const tag_polygon_pretreat_t&) = delete;
    tag_polygon_pretreat_t(tag_polygon_pretreat_t&& other) noexcept
        : polygon(other.polygon), scan_lines(std::move(other.scan_lines)) {
        other.polygon = polygon_t{};
    }
    tag_polygon_pretreat_t& operator=(tag_polygon_pretreat_t&& other) noexcept {
        if (this != &other) {
            com_polygon_free(&polygon);
            polygon = other.polygon;
            other.polygon = polygon_t{};
            scan_lines = std::move(other.scan_lines);
        }
        return *this;
    }
} polygon_pretreat_t;

/* Prepares polygon (a closed ring; not changed) into out, replacing whatever out held. Costs
 * n log n plus the number of (edge, scan line) crossings.
 * The scan lines are found by exact comparison of vertex x with integer scan x, so the copy's
 * vertex x are brought to whole numbers first: each is rounded to the nearest integer (halves away
 * from zero). Integer input, the library's map units, is unchanged; other input is located against
 * that rounded ring. A copy whose last stored point is not exactly its first is closed by
 * appending the first. A ring with a coordinate that is not finite, or an x beyond the 32-bit
 * integer range, is refused: out is left without scan lines and every query answers 0 (outside). */
MAPGEOM_API void create_polygon_pretreat(const polygon_t* polygon, polygon_pretreat_t* out);

/* Locates p against a prepared polygon: 0 outside, 1 inside, 2 on an edge, 3 at a vertex (within
 * 0.0001 of a vertex on p's scan line; otherwise exact). */
MAPGEOM_API int relation_point_and_polygon(const polygon_pretreat_t* pre, point_t p);

#endif /* __cplusplus */

#endif /* MAPGEOM_RELATION_H */
