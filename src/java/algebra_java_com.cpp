// Flat-array records of the host interface: their layouts, init/free/read-out, the conversions to
// and from shape lists, the growth rule of the writers, and the tile grid helpers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "com/numeric.h"
#include "com/shape_arrays.h"
#include "java_internal.h"
#include "mapgeom/java.h"

namespace {

// The layouts are the wire format hosts fill byte by byte: any drift must fail the build.
template <typename R>
constexpr bool is_c_record = std::is_standard_layout_v<R>&& std::is_trivially_copyable_v<R>;

static_assert(sizeof(int) == 4 && sizeof(int*) == 8, "natural 64-bit layout");

template <typename R>
constexpr bool has_division_in_layout = is_c_record<R>&& offsetof(R, point_num) == 0 &&
                                        offsetof(R, part_num) == 4 &&
                                        offsetof(R, grid_min_y) == 8 &&
                                        offsetof(R, grid_max_y) == 12 &&
                                        offsetof(R, grid_min_x) == 16 &&
                                        offsetof(R, grid_max_x) == 20 &&
                                        offsetof(R, col_num) == 24 && offsetof(R, row_num) == 28 &&
                                        offsetof(R, part_points) == 32 && offsetof(R, x) == 40 &&
                                        offsetof(R, y) == 48;
static_assert(has_division_in_layout<tag_division_in_t> && sizeof(tag_division_in_t) == 56);
static_assert(has_division_in_layout<polygon_division_in_t> &&
              offsetof(polygon_division_in_t, z) == 56 && sizeof(polygon_division_in_t) == 64);

// The polygon out-record's z after y shifts every later field by `shift` bytes.
template <typename R, std::size_t shift>
constexpr bool has_division_out_layout = is_c_record<R>&& offsetof(R, x) == 0 &&
                                         offsetof(R, y) == 8 &&
                                         offsetof(R, part_points) ==
                                             16 + shift&& offsetof(R, shape_parts) ==
                                             24 + shift&& offsetof(R, part_col) ==
                                             32 + shift&& offsetof(R, part_row) ==
                                             40 + shift&& offsetof(R, point_num) ==
                                             48 + shift&& offsetof(R, part_num) ==
                                             52 + shift&& offsetof(R, shape_num) == 56 + shift;
static_assert(has_division_out_layout<tag_division_out_t, 0> && sizeof(tag_division_out_t) == 64);
static_assert(has_division_out_layout<polygon_division_out_t, 8> &&
              offsetof(polygon_division_out_t, z) == 16 && sizeof(polygon_division_out_t) == 72);

template <typename R>
constexpr bool has_reduce_layout = is_c_record<R>&& offsetof(R, point_num) == 0 &&
                                   offsetof(R, part_num) == 4 && offsetof(R, part_points) == 8 &&
                                   offsetof(R, x) == 16 && offsetof(R, y) == 24;
static_assert(has_reduce_layout<tag_line_reduce_in_t> && has_reduce_layout<tag_line_reduce_out_t> &&
              sizeof(tag_line_reduce_in_t) == 32 && sizeof(tag_line_reduce_out_t) == 32);
static_assert(has_reduce_layout<tag_polygon_reduce_in_t> &&
              has_reduce_layout<tag_polygon_reduce_out_t> &&
              offsetof(tag_polygon_reduce_in_t, z) == 32 &&
              offsetof(tag_polygon_reduce_out_t, z) == 32 &&
              sizeof(tag_polygon_reduce_in_t) == 40 && sizeof(tag_polygon_reduce_out_t) == 40);

static_assert(is_c_record<polygons_java_t> && sizeof(polygons_java_t) == 48 &&
              offsetof(polygons_java_t, x) == 0 && offsetof(polygons_java_t, y) == 8 &&
              offsetof(polygons_java_t, z) == 16 && offsetof(polygons_java_t, part_points) == 24 &&
              offsetof(polygons_java_t, point_num) == 32 &&
              offsetof(polygons_java_t, part_num) == 36 &&
              offsetof(polygons_java_t, point_capacity) == 40 &&
              offsetof(polygons_java_t, part_capacity) == 44);
static_assert(is_c_record<split_lines_t> && sizeof(split_lines_t) == 32 &&
              offsetof(split_lines_t, values) == 0 && offsetof(split_lines_t, group_values) == 8 &&
              offsetof(split_lines_t, value_num) == 16 &&
              offsetof(split_lines_t, group_num) == 20 &&
              offsetof(split_lines_t, value_capacity) == 24 &&
              offsetof(split_lines_t, group_capacity) == 28);

// ---------------------------------------------------------------------------------------------
// Writing lists into out-records.
// ---------------------------------------------------------------------------------------------

const geom_t& geom_of(const polygon_node_t* node) {
    return node->polygon.geom;
}

const geom_t& geom_of(const polyline_node_t* node) {
    return node->polyline.geom;
}

// One piece: its point count and tile into the part arrays, then its points (codes too where the
// record has z), truncated.
template <typename Out>
void append_piece(Out* out, const geom_t& geom, int col, int row) {
    int count = geom.count > 0 ? geom.count : 0;
    out->part_points[out->part_num] = count;
    out->part_col[out->part_num] = col;
    out->part_row[out->part_num] = row;
    ++out->part_num;
    int* z = nullptr;
    if constexpr (mapgeom::has_z<Out>::value)
        z = out->z + out->point_num;
    mapgeom::write_int_points(&geom, out->x + out->point_num, out->y + out->point_num, z, count);
    out->point_num += count;
}

template <typename Out, typename List>
int save_list_to_division_out(Out* out, const List* list, int* point_capacity, int* part_capacity,
                              int col, int row) {
    int64_t shapes = 0;
    int64_t points = 0;
    for (auto node = list->head; node != nullptr; node = node->next) {
        ++shapes;
        points += geom_of(node).count > 0 ? geom_of(node).count : 0;
    }
    if (shapes == 0)
        return 0;
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(out);
    if (!mapgeom::reserve_ints(arrays.parts, out->part_num, shapes, part_capacity) ||
        !mapgeom::reserve_ints(arrays.points, out->point_num, points, point_capacity))
        return -1;
    for (auto node = list->head; node != nullptr; node = node->next)
        append_piece(out, geom_of(node), col, row);
    return 0;
}

}  // namespace

