/* Polygon overlay and its support: crossing finders that insert every meeting point of two
 * boundaries into both shapes and list the points, side tests of one ring against another, the
 * cutting of rings at repeated vertices, the removal of degenerate result shapes, and the repair
 * of rings that touch or cross themselves. */
#ifndef MAPGEOM_ALGEBRA_H
#define MAPGEOM_ALGEBRA_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"

MAPGEOM_C_BEGIN

/* ---------------------------------------------------------------------------------------------------
 * Crossing finders. Each tests every segment pair of the two shapes (as they came in), inserts each
 * meeting point into both shapes as a vertex unless a vertex is already there, and appends the
 * point to `points` unless it is listed already (within 0.0001). The shapes are changed in place
 * and keep owning their storage; `points` is appended to, never cleared. All return 0.
 * -------------------------------------------------------------------------------------------------
 */

/* Two polylines; segments meet within 0.01 and a point goes into the part of each tested segment
 * (as subdivided so far) that holds it within 0.01, unless that part has a point there already
 * (a polyline passing the place twice gets the point on each pass it is found on). */
MAPGEOM_API int find_all_crosspts(polyline_t* line1, polyline_t* line2, geom_t* points);

/* A polyline and a ring; segments meet within 0.0001 and a point goes into the part of the tested
 * segment (as subdivided so far) that holds it within 0.00001, unless that part has a point there
 * already (a shape passing the place twice gets the point on each pass it is found on). */
MAPGEOM_API int find_all_polyline_crosspts(polyline_t* line, polygon_t* ring, geom_t* points);

/* Two rings; segments meet within 0.0001. Listed points have code 0. In the rings, crossing
 * vertices are marked through their code: an inserted vertex gets 100 (or the code of its edge's
 * start plus 100 when that start has a press code), a vertex that a crossing hits gets its code
 * plus 100 (once: codes of 200 and more stay). A point goes into the part of the tested edge that
 * holds it within 0.01, or after the edge's start when no part does. */
MAPGEOM_API int find_all_polygon_crosspts(polygon_t* a, polygon_t* b, geom_t* points);

/* ---------------------------------------------------------------------------------------------------
 * Clipping a polygon by a rectangle.
 * -------------------------------------------------------------------------------------------------
 */

/* Clips `polygon` by `rect`, a rectangle given as its closed outline (in practice a grid tile),
 * and appends the pieces of the polygon inside the rectangle to `out`. Neither input is changed;
 * the rings are worked on as counter-clockwise copies with repeated points removed. Returns
 *   0  the boundaries cross: the pieces were appended
 *   1  no meeting point and the polygon lies within the rectangle (nothing appended); also when
 *      pieces came out without the walk ever running along the outline (they were appended)
 *   2  no meeting point and the rectangle lies within the polygon (nothing appended)
 *   3  no meeting point, neither within the other: apart (nothing appended); also for a null or
 *      degenerate input ring (fewer than 3 edges)
 *   4  the boundaries only touch, and the polygon lies within the rectangle (nothing appended)
 *   5  the boundaries only touch, and the rectangle lies within the polygon (nothing appended)
 *   6  the boundaries meet but no piece results and neither lies within the other, or the walk
 *      produced no piece (nothing appended); also when scratch memory ran out
 * Pieces are closed counter-clockwise rings snapped to whole units, free of repeated vertices; a
 * piece that the snapping flattens onto one line (every vertex within 0.01 of the line through its
 * first two: relation_polygon_iserror's code 5, a sliver thinner than a unit) is dropped.
 * Every stretch of a piece taken from the outline is a press section (code 2 on its first point,
 * 3 on its last, 0 between); press sections of the polygon are kept and cut where the outline cuts
 * them. Points keep the hundreds of their codes, except crossing vertices at mere touch points,
 * which lose a 100.
 * Rings already in `out` are left untouched: the clean-up of degenerate rings and the press markers
 * apply to this call's pieces only. The list takes over the pieces (release with
 * com_polygons_free; from C com_polygons_release).
 * Debug traces (appended in the working directory): a faulty polygon (relation_polygon_iserror not
 * 0) to "source_error.txt" and a faulty outline to "compare_error.txt", each as "num: " and its
 * stored point count followed by one "x<TAB>y" line per point; one "result_error: " line to
 * "result_error.txt" per faulty piece. */
