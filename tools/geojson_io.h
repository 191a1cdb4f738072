// Reading GeoJSON files into features (checked and converted to library units) and writing
// features back as a GeoJSON FeatureCollection.
#ifndef MAPGEOM_TOOLS_GEOJSON_IO_H
#define MAPGEOM_TOOLS_GEOJSON_IO_H

#include <ostream>
#include <string>
#include <vector>

#include "feature_model.h"
#include "units.h"

namespace mapgeom_tool {

// Reads a FeatureCollection, a Feature or a bare Polygon / MultiPolygon / LineString /
// MultiLineString, or newline-delimited GeoJSON (one Feature or geometry per line; by the file
// name, or when the first line is a JSON object and the whole text is not one document), or by
// its name a Shapefile, GeoPackage or FlatGeobuf (ogr_io.h). Throws
// InputError with a one-line message naming the file and the feature for unreadable files,
// malformed JSON, other geometry types, empty or too-short rings and lines, and coordinates that
// are not finite or out of range. Rings that are not closed are closed.
Dataset read_dataset(const std::string& path, Units units);

// The features of a parsed GeoJSON document, checked and converted as read_dataset does.
Dataset read_document(const std::string& path, const Json& document, Units units);

// Whether a file name says newline-delimited GeoJSON (.ndjson, .geojsonl, .geojsons, .jsonl).
bool has_newline_delimited_name(const std::string& path);

// Writes the features as newline-delimited GeoJSON: one Feature per line, nothing around them.
void write_feature_lines(std::ostream& out, const std::vector<OutputFeature>& features,
                         Units units);

// Writes the features as a FeatureCollection, one feature per line.
void write_feature_collection(std::ostream& out, const std::vector<OutputFeature>& features,
                              Units units);

// The press sections of a polygon as [polygon, ring, first vertex, last vertex] lists: stretches
// from a point with press code 2 to the next with code 3 (last < first when the stretch runs over
// the ring's closing point).
Json press_sections_of(const std::vector<PolygonShape>& polygons);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_GEOJSON_IO_H
