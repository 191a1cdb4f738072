// union, intersection, difference: every polygon of the first input combined with the one polygon
// of the second input by the library's two-ring operations. Each operation is one table entry:
// its library function and what each of its result codes means, including which ring stands for
// the result when the rings do not cross and the library appends nothing.
#include <cstdio>
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

// The result when the library appended no ring: nothing, A, B, both, or A with B as a hole.
enum class Stands { nothing, a, b, a_and_b, a_with_hole_b };

struct CodeRule {
    int code;
    const char* meaning;
    Stands stands;
};

struct PairOperation {
    const char* name;
    const char* summary;  // one line for `mapgeom --help`
    const char* details;  // what the operation does, for `mapgeom NAME --help`
    int (*function)(polygon_t* a, polygon_t* b, polygons_t* out);
    // Whether result rings may be holes of other result rings (told apart by orientation).
    bool rings_may_be_holes;
    std::vector<CodeRule> rules;
};

// The two-ring operations built into the program; wiring one more is one entry here.
const std::vector<PairOperation>& pair_operations() {
    static const std::vector<PairOperation> operations = {
        {"union",
         "The union of each polygon of FIRST with the polygon of SECOND",
         "The outline(s) of the area covered by either ring; an area the two rings enclose "
         "together comes out as a hole.",
         algebra_polygons_union,
         true,
         {{0, "the rings cross: the union outline was built", Stands::nothing},
          {1, "A lies within B: the union is B", Stands::b},
          {2, "B lies within A: the union is A", Stands::a},
          {3, "apart: the union is both rings", Stands::a_and_b},
          {-3, "the rings cross, but a result ring is not valid", Stands::nothing}}},
        {"intersection",
         "The area common to each polygon of FIRST and the polygon of SECOND",
         "The outline(s) of the area common to both rings.",
         algebra_polygons_intersec,
         false,
         {{0, "the rings cross: the common area was built", Stands::nothing},
          {1, "A lies within B: the result is A", Stands::a},
          {2, "B lies within A: the result is B", Stands::b},
          {3, "apart: no common area", Stands::nothing},
          {4, "A lies within B, touching it: the result is A", Stands::a},
          {5, "B lies within A, touching it: the result is B", Stands::b},
          {6, "apart, touching: no common area", Stands::nothing},
          {-1, "failed: out of memory", Stands::nothing}}},
        {"difference",
         "Each polygon of FIRST minus the polygon of SECOND",
         "The outline(s) of the area of the first ring outside the second.",
         algebra_polygons_diffence,
         false,
         {{0, "the rings cross: the remaining area was built", Stands::nothing},
          {1, "A lies within B: nothing remains", Stands::nothing},
          {2, "B lies within A: the result is A with B as a hole", Stands::a_with_hole_b},
          {3, "apart: the result is A", Stands::a},
          {4, "A lies within B, touching it: nothing remains", Stands::nothing},
          {5, "B lies within A, touching it: the result is A with B as a hole",
           Stands::a_with_hole_b},
          {6, "apart, touching: the result is A", Stands::a},
          {-1, "failed: out of memory", Stands::nothing}}},
    };
    return operations;
}

const CodeRule& rule_for(const PairOperation& operation, int code) {
    static const CodeRule unknown{0, "unknown result code", Stands::nothing};
    for (const CodeRule& rule : operation.rules)
        if (rule.code == code)
            return rule;
    return unknown;
}

struct PairOptions {
    CommonOptions common;
    std::string first;
    std::string second;
};

// The second input is the operand: exactly one polygon (holes allowed).
const PolygonShape& operand_polygon(const Dataset& dataset, const std::string& command) {
    const PolygonShape* polygon = nullptr;
    size_t polygons = 0;
    for (const Feature& feature : dataset.features) {
        if (feature.kind != ShapeKind::polygons)
            throw InputError(dataset.path + ": " + feature.label + ": '" + command +
                             "' needs a polygon as its second input, not a line");
        polygons += feature.polygons.size();
        if (!feature.polygons.empty())
            polygon = &feature.polygons[0];
    }
    if (polygons != 1)
        throw InputError(dataset.path + ": the second input of '" + command +
                         "' must hold exactly one polygon (it holds " + std::to_string(polygons) +
                         ")");
    return *polygon;
}

// The result polygons of one call: the library's rings, or the rings that stand for the result.
std::vector<PolygonShape> result_polygons(const PairOperation& operation, const CodeRule& rule,
                                          std::vector<Path> rings, const Path& a, const Path& b) {
    if (!rings.empty()) {
        if (operation.rings_may_be_holes)
            return group_rings(std::move(rings));
        std::vector<PolygonShape> polygons;
        for (Path& ring : rings)
            polygons.push_back(PolygonShape{{std::move(ring)}});
        return polygons;
    }
    switch (rule.stands) {
        case Stands::a:
            return {PolygonShape{{a}}};
        case Stands::b:
            return {PolygonShape{{b}}};
        case Stands::a_and_b:
            return {PolygonShape{{a}}, PolygonShape{{b}}};
        case Stands::a_with_hole_b:
            return {PolygonShape{{a, b}}};
        case Stands::nothing:
            break;
    }
    return {};
}

