// Per-shape operations: simplify (the library's graphic reduction), triangulate (ear clipping),
// convex (convex splitting by diagonals) and skeleton (centre lines), each on every feature.
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "command.h"
#include "geojson_io.h"
#include "library_shapes.h"
#include "mapgeom/concave.h"
#include "mapgeom/convex.h"
#include "mapgeom/optimize.h"
#include "mapgeom/skeleton.h"
#include "mapgeom/triangulate.h"
#include "prepare.h"
#include "rings.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

// ---------------------------------------------------------------------------------------------
// simplify

struct SimplifyOptions {
    CommonOptions common;
    std::string input;
    // Negative: not given, so the library's defaults hold.
    double min_angle = -1, min_length = -1, min_height = -1, min_area = -1, keep_arm_length = -1;
    bool named() const {
        return min_angle >= 0 || min_length >= 0 || min_height >= 0 || min_area >= 0 ||
               keep_arm_length >= 0;
    }
};

// Press sections a tile or clip run wrote as properties ([polygon, ring, first, last]) become
// press codes again (2 first, 3 last), so that the reduction keeps those vertices.
void mark_press_sections(const Feature& feature, std::vector<PolygonShape>* polygons) {
    const auto sections = feature.properties.find("press_sections");
    if (sections == feature.properties.end() || !sections->is_array())
        return;
    for (const Json& section : *sections) {
        if (!section.is_array() || section.size() != 4 || !section[0].is_number_unsigned() ||
            !section[1].is_number_unsigned() || !section[2].is_number_unsigned() ||
            !section[3].is_number_unsigned())
            continue;
        const size_t p = section[0], r = section[1], first = section[2], last = section[3];
        if (p >= polygons->size() || r >= (*polygons)[p].rings.size())
            continue;
        Path& ring = (*polygons)[p].rings[r];
        if (first >= ring.size() || last >= ring.size())
            continue;
        ring[first].z = 2;
        ring[last].z = 3;
    }
}

Path reduce_ring(const Path& ring, const SimplifyOptions& options, int* code) {
    LibPolygon in(ring);
    LibPolygon out;
    if (options.named()) {
        polygon_param_t param;
        param.min_angle = options.min_angle >= 0 ? options.min_angle : 0.0;
        param.min_length = options.min_length >= 0 ? options.min_length : 0.0;
        param.min_height = options.min_height >= 0 ? options.min_height : 0.0;
        param.min_area = options.min_area >= 0 ? options.min_area : 0.0;
        param.keep_arm_length = options.keep_arm_length >= 0 ? options.keep_arm_length : 0.0;
        *code = reduc_polygon(in.get(), out.get(), &param);
    } else {
        *code = reduc_polygon_by_defult(in.get(), out.get());
    }
    return path_of(out.get()->geom);
}

Path reduce_line(const Path& line, const SimplifyOptions& options) {
    LibPolyline in(line);
    LibPolyline out;
    if (options.named()) {
        polyline_param_t param;
        param.min_angle = options.min_angle >= 0 ? options.min_angle : 0.0;
        param.min_length = options.min_length >= 0 ? options.min_length : 0.0;
        param.min_height = options.min_height >= 0 ? options.min_height : 0.0;
        reduc_polyline(in.get(), out.get(), &param);
    } else {
        reduc_polyline_by_defult(in.get(), out.get());
    }
    Path reduced = path_of(out.get()->geom);
    return reduced.size() >= 2 ? reduced : line;
}

size_t vertex_count(const std::vector<PolygonShape>& polygons, const std::vector<Path>& lines) {
    size_t count = 0;
    for (const PolygonShape& polygon : polygons)
        for (const Path& ring : polygon.rings)
            count += ring.size();
    for (const Path& line : lines)
        count += line.size();
    return count;
}

