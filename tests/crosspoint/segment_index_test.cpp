// The candidate pairs for the all-pairs crossing searches (a box index for large inputs, a box test
// in the double loop for small ones): every pair that a segment test reports as meeting must be
// visited, in the order of the double loop, also for segments that pass within the tests'
// tolerance bands of each other or carry NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "crosspoint/segment_index.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"

namespace {

using namespace testing_shapes;

using Meetings = std::vector<std::tuple<int, int, double, double>>;

// The meetings of segments of `first` with segments of `second` under `permit`, from every pair of
// the double loop (`all`) or from the candidate pairs only.
Meetings meetings_of(const geom_t* first, const geom_t* second, double permit, bool all,
                     long long* visited) {
    Meetings found;
    auto visit = [&](int i, int j) {
        ++*visited;
        point_t c{};
        if (relation_lines_cross_by_permit(&c, first->points[i], first->points[i + 1],
                                           second->points[j], second->points[j + 1], permit) == 0)
            found.emplace_back(i, j, c.x, c.y);
    };
    if (all) {
        for (int i = 0; i + 1 < first->count; ++i)
            for (int j = 0; j + 1 < second->count; ++j)
                visit(i, j);
    } else {
        mapgeom::for_each_candidate_pair(first, first->count - 1, second, second->count - 1, visit);
    }
    return found;
}

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
            Meetings plain = meetings_of(ga, gb, permit, true, &all_pairs);
            found += plain.size();
            ASSERT_TRUE(meetings_of(ga, gb, permit, false, &visited) == plain)
                << "seed " << seed << " trial " << trial;
        }
    }
    EXPECT_GT(found, 800u);
    EXPECT_LT(visited, all_pairs / 2);  // the index must actually skip pairs
}

// A tile's ring against a short chain whose points lie at, just inside and just beyond every band
// of the segment tests from the tile's corners and edges: perpendicular offsets around 0.0001 (the
// shared-endpoint and crossing permit) and 0.01 (the band of parallel segments), runs of points
// off one edge giving segments parallel to it, whole and fractional coordinates. Small enough for
// the double loop, which must skip no meeting pair and must skip most pairs.
TEST(CandidatePairs, SmallInputsVisitEveryMeetingPairOfNearTouchingSegments) {
    const unsigned seed = 5119;
    std::mt19937 rng(seed);
    const double offsets[] = {0.0,  0.00005,   0.0000999, 0.0001, 0.000101, 0.005,  0.0099,
                              0.01, 0.0100001, 0.0101,    0.015,  0.019,    0.0201, 0.5};
    const int offset_count = sizeof(offsets) / sizeof(offsets[0]);
    long long visited = 0, all_pairs = 0;
    size_t found = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const bool whole = trial % 2 == 0;
        const double size = whole ? random_int(rng, 1, 64) : random_real(rng, 0.5, 64);
        const double x0 = whole ? random_int(rng, -2000, 2000) : random_real(rng, -2000, 2000);
        const double y0 = whole ? random_int(rng, -2000, 2000) : random_real(rng, -2000, 2000);
        const std::vector<Xy> corners{
            {x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}, {x0, y0}};
        std::vector<Xy> chain;
        int edge = 0;
        double d = 0.0, sign = 1.0;
        for (int k = random_int(rng, 4, 40); k > 0; --k) {
            if (chain.empty() || random_int(rng, 0, 2) == 0) {  // else stay parallel to the edge
                edge = random_int(rng, 0, 3);
                d = offsets[random_int(rng, 0, offset_count - 1)];
                sign = random_int(rng, 0, 1) == 0 ? 1.0 : -1.0;
            }
            const Xy &v = corners[edge], &w = corners[edge + 1];
            const int place = random_int(rng, 0, 3);
            double t = place == 0   ? 0.0
                       : place == 1 ? 1.0
                       : whole      ? random_int(rng, 0, int(size)) / size
                                    : random_real(rng, -0.01, 1.01);
            // Unit normal of the edge, and a step along it beyond an end for points off a corner.
            const double nx = (w.y - v.y) / size, ny = -(w.x - v.x) / size;
            const double along = place < 2 && random_int(rng, 0, 1) == 0 ? sign * d / size : 0.0;
            chain.push_back({v.x + (t + along) * (w.x - v.x) + sign * d * nx,
                             v.y + (t + along) * (w.y - v.y) + sign * d * ny});
        }
        Polyline tile(corners), near(chain);
        const geom_t *gt = &tile.get()->geom, *gn = &near.get()->geom;
        ASSERT_LE((long long)(gt->count - 1) * (gn->count - 1), mapgeom::kIndexedPairThreshold);
        for (double permit : {0.0001, 0.01}) {
            for (bool tile_first : {false, true}) {
                const geom_t* first = tile_first ? gt : gn;
                const geom_t* second = tile_first ? gn : gt;
                Meetings plain = meetings_of(first, second, permit, true, &all_pairs);
                Meetings boxed = meetings_of(first, second, permit, false, &visited);
                found += plain.size();
                ASSERT_TRUE(boxed == plain)
                    << "seed " << seed << " trial " << trial << " permit " << permit << "\ntile "
                    << text_of(corners) << "\nchain " << text_of(chain);
            }
        }
    }
    EXPECT_GT(found, 4000u);
    EXPECT_LT(visited, all_pairs * 2 / 3);  // the box test must actually skip pairs
}

}  // namespace