// -------------------------------------------------------------------------------------------------
// Growth and array helpers.
// -------------------------------------------------------------------------------------------------

namespace mapgeom {

bool grown_capacity(int capacity, int count, int need, int* grown) {
    if (count < 0 || need < 0)
        return false;
    int64_t required = static_cast<int64_t>(count) + need;
    if (required > INT32_MAX)
        return false;
    if (required <= capacity) {
        *grown = capacity;
        return true;
    }
    int64_t doubled = (static_cast<int64_t>(capacity > 0 ? capacity : 0) + need) * 2;
    if (doubled < required)
        doubled = required;
    *grown = doubled > INT32_MAX ? INT32_MAX : static_cast<int>(doubled);
    return true;
}

bool realloc_ints(int** array, int entries) {
    std::size_t bytes = sizeof(int) * static_cast<std::size_t>(entries > 0 ? entries : 1);
    void* grown = std::realloc(*array, bytes);
    if (grown == nullptr)
        return false;
    *array = static_cast<int*>(grown);
    return true;
}

bool reserve_ints(const ArrayGroup& group, int count, int64_t need, int* capacity) {
    int grown = 0;
    if (need > INT32_MAX || !grown_capacity(*capacity, count, static_cast<int>(need), &grown))
        return false;
    bool all_present = true;
    for (int i = 0; i < group.size; ++i)
        all_present = all_present && *group.arrays[i] != nullptr;
    if (grown == *capacity && all_present)
        return true;
    for (int i = 0; i < group.size; ++i)
        if (!realloc_ints(group.arrays[i], grown))
            return false;
    *capacity = grown;
    return true;
}

bool copy_group(const ArrayGroup& group, std::initializer_list<const int*> sources, int entries) {
    std::size_t n = static_cast<std::size_t>(entries > 0 ? entries : 0);
    bool all = true;
    const int* const* source = sources.begin();
    for (int i = 0; i < group.size; ++i) {
        int* copy = static_cast<int*>(std::calloc(n > 0 ? n : 1, sizeof(int)));
        const int* from = i < static_cast<int>(sources.size()) ? source[i] : nullptr;
        if (copy != nullptr && from != nullptr && n > 0)
            std::memcpy(copy, from, sizeof(int) * n);
        *group.arrays[i] = copy;
        all = all && copy != nullptr;
    }
    return all;
}

bool calloc_group(const ArrayGroup& group, int entries) {
    return copy_group(group, {}, entries);
}

void free_arrays(const RecordArrays& arrays) {
    for (const ArrayGroup* group : {&arrays.points, &arrays.parts, &arrays.shapes})
        for (int i = 0; i < group->size; ++i) {
            std::free(*group->arrays[i]);
            *group->arrays[i] = nullptr;
        }
}

void copy_out(const ArrayGroup& group, std::initializer_list<int*> buffers, int count) {
    int* const* buffer = buffers.begin();
    for (int i = 0; i < group.size && i < static_cast<int>(buffers.size()); ++i)
        if (buffer[i] != nullptr && *group.arrays[i] != nullptr && count > 0)
            std::memcpy(buffer[i], *group.arrays[i], sizeof(int) * static_cast<std::size_t>(count));
}

geom_t geom_of_part(const int* x, const int* y, const int* z, int first, int size) {
    geom_t geom{nullptr, 0, 0};
    com_geom_resize(&geom, size);
    append_int_points(&geom, x + first, y + first, z != nullptr ? z + first : nullptr, size);
    return geom;
}

}  // namespace mapgeom

