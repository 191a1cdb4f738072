// Point location against a prepared polygon: codes at vertices, edges and horizontal edges, rays
// through vertices, exactness with map coordinates, input brought to whole x or refused, the
// record's lifetime, and agreement with the plain point-in-polygon test on random star polygons.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "shape_checks.h"

using testing_shapes::Polygon;
using testing_shapes::pt;
using testing_shapes::pts;
using testing_shapes::Xy;

namespace {

// Each probe's z is its expected code; the ring is also tried reversed.
TEST(ScanLineLocation, CodesAtVerticesEdgesAndInsideEitherOrientation) {
    const struct {
        const char *name, *ring, *probes;
    } cases[] = {
        {"square", "0 0, 10 0, 10 10, 0 10",
         "5 5 1, 5 0 2, 10 10 3, 15 5 0, -1 5 0, 0 5 2, 10 5 2, 0 0 3, 5 10.5 0, 10 11 0, 10 -1 0,"
         "0 -0.5 0, 9.99999 5 1"},
        // Rays straight up and down through the leftmost, top and bottom vertices.
        {"diamond", "0 5, 5 0, 10 5, 5 10",
         "0 7 0, 0 3 0, 0 5 3, 5 12 0, 5 -2 0, 5 5 1, 5 10 3, 2.5 2.5 2, 7.5 7.5 2, 10 6 0, 9 5 1,"
         "1 5 1, 2.5 7.6 0, 2.5 7.4 1"},
        {"L shape with horizontal edges", "0 0, 10 0, 10 5, 5 5, 5 10, 0 10",
         "7 5 2, 7 5.5 0, 7 4.5 1, 3 5 1, 5 5 3, 5 7 2, 5 3 1, 5 12 0, 5 0 2, 10 2 2, 10 7 0,"
         "0 7 2, 12 5 0"},
        {"comb with several vertices on a scan line", "0 0, 6 0, 6 4, 4 4, 4 2, 2 2, 2 4, 0 4",
         "3 3 0, 3 1 1, 3 2 2, 2 3 2, 2 2 3, 4 4 3, 1 3 1, 5 3 1, 4 1 1, 2 5 0, 6 4 3"},
        // x = 5 lies between the scan lines 3 and 7: only the edges spanning them count.
        {"hexagon", "0 0, 3 -2, 7 2, 10 0, 7 8, 3 6",
         "5 0 2, 5 0.1 1, 5 -0.1 0, 5 7 2, 5 6.9 1, 5 9 0"},
    };
    for (const auto& c : cases)
        for (bool reversed : {false, true}) {
            Polygon polygon(pts(c.ring));
            if (reversed)
                com_polygon_reverse(polygon.get());
            polygon_pretreat_t pre;
            create_polygon_pretreat(polygon.get(), &pre);
            for (const Xy& probe : pts(c.probes))
                EXPECT_EQ(relation_point_and_polygon(&pre, pt(probe.x, probe.y)), int(probe.z))
                    << c.name << (reversed ? " reversed" : "") << " (" << probe.x << "," << probe.y
                    << ")";
        }
}

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

// The plain test answers 2 or 3 within 0.01 of the boundary; elsewhere both must agree, and a
// point the exact test puts on the boundary lies in that band with the same code.
TEST(ScanLineLocation, AgreesWithPlainPointInPolygonOnRandomStars) {
    const unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    int compared = 0, on_boundary = 0;
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        const std::vector<Xy> ring = testing_shapes::random_star(
            rng, testing_shapes::random_int(rng, 3, 60), 0, 0, 5, 300, true);
        Polygon polygon(ring);
        polygon_pretreat_t pre;
        create_polygon_pretreat(polygon.get(), &pre);
        for (int probe = 0; probe < 400; ++probe) {
            point_t p = pt(testing_shapes::random_int(rng, -320, 320),
                           testing_shapes::random_int(rng, -320, 320));
            if (probe % 8 == 0) {  // also at and around vertices
                const Xy v = ring[testing_shapes::random_int(rng, 0, int(ring.size()) - 1)];
                p = pt(v.x + probe % 3 - 1, v.y + (probe / 3) % 3 - 1);
            }
            const int exact = relation_point_and_polygon(&pre, p);
            const int plain = relation_point_at_polygon(polygon.get(), p);
            on_boundary += exact >= 2;
            compared += exact >= 2 || plain <= 1;
            if ((exact >= 2 || plain <= 1) && exact != plain)
                FAIL() << "seed " << seed << ": " << exact << " against plain " << plain << " at ("
                       << p.x << "," << p.y << ") in " << testing_shapes::text_of(ring);
        }
    }
    EXPECT_GT(compared, 100000);
    EXPECT_GT(on_boundary, 500);
}

}  // namespace
