// Point relations (to a segment, polyline, triangle, rectangle; rectangle to rectangle): the codes
// of every branch at their exact band edges, rays through vertices and along edges, point in
// polygon, plain and prepared, against a winding-number count on random rings, and the prepared
// polygon's exactness, input handling and lifetime. Segment against segment: segment_pair_test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"

using namespace testing_shapes;

namespace {

// Each case is also checked with the segment reversed, where left and right exchange: horizontal,
// vertical and rising segments on / on the line outside / left / right, falling ones left / right,
// and the band edges (the distance to the line is inclusive, the grown box strict). A zero-length
// segment takes the vertical branch.
TEST(PointAtLine, CodesForEveryBranchAndDirection) {
    const struct {
        const char* p_a_b;
        double permit;
        int code;
    } cases[] = {{"5 0, 0 0, 10 0", 0.01, 0},       {"15 0, 0 0, 10 0", 0.01, 1},
                 {"5 1, 0 0, 10 0", 0.01, 2},       {"5 -1, 0 0, 10 0", 0.01, 3},
                 {"0 5, 0 0, 0 10", 0.01, 0},       {"0 -3, 0 0, 0 10", 0.01, 1},
                 {"-1 5, 0 0, 0 10", 0.01, 2},      {"1 5, 0 0, 0 10", 0.01, 3},
                 {"5 5, 0 0, 10 10", 0.01, 0},      {"12 12, 0 0, 10 10", 0.01, 1},
                 {"0 5, 0 0, 10 10", 0.01, 2},      {"5 0, 0 0, 10 10", 0.01, 3},
                 {"10 10, 0 10, 10 0", 0.01, 2},    {"0 0, 0 10, 10 0", 0.01, 3},
                 {"10.25 0, 0 0, 10 0", 0.5, 0},    {"10.5 0, 0 0, 10 0", 0.5, 1},
                 {"5 0.5, 0 0, 10 0", 0.5, 0},      {"5 0.75, 0 0, 10 0", 0.5, 2},
                 {"0.5 -0.5, 0 0, 0 10", 0.5, 1},   {"0.5 0, 0 0, 0 10", 0.5, 0},
                 {"10.5 10.5, 0 0, 10 10", 0.5, 1}, {"3 3, 3 3, 3 3", 0.01, 0},
                 {"3 4, 3 3, 3 3", 0.01, 1}};
    for (const auto& c : cases) {
        const auto p = pts(c.p_a_b);
        EXPECT_EQ(relation_point_at_line(pt(p[0]), pt(p[1]), pt(p[2]), c.permit), c.code)
            << c.p_a_b;
        int reversed = c.code == 2 ? 3 : c.code == 3 ? 2 : c.code;
        EXPECT_EQ(relation_point_at_line(pt(p[0]), pt(p[2]), pt(p[1]), c.permit), reversed)
            << c.p_a_b << " reversed";
    }
    // With a == b the side is 3 left of the point and 2 elsewhere.
    EXPECT_EQ(relation_point_at_line(pt(2, 3), pt(3, 3), pt(3, 3), 0.01), 3);
    EXPECT_EQ(relation_point_at_line(pt(4, 3), pt(3, 3), pt(3, 3), 0.01), 2);
}

// Probes "x y code": the polyline (0,0) (10,0) (10,10) with permit 0.01, where a vertex wins over
// a segment and the index names it; the triangle in both orientations; the rectangle (0,0)-(20,10)
// with permit 0.5 at each side's band edges.
TEST(PointAtPolylineTriangleAndRect, CodesAtTheirBandEdges) {
    Polyline line(pts("0 0, 10 0, 10 10"));
    const int indexes[] = {1, 1, 0, 0, -1, 2};
    int k = 0;
    for (const Xy& p : pts("10 0.005 1, 10 5 2, 3 0 2, 0 0 1, 5 5 0, 10 10 1")) {
        int index = 42;
        EXPECT_EQ(relation_point_at_polyline(line.get(), &index, pt(p.x, p.y), 0.01), int(p.z));
        EXPECT_EQ(index, indexes[k++]);
    }
    for (const Xy& p : pts("2 1 0, 0 0 0, 2 0 0, 5 5 1, 8 0 1")) {
        EXPECT_EQ(relation_point_at_triangle(pt(p.x, p.y), pt(0, 0), pt(6, 0), pt(0, 6), 0.01),
                  p.z);
        EXPECT_EQ(relation_point_at_triangle(pt(p.x, p.y), pt(0, 6), pt(6, 0), pt(0, 0), 0.01),
                  p.z);
    }
    for (const Xy& p : pts("10 5 0, 0.5 5 2, 0.75 5 0, -0.5 5 2, -0.75 5 1, 20.5 5 2, 20.75 5 1,"
                           "10 9.5 2, 10 10.5 2, 10 10.75 1, 10 -0.75 1, 10 0.5 2, 19.25 0.75 0"))
        EXPECT_EQ(relation_point_at_rect(pt(p.x, p.y), pt(0, 10), pt(20, 0), 0.5), int(p.z))
            << p.x << " " << p.y;
}

// b as "min_x max_x min_y max_y" against a = [0, 10] x [0, 10], and the code of a against b.
TEST(RectAndRect, CodesInTheirOrderAndMirroredWhenSwapped) {
    const rectangle_t a{0, 10, 0, 10};
    const struct {
        double min_x, max_x, min_y, max_y;
        int code;
    } cases[] = {{0, 10, 0, 10, 4},    {2, 8, 2, 8, 2},     {0, 5, 0, 10, 2},
                 {-1, 11, -1, 11, 3},  {10, 20, 10, 20, 1}, {4, 6, -5, 15, 1},
                 {10.5, 20, 0, 10, 0}, {0, 10, -5, -0.5, 0}};
    for (const auto& c : cases) {
        const rectangle_t b{c.min_y, c.max_y, c.min_x, c.max_x};
        EXPECT_EQ(relation_rect_and_rect(a, b), c.code) << c.min_x << " " << c.min_y;
        const int mirrored[] = {0, 1, 3, 2, 4};
        EXPECT_EQ(relation_rect_and_rect(b, a), mirrored[c.code]) << c.min_x << " swapped";
    }
}

// Each probe's z is its code from the plain test and from the prepared polygon alike (the probes
// keep clear of the plain test's 0.01 band); each ring is also tried reversed.
TEST(PointInRing, PlainAndPreparedCodesWithRaysThroughVerticesAndAlongEdges) {
    const struct {
        const char *name, *ring, *probes;
    } cases[] = {
        {"square", "0 0, 10 0, 10 10, 0 10",
         "5 5 1, 5 0 2, 10 5 2, 0 5 2, 10 10 3, 0 0 3, 9.5 0.5 1, 15 5 0, -1 5 0, 5 10.5 0,"
         "0 -0.5 0, 10 20 0, 0 20 0, 10 -20 0, 5 20 0"},
        // Rays straight up and down through the leftmost, top and bottom vertices.
        {"diamond", "0 5, 5 0, 10 5, 5 10",
         "0 7 0, 0 3 0, 0 5 3, 5 12 0, 5 -2 0, 5 5 1, 5 10 3, 2.5 2.5 2, 7.5 7.5 2, 10 6 0, 9 5 1,"
         "1 5 1, 2.5 7.6 0, 2.5 7.4 1"},
        // Rays along vertical edges and runs of vertices: the boundary arrives on one side and
        // leaves on the other (a crossing however long the run) or comes back (a touch).
        {"comb", "0 0, 6 0, 6 4, 4 4, 4 2, 2 2, 2 4, 0 4",
         "3 3 0, 3 1 1, 3 2 2, 2 3 2, 2 2 3, 4 4 3, 1 3 1, 5 3 1, 4 1 1, 2 5 0, 6 4 3, 4 5 0, 3 5 "
         "0"},
        {"run on the ray", "0 0, 6 0, 6 10, 3 10, 3 7, 3 5, 3 3, 1 3, 1 10, 0 10",
         "3 11.5 0, 3 1 1, 2 8 0"},
    };
    for (const auto& c : cases)
        for (bool reversed : {false, true}) {
            Polygon polygon(pts(c.ring));
            if (reversed)
                com_polygon_reverse(polygon.get());
            polygon_pretreat_t pre;
            create_polygon_pretreat(polygon.get(), &pre);
            for (const Xy& p : pts(c.probes)) {
                SCOPED_TRACE(std::string(c.name) + (reversed ? " reversed (" : " (") +
                             std::to_string(p.x) + "," + std::to_string(p.y) + ")");
                EXPECT_EQ(relation_point_at_polygon(polygon.get(), pt(p.x, p.y)), int(p.z));
                EXPECT_EQ(relation_point_and_polygon(&pre, pt(p.x, p.y)), int(p.z));
            }
        }
    EXPECT_EQ(relation_point_at_polygon(Polygon().get(), pt(0, 0)), 0);
    EXPECT_EQ(relation_point_at_polygon(Polygon(pts("1 1")).get(), pt(1, 1)), 0);
}

TEST(PointAtPolygon, BoundaryBandIsStrict) {
    Polygon square(pts("0 0, 10 0, 10 10, 0 10"));
    for (const Xy& p : pts("5 0.25 2, 5 0.5 1, 5 -0.5 0, 10.25 10 3, 10.5 10 0"))
        EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(p.x, p.y), 0.5), int(p.z));
    EXPECT_EQ(relation_point_at_polygon(square.get(), pt(10.005, 9.995)), 3);
    // Past the corner by more than the permit, yet within the 0.01 band of the point-to-segment
    // distance: on the edge.
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(10.003, 10.008), 0.005), 2);
}

