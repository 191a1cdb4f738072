// What every subcommand shares: the common options (output, picture, units), loading inputs, and
// a run that collects result features and writes the outputs whole at the end with a one-line
// summary. Each subcommand group registers itself through one function listed in main.cpp.
#ifndef MAPGEOM_TOOLS_COMMAND_H
#define MAPGEOM_TOOLS_COMMAND_H

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "feature_model.h"
#include "sandbox.h"
#include "svg_writer.h"
#include "units.h"

namespace mapgeom_tool {

struct CommonOptions {
    std::string output = "-";  // GeoJSON result ("-" for standard output, empty for none)
    std::string svg;           // picture, none when empty
    std::string units = "deg";
    bool quiet = false;
    int jobs = 0;         // worker threads for per-feature work; 0: the machine's cores
    std::string traces;   // keep the library's trace files here; empty: a removed scratch directory
    bool repair = false;  // run the self-intersection repair on every input polygon first
    bool ndjson = false;  // write newline-delimited GeoJSON (also chosen by the output name)
};

// The result features of one piece of work, in order, each with the key that colours it.
struct Results {
    std::vector<OutputFeature> features;
    std::vector<int> colour_keys;

    void add(OutputFeature feature, int colour_key) {
        features.push_back(std::move(feature));
        colour_keys.push_back(colour_key);
    }
    size_t size() const { return features.size(); }
};

// Adds a subcommand with a one-line summary (listed by `mapgeom --help`), the details shown by
// `mapgeom NAME --help`, and the common options -o/--output, --svg, --units and --quiet.
CLI::App* add_command(
    CLI::App& program, const std::string& name, const std::string& summary,
    const std::string& details, CommonOptions* options,
    const std::string& output_help = "GeoJSON file to write (default: standard output)");

// Adds the positional input file.
void add_input(CLI::App* command, std::string* input,
               const std::string& help = "GeoJSON file ('-' for standard input)");

// A subcommand group adds its subcommands to the program.
using Registration = void (*)(CLI::App& program);

// One execution of a subcommand.
class Run {
public:
    Run(std::string name, const CommonOptions& options);
    ~Run();

    Units units() const { return units_; }
    // Reads an input file (units of the run) and remembers it for the summary and the picture.
    const Dataset& load(const std::string& path, bool draw = true);
    // Adds a result feature; the picture colours it by `colour_key`.
    void add(OutputFeature feature, int colour_key);
    void add(Results results);
    // Runs `work` on every feature of `dataset` on --jobs threads (with progress on a terminal)
    // and adds the results in input order, as one thread would. A failure on any feature is
    // thrown after every thread has stopped; the one of the earliest feature wins.
    void each_feature(const Dataset& dataset,
                      const std::function<void(const Feature&, Results*)>& work);
    int jobs() const;
    SvgPicture& picture() { return picture_; }
    size_t result_count() const { return results_.size(); }

    // Writes the GeoJSON (and the picture when asked), renames them into place and prints
    // "NAME: F features in, P pieces out, T s" on standard error unless quiet.
    void finish(const std::string& summary_extra = "");

private:
    std::string name_;
    CommonOptions options_;
    std::unique_ptr<TraceSandbox> sandbox_;
    Units units_;
    std::chrono::steady_clock::time_point start_;
    std::deque<Dataset> inputs_;  // a deque: loading another input keeps references valid
    std::vector<OutputFeature> results_;
    std::vector<int> colour_keys_;
    SvgPicture picture_;
    bool stretch_set_ = false;
};

// Parses "a,b,c,d" into four numbers; throws CLI::ValidationError naming the option.
std::vector<double> parse_four_numbers(const std::string& text, const std::string& option);

// A result feature that is `source` itself: its geometry, its properties plus its index
// (source_feature) and id (source_id, when it has one). The operation adds its own properties.
OutputFeature same_as(const Feature& source);

// Result features made from part `part` (a polygon or a line) of `source`: its properties,
// source_feature and source_id as above, and source_polygon or source_line; polygons are oriented
// for output.
OutputFeature polygon_result(const Feature& source, size_t part, PolygonShape polygon);
OutputFeature line_result(const Feature& source, size_t part, Path line);

// The meaning of a result code from a table indexed by code.
template <size_t N>
const char* meaning_of(const char* const (&meanings)[N], int code) {
    return code >= 0 && code < static_cast<int>(N) ? meanings[code] : "unknown code";
}

// "0 meaning; 1 meaning; ..." for help texts.
template <size_t N>
std::string code_list(const char* const (&meanings)[N]) {
    std::string list;
    for (size_t code = 0; code < N; ++code)
        list += (code == 0 ? "" : "; ") + std::to_string(code) + " " + meanings[code];
    return list + ".";
}

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_COMMAND_H
