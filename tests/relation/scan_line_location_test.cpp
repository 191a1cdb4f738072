// Point location against a prepared polygon (hand-made and random codes are checked with the plain
// test's in point_relations_test.cpp): exactness with map coordinates, input brought to whole x or
// refused, and the record's lifetime.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"

using namespace testing_shapes;

namespace {

// A triangle whose bottom edge a->b runs m steps of a long primitive direction d = (k * e + 1, e),
// k = 1 to 3 (or that mirrored in the diagonal). The lattice points o = (k, 1) off the edge's
// points on either side have a side determinant of m against products of coordinates beyond 2^53,
// where double evaluation rounds to the wrong sign; the expected side comes from 128-bit integers.
TEST(ScanLineLocation, ExactBesideLongEdgesWithMapCoordinates) {
    const unsigned seed = std::random_device{}();
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int64_t> start(-1600000000, -100000000), e(10000000, 30000000);
    int probed = 0;
    for (int round = 0; round < 300; ++round) {
        const int64_t ax = start(random), ay = start(random) / 2, m = 20 + round % 30;
        int64_t k = 1 + round % 3, dx = e(random) / k * k + 1, dy = (dx - 1) / k, ox = k, oy = 1;
        if (round % 2 == 1)
            std::swap(dx, dy), std::swap(ox, oy), ox = -ox, oy = -oy;
        const int64_t bx = ax + dx * m, by = ay + dy * m;
        Polygon triangle(
            {{double(ax), double(ay)}, {double(bx), double(by)}, {double(ax), double(by)}});
        polygon_pretreat_t pre;
        create_polygon_pretreat(triangle.get(), &pre);
        for (int64_t step = 1; step < m; ++step) {
            const int64_t x = ax + step * dx, y = ay + step * dy;
            ASSERT_EQ(relation_point_and_polygon(&pre, pt(x, y)), 2) << "seed " << seed;
            for (int64_t side : {1, -1}) {
                const int64_t px = x + side * ox, py = y + side * oy;
                if (px <= ax || px >= bx)
                    continue;
                const __int128 det = static_cast<__int128>(bx - ax) * (py - ay) -
                                     static_cast<__int128>(by - ay) * (px - ax);
                ASSERT_EQ(relation_point_and_polygon(&pre, pt(px, py)), det > 0 ? 1 : 0)
                    << "seed " << seed << " (" << px << "," << py << ")";
                ++probed;
            }
        }
    }
    EXPECT_GT(probed, 10000);
}

TEST(ScanLineLocation, InputIsBroughtToWholeXClosedOrRefusedAndTheRecordOwnsItsCopy) {
    Polygon fractional(pts("0.4 0.25, 9.6 0, 10.3 9.5, -0.49 10"));
    Polygon rounded(pts("0 0.25, 10 0, 10 9.5, 0 10"));
    polygon_pretreat_t pre_fractional, pre_rounded, pre;
    create_polygon_pretreat(fractional.get(), &pre_fractional);
    create_polygon_pretreat(rounded.get(), &pre_rounded);
    for (double x = -1; x <= 11; x += 0.25)
        for (double y = -1; y <= 11; y += 0.25)
            ASSERT_EQ(relation_point_and_polygon(&pre_fractional, pt(x, y)),
                      relation_point_and_polygon(&pre_rounded, pt(x, y)))
                << x << "," << y;
    EXPECT_EQ(com_polygon_front(fractional.get()).x, 0.4);  // the caller's ring is not changed
    EXPECT_EQ(relation_point_and_polygon(&pre_rounded, pt(9.99999, 5)), 1);  // exact: no band

    com_polygon_removeat(rounded.get(), 4);  // unclosed: the closing edge is taken as there
    create_polygon_pretreat(rounded.get(), &pre);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(0, 5)), 2);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(nan, 5)), 0);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(5, nan)), 0);
    for (Xy bad : {Xy{nan, 0}, Xy{5, std::numeric_limits<double>::infinity()}, Xy{5e9, 0}}) {
        create_polygon_pretreat(Polygon({{0, 0}, bad, {10, 10}, {0, 10}}).get(), &pre);
        EXPECT_TRUE(pre.scan_lines.empty());
        EXPECT_EQ(relation_point_and_polygon(&pre, pt(1, 1)), 0);
    }

    // Reused, moved and released early without leaking or releasing twice.
    create_polygon_pretreat(Polygon(pts("20 0, 30 0, 20 10")).get(), &pre);
    polygon_pretreat_t moved(std::move(pre));
    pre_rounded = std::move(moved);
    EXPECT_EQ(relation_point_and_polygon(&pre_rounded, pt(21, 1)), 1);
    com_polygon_free(&pre_rounded.polygon);
    EXPECT_EQ(relation_point_and_polygon(&pre_rounded, pt(21, 1)), 0);
}

}  // namespace
