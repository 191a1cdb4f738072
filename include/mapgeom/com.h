/* Geometry records (points, point arrays, polygons, polylines, their lists, crossing points) and
 * their container operations. The records are C-layout and usable from C; the operations are C++
 * functions except where a plain name is given for hosts. */
#ifndef MAPGEOM_COM_H
#define MAPGEOM_COM_H

#include "mapgeom/export.h"

/* ---------------------------------------------------------------------------------------------------
 * Records. Arrays inside them are owned through malloc/realloc/free and released by the `_free`
 * operations. Layouts are fixed: hosts and stored data depend on member order and sizes.
 * -------------------------------------------------------------------------------------------------
 */

/* A point. `z` is the point code, an integer carried as a double: its last two decimal digits are
 * the press code (0 plain, 1 inside a press section, 2 first and 3 last point of a section), its
 * hundreds mark node points. */
typedef struct tag_point_t {
    double x MAPGEOM_ZERO;
    double y MAPGEOM_ZERO;
    double z MAPGEOM_ZERO;
} point_t;

/* A growable point array: `capacity` slots, the first `count` in use. All-zero is a valid empty
 * one. */
typedef struct tag_geom_t {
    point_t* points;
    int capacity;
    int count;
} geom_t;

/* A polygon ring, stored closed (the last point repeats the first), with a link for chains. */
typedef struct tag_polygon_t {
    geom_t geom;
    struct tag_polygon_t* next;
} polygon_t;

/* A polyline, stored open, with a link for chains. */
typedef struct tag_polyline_t {
    geom_t geom;
    struct tag_polyline_t* next;
} polyline_t;

/* An extent. The member order (y range first) is part of the record. */
typedef struct tag_rectangle_t {
    double min_y;
    double max_y;
    double min_x;
    double max_x;
} rectangle_t;

typedef struct tag_polygon_node_t {
    polygon_t polygon;
    struct tag_polygon_node_t* next;
    struct tag_polygon_node_t* prev;
} polygon_node_t;

/* Doubly linked list of polygons held by value inside the nodes. */
typedef struct tag_polygons_t {
    polygon_node_t* head;
    polygon_node_t* tail;
    int num;
} polygons_t;

typedef struct tag_polyline_node_t {
    polyline_t polyline;
    struct tag_polyline_node_t* next;
    struct tag_polyline_node_t* prev;
} polyline_node_t;

/* Doubly linked list of polylines; `polygon_rec` optionally groups them by the polygon they came
 * from (entry k = list size after the polylines of polygon k were appended; entry 0 stays 0). */
typedef struct tag_polylines_t {
    polyline_node_t* head;
    polyline_node_t* tail;
    int num;
    int polygon_rec_num;
    int polygon_rec_capacity;
    int* polygon_rec;
} polylines_t;

/* A polygon with its holes, its extent and a group number (0 for none). Owns `polygon` and `holes`.
 */
typedef struct tag_polygon_expand_t {
    polygon_t polygon;
    polygons_t holes;
    rectangle_t rect;
    int group;
} polygon_expand_t;

typedef struct tag_polygon_expand_node_t {
    polygon_expand_t polygon_expand;
    struct tag_polygon_expand_node_t* next;
    struct tag_polygon_expand_node_t* prev;
} polygon_expand_node_t;

typedef struct tag_polygons_expand_t {
    polygon_expand_node_t* head;
    polygon_expand_node_t* tail;
    int num;
} polygons_expand_t;

/* A meeting point of two boundaries: the vertex (or, while a list is being built, edge) index on
 * each shape, the kind of meeting `flag` (0..6) and the point-in-polygon code `curpt_flag` of the
 * first shape's boundary just after the point, relative to the second shape. */
typedef struct tag_crosspt_t {
    point_t pt;
    int index1;
    int index2;
    int flag;
    int curpt_flag;
} crosspt_t;

/* Growable list of crossing points; note the count comes before the capacity. */
typedef struct tag_crosspts_t {
    crosspt_t* crosspts;
    int count;
    int capacity;
} crosspts_t;

/* ---------------------------------------------------------------------------------------------------
 * Plain-named operations (usable from C).
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_C_BEGIN

/* Fresh zeroed storage for 10 crossing points; earlier storage is not released. */
MAPGEOM_API void com_crosspts_init(crosspts_t* crosspts);

