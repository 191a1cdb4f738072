// The prepared ring locator must give the plain point-in-polygon scan's code for every point and
// permit, on random rings of several kinds and points on, near and straight above their boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "relation/ring_locator.h"

namespace {

using mapgeom::RingLocator;
using namespace testing_shapes;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kPermits[] = {0.01, 1e-4, 1e-6, 0.5, 0.0, kNaN};
// Distances around the tolerances in play: the ray's 1e-6 band, the permits, the boundary reach.
const double kOffsets[] = {0.0,    1e-7, 5e-7,   1e-6,       2e-6, 1e-4, 0.005,
                           0.0099, 0.01, 0.0101, 0.02000001, 0.03, 0.5,  0.51};

// Kinds 0 and 1: stars with whole or fractional coordinates; 2 to 5: rings on grids of steps 1,
// 5e-7 and 0.005, and of step 1 far from the origin (collinear runs, vertical edges, repeated x and
// points, self-crossings); 6 and 7: a star with a coordinate of a vertex made NaN or infinite.
std::vector<Xy> random_ring(std::mt19937& rng, int kind) {
    auto star = [&](double scale, bool whole) {
        return random_star(rng, random_int(rng, 3, 100), random_real(rng, -scale, scale),
                           random_real(rng, -scale, scale), 0.3 * scale, scale, whole);
    };
    if (kind < 2)
        return kind == 0 ? star(1000, true) : star(3, false);
    const double steps[] = {1, 5e-7, 0.005, 1};
    if (kind < 6) {
        std::vector<Xy> ring(random_int(rng, 3, 60));
        const double step = steps[kind - 2], origin = kind == 5 ? 1658880000 : 0;
        for (Xy& v : ring)
            v = {origin + step * random_int(rng, 0, 6), origin + step * random_int(rng, 0, 6)};
        return ring;
    }
    std::vector<Xy> ring = star(50, kind == 6);
    int at = random_int(rng, 1, static_cast<int>(ring.size()) - 1);
    double bad = random_int(rng, 0, 2) == 0 ? kNaN : (random_int(rng, 0, 1) ? kInf : -kInf);
    bool on_x = random_int(rng, 0, 1) == 0;
    if (random_int(rng, 0, 1) == 0)
        ring[at] = on_x ? Xy{bad, ring[at - 1].y} : Xy{ring[at - 1].x, bad};
    else
        (on_x ? ring[at].x : ring[at].y) = bad;
    return ring;
}

// Random points over the ring's extent and points on, beside and straight above its vertices and
// along its edges, at the offsets around the tolerances; and in line with and beside the finite
// coordinates of the ends of edges with a non-finite one.
std::vector<point_t> query_points(std::mt19937& rng, const polygon_t* ring) {
    const point_t* v = ring->geom.points;
    int n = com_polygon_num(ring);
    double lo_x = v[0].x, hi_x = v[0].x, lo_y = v[0].y, hi_y = v[0].y;
    for (int i = 0; i < n; ++i) {
        lo_x = std::fmin(lo_x, v[i].x), hi_x = std::fmax(hi_x, v[i].x);
        lo_y = std::fmin(lo_y, v[i].y), hi_y = std::fmax(hi_y, v[i].y);
    }
    double span = std::fmax(hi_x - lo_x, hi_y - lo_y);
    std::vector<point_t> points{{kNaN, lo_y, 0}, {lo_x, kInf, 0}, {hi_x, -kInf, 0}};
    auto add = [&](double x, double y) { points.push_back({x, y, 0}); };
    for (int k = 0; k < 30; ++k) {
        double x = random_real(rng, lo_x - 0.1 * span, hi_x + 0.1 * span);
        add(x, random_real(rng, lo_y - 0.1 * span, hi_y + 0.1 * span));
    }
    for (int k = 0; k < 40; ++k) {
        int i = random_int(rng, 0, n - 1);
        point_t a = v[i], b = v[i + 1];
        double d = kOffsets[random_int(rng, 0, std::size(kOffsets) - 1)] *
                   (random_int(rng, 0, 1) ? 1 : -1);
        double t = random_int(rng, 0, 2) == 0 ? 0.5 : random_real(rng, 0, 1);
        double length = std::hypot(b.x - a.x, b.y - a.y);
        double nx = length > 0 ? (a.y - b.y) / length : 0,
               ny = length > 0 ? (b.x - a.x) / length : 1;
        point_t along{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0};
        add(a.x, a.y), add(a.x + d, a.y), add(a.x + d, a.y + d), add(along.x, along.y);
        add(along.x + d * nx, along.y + d * ny), add(a.x, a.y + random_real(rng, 0, span));
        add(a.x + d, a.y + std::fabs(d) + random_real(rng, 0, span));
        add(a.x, random_real(rng, lo_y - 1, hi_y + 1));
    }
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(v[i].x + v[i].y + v[i + 1].x + v[i + 1].y))
            continue;
        for (point_t end : {v[i], v[i + 1]})
            for (double d : {0.0, 0.3}) {
                if (std::isfinite(end.x))
                    add(end.x + d, random_real(rng, lo_y - 1, hi_y + 1));
                if (std::isfinite(end.y))
                    add(random_real(rng, lo_x - 1, hi_x + 1), end.y + d);
            }
    }
    return points;
}

// The first permit at which the locator and the scan disagree on p, described; "" if none.
std::string difference(RingLocator* locator, point_t p) {
    for (double permit : kPermits) {
        int expected = relation_point_at_polygon_by_permit(locator->ring, p, permit);
        int got = mapgeom::locate_in_ring(locator, p, permit);
        if (got != expected) {
            std::ostringstream text;
            text << std::setprecision(17) << "point " << p.x << " " << p.y << " permit " << permit
                 << ": locator " << got << ", scan " << expected << "\nring "
                 << text_of(&locator->ring->geom);
            return text.str();
        }
    }
    return "";
}

TEST(RingLocator, GivesTheScanCodeForEveryPointAndPermit) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    int points = 0, codes_seen[4] = {};
    for (int trial = 0; trial < 320; ++trial) {
        Polygon ring(random_ring(rng, trial % 8));
        RingLocator locator(ring.get());
        const bool at_once = trial / 8 % 2 == 0;  // else once a large ring has had a few points
        if (at_once)
            mapgeom::index_ring(&locator);
        for (point_t p : query_points(rng, ring.get())) {
            ASSERT_EQ(difference(&locator, p), "") << "seed " << seed << " trial " << trial;
            ++codes_seen[relation_point_at_polygon_by_permit(ring.get(), p, 0.01)];
            ++points;
        }
        EXPECT_EQ(locator.indexed, at_once || com_polygon_num(ring.get()) >= 64) << trial;
    }
    EXPECT_GT(points, 100000);
    // Every code must be well represented, or the comparison proves little.
    for (int code = 0; code < 4; ++code)
        EXPECT_GT(codes_seen[code], 2000) << "code " << code;
}

}  // namespace
