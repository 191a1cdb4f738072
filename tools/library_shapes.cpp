// Owning wrappers around the library's records and read-back of their points.
#include "library_shapes.h"

namespace mapgeom_tool {

namespace {

point_t point_of(const Vertex& v) {
    return point_t{v.x, v.y, v.z};
}

}  // namespace

Path path_of(const geom_t& geom) {
    Path path;
    path.reserve(static_cast<size_t>(geom.count));
    for (int i = 0; i < geom.count; ++i)
        path.push_back(Vertex{geom.points[i].x, geom.points[i].y, geom.points[i].z});
    return path;
}

LibPolygon::LibPolygon() {
    com_polygon_init(&polygon_);
}

LibPolygon::LibPolygon(const Path& ring) : LibPolygon() {
    for (const Vertex& v : ring)
        com_polygon_add(&polygon_, point_of(v));
}

LibPolygon::~LibPolygon() {
    com_polygon_free(&polygon_);
}

LibPolyline::LibPolyline(const Path& line) {
    com_polyline_init(&polyline_);
    for (const Vertex& v : line)
        com_polyline_add(&polyline_, point_of(v));
}

LibPolyline::~LibPolyline() {
    com_polyline_free(&polyline_);
}

LibPolygons::LibPolygons() {
    com_polygons_init(&list_);
}

LibPolygons::~LibPolygons() {
    com_polygons_free(&list_);
}

std::vector<Path> LibPolygons::rings() const {
    std::vector<Path> rings;
    for (const polygon_node_t* node = list_.head; node != nullptr; node = node->next)
        rings.push_back(path_of(node->polygon.geom));
    return rings;
}

LibPolylines::LibPolylines() {
    com_polylines_init(&list_);
}

LibPolylines::~LibPolylines() {
    com_polylines_free(&list_);
}

std::vector<Path> LibPolylines::lines() const {
    std::vector<Path> lines;
    for (const polyline_node_t* node = list_.head; node != nullptr; node = node->next)
        lines.push_back(path_of(node->polyline.geom));
    return lines;
}

}  // namespace mapgeom_tool
