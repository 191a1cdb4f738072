// clip: every polygon and line clipped by one rectangle, through the library's
// polygon-and-rectangle intersection and its polyline-by-rectangle split. Edges that come from the
// rectangle are press sections of the pieces.
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "geojson_io.h"
#include "library_shapes.h"
#include "mapgeom/algebra.h"
#include "prepare.h"
#include "rings.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

struct ClipOptions {
    CommonOptions common;
    std::string input;
    std::string rect;
};

// What the result codes of the polygon-and-rectangle intersection and of the polyline split by a
// rectangle mean, by code.
const char* const kPolygonCodes[] = {
    "the boundaries cross: the parts inside the rectangle were cut out",
    "the polygon lies within the rectangle (the polygon is the piece)",
    "the rectangle lies within the polygon (the rectangle is the piece, its outline one press "
    "section)",
    "apart",
    "the polygon lies within the rectangle, touching its edge",
    "the rectangle lies within the polygon, touching its edge",
    "the boundaries meet but nothing lies inside"};
const char* const kLineCodes[] = {"cut at the rectangle's edges",
                                  "the line lies within the rectangle", "apart"};

void clip_polygons(Results* run, const Feature& feature, const double rect[4]) {
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        for (const Path& ring : hole_free_rings(feature.polygons[p])) {
            int code = 0;
            for (Path& piece : clip_ring_by_rect(ring, rect, &code)) {
                OutputFeature out = polygon_result(feature, p, PolygonShape{{std::move(piece)}});
                out.properties["result_code"] = code;
                out.properties["result"] = meaning_of(kPolygonCodes, code);
                out.properties["press_sections"] = press_sections_of(out.polygons);
                run->add(std::move(out), feature.index);
            }
        }
    }
}

void clip_lines(Results* run, const Feature& feature, const double rect[4]) {
    for (size_t l = 0; l < feature.lines.size(); ++l) {
        LibPolyline line(feature.lines[l]);
        LibPolygon outline(rect_outline(rect, false));
        LibPolylines out;
        const int code = split_polyline_by_rect(line.get(), outline.get(), out.get());
        for (Path& piece : out.paths()) {
            OutputFeature result = line_result(feature, l, std::move(piece));
            result.properties["result_code"] = code;
            result.properties["result"] = meaning_of(kLineCodes, code);
            run->add(std::move(result), feature.index);
        }
    }
}

void run_clip(const ClipOptions& options) {
    Run run("clip", options.common);
    const std::vector<double> corners = parse_four_numbers(options.rect, "--rect");
    double rect[4];
    for (int i = 0; i < 4; ++i) {
        std::string problem;
        if (!to_library_units(corners[i], i % 2 == 1, run.units(), &rect[i], &problem))
            throw CLI::ValidationError("--rect", problem);
    }
    if (!(rect[0] < rect[2]) || !(rect[1] < rect[3]))
        throw CLI::ValidationError("--rect", "is empty after rounding to whole units");
    const Dataset& dataset = run.load(options.input);
    run.each_feature(dataset, [&rect](const Feature& feature, Results* results) {
        if (feature.kind == ShapeKind::polygons)
            clip_polygons(results, feature, rect);
        else
            clip_lines(results, feature, rect);
    });
    run.picture().add_grid(rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1], 1, 1);
    run.finish();
}

}  // namespace

void register_clip(CLI::App& program) {
    auto options = std::make_shared<ClipOptions>();
    const std::string details =
        "Clips every polygon and line by a rectangle. Pieces keep their feature's properties and "
        "get the result code and its meaning; stretches along the rectangle are press sections. A"
        " line along the rectangle's least-x or least-y edge is kept, along its greatest-x or "
        "greatest-y edge cut away, so that neighbouring rectangles share no line. Polygon codes: " +
        code_list(kPolygonCodes) + " Line codes: " + code_list(kLineCodes) + kHolesCutHelp;
    CLI::App* command = add_command(program, "clip", "Clip polygons and lines by a rectangle",
                                    details, &options->common);
    add_input(command, &options->input);
    command->add_option("--rect", options->rect, "rectangle minx,miny,maxx,maxy")->required();
    command->callback([options] { run_clip(*options); });
}

}  // namespace mapgeom_tool
