// Flat-array records: in-records read, out-records written by the growth rule and read out, the
// tile grid helpers at their boundaries, the polygon-list and split-lines records.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "java/java_internal.h"
#include "shape_text.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Polylines;
using testing_shapes::pts;
using testing_shapes::text_of;

TEST(DivisionIn, PartsFollowOneAnotherAndOverlongPartsReadEmpty) {
    const int x[] = {0, 9, 9, 0, 0, 20, 30, 25, 20}, y[] = {0, 0, 9, 9, 0, 20, 20, 30, 20};
    const int z[] = {1, 0, 0, 0, 1, 7, 0, 0, 7}, parts[] = {5, 4, -2, 1};
    polygon_division_in_t in{};
    in.point_num = 9, in.part_num = 4;
    polygon_division_in_init(&in, x, y, z, parts, 9, 4);
    Polygons polygons;
    get_polygons_by_division_in(&in, polygons.get());
    EXPECT_EQ(text_of(polygons.get()),
              "0 0 1, 9 0 0, 9 9 0, 0 9 0, 0 0 1 | 20 20 7, 30 20 0, 25 30 0, 20 20 7 |  | ")
        << "a negative part and one past point_num read empty";
    polygon_division_in_free(&in);
    EXPECT_TRUE(in.x == nullptr && in.z == nullptr && in.point_num == 9);
    tag_division_in_t lines{};
    division_in_init(&lines, nullptr, y, parts, 5, -3);
    EXPECT_EQ(std::vector<int>(lines.x, lines.x + 5), std::vector<int>(5, 0)) << "null host array";
    EXPECT_NE(lines.part_points, nullptr) << "a negative count still leaves an array to free";
    division_in_free(&lines);
}

TEST(DivisionOut, PiecesAreWrittenTruncatedGrownByTheRuleAndReadOutExactly) {
    constexpr int U = -777;  // a host buffer entry the read-out must leave alone
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 3, 1, 1);
    int point_capacity = 3, part_capacity = 1;
    Polygons pieces;
    com_polygons_add_copy(pieces.get(), Polygon(pts("2.9 -2.9 2, 5 0, 5 5")).p);
    com_polygons_add(pieces.get(), polygon_t{{nullptr, 0, 0}, nullptr});
    save_polygons_to_division_out(&out, pieces.get(), &point_capacity, &part_capacity, 3, 7);
    EXPECT_TRUE(part_capacity == (1 + 2) * 2 && point_capacity == (3 + 4) * 2);
    out.shape_parts[0] = 2, out.shape_num = 1;
    std::vector<int> x(5, U), z = x, points = x, cols = x, rows = x, shapes = x;
    get_polygon_division_out_value(&out, x.data(), nullptr, z.data(), points.data(), cols.data(),
                                   rows.data(), shapes.data());
    using Rows = std::vector<std::vector<int>>;
    const Rows read_out{{2, 5, 5, 2, U}, {2, 0, 0, 2, U}, {4, 0, U, U, U},
                        {3, 3, U, U, U}, {7, 7, U, U, U}, {2, U, U, U, U}};
    EXPECT_EQ((Rows{x, z, points, cols, rows, shapes}), read_out)
        << "x: 2.9 truncates to 2, closing point kept; z; points; cols; rows; shape parts";
    EXPECT_EQ(out.y[0], -2);
    out.point_num = INT_MAX - 2;  // counts that would pass the int32 range write nothing
    EXPECT_NE(
        save_polygons_to_division_out(&out, pieces.get(), &point_capacity, &part_capacity, 0, 0),
        0);
    EXPECT_EQ(out.part_num, 2);
    polygon_division_out_free(&out);
}

