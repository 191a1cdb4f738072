// The box index proposes candidate segment pairs for the all-pairs crossing searches: every pair
// that a segment test reports as meeting must be visited, in the order of the double loop, also
// for segments that pass within the tests' tolerance bands of each other or carry NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "crosspoint/segment_index.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"

namespace {

using namespace testing_shapes;

TEST(CandidatePairs, IndexVisitsEveryMeetingPairInDoubleLoopOrder) {
    const unsigned seed = 7031;
    std::mt19937 rng(seed);
    const double offsets[] = {0.0, 0.00005, 0.0001, 0.0099, 0.01, 0.0101, 0.019, 0.021, 0.5};
    long long visited = 0, all_pairs = 0;
    size_t found = 0;
    for (int trial = 0; trial < 40; ++trial) {
        // b's points lie at or just off a's vertices and points along its segments.
        std::vector<Xy> base = random_walk(rng, 90, 4), chain;
        for (int k = 0; k < 80; ++k) {
            const int s = random_int(rng, 0, 88);
            const Xy &v = base[s], &w = base[s + 1];
            double t = k % 3 == 0 ? 0.0 : random_real(rng, -0.05, 1.05);
            double d = offsets[random_int(rng, 0, 8)];
            double angle = k % 2 == 0 ? random_real(rng, 0, 2 * M_PI) : M_PI / 2;
            chain.push_back({v.x + t * (w.x - v.x) + d * std::cos(angle),
                             v.y + t * (w.y - v.y) + d * std::sin(angle)});
        }
        for (int k = 3; trial % 4 == 3 && k < 80; k += 7)  // segments with NaN are harmless
            base[k].x = chain[k + 2].y = NAN;
        Polyline a(base), b(chain);
        const geom_t *ga = &a.get()->geom, *gb = &b.get()->geom;
        for (double permit : {0.01, 0.0001}) {
            std::vector<std::tuple<int, int, double, double>> meetings[2];  // double loop, index
            auto visit = [&](std::vector<std::tuple<int, int, double, double>>& found, int i,
                             int j) {
                point_t c{};
                if (relation_lines_cross_by_permit(&c, ga->points[i], ga->points[i + 1],
                                                   gb->points[j], gb->points[j + 1], permit) == 0)
                    found.emplace_back(i, j, c.x, c.y);
            };
            for (int i = 0; i + 1 < ga->count; ++i)
                for (int j = 0; j + 1 < gb->count; ++j, ++all_pairs)
                    visit(meetings[0], i, j);
            mapgeom::for_each_candidate_pair(ga, ga->count - 1, gb, gb->count - 1,
                                             [&](int i, int j) {
                                                 ++visited;
                                                 visit(meetings[1], i, j);
                                             });
            found += meetings[0].size();
            ASSERT_TRUE(meetings[1] == meetings[0]) << "seed " << seed << " trial " << trial;
        }
    }
    EXPECT_GT(found, 800u);
    EXPECT_LT(visited, all_pairs / 2);  // the index must actually skip pairs
}

}  // namespace