void simplify_feature(const Feature& feature, const SimplifyOptions& options, Results* results) {
    OutputFeature out = same_as(feature);
    const size_t before = vertex_count(out.polygons, out.lines);
    mark_press_sections(feature, &out.polygons);
    size_t collapsed = 0;
    std::vector<PolygonShape> kept;
    for (PolygonShape& polygon : out.polygons) {
        PolygonShape reduced;
        for (size_t r = 0; r < polygon.rings.size(); ++r) {
            int code = 0;
            Path ring = reduce_ring(polygon.rings[r], options, &code);
            if (code != 0) {  // collapsed: a hole vanishes, an outer ring takes its holes along
                ++collapsed;
                if (r == 0)
                    break;
                continue;
            }
            reduced.rings.push_back(std::move(ring));
        }
        if (!reduced.rings.empty()) {
            orient_for_output(&reduced);
            kept.push_back(std::move(reduced));
        }
    }
    out.polygons = std::move(kept);
    for (Path& line : out.lines)
        line = reduce_line(line, options);
    if (feature.kind == ShapeKind::polygons && out.polygons.empty())
        return;  // reduced away entirely
    out.properties["vertices_before"] = before;
    out.properties["vertices_after"] = vertex_count(out.polygons, out.lines);
    out.properties["rings_collapsed"] = collapsed;
    if (feature.kind == ShapeKind::polygons)
        out.properties["press_sections"] = press_sections_of(out.polygons);
    results->add(std::move(out), feature.index);
}

void run_simplify(const SimplifyOptions& options) {
    Run run("simplify", options.common);
    const Dataset& dataset = run.load(options.input);
    run.each_feature(dataset, [&options](const Feature& feature, Results* results) {
        simplify_feature(feature, options, results);
    });
    run.finish();
}

void register_simplify(CLI::App& program) {
    auto options = std::make_shared<SimplifyOptions>();
    const char* details =
        "Reduces every ring and line with the library's graphic reduction: vertices are dropped "
        "where the outline turns by little, along short edges, low bumps and small areas; every "
        "output vertex is an input vertex. Without threshold options the library's defaults hold "
        "(rings: min angle 61, min length 310, min height 50, min area 14000, arm length kept "
        "2000; lines: min angle 61, min length 310, min height 110, in library units and "
        "degrees); naming any threshold sets the others to 0. Press sections that tile or clip "
        "wrote into the press_sections property keep their vertices. A hole that collapses is "
        "dropped, a polygon whose outer ring collapses is dropped with its holes; results carry "
        "vertices_before, vertices_after and rings_collapsed.";
    CLI::App* command =
        add_command(program, "simplify", "Reduce outlines and lines with the graphic reduction",
                    details, &options->common);
    add_input(command, &options->input);
    command->add_option("--min-angle", options->min_angle, "degrees")
        ->check(CLI::Range(0.0, 180.0));
    command->add_option("--min-length", options->min_length, "library units")
        ->check(CLI::NonNegativeNumber);
    command->add_option("--min-height", options->min_height, "library units")
        ->check(CLI::NonNegativeNumber);
    command->add_option("--min-area", options->min_area, "square library units (rings only)")
        ->check(CLI::NonNegativeNumber);
    command->add_option("--keep-arm-length", options->keep_arm_length, "library units (rings only)")
        ->check(CLI::NonNegativeNumber);
    command->callback([options] { run_simplify(*options); });
}

// ---------------------------------------------------------------------------------------------
// triangulate

struct PieceOptions {
    CommonOptions common;
    std::string input;
    bool diagonals = false;
    std::string method = "one-pass";
};

void triangulate_feature(const Feature& feature, Results* results) {
    if (feature.kind == ShapeKind::lines)
        return;  // lines are passed over
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        for (const Path& ring : hole_free_rings(feature.polygons[p])) {
            LibPolygon polygon(ring);
            LibPolygon triangles;
            const int code = optimize_polygon_triangles(polygon.get(), triangles.get());
            const Path flat = path_of(triangles.get()->geom);
            OutputFeature out = polygon_result(feature, p, PolygonShape{});
            out.polygons.clear();
            for (size_t t = 0; t + 2 < flat.size(); t += 3) {
                PolygonShape triangle{{{flat[t], flat[t + 1], flat[t + 2], flat[t]}}};
                orient_for_output(&triangle);
                out.polygons.push_back(std::move(triangle));
            }
            if (out.polygons.empty())
                continue;
            out.properties["result_code"] = code;
            out.properties["triangles"] = out.polygons.size();
            results->add(std::move(out), static_cast<int>(results->size()) + feature.index);
        }
    }
}

