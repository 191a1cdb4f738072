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

using Meeting = std::tuple<int, int, double, double>;  // segments i and j, and where they meet
using SegmentTest = int (*)(point_t*, point_t, point_t, point_t, point_t);

int cross_within_ten_thousandth(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2) {
    return relation_lines_cross_by_permit(out, a1, a2, b1, b2, 0.0001);
}

// A chain whose points lie at or just off points of `base` (its vertices and points along its
// segments), by offsets around the segment tests' bands, so that many of its segments touch,
// nearly touch or run along base's segments.
std::vector<Xy> chain_hugging(std::mt19937& rng, const std::vector<Xy>& base, int points) {
    const double offsets[] = {0.0, 0.00005, 0.0001, 0.005, 0.0099, 0.01, 0.0101, 0.019, 0.021, 0.5};
    std::vector<Xy> chain;
    for (int k = 0; k < points; ++k) {
        int s = random_int(rng, 0, static_cast<int>(base.size()) - 2);
        double t = k % 3 == 0 ? 0.0 : random_real(rng, -0.05, 1.05);
        double d = offsets[random_int(rng, 0, std::size(offsets) - 1)];
        double angle = k % 2 == 0 ? random_real(rng, 0, 2 * M_PI) : M_PI / 2;
        chain.push_back({base[s].x + t * (base[s + 1].x - base[s].x) + d * std::cos(angle),
                         base[s].y + t * (base[s + 1].y - base[s].y) + d * std::sin(angle)});
    }
    return chain;
}

// The meetings the segment test finds among the pairs visited, through the index or (`all`) the
// plain double loop; `visited` counts the pairs.
std::vector<Meeting> meetings(const geom_t* a, const geom_t* b, SegmentTest test, bool all,
                              long long* visited) {
    std::vector<Meeting> found;
    auto visit = [&](int i, int j) {
        ++*visited;
        point_t c{};
        if (test(&c, a->points[i], a->points[i + 1], b->points[j], b->points[j + 1]) == 0)
            found.emplace_back(i, j, c.x, c.y);
    };
    if (!all)
        mapgeom::for_each_candidate_pair(a, a->count - 1, b, b->count - 1, visit);
    for (int i = 0; all && i + 1 < a->count; ++i)
        for (int j = 0; j + 1 < b->count; ++j)
            visit(i, j);
    return found;
}

TEST(CandidatePairs, IndexVisitsEveryMeetingPairInDoubleLoopOrder) {
    const unsigned seed = 7031;
    std::mt19937 rng(seed);
    long long visited = 0, all_pairs = 0;
    size_t found = 0;
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<Xy> base = random_walk(rng, 90, 4);
        Polyline a(base), b(chain_hugging(rng, base, 80));
        for (SegmentTest test : {relation_lines_cross, cross_within_ten_thousandth}) {
            std::vector<Meeting> expected =
                meetings(&a.get()->geom, &b.get()->geom, test, true, &all_pairs);
            found += expected.size();
            ASSERT_TRUE(meetings(&a.get()->geom, &b.get()->geom, test, false, &visited) == expected)
                << "seed " << seed << " trial " << trial;
        }
    }
    EXPECT_GT(found, 400u);
    EXPECT_LT(visited, all_pairs / 2);  // the index must actually skip pairs
}

TEST(CandidatePairs, SegmentsWithNaNPointsAreHarmless) {
    std::vector<Xy> base, other;
    for (int k = 0; k < 80; ++k) {
        base.push_back({k % 7 == 3 ? NAN : k * 1.0, k % 2 == 0 ? 0.0 : 1.0});
        other.push_back({k * 1.0 + 0.5, k % 11 == 5 ? NAN : (k % 2 == 0 ? -1.0 : 2.0)});
    }
    Polyline a(base), b(other);
    long long visited = 0;
    std::vector<Meeting> expected =
        meetings(&a.get()->geom, &b.get()->geom, relation_lines_cross, true, &visited);
    EXPECT_FALSE(expected.empty());
    EXPECT_TRUE(meetings(&a.get()->geom, &b.get()->geom, relation_lines_cross, false, &visited) ==
                expected);
}

}  // namespace
