/* Flat-array records through which hosts (JVM, Python, C) exchange geometry as 32-bit integer
 * arrays, with their init, free and read-out functions, the tile grid helper and the polygon-list
 * and split-lines records. Everything here has a plain name and compiles as C.
 *
 * The byte layouts are a wire format: hosts fill these records directly at the offsets noted
 * beside each field (natural 64-bit layout: 4-byte integers, 8-byte pointers aligned to 8).
 *
 * Coordinates cross unscaled: a host integer becomes the double of the same value, and a double
 * is truncated toward zero when written back. A part is one ring or one line, stored one after
 * another in the coordinate arrays; part_points[i] says how many consecutive points part i has.
 * Polygon parts written by the library carry their closing point (last point equal to the first).
 *
 * Ownership: the host owns every record; the library allocates and releases only the arrays a
 * record points to (with malloc/realloc/free), through the init and _free functions below. A
 * record is reused only after its _free and a new init. All functions ignore a null record. */
#ifndef MAPGEOM_JAVA_H
#define MAPGEOM_JAVA_H

#include "mapgeom/com.h"
#include "mapgeom/export.h"
#include "mapgeom/optimize.h"

/* ---------------------------------------------------------------------------------------------------
 * Tiling records.
 *
 * In-records, tag_division_in_t (polylines, 56 bytes) and polygon_division_in_t (polygons, each
 * part an independent ring, never a hole of the part before it; 64 bytes). The host sets every
 * integer field; point_num and part_num must be the lengths of the arrays it hands to init (the
 * library reads that many entries and no more).
 *
 *    0 point_num    points in x, y (and z)       24 col_num      tile columns (along x)
 *    4 part_num     shapes                       28 row_num      tile rows (along y)
 *    8 grid_min_y   the tile grid, in the        32 part_points  points of each shape
 *   12 grid_max_y   order of a rectangle_t's     40 x
 *   16 grid_min_x   fields                       48 y
 *   20 grid_max_x                                56 z            polygons only: point codes
 *
 * Out-records, tag_division_out_t (pieces of polylines, 64 bytes) and polygon_division_out_t
 * (pieces of polygons, 72 bytes, the last 4 padding): arrays first, counts last; the library
 * appends after the counts it finds. The polygon record's z after y moves every later field by
 * one slot (offsets: polylines / polygons).
 *
 *    0 / 0  x, 8 / 8 y   point capacity entries
 *      - / 16 z          point capacity: point code, truncated; marks whole-tile pieces
 *   16 / 24 part_points  part capacity: points of each piece (polygons: closing point included)
 *   24 / 32 shape_parts  shape capacity: pieces of each input shape, in input order
 *   32 / 40 part_col     part capacity: tile column of each piece
 *   40 / 48 part_row     part capacity: tile row of each piece
 *   48 / 56 point_num    points written
 *   52 / 60 part_num     pieces written
 *   56 / 64 shape_num    shape_parts entries written
 * -------------------------------------------------------------------------------------------------
 */
typedef struct tag_division_in_t {
    int point_num;
    int part_num;
    int grid_min_y;
    int grid_max_y;
    int grid_min_x;
    int grid_max_x;
    int col_num;
    int row_num;
    int* part_points;
    int* x;
    int* y;
} division_in_t;
typedef struct tag_division_in_t tag_division_in_t;

typedef struct tag_polygon_division_in_t {
    int point_num;
    int part_num;
    int grid_min_y;
    int grid_max_y;
    int grid_min_x;
    int grid_max_x;
    int col_num;
    int row_num;
    int* part_points;
    int* x;
    int* y;
    int* z;
} polygon_division_in_t;
typedef struct tag_polygon_division_in_t tag_polygon_division_in_t;

typedef struct tag_division_out_t {
    int* x;
    int* y;
    int* part_points;
    int* shape_parts;
    int* part_col;
    int* part_row;
    int point_num;
    int part_num;
    int shape_num;
} division_out_t;
typedef struct tag_division_out_t tag_division_out_t;

