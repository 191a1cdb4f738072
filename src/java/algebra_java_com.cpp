// Flat-array records of the host interface: their layouts, init/free/read-out, the conversions to
// and from shape lists, the growth rule of the writers, and the tile grid helpers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "com/numeric.h"
#include "java_internal.h"
#include "mapgeom/java.h"

namespace {

// The layouts are the wire format hosts fill byte by byte: any drift must fail the build.
template <typename Record>
constexpr bool is_c_record =
    std::is_standard_layout_v<Record>&& std::is_trivially_copyable_v<Record>;

static_assert(sizeof(int) == 4 && sizeof(int*) == 8, "natural 64-bit layout");

static_assert(
    is_c_record<tag_division_in_t> && sizeof(tag_division_in_t) == 56 &&
    offsetof(tag_division_in_t, point_num) == 0 && offsetof(tag_division_in_t, part_num) == 4 &&
    offsetof(tag_division_in_t, grid_min_y) == 8 && offsetof(tag_division_in_t, grid_max_y) == 12 &&
    offsetof(tag_division_in_t, grid_min_x) == 16 &&
    offsetof(tag_division_in_t, grid_max_x) == 20 && offsetof(tag_division_in_t, col_num) == 24 &&
    offsetof(tag_division_in_t, row_num) == 28 && offsetof(tag_division_in_t, part_points) == 32 &&
    offsetof(tag_division_in_t, x) == 40 && offsetof(tag_division_in_t, y) == 48);

static_assert(is_c_record<polygon_division_in_t> && sizeof(polygon_division_in_t) == 64 &&
              offsetof(polygon_division_in_t, point_num) == 0 &&
              offsetof(polygon_division_in_t, part_num) == 4 &&
              offsetof(polygon_division_in_t, grid_min_y) == 8 &&
              offsetof(polygon_division_in_t, grid_max_y) == 12 &&
              offsetof(polygon_division_in_t, grid_min_x) == 16 &&
              offsetof(polygon_division_in_t, grid_max_x) == 20 &&
              offsetof(polygon_division_in_t, col_num) == 24 &&
              offsetof(polygon_division_in_t, row_num) == 28 &&
              offsetof(polygon_division_in_t, part_points) == 32 &&
              offsetof(polygon_division_in_t, x) == 40 &&
              offsetof(polygon_division_in_t, y) == 48 && offsetof(polygon_division_in_t, z) == 56);

static_assert(is_c_record<tag_division_out_t> && sizeof(tag_division_out_t) == 64 &&
              offsetof(tag_division_out_t, x) == 0 && offsetof(tag_division_out_t, y) == 8 &&
              offsetof(tag_division_out_t, part_points) == 16 &&
              offsetof(tag_division_out_t, shape_parts) == 24 &&
              offsetof(tag_division_out_t, part_col) == 32 &&
              offsetof(tag_division_out_t, part_row) == 40 &&
              offsetof(tag_division_out_t, point_num) == 48 &&
              offsetof(tag_division_out_t, part_num) == 52 &&
              offsetof(tag_division_out_t, shape_num) == 56);

static_assert(is_c_record<polygon_division_out_t> && sizeof(polygon_division_out_t) == 72 &&
              offsetof(polygon_division_out_t, x) == 0 &&
              offsetof(polygon_division_out_t, y) == 8 &&
              offsetof(polygon_division_out_t, z) == 16 &&
              offsetof(polygon_division_out_t, part_points) == 24 &&
              offsetof(polygon_division_out_t, shape_parts) == 32 &&
              offsetof(polygon_division_out_t, part_col) == 40 &&
              offsetof(polygon_division_out_t, part_row) == 48 &&
              offsetof(polygon_division_out_t, point_num) == 56 &&
              offsetof(polygon_division_out_t, part_num) == 60 &&
              offsetof(polygon_division_out_t, shape_num) == 64);

template <typename Record>
constexpr bool has_polygon_reduce_layout = is_c_record<Record> && sizeof(Record) == 40 &&
                                           offsetof(Record, point_num) == 0 &&
                                           offsetof(Record, part_num) == 4 &&
                                           offsetof(Record, part_points) == 8 &&
                                           offsetof(Record, x) == 16 && offsetof(Record, y) == 24 &&
                                           offsetof(Record, z) == 32;
static_assert(has_polygon_reduce_layout<tag_polygon_reduce_in_t> &&
              has_polygon_reduce_layout<tag_polygon_reduce_out_t>);

template <typename Record>
constexpr bool has_line_reduce_layout = is_c_record<Record> && sizeof(Record) == 32 &&
                                        offsetof(Record, point_num) == 0 &&
                                        offsetof(Record, part_num) == 4 &&
                                        offsetof(Record, part_points) == 8 &&
                                        offsetof(Record, x) == 16 && offsetof(Record, y) == 24;
static_assert(has_line_reduce_layout<tag_line_reduce_in_t> &&
              has_line_reduce_layout<tag_line_reduce_out_t>);

// ---------------------------------------------------------------------------------------------
// Writing lists into out-records.
// ---------------------------------------------------------------------------------------------

const geom_t& geom_of(const polygon_node_t* node) {
    return node->polygon.geom;
}

const geom_t& geom_of(const polyline_node_t* node) {
    return node->polyline.geom;
}

// Arrays of one record that share a length and grow together.
struct ArrayGroup {
    int** arrays[3];
    int size;
};

ArrayGroup point_arrays(tag_division_out_t* out) {
    return {{&out->x, &out->y, nullptr}, 2};
}

ArrayGroup point_arrays(polygon_division_out_t* out) {
    return {{&out->x, &out->y, &out->z}, 3};
}

template <typename Out>
ArrayGroup part_arrays(Out* out) {
    return {{&out->part_points, &out->part_col, &out->part_row}, 3};
}

void write_code(tag_division_out_t*, int, double) {}

void write_code(polygon_division_out_t* out, int index, double code) {
    out->z[index] = mapgeom::truncate_to_int32(code);
}

bool reserve(ArrayGroup group, int count, int64_t need, int* capacity) {
    return mapgeom::reserve_ints(group.arrays, group.size, count, need, capacity);
}

// One piece: its point count and tile into the part arrays, then its points.
template <typename Out>
void append_piece(Out* out, const geom_t& geom, int col, int row) {
    int count = geom.count > 0 ? geom.count : 0;
    out->part_points[out->part_num] = count;
    out->part_col[out->part_num] = col;
    out->part_row[out->part_num] = row;
    ++out->part_num;
    for (int i = 0; i < count; ++i) {
        const point_t& pt = geom.points[i];
        out->x[out->point_num] = mapgeom::truncate_to_int32(pt.x);
        out->y[out->point_num] = mapgeom::truncate_to_int32(pt.y);
        write_code(out, out->point_num, pt.z);
        ++out->point_num;
    }
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
    if (!reserve(part_arrays(out), out->part_num, shapes, part_capacity) ||
        !reserve(point_arrays(out), out->point_num, points, point_capacity))
        return -1;
    for (auto node = list->head; node != nullptr; node = node->next)
        append_piece(out, geom_of(node), col, row);
    return 0;
}

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

bool reserve_ints(int** const* arrays, int array_num, int count, int64_t need, int* capacity) {
    int grown = 0;
    if (need > INT32_MAX || !grown_capacity(*capacity, count, static_cast<int>(need), &grown))
        return false;
    bool all_present = true;
    for (int i = 0; i < array_num; ++i)
        all_present = all_present && *arrays[i] != nullptr;
    if (grown == *capacity && all_present)
        return true;
    for (int i = 0; i < array_num; ++i)
        if (!realloc_ints(arrays[i], grown))
            return false;
    *capacity = grown;
    return true;
}

void free_ints(int** array) {
    std::free(*array);
    *array = nullptr;
}

int* calloc_ints(int entries) {
    return static_cast<int*>(
        std::calloc(static_cast<std::size_t>(entries > 0 ? entries : 1), sizeof(int)));
}

int* copy_ints(const int* source, int count) {
    int* copy = calloc_ints(count);
    if (copy != nullptr && source != nullptr && count > 0)
        std::memcpy(copy, source, sizeof(int) * static_cast<std::size_t>(count));
    return copy;
}

geom_t geom_of_part(const int* x, const int* y, const int* z, int first, int size) {
    geom_t geom{nullptr, 0, 0};
    com_geom_resize(&geom, size);
    for (int k = first; k < first + size; ++k)
        geom.points[geom.count++] = point_t{static_cast<double>(x[k]), static_cast<double>(y[k]),
                                            z != nullptr ? static_cast<double>(z[k]) : 0.0};
    return geom;
}

void copy_out_ints(int* buffer, const int* source, int count) {
    if (buffer == nullptr || source == nullptr || count < 1)
        return;
    std::memcpy(buffer, source, sizeof(int) * static_cast<std::size_t>(count));
}

}  // namespace mapgeom

