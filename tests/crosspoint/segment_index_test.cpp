// The box index proposes candidate segment pairs for the all-pairs crossing searches: every pair
// that a segment test reports as meeting must be visited, in the order of the double loop, also
// for segments that pass within the tests' tolerance bands of each other.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "crosspoint/segment_index.h"
#include "mapgeom/relation.h"
#include "shapes.h"

namespace {

using testing_shapes::Polyline;
using testing_shapes::Xy;

struct Meeting {
    int i;
    int j;
    double x;
    double y;
    bool operator==(const Meeting& o) const { return i == o.i && j == o.j && x == o.x && y == o.y; }
};

using SegmentTest = int (*)(point_t*, point_t, point_t, point_t, point_t);

int cross_within_ten_thousandth(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2) {
    return relation_lines_cross_by_permit(out, a1, a2, b1, b2, 0.0001);
}

// A random walk of short steps.
std::vector<Xy> random_chain(std::mt19937& rng, int points) {
    std::uniform_real_distribution<double> start(0.0, 30.0);
    std::uniform_real_distribution<double> step(-4.0, 4.0);
    std::vector<Xy> chain{{start(rng), start(rng)}};
    for (int k = 1; k < points; ++k)
        chain.push_back({chain.back().x + step(rng), chain.back().y + step(rng)});
    return chain;
}

// A chain whose points lie at or just off points of `base` (its vertices and points along its
// segments), by offsets around the segment tests' bands, so that many of its segments touch,
// nearly touch or run along base's segments.
std::vector<Xy> chain_hugging(std::mt19937& rng, const std::vector<Xy>& base, int points) {
    const double offsets[] = {0.0, 0.00005, 0.0001, 0.005, 0.0099, 0.01, 0.0101, 0.019, 0.021, 0.5};
    std::uniform_int_distribution<size_t> pick_offset(0, std::size(offsets) - 1);
    std::uniform_int_distribution<size_t> pick_segment(0, base.size() - 2);
    std::uniform_real_distribution<double> along(-0.05, 1.05);
    std::uniform_real_distribution<double> direction(0.0, 2.0 * M_PI);
    std::vector<Xy> chain;
    for (int k = 0; k < points; ++k) {
        size_t s = pick_segment(rng);
        double t = k % 3 == 0 ? 0.0 : along(rng);
        double d = offsets[pick_offset(rng)];
        double angle = k % 2 == 0 ? direction(rng) : M_PI / 2;
        chain.push_back({base[s].x + t * (base[s + 1].x - base[s].x) + d * std::cos(angle),
                         base[s].y + t * (base[s + 1].y - base[s].y) + d * std::sin(angle)});
    }
    return chain;
}

std::vector<Meeting> meetings_of_double_loop(const geom_t* a, const geom_t* b, SegmentTest test) {
    std::vector<Meeting> found;
    for (int i = 0; i + 1 < a->count; ++i)
        for (int j = 0; j + 1 < b->count; ++j) {
            point_t c{};
            if (test(&c, a->points[i], a->points[i + 1], b->points[j], b->points[j + 1]) == 0)
                found.push_back({i, j, c.x, c.y});
        }
    return found;
}

std::vector<Meeting> meetings_of_index(const geom_t* a, const geom_t* b, SegmentTest test,
                                       long long* visited) {
    std::vector<Meeting> found;
    mapgeom::for_each_candidate_pair(a, a->count - 1, b, b->count - 1, [&](int i, int j) {
        ++*visited;
        point_t c{};
        if (test(&c, a->points[i], a->points[i + 1], b->points[j], b->points[j + 1]) == 0)
            found.push_back({i, j, c.x, c.y});
    });
    return found;
}

TEST(CandidatePairs, IndexVisitsEveryMeetingPairInDoubleLoopOrder) {
    const unsigned seed = 7031;
    std::mt19937 rng(seed);
    const SegmentTest tests[] = {relation_lines_cross, cross_within_ten_thousandth};
    long long visited = 0;
    long long all_pairs = 0;
    size_t meetings = 0;
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<Xy> base = random_chain(rng, 90);
        std::vector<Xy> other = chain_hugging(rng, base, 80);
        Polyline a(base);
        Polyline b(other);
        all_pairs += 89LL * 79LL * 2;
        for (SegmentTest test : tests) {
            std::vector<Meeting> expected =
                meetings_of_double_loop(&a.get()->geom, &b.get()->geom, test);
            std::vector<Meeting> got =
                meetings_of_index(&a.get()->geom, &b.get()->geom, test, &visited);
            meetings += expected.size();
            ASSERT_TRUE(got == expected)
                << "seed " << seed << " trial " << trial << ": " << got.size()
                << " meetings through the index, " << expected.size() << " in the double loop";
        }
    }
    EXPECT_GT(meetings, 400u);
    // The index must actually skip pairs.
    EXPECT_LT(visited, all_pairs / 2);
}

TEST(CandidatePairs, SegmentsWithNaNPointsAreHarmless) {
    double nan = std::nan("");
    std::vector<Xy> base;
    std::vector<Xy> other;
    for (int k = 0; k < 80; ++k) {
        base.push_back({k % 7 == 3 ? nan : k * 1.0, k % 2 == 0 ? 0.0 : 1.0});
        other.push_back({k * 1.0 + 0.5, k % 11 == 5 ? nan : (k % 2 == 0 ? -1.0 : 2.0)});
    }
    Polyline a(base);
    Polyline b(other);
    long long visited = 0;
    std::vector<Meeting> got =
        meetings_of_index(&a.get()->geom, &b.get()->geom, relation_lines_cross, &visited);
    std::vector<Meeting> expected =
        meetings_of_double_loop(&a.get()->geom, &b.get()->geom, relation_lines_cross);
    EXPECT_FALSE(expected.empty());
    EXPECT_TRUE(got == expected);
}

}  // namespace
