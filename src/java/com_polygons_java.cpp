// Polygon-list and split-lines records: lists of polygons as integer arrays that keep their own
// capacities, and groups of vertex-index pairs that become two-point polylines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "com/boundary.h"
#include "com/numeric.h"
#include "java_internal.h"
#include "mapgeom/java.h"

namespace {

template <typename Record>
constexpr bool is_c_record =
    std::is_standard_layout_v<Record>&& std::is_trivially_copyable_v<Record>;

// Hosts fill these records byte by byte: any drift must fail the build.
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

// Entries allocated by the two plain inits.
constexpr int kInitialEntries = 128;

// ---------------------------------------------------------------------------------------------
// Polygon list record.
// ---------------------------------------------------------------------------------------------

void release_arrays(polygons_java_t* polygons) {
    mapgeom::free_ints(&polygons->x);
    mapgeom::free_ints(&polygons->y);
    mapgeom::free_ints(&polygons->z);
    mapgeom::free_ints(&polygons->part_points);
}

// Empty record with no arrays: what a failed allocation leaves, and what free leaves.
void make_empty(polygons_java_t* polygons) {
    release_arrays(polygons);
    polygons->point_num = 0;
    polygons->part_num = 0;
    polygons->point_capacity = 0;
    polygons->part_capacity = 0;
}

bool all_allocated(const polygons_java_t* polygons) {
    return polygons->x != nullptr && polygons->y != nullptr && polygons->z != nullptr &&
           polygons->part_points != nullptr;
}

// Counts within the capacities and arrays present for them: the record can be written and read.
bool is_consistent(const polygons_java_t* polygons) {
    bool counts_fit = polygons->point_num >= 0 && polygons->point_num <= polygons->point_capacity &&
                      polygons->part_num >= 0 && polygons->part_num <= polygons->part_capacity;
    bool arrays_present =
        (polygons->x != nullptr && polygons->y != nullptr && polygons->z != nullptr) ||
        polygons->point_capacity == 0;
    return counts_fit && arrays_present &&
           (polygons->part_points != nullptr || polygons->part_capacity == 0);
}

bool reserve_polygons(polygons_java_t* polygons, int64_t parts, int64_t points) {
    int** part_arrays[] = {&polygons->part_points};
    int** point_arrays[] = {&polygons->x, &polygons->y, &polygons->z};
    return mapgeom::reserve_ints(part_arrays, 1, polygons->part_num, parts,
                                 &polygons->part_capacity) &&
           mapgeom::reserve_ints(point_arrays, 3, polygons->point_num, points,
                                 &polygons->point_capacity);
}

// One polygon: its stored point count (closing point included), then its points truncated.
void append_polygon(polygons_java_t* polygons, const geom_t& geom) {
    int count = geom.count > 0 ? geom.count : 0;
    polygons->part_points[polygons->part_num++] = count;
    for (int i = 0; i < count; ++i) {
        int k = polygons->point_num++;
        polygons->x[k] = mapgeom::truncate_to_int32(geom.points[i].x);
        polygons->y[k] = mapgeom::truncate_to_int32(geom.points[i].y);
        polygons->z[k] = mapgeom::truncate_to_int32(geom.points[i].z);
    }
}

void add_polygons(polygons_java_t* polygons, const polygons_t* list) {
    int64_t parts = 0;
    int64_t points = 0;
    for (const polygon_node_t* node = list->head; node != nullptr; node = node->next) {
        ++parts;
        points += node->polygon.geom.count > 0 ? node->polygon.geom.count : 0;
    }
    if (parts == 0 || !is_consistent(polygons) || !reserve_polygons(polygons, parts, points))
        return;
    for (const polygon_node_t* node = list->head; node != nullptr; node = node->next)
        append_polygon(polygons, node->polygon.geom);
}

void read_polygons(const polygons_java_t* polygons, polygons_t* list) {
    if (!is_consistent(polygons))
        return;
    mapgeom::for_each_part(
        polygons->part_points, polygons->part_num, polygons->point_num, [&](int first, int size) {
            polygon_t polygon{
                mapgeom::geom_of_part(polygons->x, polygons->y, polygons->z, first, size), nullptr};
            com_polygons_add(list, polygon);
        });
}

// ---------------------------------------------------------------------------------------------
// Split-lines record.
// ---------------------------------------------------------------------------------------------

void make_empty(split_lines_t* lines) {
    mapgeom::free_ints(&lines->values);
    mapgeom::free_ints(&lines->group_values);
    lines->value_num = 0;
    lines->group_num = 0;
    lines->value_capacity = 0;
    lines->group_capacity = 0;
}

bool is_consistent(const split_lines_t* lines) {
    return lines->value_num >= 0 && lines->value_num <= lines->value_capacity &&
           lines->group_num >= 0 && lines->group_num <= lines->group_capacity &&
           (lines->values != nullptr || lines->value_capacity == 0) &&
           (lines->group_values != nullptr || lines->group_capacity == 0);
}

// Room for one more group: the group array doubles when full (from nothing, to one entry).
bool reserve_group(split_lines_t* lines) {
    if (lines->group_num < lines->group_capacity)
        return true;
    if (lines->group_num == INT32_MAX)
        return false;
    int64_t doubled = static_cast<int64_t>(lines->group_capacity) * 2;
    int grown = doubled < 1 ? 1 : (doubled > INT32_MAX ? INT32_MAX : static_cast<int>(doubled));
    if (!mapgeom::realloc_ints(&lines->group_values, grown))
        return false;
    lines->group_capacity = grown;
    return true;
}

bool reserve_values(split_lines_t* lines, int n) {
    int** arrays[] = {&lines->values};
    return mapgeom::reserve_ints(arrays, 1, lines->value_num, n, &lines->value_capacity);
}

// A two-point polyline from vertices a and b of the polygon (codes kept), when both are stored.
void add_pair_polyline(const geom_t& polygon, int a, int b, polylines_t* polylines) {
    if (a < 0 || a >= polygon.count || b < 0 || b >= polygon.count)
        return;
    polyline_t polyline{};
    com_polyline_init(&polyline);
    com_polyline_add(&polyline, polygon.points[a]);
    com_polyline_add(&polyline, polygon.points[b]);
    com_polylines_add(polylines, polyline);
}

void pairs_to_polylines(const polygons_t* list, const split_lines_t* lines,
                        polylines_t* polylines) {
    if (!is_consistent(lines))
        return;
    int64_t first = 0;
    const polygon_node_t* node = list->head;
    for (int i = 0; i < lines->group_num && node != nullptr; ++i, node = node->next) {
        int64_t size = lines->group_values[i] > 0 ? lines->group_values[i] : 0;
        if (first + size > lines->value_num)
            return;
        for (int64_t j = 0; j + 1 < size; j += 2)
            add_pair_polyline(node->polygon.geom, lines->values[first + j],
                              lines->values[first + j + 1], polylines);
        first += size;
    }
}

}  // namespace