MAPGEOM_API int algebra_polygon_and_rect_intersec(polygon_t* polygon, polygon_t* rect,
                                                  polygons_t* out);

MAPGEOM_C_END

/* ---------------------------------------------------------------------------------------------------
 * Intersection and difference of two polygon rings. Both change their inputs in place: repeated
 * points removed (coordinates snapped to whole units), A turned counter-clockwise, B turned like A
 * (intersection) or against it (difference), and every boundary crossing inserted into both rings
 * as a vertex whose code carries a crossing marker (100 added; see find_all_polygon_crosspts).
 * Crossings where the rings only touch lose the marker again (in the difference, a point where B
 * touches A from inside keeps it). Result rings are counter-clockwise, closed, free of repeated
 * vertices, in whole units, and appended to out (a ring that the snapping flattens onto one line,
 * relation_polygon_iserror's code 5, is dropped; one that it leaves touching or crossing itself,
 * where the two boundaries run within a unit of each other, goes as its repaired pieces, as
 * error_polygon_process gives them); rings already in out are left alone. The caller
 * releases them with com_polygons_free (from C com_polygons_release). A result never holds a hole:
 * rings that cross cannot leave one, and nested rings are reported by code with nothing appended.
 * Result codes:
 *   0  the rings cross; result rings appended
 *   1  no crossing, no vertex of A outside B (A within B: the intersection is A, the difference
 *      empty)
 *   2  no crossing, some vertex of A outside B and none of B outside A (B within A: the
 *      intersection is B, the difference A with B as a hole)
 *   3  no crossing, each ring has a vertex outside the other (apart: the intersection is empty,
 *      the difference A)
 *   4  crossings, but the walk built nothing; as 1 (the rings touch); in the difference also
 *      when every ring built was degenerate (nothing of A is left)
 *   5  as 2 with touching rings; also when rings were appended but B never runs outside A after
 *      a crossing (B within A sharing boundary: the appended rings are the result)
 *   6  as 3 with touching rings; in the intersection also when every ring built was degenerate
 *  -1  a null argument, or memory ran out (out may hold part of the result); in the
 *      intersection of two valid rings also when the walk's rings enclose more than the smaller
 *      ring, which no intersection can (a walk gone wrong at crossings close together): nothing
 *      is appended then
 * A ring without area (fewer than three vertices, or all on one line) is not walked: the codes 1
 * to 3 tell how the rings lie, and nothing is appended.
 * "Outside" means relation_point_at_polygon gives 0 (0.01 band); a ring with no vertex outside
 * the other is within it unless the midpoint of one of its edges is outside (a ring whose vertices
 * all lie on the other's boundary). The walks give up on a ring that does not close after 15 steps
 * per vertex of A and B (the difference: at least 100,000); the rings closed until then stay.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_C_BEGIN

/* The area common to rings a and b. Points of a result taken from b, and the crossings where the
 * result leaves a, have press code 1 or more (1 added unless it was 1): stretches from b read as
 * pressed; vertices of a keep their codes. */
MAPGEOM_API int algebra_polygons_intersec(polygon_t* a, polygon_t* b, polygons_t* out);

/* The area of ring a outside ring b. Points keep their codes (crossings keep their marker). */
MAPGEOM_API int algebra_polygons_diffence(polygon_t* a, polygon_t* b, polygons_t* out);

MAPGEOM_C_END

