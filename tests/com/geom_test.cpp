// Point arrays: growth, shifting on insert and remove, search with the coincidence tolerance,
// reversal of press codes, and the always-on precondition checks with their trace files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

struct Geom {
    geom_t g{};
    Geom() { com_geom_init(&g); }
    ~Geom() { com_geom_free(&g); }
};

std::vector<double> values_of(const geom_t& g, double point_t::*member) {
    std::vector<double> values;
    for (int i = 0; i < com_geom_num(&g); ++i)
        values.push_back(com_geom_at(&g, i).*member);
    return values;
}

// count and capacity
std::pair<int, int> sizes(const geom_t* g) {
    return {com_geom_num(g), com_geom_capacity(g)};
}

TEST(GeomGrowth, CapacityDoublesAtSixteenAndThirtyTwoAndKeepsPoints) {
    const struct {
        void (*init)(geom_t*);
        int initial;
    } cases[] = {{com_geom_init, 16}, {com_geom_init_polyline, 16}, {com_geom_init_polygon, 32}};
    for (const auto& c : cases) {
        geom_t g{};
        c.init(&g);
        for (int i = 0; i < c.initial; ++i)
            com_geom_add(&g, pt(i, -i));
        EXPECT_EQ(com_geom_capacity(&g), c.initial);
        com_geom_add(&g, pt(c.initial, 0));
        EXPECT_EQ(com_geom_capacity(&g), 2 * c.initial);
        for (int i = 0; i < c.initial; ++i)
            EXPECT_EQ(com_geom_at(&g, i).y, -i);
        com_geom_free(&g);
        EXPECT_EQ(g.points, nullptr);
        com_geom_add(&g, pt(3, 4));  // a freed record starts again with 16 slots
        EXPECT_EQ(sizes(&g), std::make_pair(1, 16));
        com_geom_free(&g);
    }
    com_geom_add(nullptr, pt(0, 0));
}

TEST(GeomStorage, ClearKeepsCapacityResizeZeroesAndCopyKeepsCapacity) {
    Geom a;
    for (int i = 0; i < 5; ++i)
        com_geom_add(&a.g, pt(i + 1, i + 1, 7));
    com_geom_clear(&a.g);
    EXPECT_EQ(com_geom_capacity(&a.g), 16);
    com_geom_add(&a.g, pt(9, 9));
    EXPECT_EQ(a.g.points[0].x, 9);
    com_geom_resize(&a.g, 8);
    EXPECT_EQ(sizes(&a.g), std::make_pair(0, 8));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(a.g.points[i].x + a.g.points[i].y + a.g.points[i].z, 0.0);
    for (int i = 0; i < 3; ++i)
        com_geom_add(&a.g, pt(i, i, i));
    geom_t copy{};
    com_geom_geom(&copy, &a.g);
    EXPECT_EQ(sizes(&copy), std::make_pair(3, 8));
    com_geom_setat(&a.g, 0, pt(100, 100));
    EXPECT_EQ(com_geom_at(&copy, 0).x, 0);
    com_geom_free(&copy);
}