typedef struct tag_polygon_division_out_t {
    int* x;
    int* y;
    int* z;
    int* part_points;
    int* shape_parts;
    int* part_col;
    int* part_row;
    int point_num;
    int part_num;
    int shape_num;
} polygon_division_out_t;
typedef struct tag_polygon_division_out_t tag_polygon_division_out_t;

/* ---------------------------------------------------------------------------------------------------
 * Reduction records: counts first, then the part array, then coordinates. The in and out records
 * of a family share one layout: polygons (40 bytes) and polylines (32 bytes, no z).
 *
 *    0 point_num    points in the arrays        16 x
 *    4 part_num     parts (rings or lines)      24 y
 *    8 part_points  points of each part         32 z   polygons only
 * -------------------------------------------------------------------------------------------------
 */
typedef struct tag_polygon_reduce_in_t {
    int point_num;
    int part_num;
    int* part_points;
    int* x;
    int* y;
    int* z;
} polygon_reduce_in_t;
typedef struct tag_polygon_reduce_in_t tag_polygon_reduce_in_t;

typedef struct tag_polygon_reduce_out_t {
    int point_num;
    int part_num;
    int* part_points;
    int* x;
    int* y;
    int* z;
} polygon_reduce_out_t;
typedef struct tag_polygon_reduce_out_t tag_polygon_reduce_out_t;

typedef struct tag_line_reduce_in_t {
    int point_num;
    int part_num;
    int* part_points;
    int* x;
    int* y;
} line_reduce_in_t;
typedef struct tag_line_reduce_in_t tag_line_reduce_in_t;

typedef struct tag_line_reduce_out_t {
    int point_num;
    int part_num;
    int* part_points;
    int* x;
    int* y;
} line_reduce_out_t;
typedef struct tag_line_reduce_out_t tag_line_reduce_out_t;

/* ---------------------------------------------------------------------------------------------------
 * List records: they keep their own capacities.
 * -------------------------------------------------------------------------------------------------
 */

/* A list of polygons as integer arrays. 48 bytes. */
typedef struct tag_polygons_java_t {
    int* x;             /*  0 */
    int* y;             /*  8 */
    int* z;             /* 16 */
    int* part_points;   /* 24: points of each polygon, closing point included */
    int point_num;      /* 32: points stored                                  */
    int part_num;       /* 36: polygons stored                                */
    int point_capacity; /* 40: allocated length of x, y, z                    */
    int part_capacity;  /* 44: allocated length of part_points                */
} polygons_java_t;
typedef struct tag_polygons_java_t tag_polygons_java_t;

/* Groups of integers; group i belongs to polygon i of a list and holds pairs of vertex indexes of
 * that polygon. 32 bytes. */
typedef struct tag_split_lines_t {
    int* values;        /*  0: all values, groups one after another */
    int* group_values;  /*  8: values in each group                 */
    int value_num;      /* 16 */
    int group_num;      /* 20 */
    int value_capacity; /* 24: allocated length of values           */
    int group_capacity; /* 28: allocated length of group_values     */
} split_lines_t;
typedef struct tag_split_lines_t tag_split_lines_t;

MAPGEOM_C_BEGIN

/* ---------------------------------------------------------------------------------------------------
 * Init. Each allocates the arrays it names (released by the matching _free) and copies host arrays
 * where given. A null host array leaves its copy zero-filled; a negative count counts as 0. Earlier
 * arrays of the record are not released: init only a fresh or freed record.
 * -------------------------------------------------------------------------------------------------
 */

/* Copies x, y (point_count entries) and part_points (part_count entries). Sets no integer field:
 * the host sets point_num, part_num, the grid fields, col_num and row_num itself. */
MAPGEOM_API void division_in_init(tag_division_in_t* in, const int* x, const int* y,
                                  const int* part_points, int point_count, int part_count);
/* The same with z. */
MAPGEOM_API void polygon_division_in_init(polygon_division_in_t* in, const int* x, const int* y,
                                          const int* z, const int* part_points, int point_count,
                                          int part_count);