/* ---------------------------------------------------------------------------------------------------
 * Self-intersection repair. A ring that touches itself at a vertex or crosses itself is cut at
 * every such place into rings that do not, each contact point becoming a vertex of the rings that
 * meet there. Coordinates come out snapped to whole units (the ring is cleaned with
 * optimize_polygon_process first, and so is every piece). Press sections (codes 2 .. 3) that a cut
 * runs through are closed off in each piece: a code-2 start and a code-3 end around the part that
 * piece keeps. Each ring keeps the direction of the boundary it comes from (a bow tie gives one
 * counter-clockwise and one clockwise triangle), and together the rings wind round every point as
 * the input did: where the input winds twice round a region (a pentagram's centre), two rings
 * cover it, and the points covered by an odd number of rings are the input's even-odd interior.
 *
 * Snapping a new vertex to whole units can leave a piece touching itself again, so pieces are
 * repaired again, up to 8 passes deep and within a budget of 64 + 4 x (vertices of the cleaned
 * ring) passes per call. A piece that still touches or crosses itself at that bound, or that a pass
 * cannot cut, is appended as it stands, in its turn (relation_polygon_iserror tells such rings by
 * code 1 or 2). So every call returns, and nothing of the input is lost beyond slivers: pieces of
 * a cut that enclose no area (fewer than 3 edges, or all points on one line, where the ring ran
 * back along itself) are dropped.
 * -------------------------------------------------------------------------------------------------
 */

struct tag_polygons_java_t; /* the polygon list record of mapgeom/java.h */

MAPGEOM_C_BEGIN

/* Repairs one ring (read only) and appends the resulting rings to out, which is neither cleared
 * nor initialised; the caller releases them with com_polygons_free (from C com_polygons_release).
 * Returns 1 when the ring was cut, 0 when it was not: it was valid, or faulty in a way that is no
 * contact (too few vertices, not closed, all points on one line; such a ring is appended after
 * cleaning, unmended), or it could not be cut (appended as it stands); or it had fewer than 3
 * stored points after cleaning (nothing appended). */
MAPGEOM_API int error_polygon_process(const polygon_t* polygon, polygons_t* out);

/* Repairs every polygon of the list record `polygons` in order, as error_polygon_process, and
 * appends the rings to the list record `result` (which must be initialised). counts[i] receives the
 * number of rings appended for polygon i; the caller sizes counts to polygons->part_num (a null
 * counts is skipped). */
MAPGEOM_API void error_polygons_process(const struct tag_polygons_java_t* polygons,
                                        struct tag_polygons_java_t* result, int* counts);

MAPGEOM_C_END

#ifdef __cplusplus

/* Cuts a ring at every vertex position it visits twice and appends the pieces, each free of
 * repeated vertices, to out; a ring without repeated vertices is appended as it is. The list takes
 * over the ring's storage: the ring record is left empty. `flag` is not used. */
MAPGEOM_API void split_polygon_by_repeat_points(polygon_t* ring, polygons_t* out, int flag);

/* Where a's boundary runs just after its vertex at p, relative to b: the point-in-polygon code
 * (0 outside, 1 inside, 2 on an edge, 3 at a vertex; tolerance 0.0001) of the midpoint of that
 * vertex and the next one. When a has no vertex at p, the code of p itself. */
MAPGEOM_API int judge_curpt_pos(const polygon_t* a, const polygon_t* b, point_t p);

/* Kind of meeting (0..6, as calc_crosspt_flag) of a's vertex at p relative to b; 1 when a has no
 * vertex at p. */
MAPGEOM_API int judge_crosspt_polygons(const polygon_t* a, const polygon_t* b, point_t p);

/* Index of the first vertex i of a (0 .. num - 1) with used[i] == 0 that is listed in `points` and
 * after which a runs outside b; -1 when there is none. */
MAPGEOM_API int get_outestpt_pos(const polygon_t* a, const polygon_t* b, const geom_t* points,
                                 int* used);

/* Appends p unless the ring already holds two or more points and p repeats the last one (within
 * 0.0001). Returns 0 when appended, 1 when skipped. */
MAPGEOM_API int cur_polygon_add(polygon_t* ring, point_t p);

/* Appends p unless it repeats the polyline's last point (within 0.0001). Returns 0 when appended,
 * 1 when skipped. */
MAPGEOM_API int cur_polyline_add(polyline_t* line, point_t p);

/* Removes (and releases) every ring with fewer than 3 edges or whose last point is 0.99 or more
 * away from its first in x or in y. */
MAPGEOM_API void err_polygon_process(polygons_t* list);

/* Removes (and releases) every polyline with fewer than 2 points. */
MAPGEOM_API void err_polyline_process(polylines_t* list);

#endif /* __cplusplus */

