// Polygons: closed rings over a point array, with cyclic neighbours and integer-array exchange.
#include <cstdlib>

#include "mapgeom/com.h"
#include "shape_arrays.h"

void com_polygon_init(polygon_t* polygon) {
    if (polygon == nullptr)
        return;
    polygon->next = nullptr;
    com_geom_init_polygon(&polygon->geom);
}

void com_polygon_init_num(polygon_t* polygon, int n) {
    if (polygon == nullptr)
        return;
    polygon->next = nullptr;
    polygon->geom.points = nullptr;
    com_geom_resize(&polygon->geom, n);
}

void com_polygon_init_pointer(polygon_t** polygon) {
    if (polygon == nullptr)
        return;
    *polygon = static_cast<polygon_t*>(std::malloc(sizeof(polygon_t)));
    com_polygon_init(*polygon);
}

void com_polygon_init_pointer_num(polygon_t** polygon, int n) {
    if (polygon == nullptr)
        return;
    *polygon = static_cast<polygon_t*>(std::malloc(sizeof(polygon_t)));
    com_polygon_init_num(*polygon, n);
}

void com_polygon_free(polygon_t* polygon) {
    if (polygon == nullptr)
        return;
    com_geom_free(&polygon->geom);
    polygon->next = nullptr;
}

void com_polygon_free_pointer(polygon_t* polygon) {
    std::free(polygon);
}

void com_polygon_clear(polygon_t* polygon) {
    com_geom_clear(&polygon->geom);
}

void com_polygon_resize(polygon_t* polygon, int n) {
    if (polygon == nullptr)
        return;
    polygon->next = nullptr;
    com_geom_resize(&polygon->geom, n);
}

void com_polygon_polygon(polygon_t* dest, const polygon_t* src) {
    if (dest == nullptr || src == nullptr)
        return;
    dest->next = nullptr;
    com_geom_geom(&dest->geom, &src->geom);
}

void com_polygon_polygon_pointer(polygon_t** dest, const polygon_t* src) {
    if (dest == nullptr)
        return;
    *dest = static_cast<polygon_t*>(std::malloc(sizeof(polygon_t)));
    (*dest)->geom = geom_t{nullptr, 0, 0};
    (*dest)->next = nullptr;
    com_polygon_polygon(*dest, src);
}

int com_polygon_num(const polygon_t* polygon) {
    return polygon->geom.count >= 1 ? polygon->geom.count - 1 : 0;
}

int com_polygon_capacity(const polygon_t* polygon) {
    return polygon->geom.capacity;
}

point_t com_polygon_at(const polygon_t* polygon, int index) {
    return com_geom_at(&polygon->geom, index);
}

point_t com_polygon_front(const polygon_t* polygon) {
    return com_geom_front(&polygon->geom);
}

point_t com_polygon_last(const polygon_t* polygon) {
    return com_geom_last(&polygon->geom);
}

point_t com_polygon_nexter(const polygon_t* polygon, int index) {
    if (index == com_polygon_num(polygon))
        return com_geom_at(&polygon->geom, 1);
    return com_geom_at(&polygon->geom, index + 1);
}

point_t com_polygon_priorer(const polygon_t* polygon, int index) {
    if (index == 0)
        return com_geom_at(&polygon->geom, com_polygon_num(polygon) - 1);
    return com_geom_at(&polygon->geom, index - 1);
}

void com_polygon_add(polygon_t* polygon, point_t pt) {
    if (polygon == nullptr)
        return;
    com_geom_add(&polygon->geom, pt);
}

void com_polygon_add_geom(polygon_t* polygon, const geom_t* src) {
    if (polygon == nullptr || src == nullptr)
        return;
    for (int i = 0; i < src->count; ++i)
        com_geom_add(&polygon->geom, src->points[i]);
}

void com_polygon_insertat(polygon_t* polygon, int index, point_t pt) {
    com_geom_insertat(&polygon->geom, index, pt);
}

void com_polygon_setat(polygon_t* polygon, int index, point_t pt) {
    com_geom_setat(&polygon->geom, index, pt);
}

void com_polygon_removeat(polygon_t* polygon, int index) {
    com_geom_removeat(&polygon->geom, index);
}

int com_polygon_remove(polygon_t* polygon, point_t pt) {
    return com_geom_remove(&polygon->geom, pt);
}

int com_polygon_find(const polygon_t* polygon, point_t pt) {
    return com_geom_find(&polygon->geom, pt);
}

void com_polygon_setpoint(polygon_t* polygon, point_t old_pt, point_t new_pt) {
    com_geom_setat(&polygon->geom, com_polygon_find(polygon, old_pt), new_pt);
}

void com_polygon_reverse(polygon_t* polygon) {
    com_geom_reverse(&polygon->geom);
}

void com_polygon_add_points(polygon_t* polygon, const int* xs, const int* ys, int nx, int ny) {
    if (polygon == nullptr || nx != ny)
        return;
    mapgeom::append_int_points(&polygon->geom, xs, ys, nullptr, nx);
}

void com_polygon_add_points_z(polygon_t* polygon, const int* xs, const int* ys, const int* zs,
                              int nx, int ny, int nz) {
    if (polygon == nullptr || nx != ny || nx != nz)
        return;
    mapgeom::append_int_points(&polygon->geom, xs, ys, zs, nx);
}

namespace {

// The ring is written with its closing point: the caller sizes the arrays to num + 1. An empty
// polygon has nothing to write (num + 1 would read a slot that holds no point).
bool sizes_fit_ring(const polygon_t* polygon, int nx, int ny) {
    return polygon != nullptr && nx == ny && polygon->geom.count > 0 &&
           nx == com_polygon_num(polygon) + 1;
}

}  // namespace

void com_polygon_at_points(const polygon_t* polygon, int* xs, int* ys, int nx, int ny) {
    if (!sizes_fit_ring(polygon, nx, ny))
        return;
    mapgeom::write_int_points(&polygon->geom, xs, ys, nullptr, nx);
}

void com_polygon_at_points_z(const polygon_t* polygon, int* xs, int* ys, int* zs, int nx, int ny) {
    if (!sizes_fit_ring(polygon, nx, ny))
        return;
    mapgeom::write_int_points(&polygon->geom, xs, ys, zs, nx);
}
