// Hole handling for ring operations. The library's hole cutting (split of a polygon by its holes
// into pieces whose cut edges are press sections) is not built yet, so polygons with holes are
// refused here, in one place.
#include "holes.h"

namespace mapgeom_tool {

std::vector<Path> hole_free_rings(const PolygonShape& polygon, const std::string& path,
                                  const Feature& feature, size_t polygon_index,
                                  const std::string& command) {
    if (polygon.rings.size() > 1)
        throw InputError(path + ": " + feature.label + ": polygon " +
                         std::to_string(polygon_index) + " has " +
                         std::to_string(polygon.rings.size() - 1) + " hole(s); '" + command +
                         "' takes polygons without holes until hole cutting is available");
    return {polygon.rings[0]};
}

}  // namespace mapgeom_tool
