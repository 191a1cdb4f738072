// Library-internal side of the flat-array records: conversions between the records and the shape
// lists, the tile index of a coordinate, the rectangle outline, and the growth rule of the writers.
#ifndef MAPGEOM_SRC_JAVA_JAVA_INTERNAL_H
#define MAPGEOM_SRC_JAVA_JAVA_INTERNAL_H

#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "mapgeom/com.h"
#include "mapgeom/java.h"

// Appends one polygon per part of the record to the list, in part order (x, y, z as doubles).
// Points are taken as they stand: no closing point is added, no duplicate removed. The record's
// part_num and point_num are the lengths of its arrays: a part whose points would run past
// point_num, or whose size is negative, is appended as an empty polygon so that part i stays
// element i of the list.
void get_polygons_by_division_in(const polygon_division_in_t* in, polygons_t* polygons);
// The same for polylines; their third coordinate is 0.
void get_polylines_by_division_in(const tag_division_in_t* in, polylines_t* polylines);

// Appends every polygon of the list as a piece of tile (col, row): each contributes its stored
// points (closing point included; an empty polygon contributes a part of 0 points), coordinates
// and codes truncated toward zero. The caller's capacity trackers must hold the current lengths of
// the record's point and part arrays; full arrays grow to (capacity + need) x 2 and the trackers
// follow. An empty list leaves record and trackers untouched. Returns 0 when written, or -1 when
// nothing was written because the counts would pass the int32 range, a count in the record is
// negative, or an allocation failed (arrays that did grow keep their new, larger length).
// shape_parts is never touched.
int save_polygons_to_division_out(polygon_division_out_t* out, const polygons_t* polygons,
                                  int* point_capacity, int* part_capacity, int col, int row);
// The same for polylines, each contributing exactly its points.
int save_polylines_to_division_out(tag_division_out_t* out, const polylines_t* polylines,
                                   int* point_capacity, int* part_capacity, int col, int row);

// Appends one polygon (polyline, third coordinate 0) per part of a reduction record to the list,
// in part order, as the division-in readers do.
void get_polygons_by_reduce_in(const tag_polygon_reduce_in_t* in, polygons_t* polygons);
void get_polylines_by_reduce_in(const tag_line_reduce_in_t* in, polylines_t* polylines);

// Appends one ring as a part of the reduction record: its stored points, closing point included
// (a part of 0 points for a ring without vertices), coordinates and codes truncated toward zero.
// The trackers hold the lengths of the record's arrays; full point arrays grow to
// (capacity + need) x 2, the part array doubles. Returns 0, or -1 when nothing was written because
// a count would pass the int32 range, a count is negative or an allocation failed.
int save_polygon_to_reduce_out(tag_polygon_reduce_out_t* out, const polygon_t* polygon,
                               int* point_capacity, int* part_capacity);
// The same for a polyline, contributing exactly its points.
int save_polyline_to_reduce_out(tag_line_reduce_out_t* out, const polyline_t* polyline,
                                int* point_capacity, int* part_capacity);

// Appends the rectangle's closed outline to an initialised polygon: (least x, least y),
// (greatest x, least y), (greatest x, greatest y), (least x, greatest y), (least x, least y),
// counter-clockwise with y up, third coordinate 0.
void get_polygon_by_rect(rectangle_t rect, polygon_t* polygon);

// The tile (*col, *row) holding the point (x, y) in a grid of col_num x row_num tiles of the
// whole-number size get_rect_by_index uses: column = trunc((x - grid least x) / tile width), row
// likewise, each truncated toward zero. Returns
//   0  accepted: 0 <= *col <= col_num and 0 <= *row <= row_num. Both bounds are inclusive, so a
//      point on the far edge of the tiled area gets index col_num (row_num), one past the last
//      tile;
//   1  outside that range: *col and *row still hold the computed index (saturated to int32) so
//      that a caller can clip to the tiles that exist;
//   2  no tile size: col_num or row_num below 1, or the grid narrower than col_num units (lower
//      than row_num units) after truncation; *col and *row are set to 0.
// Never stops the process.
int get_index_by_value(int x, int y, rectangle_t grid, int col_num, int row_num, int* col,
                       int* row);

