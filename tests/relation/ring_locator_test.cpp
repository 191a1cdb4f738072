// The prepared ring locator must give the plain point-in-polygon scan's code for every point and
// permit, on random rings of several kinds and points on, near and straight above their boundary.
#include <gtest/gtest.h>

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
            for (double permit : {0.01, 1e-4, 1e-6, 0.5, 0.0, kNaN}) {
                const int expected = relation_point_at_polygon_by_permit(ring.get(), p, permit);
                ASSERT_EQ(mapgeom::locate_in_ring(&locator, p, permit), expected)
                    << std::setprecision(17) << "seed " << seed << " trial " << trial << " point "
                    << p.x << " " << p.y << " permit " << permit << "\nring "
                    << text_of(&ring.get()->geom);
                ++codes_seen[expected];
            }
        }
        EXPECT_EQ(locator.indexed, at_once || com_polygon_num(ring.get()) >= 64) << trial;
    }
    for (int code = 0; code < 4; ++code)  // or the comparison proves little
        EXPECT_GT(codes_seen[code], 20000) << "code " << code;
}

}  // namespace
