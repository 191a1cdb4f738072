// Shared by the triangulation and convex-piece tests: exact whole-unit rings, seeded random simple
// rings (untangled random points, combs with aligned teeth, stars), the real outlines, and the
// exact check that a set of convex pieces tiles a ring.
#ifndef MAPGEOM_TESTS_TRIANGULATE_CONVEX_RINGS_H
#define MAPGEOM_TESTS_TRIANGULATE_CONVEX_RINGS_H

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/relation.h"
#include "point_text.h"
#include "random_shapes.h"
#include "shapes.h"
#include "us_atlas.h"
#include "whole_rings.h"

namespace convex_rings {

using namespace whole_rings;
using testing_shapes::random_int;

inline Ring ring(const std::string& points) {
    return whole(testing_shapes::pts(points));
}

inline Ring counter_clockwise(Ring r) {
    if (twice_area(r) < 0)
        std::reverse(r.begin(), r.end());
    return r;
}

// n distinct random points in [0, span]^2, untangled: while two edges cross, the stretch between
// them is reversed (each reversal shortens the ring, so this ends). Such rings fold, with many
// reflex vertices; collinear touches can remain (see valid).
inline Ring untangled_ring(std::mt19937& rng, int n, int span) {
    std::set<V> seen;
    Ring r;
    while (static_cast<int>(r.size()) < n) {
        V v{random_int(rng, 0, span), random_int(rng, 0, span)};
        if (seen.insert(v).second)
            r.push_back(v);
    }
    auto side = [](V a, V b, V c) {
        return cross(a, b, c) > 0 ? 1 : (cross(a, b, c) < 0 ? -1 : 0);
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0; i < n; ++i)
            for (int j = i + 2; j < n && !(i == 0 && j == n - 1); ++j) {
                const V &a = r[i], &b = r[i + 1], &c = r[j], &d = r[(j + 1) % n];
                if (side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0)
                    std::reverse(r.begin() + i + 1, r.begin() + j + 1), changed = true;
            }
    }
    return r;
}

// A comb: a base bar with `teeth` teeth of random heights on a coarse grid, so that many vertices
// line up (diagonals then run exactly through other vertices).
inline Ring comb_ring(std::mt19937& rng, int teeth) {
    const long long w = 10;
    Ring r{{0, 0}, {2 * w * teeth - w, 0}};
    for (int t = teeth - 1; t >= 0; --t) {
        long long top = 10 * random_int(rng, 2, 5);
        r.push_back({2 * w * t + w, top}), r.push_back({2 * w * t, top});
        if (t > 0)
            r.push_back({2 * w * t, 10}), r.push_back({2 * w * t - w, 10});
    }
    return r;
}

inline Ring star_ring(std::mt19937& rng, int n, double r_min, double r_max) {
    Ring r = whole(testing_shapes::random_star(rng, n, r_max, r_max, r_min, r_max, true));
    while (r.size() > 1 && r.front() == r.back())
        r.pop_back();
    return r;
}

// Whether the library's validity check accepts the ring.
inline bool valid(const Ring& r) {
    return r.size() >= 3 && relation_polygon_iserror(testing_shapes::Polygon(to_xy(r)).get()) == 0;
}

// Round k of a random property test: an untangled ring (on a coarse or a fine grid), a comb or a
// star of 4 to 40 vertices, every second one clockwise, redrawn until the validity check accepts
// it.
inline Ring random_ring(std::mt19937& rng, int round) {
    for (;;) {
        int n = random_int(rng, 4, 40);
        Ring ring = round % 3 == 0   ? untangled_ring(rng, n, round % 2 ? 30 : 100000)
                    : round % 3 == 1 ? comb_ring(rng, 1 + n / 6)
                                     : star_ring(rng, n, 100, 4000);
        if (round % 2 == 1)
            std::reverse(ring.begin(), ring.end());
        if (valid(ring))
            return ring;
    }
}

// Outer rings of the fixture file that the validity check accepts, up to max_vertices each.
inline std::vector<Ring> atlas_rings(const std::string& file, size_t max_vertices) {
    std::vector<Ring> rings;
    for (const testing_shapes::AtlasRing& a : testing_shapes::load_atlas_outers(file))
        if (a.points.size() <= max_vertices && valid(whole(a.points)))
            rings.push_back(whole(a.points));
    return rings;
}

// The pieces tile the ring exactly: each a convex counter-clockwise ring of ring vertices; each
// edge of the counter-clockwise ring in exactly one piece, each other piece edge matched once in
// the opposite direction (so the pieces' boundaries add up to the ring's and, positively oriented,
// they cannot overlap); the areas add up. Returns the problems ("" when none) and the inner edges.
inline std::string tiling_problems(const Ring& ring, const std::vector<Ring>& pieces,
                                   std::set<std::pair<V, V>>* diagonals = nullptr) {
    Ring ccw = counter_clockwise(ring);
    std::set<V> vertices(ccw.begin(), ccw.end());
    std::map<std::pair<V, V>, int> boundary, inner;
    for (size_t i = 0; i < ccw.size(); ++i)
        boundary[{ccw[i], ccw[(i + 1) % ccw.size()]}] = 0;
    std::string problems;
    __int128 area = 0;
    for (const Ring& p : pieces) {
        for (size_t i = 0; i < p.size(); ++i) {
            V a = p[i], b = p[(i + 1) % p.size()];
            if (cross(a, b, p[(i + 2) % p.size()]) < 0 || !vertices.count(a) || a == b)
                problems += "piece not convex, off the ring or repeating " + text({a}) + "\n";
            auto edge = boundary.find({a, b});
            ++(edge != boundary.end() ? edge->second : inner[{a, b}]);
        }
        if (p.size() < 3 || twice_area(p) <= 0)
            problems += "degenerate or clockwise piece: " + text(p) + "\n";
        area += twice_area(p);
    }
    for (const auto& [edge, uses] : boundary)
        if (uses != 1)
            problems += "ring edge " + text({edge.first, edge.second}) + " in " +
                        std::to_string(uses) + " pieces\n";
    for (const auto& [edge, uses] : inner) {
        auto back = inner.find({edge.second, edge.first});
        if (uses != 1 || back == inner.end() || back->second != 1)
            problems += "inner edge " + text({edge.first, edge.second}) + " not matched once\n";
        else if (diagonals != nullptr && edge.first < edge.second)
            diagonals->insert(edge);
    }
    if (area != twice_area(ccw))
        problems += "piece areas do not add up to the ring's\n";
    return problems;
}

}  // namespace convex_rings

#endif  // MAPGEOM_TESTS_TRIANGULATE_CONVEX_RINGS_H