/* ---------------------------------------------------------------------------------------------------
 * Building and releasing records from C. The container operations further down are C++ functions;
 * these plain-named companions let a C host (or any host that binds plain names) build the inputs
 * of the plain-named entry points and release what they hand back without touching the records'
 * fields. Each does nothing for a null record.
 *
 *     polygon_t ring, rect;
 *     polygons_t pieces;
 *     com_polygon_make(&ring);
 *     com_polygon_append(&ring, 0, 0, 0);  ...  (the same for rect)
 *     com_polygons_make(&pieces);
 *     algebra_polygon_and_rect_intersec(&ring, &rect, &pieces);
 *     ...  (read the pieces)
 *     com_polygons_release(&pieces);
 *     com_polygon_release(&ring);
 *     com_polygon_release(&rect);
 *
 * Reading needs no function: a list's nodes run from `head` along `next` (`num` of them), and a
 * shape's points are geom.points[0 .. geom.count - 1], a polygon's last point repeating its first.
 * A released record is empty and may be filled again without a new make.
 * -------------------------------------------------------------------------------------------------
 */

/* An empty ring; nothing is allocated before the first point, so a ring never filled needs no
 * release. */
MAPGEOM_API void com_polygon_make(polygon_t* polygon);
/* Appends vertex (x, y) with point code z, keeping the ring closed: the first call stores the
 * point and its closing copy, later calls insert before the closing point. Once the ring has three
 * vertices, a point repeating the first vertex (within 0.0001) is taken as the closing point and
 * not stored again, so an open and a closed list of coordinates build the same ring. */
MAPGEOM_API void com_polygon_append(polygon_t* polygon, double x, double y, double z);
/* Releases the ring's points. */
MAPGEOM_API void com_polygon_release(polygon_t* polygon);

/* An empty polyline; append adds a point at its end; release releases its points. */
MAPGEOM_API void com_polyline_make(polyline_t* polyline);
MAPGEOM_API void com_polyline_append(polyline_t* polyline, double x, double y, double z);
MAPGEOM_API void com_polyline_release(polyline_t* polyline);

/* An empty polygon list. append moves a ring into the list: the list takes over its points and the
 * ring record is left empty, as made. release releases every ring and node of the list. */
MAPGEOM_API void com_polygons_make(polygons_t* polygons);
MAPGEOM_API void com_polygons_append(polygons_t* polygons, polygon_t* polygon);
MAPGEOM_API void com_polygons_release(polygons_t* polygons);

/* The same for polyline lists; release also releases the list's grouping table. */
MAPGEOM_API void com_polylines_make(polylines_t* polylines);
MAPGEOM_API void com_polylines_append(polylines_t* polylines, polyline_t* polyline);
MAPGEOM_API void com_polylines_release(polylines_t* polylines);

/* Release the points a crossing finder listed (find_all_crosspts and its kin; an all-zero geom_t
 * is a valid empty list to start from) and the records of a crossing-point list. */
MAPGEOM_API void com_geom_release(geom_t* geom);
MAPGEOM_API void com_crosspts_release(crosspts_t* crosspts);

MAPGEOM_C_END

#ifdef __cplusplus

/* ---------------------------------------------------------------------------------------------------
 * Point arrays. Init, add, resize and copy ignore a null record. Index preconditions stop the
 * process. Capacities double when full; init gives 16 slots (32 for polygons).
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void com_geom_init(geom_t* geom);
MAPGEOM_API void com_geom_init_polyline(geom_t* geom);
MAPGEOM_API void com_geom_init_polygon(geom_t* geom);
MAPGEOM_API void com_geom_free(geom_t* geom);
MAPGEOM_API void com_geom_clear(geom_t* geom);
/* Storage becomes exactly n zeroed slots; contents are discarded (count 0). */
MAPGEOM_API void com_geom_resize(geom_t* geom, int n);
MAPGEOM_API int com_geom_num(const geom_t* geom);
MAPGEOM_API int com_geom_capacity(const geom_t* geom);
MAPGEOM_API void com_geom_add(geom_t* geom, point_t pt);
/* Requires 0 <= index < count: appending is com_geom_add's job. */
MAPGEOM_API void com_geom_insertat(geom_t* geom, int index, point_t pt);
MAPGEOM_API void com_geom_setat(geom_t* geom, int index, point_t pt);
MAPGEOM_API point_t com_geom_at(const geom_t* geom, int index);
MAPGEOM_API point_t com_geom_front(const geom_t* geom);
MAPGEOM_API point_t com_geom_last(const geom_t* geom);
MAPGEOM_API void com_geom_removeat(geom_t* geom, int index);
/* Removes the first point within 0.0001 of pt: 0 when removed, -1 when none matched. */
MAPGEOM_API int com_geom_remove(geom_t* geom, point_t pt);
/* Index of the first point within 0.0001 of pt, or -1. */
MAPGEOM_API int com_geom_find(const geom_t* geom, point_t pt);
/* Reverses the points in place and exchanges press codes 2 and 3 (2 <-> 3, 102 <-> 103, ...). */
MAPGEOM_API void com_geom_reverse(const geom_t* geom);
/* Deep copy into dest (dest's earlier storage is not released). */
MAPGEOM_API void com_geom_geom(geom_t* dest, const geom_t* src);

