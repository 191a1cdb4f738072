// Library-internal side of the flat-array records: reading in-records into lists, writing lists
// into out-records with the growth rule, the rectangle outline, the tile index of a point and the
// relation of a polygon to a block of tiles.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "crosspoint/segment_index.h"
#include "java/java_internal.h"
#include "mapgeom/relation.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Polyline;
using testing_shapes::Polylines;

TEST(DivisionInReading, PartsFollowOneAnotherAndOverlongPartsReadEmpty) {
    const int x[] = {0, 9, 9, 0, 0, 20, 30, 25, 20};
    const int y[] = {0, 0, 9, 9, 0, 20, 20, 30, 20};
    const int z[] = {1, 0, 0, 0, 1, 7, 0, 0, 7};
    int parts[] = {5, 4, -2, 1};
    polygon_division_in_t in{};
    in.point_num = 9;
    in.part_num = 4;
    polygon_division_in_init(&in, x, y, z, parts, 9, 4);
    Polygons polygons;
    get_polygons_by_division_in(&in, polygons.get());
    ASSERT_EQ(polygons.size(), 4) << "one polygon per part, whatever its size";
    polygon_t second = com_polygons_at(polygons.get(), 1);
    EXPECT_TRUE(second.geom.count == 4 && second.geom.points[0].x == 20.0 &&
                second.geom.points[0].z == 7.0)
        << "the second part starts at the sixth point";
    EXPECT_EQ(com_polygons_at(polygons.get(), 2).geom.count, 0) << "negative size";
    EXPECT_EQ(com_polygons_at(polygons.get(), 3).geom.count, 0) << "would run past point_num";

    tag_division_in_t lines{};
    lines.point_num = 9;
    lines.part_num = 2;
    division_in_init(&lines, x, y, parts, 9, 2);
    Polylines polylines;
    get_polylines_by_division_in(&lines, polylines.get());
    ASSERT_EQ(polylines.size(), 2);
    polyline_t first = com_polylines_at(polylines.get(), 0);
    EXPECT_TRUE(first.geom.count == 5 && first.geom.points[2].y == 9.0 &&
                first.geom.points[0].z == 0.0);
    polygon_division_in_free(&in);
    division_in_free(&lines);
}

TEST(DivisionOutWriting, PiecesCarryTheirPointsTileAndTruncatedCoordinates) {
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 3, 1, 1);
    int point_capacity = 3, part_capacity = 1;
    Polygons none;
    EXPECT_EQ(
        save_polygons_to_division_out(&out, none.get(), &point_capacity, &part_capacity, 0, 0), 0);
    EXPECT_TRUE(out.part_num == 0 && point_capacity == 3 && part_capacity == 1);

    Polygons pieces;
    Polygon ring({{2.9, -2.9, 2}, {5, 0}, {5, 5}});
    com_polygons_add_copy(pieces.get(), ring.p);
    com_polygons_add(pieces.get(), polygon_t{{nullptr, 0, 0}, nullptr});
    ASSERT_EQ(
        save_polygons_to_division_out(&out, pieces.get(), &point_capacity, &part_capacity, 3, 7),
        0);
    EXPECT_EQ(part_capacity, (1 + 2) * 2);
    EXPECT_EQ(point_capacity, (3 + 4) * 2);
    ASSERT_TRUE(out.point_num == 4 && out.part_num == 2);
    EXPECT_EQ(std::vector<int>(out.part_points, out.part_points + 2), (std::vector<int>{4, 0}))
        << "closing point included; an empty polygon is a part of 0 points";
    EXPECT_TRUE(out.x[0] == 2 && out.y[0] == -2 && out.z[0] == 2 && out.x[3] == 2 && out.y[3] == -2)
        << "truncated toward zero, the last point equal to the first";
    EXPECT_TRUE(out.part_col[1] == 3 && out.part_row[1] == 7);
    polygon_division_out_free(&out);

    tag_division_out_t line_out{};
    division_out_init(&line_out, 512, 512, 1);
    point_capacity = 512, part_capacity = 512;
    line_out.part_num = 510;
    Polylines lines;
    Polyline line({{0, 0}, {1, 1}});
    for (int i = 0; i < 3; ++i)
        com_polylines_add_copy(lines.get(), line.p);
    save_polylines_to_division_out(&line_out, lines.get(), &point_capacity, &part_capacity, 0, 0);
    EXPECT_EQ(part_capacity, 1030) << "(512 + 3) x 2";
    EXPECT_TRUE(point_capacity == 512 && line_out.point_num == 6 && line_out.part_points[512] == 2);
    // Counts that would pass the int32 range write nothing.
    line_out.point_num = INT_MAX - 2;
    EXPECT_NE(save_polylines_to_division_out(&line_out, lines.get(), &point_capacity,
                                             &part_capacity, 0, 0),
              0);
    EXPECT_TRUE(line_out.part_num == 513 && part_capacity == 1030);
    division_out_free(&line_out);
}

TEST(GrowthRule, CapacityPlusNeedTimesTwoWithinInt32) {
    struct Case {
        int capacity, count, need;
        bool ok;
        int grown;
    };
    const Case cases[] = {
        {512, 510, 3, true, 1030},
        {512, 500, 12, true, 512},
        {0, 0, 5, true, 10},
        {4, 9, 1, true, 10},  // count past a stale capacity: still room for count + need
        {INT_MAX - 10, INT_MAX - 10, 5, true, INT_MAX},
        {8, INT_MAX - 1, 2, false, 0},
        {8, -1, 2, false, 0},
        {8, 0, -2, false, 0},
    };
    for (const Case& c : cases) {
        int grown = 0;
        bool ok = mapgeom::grown_capacity(c.capacity, c.count, c.need, &grown);
        EXPECT_EQ(ok, c.ok) << c.capacity << " " << c.count << " " << c.need;
        if (ok) {
            EXPECT_EQ(grown, c.grown) << c.capacity << " " << c.count << " " << c.need;
        }
    }
}

