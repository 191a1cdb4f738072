// The prepared ring locator must give the plain point-in-polygon scan's code for every point and
// permit, on random rings of several kinds and points on, near and straight above their boundary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "relation/ring_locator.h"

namespace {

using namespace testing_shapes;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// Distances around the tolerances in play: the ray's 1e-6 band, the permits, the boundary reach.
const double kOffsets[] = {0.0, 1e-7, 1e-6, 2e-6, 1e-4, 0.0099, 0.01, 0.0101, 0.02000001, 0.5};

// Kinds 0 and 1: stars with whole or fractional coordinates; 2 to 5: rings on grids of steps 1,
// 5e-7 and 0.005, and of step 1 far from the origin, half of these with their first vertex at the
// origin, so that the locator's single-precision boxes are far coarser than the edges near the
// grid (collinear runs, vertical edges, repeated x and points, self-crossings); 6: a star with a
// coordinate of a vertex made NaN or infinite, alone or on an edge running along that axis.
std::vector<Xy> random_ring(std::mt19937& rng, int kind) {
    const double steps[] = {1, 5e-7, 0.005, 1}, scale = kind == 1 ? 3 : 1000;
    if (kind >= 2 && kind < 6) {
        std::vector<Xy> ring(random_int(rng, 3, 60));
        const double step = steps[kind - 2], origin = kind == 5 ? 1658880000 : 0;
        for (Xy& v : ring)
            v = {origin + step * random_int(rng, 0, 6), origin + step * random_int(rng, 0, 6)};
        if (kind == 5 && random_int(rng, 0, 1))
            ring[0] = {0, 0};
        return ring;
    }
    std::vector<Xy> ring = random_star(rng, random_int(rng, 3, 100), random_real(rng, -9, 9), 0,
                                       0.3 * scale, scale, kind == 0);
    if (kind == 6) {
        const double bad[] = {kNaN, kInf, -kInf};
        const int at = random_int(rng, 1, static_cast<int>(ring.size()) - 1);
        if (random_int(rng, 0, 1))
            ring[at] = ring[at - 1];
        (random_int(rng, 0, 1) ? ring[at].x : ring[at].y) = bad[random_int(rng, 0, 2)];
    }
    return ring;
}

// Whether the locator gives the plain scan's code for p with every permit; counts the codes.
testing::AssertionResult locates_as_scan(mapgeom::RingLocator* locator, point_t p,
                                         std::initializer_list<double> permits, int codes_seen[4]) {
    for (double permit : permits) {
        const int expected = relation_point_at_polygon_by_permit(locator->ring, p, permit);
        const int got = mapgeom::locate_in_ring(locator, p, permit);
        if (got != expected)
            return testing::AssertionFailure()
                   << std::setprecision(17) << "point " << p.x << " " << p.y << " permit " << permit
                   << ": " << got << " against the scan's " << expected << "\nring "
                   << text_of(&locator->ring->geom);
        ++codes_seen[expected];
    }
    return testing::AssertionSuccess();
}

TEST(RingLocator, GivesTheScanCodeForEveryPointAndPermit) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    int codes_seen[4] = {};
    for (int trial = 0; trial < 280; ++trial) {
        Polygon ring(random_ring(rng, trial % 7));
        mapgeom::RingLocator locator(ring.get());
        const bool at_once = trial / 7 % 2 == 0;  // else once a large ring has had a few points
        if (at_once)
            mapgeom::index_ring(&locator);
        const point_t* v = ring.get()->geom.points;
        for (int k = 0; k < 300; ++k) {
            // On, beside and straight above a vertex or a point along an edge.
            const int i = k % com_polygon_num(ring.get());
            const point_t a = v[i], b = v[i + 1];
            const double d = kOffsets[random_int(rng, 0, 9)] * (k % 2 ? 1 : -1);
            const double s = std::fmin(std::hypot(b.x - a.x, b.y - a.y), 1e9),
                         n = std::fmax(s, 1e-9);
            const double t = k % 4 ? random_real(rng, 0, 1) : 0;
            const double x = a.x + t * (b.x - a.x), y = a.y + t * (b.y - a.y);
            const point_t p = k % 3 == 0   ? pt(x + d * (a.y - b.y) / n, y + d * (b.x - a.x) / n)
                              : k % 3 == 1 ? pt(x + d, y + d)
                                           : pt(x + d, y + std::fabs(d) + random_real(rng, 0, s));
            ASSERT_TRUE(
                locates_as_scan(&locator, p, {0.01, 1e-4, 1e-6, 0.5, 0.0, kNaN}, codes_seen))
                << "seed " << seed << " trial " << trial;
        }
        EXPECT_EQ(locator.indexed, at_once || com_polygon_num(ring.get()) >= 64) << trial;
    }
    for (int code = 0; code < 4; ++code)  // or the comparison proves little
        EXPECT_GT(codes_seen[code], 20000) << "code " << code;
}