/* Coincidence tests: 0 when same (each coordinate differs strictly less than the tolerance; NaN is
 * different), 1 otherwise. The code z takes no part. */
MAPGEOM_API int com_points_same(point_t a, point_t b);
MAPGEOM_API int com_points_same_permit(point_t a, point_t b, double permit);
MAPGEOM_API int com_line_same(point_t a1, point_t a2, point_t b1, point_t b2);
MAPGEOM_API int com_line_same_permit(point_t a1, point_t a2, point_t b1, point_t b2, double permit);

/* ---------------------------------------------------------------------------------------------------
 * Polygons: closed rings; com_polygon_num counts distinct vertices (count - 1).
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void com_polygon_init(polygon_t* polygon);
MAPGEOM_API void com_polygon_init_num(polygon_t* polygon, int n);
/* Allocates a new record (release with com_polygon_free, then com_polygon_free_pointer). */
MAPGEOM_API void com_polygon_init_pointer(polygon_t** polygon);
MAPGEOM_API void com_polygon_init_pointer_num(polygon_t** polygon, int n);
/* Releases the points (not the record, not the chain). */
MAPGEOM_API void com_polygon_free(polygon_t* polygon);
/* Releases the record itself, after com_polygon_free. */
MAPGEOM_API void com_polygon_free_pointer(polygon_t* polygon);
MAPGEOM_API void com_polygon_clear(polygon_t* polygon);
MAPGEOM_API void com_polygon_resize(polygon_t* polygon, int n);
MAPGEOM_API void com_polygon_polygon(polygon_t* dest, const polygon_t* src);
MAPGEOM_API void com_polygon_polygon_pointer(polygon_t** dest, const polygon_t* src);
MAPGEOM_API int com_polygon_num(const polygon_t* polygon);
MAPGEOM_API int com_polygon_capacity(const polygon_t* polygon);
MAPGEOM_API point_t com_polygon_at(const polygon_t* polygon, int index);
MAPGEOM_API point_t com_polygon_front(const polygon_t* polygon);
MAPGEOM_API point_t com_polygon_last(const polygon_t* polygon);
/* Following vertex along the ring (from the closing point, vertex 1). */
MAPGEOM_API point_t com_polygon_nexter(const polygon_t* polygon, int index);
/* Preceding vertex along the ring (from vertex 0, the last distinct vertex). */
MAPGEOM_API point_t com_polygon_priorer(const polygon_t* polygon, int index);
MAPGEOM_API void com_polygon_add(polygon_t* polygon, point_t pt);
MAPGEOM_API void com_polygon_add_geom(polygon_t* polygon, const geom_t* src);
MAPGEOM_API void com_polygon_insertat(polygon_t* polygon, int index, point_t pt);
MAPGEOM_API void com_polygon_setat(polygon_t* polygon, int index, point_t pt);
MAPGEOM_API void com_polygon_removeat(polygon_t* polygon, int index);
MAPGEOM_API int com_polygon_remove(polygon_t* polygon, point_t pt);
MAPGEOM_API int com_polygon_find(const polygon_t* polygon, point_t pt);
/* Replaces the first point matching old_pt (which must be present) by new_pt. */
MAPGEOM_API void com_polygon_setpoint(polygon_t* polygon, point_t old_pt, point_t new_pt);
MAPGEOM_API void com_polygon_reverse(polygon_t* polygon);
/* Integer array exchange; mismatched lengths add or write nothing. Reading needs num + 1 entries.
 */
MAPGEOM_API void com_polygon_add_points(polygon_t* polygon, const int* xs, const int* ys, int nx,
                                        int ny);
MAPGEOM_API void com_polygon_add_points_z(polygon_t* polygon, const int* xs, const int* ys,
                                          const int* zs, int nx, int ny, int nz);
MAPGEOM_API void com_polygon_at_points(const polygon_t* polygon, int* xs, int* ys, int nx, int ny);
MAPGEOM_API void com_polygon_at_points_z(const polygon_t* polygon, int* xs, int* ys, int* zs,
                                         int nx, int ny);