// -------------------------------------------------------------------------------------------------
// Init, release and read-out of the records.
// -------------------------------------------------------------------------------------------------

void division_in_init(tag_division_in_t* in, const int* x, const int* y, const int* part_points,
                      int point_count, int part_count) {
    if (in == nullptr)
        return;
    in->x = mapgeom::copy_ints(x, point_count);
    in->y = mapgeom::copy_ints(y, point_count);
    in->part_points = mapgeom::copy_ints(part_points, part_count);
}

void polygon_division_in_init(polygon_division_in_t* in, const int* x, const int* y, const int* z,
                              const int* part_points, int point_count, int part_count) {
    if (in == nullptr)
        return;
    in->x = mapgeom::copy_ints(x, point_count);
    in->y = mapgeom::copy_ints(y, point_count);
    in->z = mapgeom::copy_ints(z, point_count);
    in->part_points = mapgeom::copy_ints(part_points, part_count);
}

void division_out_init(tag_division_out_t* out, int point_capacity, int part_capacity,
                       int shape_capacity) {
    if (out == nullptr)
        return;
    out->x = mapgeom::calloc_ints(point_capacity);
    out->y = mapgeom::calloc_ints(point_capacity);
    out->part_points = mapgeom::calloc_ints(part_capacity);
    out->shape_parts = mapgeom::calloc_ints(shape_capacity);
    out->part_col = mapgeom::calloc_ints(part_capacity);
    out->part_row = mapgeom::calloc_ints(part_capacity);
    out->point_num = 0;
    out->part_num = 0;
    out->shape_num = 0;
}

