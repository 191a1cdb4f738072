// Bridges between the tool's paths and the library's records: owning wrappers that release the
// records with the library's _free functions, and read-back of result lists.
#ifndef MAPGEOM_TOOLS_LIBRARY_SHAPES_H
#define MAPGEOM_TOOLS_LIBRARY_SHAPES_H

#include <vector>

#include "feature_model.h"
#include "mapgeom/com.h"

namespace mapgeom_tool {

// A library polygon ring built from a closed path; released on destruction.
class LibPolygon {
public:
    LibPolygon();
    explicit LibPolygon(const Path& ring);
    LibPolygon(const LibPolygon&) = delete;
    LibPolygon& operator=(const LibPolygon&) = delete;
    ~LibPolygon();
    polygon_t* get() { return &polygon_; }
    const polygon_t* get() const { return &polygon_; }

private:
    polygon_t polygon_{};
};

// A library polyline built from an open path; released on destruction.
class LibPolyline {
public:
    explicit LibPolyline(const Path& line);
    LibPolyline(const LibPolyline&) = delete;
    LibPolyline& operator=(const LibPolyline&) = delete;
    ~LibPolyline();
    polyline_t* get() { return &polyline_; }

private:
    polyline_t polyline_{};
};

// An output list of polygons for the library to append to; released on destruction.
class LibPolygons {
public:
    LibPolygons();
    LibPolygons(const LibPolygons&) = delete;
    LibPolygons& operator=(const LibPolygons&) = delete;
    ~LibPolygons();
    polygons_t* get() { return &list_; }
    int size() const { return list_.num; }
    std::vector<Path> rings() const;

private:
    polygons_t list_{};
};

// An output list of polylines; released on destruction.
class LibPolylines {
public:
    LibPolylines();
    LibPolylines(const LibPolylines&) = delete;
    LibPolylines& operator=(const LibPolylines&) = delete;
    ~LibPolylines();
    polylines_t* get() { return &list_; }
    int size() const { return list_.num; }
    std::vector<Path> lines() const;

private:
    polylines_t list_{};
};

Path path_of(const geom_t& geom);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_LIBRARY_SHAPES_H
