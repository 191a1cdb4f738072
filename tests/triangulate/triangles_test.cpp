// Ear-clipping triangulation: pinned rings for each branch of the walk; seeded random simple rings,
// real outlines and a large star checked exactly; self-crossing rings end.
#include <gtest/gtest.h>

#include <random>

#include "convex_rings.h"
#include "mapgeom/triangulate.h"
#include "shape_text.h"

namespace {

using namespace convex_rings;
using namespace testing_shapes;

// Clockwise triangles overlap unless an edge of one has the other wholly on its outer side.
bool overlap(const Ring& s, const Ring& t) {
    for (int k = 0; k < 6; ++k) {
        const Ring &u = k < 3 ? s : t, &w = k < 3 ? t : s;
        if (cross(u[k % 3], u[(k + 1) % 3], w[0]) >= 0 &&
            cross(u[k % 3], u[(k + 1) % 3], w[1]) >= 0 &&
            cross(u[k % 3], u[(k + 1) % 3], w[2]) >= 0)
            return false;
    }
    return true;
}

// Triangulates the ring: "" when the triangles are exact (of ring vertices, clockwise, areas
// summing to the ring's, no two overlapping; then there are n - 2 less one per collinear vertex),
// else what is wrong. A self-crossing ring may end with -1 ("gave up") and fewer triangles.
std::string faults(const std::vector<Xy>& input, bool crossing = false) {
    Polygon polygon(input), out;
    int result = optimize_polygon_triangles(polygon.get(), out.get());
    Ring ring = whole(points_of(&polygon.get()->geom)), points = whole(points_of(&out.get()->geom));
    ring.pop_back();
    std::set<V> vertices(ring.begin(), ring.end());
    std::vector<Ring> tris;
    __int128 area = 0;
    for (size_t k = 0; k + 2 < points.size(); k += 3) {
        tris.push_back({points[k], points[k + 1], points[k + 2]});
        area += twice_area(tris.back());
        for (const V& v : tris.back())
            if (!vertices.count(v) || (!crossing && twice_area(tris.back()) >= 0))
                return "not a clockwise triangle of ring vertices: " + text(tris.back());
    }
    if (points.size() % 3 != 0 || tris.size() + 2 > ring.size())
        return std::to_string(points.size()) + " points for " + std::to_string(ring.size());
    if (crossing || result != 0)
        return result == -1 ? "gave up" : (result == 0 ? "" : "result " + std::to_string(result));
    if (area != twice_area(ring))
        return "areas do not sum to the ring's";
    auto min_x = [](const Ring& t) { return std::min({t[0].x, t[1].x, t[2].x}); };
    std::sort(tris.begin(), tris.end(), [&](auto& a, auto& b) { return min_x(a) < min_x(b); });
    for (size_t i = 0; i < tris.size(); ++i)
        for (size_t j = i + 1;
             j < tris.size() &&
             min_x(tris[j]) < std::max({tris[i][0].x, tris[i][1].x, tris[i][2].x});
             ++j)
            if (overlap(tris[i], tris[j]))
                return "overlap: " + text(tris[i]) + "/ " + text(tris[j]);
    return "";
}

TEST(PolygonTriangles, PinnedRingsTakeEachBranchOfTheWalk) {
    const struct {
        const char *name, *ring;
        int result;
        const char *triangles, *ring_after;
    } cases[] = {
        {"clockwise triangle", "0 0, 0 10, 10 0", 0, "0 0, 0 10, 10 0", "0 0, 0 10, 10 0, 0 0"},
        {"counter-clockwise square left reversed", "0 0, 10 0, 10 10, 0 10", 0,
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
    };
    for (const auto& c : cases) {
        Polygon polygon(pts(c.ring)), out;
        EXPECT_EQ(optimize_polygon_triangles(polygon.get(), out.get()), c.result) << c.name;
        EXPECT_EQ(text_of(&out.get()->geom), text_of(c.triangles)) << c.name;
        if (c.ring_after != nullptr) {
            EXPECT_EQ(text_of(&polygon.get()->geom), text_of(c.ring_after)) << c.name;
        }
    }
    Polygon square(pts("0 0, 0 10, 10 10, 10 0"));
    EXPECT_EQ(optimize_polygon_triangles(nullptr, square.get()), -1);
    EXPECT_EQ(optimize_polygon_triangles(square.get(), nullptr), -1);
}

// Seeded random rings of both orientations, real outlines (us-atlas states and counties) and a
// large star, whose wide windows go through the live tree.
TEST(PolygonTriangles, RandomAndRealRingsGiveExactTriangulations) {
    std::mt19937 rng(917);
    std::vector<Ring> rings = atlas_rings("states.txt", SIZE_MAX);
    for (const Ring& r : atlas_rings("counties.txt", SIZE_MAX))
        rings.push_back(r);
    rings.push_back(star_ring(rng, 5000, 1e4, 4e6));
    EXPECT_GT(rings.size(), 200u);
    for (int k = 0; k < 300; ++k)
        rings.push_back(random_ring(rng, k));
    for (const Ring& r : rings)
        EXPECT_EQ(faults(to_xy(r)), "") << (r.size() < 100 ? text(r) : std::to_string(r.size()));
}

TEST(PolygonTriangles, SelfCrossingRingsEndWithinTheAttemptBound) {
    std::mt19937 rng(77);
    int gave_up = 0;
    for (int k = 0; k < 60; ++k) {
        std::string found = faults(random_walk(rng, random_int(rng, 4, 300), 1000.0), true);
        gave_up += found == "gave up";
        EXPECT_TRUE(found.empty() || found == "gave up") << k << ": " << found;
    }
    EXPECT_GT(gave_up, 0);
}

}  // namespace