// -------------------------------------------------------------------------------------------------
// Init, release and read-out of the records.
// -------------------------------------------------------------------------------------------------

namespace {

// Init of an in-record: the host's arrays copied, point arrays first (x, y[, z]), then parts.
template <typename R>
void init_in(R* in, std::initializer_list<const int*> points, const int* part_points,
             int point_count, int part_count) {
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(in);
    mapgeom::copy_group(arrays.points, points, point_count);
    mapgeom::copy_group(arrays.parts, {part_points}, part_count);
}

// Init of an out-record: zeroed arrays of the capacities, counts 0.
template <typename R>
void init_out(R* out, int point_capacity, int part_capacity, int shape_capacity = 0) {
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(out);
    mapgeom::calloc_group(arrays.points, point_capacity);
    mapgeom::calloc_group(arrays.parts, part_capacity);
    mapgeom::calloc_group(arrays.shapes, shape_capacity);
    out->point_num = 0;
    out->part_num = 0;
    if constexpr (mapgeom::has_tiles<R>::value)
        out->shape_num = 0;
}

template <typename R>
void free_record(R* record) {
    if (record != nullptr)
        mapgeom::free_arrays(mapgeom::arrays_of(record));
}

// Read-out into host buffers, in the order of the record's arrays (the record is only read).
template <typename R>
void read_out(const R* record, std::initializer_list<int*> points,
              std::initializer_list<int*> parts, std::initializer_list<int*> shapes = {}) {
    if (record == nullptr)
        return;
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(record);
    mapgeom::copy_out(arrays.points, points, record->point_num);
    mapgeom::copy_out(arrays.parts, parts, record->part_num);
    if constexpr (mapgeom::has_tiles<R>::value)
        mapgeom::copy_out(arrays.shapes, shapes, record->shape_num);
}

}  // namespace

void division_in_init(tag_division_in_t* in, const int* x, const int* y, const int* part_points,
                      int point_count, int part_count) {
    if (in != nullptr)
        init_in(in, {x, y}, part_points, point_count, part_count);
}