void run_triangulate(const PieceOptions& options) {
    Run run("triangulate", options.common);
    run.each_feature(run.load(options.input), triangulate_feature);
    run.finish();
}

void register_triangulate(CLI::App& program) {
    auto options = std::make_shared<PieceOptions>();
    const std::string details =
        "Cuts every polygon into triangles by the library's ear clipping; lines are passed over. "
        "Each ring gives one "
        "MultiPolygon feature of its triangles, with triangles (their number) and result_code (0 "
        "done; -1 a ring that crosses itself: the triangles found until then)." +
        std::string(kHolesCutHelp);
    CLI::App* command = add_command(program, "triangulate", "Cut polygons into triangles", details,
                                    &options->common);
    add_input(command, &options->input);
    command->callback([options] { run_triangulate(*options); });
}

// ---------------------------------------------------------------------------------------------
// convex

// The convex splitting by diagonals: pieces with the diagonals as vertex index pairs of the ring,
// or with --diagonals the diagonals as lines.
void split_ring_convex(const Feature& feature, size_t p, Path ring, bool diagonals,
                       Results* results) {
    LibPolygon polygon(ring);
    LibPolygons pieces;
    const int vertices = com_polygon_num(polygon.get());
    std::vector<int> indexes(2 * static_cast<size_t>(std::max(vertices, 3)));
    const int written = graphic_to_convex(polygon.get(), pieces.get(), indexes.data());
    std::vector<Path> parts = pieces.paths();
    if (parts.empty())
        parts.push_back(ring);  // already convex (or refused as invalid)
    const Path vertices_of = path_of(polygon.get()->geom);
    Json cut = Json::array();
    std::vector<Path> cut_lines;
    for (int i = 0; i + 1 < written; i += 2) {
        cut.push_back({indexes[i], indexes[i + 1]});
        if (indexes[i] < static_cast<int>(vertices_of.size()) &&
            indexes[i + 1] < static_cast<int>(vertices_of.size()))
            cut_lines.push_back({vertices_of[indexes[i]], vertices_of[indexes[i + 1]]});
    }
    if (diagonals) {
        for (Path& line : cut_lines) {
            OutputFeature out = line_result(feature, p, std::move(line));
            out.properties.erase("source_line");
            out.properties["source_polygon"] = p;
            results->add(std::move(out), feature.index);
        }
        return;
    }
    for (Path& part : parts) {
        OutputFeature out = polygon_result(feature, p, PolygonShape{{std::move(part)}});
        out.properties["pieces"] = parts.size();
        out.properties["diagonals"] = cut;
        results->add(std::move(out), static_cast<int>(results->size()));
    }
}

// non_show bits of the concave decomposition: the edge to the next vertex, from the previous one.
constexpr int kHideNext = 1;
constexpr int kHidePrevious = 2;

// A piece of the concave decomposition: its closed ring and the non_show flag of every point.
struct FlaggedPiece {
    Path ring;
    std::vector<int> non_show;
};

// The input of the concave decomposition: the ring's vertices in whole units, the edges of its
// press sections (cuts of the hole cutting) flagged hidden like the diagonals.
std::vector<_InPoint> flagged_points(const Path& ring) {
    std::vector<_InPoint> points;
    for (const Vertex& v : ring)
        points.push_back(
            {static_cast<int>(std::lround(v.x)), static_cast<int>(std::lround(v.y)), 0});
    const int distinct = static_cast<int>(ring.size()) - 1;
    for (const auto& [first, last] : press_ranges(ring, true))
        for (int k = first % distinct; k != last % distinct; k = (k + 1) % distinct)
            points[k].non_show |= kHideNext;
    points.back().non_show = points.front().non_show;
    return points;
}

