// Graphic reduction for hosts: every ring or line of a flat-array reduction record is reduced
// twice, with the host's parameters and then with a finishing pass that clears what is left of
// nearly straight vertices, and written to the out-record as one part per input part, in order.
#include <algorithm>
#include <cstdint>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/shape_arrays.h"
#include "java_internal.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"

namespace {

// The capacities the entry points assume for a freshly initialised output record.
constexpr int kInitialPointCapacity = 512;
constexpr int kInitialPartCapacity = 256;

constexpr int kReduced = 0;

// The finishing pass: no length, height or area limit; only nearly straight vertices (above
// 178.5 degrees) and exactly straight ones go, and for rings a nearly straight vertex with an arm
// longer than 300 stays.
tag_polygon_param_t finishing_polygon_param() {
    tag_polygon_param_t param;
    param.tolerance = 0.01;
    param.min_angle = 0.001;
    param.max_angle = 178.5;
    param.min_length = 0.0;
    param.min_height = 0.0;
    param.min_area = 0.0;
    param.keep_arm_length = 300.0;
    return param;
}

tag_polyline_param_t finishing_polyline_param() {
    tag_polyline_param_t param;
    param.tolerance = 0.01;
    param.min_angle = 0.001;
    param.max_angle = 178.5;
    param.min_length = 0.0;
    param.min_height = 0.0;
    return param;
}

// Capacity trackers of one call and whether writing has stopped.
struct Output {
    int point_capacity;
    int part_capacity;
    bool full;
};

// Brings the record's arrays to what the trackers assume: every point array at least
// kInitialPointCapacity entries and the part array at least kInitialPartCapacity (never less than
// the counts held, whose entries are kept). A host may have initialised the record with smaller
// capacities; the arrays are the library's own (allocated by the record's init), so they can be
// reallocated. False when the record cannot be written safely.
template <typename Out>
bool prepare_output(Out* out, Output* state) {
    if (out->point_num < 0 || out->part_num < 0)
        return false;
    state->point_capacity = std::max(kInitialPointCapacity, out->point_num);
    state->part_capacity = std::max(kInitialPartCapacity, out->part_num);
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(out);
    for (int i = 0; i < arrays.points.size; ++i)
        if (!mapgeom::realloc_ints(arrays.points.arrays[i], state->point_capacity))
            return false;
    return mapgeom::realloc_ints(&out->part_points, state->part_capacity);
}

// Makes room for one more part: the part array doubles when full.
bool reserve_part(int** part_points, int part_num, int* part_capacity) {
    if (part_num < *part_capacity)
        return true;
    if (part_num == INT32_MAX)
        return false;
    int64_t doubled = std::max<int64_t>(1, static_cast<int64_t>(*part_capacity) * 2);
    int grown = static_cast<int>(std::min<int64_t>(doubled, INT32_MAX));
    if (!mapgeom::realloc_ints(part_points, grown))
        return false;
    *part_capacity = grown;
    return true;
}

// Writes the first `count` stored points of g as one part.
template <typename Out>
int save_part(Out* out, const geom_t* g, int count, int* point_capacity, int* part_capacity) {
    if (out->point_num < 0 || out->part_num < 0)
        return -1;
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(out);
    if (!mapgeom::reserve_ints(arrays.points, out->point_num, count, point_capacity) ||
        !reserve_part(&out->part_points, out->part_num, part_capacity))
        return -1;
    int* z = nullptr;
    if constexpr (mapgeom::has_z<Out>::value)
        z = out->z + out->point_num;
    mapgeom::write_int_points(g, out->x + out->point_num, out->y + out->point_num, z, count);
    out->point_num += count;
    out->part_points[out->part_num++] = count;
    return 0;
}

template <typename Out, typename Shape>
void write_part(Out* out, const Shape* shape, Output* state) {
    if (state->full)
        return;
    int written = 0;
    if constexpr (mapgeom::has_z<Out>::value)
        written =
            save_polygon_to_reduce_out(out, shape, &state->point_capacity, &state->part_capacity);
    else
        written =
            save_polyline_to_reduce_out(out, shape, &state->point_capacity, &state->part_capacity);
    state->full = written != 0;
}

// A polygon or polyline that releases its points.
template <typename Shape, void (*Free)(Shape*)>
struct Owned {
    Shape shape{};
    Owned() = default;
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { Free(&shape); }
};
using OwnedPolygon = Owned<polygon_t, com_polygon_free>;
using OwnedPolyline = Owned<polyline_t, com_polyline_free>;

void reduce_ring(const polygon_t* ring, const tag_polygon_param_t* param,
                 tag_polygon_reduce_out_t* out, Output* state) {
    const tag_polygon_param_t finishing = finishing_polygon_param();
    OwnedPolygon first, second, none;
    if (reduc_polygon(ring, &first.shape, param) != kReduced ||
        reduc_polygon(&first.shape, &second.shape, &finishing) != kReduced) {
        write_part(out, &none.shape, state);
        return;
    }
    write_part(out, &second.shape, state);
}

void reduce_line(const polyline_t* line, const tag_polyline_param_t* param,
                 tag_line_reduce_out_t* out, Output* state) {
    const tag_polyline_param_t finishing = finishing_polyline_param();
    OwnedPolyline first, second;
    if (reduc_polyline(line, &first.shape, param) != kReduced) {
        write_part(out, line, state);
        return;
    }
    if (reduc_polyline(&first.shape, &second.shape, &finishing) != kReduced) {
        write_part(out, &first.shape, state);
        return;
    }
    write_part(out, &second.shape, state);
}

}  // namespace