/* ---------------------------------------------------------------------------------------------------
 * Polylines: open point sequences.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void com_polyline_init(polyline_t* polyline);
MAPGEOM_API void com_polyline_init_pointer(polyline_t** polyline);
MAPGEOM_API void com_polyline_free(polyline_t* polyline);
MAPGEOM_API void com_polyline_clear(polyline_t* polyline);
MAPGEOM_API void com_polyline_resize(polyline_t* polyline, int n);
MAPGEOM_API void com_polyline_polyline(polyline_t* dest, const polyline_t* src);
MAPGEOM_API int com_polyline_num(const polyline_t* polyline);
MAPGEOM_API int com_polyline_capacity(const polyline_t* polyline);
MAPGEOM_API point_t com_polyline_at(const polyline_t* polyline, int index);
MAPGEOM_API point_t com_polyline_front(const polyline_t* polyline);
MAPGEOM_API point_t com_polyline_last(const polyline_t* polyline);
MAPGEOM_API void com_polyline_add(polyline_t* polyline, point_t pt);
MAPGEOM_API void com_polyline_add_geom(polyline_t* polyline, const geom_t* src);
MAPGEOM_API void com_polyline_insertat(polyline_t* polyline, int index, point_t pt);
MAPGEOM_API void com_polyline_setat(polyline_t* polyline, int index, point_t pt);
MAPGEOM_API void com_polyline_removeat(polyline_t* polyline, int index);
MAPGEOM_API int com_polyline_remove(polyline_t* polyline, point_t pt);
MAPGEOM_API int com_polyline_find(const polyline_t* polyline, point_t pt);
MAPGEOM_API void com_polyline_setpoint(polyline_t* polyline, point_t old_pt, point_t new_pt);
MAPGEOM_API void com_polyline_reverse(polyline_t* polyline);
MAPGEOM_API void com_polyline_add_points(polyline_t* polyline, const int* xs, const int* ys, int nx,
                                         int ny);
MAPGEOM_API void com_polyline_at_points(const polyline_t* polyline, int* xs, int* ys, int nx,
                                        int ny);

/* ---------------------------------------------------------------------------------------------------
 * Polygon lists. Plain add/insert store the caller's record by value (the list then owns its
 * points); the _copy forms store deep copies. _free releases elements and nodes, _free_node only
 * the nodes.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void com_polygons_init(polygons_t* polygons);
MAPGEOM_API int com_polygons_num(const polygons_t* polygons);
MAPGEOM_API polygon_t com_polygons_front(const polygons_t* polygons);
MAPGEOM_API polygon_t com_polygons_last(const polygons_t* polygons);
MAPGEOM_API polygon_t com_polygons_at(const polygons_t* polygons, int index);
MAPGEOM_API polygon_t* com_polygons_at_pointer(const polygons_t* polygons, int index);
MAPGEOM_API void com_polygons_add(polygons_t* polygons, polygon_t polygon);
MAPGEOM_API void com_polygons_add_copy(polygons_t* polygons, polygon_t polygon);
MAPGEOM_API void com_polygons_addrange(polygons_t* polygons, const polygons_t* src);
MAPGEOM_API void com_polygons_addrange_copy(polygons_t* polygons, const polygons_t* src);
MAPGEOM_API void com_polygons_insertat(polygons_t* polygons, int index, polygon_t polygon);
MAPGEOM_API void com_polygons_insertat_copy(polygons_t* polygons, int index, polygon_t polygon);
MAPGEOM_API void com_polygons_setat(polygons_t* polygons, int index, polygon_t polygon);
MAPGEOM_API void com_polygons_removeat(polygons_t* polygons, int index);
/* Returns a new deep copy (release with com_polygon_free and com_polygon_free_pointer), then
 * removes the element. */
MAPGEOM_API polygon_t* com_polygons_at_remove(polygons_t* polygons, int index);
MAPGEOM_API void com_polygons_clear(polygons_t* polygons);
MAPGEOM_API void com_polygons_free(polygons_t* polygons);
MAPGEOM_API void com_polygons_free_node(polygons_t* polygons);

/* ---------------------------------------------------------------------------------------------------
 * Polyline lists, with the optional polygon_rec grouping table.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void com_polylines_init(polylines_t* polylines);
MAPGEOM_API int com_polylines_num(const polylines_t* polylines);
MAPGEOM_API polyline_t com_polylines_front(const polylines_t* polylines);
MAPGEOM_API polyline_t com_polylines_last(const polylines_t* polylines);
MAPGEOM_API polyline_t com_polylines_at(const polylines_t* polylines, int index);
MAPGEOM_API polyline_t* com_polylines_at_pointer(const polylines_t* polylines, int index);
MAPGEOM_API void com_polylines_add(polylines_t* polylines, polyline_t polyline);
MAPGEOM_API void com_polylines_add_copy(polylines_t* polylines, polyline_t polyline);
MAPGEOM_API void com_polylines_addrange(polylines_t* polylines, const polylines_t* src);
MAPGEOM_API void com_polylines_addrange_copy(polylines_t* polylines, const polylines_t* src);
/* Requires 0 <= index < num: inserts before an existing node only. */
MAPGEOM_API void com_polylines_insertat(polylines_t* polylines, int index, polyline_t polyline);
MAPGEOM_API void com_polylines_insertat_copy(polylines_t* polylines, int index,
                                             polyline_t polyline);
