// mesh: every polygon and line cut along the cells of the map grid (8-, 4- or 2-degree meshes or
// task cells), each piece labelled with its cell's code; `mesh --decode CODE` prints a cell's
// rectangle in degrees.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "command.h"
#include "geojson_io.h"
#include "library_shapes.h"
#include "mapgeom/algebra.h"
#include "mapgeom/grid.h"
#include "prepare.h"
#include "rings.h"
#include "sandbox.h"
#include "subcommands.h"

namespace mapgeom_tool {

namespace {

// One grid: its name, the encoder of the cell holding a coordinate and the decoder of a code.
struct GridKind {
    const char* name;
    unsigned int (*encode)(int x, int y, char* code);
    unsigned int (*decode)(const char* code, int* min_x, int* min_y, int* max_x, int* max_y);
    size_t code_length;
};

const GridKind kGrids[] = {
    {"mesh8", coor_get_mesh8dno_by_coor, coor_get_range_by_mesh8dno, 4},
    {"mesh4", coor_get_mesh4dno_by_coor, coor_get_range_by_mesh4dno, 4},
    {"mesh2", coor_get_mesh2dno_by_coor, coor_get_range_by_mesh2dno, 4},
    {"task", coor_get_taskid_by_coor, coor_get_range_by_taskid, 11},
};

// A shape covering more cells than this is a grid mistake (task cells over a continent).
constexpr size_t kMaxCellsPerShape = 200000;

const GridKind& grid_named(const std::string& name) {
    for (const GridKind& grid : kGrids)
        if (name == grid.name)
            return grid;
    throw CLI::ValidationError("--grid", "unknown grid " + name);
}

struct Cell {
    std::string code;
    double rect[4];  // minx, miny, maxx, maxy in library units
};

// The cell holding (x, y), or false outside the world.
bool cell_at(const GridKind& grid, double x, double y, Cell* cell) {
    char code[12] = {};
    if (grid.encode(static_cast<int>(x), static_cast<int>(y), code) != 0)
        return false;
    if (grid.code_length == 11)
        code[8] = code[9] = code[10] = '0';  // one cell, not a block
    cell->code.assign(code, grid.code_length);
    int r[4];
    if (grid.decode(cell->code.c_str(), &r[0], &r[1], &r[2], &r[3]) != 0)
        return false;
    for (int i = 0; i < 4; ++i)
        cell->rect[i] = r[i];
    return true;
}

// The cells meeting the extent of the paths, row by row from the south-west.
std::vector<Cell> cells_over(const GridKind& grid, const std::vector<Path>& paths,
                             const std::string& label) {
    double min_x = 1e300, min_y = 1e300, max_x = -1e300, max_y = -1e300;
    for (const Path& path : paths)
        for (const Vertex& v : path) {
            min_x = std::min(min_x, v.x);
            min_y = std::min(min_y, v.y);
            max_x = std::max(max_x, v.x);
            max_y = std::max(max_y, v.y);
        }
    std::vector<Cell> cells;
    Cell row_cell;
    for (double y = min_y; y <= max_y && cell_at(grid, min_x, y, &row_cell); y = row_cell.rect[3]) {
        Cell cell = row_cell;
        for (double x = min_x; x <= max_x && cell_at(grid, x, y, &cell); x = cell.rect[2]) {
            cells.push_back(cell);
            if (cells.size() > kMaxCellsPerShape)
                throw InputError(label + " covers more than 200000 cells of the " + grid.name +
                                 " grid; choose a coarser grid");
            if (cell.rect[2] <= x)
                break;
        }
        if (row_cell.rect[3] <= y)
            break;
    }
    return cells;
}

struct MeshOptions {
    CommonOptions common;
    std::string input;
    std::string grid = "mesh2";
    std::string decode;
};

void mesh_feature(const Feature& feature, const GridKind& grid, Results* results) {
    for (size_t p = 0; p < feature.polygons.size(); ++p) {
        const std::vector<Path> rings = hole_free_rings(feature.polygons[p]);
        for (const Cell& cell : cells_over(grid, rings, feature.label)) {
            for (const Path& ring : rings) {
                int code = 0;
                for (Path& piece : clip_ring_by_rect(ring, cell.rect, &code)) {
                    OutputFeature out =
                        polygon_result(feature, p, PolygonShape{{std::move(piece)}});
                    out.properties["cell"] = cell.code;
                    out.properties["press_sections"] = press_sections_of(out.polygons);
                    results->add(std::move(out), static_cast<int>(results->size()));
                }
            }
        }
    }
    for (size_t l = 0; l < feature.lines.size(); ++l) {
        for (const Cell& cell : cells_over(grid, {feature.lines[l]}, feature.label)) {
            LibPolyline line(feature.lines[l]);
            LibPolygon outline(rect_outline(cell.rect, false));
            LibPolylines out;
            split_polyline_by_rect(line.get(), outline.get(), out.get());
            for (Path& piece : out.paths()) {
                OutputFeature result = line_result(feature, l, std::move(piece));
                result.properties["cell"] = cell.code;
                results->add(std::move(result), static_cast<int>(results->size()));
            }
        }
    }
}

void print_decoded(const MeshOptions& options) {
    const GridKind& grid = grid_named(options.grid);
    int r[4];
    const unsigned int code = grid.decode(options.decode.c_str(), &r[0], &r[1], &r[2], &r[3]);
    if (code != 0)
        throw InputError("--decode " + options.decode + ": not a " + grid.name + " code (" +
                         (code == 1 ? "needs " + std::to_string(grid.code_length) + " characters"
                                    : std::string("a digit is out of range")) +
                         ")");
    const Units units = parse_units(options.common.units);
    std::fprintf(user_stdout(), "%s %s: %.9f %.9f %.9f %.9f\n", grid.name, options.decode.c_str(),
                 from_library_units(r[0], units), from_library_units(r[1], units),
                 from_library_units(r[2], units), from_library_units(r[3], units));
}

void run_mesh(const MeshOptions& options) {
    if (!options.decode.empty())
        return print_decoded(options);
    if (options.input.empty())
        throw CLI::ValidationError("input", "mesh needs an input file (or --decode CODE)");
    Run run("mesh", options.common);
    const GridKind& grid = grid_named(options.grid);
    run.each_feature(run.load(options.input), [&grid](const Feature& feature, Results* results) {
        mesh_feature(feature, grid, results);
    });
    run.finish(std::string("grid ") + grid.name);
}

}  // namespace

void register_mesh(CLI::App& program) {
    auto options = std::make_shared<MeshOptions>();
    const std::string details =
        "Cuts every polygon and line along the cells of the map grid: mesh8 (8 x 5 1/3 "
        "degrees), mesh4 (4 x 2 2/3), mesh2 (2 x 1 1/3, default) or task (1/128 x 1/192 degree). "
        "Every piece keeps its feature's properties and gets its cell's code (cell); cut edges "
        "are press sections. With --decode CODE the rectangle of that cell is printed in degrees "
        "(minx miny maxx maxy) and no input is read." +
        std::string(kHolesCutHelp);
    CLI::App* command = add_command(program, "mesh",
                                    "Cut polygons and lines along map grid cells, pieces labelled "
                                    "with their cell code",
                                    details, &options->common);
    command->add_option("input", options->input, "GeoJSON file ('-' for standard input)");
    command->add_option("--grid", options->grid, "mesh8, mesh4, mesh2 (default) or task")
        ->check(CLI::IsMember({"mesh8", "mesh4", "mesh2", "task"}));
    command->add_option("--decode", options->decode, "print the rectangle of this cell code");
    command->callback([options] { run_mesh(*options); });
}

}  // namespace mapgeom_tool
