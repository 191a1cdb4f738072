// midline: the middle line between two lines (such as the two edges of a road) by the library's
// road helper create_new_line. Pairs come from a two-part MultiLineString per feature, from a file
// of exactly two lines, or from every line of the input paired with the one line of --with.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "library_shapes.h"
#include "mapgeom/road.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

struct MidlineOptions {
    CommonOptions common;
    std::string input;
    std::string with;
};

// One pair of lines to find the middle of, and where it came from.
struct LinePair {
    const Feature* feature;
    Path a;
    Path b;
    Json extra = Json::object();  // what tells this pair apart (source_line, paired_with)
};

void require_lines(const Dataset& dataset) {
    for (const Feature& feature : dataset.features)
        if (feature.kind != ShapeKind::lines)
            throw InputError(dataset.path + ": " + feature.label +
                             ": 'midline' takes lines (LineString, MultiLineString), not polygons");
}

// The pairs of one file without --with: a two-part MultiLineString per feature, or else a file of
// exactly two lines in all.
std::vector<LinePair> pairs_within(const Dataset& dataset) {
    std::vector<LinePair> pairs;
    bool all_two = !dataset.features.empty();
    for (const Feature& feature : dataset.features)
        all_two = all_two && feature.lines.size() == 2;
    if (all_two) {
        for (const Feature& feature : dataset.features)
            pairs.push_back({&feature, feature.lines[0], feature.lines[1]});
        return pairs;
    }
    std::vector<std::pair<const Feature*, const Path*>> lines;
    for (const Feature& feature : dataset.features)
        for (const Path& line : feature.lines)
            lines.emplace_back(&feature, &line);
    if (lines.size() != 2)
        throw InputError(dataset.path +
                         ": 'midline' needs two lines: a MultiLineString of two lines in every "
                         "feature, two lines in the whole file, or --with FILE (it holds " +
                         std::to_string(lines.size()) + " lines)");
    LinePair pair{lines[0].first, *lines[0].second, *lines[1].second};
    if (lines[1].first != lines[0].first)
        pair.extra["paired_with"] = lines[1].first->index;
    pairs.push_back(std::move(pair));
    return pairs;
}

// Every line of the input with the one line of the --with file.
std::vector<LinePair> pairs_with(const Dataset& dataset, const Dataset& other) {
    const Path* partner = nullptr;
    size_t count = 0;
    for (const Feature& feature : other.features)
        for (const Path& line : feature.lines) {
            partner = &line;
            ++count;
        }
    if (count != 1)
        throw InputError(other.path +
                         ": the --with file of 'midline' must hold exactly one line "
                         "(it holds " +
                         std::to_string(count) + ")");
    std::vector<LinePair> pairs;
    for (const Feature& feature : dataset.features)
        for (size_t l = 0; l < feature.lines.size(); ++l) {
            LinePair pair{&feature, feature.lines[l], *partner};
            pair.extra["source_line"] = l;
            pairs.push_back(std::move(pair));
        }
    return pairs;
}

// The middle line of a pair, or an empty path when either line reduces to fewer than 2 points.
Path middle_line(const LinePair& pair) {
    LibPolyline a(pair.a);
    LibPolyline b(pair.b);
    LibPolyline out;
    if (create_new_line(a.get(), b.get(), out.get()) != 0)
        return {};
    return path_of(out.get()->geom);
}

void run_midline(const MidlineOptions& options) {
    Run run("midline", options.common);
    const Dataset& dataset = run.load(options.input);
    require_lines(dataset);
    std::vector<LinePair> pairs;
    if (options.with.empty()) {
        pairs = pairs_within(dataset);
    } else {
        const Dataset& other = run.load(options.with);
        require_lines(other);
        pairs = pairs_with(dataset, other);
    }
    // The pairs run as the features of a dataset of their own, so that --jobs spreads them.
    Dataset work{dataset.path, {}};
    for (size_t i = 0; i < pairs.size(); ++i) {
        Feature slot;
        slot.index = static_cast<int>(i);
        work.features.push_back(std::move(slot));
    }
    std::vector<char> refused(pairs.size(), 0);
    run.each_feature(work, [&](const Feature& slot, Results* results) {
        const LinePair& pair = pairs[slot.index];
        Path middle = middle_line(pair);
        if (middle.size() < 2) {
            refused[slot.index] = 1;
            return;
        }
        OutputFeature out = same_as(*pair.feature);
        out.kind = ShapeKind::lines;
        out.lines = {std::move(middle)};
        out.properties.update(pair.extra);
        out.properties["vertices"] = out.lines[0].size();
        results->add(std::move(out), pair.feature->index);
    });
    run.finish();
    size_t missed = 0;
    std::string first;
    for (size_t i = 0; i < pairs.size(); ++i)
        if (refused[i] && missed++ == 0)
            first = pairs[i].feature->label;
    if (missed > 0)
        std::fprintf(stderr,
                     "mapgeom: warning: %s: %zu pair(s) gave no middle line: a line reduces to "
                     "fewer than 2 points; the first is %s\n",
                     dataset.path.c_str(), missed, first.c_str());
}

}  // namespace

void register_midline(CLI::App& program) {
    auto options = std::make_shared<MidlineOptions>();
    const char* details =
        "Writes the middle line between two roughly parallel lines, such as the two edges of a "
        "road, by the library's road helper: both lines are first reduced with the graphic "
        "reduction's defaults, the second is turned to run the way the first does (closed lines "
        "by their orientation, open ones by which ends lie nearer), and each vertex of either "
        "line gives the midpoint between it and its foot on the other. The line starts at the "
        "middle of the first ends and stops at the middle of the last ends. Pairs: every feature "
        "a MultiLineString of two lines (one middle line each), or a file of exactly two lines, "
        "or with --with FILE every line of the input paired with the one line of FILE "
        "(source_line tells which). Results keep the first line's feature properties and add "
        "vertices; a pair whose line reduces to fewer than 2 points gives nothing and a warning.";
    CLI::App* command = add_command(program, "midline", "The middle line between two lines",
                                    details, &options->common);
    add_input(command, &options->input, "GeoJSON file of lines ('-' for standard input)");
    command->add_option("--with", options->with,
                        "GeoJSON file of exactly one line, paired with every input line");
    command->callback([options] { run_midline(*options); });
}

}  // namespace mapgeom_tool
