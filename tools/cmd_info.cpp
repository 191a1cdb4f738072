// info: what the library says about each feature: vertex count, area on the earth and in the
// plane, extent and the validity code with its meaning. Prints one line per feature; with -o the
// features are also written back with these facts as properties.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "command.h"
#include "library_shapes.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "rings.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

// What the validity codes of rings and lines mean, by code.
const char* const kRingValidity[] = {"valid",
                                     "the boundary touches itself at a vertex",
                                     "two edges cross",
                                     "fewer than 3 vertices",
                                     "not closed",
                                     "all points on one line",
                                     "two consecutive points coincide"};
const char* const kLineValidity[] = {"valid", "two segments touch at a vertex",
                                     "two segments cross", "fewer than 2 points"};

struct FeatureFacts {
    int vertices = 0;
    double earth_area = 0.0;  // square metres
    double plane_area = 0.0;  // square library units
    rectangle_t extent{
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    int validity = 0;
    std::string validity_where;  // the first faulty ring or line
    std::string validity_meaning = "valid";
};

void widen(rectangle_t* extent, const rectangle_t& more) {
    extent->min_x = std::min(extent->min_x, more.min_x);
    extent->max_x = std::max(extent->max_x, more.max_x);
    extent->min_y = std::min(extent->min_y, more.min_y);
    extent->max_y = std::max(extent->max_y, more.max_y);
}

void note_fault(FeatureFacts* facts, int code, const std::string& where, const char* meaning) {
    if (code == 0 || facts->validity != 0)
        return;
    facts->validity = code;
    facts->validity_where = where;
    facts->validity_meaning = meaning;
}

FeatureFacts polygon_facts(const Feature& feature) {
    FeatureFacts facts;
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        for (size_t r = 0; r < feature.polygons[p].rings.size(); ++r) {
            LibPolygon ring(feature.polygons[p].rings[r]);
            const double sign = r == 0 ? 1.0 : -1.0;
            facts.vertices += com_polygon_num(ring.get());
            facts.earth_area += sign * calc_polygon_area(ring.get());
            facts.plane_area += sign * std::fabs(signed_area(feature.polygons[p].rings[r]));
            widen(&facts.extent, calc_polygon_exrectangle(ring.get()));
            const int code = relation_polygon_iserror(ring.get());
            note_fault(&facts, code, "polygon " + std::to_string(p) + " ring " + std::to_string(r),
                       meaning_of(kRingValidity, code));
        }
    }
    return facts;
}

FeatureFacts line_facts(const Feature& feature) {
    FeatureFacts facts;
    for (size_t l = 0; l < feature.lines.size(); ++l) {
        LibPolyline line(feature.lines[l]);
        facts.vertices += com_polyline_num(line.get());
        widen(&facts.extent, calc_polyline_exrectangle(line.get()));
        const int code = relation_polyline_iserror(line.get());
        note_fault(&facts, code, "line " + std::to_string(l), meaning_of(kLineValidity, code));
    }
    return facts;
}

void print_facts(std::FILE* to, const Feature& feature, const FeatureFacts& facts, Units units) {
    const bool polygons = feature.kind == ShapeKind::polygons;
    const double unit_area = units == Units::degrees ? kUnitsPerDegree * kUnitsPerDegree : 1.0;
    std::fprintf(to, "%s: %zu %s, %d vertices", feature.label.c_str(),
                 polygons ? feature.polygons.size() : feature.lines.size(),
                 polygons ? "polygon(s)" : "line(s)", facts.vertices);
    if (polygons)
        std::fprintf(to, ", area %.1f m2 on the earth, %.10g %s in the plane", facts.earth_area,
                     facts.plane_area / unit_area, units == Units::degrees ? "deg2" : "units2");
    std::fprintf(to, ", extent %.10g %.10g %.10g %.10g, validity %d (%s%s%s)\n",
                 from_library_units(facts.extent.min_x, units),
                 from_library_units(facts.extent.min_y, units),
                 from_library_units(facts.extent.max_x, units),
                 from_library_units(facts.extent.max_y, units), facts.validity,
                 facts.validity_meaning.c_str(), facts.validity_where.empty() ? "" : " in ",
                 facts.validity_where.c_str());
}

OutputFeature annotated(const Feature& feature, const FeatureFacts& facts, Units units) {
    OutputFeature out = same_as(feature);
    out.properties["vertices"] = facts.vertices;
    if (feature.kind == ShapeKind::polygons) {
        const double unit_area = units == Units::degrees ? kUnitsPerDegree * kUnitsPerDegree : 1.0;
        out.properties["earth_area_m2"] = facts.earth_area;
        out.properties["plane_area"] = facts.plane_area / unit_area;
    }
    out.properties["extent"] = {from_library_units(facts.extent.min_x, units),
                                from_library_units(facts.extent.min_y, units),
                                from_library_units(facts.extent.max_x, units),
                                from_library_units(facts.extent.max_y, units)};
    out.properties["validity_code"] = facts.validity;
    out.properties["validity"] = facts.validity_meaning;
    return out;
}

struct InfoOptions {
    CommonOptions common;
    std::string input;
};

void run_info(const InfoOptions& options) {
    Run run("info", options.common);
    const Dataset& dataset = run.load(options.input);
    // The report goes to standard output, unless the GeoJSON goes there.
    std::FILE* report = options.common.output == "-" ? stderr : user_stdout();
    size_t faulty = 0;
    for (const Feature& feature : dataset.features) {
        const FeatureFacts facts =
            feature.kind == ShapeKind::polygons ? polygon_facts(feature) : line_facts(feature);
        print_facts(report, feature, facts, run.units());
        faulty += facts.validity != 0 ? 1 : 0;
        run.add(annotated(feature, facts, run.units()), facts.validity);
    }
    std::fflush(report);
    run.finish(std::to_string(faulty) + " faulty");
}

}  // namespace

void register_info(CLI::App& program) {
    auto options = std::make_shared<InfoOptions>();
    options->common.output.clear();  // the report goes to standard output; GeoJSON only with -o
    const std::string details =
        "Prints one line per feature: vertex count, area on the earth (m2) and in the plane "
        "(deg2, or units2 with --units raw), extent, and the validity code of the first faulty "
        "ring or line with its meaning. Polygon codes: " +
        code_list(kRingValidity) + " Line codes: " + code_list(kLineValidity) +
        " With -o the features are written back with these facts as properties (vertices, "
        "earth_area_m2, plane_area, extent, validity_code, validity).";
    CLI::App* command = add_command(
        program, "info", "Vertex count, earth and plane area, extent and validity of each feature",
        details, &options->common,
        "also write the features with these facts as properties to this GeoJSON file ('-' for "
        "standard output; the report then goes to standard error)");
    add_input(command, &options->input);
    command->callback([options] { run_info(*options); });
}

}  // namespace mapgeom_tool
