// tile: every polygon and line cut along a regular grid of tiles through the library's flat-array
// tiled clipping, each piece labelled with its tile's column and row. Tiles that lie wholly inside
// a polygon come out as squares whose outline is one press section; the library cuts shapes that
// reach outside the grid to it, and shapes that produce no piece are counted in a warning.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "geojson_io.h"
#include "mapgeom/java.h"
#include "prepare.h"
#include "progress.h"
#include "rings.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

// Shapes handed to the library per call: bounds the flat arrays and lets progress advance.
constexpr size_t kShapesPerCall = 256;
// The output records' starting capacities that the tiling entry points rely on.
constexpr int kTilingCapacity = 512;
// Whole tiles are written one piece each; more tiles than this is a grid mistake, not a job.
constexpr long long kMaxTiles = 10000000;

struct TileOptions {
    CommonOptions common;
    std::string input;
    std::string grid;
    int cols = 0;
    int rows = 0;
};

struct Grid {
    int min_x, min_y, max_x, max_y;  // library units
    int cols, rows;
    // Whole units, as the library divides the grid; 64 bits, since a grid may span 2^32 units.
    long long tile_width, tile_height;
};

// One ring or line handed to the library, and where it came from.
struct Shape {
    const Feature* feature;
    size_t part;  // polygon or line index in the feature
    Path path;
};

Grid parse_grid(const TileOptions& options, Units units) {
    const std::vector<double> corners = parse_four_numbers(options.grid, "--grid");
    double converted[4];
    for (int i = 0; i < 4; ++i) {
        std::string problem;
        if (!to_library_units(corners[i], i % 2 == 1, units, &converted[i], &problem))
            throw CLI::ValidationError("--grid", problem);
    }
    Grid grid{static_cast<int>(converted[0]),
              static_cast<int>(converted[1]),
              static_cast<int>(converted[2]),
              static_cast<int>(converted[3]),
              options.cols,
              options.rows,
              0,
              0};
    if (static_cast<long long>(grid.cols) * grid.rows > kMaxTiles)
        throw CLI::ValidationError("--cols/--rows", "more than 10000000 tiles");
    grid.tile_width = (static_cast<long long>(grid.max_x) - grid.min_x) / grid.cols;
    grid.tile_height = (static_cast<long long>(grid.max_y) - grid.min_y) / grid.rows;
    if (grid.tile_width < 1 || grid.tile_height < 1)
        throw CLI::ValidationError("--grid", "tiles would be narrower than one library unit");
    return grid;
}

// Flat arrays of a batch of shapes; polygon parts keep their closing point.
struct FlatShapes {
    std::vector<int> x, y, z, part_points;

    explicit FlatShapes(const std::vector<Shape>& shapes) {
        for (const Shape& shape : shapes) {
            part_points.push_back(static_cast<int>(shape.path.size()));
            for (const Vertex& v : shape.path) {
                x.push_back(static_cast<int>(v.x));
                y.push_back(static_cast<int>(v.y));
                z.push_back(0);
            }
        }
    }
    int points() const { return static_cast<int>(x.size()); }
    int parts() const { return static_cast<int>(part_points.size()); }
};

// A tiled piece ready to become an output feature.
struct Piece {
    size_t shape;  // index in the batch
    int col, row;
    Path path;
};

// Reads the pieces of an output record back, shape by shape in input order.
template <typename Out>
std::vector<Piece> read_pieces(const Out& out, const int* z) {
    std::vector<Piece> pieces;
    int part = 0;
    int point = 0;
    for (int shape = 0; shape < out.shape_num; ++shape) {
        for (int k = 0; k < out.shape_parts[shape]; ++k, ++part) {
            Piece piece{static_cast<size_t>(shape), out.part_col[part], out.part_row[part], {}};
            for (int i = 0; i < out.part_points[part]; ++i, ++point)
                piece.path.push_back(Vertex{static_cast<double>(out.x[point]),
                                            static_cast<double>(out.y[point]),
                                            z ? static_cast<double>(z[point]) : 0.0});
            pieces.push_back(std::move(piece));
        }
    }
    return pieces;
}

std::vector<Piece> tile_polygons(const std::vector<Shape>& shapes, const Grid& grid) {
    const FlatShapes flat(shapes);
    polygon_division_in_t in{flat.points(), flat.parts(), grid.min_y, grid.max_y,
                             grid.min_x,    grid.max_x,   grid.cols,  grid.rows,
                             nullptr,       nullptr,      nullptr,    nullptr};
    polygon_division_in_init(&in, flat.x.data(), flat.y.data(), flat.z.data(),
                             flat.part_points.data(), in.point_num, in.part_num);
    polygon_division_out_t out{};
    polygon_division_out_init(&out, kTilingCapacity, kTilingCapacity, in.part_num);
    algebra_polygon_intersec_java(&in, &out);
    std::vector<Piece> pieces = read_pieces(out, out.z);
    polygon_division_out_free(&out);
    polygon_division_in_free(&in);
    return pieces;
}