void polygon_division_in_init(polygon_division_in_t* in, const int* x, const int* y, const int* z,
                              const int* part_points, int point_count, int part_count) {
    if (in != nullptr)
        init_in(in, {x, y, z}, part_points, point_count, part_count);
}

void division_out_init(tag_division_out_t* out, int point_capacity, int part_capacity,
                       int shape_capacity) {
    if (out != nullptr)
        init_out(out, point_capacity, part_capacity, shape_capacity);
}

void polygon_division_out_init(polygon_division_out_t* out, int point_capacity, int part_capacity,
                               int shape_capacity) {
    if (out != nullptr)
        init_out(out, point_capacity, part_capacity, shape_capacity);
}

void polygon_reduce_in_init(tag_polygon_reduce_in_t* in, const int* x, const int* y, const int* z,
                            const int* part_points, int point_count, int part_count) {
    if (in == nullptr)
        return;
    init_in(in, {x, y, z}, part_points, point_count, part_count);
    in->point_num = point_count > 0 ? point_count : 0;
    in->part_num = part_count > 0 ? part_count : 0;
}

void line_reduce_in_init(tag_line_reduce_in_t* in, const int* x, const int* y,
                         const int* part_points, int point_count, int part_count) {
    if (in == nullptr)
        return;
    init_in(in, {x, y}, part_points, point_count, part_count);
    in->point_num = point_count > 0 ? point_count : 0;
    in->part_num = part_count > 0 ? part_count : 0;
}

void polygon_reduce_out_init(tag_polygon_reduce_out_t* out, int point_capacity, int part_capacity) {
    if (out != nullptr)
        init_out(out, point_capacity, part_capacity);
}

void line_reduce_out_init(tag_line_reduce_out_t* out, int point_capacity, int part_capacity) {
    if (out != nullptr)
        init_out(out, point_capacity, part_capacity);
}

void division_in_free(tag_division_in_t* in) {
    free_record(in);
}

void polygon_division_in_free(polygon_division_in_t* in) {
    free_record(in);
}

void division_out_free(tag_division_out_t* out) {
    free_record(out);
}

void polygon_division_out_free(polygon_division_out_t* out) {
    free_record(out);
}

void polygon_reduce_in_free(tag_polygon_reduce_in_t* in) {
    free_record(in);
}

void polygon_reduce_out_free(tag_polygon_reduce_out_t* out) {
    free_record(out);
}

void line_reduce_in_free(tag_line_reduce_in_t* in) {
    free_record(in);
}

void line_reduce_out_free(tag_line_reduce_out_t* out) {
    free_record(out);
}

void get_division_out_value(const tag_division_out_t* out, int* x, int* y, int* part_points,
                            int* part_col, int* part_row, int* shape_parts) {
    read_out(out, {x, y}, {part_points, part_col, part_row}, {shape_parts});
}

void get_polygon_division_out_value(const polygon_division_out_t* out, int* x, int* y, int* z,
                                    int* part_points, int* part_col, int* part_row,
                                    int* shape_parts) {
    read_out(out, {x, y, z}, {part_points, part_col, part_row}, {shape_parts});
}

void get_polygon_reduce_out_value(const tag_polygon_reduce_out_t* out, int* x, int* y, int* z,
                                  int* part_points) {
    read_out(out, {x, y, z}, {part_points});
}

void get_line_reduce_out_value(const tag_line_reduce_out_t* out, int* x, int* y, int* part_points) {
    read_out(out, {x, y}, {part_points});
}

namespace {

// ---------------------------------------------------------------------------------------------
// Tile sizes.
// ---------------------------------------------------------------------------------------------

// Whole-number tile size along one axis: trunc(extent) / tiles, 0 when there are no tiles. In 64
// bits: an int32 grid can be up to 2^32 units wide.
int64_t tile_size(double least, double greatest, int tiles) {
    if (tiles < 1)
        return 0;
    double extent = greatest - least;
    if (!(extent > -9.0e18 && extent < 9.0e18))
        return 0;
    return static_cast<int64_t>(extent) / tiles;
}

// The tile index holding `value` along one axis (tile size > 0), truncated toward zero.
int tile_index(int value, double least, int64_t size) {
    return mapgeom::truncate_to_int32((value - least) / static_cast<double>(size));
}

}  // namespace

