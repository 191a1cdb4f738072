// Polygon-list and split-lines records: growth by the writers' rule, round trips between the
// record and polygon lists, and the pairing of vertex indexes into two-point polylines.
#include <gtest/gtest.h>

#include <vector>

#include "mapgeom/java.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Polylines;

// A square of side s at (x0, y0) with press codes 2 and 3 on its first and closing points.
void add_square(Polygons& list, double x0, double y0, double s) {
    Polygon square({{x0, y0, 2}, {x0 + s, y0}, {x0 + s, y0 + s}, {x0, y0 + s}, {x0, y0, 3}});
    com_polygons_add_copy(list.get(), square.p);
}

bool same_points(const polygon_t& a, const polygon_t& b) {
    if (a.geom.count != b.geom.count)
        return false;
    for (int i = 0; i < a.geom.count; ++i) {
        const point_t &p = a.geom.points[i], &q = b.geom.points[i];
        if (p.x != q.x || p.y != q.y || p.z != q.z)
            return false;
    }
    return true;
}

TEST(PolygonsJava, AppendingGrowsToCapacityPlusNeedTimesTwo) {
    polygons_java_t record{};
    com_polygons_java_init(&record);
    EXPECT_TRUE(record.point_capacity == 128 && record.part_capacity == 128);
    Polygons none;
    com_polygons_java_add_value(&record, none.get());
    EXPECT_TRUE(record.point_num == 0 && record.part_num == 0 && record.point_capacity == 128);

    Polygons squares;
    for (int i = 0; i < 200; ++i)
        add_square(squares, i * 10.9, -i * 2.9, 5);
    com_polygons_java_add_value(&record, squares.get());
    EXPECT_EQ(record.part_capacity, 656);
    EXPECT_EQ(record.point_capacity, 2256);
    ASSERT_TRUE(record.point_num == 1000 && record.part_num == 200);

    // Reading back gives the same rings, coordinates truncated toward zero.
    std::vector<int> x(1000), y(1000), z(1000), parts(200);
    get_polygons_java_value(&record, x.data(), y.data(), z.data(), parts.data());
    EXPECT_EQ(parts, std::vector<int>(200, 5));
    EXPECT_TRUE(x[5] == 10 && y[5] == -2 && z[5] == 2 && z[9] == 3);
    EXPECT_EQ(y[995], -577) << "-199 * 2.9 = -577.1 truncates toward zero";
    Polygons back;
    com_polygons_java_get_polygons(&record, back.get());
    ASSERT_EQ(back.size(), 200);
    polygon_t third = com_polygons_at(back.get(), 3);
    EXPECT_TRUE(third.geom.count == 5 && third.geom.points[0].x == 32.0 &&
                third.geom.points[4].z == 3.0);

    com_polygons_java_free(&record);
    EXPECT_TRUE(record.x == nullptr && record.point_num == 0 && record.part_num == 0 &&
                record.point_capacity == 0 && record.part_capacity == 0);
    // A freed record is empty, not stale: appending to it allocates afresh.
    com_polygons_java_add_value(&record, back.get());
    EXPECT_TRUE(record.part_num == 200 && record.part_capacity == 400);
    com_polygons_java_free(&record);
}

