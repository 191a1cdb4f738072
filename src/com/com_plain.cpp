// Plain-named companions of the container operations, for C hosts: building rings, polylines and
// their lists point by point, and releasing what the plain-named entry points return.
#include "mapgeom/com.h"
#include "tolerances.h"

namespace {

// The vertex count from which a point repeating the first vertex closes the ring instead of being
// a vertex of its own: fewer vertices enclose no area, so no ring returns to its start earlier.
constexpr int kClosableVertices = 3;

// An empty shape that holds no storage yet: a made record that is never filled needs no release.
template <typename Shape>
void make_empty(Shape* shape) {
    if (shape == nullptr)
        return;
    shape->geom = geom_t{nullptr, 0, 0};
    shape->next = nullptr;
}

}  // namespace

void com_polygon_make(polygon_t* polygon) {
    make_empty(polygon);
}

void com_polygon_append(polygon_t* polygon, double x, double y, double z) {
    if (polygon == nullptr)
        return;
    const point_t pt{x, y, z};
    if (polygon->geom.count == 0) {
        com_polygon_add(polygon, pt);
        com_polygon_add(polygon, pt);
        return;
    }
    if (com_polygon_num(polygon) >= kClosableVertices &&
        com_points_same_permit(pt, com_polygon_front(polygon), mapgeom::kSamePoint) == 0)
        return;
    com_polygon_insertat(polygon, polygon->geom.count - 1, pt);
}

void com_polygon_release(polygon_t* polygon) {
    com_polygon_free(polygon);
}

void com_polyline_make(polyline_t* polyline) {
    make_empty(polyline);
}

void com_polyline_append(polyline_t* polyline, double x, double y, double z) {
    com_polyline_add(polyline, point_t{x, y, z});
}

void com_polyline_release(polyline_t* polyline) {
    com_polyline_free(polyline);
}

void com_polygons_make(polygons_t* polygons) {
    if (polygons != nullptr)
        com_polygons_init(polygons);
}

void com_polygons_append(polygons_t* polygons, polygon_t* polygon) {
    if (polygons == nullptr || polygon == nullptr)
        return;
    polygon_t moved = *polygon;
    moved.next = nullptr;
    com_polygons_add(polygons, moved);
    make_empty(polygon);
}

void com_polygons_release(polygons_t* polygons) {
    if (polygons != nullptr)
        com_polygons_free(polygons);
}

void com_polylines_make(polylines_t* polylines) {
    if (polylines != nullptr)
        com_polylines_init(polylines);
}

void com_polylines_append(polylines_t* polylines, polyline_t* polyline) {
    if (polylines == nullptr || polyline == nullptr)
        return;
    polyline_t moved = *polyline;
    moved.next = nullptr;
    com_polylines_add(polylines, moved);
    make_empty(polyline);
}

void com_polylines_release(polylines_t* polylines) {
    if (polylines != nullptr)
        com_polylines_free(polylines);
}

void com_geom_release(geom_t* geom) {
    com_geom_free(geom);
}

void com_crosspts_release(crosspts_t* crosspts) {
    com_crosspts_free(crosspts);
}
