// Flat-array records through the public API: init copies or sizes the arrays, read-out copies
// exactly the counted entries, free releases, and the tile rectangle of the grid helper.
#include <gtest/gtest.h>

#include <vector>

#include "mapgeom/java.h"

namespace {

// Sentinel for host buffer slots a read-out must not touch.
constexpr int kUntouched = -777;

std::vector<int> ints(const int* array, int n) {
    return std::vector<int>(array, array + n);
}

TEST(DivisionIn, InitCopiesHostArraysAndLeavesIntegerFields) {
    const int y[] = {-1, -2, -3, -4, -5};
    const int parts[] = {2, 3};
    tag_division_in_t in{};
    in.point_num = 5;
    in.col_num = 7;
    division_in_init(&in, nullptr, y, parts, 5, -3);
    EXPECT_EQ(ints(in.x, 5), std::vector<int>(5, 0)) << "a null host array gives zeros";
    EXPECT_EQ(ints(in.y, 5), ints(y, 5));
    EXPECT_NE(in.part_points, nullptr) << "a negative count still leaves an array to free";
    EXPECT_TRUE(in.point_num == 5 && in.part_num == 0 && in.col_num == 7);
    division_in_free(&in);
    EXPECT_TRUE(in.x == nullptr && in.y == nullptr && in.part_points == nullptr);
    EXPECT_EQ(in.point_num, 5) << "free keeps the integer fields";
}

// Read-out: counted entries copied, host slots past the counts untouched,
// null buffers skipped.
TEST(RecordReadOut, CopiesExactlyTheCountedEntries) {
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 4, 4, 4);
    EXPECT_TRUE(out.point_num == 0 && out.part_num == 0 && out.shape_num == 0);
    for (int i = 0; i < 4; ++i) {
        out.x[i] = 10 + i, out.y[i] = 20 + i, out.z[i] = 30 + i;
        out.part_points[i] = 40 + i, out.part_col[i] = 50 + i, out.part_row[i] = 60 + i;
        out.shape_parts[i] = 70 + i;
    }
    out.point_num = 3, out.part_num = 2, out.shape_num = 1;
    std::vector<int> x(4, kUntouched), y = x, z = x, parts = x, cols = x, rows = x, shapes = x;
    get_polygon_division_out_value(&out, x.data(), y.data(), z.data(), parts.data(), cols.data(),
                                   rows.data(), shapes.data());
    EXPECT_EQ(x, (std::vector<int>{10, 11, 12, kUntouched}));
    EXPECT_EQ(z, (std::vector<int>{30, 31, 32, kUntouched}));
    EXPECT_EQ(rows, (std::vector<int>{60, 61, kUntouched, kUntouched}));
    EXPECT_EQ(shapes, (std::vector<int>{70, kUntouched, kUntouched, kUntouched}));
    out.point_num = -5;
    std::vector<int> none(4, kUntouched);
    get_polygon_division_out_value(&out, none.data(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr);
    EXPECT_EQ(none, std::vector<int>(4, kUntouched)) << "a negative count copies nothing";
    polygon_division_out_free(&out);
    EXPECT_TRUE(out.x == nullptr && out.z == nullptr && out.shape_parts == nullptr);
}

TEST(TileRectangle, WholeNumberTilesFromTheLeastCorner) {
    struct Case {
        int col, row, col_num, row_num;
        rectangle_t grid;  // min_y, max_y, min_x, max_x
        rectangle_t tile;
    };
    const Case cases[] = {
        {1, 2, 4, 4, {0, 100, 0, 100}, {50, 75, 25, 50}},
        // Width 10 over 4 columns: tiles of 2, the last ending at 8 (short of the far edge).
        {3, 0, 4, 1, {0, 1, 0, 10}, {0, 1, 6, 8}},
        // Fractional extents are truncated before dividing: 10.9 wide counts as 10.
        {0, 0, 5, 1, {-3.5, 2.5, 1.5, 12.4}, {-3.5, 2.5, 1.5, 3.5}},
        // The inclusive far index names a tile one past the last.
        {4, 0, 4, 1, {0, 1, 0, 10}, {0, 1, 8, 10}},
        // No columns: a zero-width tile at the least x instead of a division by zero.
        {2, 0, 0, 1, {0, 4, 0, 10}, {0, 4, 0, 0}},
        {-1, -1, 2, 2, {-100, 100, -100, 100}, {-200, -100, -200, -100}},
    };
    for (const Case& c : cases) {
        rectangle_t got = get_rect_by_index(c.col, c.row, c.col_num, c.row_num, c.grid);
        EXPECT_TRUE(got.min_x == c.tile.min_x && got.max_x == c.tile.max_x &&
                    got.min_y == c.tile.min_y && got.max_y == c.tile.max_y)
            << "tile (" << c.col << ", " << c.row << ") of " << c.col_num << "x" << c.row_num
            << ": x " << got.min_x << ".." << got.max_x << ", y " << got.min_y << ".." << got.max_y;
    }
}

}  // namespace
