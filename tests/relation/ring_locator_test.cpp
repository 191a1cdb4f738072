// The prepared ring locator must give the plain point-in-polygon scan's code for every point and
// permit: random rings of several kinds (ragged stars with whole or fractional coordinates, grid
// rings full of collinear runs, vertical edges, repeated x and repeated points, rectilinear combs,
// rings at the scale of the tolerances, rings far from the origin, rings with non-finite points)
// against random points and points placed on, near and straight above their vertices and edges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "relation/ring_locator.h"
#include "shapes.h"

namespace {

using mapgeom::RingLocator;
using testing_shapes::Polygon;
using testing_shapes::Xy;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kPermits[] = {0.01, 1e-4, 1e-6, 0.5, 0.0, kNaN};
// Distances around the tolerances in play: the ray's 1e-6 band, the permits, the boundary reach.
const double kOffsets[] = {0.0,    1e-7, 5e-7,   1e-6,       2e-6, 1e-4, 0.005,
                           0.0099, 0.01, 0.0101, 0.02000001, 0.03, 0.5,  0.51};

using Rng = std::mt19937;

double uniform(Rng& rng, double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
}

int pick(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// A star around a random centre: sorted angles, random radii; whole or fractional coordinates.
std::vector<Xy> star(Rng& rng, double scale, bool whole) {
    int n = pick(rng, 3, 100);
    double cx = uniform(rng, -scale, scale);
    double cy = uniform(rng, -scale, scale);
    std::vector<Xy> ring;
    for (int i = 0; i < n; ++i) {
        double angle = 6.283185307179586 * i / n;
        double r = uniform(rng, 0.3 * scale, scale);
        double x = cx + r * std::cos(angle);
        double y = cy + r * std::sin(angle);
        ring.push_back(whole ? Xy{std::round(x), std::round(y)} : Xy{x, y});
    }
    return ring;
}

// Vertices on a coarse grid of the given step: collinear runs, vertical and horizontal edges,
// repeated x, repeated points and self-crossings abound.
std::vector<Xy> grid_ring(Rng& rng, double step, double origin) {
    int n = pick(rng, 3, 60);
    std::vector<Xy> ring;
    for (int i = 0; i < n; ++i)
        ring.push_back({origin + step * pick(rng, 0, 6), origin + step * pick(rng, 0, 6)});
    return ring;
}

// A rectilinear comb: teeth of random heights along x, with extra vertices inside the runs.
std::vector<Xy> comb(Rng& rng) {
    int teeth = pick(rng, 1, 25);
    std::vector<Xy> ring{{0, 0}};
    double x = 0;
    for (int t = 0; t < teeth; ++t) {
        double height = pick(rng, 1, 5);
        ring.push_back({x, height});
        if (pick(rng, 0, 1) == 1)
            ring.push_back({x + 0.5, height});
        x += pick(rng, 1, 2);
        ring.push_back({x, height});
        ring.push_back({x, height / 2});
    }
    ring.push_back({x, 0});
    for (int k = pick(rng, 0, 3); k > 0; --k)
        ring.push_back({x * pick(rng, 1, 3) / 4, 0});
    return ring;
}

std::vector<Xy> random_ring(Rng& rng, int kind) {
    switch (kind) {
        case 0:
            return star(rng, 1000, true);
        case 1:
            return star(rng, 3, false);
        case 2:
            return grid_ring(rng, 1, 0);
        case 3:
            return comb(rng);
        case 4:
            return grid_ring(rng, 5e-7, 0);
        case 5:
            return grid_ring(rng, 0.005, 0);
        case 6:
            return grid_ring(rng, 1, 1658880000);
        default: {
            // One coordinate of a vertex made NaN or infinite, or a vertex sent to infinity in
            // line with the vertex before it (an edge along a grid line without end).
            std::vector<Xy> ring = star(rng, 50, kind % 2 == 0);
            int at = pick(rng, 1, static_cast<int>(ring.size()) - 1);
            double bad = pick(rng, 0, 2) == 0 ? kNaN : (pick(rng, 0, 1) ? kInf : -kInf);
            bool on_x = pick(rng, 0, 1) == 0;
            if (pick(rng, 0, 1) == 0)
                ring[at] = on_x ? Xy{bad, ring[at - 1].y} : Xy{ring[at - 1].x, bad};
            else
                (on_x ? ring[at].x : ring[at].y) = bad;
            return ring;
        }
    }
}

// Random points over the ring's extent and points on, beside and straight above its vertices and
// along its edges, at the offsets around the tolerances.
std::vector<point_t> query_points(Rng& rng, const polygon_t* ring) {
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
        points.push_back({uniform(rng, lo_x - 0.1 * span, hi_x + 0.1 * span),
                          uniform(rng, lo_y - 0.1 * span, hi_y + 0.1 * span), 0});
    for (int k = 0; k < 40; ++k) {
        int i = pick(rng, 0, n - 1);
        point_t a = v[i];
        point_t b = v[i + 1];
        double d = kOffsets[pick(rng, 0, std::size(kOffsets) - 1)] * (pick(rng, 0, 1) ? 1 : -1);
        double t = pick(rng, 0, 2) == 0 ? 0.5 : uniform(rng, 0, 1);
        double length = std::hypot(b.x - a.x, b.y - a.y);
        double nx = length > 0 ? (a.y - b.y) / length : 0;
        double ny = length > 0 ? (b.x - a.x) / length : 1;
        points.push_back(a);
        points.push_back({a.x + d, a.y, 0});
        points.push_back({a.x + d, a.y + d, 0});
        points.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0});
        points.push_back({a.x + t * (b.x - a.x) + d * nx, a.y + t * (b.y - a.y) + d * ny, 0});
        points.push_back({a.x, a.y + uniform(rng, 0, span), 0});
        points.push_back({a.x + d, a.y + std::fabs(d) + uniform(rng, 0, span), 0});
        points.push_back({a.x, uniform(rng, lo_y - 1, hi_y + 1), 0});
    }
    // In line with and beside the finite coordinates of the ends of edges with a non-finite one.
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(v[i].x + v[i].y + v[i + 1].x + v[i + 1].y))
            continue;
        for (point_t end : {v[i], v[i + 1]})
            for (double d : {0.0, 0.3}) {
                if (std::isfinite(end.x))
                    points.push_back({end.x + d, uniform(rng, lo_y - 1, hi_y + 1), 0});
                if (std::isfinite(end.y))
                    points.push_back({uniform(rng, lo_x - 1, hi_x + 1), end.y + d, 0});
            }
    }
    return points;
}

