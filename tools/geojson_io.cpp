// GeoJSON reading with checks that name the feature at fault, and FeatureCollection writing.
#include "geojson_io.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "ogr_io.h"
#include "rings.h"
#include "sandbox.h"

namespace mapgeom_tool {

using json = Json;

namespace {

// A ring needs three distinct vertices to enclose anything; a line needs two.
constexpr size_t kMinRingVertices = 3;
constexpr size_t kMinLineVertices = 2;

// Where in the input a problem sits: the file and the feature, prefixed to every message.
struct Place {
    const std::string& path;
    std::string feature;

    [[noreturn]] void fail(const std::string& what) const {
        throw InputError(path + ": " + (feature.empty() ? "" : feature + ": ") + what);
    }
};

std::string read_text(const std::string& path) {
    if (path == "-")
        return std::string(std::istreambuf_iterator<char>(std::cin), {});
    std::ifstream in(user_path(path), std::ios::binary);
    if (!in)
        throw InputError(path + ": cannot open: " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw InputError(path + ": cannot read: " + std::strerror(errno));
    return text.str();
}

// nlohmann's messages start with "[json.exception.parse_error.101] "; the rest is the useful part.
std::string parse_message(const char* what) {
    const char* end_of_tag = std::strstr(what, "] ");
    return end_of_tag ? end_of_tag + 2 : what;
}

// A number beyond the double range ("number overflow parsing '1e999'"): name its line, since no
// feature has been read yet.
std::string number_overflow_message(const std::string& text, const char* what) {
    std::string message = parse_message(what);
    const size_t open = message.find('\'');
    const size_t close = message.rfind('\'');
    if (open != std::string::npos && close > open + 1) {
        const std::string token = message.substr(open + 1, close - open - 1);
        const size_t at = text.find(token);
        if (at != std::string::npos) {
            const auto line = 1 + std::count(text.begin(), text.begin() + at, '\n');
            message += " at line " + std::to_string(line);
        }
    }
    return message + ": coordinate is not a finite number";
}

std::string feature_label(const json& feature, size_t index, bool in_collection) {
    std::string label = in_collection ? "features[" + std::to_string(index) + "]" : "feature";
    const auto id = feature.find("id");
    if (id != feature.end() && (id->is_string() || id->is_number()))
        label += " (id " + id->dump() + ")";
    return label;
}

Vertex read_position(const json& position, Units units, const Place& place,
                     const std::string& where) {
    if (!position.is_array() || position.size() < 2 || !position[0].is_number() ||
        !position[1].is_number())
        place.fail(where + ": a position must be an array of at least two numbers");
    Vertex v;
    std::string problem;
    if (!to_library_units(position[0].get<double>(), false, units, &v.x, &problem) ||
        !to_library_units(position[1].get<double>(), true, units, &v.y, &problem))
        place.fail(where + ": " + problem);
    return v;
}

Path read_positions(const json& positions, Units units, const Place& place,
                    const std::string& where) {
    if (!positions.is_array())
        place.fail(where + ": coordinates must be an array of positions");
    Path path;
    path.reserve(positions.size());
    for (size_t i = 0; i < positions.size(); ++i)
        path.push_back(
            read_position(positions[i], units, place, where + " position " + std::to_string(i)));
    return path;
}

// Consecutive vertices that are distinct after rounding to whole units.
size_t distinct_vertices(const Path& path) {
    size_t count = path.empty() ? 0 : 1;
    for (size_t i = 1; i < path.size(); ++i)
        if (path[i].x != path[i - 1].x || path[i].y != path[i - 1].y)
            ++count;
    return count;
}

Path read_ring(const json& positions, Units units, const Place& place, const std::string& where) {
    Path ring = read_positions(positions, units, place, where);
    if (ring.empty())
        place.fail(where + " is empty");
    const Vertex first = ring.front();
    if (ring.size() == 1 || ring.back().x != first.x || ring.back().y != first.y)
        ring.push_back(first);
    // Counted without the closing point, and without a last vertex that repeats the first.
    const Path open(ring.begin(), ring.end() - 1);
    size_t distinct = distinct_vertices(open);
    if (distinct > 1 && open.back().x == first.x && open.back().y == first.y)
        --distinct;
    if (distinct < kMinRingVertices)
        place.fail(where + " has " + std::to_string(distinct) +
                   " distinct vertices after rounding to whole units; a ring needs at least 3");
    return ring;
}

Path read_line(const json& positions, Units units, const Place& place, const std::string& where) {
    Path line = read_positions(positions, units, place, where);
    const size_t distinct = distinct_vertices(line);
    if (distinct < kMinLineVertices)
        place.fail(where + " has " + std::to_string(distinct) +
                   " distinct vertices after rounding to whole units; a line needs at least 2");
    return line;
}

PolygonShape read_polygon(const json& rings, Units units, const Place& place,
                          const std::string& where) {
    if (!rings.is_array() || rings.empty())
        place.fail(where + " has no rings");
    PolygonShape polygon;
    for (size_t r = 0; r < rings.size(); ++r)
        polygon.rings.push_back(
            read_ring(rings[r], units, place, where + " ring " + std::to_string(r)));
    return polygon;
}

void read_geometry(const json& geometry, Units units, const Place& place, Feature* feature) {
    if (geometry.is_null())
        place.fail("has no geometry (null)");
    if (!geometry.is_object() || !geometry.contains("type") || !geometry["type"].is_string())
        place.fail("geometry must be an object with a \"type\"");
    const std::string type = geometry["type"].get<std::string>();
    const bool known = type == "Polygon" || type == "MultiPolygon" || type == "LineString" ||
                       type == "MultiLineString";
    if (!known)
        place.fail("geometry type \"" + type +
                   "\" is not supported (Polygon, MultiPolygon, LineString and MultiLineString "
                   "are)");
    const auto coordinates = geometry.find("coordinates");
    if (coordinates == geometry.end() || !coordinates->is_array() || coordinates->empty())
        place.fail(type + " has no coordinates");
    if (type == "Polygon") {
        feature->polygons.push_back(read_polygon(*coordinates, units, place, "polygon"));
    } else if (type == "MultiPolygon") {
        for (size_t p = 0; p < coordinates->size(); ++p)
            feature->polygons.push_back(
                read_polygon((*coordinates)[p], units, place, "polygon " + std::to_string(p)));
    } else if (type == "LineString") {
        feature->kind = ShapeKind::lines;
        feature->lines.push_back(read_line(*coordinates, units, place, "line"));
    } else {
        feature->kind = ShapeKind::lines;
        for (size_t l = 0; l < coordinates->size(); ++l)
            feature->lines.push_back(
                read_line((*coordinates)[l], units, place, "line " + std::to_string(l)));
    }
}

Feature read_feature(const json& item, size_t index, bool in_collection, Units units,
                     const std::string& path) {
    Place place{path, in_collection ? "features[" + std::to_string(index) + "]" : "feature"};
    if (!item.is_object())
        place.fail("is not a JSON object");
    place.feature = feature_label(item, index, in_collection);
    const auto type = item.find("type");
    if (type == item.end() || *type != "Feature")
        place.fail("\"type\" must be \"Feature\"");
    Feature feature;
    feature.index = static_cast<int>(index);
    feature.label = place.feature;
    const auto id = item.find("id");
    if (id != item.end())
        feature.id = *id;
    const auto properties = item.find("properties");
    if (properties != item.end() && !properties->is_null()) {
        if (!properties->is_object())
            place.fail("\"properties\" must be an object or null");
        feature.properties = *properties;
    }
    const auto geometry = item.find("geometry");
    if (geometry == item.end())
        place.fail("has no \"geometry\" member");
    read_geometry(*geometry, units, place, &feature);
    return feature;
}

json coordinates_of(const Path& path, Units units) {
    json positions = json::array();
    for (const Vertex& v : path) {
        if (units == Units::raw)
            positions.push_back({static_cast<long long>(v.x), static_cast<long long>(v.y)});
        else
            positions.push_back({from_library_units(v.x, units), from_library_units(v.y, units)});
    }
    return positions;
}

json coordinates_of(const PolygonShape& polygon, Units units) {
    json rings = json::array();
    for (const Path& ring : polygon.rings)
        rings.push_back(coordinates_of(ring, units));
    return rings;
}

// A geometry of one part (`type`) or of several ("Multi" + `type`).
template <typename Part>
json geometry_of(const std::vector<Part>& parts, const std::string& type, Units units) {
    if (parts.size() == 1)
        return {{"type", type}, {"coordinates", coordinates_of(parts[0], units)}};
    json coordinates = json::array();
    for (const Part& part : parts)
        coordinates.push_back(coordinates_of(part, units));
    return {{"type", "Multi" + type}, {"coordinates", coordinates}};
}

json geometry_of(const OutputFeature& feature, Units units) {
    if (feature.kind == ShapeKind::polygons)
        return geometry_of(feature.polygons, "Polygon", units);
    return geometry_of(feature.lines, "LineString", units);
}

}  // namespace

namespace {

// Newline-delimited GeoJSON: one Feature (or bare geometry) per line. Told apart from a document
// by its name, or by a first line that is a whole JSON object while the whole text is not one.
bool newline_delimited(const std::string& path, const std::string& text) {
    if (has_newline_delimited_name(path))
        return true;
    const size_t end = text.find('\n');
    if (end == std::string::npos || end + 1 >= text.size())
        return false;
    const json first = json::parse(text.substr(0, end), nullptr, false);
    return first.is_object() && !json::accept(text);
}

Dataset read_lines(const std::string& path, const std::string& text, Units units) {
    Dataset dataset;
    dataset.path = path;
    std::istringstream lines(text);
    std::string line;
    for (size_t number = 1; std::getline(lines, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        json item;
        try {
            item = json::parse(line);
        } catch (const json::parse_error& error) {
            throw InputError(path + ": line " + std::to_string(number) +
                             ": malformed JSON: " + parse_message(error.what()));
        } catch (const json::exception& error) {
            throw InputError(path + ": line " + std::to_string(number) + ": " +
                             number_overflow_message(line, error.what()));
        }
        // A "type" that is no string is no Feature (value() would throw a JSON type error).
        const bool is_feature = item.is_object() && item.contains("type") &&
                                item["type"].is_string() && item["type"] == "Feature";
        if (item.is_object() && !is_feature)
            item = {{"type", "Feature"}, {"properties", nullptr}, {"geometry", item}};
        dataset.features.push_back(read_feature(item, dataset.features.size(), true, units, path));
    }
    return dataset;
}

}  // namespace

bool has_newline_delimited_name(const std::string& path) {
    for (const char* suffix : {".ndjson", ".geojsonl", ".geojsons", ".jsonl"}) {
        const std::string end(suffix);
        if (path.size() > end.size() &&
            path.compare(path.size() - end.size(), end.size(), end) == 0)
            return true;
    }
    return false;
}

Dataset read_dataset(const std::string& path, Units units) {
    if (has_ogr_name(path))
        return read_document(path, read_ogr_document(path, units == Units::degrees), units);
    const std::string text = read_text(path);
    if (newline_delimited(path, text))
        return read_lines(path, text, units);
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        throw InputError(path + ": malformed JSON: " + parse_message(error.what()));
    } catch (const json::exception& error) {
        throw InputError(path + ": " + number_overflow_message(text, error.what()));
    }
    return read_document(path, document, units);
}

Dataset read_document(const std::string& path, const Json& document, Units units) {
    Place place{path, ""};
    if (!document.is_object() || !document.contains("type") || !document["type"].is_string())
        place.fail("the top level must be a GeoJSON object with a \"type\"");
    Dataset dataset;
    dataset.path = path;
    const std::string type = document["type"].get<std::string>();
    if (type == "FeatureCollection") {
        const auto features = document.find("features");
        if (features == document.end() || !features->is_array())
            place.fail("a FeatureCollection needs a \"features\" array");
        for (size_t i = 0; i < features->size(); ++i)
            dataset.features.push_back(read_feature((*features)[i], i, true, units, path));
    } else if (type == "Feature") {
        dataset.features.push_back(read_feature(document, 0, false, units, path));
    } else {
        const json feature = {{"type", "Feature"}, {"properties", nullptr}, {"geometry", document}};
        dataset.features.push_back(read_feature(feature, 0, false, units, path));
    }
    return dataset;
}

void write_feature_lines(std::ostream& out, const std::vector<OutputFeature>& features,
                         Units units) {
    for (const OutputFeature& feature : features)
        out << json{{"type", "Feature"},
                    {"properties", feature.properties},
                    {"geometry", geometry_of(feature, units)}}
                   .dump()
            << '\n';
}

void write_feature_collection(std::ostream& out, const std::vector<OutputFeature>& features,
                              Units units) {
    out << "{\"type\":\"FeatureCollection\",\"features\":[";
    for (size_t i = 0; i < features.size(); ++i) {
        const json feature = {{"type", "Feature"},
                              {"properties", features[i].properties},
                              {"geometry", geometry_of(features[i], units)}};
        out << (i == 0 ? "\n" : ",\n") << feature.dump();
    }
    out << "\n]}\n";
}

json press_sections_of(const std::vector<PolygonShape>& polygons) {
    json sections = json::array();
    for (size_t p = 0; p < polygons.size(); ++p)
        for (size_t r = 0; r < polygons[p].rings.size(); ++r)
            for (const auto& [first, last] : press_ranges(polygons[p].rings[r], true))
                sections.push_back({p, r, first, last});
    return sections;
}

}  // namespace mapgeom_tool
