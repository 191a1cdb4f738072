// Polygons with holes for the operations that take plain rings: the holes are cut out into
// hole-free pieces, or, while the library has no hole cutting, refused with a clear message.
#ifndef MAPGEOM_TOOLS_HOLES_H
#define MAPGEOM_TOOLS_HOLES_H

#include <string>
#include <vector>

#include "feature_model.h"

namespace mapgeom_tool {

// The plain rings that cover `polygon`: its outer ring when it has no holes. Throws InputError
// naming the file, the feature and the command for a polygon with holes.
std::vector<Path> hole_free_rings(const PolygonShape& polygon, const std::string& path,
                                  const Feature& feature, size_t polygon_index,
                                  const std::string& command);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_HOLES_H