// The branches the records leave out: an exact fit, a count past a stale capacity, a doubling
// past the int32 range (clamped), a negative count (refused).
TEST(GrowthRule, CapacityPlusNeedTimesTwoWithinInt32) {
    const int big = INT_MAX - 10;
    const int cases[][4] = {
        {512, 500, 12, 512}, {4, 9, 1, 10}, {big, big, 5, INT_MAX}, {8, -1, 2, 0}};
    for (const auto& c : cases) {  // capacity, count, need, grown (0: no room can be made)
        int grown = 0;
        bool ok = mapgeom::grown_capacity(c[0], c[1], c[2], &grown);
        EXPECT_EQ(ok ? grown : 0, c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
}

// Whole-number tile sizes from the least corner: 10.9 wide counts as 10; no columns, no division.
TEST(TileRectangle, WholeNumberTilesFromTheLeastCorner) {
    using Sides = std::vector<double>;  // min_y, max_y, min_x, max_x
    auto sides = [](rectangle_t r) { return Sides{r.min_y, r.max_y, r.min_x, r.max_x}; };
    EXPECT_EQ(sides(get_rect_by_index(0, 0, 1, 1, {-3.5, 2.5, 1.5, 12.4})),
              (Sides{-3.5, 2.5, 1.5, 11.5}));
    EXPECT_EQ(sides(get_rect_by_index(2, 0, 0, 1, {0, 4, 0, 10})), (Sides{0, 4, 0, 0}));
}

TEST(TileIndex, BoundariesOfTheAcceptedRange) {
    const rectangle_t grid{0, 100, 0, 10};  // y 0..100, x 0..10
    struct Case {
        int x, y, col_num, row_num, code, col, row;
    };
    const Case cases[] = {
        {8, 100, 4, 4, kIndexAccepted, 4, 4},     // far edges: one past the last tile, accepted
        {10, 50, 4, 4, kIndexOutsideGrid, 5, 2},  // the remainder strip lies beyond column 4
        {-1, 0, 4, 4, kIndexAccepted, 0, 0},      // -0.5 truncates toward zero
        {-2, 0, 4, 4, kIndexOutsideGrid, -1, 0},
        {5, 5, 11, 4, kIndexNoTileSize, 0, 0},  // 10 units over 11 columns: tile width 0
        {INT_MAX, INT_MIN, 1, 1, kIndexOutsideGrid, 214748364, -21474836},
    };
    for (const Case& c : cases) {
        int col = -99, row = -99;
        int code = get_index_by_value(c.x, c.y, grid, c.col_num, c.row_num, &col, &row);
        EXPECT_EQ((std::vector<int>{code, col, row}), (std::vector<int>{c.code, c.col, c.row}))
            << c.x << "," << c.y << " in " << c.col_num << "x" << c.row_num;
    }
}

TEST(PolygonsJava, AppendingGrowsToCapacityPlusNeedTimesTwoAndConvertsBack) {
    polygons_java_t record{};
    com_polygons_java_init(&record);
    Polygons squares, back;
    for (int i = 0; i < 200; ++i) {
        double x = i * 10.9, y = -i * 2.9;
        com_polygons_add_copy(
            squares.get(),
            Polygon({{x, y, 2}, {x + 5, y}, {x + 5, y + 5}, {x, y + 5}, {x, y, 3}}).p);
    }
    com_polygons_java_add_value(&record, squares.get());
    ASSERT_TRUE(record.point_num == 1000 && record.part_num == 200 && record.part_points[199] == 5);
    com_polygons_java_get_polygons(&record, back.get());
    ASSERT_EQ(back.size(), 200);
    EXPECT_EQ(text_of(&com_polygons_at_pointer(back.get(), 3)->geom),
              "32 -8 2, 37 -8 0, 37 -3 0, 32 -3 0, 32 -8 3")
        << "truncated toward 0, codes kept";
    com_polygons_java_free(&record);
    com_polygons_java_add_value(&record, back.get());
    EXPECT_TRUE(record.part_num == 200 && record.part_capacity == 400) << "a freed record grows";
    com_polygons_java_free(&record);
}

TEST(SplitLines, GroupsGrowAndReadBack) {
    split_lines_t lines{};
    com_split_lines_init(&lines);
    const int pair[] = {0, 2};
    for (int i = 0; i < 200; ++i)
        com_split_lines_add(&lines, pair, 2);
    com_split_lines_add(&lines, nullptr, 3);
    com_split_lines_add(&lines, pair, -1);
    std::vector<int> values(400), groups(200);
    get_split_lines_value(&lines, values.data(), groups.data());
    EXPECT_TRUE(lines.group_num == 200 && values[399] == 2 && groups[199] == 2);
    com_split_lines_free(&lines);
    com_split_lines_add(&lines, pair, 2);
    EXPECT_TRUE(lines.group_num == 1 && lines.values[1] == 2) << "usable again after free";
    com_split_lines_free(&lines);
}

TEST(SplitLines, IndexPairsBecomeTwoPointPolylines) {
    Polygons list;
    for (const char* square : {"0 0, 10 0, 10 10, 0 10", "100 0, 110 0, 110 10, 100 10"})
        com_polygons_add_copy(list.get(), Polygon(pts(square)).p);
    const char* const both = "0 0, 10 10 | 110 0, 100 10";  // a pair of each polygon
    const std::pair<std::vector<std::vector<int>>, const char*> cases[] = {
        {{{0, 2, 1, 3}}, "0 0, 10 10 | 10 0, 0 10"},  // a group of 4 gives two lines
        {{{0, 2}, {1, 3}}, both},                     // one group per polygon
        {{{0, 2, 1}, {1, 3}}, both},                  // an odd group keeps its own values
        {{{0, 5, 0, 2}, {-1, 3}}, "0 0, 10 10"},      // vertices outside the ring skipped
        {{{0, 2}, {1, 3}, {0, 1}}, both},             // more groups than polygons
    };
    for (const auto& [groups, expected] : cases) {
        split_lines_t lines{};
        com_split_lines_init(&lines);
        for (const std::vector<int>& group : groups)
            com_split_lines_add(&lines, group.data(), static_cast<int>(group.size()));
        Polylines out;
        com_split_lines_get_polylines(list.get(), &lines, out.get());
        EXPECT_EQ(text_of(out.get()), testing_shapes::texts_of(expected)) << expected;
        com_split_lines_free(&lines);
    }
}

}  // namespace
