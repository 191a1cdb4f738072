// Polygon-list and split-lines records: lists of polygons as integer arrays that keep their own
// capacities, and groups of vertex-index pairs that become two-point polylines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "com/boundary.h"
#include "com/numeric.h"
#include "com/shape_arrays.h"
#include "java_internal.h"
#include "mapgeom/java.h"

namespace {

// Entries allocated by the two plain inits.
constexpr int kInitialEntries = 128;

// ---------------------------------------------------------------------------------------------
// Both list records keep counts and capacities of their point (value) and part (group) arrays.
// ---------------------------------------------------------------------------------------------

struct ListCounts {
    int* num[2];       // points, parts
    int* capacity[2];  // their allocated lengths
};

ListCounts counts_of(polygons_java_t* r) {
    return {{&r->point_num, &r->part_num}, {&r->point_capacity, &r->part_capacity}};
}

ListCounts counts_of(split_lines_t* r) {
    return {{&r->value_num, &r->group_num}, {&r->value_capacity, &r->group_capacity}};
}

template <typename R>
ListCounts counts_of(const R* r) {
    return counts_of(const_cast<R*>(r));
}

// Sets both counts and both capacities; with `allocated` false the record is made empty instead:
// no arrays, zero counts and capacities (what a failed allocation and free leave).
template <typename R>
void set_counts(R* record, int points, int parts, int capacities[2], bool allocated = true) {
    if (!allocated)
        mapgeom::free_arrays(mapgeom::arrays_of(record));
    ListCounts counts = counts_of(record);
    const int nums[2] = {points, parts};
    for (int k = 0; k < 2; ++k) {
        *counts.num[k] = allocated ? nums[k] : 0;
        *counts.capacity[k] = allocated ? capacities[k] : 0;
    }
}

template <typename R>
void make_empty(R* record) {
    int none[2] = {0, 0};
    set_counts(record, 0, 0, none, false);
}

// Fresh zeroed arrays of kInitialEntries, counts 0.
template <typename R>
void init_list(R* record) {
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(record);
    bool points = mapgeom::calloc_group(arrays.points, kInitialEntries);
    bool parts = mapgeom::calloc_group(arrays.parts, kInitialEntries);
    int capacities[2] = {kInitialEntries, kInitialEntries};
    set_counts(record, 0, 0, capacities, points && parts);
}

// Counts within the capacities and arrays present for them: the record can be written and read.
template <typename R>
bool is_consistent(const R* record) {
    ListCounts counts = counts_of(record);
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(record);
    const mapgeom::ArrayGroup* groups[2] = {&arrays.points, &arrays.parts};
    for (int k = 0; k < 2; ++k) {
        int num = *counts.num[k], capacity = *counts.capacity[k];
        bool present = true;
        for (int i = 0; i < groups[k]->size; ++i)
            present = present && *groups[k]->arrays[i] != nullptr;
        if (num < 0 || num > capacity || !(present || capacity == 0))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Polygon list record.
// ---------------------------------------------------------------------------------------------

bool reserve_polygons(polygons_java_t* polygons, int64_t parts, int64_t points) {
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(polygons);
    return mapgeom::reserve_ints(arrays.parts, polygons->part_num, parts,
                                 &polygons->part_capacity) &&
           mapgeom::reserve_ints(arrays.points, polygons->point_num, points,
                                 &polygons->point_capacity);
}

// One polygon: its stored point count (closing point included), then its points truncated.
void append_polygon(polygons_java_t* polygons, const geom_t& geom) {
    int count = geom.count > 0 ? geom.count : 0;
    polygons->part_points[polygons->part_num++] = count;
    int k = polygons->point_num;
    mapgeom::write_int_points(&geom, polygons->x + k, polygons->y + k, polygons->z + k, count);
    polygons->point_num += count;
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
    return mapgeom::reserve_ints(mapgeom::arrays_of(lines).points, lines->value_num, n,
                                 &lines->value_capacity);
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
    init_list(polygons);
}

void com_polygons_java_init_value(polygons_java_t* polygons, const int* x, const int* y,
                                  const int* z, const int* part_points, int point_count,
                                  int part_count) {
    if (polygons == nullptr)
        return;
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(polygons);
    bool point_arrays = mapgeom::copy_group(arrays.points, {x, y, z}, point_count);
    bool part_arrays = mapgeom::copy_group(arrays.parts, {part_points}, part_count);
    int counts[2] = {point_count > 0 ? point_count : 0, part_count > 0 ? part_count : 0};
    set_counts(polygons, counts[0], counts[1], counts, point_arrays && part_arrays);
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
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(polygons);
    mapgeom::copy_out(arrays.points, {x, y, z}, polygons->point_num);
    mapgeom::copy_out(arrays.parts, {part_points}, polygons->part_num);
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
    init_list(lines);
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
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(lines);
    mapgeom::copy_out(arrays.points, {values}, lines->value_num);
    mapgeom::copy_out(arrays.parts, {group_values}, lines->group_num);
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