MAPGEOM_API void com_polylines_setat(polylines_t* polylines, int index, polyline_t polyline);
MAPGEOM_API void com_polylines_removeat(polylines_t* polylines, int index);
MAPGEOM_API void com_polylines_clear(polylines_t* polylines);
MAPGEOM_API void com_polylines_free(polylines_t* polylines);
MAPGEOM_API void com_polylines_free_node(polylines_t* polylines);
/* New zero-filled grouping table of 20 entries. */
MAPGEOM_API void com_polylines_init_polygon_rec(polylines_t* polylines);
/* Sets entry index (doubling the table once when index is past its end) and counts it. */
MAPGEOM_API void com_polylines_add_int(polylines_t* polylines, int index, int value);

/* ---------------------------------------------------------------------------------------------------
 * Lists of polygons with holes.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void com_polygons_expand_init(polygons_expand_t* polygons_expand);
MAPGEOM_API int com_polygons_expand_num(const polygons_expand_t* polygons_expand);
MAPGEOM_API void com_polygons_expand_add(polygons_expand_t* polygons_expand,
                                         polygon_expand_t polygon);
MAPGEOM_API polygon_expand_t com_polygons_expand_at(const polygons_expand_t* polygons_expand,
                                                    int index);
MAPGEOM_API polygon_expand_t* com_polygons_expand_at_pointer(
    const polygons_expand_t* polygons_expand, int index);
MAPGEOM_API void com_polygons_expand_removeat(polygons_expand_t* polygons_expand, int index);
/* Unlinks the node and hands its polygon and holes to the caller. */
MAPGEOM_API polygon_expand_t com_polygons_expand_at_remove(polygons_expand_t* polygons_expand,
                                                           int index);
MAPGEOM_API void com_polygons_expand_free(polygons_expand_t* polygons_expand);
MAPGEOM_API void com_polygons_expand_free_node(polygons_expand_t* polygons_expand);

/* Release a singly linked chain of malloc'd shape records (points and records); *first becomes
 * null. */
MAPGEOM_API void algebra_polygons_free(polygon_t** first);
MAPGEOM_API void algebra_polylines_free(polyline_t** first);

/* ---------------------------------------------------------------------------------------------------
 * Crossing-point lists: initial capacity 10, doubling when full.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void com_crosspts_resize(crosspts_t* crosspts, int n);
MAPGEOM_API void com_crosspts_add(crosspts_t* crosspts, crosspt_t crosspt);
MAPGEOM_API void com_crosspts_insertat(crosspts_t* crosspts, int index, crosspt_t crosspt);
MAPGEOM_API void com_crosspts_setat(crosspts_t* crosspts, int index, crosspt_t crosspt);
MAPGEOM_API void com_crosspts_removeat(crosspts_t* crosspts, int index);
/* Removes the first record whose point is within 0.0001 of crosspt.pt: 0, or -1 when none. */
MAPGEOM_API int com_crosspts_remove(crosspts_t* crosspts, crosspt_t crosspt);
MAPGEOM_API int com_crosspts_find(const crosspts_t* crosspts, point_t pt);
MAPGEOM_API crosspt_t com_crosspts_at(const crosspts_t* crosspts, int index);
MAPGEOM_API crosspt_t com_crosspts_front(const crosspts_t* crosspts);
MAPGEOM_API crosspt_t com_crosspts_last(const crosspts_t* crosspts);
MAPGEOM_API int com_crosspts_num(const crosspts_t* crosspts);
MAPGEOM_API int com_crosspts_capacity(const crosspts_t* crosspts);
MAPGEOM_API void com_crosspts_reverse(crosspts_t* crosspts);
MAPGEOM_API void com_crosspts_clear(crosspts_t* crosspts);
MAPGEOM_API void com_crosspts_free(crosspts_t* crosspts);
/* Deep copy into dest (dest's earlier storage is not released). */
MAPGEOM_API void com_crosspts_crosspts(crosspts_t* dest, const crosspts_t* src);

#endif /* __cplusplus */

#endif /* MAPGEOM_COM_H */