/* Allocates x, y (point capacity), part_points, part_col, part_row (part capacity) and shape_parts
 * (shape capacity); the three counts become 0. The tiling entry points expect capacities of 512,
 * 512 and at least the input's part_num. */
MAPGEOM_API void division_out_init(tag_division_out_t* out, int point_capacity, int part_capacity,
                                   int shape_capacity);
/* The same with z (point capacity). */
MAPGEOM_API void polygon_division_out_init(polygon_division_out_t* out, int point_capacity,
                                           int part_capacity, int shape_capacity);
/* Copies the arrays and sets point_num and part_num. */
MAPGEOM_API void polygon_reduce_in_init(tag_polygon_reduce_in_t* in, const int* x, const int* y,
                                        const int* z, const int* part_points, int point_count,
                                        int part_count);
MAPGEOM_API void line_reduce_in_init(tag_line_reduce_in_t* in, const int* x, const int* y,
                                     const int* part_points, int point_count, int part_count);
/* Allocates x, y, z (point capacity) and part_points (part capacity); both counts become 0. The
 * reduction entry points expect capacities of 512 and 256. */
MAPGEOM_API void polygon_reduce_out_init(tag_polygon_reduce_out_t* out, int point_capacity,
                                         int part_capacity);
MAPGEOM_API void line_reduce_out_init(tag_line_reduce_out_t* out, int point_capacity,
                                      int part_capacity);

/* ---------------------------------------------------------------------------------------------------
 * Release: free every array of the record and null its pointers; integer fields keep their values.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void division_in_free(tag_division_in_t* in);
MAPGEOM_API void polygon_division_in_free(polygon_division_in_t* in);
MAPGEOM_API void division_out_free(tag_division_out_t* out);
MAPGEOM_API void polygon_division_out_free(polygon_division_out_t* out);
MAPGEOM_API void polygon_reduce_in_free(tag_polygon_reduce_in_t* in);
MAPGEOM_API void polygon_reduce_out_free(tag_polygon_reduce_out_t* out);
MAPGEOM_API void line_reduce_in_free(tag_line_reduce_in_t* in);
MAPGEOM_API void line_reduce_out_free(tag_line_reduce_out_t* out);

/* ---------------------------------------------------------------------------------------------------
 * Read-out: copy the record's arrays into host buffers sized from the counts (point_num entries of
 * each coordinate array, part_num of each part array, shape_num of shape_parts). A null buffer is
 * skipped; a negative count copies nothing.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API void get_division_out_value(const tag_division_out_t* out, int* x, int* y,
                                        int* part_points, int* part_col, int* part_row,
                                        int* shape_parts);
MAPGEOM_API void get_polygon_division_out_value(const polygon_division_out_t* out, int* x, int* y,
                                                int* z, int* part_points, int* part_col,
                                                int* part_row, int* shape_parts);
MAPGEOM_API void get_polygon_reduce_out_value(const tag_polygon_reduce_out_t* out, int* x, int* y,
                                              int* z, int* part_points);
MAPGEOM_API void get_line_reduce_out_value(const tag_line_reduce_out_t* out, int* x, int* y,
                                           int* part_points);

/* ---------------------------------------------------------------------------------------------------
 * Tiled clipping. Every shape of the in-record is cut along the grid of col_num x row_num tiles
 * of get_rect_by_index (the grid rectangle is grid_min_y, grid_max_y, grid_min_x, grid_max_x) and
 * its pieces are appended to the out-record, each labelled with its tile's column and row; then
 * shape_parts[shape_num] gets the number of pieces the shape produced (0 when none) and shape_num
 * grows by 1, so shape_parts has one entry per input shape, in input order.
 *
 * Output record: initialise it with polygon_division_out_init / division_out_init (512, 512 and
 * the input's part_num are the capacities the library expects). Pieces are appended after the
 * counts found in the record. The entry points first bring the record's arrays to the lengths
 * they work with (at least 512 points and 512 parts, never less than the counts already held)
 * and shape_parts to room for one more entry per input shape, reallocating the arrays the
 * record's init allocated; the arrays then grow as needed, so nothing is ever written past an
 * array whatever capacities the host gave. A record with a negative count is left untouched.
 * A piece that would take a count past the int32 range (or for which memory runs out) is not
 * written, and the call ends there: that shape's shape_parts entry counts the pieces of it that
 * were written before, and the shapes after it get no entry. So shape_num grows by fewer than the
 * input's part_num exactly when a write failed, and the last entry then belongs to the shape that
 * was cut short.
 *
 * Tiles: column c covers x from grid_min_x + w * c to grid_min_x + w * (c + 1), with the whole-
 * number width w = trunc(grid width) / col_num (rows alike). The tiles visited for a shape run
 * from the tile of its least corner to the tile of its greatest corner, both included; a corner on
 * the far edge of the tiled area gets index col_num (row_num), one past the last tile, and that
 * tile is visited too. When the grid's width is not a multiple of col_num, that column, one tile
 * wide, takes the start of the remainder; a remainder wider than a tile is left untiled. A shape
 * reaching outside the tiled area, the part of the grid rectangle covered by the tiles
 * 0 .. col_num by 0 .. row_num, is first cut to that area and its pieces are tiled (the cut edges
 * of a polygon become press sections, codes 2 ... 3; a line keeps its stretches along the area's
 * outline): nothing is produced outside that area, and a shape wholly outside it gets
 * shape_parts 0. With col_num or row_num below 1, or a grid narrower than col_num units (lower
 * than row_num units), there are no tiles and every shape gets 0.
 * -------------------------------------------------------------------------------------------------
 */

