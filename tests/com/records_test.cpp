// Geometry records and their containers: growth, shifting, search with the coincidence tolerance,
// reversal of press codes, the closed ring, integer arrays, list links and ownership, the polyline
// grouping table, and the always-on precondition checks with their trace file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

using namespace testing_shapes;

namespace {

std::vector<double> values_of(const geom_t& g, double point_t::*member) {
    std::vector<double> values;
    for (int i = 0; i < com_geom_num(&g); ++i)
        values.push_back(com_geom_at(&g, i).*member);
    return values;
}

TEST(GeomStorage, GrowsByDoublingKeepingItsPointsAndCopiesDeeply) {
    const std::pair<void (*)(geom_t*), int> inits[] = {{com_geom_init, 16},
                                                       {com_geom_init_polygon, 32}};
    for (const auto& [init, initial] : inits) {
        geom_t g{}, copy{};
        init(&g);
        for (int i = 0; i <= initial; ++i)
            com_geom_add(&g, pt(i, -i));
        EXPECT_EQ(com_geom_capacity(&g), 2 * initial);
        com_geom_geom(&copy, &g);
        com_geom_setat(&g, 0, pt(100, 100));
        for (int i = 0; i <= initial; ++i)
            EXPECT_EQ(copy.points[i].y, -i);
        com_geom_free(&copy);
        com_geom_free(&g);
    }
    com_geom_add(nullptr, pt(0, 0));
    com_geom_free(nullptr);
}

TEST(GeomEditing, InsertAndRemoveShiftTheFollowingPointsAndSearchIsStrict) {
    geom_t g{};
    EXPECT_EQ(com_geom_find(&g, pt(0, 0)), -1);
    for (int i = 0; i < 16; ++i)
        com_geom_add(&g, pt(i, 0));
    com_geom_insertat(&g, 0, pt(-1, 0));  // full: grows while shifting
    com_geom_insertat(&g, 5, pt(3.5, 0));
    EXPECT_EQ(values_of(g, &point_t::x),
              (std::vector<double>{-1, 0, 1, 2, 3, 3.5, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    com_geom_removeat(&g, 0);
    com_geom_removeat(&g, com_geom_num(&g) - 1);
    com_geom_add(&g, pt(1.00005, 0));
    EXPECT_EQ(com_geom_find(&g, pt(1.00002, 0.00002)), 1);  // the lower of two within 0.0001
    EXPECT_EQ(com_geom_find(&g, pt(1.0002, 0)), -1);
    EXPECT_EQ(com_geom_remove(&g, pt(3.5, 0.00005)), 0);
    EXPECT_EQ(com_geom_remove(&g, pt(3.5, 0)), -1);
    EXPECT_EQ(values_of(g, &point_t::x),
              (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 1.00005}));
    com_geom_free(&g);
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
    EXPECT_EQ(com_line_same_permit(a1, a2, pt(10.4, 5), pt(0.4, 0), 0.5), 0);
    EXPECT_EQ(com_line_same_permit(a1, a2, pt(10.5, 5), pt(0, 0), 0.5), 1);
}

TEST(GeomReverse, ExchangesSectionStartsAndEnds) {
    const std::pair<std::vector<double>, std::vector<double>> cases[] = {
        {{0, 2, 103, 12, -2}, {-2, 12, 102, 3, 0}}, {{1202, 3}, {2, 1203}}};
    for (const auto& [codes, reversed] : cases) {
        geom_t g{};
        for (size_t i = 0; i < codes.size(); ++i)
            com_geom_add(&g, pt(i, 0, codes[i]));
        com_geom_reverse(&g);
        EXPECT_EQ(values_of(g, &point_t::z), reversed);
        com_geom_free(&g);
    }
}

crosspt_t cross(double x, int tag) {
    return crosspt_t{pt(x, 0), tag, -tag, 0, 0};
}

std::vector<int> tags_of(const crosspts_t* list) {
    std::vector<int> tags;
    for (int i = 0; i < com_crosspts_num(list); ++i)
        tags.push_back(com_crosspts_at(list, i).index1);
    return tags;
}

TEST(CrosspointList, GrowsFromTenShiftsRemovesTheFirstMatchReversesAndCopiesDeeply) {
    crosspts_t list{};  // never initialised: the first add does it
    for (int i = 0; i < 10; ++i)
        com_crosspts_add(&list, cross(i, i));
    EXPECT_EQ(com_crosspts_capacity(&list), 10);
    com_crosspts_insertat(&list, 0, cross(-1, -1));  // full: grows while shifting
    EXPECT_EQ(com_crosspts_capacity(&list), 20);
    com_crosspts_insertat(&list, 10, cross(1, 85));
    com_crosspts_removeat(&list, 3);
    EXPECT_EQ(tags_of(&list), (std::vector<int>{-1, 0, 1, 3, 4, 5, 6, 7, 8, 85, 9}));
    EXPECT_EQ(com_crosspts_remove(&list, cross(1.00005, 99)), 0);  // the first within 0.0001
    com_crosspts_reverse(&list);
    EXPECT_EQ(tags_of(&list), (std::vector<int>{9, 85, 8, 7, 6, 5, 4, 3, 0, -1}));
    crosspts_t copy{};
    com_crosspts_crosspts(&copy, &list);
    com_crosspts_setat(&list, 0, cross(0, 42));
    EXPECT_EQ(com_crosspts_front(&copy).index1, 9);
    com_crosspts_free(&copy);
    com_crosspts_free(&list);
    com_crosspts_free(&list);  // harmless twice
}

// One stop per assertion text; the index checks of point arrays and the empty-array checks append
// their trace lines to "error.txt" in the working directory first.
TEST(PreconditionDeathTest, ViolationsStopWithTheExpressionAndTrace) {
    std::remove("error.txt");
    Polyline line{{2.9, -2.9}};
    geom_t* g = &line.get()->geom;
    EXPECT_DEATH(com_geom_at(g, 1), "com_geom_at.*index < geom->count && index >= 0");
    crosspts_t list{};
    com_crosspts_add(&list, cross(1, 1));
    EXPECT_DEATH(com_crosspts_insertat(&list, 1, cross(0, 0)),
                 "index < crosspts->count && index >= 0");
    com_crosspts_free(&list);
    com_geom_clear(g);
    EXPECT_DEATH(com_geom_last(g), "geom->count > 0");
    std::stringstream trace;
    trace << std::ifstream("error.txt").rdbuf();
    EXPECT_EQ(trace.str(), "com_geom_at: 1\t1\n2\t-2\n\ncom_geom_last\n");
}

TEST(PolygonRing, CountsVerticesWrapsNeighboursAndCopiesDeeply) {
    const int xs[] = {0, 10, 10, 0}, ys[] = {0, 0, 10, 0};
    Polygon p;
    com_polygon_add_points(p.get(), xs, ys, 4, 4);
    EXPECT_EQ(com_polygon_num(p.get()), 3);
    EXPECT_EQ(com_polygon_nexter(p.get(), 3).x, 10);
    EXPECT_EQ(com_polygon_priorer(p.get(), 0).y, 10);
    p.get()->next = p.get();
    polygon_t* copy = nullptr;
    com_polygon_polygon_pointer(&copy, p.get());
    com_polygon_setat(p.get(), 0, pt(-1, -1));
    EXPECT_EQ(copy->next, nullptr);
    EXPECT_EQ(com_polygon_front(copy).x, 0);
    com_polygon_free(copy);
    com_polygon_free_pointer(copy);
}

TEST(ShapeArrays, ReadAndWriteOnlyWithMatchingSizesTruncatingTowardZero) {
    int xs[3] = {7, 7, 7}, ys[3] = {7, 7, 7}, zs[3] = {7, 7, 7};
    const int in_x[] = {1, 2, 3}, in_y[] = {4, 5, 6}, in_z[] = {2, 0, 3};
    Polygon p;
    com_polygon_at_points(p.get(), xs, ys, 1, 1);  // empty: nothing to write
    com_polygon_add_points_z(p.get(), in_x, in_y, in_z, 3, 3, 2);
    EXPECT_EQ(std::make_pair(p.get()->geom.count, xs[0]), std::make_pair(0, 7));
    com_polygon_add_points_z(p.get(), in_x, in_y, in_z, 3, 3, 3);
    EXPECT_EQ(com_polygon_at(p.get(), 2).z, 3);

    Polygon ring{{2.9, -2.9, 3.7}, {5, 0}};           // closed: three points for two vertices
    com_polygon_at_points(ring.get(), xs, ys, 2, 2);  // the closing point is written too
    EXPECT_EQ(xs[0], 7);
    com_polygon_at_points_z(ring.get(), xs, ys, zs, 3, 3);
    EXPECT_EQ(std::vector<int>(xs, xs + 3), (std::vector<int>{2, 5, 2}));
    EXPECT_EQ(std::vector<int>(ys, ys + 3), (std::vector<int>{-2, 0, -2}));
    EXPECT_EQ(std::vector<int>(zs, zs + 3), (std::vector<int>{3, 0, 3}));

    Polyline l;
    com_polyline_add_points(l.get(), in_x, in_y, 3, 3);
    com_polyline_at_points(l.get(), xs, ys, 3, 3);  // a polyline writes all its points
    EXPECT_EQ(std::vector<int>(ys, ys + 3), (std::vector<int>{4, 5, 6}));
}

// A one-point polygon whose x tags it.
polygon_t tagged(double tag) {
    polygon_t p;
    com_polygon_init(&p);
    com_polygon_add(&p, pt(tag, 0));
    return p;
}

// The tags from head to tail; walking back from the tail must give them reversed.
std::vector<double> tags_of(const polygons_t* list) {
    std::vector<double> tags, backwards;
    for (int i = 0; i < com_polygons_num(list); ++i)
        tags.push_back(com_polygons_at(list, i).geom.points[0].x);
    for (const polygon_node_t* n = list->tail; n != nullptr; n = n->prev)
        backwards.insert(backwards.begin(), n->polygon.geom.points[0].x);
    EXPECT_EQ(backwards, tags);
    EXPECT_TRUE(list->head == nullptr ||
                (list->head->prev == nullptr && list->tail->next == nullptr));
    return tags;
}

TEST(PolygonList, LinksAndUnlinksAtHeadMiddleAndTail) {
    Polygons list;
    com_polygons_insertat(list.get(), 0, tagged(1));  // empty list: append
    com_polygons_add(list.get(), tagged(2));
    com_polygons_add(list.get(), tagged(3));
    com_polygons_insertat(list.get(), 3, tagged(4));  // index num: append
    com_polygons_insertat(list.get(), 0, tagged(0));  // new head
    com_polygons_insertat(list.get(), 2, tagged(1.5));
    EXPECT_EQ(tags_of(list.get()), (std::vector<double>{0, 1, 1.5, 2, 3, 4}));
    com_polygons_removeat(list.get(), 0);
    com_polygons_removeat(list.get(), 4);
    com_polygons_removeat(list.get(), 1);
    EXPECT_EQ(tags_of(list.get()), (std::vector<double>{1, 2, 3}));
    polygon_t* middle = com_polygons_at_remove(list.get(), 1);
    EXPECT_EQ(middle->geom.points[0].x, 2);
    EXPECT_EQ(tags_of(list.get()), (std::vector<double>{1, 3}));
    com_polygon_free(middle);
    com_polygon_free_pointer(middle);
    com_polygons_removeat(list.get(), 1);
    com_polygons_removeat(list.get(), 0);
    EXPECT_EQ(tags_of(list.get()), (std::vector<double>{}));
    EXPECT_DEATH(com_polygons_at(list.get(), 0), "index < polygons->num && index >= 0");
    EXPECT_DEATH(com_polygons_insertat(list.get(), 1, polygon_t{}),
                 "index <= polygons->num && index >= 0");
}

// Node-only release leaves the shallowly added polygons to their owner.
TEST(PolygonList, ShallowAddsShareTheCallersPointsAndCopiesDoNot) {
    Polygons a;
    for (int i = 0; i < 3; ++i)
        com_polygons_add(a.get(), tagged(i));
    polygons_t shallow, deep;
    com_polygons_init(&shallow);
    com_polygons_init(&deep);
    com_polygons_addrange(&shallow, a.get());
    com_polygons_addrange_copy(&deep, a.get());
    EXPECT_EQ(com_polygons_at(&shallow, 1).geom.points, com_polygons_at(a.get(), 1).geom.points);
    EXPECT_NE(com_polygons_at(&deep, 1).geom.points, com_polygons_at(a.get(), 1).geom.points);
    com_polygons_free_node(&shallow);
    com_polygons_free(&deep);
    EXPECT_EQ(tags_of(a.get()), (std::vector<double>{0, 1, 2}));
}

TEST(PolylineList, InsertOnlyBeforeExistingNodesAndGroupingTableGrows) {
    Polylines list;
    polyline_t l;
    com_polyline_init(&l);
    com_polylines_add(list.get(), l);
    EXPECT_DEATH(com_polylines_insertat(list.get(), 1, l), "index < polylines->num && index >= 0");

    polylines_t* table = list.get();
    com_polylines_init_polygon_rec(table);
    for (int k = 1; k <= 20; ++k)
        com_polylines_add_int(table, k, k * 2);
    EXPECT_EQ(table->polygon_rec_capacity, 40);
    EXPECT_EQ(std::make_pair(table->polygon_rec[0], table->polygon_rec[20]), std::make_pair(0, 40));
    EXPECT_EQ(std::count(table->polygon_rec + 21, table->polygon_rec + 40, 0), 19);
    com_polylines_add_int(table, 100, 1);  // far past the end: grows enough, no stray write
    EXPECT_EQ(table->polygon_rec[100], 1);
}

TEST(ListOwnership, ExpandAtRemoveHandsOverPolygonAndHolesAndChainsAreFreed) {
    polygons_expand_t list;
    com_polygons_expand_init(&list);
    for (int i = 0; i < 3; ++i) {
        polygon_expand_t e{tagged(i), {}, {}, i};
        com_polygons_init(&e.holes);
        com_polygons_add(&e.holes, tagged(10 + i));
        com_polygons_expand_add(&list, e);
    }
    polygon_expand_t middle = com_polygons_expand_at_remove(&list, 1);
    com_polygons_expand_removeat(&list, 0);
    EXPECT_EQ(std::make_pair(middle.group, com_polygons_expand_at_pointer(&list, 0)->group),
              std::make_pair(1, 2));
    com_polygons_expand_free(&list);
    EXPECT_DEATH(com_polygons_expand_at(&list, 0), "index < polygons_expand->num && index >= 0");
    EXPECT_EQ(middle.holes.head->polygon.geom.points[0].x, 11);  // ours now, still alive
    com_polygon_free(&middle.polygon);
    com_polygons_free(&middle.holes);

    polygon_t* chain = nullptr;
    com_polygon_init_pointer(&chain);
    com_polygon_add(chain, pt(1, 1));
    com_polygon_init_pointer(&chain->next);
    algebra_polygons_free(&chain);
    polyline_t* line = nullptr;
    com_polyline_init_pointer(&line);
    com_polyline_init_pointer(&line->next);
    algebra_polylines_free(&line);
    EXPECT_TRUE(chain == nullptr && line == nullptr);
}

}  // namespace