// One call of the library's two-ring operation with its result polygons and rule.
std::vector<PolygonShape> combine(const PairOperation& operation, const Path& a, const Path& b,
                                  int* code, const char** meaning) {
    LibPolygon lib_a(a);
    LibPolygon lib_b(b);
    LibPolygons out;
    *code = operation.function(lib_a.get(), lib_b.get(), out.get());
    const CodeRule& rule = rule_for(operation, *code);
    *meaning = rule.meaning;
    return result_polygons(operation, rule, out.paths(), a, b);
}

// Polygons with holes on either side: their hole-free pieces are combined piece by piece
// (intersection: every pair; difference: each piece of A minus every piece of B in turn; union:
// all pieces of both merged by the union of polygon lists).
std::vector<PolygonShape> combine_holed(const PairOperation& operation, const PolygonShape& a,
                                        const PolygonShape& b) {
    const std::vector<Path> pieces_a = hole_free_rings(a);
    const std::vector<Path> pieces_b = hole_free_rings(b);
    int code = 0;
    const char* meaning = nullptr;
    std::vector<PolygonShape> results;
    if (operation.function == algebra_polygons_union) {
        std::vector<Path> all = pieces_a;
        all.insert(all.end(), pieces_b.begin(), pieces_b.end());
        return united_polygons(all);
    }
    for (const Path& piece : pieces_a) {
        if (operation.function == algebra_polygons_intersec) {
            for (const Path& other : pieces_b)
                for (PolygonShape& polygon : combine(operation, piece, other, &code, &meaning))
                    results.push_back(std::move(polygon));
            continue;
        }
        std::vector<PolygonShape> remaining = {PolygonShape{{piece}}};
        for (const Path& other : pieces_b) {
            std::vector<PolygonShape> next;
            for (const PolygonShape& rest : remaining)
                for (const Path& ring : hole_free_rings(rest))
                    for (PolygonShape& polygon : combine(operation, ring, other, &code, &meaning))
                        next.push_back(std::move(polygon));
            remaining = std::move(next);
        }
        for (PolygonShape& polygon : remaining)
            results.push_back(std::move(polygon));
    }
    return results;
}

void run_pair(const PairOperation& operation, const PairOptions& options) {
    Run run(operation.name, options.common);
    const Dataset& first = run.load(options.first);
    const Dataset& second = run.load(options.second);
    const PolygonShape& b = operand_polygon(second, operation.name);
    for (const Feature& feature : first.features)
        if (feature.kind != ShapeKind::polygons)
            throw InputError(first.path + ": " + feature.label + ": '" + operation.name +
                             "' combines polygons, not lines");
    run.each_feature(first, [&](const Feature& feature, Results* results) {
        for (size_t p = 0; p < feature.polygons.size(); ++p) {
            const PolygonShape& a = feature.polygons[p];
            int code = 0;
            const char* meaning = "polygons with holes: combined piece by piece";
            std::vector<PolygonShape> polygons =
                a.rings.size() == 1 && b.rings.size() == 1
                    ? combine(operation, a.rings[0], b.rings[0], &code, &meaning)
                    : combine_holed(operation, a, b);
            for (PolygonShape& polygon : polygons) {
                OutputFeature piece = polygon_result(feature, p, std::move(polygon));
                piece.properties["result_code"] = code;
                piece.properties["result"] = meaning;
                piece.properties["press_sections"] = press_sections_of(piece.polygons);
                results->add(std::move(piece), feature.index);
            }
        }
    });
    run.finish();
}

void register_pair(CLI::App& program, const PairOperation& operation) {
    auto options = std::make_shared<PairOptions>();
    std::string details =
        std::string(operation.details) +
        " Every polygon of FIRST is combined with the one polygon of SECOND; "
        "each result polygon is a feature with FIRST's properties, result_code "
        "and result (its meaning). Polygons with holes (on either side) are cut into hole-free "
        "pieces by the library's hole cutting and combined piece by piece; the "
        "union then merges all pieces with the union of polygon lists. Result "
        "codes:";
    for (const CodeRule& rule : operation.rules)
        details += " " + std::to_string(rule.code) + " " + rule.meaning + ";";
    CLI::App* command =
        add_command(program, operation.name, operation.summary, details, &options->common);
    command->add_option("first", options->first, "GeoJSON file of polygons")->required();
    command
        ->add_option("second", options->second,
                     "GeoJSON file holding exactly one polygon (holes allowed)")
        ->required();
    command->callback([&operation, options] { run_pair(operation, *options); });
}

}  // namespace

void register_overlay(CLI::App& program) {
    for (const PairOperation& operation : pair_operations())
        register_pair(program, operation);
}

}  // namespace mapgeom_tool
