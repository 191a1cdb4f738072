// Read-back of the library's point arrays into the tool's paths.
#include "library_shapes.h"

namespace mapgeom_tool {

Path path_of(const geom_t& geom) {
    Path path;
    path.reserve(static_cast<size_t>(geom.count));
    for (int i = 0; i < geom.count; ++i)
        path.push_back(Vertex{geom.points[i].x, geom.points[i].y, geom.points[i].z});
    return path;
}

}  // namespace mapgeom_tool