/* Polygons: each part is one closed ring. A tile that the boundary crosses gets the pieces of the
 * polygon inside it (algebra_polygon_and_rect_intersec: closed rings snapped to whole units, the
 * stretches along the tile's edges marked as press sections in z, codes 2 ... 3); a polygon lying
 * within one tile is written once, as a copy of itself; a tile lying wholly inside the polygon is
 * written as its outline, five points counter-clockwise from the least corner, z 2 on the first
 * and 3 on the closing point (one press section), 0 on the others. Blocks of tiles inside the
 * polygon are emitted column by column (all rows of a column, then the next column). */
MAPGEOM_API void algebra_polygon_intersec_java(const polygon_division_in_t* in,
                                               polygon_division_out_t* out);

/* Polylines: each part is one line, cut into the pieces inside each tile it meets. A stretch
 * along the common edge of two tiles goes to one of them only: it is kept on a tile's least-x
 * and least-y sides and cut off on its greatest-x and greatest-y sides. */
MAPGEOM_API void algebra_polyline_intersec_java(const tag_division_in_t* in,
                                                tag_division_out_t* out);

/* ---------------------------------------------------------------------------------------------------
 * Reduction. Each part of the in-record is reduced twice: first with the caller's parameters
 * (reduc_polygon / reduc_polyline), then with a finishing pass (min_angle 0.001, max_angle 178.5,
 * no length, height or area limits; keep_arm_length 300 for rings) that removes what is left of
 * nearly straight vertices. The output gets exactly one part per input part, in input order,
 * appended after the counts found in the record:
 *   rings: the twice-reduced ring with its closing point (z = point codes, press sections as
 *          2 ... 3), or a part of 0 points when either pass collapses it;
 *   lines: the twice-reduced line, the first pass's result when the second cannot reduce it, or
 *          the input line unchanged when the first cannot (fewer than 2 points).
 * Output record: initialise it with polygon_reduce_out_init / line_reduce_out_init (capacities 512
 * and 256 are what the library expects). The entry points first bring the record's arrays to at
 * least 512 points and 256 parts (never less than the counts already held), reallocating the
 * arrays the init allocated, and grow them as needed, so nothing is written past an array
 * whatever capacities the host gave. A record with a negative count, or a null record or
 * parameter record, is left untouched. A part that would take a count past the int32 range (or
 * for which memory runs out) is not written, nor is anything after it. Both return 0.
 * -------------------------------------------------------------------------------------------------
 */
MAPGEOM_API int algebra_polygon_reduce_java(const tag_polygon_reduce_in_t* in,
                                            tag_polygon_reduce_out_t* out,
                                            const tag_polygon_param_t* param);