// -------------------------------------------------------------------------------------------------
// Conversions between records and shape lists.
// -------------------------------------------------------------------------------------------------

void get_polygons_by_division_in(const polygon_division_in_t* in, polygons_t* polygons) {
    mapgeom::append_rings_of_record(in, polygons);
}

void get_polylines_by_division_in(const tag_division_in_t* in, polylines_t* polylines) {
    mapgeom::append_lines_of_record(in, polylines);
}

int save_polygons_to_division_out(polygon_division_out_t* out, const polygons_t* polygons,
                                  int* point_capacity, int* part_capacity, int col, int row) {
    if (out == nullptr || polygons == nullptr || point_capacity == nullptr ||
        part_capacity == nullptr)
        return -1;
    return save_list_to_division_out(out, polygons, point_capacity, part_capacity, col, row);
}

int save_polylines_to_division_out(tag_division_out_t* out, const polylines_t* polylines,
                                   int* point_capacity, int* part_capacity, int col, int row) {
    if (out == nullptr || polylines == nullptr || point_capacity == nullptr ||
        part_capacity == nullptr)
        return -1;
    return save_list_to_division_out(out, polylines, point_capacity, part_capacity, col, row);
}

void get_polygon_by_rect(rectangle_t rect, polygon_t* polygon) {
    const point_t corners[] = {{rect.min_x, rect.min_y, 0.0},
                               {rect.max_x, rect.min_y, 0.0},
                               {rect.max_x, rect.max_y, 0.0},
                               {rect.min_x, rect.max_y, 0.0},
                               {rect.min_x, rect.min_y, 0.0}};
    for (const point_t& corner : corners)
        com_polygon_add(polygon, corner);
}

// -------------------------------------------------------------------------------------------------
// Tile grid.
// -------------------------------------------------------------------------------------------------

namespace mapgeom {

TileSize tile_size_of(rectangle_t grid, int col_num, int row_num) {
    return TileSize{tile_size(grid.min_x, grid.max_x, col_num),
                    tile_size(grid.min_y, grid.max_y, row_num)};
}

rectangle_t tile_rect(TileSize size, int col, int row, rectangle_t grid) {
    rectangle_t tile;
    // Products of whole numbers in double: exact for every int32 grid, and no overflow for others.
    tile.min_x = grid.min_x + static_cast<double>(size.width) * col;
    tile.max_x = grid.min_x + static_cast<double>(size.width) * (static_cast<double>(col) + 1.0);
    tile.min_y = grid.min_y + static_cast<double>(size.height) * row;
    tile.max_y = grid.min_y + static_cast<double>(size.height) * (static_cast<double>(row) + 1.0);
    return tile;
}

}  // namespace mapgeom

rectangle_t get_rect_by_index(int col, int row, int col_num, int row_num, rectangle_t grid) {
    return mapgeom::tile_rect(mapgeom::tile_size_of(grid, col_num, row_num), col, row, grid);
}

int get_index_by_value(int x, int y, rectangle_t grid, int col_num, int row_num, int* col,
                       int* row) {
    int64_t width = tile_size(grid.min_x, grid.max_x, col_num);
    int64_t height = tile_size(grid.min_y, grid.max_y, row_num);
    if (width < 1 || height < 1) {
        *col = 0;
        *row = 0;
        return kIndexNoTileSize;
    }
    *col = tile_index(x, grid.min_x, width);
    *row = tile_index(y, grid.min_y, height);
    bool accepted = *col >= 0 && *col <= col_num && *row >= 0 && *row <= row_num;
    return accepted ? kIndexAccepted : kIndexOutsideGrid;
}
