// Ear-clipping triangulation: pinned rings for each branch of the walk; seeded random simple rings
// and real outlines checked exactly (whole units): triangles of ring vertices, clockwise, areas
// summing to the ring's, no two overlapping, n - 2 of them in general position; self-crossing
// rings end.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/relation.h"
#include "mapgeom/triangulate.h"
#include "random_shapes.h"
#include "us_atlas.h"

using namespace testing_shapes;

namespace {

// Twice the signed area of (a, b, c), exact for whole coordinates: negative when clockwise.
__int128 cross(const Xy& a, const Xy& b, const Xy& c) {
    auto d = [](double u, double v) {
        return static_cast<__int128>(static_cast<long long>(u - v));
    };
    return d(b.x, a.x) * d(c.y, a.y) - d(b.y, a.y) * d(c.x, a.x);
}

using Tri = std::vector<Xy>;

// Clockwise triangles overlap unless an edge of one has the other wholly on its outer side.
bool overlap(const Tri& s, const Tri& t) {
    for (const Tri* u : {&s, &t}) {
        const Tri& w = u == &s ? t : s;
        for (int e = 0; e < 3; ++e)
            if (cross((*u)[e], (*u)[(e + 1) % 3], w[0]) >= 0 &&
                cross((*u)[e], (*u)[(e + 1) % 3], w[1]) >= 0 &&
                cross((*u)[e], (*u)[(e + 1) % 3], w[2]) >= 0)
                return false;
    }
    return true;
}

// Triangulates the ring; "" when the result is exact, else what is wrong. `expected` < 0 allows
// fewer than n - 2 triangles (vertices dropped as collinear). A self-crossing ring may give -1 and
// any triangles of its vertices, as many as n - 2.
std::string faults(const std::vector<Xy>& input, int expected = -1, bool crossing = false) {
    Polygon polygon(input);
    Polygon out;
    int result = optimize_polygon_triangles(polygon.get(), out.get());
    if (result != 0 && !(crossing && result == -1))
        return "result " + std::to_string(result);
    std::vector<Xy> ring = points_of(&polygon.get()->geom), points = points_of(&out.get()->geom);
    ring.pop_back();
    std::set<std::pair<double, double>> vertices;
    __int128 ring_area = 0, area = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        vertices.insert({ring[i].x, ring[i].y});
        ring_area += cross(ring[0], ring[i], ring[(i + 1) % ring.size()]);
    }
    std::vector<Tri> tris;
    for (size_t k = 0; k + 2 < points.size(); k += 3)
        tris.push_back({points[k], points[k + 1], points[k + 2]});
    int n = static_cast<int>(ring.size()), count = static_cast<int>(tris.size());
    if (points.size() % 3 != 0 || (expected >= 0 ? count != expected : count > n - 2))
        return std::to_string(points.size()) + " points for " + std::to_string(n) + " vertices";
    for (const Tri& t : tris) {
        for (const Xy& v : t)
            if (vertices.count({v.x, v.y}) == 0)
                return "not a ring vertex: " + text_of(t);
        if (crossing)
            continue;
        if (cross(t[0], t[1], t[2]) >= 0)
            return "not clockwise: " + text_of(t);
        area += cross(t[0], t[1], t[2]);
    }
    if (crossing)
        return result == -1 ? "gave up" : "";
    if (area != ring_area)
        return "areas do not sum to the ring's";
    auto min_x = [](const Tri& t) { return std::min({t[0].x, t[1].x, t[2].x}); };
    std::sort(tris.begin(), tris.end(),
              [&](const Tri& a, const Tri& b) { return min_x(a) < min_x(b); });
    for (int i = 0; i < count; ++i)
        for (int j = i + 1;
             j < count && min_x(tris[j]) < std::max({tris[i][0].x, tris[i][1].x, tris[i][2].x});
             ++j)
            if (overlap(tris[i], tris[j]))
                return "overlap: " + text_of(tris[i]) + " / " + text_of(tris[j]);
    return "";
}

TEST(PolygonTriangles, PinnedRingsTakeEachBranchOfTheWalk) {
    const struct {
        const char *name, *ring;
        int result;
        const char *triangles, *ring_after;
    } cases[] = {
        {"clockwise triangle", "0 0, 0 10, 10 0", 0, "0 0, 0 10, 10 0", "0 0, 0 10, 10 0, 0 0"},
        {"counter-clockwise ring left reversed", "0 0, 10 0, 10 10, 0 10", 0,
         "0 0, 0 10, 10 10, 0 0, 10 10, 10 0", "0 0, 0 10, 10 10, 10 0, 0 0"},
        {"collinear (0, 5) dropped", "0 0, 0 5, 0 10, 10 10, 10 0", 0,
         "0 0, 0 10, 10 10, 0 0, 10 10, 10 0", nullptr},
        {"vertex inside the first candidate", "0 0, 0 10, 10 10, 2 5", 0,
         "0 10, 10 10, 2 5, 0 10, 2 5, 0 0", nullptr},
        // The notch tip (10, 5) lies on the first candidate's vertical chord with the chord ends'
        // x (then y): only windows widened over equal keys hold it.
        {"vertex on the chord at the greatest x", "10 0, 0 5, 10 10, 20 10, 10 5, 20 0", 0,
         "0 5, 10 10, 20 10, 0 5, 20 10, 10 5, 0 5, 10 5, 20 0, 0 5, 20 0, 10 0", nullptr},
        {"vertex on the chord at the least x", "10 10, 20 5, 10 0, 0 0, 10 5, 0 10", 0,
         "20 5, 10 0, 0 0, 20 5, 0 0, 10 5, 20 5, 10 5, 0 10, 20 5, 0 10, 10 10", nullptr},
        {"repeated point, snapped", "0.4 0.2, 0 10, 0.3 9.8, 9.7 0", 0, "0 0, 0 10, 10 0", nullptr},
        {"bow tie gives up after one triangle", "0 0, 10 10, 10 0, 0 10", -1, "0 0, 0 10, 10 0",
         nullptr},
        {"two points", "0 0, 10 0", -1, "", "0 0, 10 0, 0 0"},
        {"three points, two the same", "0 0, 5 5, 5 5.2", -1, "", nullptr},
    };
    for (const auto& c : cases) {
        Polygon polygon(pts(c.ring));
        Polygon out;
        EXPECT_EQ(optimize_polygon_triangles(polygon.get(), out.get()), c.result) << c.name;
        EXPECT_EQ(text_of(&out.get()->geom), text_of(c.triangles)) << c.name;
        if (c.ring_after != nullptr) {
            EXPECT_EQ(text_of(&polygon.get()->geom), text_of(c.ring_after)) << c.name;
        }
        EXPECT_EQ(optimize_polygon_triangles(nullptr, out.get()), -1);
        EXPECT_EQ(optimize_polygon_triangles(polygon.get(), nullptr), -1);
    }
}

