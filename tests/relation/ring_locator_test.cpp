// The prepared ring locator must give the plain point-in-polygon scan's code for every point and
// permit: random rings of several kinds (stars with whole or fractional coordinates, grid rings
// full of collinear runs, vertical edges, repeated x and points, rectilinear combs, rings at the
// scale of the tolerances or far from the origin, rings with non-finite points) against random
// points and points on, near and straight above their vertices and edges.
#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "relation/ring_locator.h"

namespace {

using mapgeom::RingLocator;
using testing_shapes::Polygon;
using testing_shapes::random_int;
using testing_shapes::random_real;
using testing_shapes::Xy;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kPermits[] = {0.01, 1e-4, 1e-6, 0.5, 0.0, kNaN};
// Distances around the tolerances in play: the ray's 1e-6 band, the permits, the boundary reach.
const double kOffsets[] = {0.0,    1e-7, 5e-7,   1e-6,       2e-6, 1e-4, 0.005,
                           0.0099, 0.01, 0.0101, 0.02000001, 0.03, 0.5,  0.51};

// Vertices on a coarse grid of the given step: collinear runs, vertical and horizontal edges,
// repeated x, repeated points and self-crossings abound.
std::vector<Xy> grid_ring(std::mt19937& rng, double step, double origin) {
    std::vector<Xy> ring(random_int(rng, 3, 60));
    for (Xy& v : ring)
        v = {origin + step * random_int(rng, 0, 6), origin + step * random_int(rng, 0, 6)};
    return ring;
}

// Kinds 0 and 1: stars with whole or fractional coordinates; 2 to 5: grid rings of steps 1, 5e-7
// and 0.005, and of step 1 far from the origin; 6 and 7: a star with one coordinate of a vertex
// made NaN or infinite, or a vertex sent to infinity in line with the one before it.
std::vector<Xy> random_ring(std::mt19937& rng, int kind) {
    auto star = [&](double scale, bool whole) {
        return testing_shapes::random_star(
            rng, random_int(rng, 3, 100), random_real(rng, -scale, scale),
            random_real(rng, -scale, scale), 0.3 * scale, scale, whole);
    };
    if (kind < 2)
        return kind == 0 ? star(1000, true) : star(3, false);
    const double steps[] = {1, 5e-7, 0.005, 1};
    if (kind < 6)
        return grid_ring(rng, steps[kind - 2], kind == 5 ? 1658880000 : 0);
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
    for (int k = 0; k < 30; ++k)
        points.push_back({random_real(rng, lo_x - 0.1 * span, hi_x + 0.1 * span),
                          random_real(rng, lo_y - 0.1 * span, hi_y + 0.1 * span), 0});
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
        points.insert(points.end(), {a,
                                     {a.x + d, a.y, 0},
                                     {a.x + d, a.y + d, 0},
                                     along,
                                     {along.x + d * nx, along.y + d * ny, 0},
                                     {a.x, a.y + random_real(rng, 0, span), 0},
                                     {a.x + d, a.y + std::fabs(d) + random_real(rng, 0, span), 0},
                                     {a.x, random_real(rng, lo_y - 1, hi_y + 1), 0}});
    }
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(v[i].x + v[i].y + v[i + 1].x + v[i + 1].y))
            continue;
        for (point_t end : {v[i], v[i + 1]})
            for (double d : {0.0, 0.3}) {
                if (std::isfinite(end.x))
                    points.push_back({end.x + d, random_real(rng, lo_y - 1, hi_y + 1), 0});
                if (std::isfinite(end.y))
                    points.push_back({random_real(rng, lo_x - 1, hi_x + 1), end.y + d, 0});
            }
    }
    return points;
}

// Locates every point at every permit both ways; reports the first difference with its input.
// Returns the number of comparisons made.
int expect_same_codes(RingLocator* locator, const std::vector<point_t>& points,
                      const std::string& context) {
    int compared = 0;
    for (point_t p : points)
        for (double permit : kPermits) {
            int expected = relation_point_at_polygon_by_permit(locator->ring, p, permit);
            int got = mapgeom::locate_in_ring(locator, p, permit);
            ++compared;
            if (got != expected) {
                ADD_FAILURE() << context << "\npoint " << std::hexfloat << p.x << " " << p.y << " ("
                              << std::defaultfloat << std::setprecision(17) << p.x << " " << p.y
                              << ") permit " << permit << ": locator " << got << ", scan "
                              << expected << "\nring "
                              << testing_shapes::text_of(&locator->ring->geom);
                return compared;
            }
        }
    return compared;
}

TEST(RingLocator, GivesTheScanCodeForEveryPointAndPermit) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    constexpr int kKinds = 8;
    int compared = 0;
    std::vector<int> codes_seen(4, 0);
    for (int trial = 0; trial < 320 && !HasFailure(); ++trial) {
        int kind = trial % kKinds;
        Polygon ring(random_ring(rng, kind));
        RingLocator locator(ring.get());
        mapgeom::index_ring(&locator);
        std::vector<point_t> points = query_points(rng, ring.get());
        compared += expect_same_codes(&locator, points,
                                      "seed " + std::to_string(seed) + " trial " +
                                          std::to_string(trial) + " kind " + std::to_string(kind));
        for (point_t p : points)
            ++codes_seen[relation_point_at_polygon_by_permit(ring.get(), p, 0.01)];
    }
    EXPECT_GT(compared, 600000);
    // Every code must be well represented, or the comparison proves little.
    for (int code = 0; code < 4; ++code)
        EXPECT_GT(codes_seen[code], 2000) << "code " << code;
}

TEST(RingLocator, IndexesALargeRingOnDemandWithoutChangingCodes) {
    const unsigned seed = 99;
    std::mt19937 rng(seed);
    Polygon ring(testing_shapes::random_star(rng, 2000, 0, 0, 6000, 10000, true));
    RingLocator locator(ring.get());
    expect_same_codes(&locator, query_points(rng, ring.get()), "seed " + std::to_string(seed));
    EXPECT_TRUE(locator.indexed);
}

}  // namespace
