// Point location against a prepared polygon: codes at vertices, edges and horizontal edges, rays
// through vertices, exactness with large coordinates, input that must be brought to whole x, the
// record's lifetime, and agreement with the plain point-in-polygon test on random star polygons.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "shapes.h"

using testing_shapes::Polygon;
using testing_shapes::pt;
using testing_shapes::Xy;

namespace {

struct Probe {
    double x;
    double y;
    int expected;
};

// Prepares the ring in both orientations and checks every probe against each.
void expect_locations(const std::vector<Xy>& ring, const std::vector<Probe>& probes,
                      const char* name) {
    Polygon forward(ring);
    Polygon backward(ring);
    com_polygon_reverse(backward.get());
    for (Polygon* polygon : {&forward, &backward}) {
        polygon_pretreat_t pre;
        create_polygon_pretreat(polygon->get(), &pre);
        for (const Probe& probe : probes) {
            EXPECT_EQ(relation_point_and_polygon(&pre, pt(probe.x, probe.y)), probe.expected)
                << name << (polygon == &forward ? "" : " reversed") << " at (" << probe.x << ","
                << probe.y << ")";
        }
    }
}

TEST(ScanLineLocation, SquareCodes) {
    expect_locations({{0, 0}, {10, 0}, {10, 10}, {0, 10}},
                     {{5, 5, 1},
                      {5, 0, 2},
                      {10, 10, 3},
                      {15, 5, 0},
                      {-1, 5, 0},
                      {0, 5, 2},
                      {10, 5, 2},
                      {0, 0, 3},
                      {5, 10, 2},
                      {5, 10.5, 0},
                      {0.5, 9.5, 1},
                      {10, 11, 0},
                      {10, -1, 0},
                      {0, -0.5, 0},
                      {9.99999, 5, 1}},
                     "square");
}

TEST(ScanLineLocation, DiamondRaysThroughVertices) {
    expect_locations({{0, 5}, {5, 0}, {10, 5}, {5, 10}},
                     {{0, 7, 0},  // straight above the leftmost vertex
                      {0, 3, 0},
                      {0, 5, 3},
                      {5, 12, 0},  // above the top vertex
                      {5, -2, 0},
                      {5, 5, 1},
                      {5, 10, 3},
                      {2.5, 2.5, 2},
                      {7.5, 7.5, 2},
                      {10, 5, 3},
                      {10, 6, 0},
                      {9, 5, 1},
                      {1, 5, 1},
                      {2.5, 7.6, 0},
                      {2.5, 7.4, 1}},
                     "diamond");
}

TEST(ScanLineLocation, HorizontalAndVerticalEdges) {
    // An L: horizontal edges at y = 0, 5, 10 and a vertical step at x = 5.
    expect_locations({{0, 0}, {10, 0}, {10, 5}, {5, 5}, {5, 10}, {0, 10}},
                     {{7, 5, 2},
                      {7, 5.5, 0},
                      {7, 4.5, 1},
                      {3, 5, 1},
                      {5, 5, 3},
                      {5, 7, 2},
                      {5, 3, 1},
                      {5, 12, 0},
                      {5, 0, 2},
                      {10, 2, 2},
                      {10, 7, 0},
                      {0, 7, 2},
                      {12, 5, 0}},
                     "L shape");
    // A comb whose teeth put several vertices on one scan line.
    expect_locations({{0, 0}, {6, 0}, {6, 4}, {4, 4}, {4, 2}, {2, 2}, {2, 4}, {0, 4}},
                     {{3, 3, 0},
                      {3, 1, 1},
                      {3, 2, 2},
                      {2, 3, 2},
                      {2, 2, 3},
                      {4, 4, 3},
                      {1, 3, 1},
                      {5, 3, 1},
                      {4, 1, 1},
                      {2, 5, 0},
                      {6, 4, 3}},
                     "comb");
}

TEST(ScanLineLocation, BetweenScanLinesOnlySpanningEdgesCount) {
    // Vertices at x = 0, 3, 7, 10; a probe at x = 5 lies between the scan lines 3 and 7.
    expect_locations({{0, 0}, {3, -2}, {7, 2}, {10, 0}, {7, 8}, {3, 6}},
                     {{5, 0, 2}, {5, 0.1, 1}, {5, -0.1, 0}, {5, 7, 2}, {5, 6.9, 1}, {5, 9, 0}},
                     "hexagon");
}

// x, y with a * x + b * y = 1 for coprime a, b (extended Euclid).
void bezout(int64_t a, int64_t b, int64_t* x, int64_t* y) {
    if (b == 0) {
        *x = 1;
        *y = 0;
        return;
    }
    int64_t x1, y1;
    bezout(b, a % b, &x1, &y1);
    *x = y1;
    *y = x1 - (a / b) * y1;
}

TEST(ScanLineLocation, ExactBesideLongEdgesWithMapCoordinates) {
    // A triangle whose bottom edge a->b runs m steps of a long primitive direction d, with map-unit
    // coordinates. Besides its integer points, the lattice points nearest the edge on either side
    // are probed: their side is tiny against products of coordinates beyond 2^53, where a double
    // evaluation of the side rounds to the wrong sign. The expected side is computed in 128 bits.
    const unsigned seed = std::random_device{}();
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int64_t> start_x(-1600000000, -100000000);
    std::uniform_int_distribution<int64_t> start_y(-800000000, 0);
    std::uniform_int_distribution<int64_t> direction(10000000, 30000000);
    std::uniform_int_distribution<int64_t> length(20, 50);
    int probed = 0;
    for (int round = 0; round < 300; ++round) {
        const int64_t ax = start_x(random), ay = start_y(random), m = length(random);
        int64_t dx = direction(random), dy = direction(random);
        while (std::gcd(dx, dy) != 1)
            dy = direction(random);
        const int64_t bx = ax + dx * m, by = ay + dy * m;
        Polygon triangle(
            {{double(ax), double(ay)}, {double(bx), double(by)}, {double(ax), double(by)}});
        polygon_pretreat_t pre;
        create_polygon_pretreat(triangle.get(), &pre);
        int64_t v, minus_u;  // dx * v - dy * u = 1: (u, v) is one lattice step off the line
        bezout(dx, dy, &v, &minus_u);
        for (int64_t k = 1; k < m; ++k) {
            const int64_t on_x = ax + k * dx, on_y = ay + k * dy;
            ASSERT_EQ(relation_point_and_polygon(&pre, pt(on_x, on_y)), 2)
                << "seed " << seed << " (" << on_x << "," << on_y << ")";
            for (int64_t side : {1, -1}) {
                const int64_t px = on_x - side * minus_u, py = on_y + side * v;
                if (px <= ax || px >= bx)
                    continue;
                const __int128 det = static_cast<__int128>(bx - ax) * (py - ay) -
                                     static_cast<__int128>(by - ay) * (px - ax);
                ASSERT_EQ(relation_point_and_polygon(&pre, pt(px, py)), det > 0 ? 1 : 0)
                    << "seed " << seed << " (" << px << "," << py << ") beside (" << ax << "," << ay
                    << ")-(" << bx << "," << by << ")";
                ++probed;
            }
        }
    }
    EXPECT_GT(probed, 5000);
}

TEST(ScanLineLocation, FractionalVertexXIsRoundedToWholeNumbers) {
    Polygon fractional({{0.4, 0.25}, {9.6, 0}, {10.3, 9.5}, {-0.49, 10}});
    Polygon rounded({{0, 0.25}, {10, 0}, {10, 9.5}, {0, 10}});
    polygon_pretreat_t pre_fractional, pre_rounded;
    create_polygon_pretreat(fractional.get(), &pre_fractional);
    create_polygon_pretreat(rounded.get(), &pre_rounded);
    for (const scan_line_t& line : pre_fractional.scan_lines)
        EXPECT_FALSE(line.crosses.empty()) << "scan line " << line.x;
    for (double x = -1; x <= 11; x += 0.25) {
        for (double y = -1; y <= 11; y += 0.25) {
            EXPECT_EQ(relation_point_and_polygon(&pre_fractional, pt(x, y)),
                      relation_point_and_polygon(&pre_rounded, pt(x, y)))
                << x << "," << y;
        }
    }
    EXPECT_EQ(relation_point_and_polygon(&pre_fractional, pt(5, 5)), 1);
    // The caller's ring is not changed.
    EXPECT_EQ(com_polygon_front(fractional.get()).x, 0.4);
}

TEST(ScanLineLocation, UnpreparableRingsAnswerOutside) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<Xy>> rings = {
        {{0, 0}, {nan, 0}, {10, 10}, {0, 10}},
        {{0, 0}, {10, 0}, {10, std::numeric_limits<double>::infinity()}},
        {{0, 0}, {5e9, 0}, {0, 10}},
        {},
    };
    for (const std::vector<Xy>& ring : rings) {
        Polygon polygon(ring);
        polygon_pretreat_t pre;
        create_polygon_pretreat(polygon.get(), &pre);
        EXPECT_TRUE(pre.scan_lines.empty());
        EXPECT_EQ(relation_point_and_polygon(&pre, pt(1, 1)), 0);
    }
    Polygon square({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    polygon_pretreat_t pre;
    create_polygon_pretreat(square.get(), &pre);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(nan, 5)), 0);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(5, nan)), 0);
}