void get_polygons_by_reduce_in(const tag_polygon_reduce_in_t* in, polygons_t* polygons) {
    mapgeom::append_rings_of_record(in, polygons);
}

void get_polylines_by_reduce_in(const tag_line_reduce_in_t* in, polylines_t* polylines) {
    mapgeom::append_lines_of_record(in, polylines);
}

int save_polygon_to_reduce_out(tag_polygon_reduce_out_t* out, const polygon_t* polygon,
                               int* point_capacity, int* part_capacity) {
    if (out == nullptr || polygon == nullptr || point_capacity == nullptr ||
        part_capacity == nullptr)
        return -1;
    // The ring with its closing point; none at all when it has no vertices.
    int count = com_polygon_num(polygon) > 0 ? polygon->geom.count : 0;
    return save_part(out, &polygon->geom, count, point_capacity, part_capacity);
}

int save_polyline_to_reduce_out(tag_line_reduce_out_t* out, const polyline_t* polyline,
                                int* point_capacity, int* part_capacity) {
    if (out == nullptr || polyline == nullptr || point_capacity == nullptr ||
        part_capacity == nullptr)
        return -1;
    int count = std::max(0, polyline->geom.count);
    return save_part(out, &polyline->geom, count, point_capacity, part_capacity);
}

int algebra_polygon_reduce_java(const tag_polygon_reduce_in_t* in, tag_polygon_reduce_out_t* out,
                                const tag_polygon_param_t* param) {
    if (in == nullptr || out == nullptr || param == nullptr)
        return 0;
    mapgeom::guarded_void([&] {
        Output state{kInitialPointCapacity, kInitialPartCapacity, false};
        if (!prepare_output(out, &state))
            return;
        mapgeom::OwnedPolygons rings;
        get_polygons_by_reduce_in(in, &rings.list);
        for (const polygon_node_t* node = rings.list.head; node != nullptr; node = node->next)
            reduce_ring(&node->polygon, param, out, &state);
    });
    return 0;
}

int algebra_line_reduce_java(const tag_line_reduce_in_t* in, tag_line_reduce_out_t* out,
                             const tag_polyline_param_t* param) {
    if (in == nullptr || out == nullptr || param == nullptr)
        return 0;
    mapgeom::guarded_void([&] {
        Output state{kInitialPointCapacity, kInitialPartCapacity, false};
        if (!prepare_output(out, &state))
            return;
        mapgeom::OwnedPolylines lines;
        get_polylines_by_reduce_in(in, &lines.list);
        for (const polyline_node_t* node = lines.list.head; node != nullptr; node = node->next)
            reduce_line(&node->polyline, param, out, &state);
    });
    return 0;
}