// -------------------------------------------------------------------------------------------------
// Polygon list record.
// -------------------------------------------------------------------------------------------------

void com_polygons_java_init(polygons_java_t* polygons) {
    if (polygons == nullptr)
        return;
    polygons->x = mapgeom::calloc_ints(kInitialEntries);
    polygons->y = mapgeom::calloc_ints(kInitialEntries);
    polygons->z = mapgeom::calloc_ints(kInitialEntries);
    polygons->part_points = mapgeom::calloc_ints(kInitialEntries);
    polygons->point_num = 0;
    polygons->part_num = 0;
    polygons->point_capacity = kInitialEntries;
    polygons->part_capacity = kInitialEntries;
    if (!all_allocated(polygons))
        make_empty(polygons);
}

void com_polygons_java_init_value(polygons_java_t* polygons, const int* x, const int* y,
                                  const int* z, const int* part_points, int point_count,
                                  int part_count) {
    if (polygons == nullptr)
        return;
    polygons->x = mapgeom::copy_ints(x, point_count);
    polygons->y = mapgeom::copy_ints(y, point_count);
    polygons->z = mapgeom::copy_ints(z, point_count);
    polygons->part_points = mapgeom::copy_ints(part_points, part_count);
    polygons->point_num = point_count > 0 ? point_count : 0;
    polygons->part_num = part_count > 0 ? part_count : 0;
    polygons->point_capacity = polygons->point_num;
    polygons->part_capacity = polygons->part_num;
    if (!all_allocated(polygons))
        make_empty(polygons);
}

void com_polygons_java_add_value(polygons_java_t* polygons, const polygons_t* list) {
    if (polygons == nullptr || list == nullptr)
        return;
    mapgeom::guarded_void([&] { add_polygons(polygons, list); });
}

void com_polygons_java_get_polygons(const polygons_java_t* polygons, polygons_t* list) {
    if (polygons == nullptr || list == nullptr)
        return;
    mapgeom::guarded_void([&] { read_polygons(polygons, list); });
}

void get_polygons_java_value(const polygons_java_t* polygons, int* x, int* y, int* z,
                             int* part_points) {
    if (polygons == nullptr || !is_consistent(polygons))
        return;
    mapgeom::copy_out_ints(x, polygons->x, polygons->point_num);
    mapgeom::copy_out_ints(y, polygons->y, polygons->point_num);
    mapgeom::copy_out_ints(z, polygons->z, polygons->point_num);
    mapgeom::copy_out_ints(part_points, polygons->part_points, polygons->part_num);
}

void com_polygons_java_free(polygons_java_t* polygons) {
    if (polygons != nullptr)
        make_empty(polygons);
}

// -------------------------------------------------------------------------------------------------
// Split-lines record.
// -------------------------------------------------------------------------------------------------

void com_split_lines_init(split_lines_t* lines) {
    if (lines == nullptr)
        return;
    lines->values = mapgeom::calloc_ints(kInitialEntries);
    lines->group_values = mapgeom::calloc_ints(kInitialEntries);
    lines->value_num = 0;
    lines->group_num = 0;
    lines->value_capacity = kInitialEntries;
    lines->group_capacity = kInitialEntries;
    if (lines->values == nullptr || lines->group_values == nullptr)
        make_empty(lines);
}

void com_split_lines_add(split_lines_t* lines, const int* values, int n) {
    if (lines == nullptr || n < 0 || (values == nullptr && n > 0) || !is_consistent(lines))
        return;
    if (!reserve_group(lines) || !reserve_values(lines, n))
        return;
    lines->group_values[lines->group_num++] = n;
    for (int i = 0; i < n; ++i)
        lines->values[lines->value_num++] = values[i];
}

void get_split_lines_value(const split_lines_t* lines, int* values, int* group_values) {
    if (lines == nullptr || !is_consistent(lines))
        return;
    mapgeom::copy_out_ints(values, lines->values, lines->value_num);
    mapgeom::copy_out_ints(group_values, lines->group_values, lines->group_num);
}

void com_split_lines_free(split_lines_t* lines) {
    if (lines != nullptr)
        make_empty(lines);
}

void com_split_lines_get_polylines(const polygons_t* list, const split_lines_t* lines,
                                   polylines_t* polylines) {
    if (list == nullptr || lines == nullptr || polylines == nullptr)
        return;
    mapgeom::guarded_void([&] { pairs_to_polylines(list, lines, polylines); });
}