/* ---------------------------------------------------------------------------------------------------
 * Union of two polygon rings.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_C_BEGIN

/* Merges rings a and b into the outline(s) of the area covered by either and appends them to out
 * (never cleared). a and b are changed in place: coordinates snapped to whole units, repeated
 * points removed, turned counter-clockwise and, when their boundaries meet, every meeting point
 * inserted as a vertex and press sections recoded so that each of their points, both ends
 * included, has press code 1. Results:
 *   0  outline rings appended, each free of repeated vertices and valid; the covered area lies on
 *      each ring's left, so outer outlines run counter-clockwise and holes clockwise
 *   1  nothing appended: a lies within b (inside, or on b's boundary); the union is b
 *   2  nothing appended: b lies within a; the union is a
 *   3  nothing appended: the rings lie apart, at most touching at points; the union is both.
 *      Also for a null argument or a ring without vertices, with nothing changed
 *  -3  rings appended but not to be trusted: one is not valid (relation_polygon_iserror), or the
 *      walk could not be followed soundly (contradictory meeting points, outlines covering less
 *      than the larger ring or more than both, or no closing within the step bound)
 * Only the rings this call appends are cleaned of degenerate rings and checked. The caller
 * releases out with com_polygons_free (from C com_polygons_release). */
MAPGEOM_API int algebra_polygons_union(polygon_t* a, polygon_t* b, polygons_t* out);

MAPGEOM_C_END

/* ---------------------------------------------------------------------------------------------------
 * Union of a list of polygons. Every polygon of `in` (not changed) is merged, repeatedly, with each
 * polygon whose boundary crosses its own or runs along it from the other side (neighbouring
 * parcels sharing edges included), until no such pair is left. Polygons that only touch at points,
 * or that lie within another's hole, stay apart. Merged outlines come from algebra_polygons_union:
 * snapped to whole units, counter-clockwise. Holes that unions enclose are carried with the merged
 * polygon (a hole that a later polygon covers in part keeps only its uncovered part); holes that
 * the graphic reduction with default thresholds reduces away (reduc_polygon_by_defult returns 1)
 * are dropped on delivery. Holes of a merged polygon that come to overlap or share a stretch (their
 * crossings snapped too) are united into one hole. A pairwise union that fails (-3) leaves the
 * polygon unmerged; so does one whose snapped outer ring would leave a hole (carried or its own)
 * reaching outside it or coming within 0.01 of it other than at a shared vertex, or whose holes
 * cannot be united into one ring or come within 0.01 of each other: both polygons stay as they
 * were. Partners
 * are looked up through a grid over the polygons' extents, so a sheet of neighbouring parcels costs
 * about n log n pairwise unions rather than n^2 tests. Both return 0.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_C_BEGIN

/* Appends one record per merged polygon to out (initialised by the caller; released with
 * com_polygons_expand_free): its outer ring (repeated points removed), its holes, its extent and
 * group number (non-zero for polygons that were found unable to merge with another). */
MAPGEOM_API int multi_polygons_union(const polygons_t* in, polygons_expand_t* out);

/* As multi_polygons_union, but each merged polygon's holes are cut out (split_polygons_by_holes)
 * and the plain pieces are appended to out (released with com_polygons_free). */
MAPGEOM_API int algebra_multi_polygons_union(polygons_t* in, polygons_t* out);

MAPGEOM_C_END

/* ===================================================================================================
 * Splitting polygons and polylines. Pieces are appended to the caller's output list, which is never
 * cleared; each operation drops the unusable pieces it made itself and leaves whatever the list
 * held before alone. The caller releases the list with its _free function.
 * ===================================================================================================
 */
MAPGEOM_C_BEGIN

