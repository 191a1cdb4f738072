// repair: rings that cross or touch themselves cut by the library's
// self-intersection repair into rings that do not. Outer-ring pieces become
// polygons; pieces of holes go back into the outer pieces that hold them. Lines
// pass through unchanged.
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "geojson_io.h"
#include "library_shapes.h"
#include "prepare.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

struct RepairOptions {
    CommonOptions common;
    std::string input;
};

void repair_feature(const Feature& feature, Results* run) {
    if (feature.kind == ShapeKind::lines) {
        OutputFeature same = same_as(feature);
        same.properties["repaired"] = false;
        run->add(std::move(same), feature.index);
    }
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        bool cut = false;
        for (PolygonShape& polygon : repaired_polygons(feature.polygons[p], &cut)) {
            OutputFeature out = polygon_result(feature, p, std::move(polygon));
            out.properties["repaired"] = cut;
            run->add(std::move(out), feature.index);
        }
    }
}

void run_repair(const RepairOptions& options) {
    Run run("repair", options.common);
    const Dataset& dataset = run.load(options.input);
    run.each_feature(dataset, repair_feature);
    run.finish();
}

}  // namespace

void register_repair(CLI::App& program) {
    auto options = std::make_shared<RepairOptions>();
    const char* details =
        "Cuts rings that cross or touch themselves into rings that do not (a figure eight becomes"
        " two polygons). Each piece keeps its feature's properties and gets repaired: true when "
        "its polygon was cut. Pieces that nest become polygons with holes; where a ring winds "
        "twice round an area (a pentagram's centre), two overlapping polygons cover it. Faults "
        "that are not crossings (too few points, all points on one line) are passed on after "
        "cleaning; `mapgeom info` tells the validity codes. Lines pass through unchanged.";
    CLI::App* command =
        add_command(program, "repair", "Cut self-crossing or self-touching rings into valid rings",
                    details, &options->common);
    add_input(command, &options->input);
    command->callback([options] { run_repair(*options); });
}

}  // namespace mapgeom_tool