std::vector<Piece> tile_lines(const std::vector<Shape>& shapes, const Grid& grid) {
    const FlatShapes flat(shapes);
    tag_division_in_t in{flat.points(), flat.parts(), grid.min_y, grid.max_y,
                         grid.min_x,    grid.max_x,   grid.cols,  grid.rows,
                         nullptr,       nullptr,      nullptr};
    division_in_init(&in, flat.x.data(), flat.y.data(), flat.part_points.data(), in.point_num,
                     in.part_num);
    tag_division_out_t out{};
    division_out_init(&out, kTilingCapacity, kTilingCapacity, in.part_num);
    algebra_polyline_intersec_java(&in, &out);
    std::vector<Piece> pieces = read_pieces(out, nullptr);
    division_out_free(&out);
    division_in_free(&in);
    return pieces;
}

void add_piece(Run* run, const Shape& shape, Piece piece) {
    const bool polygon = shape.feature->kind == ShapeKind::polygons;
    OutputFeature feature =
        polygon ? polygon_result(*shape.feature, shape.part, PolygonShape{{std::move(piece.path)}})
                : line_result(*shape.feature, shape.part, std::move(piece.path));
    if (polygon)
        feature.properties["press_sections"] = press_sections_of(feature.polygons);
    feature.properties["col"] = piece.col;
    feature.properties["row"] = piece.row;
    run->add(std::move(feature), piece.col + piece.row);
}

// Shapes that produced no piece: they lie outside the tiled area (or enclose no area).
struct Missed {
    size_t count = 0;
    std::string first;  // how messages name the first, e.g. features[3] (id "far") polygon 0
};

// Tiles the shapes in batches (one library call each), adding the pieces in input order.
void tile_in_batches(Run* run, const std::vector<Shape>& shapes, const Grid& grid,
                     Progress* progress, size_t* done, Missed* missed) {
    for (size_t first = 0; first < shapes.size(); first += kShapesPerCall) {
        const size_t last = std::min(shapes.size(), first + kShapesPerCall);
        const std::vector<Shape> batch(shapes.begin() + first, shapes.begin() + last);
        const bool polygons = batch.front().feature->kind == ShapeKind::polygons;
        std::vector<Piece> pieces = polygons ? tile_polygons(batch, grid) : tile_lines(batch, grid);
        std::vector<bool> produced(batch.size(), false);
        for (Piece& piece : pieces) {
            produced[piece.shape] = true;
            add_piece(run, batch[piece.shape], std::move(piece));
        }
        for (size_t i = 0; i < batch.size(); ++i)
            if (!produced[i] && missed->count++ == 0)
                missed->first = batch[i].feature->label + (polygons ? " polygon " : " line ") +
                                std::to_string(batch[i].part);
        *done += batch.size();
        progress->update(*done);
    }
}

void run_tile(const TileOptions& options) {
    Run run("tile", options.common);
    const Grid grid = parse_grid(options, run.units());
    const Dataset& dataset = run.load(options.input);
    std::vector<Shape> polygons;
    std::vector<Shape> lines;
    for (const Feature& feature : dataset.features) {
        for (size_t p = 0; p < feature.polygons.size(); ++p)
            for (Path& ring : hole_free_rings(feature.polygons[p]))
                polygons.push_back(Shape{&feature, p, std::move(ring)});
        for (size_t l = 0; l < feature.lines.size(); ++l)
            lines.push_back(Shape{&feature, l, feature.lines[l]});
    }
    Progress progress("tile", polygons.size() + lines.size(), !options.common.quiet);
    size_t done = 0;
    Missed missed;
    tile_in_batches(&run, polygons, grid, &progress, &done, &missed);
    tile_in_batches(&run, lines, grid, &progress, &done, &missed);
    progress.clear();
    run.picture().add_grid(grid.min_x, grid.min_y, grid.tile_width, grid.tile_height, grid.cols,
                           grid.rows);
    run.finish("grid " + std::to_string(grid.cols) + "x" + std::to_string(grid.rows));
    if (missed.count > 0)
        std::fprintf(stderr,
                     "mapgeom: warning: %s: %zu shape(s) produced no piece: they lie outside the "
                     "tiled area (or enclose no area); the first is %s\n",
                     dataset.path.c_str(), missed.count, missed.first.c_str());
}

}  // namespace

void register_tile(CLI::App& program) {
    auto options = std::make_shared<TileOptions>();
    const std::string details =
        "Cuts every polygon and line along a regular grid of tiles (the library's flat-array "
        "tiled clipping). Each piece keeps its feature's properties and gets the tile's col and "
        "row (col 0 at the least x, row 0 at the least y); tiles wholly inside a polygon come out "
        "as whole squares whose outline is one press section. Tiles have whole-unit sizes, "
        "trunc(width)/cols by trunc(height)/rows from the grid's least corner; when the width is "
        "not a multiple of cols, the units left at the far edge go to col = cols (rows alike). "
        "Shapes reaching outside the grid are cut to it: nothing outside the grid comes out, and "
        "a shape wholly outside gives no piece (a warning counts such shapes and names the "
        "first)." +
        std::string(kHolesCutHelp);
    CLI::App* command = add_command(
        program, "tile", "Cut polygons and lines along a grid of tiles, pieces labelled col, row",
        details, &options->common);
    add_input(command, &options->input);
    command->add_option("--grid", options->grid, "grid rectangle minx,miny,maxx,maxy")->required();
    command->add_option("--cols", options->cols, "tile columns (along x)")
        ->required()
        ->check(CLI::Range(1, 1000000));
    command->add_option("--rows", options->rows, "tile rows (along y)")
        ->required()
        ->check(CLI::Range(1, 1000000));
    command->callback([options] { run_tile(*options); });
}

}  // namespace mapgeom_tool