/* Cuts a polygon into pieces along a cutting line and appends them (closed, counter-clockwise) to
 * out. The line is trimmed first to the stretch from where it first enters the polygon to where
 * it finally leaves it; outside stretches between are skipped, and every stretch inside separates
 * two pieces. Nothing is cut when an end of the line lies strictly inside the polygon or the line
 * meets its boundary at fewer than two points. A line that turns straight back (exactly) parts the
 * polygon as the places it passes do, each taken once: it is cut where it turns back into parts,
 * and the polygon by one part after another. Pieces are snapped to whole units and cleaned of
 * repeated points, and a piece that visits a position twice is cut there. A crossing point in a
 * piece carries 100 added to its code (codes of 100 and more are kept): it is a node point.
 * Changes the caller's polygon only by turning it counter-clockwise when it is clockwise; the line
 * is not changed. Pieces with fewer than 3 edges, or not closed within 0.99, are dropped. Returns
 * 0. */
MAPGEOM_API int split_polygon_by_polyline(polygon_t* polygon, polyline_t* line, polygons_t* out);

/* Cuts a polygon with holes into polygons without holes and appends them to out. `polygons` holds
 * the outer ring and its holes (the ring that holds another is taken as the outer ring; it is
 * normally the first) and is not changed. Vertical lines, one through the middle of each hole
 * (rounded to a whole unit when that still passes through the hole) in ascending x, run from the
 * outer boundary below a hole through it, through the holes above it on the same line, to the
 * outer boundary above; the pieces on either side are counter-clockwise rings free of repeated
 * vertices that cover the outer ring less its holes exactly (the points where a line crosses a
 * boundary are not snapped to whole units). Every edge a cut
 * made is a press section on the pieces on both sides of it: code 2 at its lower or upper end
 * point (in the piece's direction), 3 at the other, 0 between, each carrying the node marker 100.
 * Rings with no ring holding another (a lone outer ring included) are appended as copies; a hole
 * lying in no outer ring comes out as a polygon of its own. Rings with fewer than 3 edges or not
 * closed within 0.99 are dropped. Returns 0. */
MAPGEOM_API int split_polygons_by_holes(polygons_t* polygons, polygons_t* out);

MAPGEOM_C_END

#ifdef __cplusplus

/* Appends to out the stretches of `line` inside `polygon` or along its boundary, each from where
 * the line enters to where it leaves; a piece that ends where the line leaves is cleaned of points
 * closer than 0.99 to the point before. The polygon is turned counter-clockwise in place when it is
 * clockwise; the line is not changed. Returns 0 when the line was cut (pieces appended); 1 when it
 * lies inside, touching the boundary or not (a copy of the whole line appended); 2 when it lies
 * outside, touching the boundary or not (nothing appended). Pieces of fewer than 2 points are
 * dropped. Pieces reach out only once all are made: should scratch memory run out, nothing is
 * appended and 2 is returned (the rectangle variant likewise). */
MAPGEOM_API int split_polyline_by_polygon(polyline_t* line, polygon_t* polygon, polylines_t* out);

/* As split_polyline_by_polygon for a rectangle given as a closed ring of its corners, with one
 * rule for stretches along the outline: those on its least-x and least-y sides are kept, those on
 * its greatest-x and greatest-y sides are cut away, so that a line along the common edge of two
 * neighbouring tiles goes to exactly one of them. Returns 1 (a copy of the whole line appended)
 * only when the line lies strictly inside without meeting the outline, 2 when it lies outside
 * without meeting it (nothing appended), otherwise 0 (the kept stretches appended, possibly none).
 * The outline is turned counter-clockwise in place when it is clockwise; the line is not changed.
 */
MAPGEOM_API int split_polyline_by_rect(polyline_t* line, polygon_t* rect, polylines_t* out);

/* Cuts polyline a at every point where polyline b meets it (within 0.01) and appends the pieces in
 * order along a, each piece ending at a meeting point where the next begins. Both lines are cleaned
 * of points closer than 0.99 to the point before first (on copies: neither is changed). Returns 0
 * when cut, 1 when the lines do not meet (nothing appended; also when scratch memory ran out).
 * Pieces of fewer than 2 points are dropped. */
MAPGEOM_API int split_polyline_by_polyline(polyline_t* a, polyline_t* b, polylines_t* out);

#endif /* __cplusplus */

