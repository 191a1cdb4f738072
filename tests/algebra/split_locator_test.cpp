// The split walks' indexed point location must answer exactly as the plain point-in-polygon test:
// random rings asked about random points, points on the vertical lines through vertices (where the
// ray passes vertices), on and near edges, and at vertices.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "algebra/split_internal.h"
#include "mapgeom/relation.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Xy;

// A star-shaped ring on a coarse integer lattice, so that many vertices share an x.
std::vector<Xy> lattice_star(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> radius(5.0, 40.0);
    std::vector<Xy> ring;
    for (int k = 0; k < n; ++k) {
        double angle = (k + 0.5) * 2.0 * M_PI / n;
        double r = radius(rng);
        ring.push_back({std::round(r * std::cos(angle)), std::round(r * std::sin(angle))});
    }
    return ring;
}

std::vector<point_t> query_points(std::mt19937& rng, const std::vector<Xy>& ring) {
    std::uniform_real_distribution<double> anywhere(-45.0, 45.0);
    std::uniform_real_distribution<double> along(0.0, 1.0);
    const double offsets[] = {0.0, 1e-7, 5e-3, 0.03, 0.5};
    std::vector<point_t> points;
    for (size_t k = 0; k < ring.size(); ++k) {
        const Xy& a = ring[k];
        const Xy& b = ring[(k + 1) % ring.size()];
        points.push_back({a.x, a.y, 0.0});
        points.push_back({a.x, anywhere(rng), 0.0});  // on the vertical line through a vertex
        double t = along(rng);
        for (double offset : offsets)
            points.push_back({a.x + t * (b.x - a.x) + offset, a.y + t * (b.y - a.y) - offset, 0});
    }
    for (int k = 0; k < 200; ++k)
        points.push_back({anywhere(rng), anywhere(rng), 0.0});
    return points;
}

TEST(SplitRingLocator, AnswersAsThePlainPointInPolygonTest) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        Polygon ring(lattice_star(rng, 16 + static_cast<int>(seed) * 4));
        for (double permit : {1e-6, 0.01}) {
            mapgeom::RingLocator locator(ring.get(), permit, 1 << 20);  // indexed
            for (point_t p : query_points(rng, testing_shapes::points_of(&ring.get()->geom))) {
                ASSERT_EQ(locator.locate(p),
                          relation_point_at_polygon_by_permit(ring.get(), p, permit))
                    << "seed " << seed << " permit " << permit << " at " << p.x << " " << p.y;
            }
        }
    }
}

}  // namespace
