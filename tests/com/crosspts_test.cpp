// Crossing-point lists: growth from 10, insertion shifting, search by point, reversal and copies.
#include <gtest/gtest.h>

#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

crosspt_t cross(double x, double y, int tag) {
    crosspt_t c;
    c.pt = pt(x, y);
    c.index1 = tag;
    c.index2 = -tag;
    c.flag = 0;
    c.curpt_flag = 0;
    return c;
}

std::vector<int> tags_of(const crosspts_t* list) {
    std::vector<int> tags;
    for (int i = 0; i < com_crosspts_num(list); ++i)
        tags.push_back(com_crosspts_at(list, i).index1);
    return tags;
}

}  // namespace

TEST(CrosspointList, GrowsFromTenByDoubling) {
    testing_shapes::Crosspts list;
    EXPECT_EQ(com_crosspts_capacity(list.get()), 10);
    for (int i = 0; i < 21; ++i) {
        com_crosspts_add(list.get(), cross(i, 0, i));
        if (i == 9) {
            EXPECT_EQ(com_crosspts_capacity(list.get()), 10);
        }
        if (i == 10) {
            EXPECT_EQ(com_crosspts_capacity(list.get()), 20);
        }
    }
    EXPECT_EQ(com_crosspts_capacity(list.get()), 40);
    EXPECT_EQ(com_crosspts_last(list.get()).index1, 20);

    crosspts_t never{};
    com_crosspts_add(&never, cross(1, 1, 1));
    EXPECT_EQ(com_crosspts_num(&never), 1);
    EXPECT_EQ(com_crosspts_capacity(&never), 10);
    com_crosspts_free(&never);
    com_crosspts_free(&never);  // harmless twice
    EXPECT_EQ(never.crosspts, nullptr);
}

TEST(CrosspointList, InsertRemoveReverseAndResize) {
    testing_shapes::Crosspts list;
    for (int i = 0; i < 10; ++i)
        com_crosspts_add(list.get(), cross(i, 0, i));
    com_crosspts_insertat(list.get(), 0, cross(-1, 0, -1));  // full: grows first
    com_crosspts_insertat(list.get(), 10, cross(8.5, 0, 85));
    com_crosspts_removeat(list.get(), 3);
    EXPECT_EQ(tags_of(list.get()), (std::vector<int>{-1, 0, 1, 3, 4, 5, 6, 7, 8, 85, 9}));
    com_crosspts_setat(list.get(), 0, cross(-2, 0, -2));
    EXPECT_EQ(com_crosspts_front(list.get()).index1, -2);

    testing_shapes::Crosspts four;
    for (int i = 0; i < 4; ++i)
        com_crosspts_add(four.get(), cross(i, 0, i));
    com_crosspts_reverse(four.get());
    EXPECT_EQ(tags_of(four.get()), (std::vector<int>{3, 2, 1, 0}));
    com_crosspts_resize(four.get(), 5);
    EXPECT_EQ(com_crosspts_num(four.get()), 0);
    EXPECT_EQ(com_crosspts_capacity(four.get()), 5);
    com_crosspts_reverse(four.get());  // empty: nothing happens
    com_crosspts_add(four.get(), cross(1, 1, 1));
    com_crosspts_reverse(four.get());
    EXPECT_EQ(tags_of(four.get()), (std::vector<int>{1}));
    EXPECT_DEATH(com_crosspts_insertat(four.get(), 1, cross(0, 0, 0)),
                 "index < crosspts->count && index >= 0");
    com_crosspts_clear(four.get());
    EXPECT_DEATH(com_crosspts_front(four.get()), "crosspts->count > 0");
}

TEST(CrosspointList, FindAndRemoveMatchByPointOnly) {
    testing_shapes::Crosspts list;
    com_crosspts_add(list.get(), cross(5, 5, 1));
    com_crosspts_add(list.get(), cross(1, 1, 2));
    com_crosspts_add(list.get(), cross(1, 1, 3));
    EXPECT_EQ(com_crosspts_find(list.get(), pt(1.00005, 0.99995)), 1);
    EXPECT_EQ(com_crosspts_find(list.get(), pt(1.00011, 1)), -1);
    EXPECT_EQ(com_crosspts_remove(list.get(), cross(1, 1, 99)), 0);
    EXPECT_EQ(tags_of(list.get()), (std::vector<int>{1, 3}));
    EXPECT_EQ(com_crosspts_remove(list.get(), cross(7, 7, 0)), -1);
    EXPECT_EQ(com_crosspts_num(list.get()), 2);
}

TEST(CrosspointList, DeepCopyKeepsCapacityAndIsIndependent) {
    testing_shapes::Crosspts list;
    for (int i = 0; i < 12; ++i)
        com_crosspts_add(list.get(), cross(i, i, i));
    crosspts_t copy{};
    com_crosspts_crosspts(&copy, list.get());
    EXPECT_EQ(com_crosspts_capacity(&copy), 20);
    EXPECT_EQ(tags_of(&copy), tags_of(list.get()));
    com_crosspts_setat(list.get(), 0, cross(0, 0, 42));
    EXPECT_EQ(com_crosspts_at(&copy, 0).index1, 0);
    com_crosspts_free(&copy);
}
