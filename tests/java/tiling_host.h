// Test helpers for tiled clipping: run the entry points the way a host does (records filled from
// integer arrays, results read back with the read-out functions) and hold the pieces per shape.
#ifndef MAPGEOM_TESTS_JAVA_TILING_HOST_H
#define MAPGEOM_TESTS_JAVA_TILING_HOST_H

#include <cmath>
#include <vector>

#include "mapgeom/java.h"

namespace tiling_host {

struct Pt {
    int x;
    int y;
    int z = 0;
};

using Shape = std::vector<Pt>;

struct Grid {
    int min_x, min_y, max_x, max_y;
    int cols, rows;
};

struct Piece {
    Shape points;
    int col;
    int row;
};

// Output of one call: the pieces in output order and shape_parts.
struct Tiled {
    std::vector<Piece> pieces;
    std::vector<int> shape_parts;
    // The pieces of input shape s (they follow one another in the arrays).
    std::vector<Piece> of_shape(int s) const {
        int first = 0;
        for (int i = 0; i < s; ++i)
            first += shape_parts[i];
        return std::vector<Piece>(pieces.begin() + first, pieces.begin() + first + shape_parts[s]);
    }
};

template <typename In>
void set_grid(In* in, const Grid& g, int points, int parts) {
    in->point_num = points;
    in->part_num = parts;
    in->grid_min_y = g.min_y;
    in->grid_max_y = g.max_y;
    in->grid_min_x = g.min_x;
    in->grid_max_x = g.max_x;
    in->col_num = g.cols;
    in->row_num = g.rows;
}

struct Flat {
    std::vector<int> x, y, z, parts;
    explicit Flat(const std::vector<Shape>& shapes) {
        for (const Shape& s : shapes) {
            parts.push_back(static_cast<int>(s.size()));
            for (const Pt& p : s) {
                x.push_back(p.x);
                y.push_back(p.y);
                z.push_back(p.z);
            }
        }
    }
    int points() const { return static_cast<int>(x.size()); }
    int part_num() const { return static_cast<int>(parts.size()); }
};

inline Tiled read_out(const int* x, const int* y, const int* z, const std::vector<int>& part_points,
                      const std::vector<int>& cols, const std::vector<int>& rows,
                      std::vector<int> shape_parts) {
    Tiled t;
    t.shape_parts = std::move(shape_parts);
    int k = 0;
    for (size_t i = 0; i < part_points.size(); ++i) {
        Piece piece{{}, cols[i], rows[i]};
        for (int j = 0; j < part_points[i]; ++j, ++k)
            piece.points.push_back({x[k], y[k], z != nullptr ? z[k] : 0});
        t.pieces.push_back(piece);
    }
    return t;
}

// Polygons (closed rings) through algebra_polygon_intersec_java.
inline Tiled tile_polygons(const Grid& g, const std::vector<Shape>& shapes) {
    Flat f(shapes);
    polygon_division_in_t in{};
    set_grid(&in, g, f.points(), f.part_num());
    polygon_division_in_init(&in, f.x.data(), f.y.data(), f.z.data(), f.parts.data(), f.points(),
                             f.part_num());
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 512, 512, f.part_num());
    algebra_polygon_intersec_java(&in, &out);
    std::vector<int> x(out.point_num), y(out.point_num), z(out.point_num);
    std::vector<int> parts(out.part_num), cols(out.part_num), rows(out.part_num);
    std::vector<int> shape_parts(out.shape_num);
    get_polygon_division_out_value(&out, x.data(), y.data(), z.data(), parts.data(), cols.data(),
                                   rows.data(), shape_parts.data());
    polygon_division_in_free(&in);
    polygon_division_out_free(&out);
    return read_out(x.data(), y.data(), z.data(), parts, cols, rows, shape_parts);
}

// Polylines through algebra_polyline_intersec_java.
inline Tiled tile_polylines(const Grid& g, const std::vector<Shape>& shapes) {
    Flat f(shapes);
    tag_division_in_t in{};
    set_grid(&in, g, f.points(), f.part_num());
    division_in_init(&in, f.x.data(), f.y.data(), f.parts.data(), f.points(), f.part_num());
    tag_division_out_t out{};
    division_out_init(&out, 512, 512, f.part_num());
    algebra_polyline_intersec_java(&in, &out);
    std::vector<int> x(out.point_num), y(out.point_num);
    std::vector<int> parts(out.part_num), cols(out.part_num), rows(out.part_num);
    std::vector<int> shape_parts(out.shape_num);
    get_division_out_value(&out, x.data(), y.data(), parts.data(), cols.data(), rows.data(),
                           shape_parts.data());
    division_in_free(&in);
    division_out_free(&out);
    return read_out(x.data(), y.data(), nullptr, parts, cols, rows, shape_parts);
}

// Shoelace area of a closed ring (closing point stored), positive counter-clockwise.
inline double signed_area(const Shape& ring) {
    double twice = 0.0;
    for (size_t i = 0; i + 1 < ring.size(); ++i)
        twice += static_cast<double>(ring[i].x) * ring[i + 1].y -
                 static_cast<double>(ring[i + 1].x) * ring[i].y;
    return twice / 2.0;
}

inline double length(const Shape& line) {
    double sum = 0.0;
    for (size_t i = 0; i + 1 < line.size(); ++i)
        sum += std::hypot(static_cast<double>(line[i + 1].x) - line[i].x,
                          static_cast<double>(line[i + 1].y) - line[i].y);
    return sum;
}

// The rectangle of tile (col, row) of the grid.
inline rectangle_t tile_of(const Grid& g, int col, int row) {
    rectangle_t grid{static_cast<double>(g.min_y), static_cast<double>(g.max_y),
                     static_cast<double>(g.min_x), static_cast<double>(g.max_x)};
    return get_rect_by_index(col, row, g.cols, g.rows, grid);
}

inline bool within(const Shape& s, rectangle_t r) {
    for (const Pt& p : s)
        if (p.x < r.min_x || p.x > r.max_x || p.y < r.min_y || p.y > r.max_y)
            return false;
    return true;
}

}  // namespace tiling_host

#endif  // MAPGEOM_TESTS_JAVA_TILING_HOST_H
