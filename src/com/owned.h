// Records of one call that release themselves: Owned<Record> holds a ring, polyline, point array,
// crossing list or shape list and frees it on every path out, unless the record was handed on.
#ifndef MAPGEOM_SRC_COM_OWNED_H
#define MAPGEOM_SRC_COM_OWNED_H

#include "mapgeom/com.h"

namespace mapgeom {

// Where a holder keeps its record, under the name the code reads it by.
template <typename Record>
struct Slot;
template <>
struct Slot<polygon_t> {
    polygon_t ring{};
    polygon_t& held() { return ring; }
};
template <>
struct Slot<polyline_t> {
    polyline_t line{};
    polyline_t& held() { return line; }
};
template <>
struct Slot<geom_t> {
    geom_t g{};
    geom_t& held() { return g; }
};
template <>
struct Slot<polygons_t> {
    polygons_t list{};
    polygons_t& held() { return list; }
};
template <>
struct Slot<polylines_t> {
    polylines_t list{};
    polylines_t& held() { return list; }
};
template <>
struct Slot<crosspts_t> {
    crosspts_t list{};
    crosspts_t& held() { return list; }
};

// How a fresh holder starts: as the record's own init leaves it, or all-zero where that is a valid
// empty record (a ring or point array allocates with its first point).
inline void start_empty(polygon_t*) {}
inline void start_empty(geom_t*) {}
inline void start_empty(polyline_t* line) {
    com_polyline_init(line);
}
inline void start_empty(polygons_t* list) {
    com_polygons_init(list);
}
inline void start_empty(polylines_t* list) {
    com_polylines_init(list);
}
inline void start_empty(crosspts_t* list) {
    com_crosspts_init(list);
}

inline void deep_copy(polygon_t* dest, const polygon_t* source) {
    com_polygon_polygon(dest, source);
}
inline void deep_copy(polyline_t* dest, const polyline_t* source) {
    com_polyline_polyline(dest, source);
}

inline void free_record(polygon_t* ring) {
    com_polygon_free(ring);
}
inline void free_record(polyline_t* line) {
    com_polyline_free(line);
}
inline void free_record(geom_t* points) {
    com_geom_free(points);
}
inline void free_record(polygons_t* list) {
    com_polygons_free(list);
}
inline void free_record(polylines_t* list) {
    com_polylines_free(list);
}
inline void free_record(crosspts_t* list) {
    com_crosspts_free(list);
}

// Moves every shape of a list, in order, to the end of `to`; `from` is left empty.
inline void move_all(polygons_t* from, polygons_t* to) {
    com_polygons_addrange(to, from);
    com_polygons_free_node(from);
    com_polygons_init(from);
}
inline void move_all(polylines_t* from, polylines_t* to) {
    com_polylines_addrange(to, from);
    com_polylines_free_node(from);
    com_polylines_init(from);
}

// A point array copied into a ring record (a shape's points worked on as a ring).
inline polygon_t ring_of_points(const geom_t* points) {
    polygon_t ring{};
    com_geom_geom(&ring.geom, points);
    return ring;
}

template <typename Record>
struct Owned : Slot<Record> {
    Owned() { start_empty(&this->held()); }
    // Takes over the record's storage.
    explicit Owned(Record adopted) { this->held() = adopted; }
    // A deep copy of *source.
    explicit Owned(const Record* source) { deep_copy(&this->held(), source); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { free_record(&this->held()); }

    // Hands the record over (to a list that takes it); the holder is left all-zero.
    Record release() {
        Record handed = this->held();
        this->held() = Record{};
        return handed;
    }
    // Lists: moves every shape, in order, to the end of out; this list is left empty.
    void hand_over(Record* out) { move_all(&this->held(), out); }
};

using OwnedRing = Owned<polygon_t>;
using OwnedLine = Owned<polyline_t>;
using OwnedPoints = Owned<geom_t>;
using OwnedPolygons = Owned<polygons_t>;
using OwnedPolylines = Owned<polylines_t>;
using OwnedCrossings = Owned<crosspts_t>;

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_OWNED_H
