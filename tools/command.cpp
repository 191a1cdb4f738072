// The shared run of a subcommand: options, input loading, result collection and output.
#include "command.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <exception>
#include <mutex>
#include <sstream>
#include <thread>

#include "geojson_io.h"
#include "ogr_io.h"
#include "output_files.h"
#include "prepare.h"
#include "progress.h"
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
    command
        ->add_option("-j,--jobs", options->jobs,
                     "threads for the per-feature work (default: the machine's cores); the output "
                     "order does not depend on it")
        ->check(CLI::Range(1, 1024));
    command->add_option("--traces", options->traces,
                        "keep the library's debug trace files in this directory (by default they "
                        "go to a scratch directory that is removed at the end)");
    command->add_flag("--repair", options->repair,
                      "first cut every input ring that crosses or touches itself into valid rings "
                      "with the library's self-intersection repair");
    command->add_flag("--ndjson", options->ndjson,
                      "write newline-delimited GeoJSON, one feature per line (chosen anyway for "
                      "an output named .ndjson, .geojsonl, .geojsons or .jsonl)");
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
    sandbox_ = std::make_unique<TraceSandbox>(options.traces);
}

Run::~Run() = default;

int Run::jobs() const {
    if (options_.jobs > 0)
        return options_.jobs;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

namespace {

// Replaces every polygon of the dataset by its repaired pieces.
void repair_dataset(Dataset* dataset) {
    for (Feature& feature : dataset->features) {
        std::vector<PolygonShape> repaired;
        for (const PolygonShape& polygon : feature.polygons) {
            bool cut = false;
            for (PolygonShape& piece : repaired_polygons(polygon, &cut))
                repaired.push_back(std::move(piece));
        }
        if (feature.kind == ShapeKind::polygons && repaired.empty())
            throw InputError(dataset->path + ": " + feature.label +
                             ": nothing is left of its polygons after the repair");
        feature.polygons = std::move(repaired);
    }
}

}  // namespace

const Dataset& Run::load(const std::string& path, bool draw) {
    inputs_.push_back(read_dataset(path, units_));
    if (options_.repair)
        repair_dataset(&inputs_.back());
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

void Run::add(Results results) {
    for (size_t i = 0; i < results.features.size(); ++i)
        add(std::move(results.features[i]), results.colour_keys[i]);
}

void Run::each_feature(const Dataset& dataset,
                       const std::function<void(const Feature&, Results*)>& work) {
    const size_t count = dataset.features.size();
    std::vector<Results> results(count);
    std::vector<std::exception_ptr> failures(count);
    Progress progress(name_, count, !options_.quiet);
    std::mutex progress_lock;
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    std::atomic<bool> failed{false};
    auto worker = [&] {
        for (size_t i = next++; i < count && !failed; i = next++) {
            try {
                work(dataset.features[i], &results[i]);
            } catch (...) {
                failures[i] = std::current_exception();
                failed = true;
            }
            const size_t finished = ++done;
            std::lock_guard<std::mutex> lock(progress_lock);
            progress.update(finished);
        }
    };
    const size_t threads = std::min(count, static_cast<size_t>(jobs()));
    if (threads <= 1) {
        worker();
    } else {
        std::vector<std::thread> pool;
        for (size_t t = 0; t < threads; ++t)
            pool.emplace_back(worker);
        for (std::thread& thread : pool)
            thread.join();
    }
    progress.clear();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
    for (Results& result : results)
        add(std::move(result));
}

void Run::finish(const std::string& summary_extra) {
    OutputFiles files;
    if (has_ogr_name(options_.output)) {
        std::ostringstream collection;
        write_feature_collection(collection, results_, units_);
        for (const auto& [name, bytes] :
             ogr_files(options_.output, collection.str(), units_ == Units::degrees))
            files.write(name, [&bytes = bytes](std::ostream& out) { out << bytes; });
    } else if (!options_.output.empty()) {
        files.write(options_.output, [&](std::ostream& out) {
            if (options_.ndjson || has_newline_delimited_name(options_.output))
                write_feature_lines(out, results_, units_);
            else
                write_feature_collection(out, results_, units_);
        });
    }
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
    std::fprintf(stderr, "%s: %zu features in, %zu pieces out, %.3f s%s%s, %s\n", name_.c_str(),
                 features_in, results_.size(), seconds, summary_extra.empty() ? "" : ", ",
                 summary_extra.c_str(), sandbox_->summary().c_str());
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