MAPGEOM_API int algebra_line_reduce_java(const tag_line_reduce_in_t* in, tag_line_reduce_out_t* out,
                                         const tag_polyline_param_t* param);

/* The rectangle of tile (col, row) of a grid of col_num x row_num tiles. Tiles have whole-number
 * sizes, trunc(grid width) / col_num by trunc(grid height) / row_num, and tile (0, 0) sits at the
 * grid's least corner; when the grid's width is not a multiple of col_num the tiles fall short of
 * its far edge by the remainder. A col_num or row_num below 1 gives a tile size of 0 along that
 * axis (a degenerate rectangle) instead of dividing by zero. */
MAPGEOM_API rectangle_t get_rect_by_index(int col, int row, int col_num, int row_num,
                                          rectangle_t grid);

/* ---------------------------------------------------------------------------------------------------
 * Polygon list record.
 * -------------------------------------------------------------------------------------------------
 */

/* Allocates the four arrays with 128 entries each; counts 0, both capacities 128. */
MAPGEOM_API void com_polygons_java_init(polygons_java_t* polygons);
/* Allocates arrays of exactly the given lengths and copies the host arrays; counts and capacities
 * become point_count and part_count. */
MAPGEOM_API void com_polygons_java_init_value(polygons_java_t* polygons, const int* x, const int* y,
                                              const int* z, const int* part_points, int point_count,
                                              int part_count);
/* Appends every polygon of the list, each with its closing point, coordinates truncated toward
 * zero. Full arrays grow to (capacity + need) x 2. Appends nothing if the counts would pass the
 * int32 range or an allocation fails. */
MAPGEOM_API void com_polygons_java_add_value(polygons_java_t* polygons, const polygons_t* list);
/* Appends one polygon per stored part to the list (release with com_polygons_free, from C
 * com_polygons_release). A part whose points would run past point_num is appended as an empty
 * polygon, keeping part i at index i. */
MAPGEOM_API void com_polygons_java_get_polygons(const polygons_java_t* polygons, polygons_t* list);
/* Copies point_num entries of x, y, z and part_num of part_points into host buffers. */
MAPGEOM_API void get_polygons_java_value(const polygons_java_t* polygons, int* x, int* y, int* z,
                                         int* part_points);
/* Frees the four arrays (pointers become null) and sets the four integer fields to 0. */
MAPGEOM_API void com_polygons_java_free(polygons_java_t* polygons);

/* ---------------------------------------------------------------------------------------------------
 * Split-lines record.
 * -------------------------------------------------------------------------------------------------
 */

/* Allocates both arrays with 128 entries; counts 0, capacities 128. */
MAPGEOM_API void com_split_lines_init(split_lines_t* lines);
/* Appends one group of n values. The group array doubles when full, the value array grows to
 * (capacity + n) x 2. Nothing is appended for a negative n, a null array with n > 0, counts past
 * the int32 range or a failed allocation. */
MAPGEOM_API void com_split_lines_add(split_lines_t* lines, const int* values, int n);
/* Copies value_num entries of values and group_num of group_values into host buffers. */
MAPGEOM_API void get_split_lines_value(const split_lines_t* lines, int* values, int* group_values);
/* Frees both arrays and resets the record to empty (null arrays, zero counts and capacities), so a
 * later add cannot touch released memory. */
MAPGEOM_API void com_split_lines_free(split_lines_t* lines);
/* For group i and polygon i of the list, appends one two-point polyline (with the vertices' codes)
 * per pair (a, b) of the group's values to `polylines` (release with com_polylines_free, from C
 * com_polylines_release). Groups are read at their own offsets: an odd trailing value is ignored, a
 * pair naming a vertex outside the polygon's stored points is skipped, and groups without a polygon
 * (or polygons without a group) add nothing. */
MAPGEOM_API void com_split_lines_get_polylines(const polygons_t* list, const split_lines_t* lines,
                                               polylines_t* polylines);

MAPGEOM_C_END

#endif /* MAPGEOM_JAVA_H */
