// Seeded random shapes for the property tests (star-shaped rings, simple lattice rings, random
// walks); shape_text.h prints a failing input so that it can be pasted back.
#ifndef MAPGEOM_TESTS_SUPPORT_RANDOM_SHAPES_H
#define MAPGEOM_TESTS_SUPPORT_RANDOM_SHAPES_H

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "shape_text.h"

namespace testing_shapes {

inline int random_int(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

inline double random_real(std::mt19937& rng, double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
}

// n vertices at sorted random angles around (cx, cy), at random distances in [r_min, r_max]; with
// `whole`, rounded to whole units and without consecutive repeats. Open: Polygon closes it.
inline std::vector<Xy> random_star(std::mt19937& rng, int n, double cx, double cy, double r_min,
                                   double r_max, bool whole = false) {
    std::vector<double> angles(n);
    for (double& a : angles)
        a = random_real(rng, 0.0, 2.0 * M_PI);
    std::sort(angles.begin(), angles.end());
    std::vector<Xy> ring;
    for (double a : angles) {
        double r = random_real(rng, r_min, r_max);
        Xy v{cx + r * std::cos(a), cy + r * std::sin(a)};
        if (whole)
            v = Xy{std::round(v.x), std::round(v.y)};
        if (!whole || ring.empty() || v.x != ring.back().x || v.y != ring.back().y)
            ring.push_back(v);
    }
    return ring;
}

// n points from (0, 0), each step uniform in [-step, step] in x and y.
inline std::vector<Xy> random_walk(std::mt19937& rng, int n, double step) {
    std::vector<Xy> points{{0, 0}};
    while (static_cast<int>(points.size()) < n) {
        double dx = random_real(rng, -step, step), dy = random_real(rng, -step, step);
        points.push_back({points.back().x + dx, points.back().y + dy});
    }
    return points;
}

// A closed simple ring of 3 to 10 lattice points in [0, 16]: the points joined in order of their
// angle around a centre no two of them are collinear with. With every angular gap below pi each
// edge sweeps its own sector, so edges meet only at shared vertices. Lattice vertices give vertical
// edges and shared x, where a vertical ray runs along the boundary.
inline std::vector<Xy> random_simple_ring(std::mt19937& rng) {
    const double cx = 8 + 1 / M_PI, cy = 8 + 1 / M_E;
    for (;;) {
        std::vector<std::pair<double, Xy>> by_angle;
        for (int k = random_int(rng, 3, 10); k > 0; --k) {
            Xy v{double(random_int(rng, 0, 16)), double(random_int(rng, 0, 16))};
            by_angle.push_back({std::atan2(v.y - cy, v.x - cx), v});
        }
        std::sort(by_angle.begin(), by_angle.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        double widest = by_angle.front().first + 2 * M_PI - by_angle.back().first, narrowest = 7;
        for (size_t i = 1; i < by_angle.size(); ++i) {
            widest = std::max(widest, by_angle[i].first - by_angle[i - 1].first);
            narrowest = std::min(narrowest, by_angle[i].first - by_angle[i - 1].first);
        }
        if (widest >= M_PI || narrowest == 0.0)
            continue;
        std::vector<Xy> ring;
        for (const auto& entry : by_angle)
            ring.push_back(entry.second);
        ring.push_back(ring.front());
        return ring;
    }
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_RANDOM_SHAPES_H
