// Polylines: open point sequences over a point array, with integer-array exchange.
#include <cstdlib>

#include "mapgeom/com.h"
#include "shape_arrays.h"

void com_polyline_init(polyline_t* polyline) {
    if (polyline == nullptr)
        return;
    polyline->next = nullptr;
    com_geom_init_polyline(&polyline->geom);
}

void com_polyline_init_pointer(polyline_t** polyline) {
    if (polyline == nullptr)
        return;
    *polyline = static_cast<polyline_t*>(std::malloc(sizeof(polyline_t)));
    com_polyline_init(*polyline);
}

void com_polyline_free(polyline_t* polyline) {
    if (polyline == nullptr)
        return;
    com_geom_free(&polyline->geom);
    polyline->next = nullptr;
}

void com_polyline_clear(polyline_t* polyline) {
    com_geom_clear(&polyline->geom);
}

void com_polyline_resize(polyline_t* polyline, int n) {
    if (polyline == nullptr)
        return;
    polyline->next = nullptr;
    com_geom_resize(&polyline->geom, n);
}

void com_polyline_polyline(polyline_t* dest, const polyline_t* src) {
    if (dest == nullptr || src == nullptr)
        return;
    dest->next = nullptr;
    com_geom_geom(&dest->geom, &src->geom);
}

int com_polyline_num(const polyline_t* polyline) {
    return polyline->geom.count;
}

int com_polyline_capacity(const polyline_t* polyline) {
    return polyline->geom.capacity;
}

point_t com_polyline_at(const polyline_t* polyline, int index) {
    return com_geom_at(&polyline->geom, index);
}

point_t com_polyline_front(const polyline_t* polyline) {
    return com_geom_front(&polyline->geom);
}

point_t com_polyline_last(const polyline_t* polyline) {
    return com_geom_last(&polyline->geom);
}

void com_polyline_add(polyline_t* polyline, point_t pt) {
    if (polyline == nullptr)
        return;
    com_geom_add(&polyline->geom, pt);
}

void com_polyline_add_geom(polyline_t* polyline, const geom_t* src) {
    if (polyline == nullptr || src == nullptr)
        return;
    for (int i = 0; i < src->count; ++i)
        com_geom_add(&polyline->geom, src->points[i]);
}

void com_polyline_insertat(polyline_t* polyline, int index, point_t pt) {
    com_geom_insertat(&polyline->geom, index, pt);
}

void com_polyline_setat(polyline_t* polyline, int index, point_t pt) {
    com_geom_setat(&polyline->geom, index, pt);
}

void com_polyline_removeat(polyline_t* polyline, int index) {
    com_geom_removeat(&polyline->geom, index);
}

int com_polyline_remove(polyline_t* polyline, point_t pt) {
    return com_geom_remove(&polyline->geom, pt);
}

int com_polyline_find(const polyline_t* polyline, point_t pt) {
    return com_geom_find(&polyline->geom, pt);
}

void com_polyline_setpoint(polyline_t* polyline, point_t old_pt, point_t new_pt) {
    com_geom_setat(&polyline->geom, com_polyline_find(polyline, old_pt), new_pt);
}

void com_polyline_reverse(polyline_t* polyline) {
    com_geom_reverse(&polyline->geom);
}

void com_polyline_add_points(polyline_t* polyline, const int* xs, const int* ys, int nx, int ny) {
    if (polyline == nullptr || nx != ny)
        return;
    mapgeom::append_int_points(&polyline->geom, xs, ys, nullptr, nx);
}

void com_polyline_at_points(const polyline_t* polyline, int* xs, int* ys, int nx, int ny) {
    if (polyline == nullptr || nx != ny || nx != polyline->geom.count)
        return;
    mapgeom::write_int_points(&polyline->geom, xs, ys, nullptr, nx);
}