// The pieces of MakePolyProtru, or the ring itself (with its input flags) when the library made
// none: a convex ring (code 2), one that crosses itself (1) or a failure (-1).
std::vector<FlaggedPiece> fill_pieces(const Path& ring, int* code) {
    const std::vector<_InPoint> points = flagged_points(ring);
    _polygon* chain = nullptr;
    int count = 0;
    *code = MakePolyProtru(&chain, &count, points.data(), static_cast<int>(points.size()));
    std::vector<FlaggedPiece> pieces;
    if (*code == 0) {
        for (const _polygon* piece = chain; piece != nullptr; piece = piece->next) {
            FlaggedPiece flagged;
            for (int i = 0; i < piece->num; ++i) {
                flagged.ring.push_back({double(piece->points[i].x), double(piece->points[i].y)});
                flagged.non_show.push_back(piece->points[i].non_show);
            }
            pieces.push_back(std::move(flagged));
        }
    }
    ReleasePolygonSpace(chain, count);
    if (pieces.empty()) {
        FlaggedPiece whole{ring, {}};
        for (Vertex& v : whole.ring)
            v.z = 0;
        for (const _InPoint& point : points)
            whole.non_show.push_back(point.non_show);
        pieces.push_back(std::move(whole));
    }
    return pieces;
}

// Edge i runs from point i to point i + 1; it is hidden when either end says so.
std::vector<int> hidden_edges(const std::vector<int>& non_show) {
    std::vector<int> hidden;
    for (size_t i = 0; i + 1 < non_show.size(); ++i)
        if ((non_show[i] & kHideNext) || (non_show[i + 1] & kHidePrevious))
            hidden.push_back(static_cast<int>(i));
    return hidden;
}

// The concave decomposition for hosts that fill convex shapes: pieces carrying the non_show flags
// and the hidden edges, or with --diagonals every hidden edge once as a line.
void fill_ring_convex(const Feature& feature, size_t p, const Path& ring, bool diagonals,
                      Results* results) {
    int code = 0;
    const std::vector<FlaggedPiece> pieces = fill_pieces(ring, &code);
    std::set<std::pair<std::pair<double, double>, std::pair<double, double>>> written;
    for (const FlaggedPiece& piece : pieces) {
        const std::vector<int> hidden = hidden_edges(piece.non_show);
        if (diagonals) {
            for (int i : hidden) {
                auto a = std::make_pair(piece.ring[i].x, piece.ring[i].y);
                auto b = std::make_pair(piece.ring[i + 1].x, piece.ring[i + 1].y);
                if (!written.insert(std::minmax(a, b)).second)
                    continue;
                OutputFeature out = line_result(feature, p, {piece.ring[i], piece.ring[i + 1]});
                out.properties.erase("source_line");
                out.properties["source_polygon"] = p;
                results->add(std::move(out), feature.index);
            }
            continue;
        }
        // Pieces come counter-clockwise, as GeoJSON writes outer rings: indexes stay as they are.
        OutputFeature out{polygon_result(feature, p, PolygonShape{}).properties,
                          ShapeKind::polygons,
                          {PolygonShape{{piece.ring}}},
                          {}};
        out.properties["pieces"] = pieces.size();
        out.properties["result_code"] = code;
        out.properties["non_show"] = piece.non_show;
        out.properties["hidden_edges"] = hidden;
        results->add(std::move(out), static_cast<int>(results->size()));
    }
}

void convex_feature(const Feature& feature, const PieceOptions& options, Results* results) {
    if (feature.kind == ShapeKind::lines)
        return;  // lines are passed over
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        for (Path& ring : hole_free_rings(feature.polygons[p])) {
            if (signed_area(ring) < 0)
                reverse_path(&ring);  // indexes then refer to the ring as written out
            if (options.method == "fill")
                fill_ring_convex(feature, p, ring, options.diagonals, results);
            else
                split_ring_convex(feature, p, std::move(ring), options.diagonals, results);
        }
    }
}

void run_convex(const PieceOptions& options) {
    Run run("convex", options.common);
    run.each_feature(run.load(options.input), [&options](const Feature& feature, Results* results) {
        convex_feature(feature, options, results);
    });
    run.finish();
}

