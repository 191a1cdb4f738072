// The polyline engines choose candidate pairs through an index (polyline against ring) or a vertex
// sweep (two polylines). On random shapes large enough to use them, they must report exactly the
// crossings of a plain scan over every segment pair, each at the vertex its record names in both
// shapes, with every original point kept in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "mapgeom/relation.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polyline;
using testing_shapes::Xy;

constexpr unsigned kSeed = 20261207;
constexpr int kTrials = 40;
constexpr int kPoints = 90;  // segment pairs beyond the engines' small-input shortcut
// Trials with distinct crossings closer than this (either merge tolerance could join them) are
// skipped.
constexpr double kMinCrossingGap = 0.05;

std::vector<Xy> random_walk(std::mt19937& rng) {
    std::uniform_real_distribution<double> step(-12.0, 12.0);
    std::vector<Xy> points{{0, 0}};
    for (int k = 1; k < kPoints; ++k)
        points.push_back({points.back().x + step(rng), points.back().y + step(rng)});
    return points;
}

std::vector<Xy> random_star_ring(std::mt19937& rng) {
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI);
    std::uniform_real_distribution<double> reach(20.0, 60.0);
    std::vector<double> angles(kPoints);
    for (double& a : angles)
        a = angle(rng);
    std::sort(angles.begin(), angles.end());
    std::vector<Xy> ring;
    for (double a : angles) {
        double r = reach(rng);
        ring.push_back({r * std::cos(a), r * std::sin(a)});
    }
    ring.push_back(ring.front());
    return ring;
}

// The distinct meeting points of the plain double loop; `separated` is false when two of them lie
// closer than kMinCrossingGap.
std::vector<point_t> plain_scan(const geom_t* first, const geom_t* second, bool* separated) {
    std::vector<point_t> distinct;
    *separated = true;
    for (int i = 0; i + 1 < first->count; ++i)
        for (int j = 0; j + 1 < second->count; ++j) {
            point_t c{};
            if (relation_lines_cross_by_permit(&c, first->points[i], first->points[i + 1],
                                               second->points[j], second->points[j + 1],
                                               0.0001) != 0)
                continue;
            bool known = false;
            for (point_t d : distinct) {
                bool same = com_points_same(c, d) == 0;
                bool close = com_points_same_permit(c, d, kMinCrossingGap) == 0;
                known = known || same;
                *separated = *separated && (same || !close);
            }
            if (!known)
                distinct.push_back(c);
        }
    return distinct;
}

// Whether `before` appears in `after` in order (the engines only insert points).
bool is_subsequence(const std::vector<Xy>& before, const geom_t* after) {
    int k = 0;
    for (const Xy& p : before) {
        while (k < after->count && (after->points[k].x != p.x || after->points[k].y != p.y))
            ++k;
        if (k++ == after->count)
            return false;
    }
    return true;
}

std::string describe(const std::vector<Xy>& points) {
    std::ostringstream text;
    text.precision(17);
    for (const Xy& p : points)
        text << p.x << " " << p.y << ", ";
    return text.str();
}

// Runs `engine` on a random walk and a second shape from `make_second` (a ring when the engine
// takes one: the polyline record has the ring's layout) and compares it with the plain scan.
template <typename Engine>
void compare_with_plain_scan(unsigned seed, std::vector<Xy> (*make_second)(std::mt19937&),
                             Engine engine) {
    printf("seed %u\n", seed);
    std::mt19937 rng(seed);
    int compared = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        std::vector<Xy> first_points = random_walk(rng);
        std::vector<Xy> second_points = make_second(rng);
        Polyline first(first_points);
        Polyline second(second_points);
        bool separated = false;
        std::vector<point_t> expected =
            plain_scan(&first.get()->geom, &second.get()->geom, &separated);
        if (!separated)
            continue;
        ++compared;
        SCOPED_TRACE("first: " + describe(first_points) + "\nsecond: " + describe(second_points));
        Crosspts out;
        engine(first.get(), second.get(), out.get());
        ASSERT_EQ(out.size(), static_cast<int>(expected.size()));
        for (point_t c : expected)
            EXPECT_GE(com_crosspts_find(out.get(), c), 0) << "missing " << c.x << " " << c.y;
        for (const crosspt_t& r :
             std::vector<crosspt_t>(out.get()->crosspts, out.get()->crosspts + out.size())) {
            EXPECT_EQ(com_points_same(com_geom_at(&first.get()->geom, r.index1), r.pt), 0);
            EXPECT_EQ(com_points_same(com_geom_at(&second.get()->geom, r.index2), r.pt), 0);
        }
        EXPECT_TRUE(is_subsequence(first_points, &first.get()->geom));
        EXPECT_TRUE(is_subsequence(second_points, &second.get()->geom));
    }
    EXPECT_GE(compared, kTrials / 2);
}

TEST(PolylineCrossptsRandom, IndexedLineAgainstRingMatchesThePlainScan) {
    compare_with_plain_scan(kSeed, random_star_ring,
                            [](polyline_t* line, polyline_t* ring_points, crosspts_t* out) {
                                polygon_t ring{ring_points->geom, nullptr};
                                calc_polyline_and_polygon_crosspts(line, &ring, out);
                                ring_points->geom = ring.geom;
                            });
}

TEST(PolylineCrossptsRandom, SweptLinesMatchThePlainScan) {
    compare_with_plain_scan(kSeed + 1, random_walk, calc_polylines_crosspts);
}

}  // namespace