void polygon_division_out_init(polygon_division_out_t* out, int point_capacity, int part_capacity,
                               int shape_capacity) {
    if (out == nullptr)
        return;
    out->x = mapgeom::calloc_ints(point_capacity);
    out->y = mapgeom::calloc_ints(point_capacity);
    out->z = mapgeom::calloc_ints(point_capacity);
    out->part_points = mapgeom::calloc_ints(part_capacity);
    out->shape_parts = mapgeom::calloc_ints(shape_capacity);
    out->part_col = mapgeom::calloc_ints(part_capacity);
    out->part_row = mapgeom::calloc_ints(part_capacity);
    out->point_num = 0;
    out->part_num = 0;
    out->shape_num = 0;
}

namespace {

template <typename Record>
void reduce_in_init(Record* in, const int* x, const int* y, const int* part_points, int point_count,
                    int part_count) {
    in->x = mapgeom::copy_ints(x, point_count);
    in->y = mapgeom::copy_ints(y, point_count);
    in->part_points = mapgeom::copy_ints(part_points, part_count);
    in->point_num = point_count > 0 ? point_count : 0;
    in->part_num = part_count > 0 ? part_count : 0;
}

template <typename Record>
void reduce_out_init(Record* out, int point_capacity, int part_capacity) {
    out->x = mapgeom::calloc_ints(point_capacity);
    out->y = mapgeom::calloc_ints(point_capacity);
    out->part_points = mapgeom::calloc_ints(part_capacity);
    out->point_num = 0;
    out->part_num = 0;
}

template <typename Record>
void free_line_arrays(Record* record) {
    mapgeom::free_ints(&record->part_points);
    mapgeom::free_ints(&record->x);
    mapgeom::free_ints(&record->y);
}

template <typename Record>
void free_division_out_arrays(Record* out) {
    mapgeom::free_ints(&out->x);
    mapgeom::free_ints(&out->y);
    mapgeom::free_ints(&out->part_points);
    mapgeom::free_ints(&out->shape_parts);
    mapgeom::free_ints(&out->part_col);
    mapgeom::free_ints(&out->part_row);
}

template <typename Record>
void copy_out_division(const Record* out, int* x, int* y, int* part_points, int* part_col,
                       int* part_row, int* shape_parts) {
    mapgeom::copy_out_ints(x, out->x, out->point_num);
    mapgeom::copy_out_ints(y, out->y, out->point_num);
    mapgeom::copy_out_ints(part_points, out->part_points, out->part_num);
    mapgeom::copy_out_ints(part_col, out->part_col, out->part_num);
    mapgeom::copy_out_ints(part_row, out->part_row, out->part_num);
    mapgeom::copy_out_ints(shape_parts, out->shape_parts, out->shape_num);
}

template <typename Record>
void copy_out_reduce(const Record* out, int* x, int* y, int* part_points) {
    mapgeom::copy_out_ints(x, out->x, out->point_num);
    mapgeom::copy_out_ints(y, out->y, out->point_num);
    mapgeom::copy_out_ints(part_points, out->part_points, out->part_num);
}

}  // namespace

void polygon_reduce_in_init(tag_polygon_reduce_in_t* in, const int* x, const int* y, const int* z,
                            const int* part_points, int point_count, int part_count) {
    if (in == nullptr)
        return;
    reduce_in_init(in, x, y, part_points, point_count, part_count);
    in->z = mapgeom::copy_ints(z, point_count);
}

void line_reduce_in_init(tag_line_reduce_in_t* in, const int* x, const int* y,
                         const int* part_points, int point_count, int part_count) {
    if (in == nullptr)
        return;
    reduce_in_init(in, x, y, part_points, point_count, part_count);
}