std::string ring_text(const polygon_t* ring) {
    std::string text;
    char buffer[64];
    for (int i = 0; i < ring->geom.count; ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%.17g %.17g", i ? ", " : "", ring->geom.points[i].x,
                      ring->geom.points[i].y);
        text += buffer;
    }
    return text;
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
                              << expected << "\nring " << ring_text(locator->ring);
                return compared;
            }
        }
    return compared;
}

TEST(RingLocator, GivesTheScanCodeForEveryPointAndPermit) {
    const unsigned seed = 20261206;
    Rng rng(seed);
    constexpr int kKinds = 9;
    int compared = 0;
    std::vector<int> codes_seen(4, 0);
    for (int trial = 0; trial < 360; ++trial) {
        int kind = trial % kKinds;
        Polygon ring(random_ring(rng, kind));
        RingLocator locator(ring.get());
        mapgeom::index_ring(&locator);
        std::vector<point_t> points = query_points(rng, ring.get());
        std::string context = "seed " + std::to_string(seed) + " trial " + std::to_string(trial) +
                              " ring kind " + std::to_string(kind);
        compared += expect_same_codes(&locator, points, context);
        for (point_t p : points)
            ++codes_seen[relation_point_at_polygon_by_permit(ring.get(), p, 0.01)];
        if (HasFailure())
            return;
    }
    EXPECT_GT(compared, 600000);
    // Every code must be well represented, or the comparison proves little.
    for (int code = 0; code < 4; ++code)
        EXPECT_GT(codes_seen[code], 2000) << "code " << code;
}

TEST(RingLocator, IndexesALargeRingOnDemandWithoutChangingCodes) {
    const unsigned seed = 99;
    Rng rng(seed);
    std::vector<Xy> points;
    for (int i = 0; i < 2000; ++i) {
        double angle = 6.283185307179586 * i / 2000;
        double r = std::round(uniform(rng, 6000, 10000));
        points.push_back({std::round(r * std::cos(angle)), std::round(r * std::sin(angle))});
    }
    Polygon ring(points);
    RingLocator locator(ring.get());
    std::vector<point_t> queries = query_points(rng, ring.get());
    expect_same_codes(&locator, queries, "seed " + std::to_string(seed));
    EXPECT_TRUE(locator.indexed);
}

}  // namespace
