// Records of one call that release themselves: Owned<Record> holds a ring, polyline, point array,
// crossing list or shape list and frees it on every path out, unless the record was handed on.
#ifndef MAPGEOM_SRC_COM_OWNED_H
#define MAPGEOM_SRC_COM_OWNED_H

#include <cstdlib>
#include <cstring>
#include <new>

#include "mapgeom/com.h"

namespace mapgeom {

// Where a holder keeps its record, under the name the code reads it by, and how that record
// starts (as its own init leaves it, or all-zero where that is a valid empty record: a ring or
// point array allocates with its first point), is copied and is released.
template <typename Record>
struct Slot;
template <>
struct Slot<polygon_t> {
    polygon_t ring{};
    polygon_t& held() { return ring; }
    static void start(polygon_t*) {}
    static void copy(polygon_t* dest, const polygon_t* source) {
        com_polygon_polygon(dest, source);
    }
    static void dispose(polygon_t* ring) { com_polygon_free(ring); }
};
template <>
struct Slot<polyline_t> {
    polyline_t line{};
    polyline_t& held() { return line; }
    static void start(polyline_t* line) { com_polyline_init(line); }
    static void copy(polyline_t* dest, const polyline_t* src) { com_polyline_polyline(dest, src); }
    static void dispose(polyline_t* line) { com_polyline_free(line); }
};
template <>
struct Slot<geom_t> {
    geom_t g{};
    geom_t& held() { return g; }
    static void start(geom_t*) {}
    static void dispose(geom_t* points) { com_geom_free(points); }
};
template <>
struct Slot<crosspts_t> {
    crosspts_t list{};
    crosspts_t& held() { return list; }
    static void start(crosspts_t* list) { com_crosspts_init(list); }
    static void dispose(crosspts_t* list) { com_crosspts_free(list); }
};
// Shape lists also hand every shape, in order, to the end of another list, leaving this one empty.
template <>
struct Slot<polygons_t> {
    polygons_t list{};
    polygons_t& held() { return list; }
    static void start(polygons_t* list) { com_polygons_init(list); }
    static void dispose(polygons_t* list) { com_polygons_free(list); }
    void hand_over(polygons_t* out) {
        com_polygons_addrange(out, &list);
        com_polygons_free_node(&list);
        com_polygons_init(&list);
    }
};
template <>
struct Slot<polylines_t> {
    polylines_t list{};
    polylines_t& held() { return list; }
    static void start(polylines_t* list) { com_polylines_init(list); }
    static void dispose(polylines_t* list) { com_polylines_free(list); }
    void hand_over(polylines_t* out) {
        com_polylines_addrange(out, &list);
        com_polylines_free_node(&list);
        com_polylines_init(&list);
    }
};

template <typename Record>
struct Owned : Slot<Record> {
    Owned() { this->start(&this->held()); }
    // Takes over the record's storage.
    explicit Owned(Record adopted) { this->held() = adopted; }
    // A deep copy of *source.
    explicit Owned(const Record* source) { this->copy(&this->held(), source); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { this->dispose(&this->held()); }

    // Hands the record over (to a list that takes it); the holder is left all-zero.
    Record release() {
        Record handed = this->held();
        this->held() = Record{};
        return handed;
    }
};

using OwnedRing = Owned<polygon_t>;
using OwnedLine = Owned<polyline_t>;
using OwnedPoints = Owned<geom_t>;
using OwnedPolygons = Owned<polygons_t>;
using OwnedPolylines = Owned<polylines_t>;
using OwnedCrossings = Owned<crosspts_t>;

// Makes dest a copy of src's points, in dest's storage when it holds them (a scratch copy made
// again and again keeps its buffer), else in new storage as com_geom_geom makes it.
inline void copy_points(geom_t* dest, const geom_t* src) {
    if (dest->points != nullptr && dest->capacity >= src->count) {
        if (src->count > 0)
            std::memcpy(static_cast<void*>(dest->points), src->points,
                        sizeof(point_t) * static_cast<size_t>(src->count));
        dest->count = src->count;
        return;
    }
    com_geom_free(dest);
    com_geom_geom(dest, src);
}

// Room for `needed` points in geom, its stored points kept; returns where the next point goes.
// Throws std::bad_alloc when the storage cannot grow.
inline point_t* reserve_points(geom_t* geom, int needed) {
    if (geom->points == nullptr || geom->capacity < needed) {
        const int capacity = needed > 0 ? needed : 1;
        void* grown = std::realloc(geom->points, sizeof(point_t) * static_cast<size_t>(capacity));
        if (grown == nullptr)
            throw std::bad_alloc();
        geom->points = static_cast<point_t*>(grown);
        geom->capacity = capacity;
    }
    return geom->points + geom->count;
}

// A point array copied into a ring record (a shape's points worked on as a ring).
inline polygon_t ring_of_points(const geom_t* points) {
    polygon_t ring{};
    com_geom_geom(&ring.geom, points);
    return ring;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_OWNED_H