TEST(PolygonsJava, HostArraysRoundTripThroughPolygons) {
    const int x[] = {0, 4, 4, 0, 0, 10, 12, 11, 10};
    const int y[] = {0, 0, 4, 4, 0, 10, 10, 12, 10};
    const int z[] = {2, 0, 0, 0, 3, 0, 0, 0, 0};
    const int parts[] = {5, 4};
    polygons_java_t record{};
    com_polygons_java_init_value(&record, x, y, z, parts, 9, 2);
    EXPECT_TRUE(record.point_capacity == 9 && record.part_capacity == 2);
    Polygons list;
    com_polygons_java_get_polygons(&record, list.get());
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(com_polygons_at(list.get(), 1).geom.points[0].x, 10.0);

    // list -> record -> list reproduces the rings.
    polygons_java_t copy{};
    com_polygons_java_init(&copy);
    com_polygons_java_add_value(&copy, list.get());
    Polygons again;
    com_polygons_java_get_polygons(&copy, again.get());
    ASSERT_EQ(again.size(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(same_points(com_polygons_at(list.get(), i), com_polygons_at(again.get(), i)));
    com_polygons_java_free(&copy);

    // A part claiming more points than stored reads as an empty polygon, keeping its place.
    record.part_points[0] = 7;
    Polygons clipped;
    com_polygons_java_get_polygons(&record, clipped.get());
    ASSERT_EQ(clipped.size(), 2);
    EXPECT_EQ(com_polygons_at(clipped.get(), 0).geom.count, 7);
    EXPECT_EQ(com_polygons_at(clipped.get(), 1).geom.count, 0);
    com_polygons_java_free(&record);
}

TEST(SplitLines, GroupsGrowAndReadBack) {
    split_lines_t lines{};
    com_split_lines_init(&lines);
    const int pair[] = {0, 2};
    for (int i = 0; i < 200; ++i)
        com_split_lines_add(&lines, pair, 2);
    EXPECT_EQ(lines.group_capacity, 256) << "the group array doubles";
    EXPECT_EQ(lines.value_capacity, ((128 + 2) * 2 + 2) * 2) << "values: 128 -> 260 -> 524";
    com_split_lines_add(&lines, nullptr, 3);
    com_split_lines_add(&lines, pair, -1);
    EXPECT_TRUE(lines.group_num == 200 && lines.value_num == 400) << "bad groups add nothing";
    std::vector<int> values(400), groups(200);
    get_split_lines_value(&lines, values.data(), groups.data());
    EXPECT_TRUE(values[398] == 0 && values[399] == 2 && groups[199] == 2);
    com_split_lines_free(&lines);
    EXPECT_TRUE(lines.values == nullptr && lines.value_num == 0 && lines.group_capacity == 0);
    com_split_lines_add(&lines, pair, 2);
    EXPECT_TRUE(lines.group_num == 1 && lines.values[1] == 2) << "usable again after free";
    com_split_lines_free(&lines);
}

TEST(SplitLines, IndexPairsBecomeTwoPointPolylines) {
    Polygons list;
    add_square(list, 0, 0, 10);
    add_square(list, 100, 0, 10);
    struct Case {
        const char* name;
        std::vector<std::vector<int>> groups;
        std::vector<std::vector<double>> lines;  // x of the two ends of each polyline
    };
    const Case cases[] = {
        {"group of 4 gives two lines", {{0, 2, 1, 3}}, {{0, 10}, {10, 0}}},
        {"one group per polygon", {{0, 2}, {1, 3}}, {{0, 10}, {110, 100}}},
        {"odd group keeps its own values", {{0, 2, 1}, {1, 3}}, {{0, 10}, {110, 100}}},
        {"vertex outside the ring skipped", {{0, 5, 0, 2}, {-1, 3}}, {{0, 10}}},
        {"more groups than polygons", {{0, 2}, {1, 3}, {0, 1}}, {{0, 10}, {110, 100}}},
    };
    for (const Case& c : cases) {
        split_lines_t lines{};
        com_split_lines_init(&lines);
        for (const std::vector<int>& group : c.groups)
            com_split_lines_add(&lines, group.data(), static_cast<int>(group.size()));
        Polylines out;
        com_split_lines_get_polylines(list.get(), &lines, out.get());
        ASSERT_EQ(out.size(), static_cast<int>(c.lines.size())) << c.name;
        for (int i = 0; i < out.size(); ++i) {
            polyline_t line = com_polylines_at(out.get(), i);
            EXPECT_TRUE(line.geom.count == 2 && line.geom.points[0].x == c.lines[i][0] &&
                        line.geom.points[1].x == c.lines[i][1])
                << c.name << ", line " << i;
        }
        com_split_lines_free(&lines);
    }
}

}  // namespace
