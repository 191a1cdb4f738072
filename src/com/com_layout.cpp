// Compile-time checks of the record layouts that hosts, stored data and later records rely on.
#include <cstddef>
#include <type_traits>

#include "mapgeom/com.h"

namespace {

template <typename Record>
constexpr bool is_c_record =
    std::is_standard_layout_v<Record>&& std::is_trivially_copyable_v<Record>;

static_assert(is_c_record<point_t> && is_c_record<geom_t> && is_c_record<polygon_t> &&
              is_c_record<polygons_t> && is_c_record<polylines_t> &&
              is_c_record<polygon_expand_t> && is_c_record<crosspt_t> && is_c_record<crosspts_t> &&
              is_c_record<rectangle_t>);

static_assert(sizeof(int) == 4, "records carry 32-bit integers");

static_assert(sizeof(point_t) == 24 && offsetof(point_t, x) == 0 && offsetof(point_t, y) == 8 &&
              offsetof(point_t, z) == 16);
static_assert(sizeof(geom_t) == 16 && offsetof(geom_t, points) == 0 &&
              offsetof(geom_t, capacity) == 8 && offsetof(geom_t, count) == 12);
// A polygon_t* or polyline_t* may be passed wherever a geom_t* is expected.
static_assert(sizeof(polygon_t) == 24 && offsetof(polygon_t, geom) == 0 &&
              offsetof(polygon_t, next) == 16);
static_assert(sizeof(polyline_t) == 24 && offsetof(polyline_t, geom) == 0 &&
              offsetof(polyline_t, next) == 16);
static_assert(sizeof(rectangle_t) == 32 && offsetof(rectangle_t, min_y) == 0 &&
              offsetof(rectangle_t, max_y) == 8 && offsetof(rectangle_t, min_x) == 16 &&
              offsetof(rectangle_t, max_x) == 24);
static_assert(sizeof(polygon_node_t) == 40 && offsetof(polygon_node_t, polygon) == 0 &&
              offsetof(polygon_node_t, next) == 24 && offsetof(polygon_node_t, prev) == 32);
static_assert(sizeof(polygons_t) == 24 && offsetof(polygons_t, head) == 0 &&
              offsetof(polygons_t, tail) == 8 && offsetof(polygons_t, num) == 16);
static_assert(sizeof(polylines_t) == 40 && offsetof(polylines_t, num) == 16 &&
              offsetof(polylines_t, polygon_rec_num) == 20 &&
              offsetof(polylines_t, polygon_rec_capacity) == 24 &&
              offsetof(polylines_t, polygon_rec) == 32);
static_assert(sizeof(polygon_expand_t) == 88 && offsetof(polygon_expand_t, polygon) == 0 &&
              offsetof(polygon_expand_t, holes) == 24 && offsetof(polygon_expand_t, rect) == 48 &&
              offsetof(polygon_expand_t, group) == 80);
static_assert(sizeof(crosspt_t) == 40 && offsetof(crosspt_t, pt) == 0 &&
              offsetof(crosspt_t, index1) == 24 && offsetof(crosspt_t, index2) == 28 &&
              offsetof(crosspt_t, flag) == 32 && offsetof(crosspt_t, curpt_flag) == 36);
static_assert(sizeof(crosspts_t) == 16 && offsetof(crosspts_t, crosspts) == 0 &&
              offsetof(crosspts_t, count) == 8 && offsetof(crosspts_t, capacity) == 12);

}  // namespace