TEST(ScanLineLocation, UnclosedRingIsLocatedAsClosed) {
    polygon_t open;
    com_polygon_init(&open);
    for (Xy v : std::vector<Xy>{{0, 0}, {10, 0}, {10, 10}, {0, 10}})
        com_polygon_add(&open, pt(v.x, v.y));
    polygon_pretreat_t pre;
    create_polygon_pretreat(&open, &pre);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(5, 5)), 1);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(0, 5)), 2);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(-1, 5)), 0);
    EXPECT_EQ(open.geom.count, 4);
    com_polygon_free(&open);
}

TEST(ScanLineLocation, RecordOwnsItsCopyThroughReuseAndMoves) {
    Polygon square({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    Polygon triangle({{20, 0}, {30, 0}, {20, 10}});
    polygon_pretreat_t pre;
    create_polygon_pretreat(square.get(), &pre);
    create_polygon_pretreat(triangle.get(), &pre);  // replaces the square without leaking it
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(5, 5)), 0);
    EXPECT_EQ(relation_point_and_polygon(&pre, pt(21, 1)), 1);

    polygon_pretreat_t moved(std::move(pre));
    EXPECT_EQ(relation_point_and_polygon(&moved, pt(21, 1)), 1);
    polygon_pretreat_t assigned;
    create_polygon_pretreat(square.get(), &assigned);
    assigned = std::move(moved);
    EXPECT_EQ(relation_point_and_polygon(&assigned, pt(21, 1)), 1);

    // Releasing the copy the way owners always have stays safe with the record's own release.
    com_polygon_free(&assigned.polygon);
}