// The code of a scan over the edges in order with the public distance functions (3 within
// `permit` of an end, else 2 within it of the edge), else whether the winding number (horizontal
// ray, exact off the boundary) is not 0 for a point farther than 0.1 from the boundary; -1 (outside
// or inside) in between.
int expected_code(const std::vector<Xy>& ring, point_t p, double permit) {
    double nearest = INFINITY;
    int winding = 0;
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        point_t a = pt(ring[i].x, ring[i].y), b = pt(ring[i + 1].x, ring[i + 1].y);
        if (calc_points_distance(p, a) < permit || calc_points_distance(p, b) < permit)
            return 3;
        if (calc_point_to_line_distance(p, a, b) < permit)
            return 2;
        nearest = std::min(nearest, calc_point_to_line_distance_by_permit(p, a, b, 0.0));
        double cross = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
        winding += (a.y <= p.y && b.y > p.y && cross > 0) - (a.y > p.y && b.y <= p.y && cross < 0);
    }
    return nearest > 0.1 ? winding != 0 : -1;
}

// Random points on grid columns (rays through vertices and along vertical edges), on lattice points
// (often exactly on the boundary), anywhere, and beside random edges at random permits (the
// boundary pass must visit exactly the edges in reach). The prepared polygon must give the plain
// test's code outside its 0.01 band, and at lattice points, in that band only when on the boundary.
TEST(PointAtPolygon, AgreesWithWindingNumberBoundaryScanAndPreparedPolygonOnRandomRings) {
    const unsigned seed = 20240611;
    std::mt19937 rng(seed);
    int checked = 0, on_boundary = 0;
    for (int shape = 0; shape < 1500; ++shape) {
        std::vector<Xy> ring = random_simple_ring(rng);
        Polygon polygon(ring);
        polygon_pretreat_t pre;
        create_polygon_pretreat(polygon.get(), &pre);
        for (int k = 0; k < 40; ++k) {
            const Xy &v = ring[k % (ring.size() - 1)], &w = ring[k % (ring.size() - 1) + 1];
            double t = random_real(rng, 0, 1), x = random_real(rng, -1, 17),
                   y = random_real(rng, -1, 17);
            point_t p = k % 4 == 3
                            ? pt(v.x + t * (w.x - v.x) + random_real(rng, -0.06, 0.06),
                                 v.y + t * (w.y - v.y) + random_real(rng, -0.06, 0.06))
                            : pt(k % 4 == 2 ? x : std::round(x), k % 4 == 1 ? std::round(y) : y);
            double permit = k % 4 == 3 ? random_real(rng, 0, 0.05) : 0.01;
            int expected = expected_code(ring, p, permit);
            int got = relation_point_at_polygon_by_permit(polygon.get(), p, permit);
            int plain = relation_point_at_polygon(polygon.get(), p);
            int exact = relation_point_and_polygon(&pre, p);
            on_boundary += exact >= 2;
            ASSERT_TRUE((expected < 0 ? got < 2 : got == expected) &&
                        (exact == plain || (k % 4 != 1 && plain >= 2)))
                << got << " against " << expected << ", prepared " << exact << " against plain "
                << plain << ", seed " << seed << " permit " << permit << " point " << p.x << " "
                << p.y << " in " << text_of(ring);
            ++checked;
        }
    }
    EXPECT_GT(checked, 40000);
    EXPECT_GT(on_boundary, 500);
}

// A triangle whose bottom edge a->b runs m steps of a long primitive direction d = (k * e + 1, e),
// k = 1 to 3 (or that mirrored in the diagonal). The lattice points o = (k, 1) off the edge's
// points on either side have a side determinant of m against products of coordinates beyond 2^53,
// where double evaluation rounds to the wrong sign; the expected side comes from 128-bit integers.
TEST(ScanLineLocation, ExactBesideLongEdgesWithMapCoordinates) {
    const unsigned seed = 20261206;
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
