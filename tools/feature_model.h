// The tool's in-memory picture of a GeoJSON file: features with their properties and their
// polygons (outer ring and holes) or lines, in whole library units.
#ifndef MAPGEOM_TOOLS_FEATURE_MODEL_H
#define MAPGEOM_TOOLS_FEATURE_MODEL_H

#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace mapgeom_tool {

// JSON values that keep their members in the order read (properties come out as they went in).
using Json = nlohmann::ordered_json;

// A vertex in library units with its point code (press code in the last two digits).
struct Vertex {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A closed ring (last vertex repeats the first) or an open line.
using Path = std::vector<Vertex>;

// A polygon: rings[0] is the outer ring, the others are holes.
struct PolygonShape {
    std::vector<Path> rings;
};

enum class ShapeKind { polygons, lines };

struct Feature {
    int index = 0;      // position in the input (0 for a bare geometry)
    std::string label;  // how messages name it, e.g. features[3] (id "bay")
    Json id;            // the feature's "id", null when it has none
    Json properties = Json::object();
    ShapeKind kind = ShapeKind::polygons;
    std::vector<PolygonShape> polygons;  // kind polygons: Polygon or the parts of a MultiPolygon
    std::vector<Path> lines;             // kind lines: LineString or the parts of a MultiLineString
};

struct Dataset {
    std::string path;
    std::vector<Feature> features;
};

// Bad input (unreadable file, malformed JSON, unsupported or broken geometry): the message is one
// line naming the file and the feature.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A failure to write an output file.
struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A feature produced by an operation: the input feature's properties plus what the operation
// adds, and either polygons or lines.
struct OutputFeature {
    Json properties = Json::object();
    ShapeKind kind = ShapeKind::polygons;
    std::vector<PolygonShape> polygons;
    std::vector<Path> lines;
};

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_FEATURE_MODEL_H
