// Shape lists: linking at head, middle and tail, shallow versus deep ownership, removal that hands
// over a copy, the polyline grouping table, releasing malloc'd chains, and indexes out of range.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

using namespace testing_shapes;

namespace {

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
    EXPECT_EQ(com_polygons_last(list.get()).geom.points[0].x, 4);
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
    EXPECT_EQ(list.get()->tail, nullptr);
    EXPECT_EQ(tags_of(list.get()), (std::vector<double>{}));
    EXPECT_DEATH(com_polygons_at(list.get(), 0), "index < polygons->num && index >= 0");
    EXPECT_DEATH(com_polygons_insertat(list.get(), 1, polygon_t{}),
                 "index <= polygons->num && index >= 0");
}

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
    EXPECT_EQ(shallow.num, 0);
    com_polygons_free(&deep);
    EXPECT_EQ(tags_of(a.get()), (std::vector<double>{0, 1, 2}));  // still readable: not released

    polygon_t mine = tagged(7), other = tagged(8);
    com_polygons_insertat_copy(a.get(), 0, mine);
    com_polygons_add_copy(a.get(), mine);
    com_polygons_setat(a.get(), 1, other);
    mine.geom.points[0].x = other.geom.points[0].x = 9;
    EXPECT_EQ(tags_of(a.get()), (std::vector<double>{7, 8, 1, 2, 7}));
    com_polygon_free(&mine);
    com_polygon_free(&other);
    com_polygons_clear(a.get());
    EXPECT_EQ(com_polygons_num(a.get()), 5);
    EXPECT_EQ(com_polygons_at(a.get(), 4).geom.count, 0);
}

TEST(PolylineList, InsertOnlyBeforeExistingNodesAndGroupingTableGrows) {
    Polylines list;
    polyline_t l, m;
    com_polyline_init(&l);
    com_polyline_init(&m);
    com_polyline_add(&m, pt(1, 1));
    com_polylines_add(list.get(), l);
    com_polylines_insertat(list.get(), 0, m);
    EXPECT_EQ(com_polylines_front(list.get()).geom.count, 1);
    EXPECT_DEATH(com_polylines_insertat(list.get(), 2, m), "index < polylines->num && index >= 0");

    polylines_t* table = list.get();
    com_polylines_init_polygon_rec(table);
    EXPECT_EQ(table->polygon_rec_capacity, 20);
    for (int k = 1; k <= 20; ++k)
        com_polylines_add_int(table, k, k * 2);
    EXPECT_EQ(table->polygon_rec_capacity, 40);
    EXPECT_EQ(table->polygon_rec_num, 20);
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
    algebra_polygons_free(&chain);  // nothing to do
    for (int i = 0; i < 3; ++i) {
        polygon_t* p = nullptr;
        com_polygon_init_pointer(&p);
        com_polygon_add(p, pt(i, i));
        p->next = chain;
        chain = p;
    }
    algebra_polygons_free(&chain);
    polyline_t* line = nullptr;
    com_polyline_init_pointer(&line);
    com_polyline_init_pointer(&line->next);
    algebra_polylines_free(&line);
    EXPECT_EQ(chain, nullptr);
    EXPECT_EQ(line, nullptr);
}

}  // namespace
