// Crossing-point lists: growth from 10, insertion shifting, search by point, reversal and copies.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

using testing_shapes::pt;

namespace {

crosspt_t cross(double x, int tag) {
    return crosspt_t{pt(x, 0), tag, -tag, 0, 0};
}

std::vector<int> tags_of(const crosspts_t* list) {
    std::vector<int> tags;
    for (int i = 0; i < com_crosspts_num(list); ++i)
        tags.push_back(com_crosspts_at(list, i).index1);
    return tags;
}

TEST(CrosspointList, GrowsFromTenByDoublingAlsoWhenNeverInitialised) {
    testing_shapes::Crosspts list;
    std::vector<int> capacities;
    for (int i = 0; i < 21; ++i) {
        com_crosspts_add(list.get(), cross(i, i));
        capacities.push_back(com_crosspts_capacity(list.get()));
    }
    EXPECT_EQ((std::vector<int>{capacities[9], capacities[10], capacities[20]}),
              (std::vector<int>{10, 20, 40}));
    crosspts_t copy{};
    com_crosspts_crosspts(&copy, list.get());
    EXPECT_EQ(com_crosspts_capacity(&copy), 40);
    EXPECT_EQ(tags_of(&copy), tags_of(list.get()));
    com_crosspts_setat(list.get(), 0, cross(0, 42));
    EXPECT_EQ(com_crosspts_at(&copy, 0).index1, 0);
    com_crosspts_free(&copy);

    crosspts_t never{};
    com_crosspts_add(&never, cross(1, 1));
    EXPECT_EQ(com_crosspts_capacity(&never), 10);
    com_crosspts_free(&never);
    com_crosspts_free(&never);  // harmless twice
    EXPECT_EQ(never.crosspts, nullptr);
}

TEST(CrosspointList, InsertRemoveFindReverseAndResize) {
    testing_shapes::Crosspts list;
    for (int i = 0; i < 10; ++i)
        com_crosspts_add(list.get(), cross(i, i));
    com_crosspts_insertat(list.get(), 0, cross(-1, -1));  // full: grows first
    com_crosspts_insertat(list.get(), 10, cross(1, 85));
    com_crosspts_removeat(list.get(), 3);
    EXPECT_EQ(tags_of(list.get()), (std::vector<int>{-1, 0, 1, 3, 4, 5, 6, 7, 8, 85, 9}));
    // Search and removal compare points only, within 0.0001, and take the first match.
    EXPECT_EQ(com_crosspts_find(list.get(), pt(1.00005, -0.00005)), 2);
    EXPECT_EQ(com_crosspts_find(list.get(), pt(1.00011, 0)), -1);
    EXPECT_EQ(com_crosspts_remove(list.get(), cross(1, 99)), 0);
    EXPECT_EQ(com_crosspts_remove(list.get(), cross(99, 0)), -1);
    com_crosspts_reverse(list.get());
    EXPECT_EQ(tags_of(list.get()), (std::vector<int>{9, 85, 8, 7, 6, 5, 4, 3, 0, -1}));

    com_crosspts_resize(list.get(), 5);
    EXPECT_EQ(std::make_pair(com_crosspts_num(list.get()), com_crosspts_capacity(list.get())),
              std::make_pair(0, 5));
    com_crosspts_reverse(list.get());  // empty: nothing happens
    com_crosspts_add(list.get(), cross(1, 1));
    EXPECT_DEATH(com_crosspts_insertat(list.get(), 1, cross(0, 0)),
                 "index < crosspts->count && index >= 0");
    com_crosspts_clear(list.get());
    EXPECT_DEATH(com_crosspts_front(list.get()), "crosspts->count > 0");
}

}  // namespace
