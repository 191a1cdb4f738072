// dissolve: all polygons (or those sharing a property value) merged by the library's union of
// polygon lists; merged polygons keep the holes the merges enclose as interior rings, or are cut
// into hole-free pieces on request.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "geojson_io.h"
#include "prepare.h"
#include "rings.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

struct DissolveOptions {
    CommonOptions common;
    std::string input;
    std::string by;
    bool no_holes = false;
};

struct Group {
    Json value;  // the --by property's value (null for all, or when the feature lacks it)
    size_t features = 0;
    std::vector<Path> pieces;  // hole-free pieces of every polygon of the group
};

void run_dissolve(const DissolveOptions& options) {
    Run run("dissolve", options.common);
    const Dataset& dataset = run.load(options.input);
    std::map<std::string, Group> groups;  // keyed by the value's JSON text, in a stable order
    std::vector<std::string> order;
    for (const Feature& feature : dataset.features) {
        if (feature.kind != ShapeKind::polygons)
            continue;  // lines are passed over
        Json value;
        if (!options.by.empty()) {
            const auto found = feature.properties.find(options.by);
            if (found != feature.properties.end())
                value = *found;
        }
        const std::string key = value.dump();
        auto [group, fresh] = groups.try_emplace(key);
        if (fresh) {
            group->second.value = value;
            order.push_back(key);
        }
        ++group->second.features;
        for (const PolygonShape& polygon : feature.polygons)
            for (Path& piece : hole_free_rings(polygon))
                group->second.pieces.push_back(std::move(piece));
    }
    int colour = 0;
    for (const std::string& key : order) {
        const Group& group = groups[key];
        for (PolygonShape& polygon : united_polygons(group.pieces)) {
            std::vector<PolygonShape> parts;
            if (options.no_holes) {
                for (Path& piece : hole_free_rings(polygon)) {
                    PolygonShape plain{{std::move(piece)}};
                    orient_for_output(&plain);
                    parts.push_back(std::move(plain));
                }
            } else {
                parts.push_back(std::move(polygon));
            }
            for (PolygonShape& part : parts) {
                OutputFeature out;
                if (!options.by.empty())
                    out.properties[options.by] = group.value;
                out.properties["dissolved_features"] = group.features;
                out.properties["holes"] = part.rings.size() - 1;
                if (options.no_holes)
                    out.properties["press_sections"] = press_sections_of({part});
                out.polygons.push_back(std::move(part));
                run.add(std::move(out), colour);
            }
        }
        ++colour;
    }
    run.finish(std::to_string(order.size()) + " group(s)");
}

}  // namespace

void register_dissolve(CLI::App& program) {
    auto options = std::make_shared<DissolveOptions>();
    const std::string details =
        "Merges all polygons (lines are passed over), or with --by NAME those whose property NAME "
        "has the same value, "
        "with the library's union of polygon lists: polygons that overlap or share an edge "
        "become one; polygons that only touch at points stay apart. Holes the merges enclose "
        "(and the inputs' own holes) come out as interior rings; with --no-holes each merged "
        "polygon is cut into hole-free pieces instead (the cut edges are press sections). Each "
        "result carries the --by value, the number of features of its group "
        "(dissolved_features) and its number of holes." +
        std::string(kHolesCutHelp);
    CLI::App* command = add_command(program, "dissolve",
                                    "Merge polygons (all, or by a property value) into one "
                                    "outline each, holes as interior rings",
                                    details, &options->common);
    add_input(command, &options->input);
    command->add_option("--by", options->by, "merge only polygons sharing this property's value");
    command->add_flag("--no-holes", options->no_holes,
                      "deliver hole-free pieces (holes cut out by vertical cuts)");
    command->callback([options] { run_dissolve(*options); });
}

}  // namespace mapgeom_tool