TEST(RectangleOutline, FiveCornersCounterClockwiseFromTheLeastCorner) {
    Polygon outline;
    get_polygon_by_rect(rectangle_t{-1, 3, 10, 12}, &outline.p);
    const double expected[5][2] = {{10, -1}, {12, -1}, {12, 3}, {10, 3}, {10, -1}};
    ASSERT_EQ(outline.p.geom.count, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(outline.p.geom.points[i].x == expected[i][0] &&
                    outline.p.geom.points[i].y == expected[i][1] && outline.p.geom.points[i].z == 0)
            << "corner " << i;
    EXPECT_EQ(testing_shapes::plane_signed_area(&outline.p.geom), 8.0);
}

TEST(TileIndex, BoundariesOfTheAcceptedRange) {
    const rectangle_t grid{0, 100, 0, 10};  // y 0..100, x 0..10
    struct Case {
        int x, y, col_num, row_num;
        int code, col, row;
    };
    const Case cases[] = {
        {9, 99, 4, 4, kIndexAccepted, 4, 3},   // 10 / 4 truncates to tiles of 2: x 9 is column 4
        {8, 100, 4, 4, kIndexAccepted, 4, 4},  // far edges: inclusive index one past the last
        {7, 0, 4, 4, kIndexAccepted, 3, 0},
        {10, 50, 4, 4, kIndexOutsideGrid, 5, 2},  // the remainder strip lies beyond column 4
        {-1, 0, 4, 4, kIndexAccepted, 0, 0},      // -0.5 truncates toward zero
        {-2, 0, 4, 4, kIndexOutsideGrid, -1, 0},
        {0, 101, 5, 4, kIndexAccepted, 0, 4},  // 101 / 25 = 4.04 truncates to row_num itself
        {0, 125, 5, 4, kIndexOutsideGrid, 0, 5},
        {5, 5, 0, 4, kIndexNoTileSize, 0, 0},
        {5, 5, 11, 4, kIndexNoTileSize, 0, 0},  // 10 units over 11 columns: tile width 0
        {5, 5, 4, -1, kIndexNoTileSize, 0, 0},
        {INT_MAX, INT_MIN, 1, 1, kIndexOutsideGrid, 214748364, -21474836},
    };
    for (const Case& c : cases) {
        int col = -99, row = -99;
        int code = get_index_by_value(c.x, c.y, grid, c.col_num, c.row_num, &col, &row);
        EXPECT_TRUE(code == c.code && col == c.col && row == c.row)
            << "(" << c.x << ", " << c.y << ") in " << c.col_num << "x" << c.row_num << ": code "
            << code << ", tile (" << col << ", " << row << ")";
    }
}

// Two independent views of the grid agree: every point of the tiled area lies in the rectangle of
// the tile its index names.
TEST(TileIndex, AgreesWithTileRectangles) {
    const rectangle_t grid{-30, 47, 5, 36};  // 77 high over 6 rows (12), 31 wide over 4 cols (7)
    for (int x = 5; x < 5 + 7 * 4; ++x)
        for (int y = -30; y < -30 + 12 * 6; ++y) {
            int col = 0, row = 0;
            ASSERT_EQ(get_index_by_value(x, y, grid, 4, 6, &col, &row), kIndexAccepted);
            rectangle_t tile = get_rect_by_index(col, row, 4, 6, grid);
            ASSERT_TRUE(tile.min_x <= x && x < tile.max_x && tile.min_y <= y && y < tile.max_y)
                << "(" << x << ", " << y << ") -> tile (" << col << ", " << row << ")";
        }
}

// The block relation of the tiled clipping against relation_polygon_and_polygon on random rings
// and blocks: the same code where the boundary stays away from the block, and the same decision
// (divide further, emit whole, skip) everywhere.
int decision_of(int relation) {
    if (relation == 0 || relation == 1 || relation == 4 || relation == 7)
        return 0;
    return relation == 2 || relation == 5 || relation == 8 || relation == 10 ? 1 : 2;
}

TEST(BlockRelation, AgreesWithThePolygonRelation) {
    const unsigned seed = 77;
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<testing_shapes::Xy> ring;
        int n = 4 + static_cast<int>(rng() % 30);
        for (int i = 0; i < n; ++i) {
            double angle = (i + 0.9 * (rng() % 1000) / 1000.0) / n * 6.283185307179586;
            double r = 20.0 + static_cast<double>(rng() % 60);
            ring.push_back(
                {std::round(50 + r * std::cos(angle)), std::round(50 + r * std::sin(angle))});
        }
        Polygon polygon(ring);
        mapgeom::SegmentIndex boundary;
        mapgeom::build_segment_index(&boundary, &polygon.get()->geom,
                                     polygon.get()->geom.count - 1);
        for (int b = 0; b < 20; ++b) {
            double x0 = rng() % 100, y0 = rng() % 100;
            rectangle_t rect{y0, y0 + 1 + rng() % 40, x0, x0 + 1 + rng() % 40};
            Polygon outline;
            get_polygon_by_rect(rect, outline.get());
            int fast =
                mapgeom::relation_polygon_and_block(polygon.get(), boundary, rect, outline.get());
            int full = relation_polygon_and_polygon(polygon.get(), outline.get());
            ASSERT_TRUE(fast == full || (fast == 0 && decision_of(full) == 0))
                << "seed " << seed << " trial " << trial << " block " << rect.min_x << ","
                << rect.min_y << " .. " << rect.max_x << "," << rect.max_y << ": " << fast
                << " against " << full;
        }
    }
}

}  // namespace
