// Fuzz target: entry points fed raw host records, as a host fills them: arrays of the lengths the
// counts say, but part sizes, grids and tile counts as they come (negative, zero, disagreeing with
// the point count). The first byte chooses the tiled clipping of polygons or polylines, the ring
// reduction, or the list readers. Output records must stay consistent (counts adding up, tiles
// within the grid), a valid ring inside the grid must come out as pieces that add up to its area
// up to snapping to whole units, and a polygon tiling must not change with the shortcuts off.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "com/plain_lookups.h"
#include "fuzz_support.h"
#include "mapgeom/algebra.h"
#include "mapgeom/java.h"

namespace {

using namespace fuzzing;

// The integer arrays of a host record: parts and points, small coordinates mostly.
struct HostArrays {
    std::vector<int> part_points, x, y, z;
};

HostArrays host_arrays(Bytes& in) {
    HostArrays h;
    h.part_points.resize(in.u8() % 6);
    bool honest = in.u8() % 2 == 0;  // part sizes that add up to the point count
    int points = 0;
    for (int& n : h.part_points) {
        n = honest ? 3 + in.u8() % 12 : static_cast<int8_t>(in.u8());
        points += std::max(n, 0);
    }
    if (!honest)
        points = in.u8() % 80;
    bool wide = in.u8() % 8 == 0;
    for (int k = 0; k < points; ++k) {
        h.x.push_back(wide ? in.i32() : in.u8() % 40);
        h.y.push_back(wide ? in.i32() : in.u8() % 40);
        h.z.push_back(in.u8() % 4);
    }
    return h;
}

struct Grid {
    int min_x, max_x, min_y, max_y, cols, rows;
};

Grid grid(Bytes& in) {
    if (in.u8() % 8 == 0)  // raw: negative, zero, reversed or huge
        return {in.i32(),
                in.i32(),
                in.i32(),
                in.i32(),
                static_cast<int8_t>(in.u8()),
                static_cast<int8_t>(in.u8())};
    int x0 = in.u8() % 20, y0 = in.u8() % 20;
    return {x0, x0 + in.u8() % 40, y0, y0 + in.u8() % 40, in.u8() % 6, in.u8() % 6};
}

// The shape_parts entries this call added (from `first_shape`) must account for its pieces, and
// every piece must name a tile of the grid.
void check_division_counts(const int* shape_parts, int shapes_before, int shapes_after,
                           int parts_before, int parts_after, const int* part_points,
                           int points_before, int points_after, const int* cols, const int* rows,
                           const Grid& g, int part_num) {
    std::string detail = "shapes " + std::to_string(shapes_before) + " -> " +
                         std::to_string(shapes_after) + ", pieces " + std::to_string(parts_before) +
                         " -> " + std::to_string(parts_after);
    check(shapes_after >= shapes_before && shapes_after - shapes_before <= std::max(part_num, 0),
          "shape entries not one per input shape", detail);
    long pieces = 0, points = 0;
    for (int k = shapes_before; k < shapes_after; ++k)
        pieces += shape_parts[k];
    check(pieces == parts_after - parts_before, "shape entries do not add up to the pieces",
          detail);
    for (int k = parts_before; k < parts_after; ++k) {
        points += part_points[k];
        check(cols[k] >= 0 && cols[k] <= g.cols && rows[k] >= 0 && rows[k] <= g.rows,
              "piece outside the tile grid", detail);
    }
    check(points == points_after - points_before, "piece sizes do not add up to the points",
          detail);
}

// The same record tiled with the plain passes on (the common tiles then take the general walk,
// the prepared lookups their plain passes) must give the same output record, word for word.
void check_same_without_shortcuts(const polygon_division_in_t& rec,
                                  const polygon_division_out_t& out, bool small_capacity) {
    polygon_division_out_t plain{};
    polygon_division_out_init(&plain, small_capacity ? 1 : 512, small_capacity ? 1 : 512,
                              small_capacity ? 0 : rec.part_num);
    mapgeom::g_plain_lookups = true;
    algebra_polygon_intersec_java(&rec, &plain);
    mapgeom::g_plain_lookups = false;
    auto same = [](const int* a, const int* b, int n) { return n <= 0 || std::equal(a, a + n, b); };
    const bool equal = plain.point_num == out.point_num && plain.part_num == out.part_num &&
                       plain.shape_num == out.shape_num && same(plain.x, out.x, out.point_num) &&
                       same(plain.y, out.y, out.point_num) && same(plain.z, out.z, out.point_num) &&
                       same(plain.part_points, out.part_points, out.part_num) &&
                       same(plain.part_col, out.part_col, out.part_num) &&
                       same(plain.part_row, out.part_row, out.part_num) &&
                       same(plain.shape_parts, out.shape_parts, out.shape_num);
    polygon_division_out_free(&plain);
    check(equal, "tiling differs from the tiling with the plain passes", "");
}

void fuzz_polygon_tiling(Bytes& in) {
    HostArrays h = host_arrays(in);
    Grid g = grid(in);
    polygon_division_in_t rec{};
    polygon_division_in_init(&rec, h.x.data(), h.y.data(), h.z.data(), h.part_points.data(),
                             static_cast<int>(h.x.size()), static_cast<int>(h.part_points.size()));
    rec.point_num = static_cast<int>(h.x.size());
    rec.part_num = static_cast<int>(h.part_points.size());
    rec.grid_min_x = g.min_x, rec.grid_max_x = g.max_x, rec.grid_min_y = g.min_y;
    rec.grid_max_y = g.max_y, rec.col_num = g.cols, rec.row_num = g.rows;
    polygon_division_out_t out{};
    bool small_capacity = in.u8() % 2 == 0;
    polygon_division_out_init(&out, small_capacity ? 1 : 512, small_capacity ? 1 : 512,
                              small_capacity ? 0 : rec.part_num);
    algebra_polygon_intersec_java(&rec, &out);
    check_division_counts(out.shape_parts, 0, out.shape_num, 0, out.part_num, out.part_points, 0,
                          out.point_num, out.part_col, out.part_row, g, rec.part_num);
    check_same_without_shortcuts(rec, out, small_capacity);

    // Area: each honest part that is a valid ring inside the grid comes out as pieces covering it.
    int first_point = 0, first_piece = 0, piece_point = 0;
    for (int s = 0; s < out.shape_num && s < rec.part_num; ++s) {
        int n = h.part_points[s];
        std::vector<Xy> ring;
        for (int k = first_point; k < first_point + n && k < rec.point_num; ++k)
            ring.push_back({double(h.x[k]), double(h.y[k])});
        std::vector<std::vector<Xy>> pieces;
        for (int p = first_piece; p < first_piece + out.shape_parts[s]; ++p) {
            std::vector<Xy> piece;
            for (int k = 0; k < out.part_points[p]; ++k, ++piece_point)
                piece.push_back({double(out.x[piece_point]), double(out.y[piece_point])});
            pieces.push_back(piece);
        }
        first_point += std::max(n, 0);
        first_piece += out.shape_parts[s];
        double width = double(g.max_x) - g.min_x, height = double(g.max_y) - g.min_y;
        bool inside = g.cols >= 1 && g.rows >= 1 && width >= g.cols && height >= g.rows &&
                      width < 100000 && height < 100000;
        // The tiled area: tiles 0 .. cols by 0 .. rows of whole-unit size within the grid (a
        // remainder wider than a tile is not tiled).
        const double w = inside ? std::trunc(std::trunc(width) / g.cols) : 0.0;
        const double h = inside ? std::trunc(std::trunc(height) / g.rows) : 0.0;
        const double max_x = std::min<double>(g.max_x, g.min_x + w * (g.cols + 1));
        const double max_y = std::min<double>(g.max_y, g.min_y + h * (g.rows + 1));
        for (const Xy& v : ring)
            inside = inside && v.x >= g.min_x && v.x <= max_x && v.y >= g.min_y && v.y <= max_y;
        testing_shapes::Polygon p(ring);
        if (!inside || ring.size() < 3 || first_point > rec.point_num ||
            relation_polygon_iserror(p.get()) != 0)
            continue;
        std::vector<Xy> cr = closed(ring);
        // A ring within one tile is written as it came (clockwise ones too): unsigned areas.
        double want = std::fabs(signed_area(cr)), got = 0.0;
        for (const auto& piece : pieces)
            got += std::fabs(signed_area(piece));
        // Crossings with the tile edges are snapped too: the edges join the inputs of the bound.
        std::vector<std::vector<Xy>> inputs{cr};
        for (int c = 0; c <= g.cols + 1; ++c)
            inputs.push_back(
                {{g.min_x + w * c, double(g.min_y)}, {g.min_x + w * c, double(g.max_y)}});
        for (int r = 0; r <= g.rows + 1; ++r)
            inputs.push_back(
                {{double(g.min_x), g.min_y + h * r}, {double(g.max_x), g.min_y + h * r}});
        check(std::fabs(got - want) <= snapping_bound(inputs, pieces),
              "tiles cover " + std::to_string(got) + " of " + std::to_string(want),
              "ring: " + testing_shapes::text_of(cr) + "\ngrid: " + std::to_string(g.min_x) + " " +
                  std::to_string(g.min_y) + " " + std::to_string(g.max_x) + " " +
                  std::to_string(g.max_y) + ", " + std::to_string(g.cols) + " x " +
                  std::to_string(g.rows) + "\npieces: " + text_of(pieces));
    }
    polygon_division_in_free(&rec);
    polygon_division_out_free(&out);
}

void fuzz_polyline_tiling(Bytes& in) {
    HostArrays h = host_arrays(in);
    Grid g = grid(in);
    division_in_t rec{};
    division_in_init(&rec, h.x.data(), h.y.data(), h.part_points.data(),
                     static_cast<int>(h.x.size()), static_cast<int>(h.part_points.size()));
    rec.point_num = static_cast<int>(h.x.size());
    rec.part_num = static_cast<int>(h.part_points.size());
    rec.grid_min_x = g.min_x, rec.grid_max_x = g.max_x, rec.grid_min_y = g.min_y;
    rec.grid_max_y = g.max_y, rec.col_num = g.cols, rec.row_num = g.rows;
    division_out_t out{};
    division_out_init(&out, 512, 512, rec.part_num);
    out.shape_num = in.u8() % 16 == 0 ? -1 : 0;  // a record with a negative count stays untouched
    int shapes_before = out.shape_num;
    algebra_polyline_intersec_java(&rec, &out);
    if (shapes_before < 0)
        check(out.shape_num == -1 && out.part_num == 0 && out.point_num == 0,
              "record with a negative count written to", "");
    else
        check_division_counts(out.shape_parts, 0, out.shape_num, 0, out.part_num, out.part_points,
                              0, out.point_num, out.part_col, out.part_row, g, rec.part_num);
    division_in_free(&rec);
    division_out_free(&out);
}

void fuzz_reduction(Bytes& in) {
    HostArrays h = host_arrays(in);
    polygon_reduce_in_t rec{};
    polygon_reduce_in_init(&rec, h.x.data(), h.y.data(), h.z.data(), h.part_points.data(),
                           static_cast<int>(h.x.size()), static_cast<int>(h.part_points.size()));
    polygon_reduce_out_t out{};
    polygon_reduce_out_init(&out, in.u8() % 2 ? 512 : 1, in.u8() % 2 ? 256 : 1);
    polygon_param_t param = MAPGEOM_POLYGON_PARAM_INIT;
    param.min_angle = in.u8() % 30;
    param.min_length = in.u8() % 5;
    algebra_polygon_reduce_java(&rec, &out, &param);
    check(out.part_num == rec.part_num, "reduction not one part per input part", "");
    long points = 0;
    for (int k = 0; k < out.part_num; ++k)
        points += out.part_points[k];
    check(points == out.point_num, "reduced part sizes do not add up", "");
    polygon_reduce_in_free(&rec);
    polygon_reduce_out_free(&out);
}

void fuzz_readers(Bytes& in) {
    HostArrays h = host_arrays(in);
    polygons_java_t rec{};
    com_polygons_java_init_value(&rec, h.x.data(), h.y.data(), h.z.data(), h.part_points.data(),
                                 static_cast<int>(h.x.size()),
                                 static_cast<int>(h.part_points.size()));
    testing_shapes::Polygons list;
    com_polygons_java_get_polygons(&rec, list.get());
    check(list.size() == rec.part_num, "reader not one polygon per part", "");
    split_lines_t lines{};
    com_split_lines_init(&lines);
    for (int g = in.u8() % 4; g > 0; --g) {
        std::vector<int> values(in.u8() % 7);
        for (int& v : values)
            v = static_cast<int8_t>(in.u8());
        com_split_lines_add(&lines, values.data(), static_cast<int>(values.size()));
    }
    testing_shapes::Polylines polylines;
    com_split_lines_get_polylines(list.get(), &lines, polylines.get());
    for (const polyline_node_t* n = polylines.l.head; n != nullptr; n = n->next)
        check(n->polyline.geom.count == 2, "split line not of two points", "");
    com_split_lines_free(&lines);
    com_polygons_java_free(&rec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static void (*const checks[])(Bytes&) = {fuzz_polygon_tiling, fuzz_polyline_tiling,
                                             fuzz_reduction, fuzz_readers};
    return run_one_of(checks, data, size);
}