/* ===================================================================================================
 * Polygons as borders. A border is a polyline from one node point of a ring to the next, both ends
 * included; a node point is one whose code has hundreds (z / 100, truncated, is not 0: crossing
 * points a split or an overlay took into a result carry 100). A list of borders may describe
 * several polygons through its polygon_rec table: the borders of polygon k (from 1) are those at
 * indexes polygon_rec[k - 1] .. polygon_rec[k] - 1. Every operation below that delivers polygons
 * as borders starts a new table in its output list (releasing the old one; entry 0 is the number
 * of borders the list held before, 0 for an empty list) and records one group per polygon, in
 * order.
 *
 * Joining borders: both ends of every border become node points (100 added to a code below 100),
 * then, starting from the first border, each pass joins the first remaining border, in list order,
 * one of whose ends is the same point (within 0.0001) as an end of the ring built so far, turning
 * the border or the ring as needed (turning a sequence exchanges press codes 2 and 3). A list of
 * one border is taken as the ring without marking its ends. The borders must join into one ring
 * that closes, within 10,000 passes.
 *
 * Consumed lists: an operation that joins a caller's border list releases it (com_polylines_free)
 * once it has joined, or refills it as stated. A list that does not join is left exactly as given
 * (borders, order, codes, table), nothing is appended, and the operation returns -1; so does a
 * null argument.
 * ===================================================================================================
 */
#ifdef __cplusplus

/* Appends to `borders` the borders of the ring (not changed): one per node point, each from that
 * node to the next in ring order, starting at the first node of the ring; a ring without node
 * points gives one border, the whole ring from vertex 0 back to it. A ring of fewer than two
 * stored points gives none. The list owns the borders (release with com_polylines_free). */
MAPGEOM_API void algebra_convert_polygon_to_borders(polygon_t* polygon, polylines_t* borders);

/* Joins the borders into one ring and appends its points to `polygon` (initialised by the caller);
 * the list is released. Returns 0, or -1 (nothing changed) for an empty list or borders that do
 * not join into one closed ring. */
MAPGEOM_API int algebra_convert_borders_to_polygon(polylines_t* borders, polygon_t* polygon);

/* Joins the borders of one polygon (the list is released), cuts the polygon with the line as
 * split_polygon_by_polyline does, and appends the borders of the pieces to `out`, one group per
 * piece; a polygon the line does not cut is appended whole, as one piece. Returns 0, or -1 when
 * the borders do not join or an argument is null (nothing changed). */
MAPGEOM_API int algebra_polygons_split_by_borders(polylines_t* borders, polyline_t* line,
                                                  polylines_t* out);

/* Joins each group of the grouped list (the first group the outer ring, the others its holes; a
 * list without a table is one group), cuts the holes out as split_polygons_by_holes does, and
 * appends the borders of the pieces to `out`, one group per piece; the list is released. Returns
 * 0, or -1 when a group does not join or the table does not fit the list (its entries go backwards
 * or past the list's end): then the list is left as given and nothing is appended. */
MAPGEOM_API int algebra_polygons_holes_by_borders(polylines_t* borders, polylines_t* out);

/* The overlays of two polygons given as borders. A's and B's borders are joined into rings, the
 * overlay (algebra_polygons_union, algebra_polygons_diffence, algebra_polygons_intersec) runs on
 * them, A's and B's lists are refilled with the borders of the rings as the overlay left them
 * (snapped, turned, crossing points inserted as nodes; without a table), and the borders of the
 * result rings are appended to `out`, one group per ring. Returns the overlay's code; -1 when A's
 * or B's borders do not join or an argument is null (nothing changed). */
MAPGEOM_API int algebra_polygons_union_by_borders(polylines_t* a, polylines_t* b, polylines_t* out);
MAPGEOM_API int algebra_polygons_diffence_by_borders(polylines_t* a, polylines_t* b,
                                                     polylines_t* out);
MAPGEOM_API int algebra_polygons_intersec_by_borders(polylines_t* a, polylines_t* b,
                                                     polylines_t* out);

/* 0 when the two borders (read only) are the same, in the same or the opposite direction: as many
 * points, each the same as its counterpart within 0.99 in x and in y; 1 otherwise (also for a null
 * border). */
MAPGEOM_API int judge_border_same(polyline_t* a, polyline_t* b);

#endif /* __cplusplus */

#endif /* MAPGEOM_ALGEBRA_H */