// A simple ring through random points: 2-opt moves (reversing the stretch between two crossing
// edges shortens the ring) until nothing crosses. Such rings fold, with many reflex vertices.
std::vector<Xy> untangled_ring(std::mt19937& rng, int n, int span) {
    std::vector<Xy> r;
    for (int k = 0; k < n; ++k)
        r.push_back(Xy{double(random_int(rng, 0, span)), double(random_int(rng, 0, span))});
    auto crossing = [&](int i, int j) {
        const Xy &a = r[i], &b = r[i + 1], &c = r[j], &d = r[(j + 1) % n];
        return (cross(a, b, c) > 0) != (cross(a, b, d) > 0) && cross(a, b, c) != 0 &&
               cross(a, b, d) != 0 && (cross(c, d, a) > 0) != (cross(c, d, b) > 0) &&
               cross(c, d, a) != 0 && cross(c, d, b) != 0;
    };
    for (bool moved = true; moved;) {
        moved = false;
        for (int i = 0; i < n; ++i)
            for (int j = i + 2; j < n && !(i == 0 && j == n - 1); ++j)
                if (crossing(i, j))
                    std::reverse(r.begin() + i + 1, r.begin() + j + 1), moved = true;
    }
    return r;
}

bool general_position(const std::vector<Xy>& r) {
    for (size_t i = 0; i < r.size(); ++i)
        for (size_t j = i + 1; j < r.size(); ++j)
            for (size_t k = j + 1; k < r.size(); ++k)
                if (cross(r[i], r[j], r[k]) == 0)
                    return false;
    return true;
}

TEST(PolygonTriangles, RandomSimpleRingsGiveExactTriangulations) {
    const unsigned seed = 917;
    std::mt19937 rng(seed);
    Geos geos;
    int general = 0, tried = 0;
    for (int k = 0; k < 200; ++k) {
        std::vector<Xy> ring =
            k % 2 == 0 ? untangled_ring(rng, random_int(rng, 4, 60), 100000)
                       : random_star(rng, random_int(rng, 3, 100), 5e5, 5e5, 1e3, 4e5, true);
        if (!geos.valid(ring))
            continue;  // random points touching a segment, rarely
        ++tried;
        int expected = general_position(ring) ? static_cast<int>(ring.size()) - 2 : -1;
        general += expected >= 0;
        ASSERT_EQ(faults(ring, expected), "") << "seed " << seed << ": " << text_of(ring);
    }
    EXPECT_GT(tried, 190);
    EXPECT_GT(general, 150);
}

// Real outlines (us-atlas states and counties, holes included), and large random rings, whose wide
// windows go through the vertex tree.
TEST(PolygonTriangles, RealAndLargeRingsGiveExactTriangulations) {
    std::mt19937 rng(4242);
    std::vector<std::pair<std::string, std::vector<Xy>>> rings = {
        {"star", random_star(rng, 5000, 5e6, 5e6, 1e4, 4e6, true)},
        {"untangled", untangled_ring(rng, 400, 1000000)}};
    for (const char* file : {"states.txt", "counties.txt"})
        for (AtlasRing& r : load_atlas_rings(file))
            if (relation_polygon_iserror(Polygon(r.points).get()) == 0)  // two counties cross
                rings.push_back({r.name + " " + r.id, std::move(r.points)});
    EXPECT_GT(rings.size(), 300u);
    for (const auto& [name, ring] : rings)
        EXPECT_EQ(faults(ring), "") << name;
}

// Self-crossing rings may run out of ears: the walk still ends.
TEST(PolygonTriangles, SelfCrossingRingsEndWithinTheAttemptBound) {
    std::mt19937 rng(77);
    int gave_up = 0;
    for (int k = 0; k < 60; ++k) {
        std::string found = faults(random_walk(rng, random_int(rng, 4, 300), 1000.0), -1, true);
        gave_up += found == "gave up";
        EXPECT_TRUE(found.empty() || found == "gave up") << k << ": " << found;
    }
    EXPECT_GT(gave_up, 0);
}

}  // namespace
