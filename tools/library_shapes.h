// Bridges between the tool's paths and the library's records: owning wrappers that release the
// records with the library's _free functions, and read-back of result lists.
#ifndef MAPGEOM_TOOLS_LIBRARY_SHAPES_H
#define MAPGEOM_TOOLS_LIBRARY_SHAPES_H

#include <vector>

#include "feature_model.h"
#include "mapgeom/com.h"

namespace mapgeom_tool {

Path path_of(const geom_t& geom);

// A library record made by Init and released by Release on destruction: a ring or line built from
// a path (with Add), or an output list for the library to append to.
template <typename Record, void (*Init)(Record*), void (*Release)(Record*),
          void (*Add)(Record*, point_t) = nullptr>
class Lib {
public:
    Lib() { Init(&record_); }
    explicit Lib(const Path& path) : Lib() {
        for (const Vertex& v : path)
            Add(&record_, point_t{v.x, v.y, v.z});
    }
    Lib(const Lib&) = delete;
    Lib& operator=(const Lib&) = delete;
    ~Lib() { Release(&record_); }
    Record* get() { return &record_; }
    int size() const { return record_.num; }
    // The rings or lines of an output list, in order.
    std::vector<Path> paths() const {
        std::vector<Path> paths;
        for (auto node = record_.head; node != nullptr; node = node->next)
            paths.push_back(path_of(geom(*node)));
        return paths;
    }

private:
    static const geom_t& geom(const polygon_node_t& node) { return node.polygon.geom; }
    static const geom_t& geom(const polyline_node_t& node) { return node.polyline.geom; }
    Record record_{};
};

using LibPolygon = Lib<polygon_t, com_polygon_init, com_polygon_free, com_polygon_add>;
using LibPolyline = Lib<polyline_t, com_polyline_init, com_polyline_free, com_polyline_add>;
using LibPolygons = Lib<polygons_t, com_polygons_init, com_polygons_free>;
using LibPolylines = Lib<polylines_t, com_polylines_init, com_polylines_free>;

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_LIBRARY_SHAPES_H
