// Growable point arrays (geom_t): init, growth by doubling, indexed access, search and reversal.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "check.h"
#include "growth.h"
#include "mapgeom/com.h"
#include "numeric.h"

namespace {

constexpr int kGeomInitialCapacity = 16;
constexpr int kPolygonInitialCapacity = 32;

void allocate_zeroed(geom_t* geom, int capacity) {
    geom->points = static_cast<point_t*>(std::calloc(capacity > 0 ? capacity : 1, sizeof(point_t)));
    geom->capacity = capacity;
    geom->count = 0;
}

// Writes the "com_geom_at" diagnostic: the bad index, the count, then every point truncated.
void trace_bad_at(const geom_t* geom, int index) {
    std::FILE* file = std::fopen("error.txt", "a");
    if (file != nullptr) {
        std::fprintf(file, "com_geom_at: %d\t%d\n", index, geom->count);
        for (int i = 0; i < geom->count; ++i)
            std::fprintf(file, "%d\t%d\n", mapgeom::truncate_to_int32(geom->points[i].x),
                         mapgeom::truncate_to_int32(geom->points[i].y));
        std::fprintf(file, "\n");
        std::fclose(file);
    }
    std::printf("error\n");
}

}  // namespace

void com_geom_init(geom_t* geom) {
    if (geom == nullptr)
        return;
    allocate_zeroed(geom, kGeomInitialCapacity);
}

void com_geom_init_polyline(geom_t* geom) {
    com_geom_init(geom);
}

void com_geom_init_polygon(geom_t* geom) {
    if (geom == nullptr)
        return;
    allocate_zeroed(geom, kPolygonInitialCapacity);
}

void com_geom_free(geom_t* geom) {
    if (geom == nullptr)
        return;
    std::free(geom->points);
    geom->points = nullptr;
    geom->capacity = 0;
    geom->count = 0;
}

void com_geom_clear(geom_t* geom) {
    geom->count = 0;
}

void com_geom_resize(geom_t* geom, int n) {
    if (geom == nullptr)
        return;
    size_t bytes = sizeof(point_t) * static_cast<size_t>(n > 0 ? n : 1);
    geom->points = static_cast<point_t*>(std::realloc(geom->points, bytes));
    std::memset(static_cast<void*>(geom->points), 0, bytes);
    geom->capacity = n;
    geom->count = 0;
}

int com_geom_num(const geom_t* geom) {
    return geom->count;
}

int com_geom_capacity(const geom_t* geom) {
    return geom->capacity;
}

void com_geom_add(geom_t* geom, point_t pt) {
    if (geom == nullptr)
        return;
    if (geom->points == nullptr)
        com_geom_init(geom);
    mapgeom::grow_if_full(&geom->points, &geom->capacity, geom->count, kGeomInitialCapacity);
    geom->points[geom->count++] = pt;
}

void com_geom_insertat(geom_t* geom, int index, point_t pt) {
    MAPGEOM_CHECK(index < geom->count && index >= 0);
    mapgeom::grow_if_full(&geom->points, &geom->capacity, geom->count, kGeomInitialCapacity);
    std::memmove(static_cast<void*>(geom->points + index + 1), geom->points + index,
                 sizeof(point_t) * (geom->count - index));
    geom->points[index] = pt;
    ++geom->count;
}

void com_geom_setat(geom_t* geom, int index, point_t pt) {
    if (index >= geom->count)
        mapgeom::trace_append("D://error.txt", "com_geom_setat\n");
    MAPGEOM_CHECK(index < geom->count && index >= 0);
    geom->points[index] = pt;
}

point_t com_geom_at(const geom_t* geom, int index) {
    if (index < 0 || index >= geom->count)
        trace_bad_at(geom, index);
    MAPGEOM_CHECK(index < geom->count && index >= 0);
    return geom->points[index];
}

point_t com_geom_front(const geom_t* geom) {
    if (geom->count < 1)
        mapgeom::trace_append("error.txt", "com_geom_front\n");
    MAPGEOM_CHECK(geom->count > 0);
    return geom->points[0];
}

point_t com_geom_last(const geom_t* geom) {
    if (geom->count < 1)
        mapgeom::trace_append("error.txt", "com_geom_last\n");
    MAPGEOM_CHECK(geom->count > 0);
    return geom->points[geom->count - 1];
}

void com_geom_removeat(geom_t* geom, int index) {
    if (index < 0 || index >= geom->count)
        mapgeom::trace_append("D://error.txt", "com_geom_removeat\n");
    MAPGEOM_CHECK(index < geom->count && index >= 0);
    std::memmove(static_cast<void*>(geom->points + index), geom->points + index + 1,
                 sizeof(point_t) * (geom->count - index - 1));
    --geom->count;
}

int com_geom_remove(geom_t* geom, point_t pt) {
    int index = com_geom_find(geom, pt);
    if (index < 0)
        return -1;
    com_geom_removeat(geom, index);
    return 0;
}

int com_geom_find(const geom_t* geom, point_t pt) {
    for (int i = 0; i < geom->count; ++i)
        if (com_points_same(pt, geom->points[i]) == 0)
            return i;
    return -1;
}

void com_geom_reverse(const geom_t* geom) {
    point_t* points = geom->points;
    for (int i = 0, j = geom->count - 1; i < j; ++i, --j) {
        point_t swap = points[i];
        points[i] = points[j];
        points[j] = swap;
    }
    // Section starts become section ends and back; negative codes never match 2 or 3.
    for (int i = 0; i < geom->count; ++i) {
        int press = mapgeom::press_code_of(points[i].z);
        if (press == 2)
            points[i].z += 1.0;
        else if (press == 3)
            points[i].z -= 1.0;
    }
}

void com_geom_geom(geom_t* dest, const geom_t* src) {
    if (dest == nullptr || src == nullptr)
        return;
    allocate_zeroed(dest, src->capacity);
    if (src->count > 0)
        std::memcpy(static_cast<void*>(dest->points), src->points, sizeof(point_t) * src->count);
    dest->count = src->count;
}
