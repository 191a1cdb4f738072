// The polyline engines choose candidate pairs through an index (polyline against ring) or a vertex
// sweep (two polylines). On random shapes large enough to use them, the crossings they report must
// be exactly those of a plain scan over every segment pair, each inserted into both shapes at the
// vertex its record names, with every original point kept in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "mapgeom/relation.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::Xy;

constexpr unsigned kSeed = 20261207;
constexpr int kTrials = 40;
// Large enough that segment pairs exceed the engines' small-input shortcut.
constexpr int kPoints = 90;
// Crossings closer than this would be merged by one engine's tolerance: such trials are skipped.
constexpr double kMinCrossingGap = 0.05;
constexpr double kSegmentMeetPermit = 0.0001;

std::vector<Xy> random_walk(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> step(-12.0, 12.0);
    std::vector<Xy> points{{0, 0}};
    for (int k = 1; k < n; ++k)
        points.push_back({points.back().x + step(rng), points.back().y + step(rng)});
    return points;
}

std::vector<Xy> random_star_ring(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI);
    std::uniform_real_distribution<double> reach(20.0, 60.0);
    std::vector<double> angles(n);
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

std::string describe(const std::vector<Xy>& points) {
    std::ostringstream text;
    text.precision(17);
    for (const Xy& p : points)
        text << p.x << " " << p.y << ", ";
    return text.str();
}

// Every meeting point of a segment of `first` with a segment of `second`, from the plain double
// loop; empty when two of them lie closer than kMinCrossingGap without being the same point.
std::vector<point_t> plain_scan(const geom_t* first, const geom_t* second, bool* separated) {
    std::vector<point_t> found;
    for (int i = 0; i + 1 < first->count; ++i)
        for (int j = 0; j + 1 < second->count; ++j) {
            point_t c{};
            if (relation_lines_cross_by_permit(&c, first->points[i], first->points[i + 1],
                                               second->points[j], second->points[j + 1],
                                               kSegmentMeetPermit) == 0)
                found.push_back(c);
        }
    std::vector<point_t> distinct;
    *separated = true;
    for (point_t c : found) {
        bool known = false;
        for (point_t d : distinct) {
            bool close = com_points_same_permit(c, d, kMinCrossingGap) == 0;
            known = known || com_points_same(c, d) == 0;
            *separated = *separated && (!close || com_points_same(c, d) == 0);
        }
        if (!known)
            distinct.push_back(c);
    }
    return distinct;
}

// Whether `before` appears in `after` in order (the engine only inserts points).
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

void expect_engine_matches_plain_scan(const std::vector<Xy>& first, const std::vector<Xy>& second,
                                      geom_t* first_geom, geom_t* second_geom,
                                      const crosspts_t* out, const std::vector<point_t>& expected) {
    SCOPED_TRACE("first: " + describe(first) + "\nsecond: " + describe(second));
    ASSERT_EQ(out->count, static_cast<int>(expected.size()));
    for (point_t c : expected)
        EXPECT_GE(com_crosspts_find(out, c), 0) << "missing crossing " << c.x << " " << c.y;
    for (int k = 0; k < out->count; ++k) {
        const crosspt_t& r = out->crosspts[k];
        EXPECT_EQ(com_points_same(com_geom_at(first_geom, r.index1), r.pt), 0) << "record " << k;
        EXPECT_EQ(com_points_same(com_geom_at(second_geom, r.index2), r.pt), 0) << "record " << k;
    }
    EXPECT_TRUE(is_subsequence(first, first_geom));
    EXPECT_TRUE(is_subsequence(second, second_geom));
}

TEST(PolylineCrossptsRandom, IndexedLineAgainstRingMatchesThePlainScan) {
    std::mt19937 rng(kSeed);
    printf("seed %u\n", kSeed);
    int compared = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        std::vector<Xy> walk = random_walk(rng, kPoints);
        std::vector<Xy> star = random_star_ring(rng, kPoints);
        Polyline line(walk);
        Polygon ring(star);
        bool separated = false;
        std::vector<point_t> expected =
            plain_scan(&line.get()->geom, &ring.get()->geom, &separated);
        if (!separated)
            continue;
        Crosspts out;
        calc_polyline_and_polygon_crosspts(line.get(), ring.get(), out.get());
        expect_engine_matches_plain_scan(walk, star, &line.get()->geom, &ring.get()->geom,
                                         out.get(), expected);
        ++compared;
    }
    EXPECT_GE(compared, kTrials / 2);
}

TEST(PolylineCrossptsRandom, SweptLinesMatchThePlainScan) {
    std::mt19937 rng(kSeed + 1);
    printf("seed %u\n", kSeed + 1);
    int compared = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        std::vector<Xy> walk1 = random_walk(rng, kPoints);
        std::vector<Xy> walk2 = random_walk(rng, kPoints);
        Polyline line1(walk1);
        Polyline line2(walk2);
        bool separated = false;
        std::vector<point_t> expected =
            plain_scan(&line1.get()->geom, &line2.get()->geom, &separated);
        if (!separated)
            continue;
        Crosspts out;
        calc_polylines_crosspts(line1.get(), line2.get(), out.get());
        expect_engine_matches_plain_scan(walk1, walk2, &line1.get()->geom, &line2.get()->geom,
                                         out.get(), expected);
        ++compared;
    }
    EXPECT_GE(compared, kTrials / 2);
}

}  // namespace