TEST(GeomEditing, InsertAndRemoveShiftTheFollowingPointsAndSearchIsStrict) {
    Geom a;
    EXPECT_EQ(com_geom_find(&a.g, pt(0, 0)), -1);
    for (int i = 0; i < 16; ++i)
        com_geom_add(&a.g, pt(i, 0));
    com_geom_insertat(&a.g, 0, pt(-1, 0));  // full: grows while shifting
    com_geom_insertat(&a.g, 5, pt(3.5, 0));
    EXPECT_EQ(com_geom_capacity(&a.g), 32);
    EXPECT_EQ(values_of(a.g, &point_t::x),
              (std::vector<double>{-1, 0, 1, 2, 3, 3.5, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    com_geom_removeat(&a.g, 0);
    com_geom_removeat(&a.g, com_geom_num(&a.g) - 1);
    com_geom_add(&a.g, pt(1.00005, 0));
    EXPECT_EQ(com_geom_find(&a.g, pt(1.00002, 0.00002)), 1);  // the lower of two within 0.0001
    EXPECT_EQ(com_geom_find(&a.g, pt(1.0002, 0)), -1);
    EXPECT_EQ(com_geom_remove(&a.g, pt(3.5, 0.00005)), 0);
    EXPECT_EQ(com_geom_remove(&a.g, pt(3.5, 0)), -1);
    EXPECT_EQ(values_of(a.g, &point_t::x),
              (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 1.00005}));
}

TEST(PointTolerance, DifferenceOfExactlyTheToleranceOrNaNIsDifferent) {
    const struct {
        point_t a, b;
        double permit;
        int same;
    } cases[] = {
        {pt(0, 0), pt(0.0001, 0), 0.0001, 1}, {pt(0, 0), pt(0.00009, -0.00009, 7), 0.0001, 0},
        {pt(10, 10), pt(10.5, 9.5), 0.5, 1},  {pt(10, 10), pt(10.49, 9.51), 0.5, 0},
        {pt(NAN, 0), pt(NAN, 0), 0.0001, 1},  {pt(0, 0), pt(0, INFINITY), 0.0001, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(com_points_same_permit(c.a, c.b, c.permit), c.same) << c.a.x << "," << c.a.y;
        EXPECT_TRUE(c.permit != 0.0001 || com_points_same(c.a, c.b) == c.same);
    }
    point_t a1 = pt(0, 0), a2 = pt(10, 5);
    EXPECT_EQ(com_line_same(a1, a2, pt(10.00005, 5), pt(0, -0.00005)), 0);
    EXPECT_EQ(com_line_same(a1, a2, a1, pt(10, 5.001)), 1);
    EXPECT_EQ(com_line_same_permit(a1, a2, pt(10.4, 5), pt(0.4, 0), 0.5), 0);
    EXPECT_EQ(com_line_same_permit(a1, a2, pt(10.5, 5), pt(0, 0), 0.5), 1);
}

TEST(GeomReverse, ExchangesSectionStartsAndEnds) {
    const struct {
        std::vector<double> codes, reversed;
    } cases[] = {{{0, 2, 103, 12, -2}, {-2, 12, 102, 3, 0}}, {{1202, 3}, {2, 1203}}};
    for (const auto& c : cases) {
        Geom a;
        for (size_t i = 0; i < c.codes.size(); ++i)
            com_geom_add(&a.g, pt(i, 0, c.codes[i]));
        com_geom_reverse(&a.g);
        EXPECT_EQ(values_of(a.g, &point_t::z), c.reversed);
        EXPECT_EQ(com_geom_front(&a.g).x, c.codes.size() - 1.0);
    }
}

std::string read_file(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(GeomPreconditionDeathTest, IndexOutOfRangeStopsWithExpressionAndTrace) {
    std::remove("error.txt");
    Geom a;
    com_geom_add(&a.g, pt(2.9, -2.9));
    EXPECT_DEATH(com_geom_at(&a.g, 1), "com_geom_at.*index < geom->count && index >= 0");
    EXPECT_DEATH(com_geom_insertat(&a.g, 1, pt(0, 0)), "index < geom->count && index >= 0");
    EXPECT_DEATH(com_geom_setat(&a.g, -1, pt(0, 0)), "index < geom->count && index >= 0");
    EXPECT_DEATH(com_geom_removeat(&a.g, 3), "index < geom->count && index >= 0");
    com_geom_clear(&a.g);
    EXPECT_DEATH(com_geom_front(&a.g), "geom->count > 0");
    EXPECT_DEATH(com_geom_last(&a.g), "geom->count > 0");
    EXPECT_EQ(read_file("error.txt"),
              "com_geom_at: 1\t1\n2\t-2\n\ncom_geom_front\ncom_geom_last\n");
}

}  // namespace