// A rectangle's outline with extra vertices along its sides, as a clip inserts its crossings
// into a tile's outline: corners counter-clockwise from (x0, y0), each side cut at a few places
// (some repeated, some at x), then maybe reversed and started elsewhere. Kind 1 runs around twice,
// kind 2 adds a spike back along a side, kind 3 a chord across the box: no longer a plain outline.
std::vector<Xy> box_outline(std::mt19937& rng, double x0, double y0, double w, double h, double x,
                            int kind) {
    const Xy corner[] = {{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}};
    std::vector<Xy> ring;
    for (int loop = 0; loop < (kind == 1 ? 2 : 1); ++loop) {
        for (int side = 0; side < 4; ++side) {
            const Xy a = corner[side], b = corner[(side + 1) % 4];
            ring.push_back(a);
            std::vector<double> cuts;
            for (int k = random_int(rng, 0, 3); k > 0; --k)
                cuts.push_back(random_real(rng, 0, 1));
            if (a.y == b.y && random_int(rng, 0, 1) && x > std::min(a.x, b.x) &&
                x < std::max(a.x, b.x))
                cuts.push_back((x - a.x) / (b.x - a.x));
            std::sort(cuts.begin(), cuts.end());
            for (double t : cuts) {
                const Xy c{a.x == b.x ? a.x : a.x + t * (b.x - a.x),
                           a.y == b.y ? a.y : a.y + t * (b.y - a.y)};
                ring.push_back(c);
                if (random_int(rng, 0, 4) == 0)
                    ring.push_back(c);
            }
        }
    }
    if (kind == 2)
        ring.insert(ring.begin() + 2, ring[0]);
    if (kind == 3)
        ring.insert(ring.begin() + 1, {x0, y0 + h});
    if (random_int(rng, 0, 1))
        std::reverse(ring.begin(), ring.end());
    std::rotate(ring.begin(), ring.begin() + random_int(rng, 0, static_cast<int>(ring.size()) - 1),
                ring.end());
    return ring;
}

// Rings running once around a rectangle along the axes (tile outlines, with a clip's crossings on
// their sides) are answered from their box for points clear of the outline: the same codes as the
// scan right around that clearance, on the lines of the sides and below the vertices on them, for
// tiny and huge boxes and boxes far from the origin; and rings that are no such outline still get
// the scan's code.
TEST(RingLocator, BoxRingsGiveTheScanCode) {
    const unsigned seed = 20261207;
    std::mt19937 rng(seed);
    int codes_seen[4] = {};
    const double origins[] = {0, -7.5, 1658880000, 3e11};
    const double offsets[] = {0, 1e-9, 1e-6, 0.01, 0.0301, 0.99, 1.0, 1.03, 1.0300001, 1.53, 2, 50};
    for (int trial = 0; trial < 800; ++trial) {
        const double x0 = origins[trial % 4] + random_int(rng, -100, 100);
        const double y0 = origins[trial / 4 % 4] + random_int(rng, -100, 100);
        const double w = trial % 5 == 0 ? random_int(rng, 1, 3) : random_real(rng, 1, 5000);
        const double h = trial % 7 == 0 ? random_int(rng, 1, 3) : random_real(rng, 1, 5000);
        const double x = x0 + random_real(rng, 0, w);  // some vertices and points lie at this x
        Polygon ring(box_outline(rng, x0, y0, w, h, x, trial % 8 < 5 ? 0 : trial % 8 - 4));
        mapgeom::RingLocator locator(ring.get());
        for (int k = 0; k < 200; ++k) {
            // Beside a side, inside or outside, at an offset around the clearance, anywhere along
            // it, past its ends, on the lines of the other sides, or at (or by) x.
            const int side = random_int(rng, 0, 3);
            const double d = offsets[random_int(rng, 0, 11)] * (random_int(rng, 0, 1) ? 1 : -1);
            const double ts[] = {random_real(rng, -0.2, 1.2), 0, 1, (x - x0) / w};
            double t = ts[random_int(rng, 0, 3)];
            const double px = t == 0 ? x0 : t == 1 ? x0 + w : x0 + t * w;
            const double near_x[] = {px, px + 1e-7, px - 2e-6};
            const point_t p = side == 0   ? pt(near_x[k % 3], y0 + d)
                              : side == 1 ? pt(near_x[k % 3], y0 + h + d)
                              : side == 2 ? pt(x0 + d, y0 + t * h)
                                          : pt(x0 + w + d, y0 + t * h);
            ASSERT_TRUE(
                locates_as_scan(&locator, p, {0.01, 1e-4, 0.0, 0.5, 0.99, 1.5, kNaN}, codes_seen))
                << "seed " << seed << " trial " << trial;
        }
        EXPECT_EQ(locator.box_ring, trial % 8 < 5 ? 1 : 0) << trial;
    }
    for (int code = 0; code < 4; ++code)
        EXPECT_GT(codes_seen[code], 1000) << "code " << code;
}

}  // namespace