void polygon_reduce_out_init(tag_polygon_reduce_out_t* out, int point_capacity, int part_capacity) {
    if (out == nullptr)
        return;
    reduce_out_init(out, point_capacity, part_capacity);
    out->z = mapgeom::calloc_ints(point_capacity);
}

void line_reduce_out_init(tag_line_reduce_out_t* out, int point_capacity, int part_capacity) {
    if (out == nullptr)
        return;
    reduce_out_init(out, point_capacity, part_capacity);
}

void division_in_free(tag_division_in_t* in) {
    if (in != nullptr)
        free_line_arrays(in);
}

void polygon_division_in_free(polygon_division_in_t* in) {
    if (in == nullptr)
        return;
    free_line_arrays(in);
    mapgeom::free_ints(&in->z);
}

void division_out_free(tag_division_out_t* out) {
    if (out != nullptr)
        free_division_out_arrays(out);
}

void polygon_division_out_free(polygon_division_out_t* out) {
    if (out == nullptr)
        return;
    free_division_out_arrays(out);
    mapgeom::free_ints(&out->z);
}

void polygon_reduce_in_free(tag_polygon_reduce_in_t* in) {
    if (in == nullptr)
        return;
    free_line_arrays(in);
    mapgeom::free_ints(&in->z);
}

void polygon_reduce_out_free(tag_polygon_reduce_out_t* out) {
    if (out == nullptr)
        return;
    free_line_arrays(out);
    mapgeom::free_ints(&out->z);
}

void line_reduce_in_free(tag_line_reduce_in_t* in) {
    if (in != nullptr)
        free_line_arrays(in);
}

void line_reduce_out_free(tag_line_reduce_out_t* out) {
    if (out != nullptr)
        free_line_arrays(out);
}

void get_division_out_value(const tag_division_out_t* out, int* x, int* y, int* part_points,
                            int* part_col, int* part_row, int* shape_parts) {
    if (out != nullptr)
        copy_out_division(out, x, y, part_points, part_col, part_row, shape_parts);
}

void get_polygon_division_out_value(const polygon_division_out_t* out, int* x, int* y, int* z,
                                    int* part_points, int* part_col, int* part_row,
                                    int* shape_parts) {
    if (out == nullptr)
        return;
    copy_out_division(out, x, y, part_points, part_col, part_row, shape_parts);
    mapgeom::copy_out_ints(z, out->z, out->point_num);
}

void get_polygon_reduce_out_value(const tag_polygon_reduce_out_t* out, int* x, int* y, int* z,
                                  int* part_points) {
    if (out == nullptr)
        return;
    copy_out_reduce(out, x, y, part_points);
    mapgeom::copy_out_ints(z, out->z, out->point_num);
}

void get_line_reduce_out_value(const tag_line_reduce_out_t* out, int* x, int* y, int* part_points) {
    if (out != nullptr)
        copy_out_reduce(out, x, y, part_points);
}

// -------------------------------------------------------------------------------------------------
// Conversions between records and shape lists.
// -------------------------------------------------------------------------------------------------

void get_polygons_by_division_in(const polygon_division_in_t* in, polygons_t* polygons) {
    if (in == nullptr || polygons == nullptr)
        return;
    bool have_points = in->x != nullptr && in->y != nullptr && in->z != nullptr;
    int points = have_points ? in->point_num : 0;
    mapgeom::for_each_part(in->part_points, in->part_num, points, [&](int first, int size) {
        polygon_t polygon{mapgeom::geom_of_part(in->x, in->y, in->z, first, size), nullptr};
        com_polygons_add(polygons, polygon);
    });
}

void get_polylines_by_division_in(const tag_division_in_t* in, polylines_t* polylines) {
    if (in == nullptr || polylines == nullptr)
        return;
    int points = in->x != nullptr && in->y != nullptr ? in->point_num : 0;
    mapgeom::for_each_part(in->part_points, in->part_num, points, [&](int first, int size) {
        polyline_t polyline{mapgeom::geom_of_part(in->x, in->y, nullptr, first, size), nullptr};
        com_polylines_add(polylines, polyline);
    });
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

rectangle_t get_rect_by_index(int col, int row, int col_num, int row_num, rectangle_t grid) {
    int64_t width = tile_size(grid.min_x, grid.max_x, col_num);
    int64_t height = tile_size(grid.min_y, grid.max_y, row_num);
    rectangle_t tile;
    // Products of whole numbers in double: exact for every int32 grid, and no overflow for others.
    tile.min_x = grid.min_x + static_cast<double>(width) * col;
    tile.max_x = grid.min_x + static_cast<double>(width) * (static_cast<double>(col) + 1.0);
    tile.min_y = grid.min_y + static_cast<double>(height) * row;
    tile.max_y = grid.min_y + static_cast<double>(height) * (static_cast<double>(row) + 1.0);
    return tile;
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
