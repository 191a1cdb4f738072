// split: every polygon and line cut by the lines of a second file, through the
// library's split of a polygon by a polyline and of a polyline by a polyline.
// Each cutting line is applied in turn to the pieces that the lines before it
// left.
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

struct SplitOptions {
    CommonOptions common;
    std::string input;
    std::string by;
};

std::vector<Path> cutting_lines(const Dataset& dataset) {
    std::vector<Path> lines;
    for (const Feature& feature : dataset.features) {
        if (feature.kind != ShapeKind::lines)
            throw InputError(dataset.path + ": " + feature.label +
                             ": the --by file must hold lines (LineString, MultiLineString)");
        lines.insert(lines.end(), feature.lines.begin(), feature.lines.end());
    }
    return lines;
}

// A ring cut by one line: the pieces, or the ring itself when the line does not
// cut it.
std::vector<Path> split_ring(const Path& ring, const Path& line) {
    LibPolygon polygon(ring);
    LibPolyline cutter(line);
    LibPolygons out;
    split_polygon_by_polyline(polygon.get(), cutter.get(), out.get());
    if (out.size() == 0)
        return {ring};
    return out.paths();
}

// A line cut by one line at their crossings: the pieces, or the line itself.
std::vector<Path> split_line(const Path& path, const Path& line) {
    LibPolyline a(path);
    LibPolyline b(line);
    LibPolylines out;
    if (split_polyline_by_polyline(a.get(), b.get(), out.get()) != 0 || out.size() == 0)
        return {path};
    return out.paths();
}

template <typename SplitOne>
std::vector<Path> split_by_all(const Path& shape, const std::vector<Path>& cutters,
                               SplitOne split_one) {
    std::vector<Path> pieces = {shape};
    for (const Path& cutter : cutters) {
        std::vector<Path> next;
        for (const Path& piece : pieces)
            for (Path& part : split_one(piece, cutter))
                next.push_back(std::move(part));
        pieces = std::move(next);
    }
    return pieces;
}

void split_feature(Results* run, const Feature& feature, const std::vector<Path>& cutters) {
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        for (const Path& ring : hole_free_rings(feature.polygons[p])) {
            const std::vector<Path> pieces = split_by_all(ring, cutters, split_ring);
            for (const Path& piece : pieces) {
                OutputFeature out = polygon_result(feature, p, PolygonShape{{piece}});
                out.properties["pieces"] = pieces.size();
                run->add(std::move(out), static_cast<int>(run->size()));
            }
        }
    }
    for (size_t l = 0; l < feature.lines.size(); ++l) {
        const std::vector<Path> pieces = split_by_all(feature.lines[l], cutters, split_line);
        for (const Path& piece : pieces) {
            OutputFeature out = line_result(feature, l, piece);
            out.properties["pieces"] = pieces.size();
            run->add(std::move(out), static_cast<int>(run->size()));
        }
    }
}

void run_split(const SplitOptions& options) {
    Run run("split", options.common);
    const Dataset& dataset = run.load(options.input);
    const std::vector<Path> cutters = cutting_lines(run.load(options.by));
    run.each_feature(dataset, [&cutters](const Feature& feature, Results* results) {
        split_feature(results, feature, cutters);
    });
    run.finish();
}

}  // namespace

void register_split(CLI::App& program) {
    auto options = std::make_shared<SplitOptions>();
    const std::string details =
        "Cuts every polygon and line by the lines of another file, one cutting line after "
        "another. A polygon is cut where a line crosses it from boundary to boundary (a line that"
        " ends inside cuts nothing); a line is cut at every crossing. Pieces keep their feature's"
        " properties and get the number of pieces their shape was cut into (pieces)." +
        std::string(kHolesCutHelp);
    CLI::App* command =
        add_command(program, "split", "Cut polygons and lines by the lines of another file",
                    details, &options->common);
    add_input(command, &options->input, "GeoJSON file of polygons and lines");
    command->add_option("--by", options->by, "GeoJSON file of cutting lines")->required();
    command->callback([options] { run_split(*options); });
}

}  // namespace mapgeom_tool
