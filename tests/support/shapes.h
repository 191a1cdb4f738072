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

inline point_t pt(const Xy& v) {
    return point_t{v.x, v.y, v.z};
}

// A shape that owns its points, built from a list of them; a polygon's ring is closed
// automatically unless it already is.
template <typename Shape, void (*Init)(Shape*), void (*Add)(Shape*, point_t), void (*Free)(Shape*),
          bool kCloses>
struct OwnedShape {
    Shape p{};
    OwnedShape() { Init(&p); }
    OwnedShape(std::initializer_list<Xy> points) : OwnedShape(std::vector<Xy>(points)) {}
    explicit OwnedShape(const std::vector<Xy>& points) : OwnedShape() {
        for (const Xy& v : points)
            Add(&p, point_t{v.x, v.y, v.z});
        if (kCloses && !points.empty() &&
            (points[0].x != points.back().x || points[0].y != points.back().y))
            Add(&p, point_t{points[0].x, points[0].y, points[0].z});
    }
    OwnedShape(const OwnedShape&) = delete;
    OwnedShape& operator=(const OwnedShape&) = delete;
    ~OwnedShape() { Free(&p); }
    Shape* get() { return &p; }
    const Shape* get() const { return &p; }
};
using Polygon = OwnedShape<polygon_t, com_polygon_init, com_polygon_add, com_polygon_free, true>;
using Polyline =
    OwnedShape<polyline_t, com_polyline_init, com_polyline_add, com_polyline_free, false>;
// A polygon holding exactly the given points (no automatic closing).
using StoredPolygon =
    OwnedShape<polygon_t, com_polygon_init, com_polygon_add, com_polygon_free, false>;

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

// Appends a copy of each ring (closed automatically) to the list.
inline void add_rings(polygons_t* list, const std::vector<std::vector<Xy>>& rings) {
    for (const std::vector<Xy>& ring : rings)
        com_polygons_add_copy(list, *Polygon(ring).get());
}

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
