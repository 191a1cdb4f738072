// Test helpers shared by every test program: building shapes from coordinate lists and releasing
// them automatically, and reading them back for comparisons.
#ifndef MAPGEOM_TESTS_SUPPORT_SHAPES_H
#define MAPGEOM_TESTS_SUPPORT_SHAPES_H

#include <initializer_list>
#include <vector>

#include "mapgeom/com.h"

namespace testing_shapes {

struct Xy {
    double x;
    double y;
    double z = 0.0;
};

inline point_t pt(double x, double y, double z = 0.0) {
    return point_t{x, y, z};
}

// A polygon that owns its points; the ring is closed automatically unless it already is.
struct Polygon {
    polygon_t p{};
    Polygon() { com_polygon_init(&p); }
    Polygon(std::initializer_list<Xy> ring) : Polygon(std::vector<Xy>(ring)) {}
    explicit Polygon(const std::vector<Xy>& ring) {
        com_polygon_init(&p);
        for (const Xy& v : ring)
            com_polygon_add(&p, point_t{v.x, v.y, v.z});
        if (!ring.empty() && (ring.front().x != ring.back().x || ring.front().y != ring.back().y))
            com_polygon_add(&p, point_t{ring.front().x, ring.front().y, ring.front().z});
    }
    Polygon(const Polygon&) = delete;
    Polygon& operator=(const Polygon&) = delete;
    ~Polygon() { com_polygon_free(&p); }
    polygon_t* get() { return &p; }
    const polygon_t* get() const { return &p; }
};

// A polyline that owns its points.
struct Polyline {
    polyline_t p{};
    Polyline() { com_polyline_init(&p); }
    Polyline(std::initializer_list<Xy> points) : Polyline(std::vector<Xy>(points)) {}
    explicit Polyline(const std::vector<Xy>& points) {
        com_polyline_init(&p);
        for (const Xy& v : points)
            com_polyline_add(&p, point_t{v.x, v.y, v.z});
    }
    Polyline(const Polyline&) = delete;
    Polyline& operator=(const Polyline&) = delete;
    ~Polyline() { com_polyline_free(&p); }
    polyline_t* get() { return &p; }
    const polyline_t* get() const { return &p; }
};

// Lists that release their elements (and the crossing list that releases its storage).
template <typename List, void (*Init)(List*), void (*Free)(List*), int (*Num)(const List*)>
struct OwnedList {
    List l{};
    OwnedList() { Init(&l); }
    OwnedList(const OwnedList&) = delete;
    OwnedList& operator=(const OwnedList&) = delete;
    ~OwnedList() { Free(&l); }
    List* get() { return &l; }
    const List* get() const { return &l; }
    int size() const { return Num(&l); }
};
using Polygons = OwnedList<polygons_t, com_polygons_init, com_polygons_free, com_polygons_num>;
using Polylines = OwnedList<polylines_t, com_polylines_init, com_polylines_free, com_polylines_num>;
using Crosspts = OwnedList<crosspts_t, com_crosspts_init, com_crosspts_free, com_crosspts_num>;

// All stored points of a point array, closing point included.
inline std::vector<Xy> points_of(const geom_t* g) {
    std::vector<Xy> out;
    for (int i = 0; i < g->count; ++i)
        out.push_back({g->points[i].x, g->points[i].y, g->points[i].z});
    return out;
}

// Plane (shoelace) signed area of a closed ring: positive when counter-clockwise with y up.
inline double plane_signed_area(const geom_t* g) {
    double twice = 0.0;
    for (int i = 0; i + 1 < g->count; ++i)
        twice += g->points[i].x * g->points[i + 1].y - g->points[i + 1].x * g->points[i].y;
    return twice / 2.0;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_SHAPES_H