// Return codes of get_index_by_value.
constexpr int kIndexAccepted = 0;
constexpr int kIndexOutsideGrid = 1;
constexpr int kIndexNoTileSize = 2;

namespace mapgeom {

struct SegmentIndex;
class RectClipSource;

// relation_polygon_and_polygon(polygon, outline) for the outline of a block of tiles `rect`, with
// `boundary` the segment index (crosspoint/segment_index.h) of the polygon's stored points, as far
// as the tiled clipping needs it, without the crossing search over the whole polygon where it can:
// - no edge of the polygon comes near the outline: they cannot meet, and the answer (1, 2 or 3)
//   comes from the first points alone, as relation_polygon_and_polygon's does;
// - an edge runs through the block's inside (more than 2 units from the outline): 0. The relation
//   would answer 0, 1, 4 or 7 there (all of which mean: divide the block further), or 9 when two
//   crossings of a thin spike merge within its tolerance and hide the spike.
// `near` is a clipping source of the polygon (algebra/rect_clip.h) whose area holds the block: it
// tells whether the block's corner lies inside the polygon without a pass over the whole ring.
int relation_polygon_and_block(const polygon_t* polygon, const SegmentIndex& boundary,
                               rectangle_t rect, const polygon_t* outline,
                               const RectClipSource& near);

// algebra_polygon_intersec_java without narrowing: every tile is clipped, and every block corner
// located, from the polygon's whole ring. The reference that the narrowing halving recursion is
// checked against (same output, byte for byte).
void polygon_intersec_java_from_whole_rings(const polygon_division_in_t* in,
                                            polygon_division_out_t* out);

// The whole-number tile width and height of a grid of col_num x row_num tiles (0 where there are
// no tiles), and the rectangle of tile (col, row) with that size: what get_rect_by_index gives,
// for a caller that asks for many tiles of one grid.
struct TileSize {
    int64_t width;
    int64_t height;
};
TileSize tile_size_of(rectangle_t grid, int col_num, int row_num);
rectangle_t tile_rect(TileSize size, int col, int row, rectangle_t grid);

// Where an array of `capacity` entries, `count` of them in use, must grow to hold `need` more by
// the writers' rule (capacity + need) x 2. Returns false when count + need does not fit an int32
// count (or an argument is negative); otherwise *grown is the new capacity, equal to `capacity`
// when the entries already fit, never less than count + need, and capped at INT32_MAX.
bool grown_capacity(int capacity, int count, int need, int* grown);

// Reallocates a malloc'd int array to `entries` (at least 1) entries. On failure the array is left
// as it was and false is returned.
bool realloc_ints(int** array, int entries);

// Int arrays of one record that share a length, in the order the record's init and read-out
// functions take their host arrays.
struct ArrayGroup {
    int** arrays[3];
    int size;
};

// The arrays of a flat record grouped by the count that sizes them: points (point_num or
// value_num), parts (part_num or group_num) and shapes (shape_num).
struct RecordArrays {
    ArrayGroup points;
    ArrayGroup parts;
    ArrayGroup shapes;
};

template <typename R, typename = void>
struct has_z : std::false_type {};
template <typename R>
struct has_z<R, std::void_t<decltype(&R::z)>> : std::true_type {};
template <typename R, typename = void>
struct has_tiles : std::false_type {};
template <typename R>
struct has_tiles<R, std::void_t<decltype(&R::shape_parts)>> : std::true_type {};

// The arrays of every record with x, y, part_points (and z, part_col, part_row, shape_parts where
// it has them).
template <typename R>
RecordArrays arrays_of(R* r) {
    RecordArrays a{{{&r->x, &r->y}, 2}, {{&r->part_points}, 1}, {{}, 0}};
    if constexpr (has_z<R>::value)
        a.points.arrays[a.points.size++] = &r->z;
    if constexpr (has_tiles<R>::value)
        a = {a.points, {{&r->part_points, &r->part_col, &r->part_row}, 3}, {{&r->shape_parts}, 1}};
    return a;
}
inline RecordArrays arrays_of(split_lines_t* r) {
    return {{{&r->values}, 1}, {{&r->group_values}, 1}, {{}, 0}};
}
// The arrays of a record that is only read.
template <typename R>
RecordArrays arrays_of(const R* r) {
    return arrays_of(const_cast<R*>(r));
}

// Grows the group's arrays together so that `need` more entries fit after `count`, to the length
// grown_capacity gives; *capacity changes only when every array grew. A missing (null) array is
// allocated afresh. Returns false when there is no room and none could be made.
bool reserve_ints(const ArrayGroup& group, int count, int64_t need, int* capacity);

// Each array of the group becomes a fresh array of `entries` (at least 1) zeroed ints, or a copy
// of the first `entries` of sources[i] (zeros where a source is null; a negative count counts as
// 0). Earlier arrays are not released. Returns whether every allocation succeeded.
bool calloc_group(const ArrayGroup& group, int entries);
bool copy_group(const ArrayGroup& group, std::initializer_list<const int*> sources, int entries);

// Releases every array of the record and nulls the pointers.
void free_arrays(const RecordArrays& arrays);

// Copies `count` entries of each array of the group into the host buffers (same order); skips a
// null buffer and a count below 1.
void copy_out(const ArrayGroup& group, std::initializer_list<int*> buffers, int count);

// Calls on_part(first point, point count) for each of the part_num parts of a flat record, whose
// arrays hold point_num points. A part that would run past point_num, or has a negative size,
// reads as empty (0, 0), so part i keeps its place and nothing is read past the arrays.
template <typename OnPart>
void for_each_part(const int* part_points, int part_num, int point_num, OnPart on_part) {
    int64_t available = point_num > 0 ? point_num : 0;
    int parts = part_points != nullptr && part_num > 0 ? part_num : 0;
    int64_t next = 0;
    for (int i = 0; i < parts; ++i) {
        int64_t size = part_points[i] > 0 ? part_points[i] : 0;
        bool fits = next + size <= available;
        on_part(static_cast<int>(fits ? next : 0), static_cast<int>(fits ? size : 0));
        next += size;
    }
}

// The points first .. first + size - 1 of parallel int arrays as an exactly sized point array;
// third coordinate from z, or 0 when z is null.
geom_t geom_of_part(const int* x, const int* y, const int* z, int first, int size);

// The parts of a host in-record (x, y, z, point_num, part_points, part_num) appended to `polygons`
// as rings, in part order; without all three coordinate arrays every part reads as empty.
template <typename In>
void append_rings_of_record(const In* in, polygons_t* polygons) {
    if (in == nullptr || polygons == nullptr)
        return;
    bool have_points = in->x != nullptr && in->y != nullptr && in->z != nullptr;
    int points = have_points ? in->point_num : 0;
    for_each_part(in->part_points, in->part_num, points, [&](int first, int size) {
        com_polygons_add(polygons,
                         polygon_t{geom_of_part(in->x, in->y, in->z, first, size), nullptr});
    });
}

// The parts of a host in-record (x, y, point_num, part_points, part_num) appended to `polylines`,
// in part order, with point code 0.
template <typename In>
void append_lines_of_record(const In* in, polylines_t* polylines) {
    if (in == nullptr || polylines == nullptr)
        return;
    int points = in->x != nullptr && in->y != nullptr ? in->point_num : 0;
    for_each_part(in->part_points, in->part_num, points, [&](int first, int size) {
        com_polylines_add(polylines,
                          polyline_t{geom_of_part(in->x, in->y, nullptr, first, size), nullptr});
    });
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_JAVA_JAVA_INTERNAL_H