void register_convex(CLI::App& program) {
    auto options = std::make_shared<PieceOptions>();
    options->method = "split";
    const std::string details =
        "Cuts every polygon into convex pieces (lines are passed over). split (default): the "
        "library's convex splitting by diagonals between vertices, one reflex vertex at a time; "
        "each piece keeps its feature's properties and gets the number of pieces of its ring and "
        "the diagonals as pairs of vertex indexes of the ring (counter-clockwise, as GeoJSON "
        "writes outer rings). fill: the library's concave decomposition for hosts that can only "
        "fill convex shapes, in whole units; each piece gets result_code (0 cut; 2 already "
        "convex, 1 crosses itself, -1 failed: the ring whole), non_show (the library's flag of "
        "every point, closing point included: 1 the edge to the next point is hidden, 2 the edge "
        "from the previous one, 3 both) and hidden_edges (indexes i of the edges from point i to "
        "point i + 1 that a filled drawing should not outline: the cuts, also those of the hole "
        "cutting). With --diagonals the cutting diagonals (fill: the hidden edges, each once) "
        "are written as lines instead. A convex ring is its own piece." +
        std::string(kHolesCutHelp);
    CLI::App* command = add_command(program, "convex", "Cut polygons into convex pieces", details,
                                    &options->common);
    add_input(command, &options->input);
    command->add_flag("--diagonals", options->diagonals,
                      "write the cutting diagonals as lines instead of the pieces");
    command->add_option("--method", options->method, "split (default) or fill")
        ->check(CLI::IsMember({"split", "fill"}));
    command->callback([options] { run_convex(*options); });
}

// ---------------------------------------------------------------------------------------------
// skeleton

void skeleton_feature(const Feature& feature, const std::string& method, Results* results) {
    if (feature.kind == ShapeKind::lines)
        return;  // lines are passed over
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        const std::vector<Path> pieces = hole_free_rings(feature.polygons[p]);
        LibPolylines lines;
        if (method == "set") {
            LibPolygons set;
            for (const Path& piece : pieces) {
                LibPolygon ring(piece);
                com_polygons_add_copy(set.get(), *ring.get());
            }
            calc_graphics_framework(set.get(), lines.get());
        } else {
            LibPolylines raw;
            for (const Path& piece : pieces) {
                LibPolygon ring(piece);
                calc_graphic_framework(ring.get(), raw.get());
            }
            polygon_framework_process(raw.get(), lines.get());
        }
        std::vector<Path> paths = lines.paths();
        if (paths.empty())
            continue;
        OutputFeature out = line_result(feature, p, Path{});
        out.lines = std::move(paths);
        out.properties.erase("source_line");
        out.properties["source_polygon"] = p;
        out.properties["lines"] = out.lines.size();
        results->add(std::move(out), feature.index);
    }
}

void run_skeleton(const PieceOptions& options) {
    Run run("skeleton", options.common);
    run.each_feature(run.load(options.input), [&options](const Feature& feature, Results* results) {
        skeleton_feature(feature, options.method, results);
    });
    run.finish();
}

void register_skeleton(CLI::App& program) {
    auto options = std::make_shared<PieceOptions>();
    const std::string details =
        "Writes the centre lines of every polygon as one (Multi)LineString per polygon (lines are "
        "passed over). "
        "one-pass (default): vertical scan lines through the polygon, their midpoints chained, "
        "then pruned of short dead ends and merged at nodes. set: the two-pass skeleton of the "
        "polygon's pieces, scanned across x and across y and joined, so that steep stretches "
        "follow the shape as well as flat ones." +
        std::string(kHolesCutHelp);
    CLI::App* command =
        add_command(program, "skeleton", "Centre lines of polygons", details, &options->common);
    add_input(command, &options->input);
    command->add_option("--method", options->method, "one-pass (default) or set")
        ->check(CLI::IsMember({"one-pass", "set"}));
    command->callback([options] { run_skeleton(*options); });
}

}  // namespace

void register_shapes(CLI::App& program) {
    register_simplify(program);
    register_triangulate(program);
    register_convex(program);
    register_skeleton(program);
}

}  // namespace mapgeom_tool
