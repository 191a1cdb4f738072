// Shapefile, GeoPackage and FlatGeobuf through GDAL/OGR, in a build with MAPGEOM_WITH_GDAL: files
// of these formats are read into the same GeoJSON document the built-in reader takes, and results
// are translated from GeoJSON into the format in memory, so that they are written whole like every
// other output. Without GDAL the names are recognised and refused with what to build.
#ifndef MAPGEOM_TOOLS_OGR_IO_H
#define MAPGEOM_TOOLS_OGR_IO_H

#include <string>
#include <utility>
#include <vector>

#include "feature_model.h"

namespace mapgeom_tool {

// Whether a file name says Shapefile (.shp), GeoPackage (.gpkg) or FlatGeobuf (.fgb).
bool has_ogr_name(const std::string& path);

// Every feature of every layer of the file as a GeoJSON FeatureCollection: attributes as
// properties, geometries in degrees (reprojected from the layer's reference system) when
// `to_degrees`, else as stored. Throws InputError (one line naming the file) when it cannot be
// read, or when the program was built without GDAL.
Json read_ogr_document(const std::string& path, bool to_degrees);

// The files that hold `collection` (a GeoJSON FeatureCollection text) in the format of `path`, as
// (file name, bytes): one for GeoPackage and FlatGeobuf, the .shp with its side files for a
// Shapefile. Throws OutputError when the format cannot take the features, or without GDAL.
std::vector<std::pair<std::string, std::string>> ogr_files(const std::string& path,
                                                           const std::string& collection,
                                                           bool in_degrees);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_OGR_IO_H