// ---- Agreement with the plain point-in-polygon test ---------------------------------------------

// Distance from p to the segment a-b (plain doubles; only used to keep clear of the 0.01 band).
double distance_to_segment(point_t p, point_t a, point_t b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Exactly on the boundary (integer input): the side of some edge is zero within its box.
bool on_boundary(const polygon_t* polygon, point_t p) {
    for (int i = 0; i + 1 < polygon->geom.count; ++i) {
        const point_t a = polygon->geom.points[i], b = polygon->geom.points[i + 1];
        const int64_t cross = static_cast<int64_t>(b.x - a.x) * static_cast<int64_t>(p.y - a.y) -
                              static_cast<int64_t>(b.y - a.y) * static_cast<int64_t>(p.x - a.x);
        if (cross == 0 && p.x >= std::fmin(a.x, b.x) && p.x <= std::fmax(a.x, b.x) &&
            p.y >= std::fmin(a.y, b.y) && p.y <= std::fmax(a.y, b.y))
            return true;
    }
    return false;
}

double boundary_distance(const polygon_t* polygon, point_t p) {
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i + 1 < polygon->geom.count; ++i)
        best = std::fmin(
            best, distance_to_segment(p, polygon->geom.points[i], polygon->geom.points[i + 1]));
    return best;
}

// A star-shaped ring around (0, 0): sorted angles, integer radii, vertices rounded to integers.
std::vector<Xy> random_star(std::mt19937& random) {
    std::uniform_int_distribution<int> size(3, 60);
    std::uniform_int_distribution<int> radius(5, 300);
    std::uniform_real_distribution<double> jitter(0.05, 0.95);
    const int n = size(random);
    std::vector<Xy> ring;
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * 3.14159265358979 * (i + jitter(random)) / n;
        const double r = radius(random);
        const Xy v{std::round(r * std::cos(angle)), std::round(r * std::sin(angle))};
        if (ring.empty() || v.x != ring.back().x || v.y != ring.back().y)
            ring.push_back(v);
    }
    return ring;
}

std::string describe(const std::vector<Xy>& ring) {
    std::ostringstream out;
    for (const Xy& v : ring)
        out << "(" << v.x << "," << v.y << ") ";
    return out.str();
}

TEST(ScanLineLocation, AgreesWithPlainPointInPolygonOnRandomStars) {
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(-320, 320);
    int compared = 0, on_edges = 0;
    for (int round = 0; round < 300; ++round) {
        const std::vector<Xy> ring = random_star(random);
        if (ring.size() < 3)
            continue;
        Polygon polygon(ring);
        polygon_pretreat_t pre;
        create_polygon_pretreat(polygon.get(), &pre);
        std::uniform_int_distribution<int> vertex(0, static_cast<int>(ring.size()) - 1);
        for (int probe = 0; probe < 400; ++probe) {
            point_t p = pt(coordinate(random), coordinate(random));
            if (probe % 8 == 0) {  // also probe vertices and their neighbourhood
                const Xy v = ring[vertex(random)];
                p = pt(v.x + probe % 3 - 1, v.y + (probe / 3) % 3 - 1);
            }
            const int prepared = relation_point_and_polygon(&pre, p);
            const int plain = relation_point_at_polygon(polygon.get(), p);
            if (on_boundary(polygon.get(), p)) {
                ++on_edges;
                ASSERT_EQ(prepared, plain) << "seed " << seed << " point (" << p.x << "," << p.y
                                           << ") on the boundary of " << describe(ring);
            } else if (boundary_distance(polygon.get(), p) > 0.02) {
                ++compared;
                ASSERT_EQ(prepared, plain) << "seed " << seed << " point (" << p.x << "," << p.y
                                           << ") in " << describe(ring);
            }
        }
    }
    EXPECT_GT(compared, 50000);
    EXPECT_GT(on_edges, 500);
}

}  // namespace
