// The shared run of a subcommand: options, input loading, result collection and output.
#include "command.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "geojson_io.h"
#include "output_files.h"
#include "rings.h"

namespace mapgeom_tool {

CLI::App* add_command(CLI::App& program, const std::string& name, const std::string& summary,
                      const std::string& details, CommonOptions* options,
                      const std::string& output_help) {
    CLI::App* command = program.add_subcommand(name, summary);
    command->footer("\n" + details);
    command->add_option("-o,--output", options->output, output_help);
    command->add_option("--svg", options->svg,
                        "also draw inputs and results as an SVG picture into this file");
    command
        ->add_option("--units", options->units,
                     "coordinate units of inputs, options and outputs: deg (degrees, default) or "
                     "raw (library units, 1/2560 arc-second)")
        ->check(CLI::IsMember({"deg", "raw"}));
    command->add_flag("-q,--quiet", options->quiet, "print neither progress nor the summary line");
    return command;
}

void add_input(CLI::App* command, std::string* input, const std::string& help) {
    command->add_option("input", *input, help)->required();
}

Run::Run(std::string name, const CommonOptions& options)
    : name_(std::move(name)),
      options_(options),
      units_(parse_units(options.units)),
      start_(std::chrono::steady_clock::now()),
      picture_("mapgeom " + name_) {
    if (!options.svg.empty() && options.svg == options.output)
        throw CLI::ValidationError("--svg", "must name another file than --output");
}

const Dataset& Run::load(const std::string& path, bool draw) {
    inputs_.push_back(read_dataset(path, units_));
    const Dataset& dataset = inputs_.back();
    if (units_ == Units::degrees && !stretch_set_) {
        picture_.set_x_stretch(ground_stretch(dataset.features));
        stretch_set_ = true;
    }
    if (draw && !options_.svg.empty())
        for (const Feature& feature : dataset.features)
            picture_.add_input(feature);
    return dataset;
}

void Run::add(OutputFeature feature, int colour_key) {
    results_.push_back(std::move(feature));
    colour_keys_.push_back(colour_key);
}

void Run::finish(const std::string& summary_extra) {
    OutputFiles files;
    if (!options_.output.empty())
        files.write(options_.output,
                    [&](std::ostream& out) { write_feature_collection(out, results_, units_); });
    if (!options_.svg.empty()) {
        for (size_t i = 0; i < results_.size(); ++i)
            picture_.add_result(results_[i], colour_keys_[i], results_[i].properties.dump());
        files.write(options_.svg, [&](std::ostream& out) { picture_.write(out); });
    }
    files.commit();
    if (options_.quiet)
        return;
    size_t features_in = 0;
    for (const Dataset& dataset : inputs_)
        features_in += dataset.features.size();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "%s: %zu features in, %zu pieces out, %.3f s%s%s\n", name_.c_str(),
                 features_in, results_.size(), seconds, summary_extra.empty() ? "" : ", ",
                 summary_extra.c_str());
}

std::vector<double> parse_four_numbers(const std::string& text, const std::string& option) {
    std::vector<double> values;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        try {
            size_t used = 0;
            values.push_back(std::stod(item, &used));
            if (used != item.size() || !std::isfinite(values.back()))
                throw std::invalid_argument(item);
        } catch (const std::exception&) {
            throw CLI::ValidationError(option, "'" + item + "' is not a number");
        }
    }
    if (values.size() != 4)
        throw CLI::ValidationError(option, "expects four numbers minx,miny,maxx,maxy");
    if (!(values[0] < values[2]) || !(values[1] < values[3]))
        throw CLI::ValidationError(option, "needs minx < maxx and miny < maxy");
    return values;
}

namespace {

Json properties_from(const Feature& source) {
    Json properties = source.properties;
    properties["source_feature"] = source.index;
    if (!source.id.is_null())
        properties["source_id"] = source.id;
    return properties;
}

}  // namespace

OutputFeature same_as(const Feature& source) {
    return OutputFeature{properties_from(source), source.kind, source.polygons, source.lines};
}

OutputFeature polygon_result(const Feature& source, size_t part, PolygonShape polygon) {
    orient_for_output(&polygon);
    OutputFeature feature{properties_from(source), ShapeKind::polygons, {std::move(polygon)}, {}};
    feature.properties["source_polygon"] = part;
    return feature;
}

OutputFeature line_result(const Feature& source, size_t part, Path line) {
    OutputFeature feature{properties_from(source), ShapeKind::lines, {}, {std::move(line)}};
    feature.properties["source_line"] = part;
    return feature;
}

}  // namespace mapgeom_tool
