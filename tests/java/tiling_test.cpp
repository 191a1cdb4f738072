// Tiled clipping through the flat-array records: pieces, their tiles and marks, whole tiles in
// column order, the far-edge column of a grid whose width is not a multiple of its columns,
// shapes outside the grid, several shapes in order, and output records of any capacity.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "tiling_host.h"

namespace {

using tiling_host::Grid;
using tiling_host::Piece;
using tiling_host::Pt;
using tiling_host::Shape;

Shape square(int x0, int y0, int x1, int y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

std::vector<int> codes_of(const Shape& s) {
    std::vector<int> codes;
    for (const Pt& p : s)
        codes.push_back(p.z);
    return codes;
}

bool is_whole_tile(const Piece& piece, const Grid& g) {
    rectangle_t t = tiling_host::tile_of(g, piece.col, piece.row);
    Shape expected = square(static_cast<int>(t.min_x), static_cast<int>(t.min_y),
                            static_cast<int>(t.max_x), static_cast<int>(t.max_y));
    if (piece.points.size() != expected.size())
        return false;
    for (size_t i = 0; i < expected.size(); ++i)
        if (piece.points[i].x != expected[i].x || piece.points[i].y != expected[i].y)
            return false;
    return codes_of(piece.points) == std::vector<int>({2, 0, 0, 0, 3});
}

double total_area(const std::vector<Piece>& pieces) {
    double sum = 0.0;
    for (const Piece& p : pieces)
        sum += tiling_host::signed_area(p.points);
    return sum;
}

const Grid kGrid8{0, 0, 80, 80, 8, 8};

TEST(PolygonTiling, PolygonInsideOneTileIsWrittenOnceAsItself) {
    Shape ring{{12, 13, 2}, {18, 13, 0}, {18, 17, 3}, {12, 17, 0}, {12, 13, 2}};
    tiling_host::Tiled out = tiling_host::tile_polygons(kGrid8, {ring});
    EXPECT_EQ(out.shape_parts, std::vector<int>{1});
    ASSERT_EQ(out.pieces.size(), 1u);
    EXPECT_EQ(out.pieces[0].col, 1);
    EXPECT_EQ(out.pieces[0].row, 1);
    EXPECT_EQ(codes_of(out.pieces[0].points), codes_of(ring));
    EXPECT_EQ(tiling_host::signed_area(out.pieces[0].points), 24.0);
}

TEST(PolygonTiling, InnerTilesComeWholeAndMarkedBoundaryTilesClipped) {
    tiling_host::Tiled out = tiling_host::tile_polygons(kGrid8, {square(5, 5, 75, 75)});
    int whole = 0;
    for (const Piece& p : out.pieces) {
        rectangle_t t = tiling_host::tile_of(kGrid8, p.col, p.row);
        EXPECT_TRUE(tiling_host::within(p.points, t));
        bool inner = p.col >= 1 && p.col <= 6 && p.row >= 1 && p.row <= 6;
        EXPECT_EQ(is_whole_tile(p, kGrid8), inner) << "tile " << p.col << "," << p.row;
        whole += inner ? 1 : 0;
    }
    EXPECT_EQ(whole, 36);
    EXPECT_EQ(out.pieces.size(), 64u);
    EXPECT_EQ(out.shape_parts, std::vector<int>{64});
    EXPECT_DOUBLE_EQ(total_area(out.pieces), 70.0 * 70.0);
}

TEST(PolygonTiling, WholeBlocksAreWrittenColumnByColumn) {
    // Covering the whole grid (and beyond it): the first quadrant block lies inside at once.
    Grid g{0, 0, 40, 40, 4, 4};
    tiling_host::Tiled out = tiling_host::tile_polygons(g, {square(-5, -5, 45, 45)});
    ASSERT_EQ(out.pieces.size(), 16u);
    const int first_block[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(out.pieces[i].col == first_block[i][0] &&
                    out.pieces[i].row == first_block[i][1])
            << "piece " << i << " is tile " << out.pieces[i].col << "," << out.pieces[i].row;
    for (const Piece& p : out.pieces)
        EXPECT_TRUE(p.col < 4 && p.row < 4) << "nothing beyond the grid";
    EXPECT_DOUBLE_EQ(total_area(out.pieces), 1600.0);
}

TEST(PolygonTiling, FarEdgeColumnTakesTheRemainderOfTheGrid) {
    // 9 units over 4 columns: tiles of 2 cover 0..8; column 4 (the far-edge index) holds 8..9.
    Grid g{0, 0, 9, 8, 4, 4};
    tiling_host::Tiled out = tiling_host::tile_polygons(g, {square(7, 1, 9, 2)});
    ASSERT_EQ(out.pieces.size(), 2u);
    EXPECT_TRUE(out.pieces[0].col == 3 && out.pieces[1].col == 4);
    EXPECT_DOUBLE_EQ(tiling_host::signed_area(out.pieces[0].points), 1.0);
    EXPECT_DOUBLE_EQ(tiling_host::signed_area(out.pieces[1].points), 1.0);
}

TEST(PolygonTiling, ShapesOutsideTheGridAreCutToIt) {
    struct Case {
        const char* what;
        Shape ring;
        int pieces;
        double area;
    };
    const Case cases[] = {
        {"wholly left of the grid", square(-100, 10, -90, 20), 0, 0.0},
        {"wholly beyond the far edge", square(200, 200, 300, 300), 0, 0.0},
        {"reaching out on the left", square(-20, 12, 5, 18), 1, 30.0},
        {"reaching past the far corner", square(75, 75, 500, 500), 1, 25.0},
    };
    for (const Case& c : cases) {
        tiling_host::Tiled out = tiling_host::tile_polygons(kGrid8, {c.ring});
        EXPECT_EQ(out.shape_parts, std::vector<int>{c.pieces}) << c.what;
        EXPECT_DOUBLE_EQ(total_area(out.pieces), c.area) << c.what;
        for (const Piece& p : out.pieces)
            EXPECT_TRUE(p.col >= 0 && p.col < 8 && p.row >= 0 && p.row < 8 &&
                        tiling_host::within(p.points, tiling_host::tile_of(kGrid8, p.col, p.row)))
                << c.what;
    }
}

TEST(PolygonTiling, TwoShapesKeepTheirOrderAndCounts) {
    tiling_host::Tiled out =
        tiling_host::tile_polygons(kGrid8, {square(22, 2, 28, 8), square(5, 2, 15, 8)});
    EXPECT_EQ(out.shape_parts, (std::vector<int>{1, 2}));
    ASSERT_EQ(out.pieces.size(), 3u);
    EXPECT_EQ(out.pieces[0].col, 2);
    EXPECT_DOUBLE_EQ(total_area(out.of_shape(1)), 60.0);
}

TEST(PolygonTiling, GridWithoutTilesGivesNothing) {
    for (Grid g : {Grid{0, 0, 80, 80, 0, 8}, Grid{0, 0, 3, 80, 4, 8}, Grid{80, 0, 0, 80, 8, 8}}) {
        tiling_host::Tiled out = tiling_host::tile_polygons(g, {square(5, 5, 75, 75)});
        EXPECT_EQ(out.shape_parts, std::vector<int>{0});
        EXPECT_TRUE(out.pieces.empty());
    }
}

// An output record whatever its capacities: too small for the pieces and for one shape_parts
// entry per shape, or already holding pieces of an earlier call.
TEST(PolygonTiling, OutputRecordOfAnyCapacityIsGrownNotOverrun) {
    Shape ring = square(5, 5, 75, 75);
    std::vector<int> parts{5, 5}, x, y, z;
    for (int copy = 0; copy < 2; ++copy)
        for (const Pt& p : ring)
            x.push_back(p.x), y.push_back(p.y), z.push_back(0);
    polygon_division_in_t in{};
    tiling_host::set_grid(&in, kGrid8, 10, 2);
    polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(), 10, 2);
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 1, 1, 0);
    algebra_polygon_intersec_java(&in, &out);
    EXPECT_EQ(out.part_num, 128);
    EXPECT_EQ(out.shape_num, 2);
    EXPECT_TRUE(out.shape_parts[0] == 64 && out.shape_parts[1] == 64);
    // A second call appends after what the record holds.
    algebra_polygon_intersec_java(&in, &out);
    EXPECT_EQ(out.part_num, 256);
    EXPECT_EQ(out.shape_num, 4);
    EXPECT_EQ(out.shape_parts[3], 64);
    EXPECT_TRUE(out.part_col[0] == out.part_col[128] && out.x[0] == out.x[out.point_num / 2]);
    // Negative counts: the record is left alone.
    out.part_num = -1;
    algebra_polygon_intersec_java(&in, &out);
    EXPECT_EQ(out.shape_num, 4);
    polygon_division_in_free(&in);
    polygon_division_out_free(&out);
}

TEST(PolylineTiling, LineAcrossTilesIsCutAtEveryTileEdge) {
    struct Case {
        const char* what;
        Shape line;
        std::vector<std::pair<int, int>> tiles;  // tiles of the pieces, sorted
        double length;
    };
    const Case cases[] = {
        {"inside one tile",
         {{12, 13}, {18, 17}, {14, 19}},
         {{1, 1}},
         std::hypot(6, 4) + std::hypot(4, 2)},
        {"across a row and up a column",
         {{5, 5}, {35, 5}, {35, 25}},
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}},
         50.0},
        // Along the common edge x = 20 of columns 1 and 2: kept by column 2, whose least-x side it
        // is.
        {"along a tile edge", {{20, 2}, {20, 8}}, {{2, 0}}, 6.0},
        {"wholly outside the grid", {{-50, 5}, {-40, 5}}, {}, 0.0},
        {"reaching out of the grid", {{-50, 5}, {15, 5}}, {{0, 0}, {1, 0}}, 15.0},
    };
    for (const Case& c : cases) {
        tiling_host::Tiled out = tiling_host::tile_polylines(kGrid8, {c.line});
        EXPECT_EQ(out.shape_parts, std::vector<int>{static_cast<int>(c.tiles.size())}) << c.what;
        std::vector<std::pair<int, int>> tiles;
        double length = 0.0;
        for (const Piece& p : out.pieces) {
            tiles.emplace_back(p.col, p.row);
            length += tiling_host::length(p.points);
            EXPECT_TRUE(tiling_host::within(p.points, tiling_host::tile_of(kGrid8, p.col, p.row)))
                << c.what;
        }
        std::sort(tiles.begin(), tiles.end());
        EXPECT_EQ(tiles, c.tiles) << c.what;
        EXPECT_DOUBLE_EQ(length, c.length) << c.what;
    }
}

TEST(PolylineTiling, TwoLinesKeepTheirOrder) {
    tiling_host::Tiled out =
        tiling_host::tile_polylines(kGrid8, {{{5, 5}, {15, 5}}, {{72, 72}, {78, 78}}});
    EXPECT_EQ(out.shape_parts, (std::vector<int>{2, 1}));
    ASSERT_EQ(out.pieces.size(), 3u);
    EXPECT_TRUE(out.pieces[2].col == 7 && out.pieces[2].row == 7);
}

}  // namespace
