// Ear-clipping triangulation: pinned rings for each branch of the walk, and properties over seeded
// random simple rings checked exactly (coordinates are whole units): triangles made of ring
// vertices, their areas summing to the ring's, no two overlapping, n - 2 of them in general
// position.
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
#include "shape_checks.h"
#include "us_atlas.h"

using namespace testing_shapes;

namespace {

using Wide = __int128;

// Twice the signed area of triangle (a, b, c), exactly for whole coordinates: negative clockwise.
Wide cross(const Xy& a, const Xy& b, const Xy& c) {
    long long abx = static_cast<long long>(b.x - a.x), aby = static_cast<long long>(b.y - a.y);
    long long acx = static_cast<long long>(c.x - a.x), acy = static_cast<long long>(c.y - a.y);
    return Wide(abx) * acy - Wide(aby) * acx;
}

Wide twice_ring_area(const std::vector<Xy>& open_ring) {
    Wide sum = 0;
    const Xy origin = open_ring[0];
    for (size_t i = 1; i + 1 < open_ring.size(); ++i)
        sum += cross(origin, open_ring[i], open_ring[i + 1]);
    return sum;
}

std::vector<Xy> open_ring_of(const polygon_t* polygon) {
    std::vector<Xy> ring = points_of(&polygon->geom);
    if (!ring.empty())
        ring.pop_back();
    return ring;
}

struct Triangle {
    Xy v[3];
    double min_x, max_x;
};

std::vector<Triangle> triangles_of(const polygon_t* out) {
    std::vector<Triangle> result;
    const std::vector<Xy> points = points_of(&out->geom);
    for (size_t k = 0; k + 2 < points.size(); k += 3) {
        Triangle t{{points[k], points[k + 1], points[k + 2]}, 0, 0};
        t.min_x = std::min({t.v[0].x, t.v[1].x, t.v[2].x});
        t.max_x = std::max({t.v[0].x, t.v[1].x, t.v[2].x});
        result.push_back(t);
    }
    return result;
}

// Clockwise triangles s and t have disjoint interiors when one edge of either leaves every vertex
// of the other on its outer side or on its line (separating axes of convex polygons).
bool separated_by_an_edge_of(const Triangle& s, const Triangle& t) {
    for (int e = 0; e < 3; ++e) {
        const Xy &a = s.v[e], &b = s.v[(e + 1) % 3];
        if (cross(a, b, t.v[0]) >= 0 && cross(a, b, t.v[1]) >= 0 && cross(a, b, t.v[2]) >= 0)
            return true;
    }
    return false;
}

bool interiors_overlap(const Triangle& s, const Triangle& t) {
    return !separated_by_an_edge_of(s, t) && !separated_by_an_edge_of(t, s);
}

// What is wrong with `out` as a triangulation of the ring (open, after the call), "" if nothing.
// expected_count < 0: any count up to n - 2 (vertices may be dropped as collinear).
std::string triangulation_faults(const std::vector<Xy>& ring, const polygon_t* out,
                                 int expected_count) {
    const int n = static_cast<int>(ring.size());
    if (out->geom.count % 3 != 0)
        return "point count " + std::to_string(out->geom.count) + " is not a multiple of 3";
    std::vector<Triangle> tris = triangles_of(out);
    const int count = static_cast<int>(tris.size());
    if (expected_count >= 0 ? count != expected_count : count > n - 2)
        return std::to_string(count) + " triangles for " + std::to_string(n) + " vertices";

    std::set<std::pair<double, double>> vertices;
    for (const Xy& v : ring)
        vertices.insert({v.x, v.y});
    Wide area = 0;
    for (const Triangle& t : tris) {
        for (const Xy& v : t.v)
            if (vertices.count({v.x, v.y}) == 0)
                return "triangle vertex " + std::to_string(v.x) + " " + std::to_string(v.y) +
                       " is not a ring vertex";
        Wide c = cross(t.v[0], t.v[1], t.v[2]);
        if (c >= 0)
            return "triangle not clockwise or degenerate at " + std::to_string(t.v[0].x) + " " +
                   std::to_string(t.v[0].y);
        area += c;
    }
    if (area != twice_ring_area(ring))
        return "triangle areas do not sum to the ring's area";

    // Pairs whose x ranges overlap, by a sweep over the triangles sorted by least x.
    std::sort(tris.begin(), tris.end(),
              [](const Triangle& a, const Triangle& b) { return a.min_x < b.min_x; });
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count && tris[j].min_x < tris[i].max_x; ++j)
            if (interiors_overlap(tris[i], tris[j]))
                return "triangles at " + std::to_string(tris[i].v[0].x) + " " +
                       std::to_string(tris[i].v[0].y) + " and " + std::to_string(tris[j].v[0].x) +
                       " " + std::to_string(tris[j].v[0].y) + " overlap";
    return "";
}

bool general_position(const std::vector<Xy>& ring) {
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k)
                if (cross(ring[i], ring[j], ring[k]) == 0)
                    return false;
    return true;
}

struct Outcome {
    int result;
    std::vector<Xy> ring_after;  // open
    std::string faults;
};

Outcome triangulate(const std::vector<Xy>& ring, int expected_count = -1) {
    Polygon polygon(ring);
    Polygon out;
    Outcome run;
    run.result = optimize_polygon_triangles(polygon.get(), out.get());
    run.ring_after = open_ring_of(polygon.get());
    run.faults = triangulation_faults(run.ring_after, out.get(), expected_count);
    return run;
}

// ---- pinned rings
// --------------------------------------------------------------------------------

struct PinnedCase {
    const char *name, *ring;
    int result;
    const char* triangles;
};

TEST(PolygonTriangles, PinnedRingsTakeEachBranchOfTheWalk) {
    const PinnedCase cases[] = {
        {"clockwise triangle as it is", "0 0, 0 10, 10 0", 0, "0 0, 0 10, 10 0"},
        {"counter-clockwise triangle reversed first", "0 0, 10 0, 0 10", 0, "0 0, 0 10, 10 0"},
        {"convex quadrilateral: two ears from the first vertex", "0 0, 0 10, 10 10, 10 0", 0,
         "0 0, 0 10, 10 10, 0 0, 10 10, 10 0"},
        {"collinear (0, 5) dropped without a triangle", "0 0, 0 5, 0 10, 10 10, 10 0", 0,
         "0 0, 0 10, 10 10, 0 0, 10 10, 10 0"},
        {"vertex inside the first candidate ear", "0 0, 0 10, 10 10, 2 5", 0,
         "0 10, 10 10, 2 5, 0 10, 2 5, 0 0"},
        // The notch tip (10, 5) lies on the first candidate's vertical chord, sharing its x with
        // the chord's ends: only the windows widened over equal keys see it.
        {"vertex on the chord at the greatest x", "10 0, 0 5, 10 10, 20 10, 10 5, 20 0", 0,
         "0 5, 10 10, 20 10, 0 5, 20 10, 10 5, 0 5, 10 5, 20 0, 0 5, 20 0, 10 0"},
        {"vertex on the chord at the least x", "10 10, 20 5, 10 0, 0 0, 10 5, 0 10", 0,
         "20 5, 10 0, 0 0, 20 5, 0 0, 10 5, 20 5, 10 5, 0 10, 20 5, 0 10, 10 10"},
        {"reflex vertices skipped", "0 0, 0 10, 5 6, 10 10, 10 0, 5 4", 0, nullptr},
        {"repeated point of a triangle", "0 0, 0 10, 0 10, 10 0", 0, "0 0, 0 10, 10 0"},
        {"repeat after snapping", "0 0, 0 10, 0.3 9.8, 10 0", 0, "0 0, 0 10, 10 0"},
        {"fractions snapped to whole units", "0.4 0.2, -0.2 9.6, 9.7 0.4", 0, "0 0, 0 10, 10 0"},
        {"bow tie: one triangle, then no ear until the attempt bound", "0 0, 10 10, 10 0, 0 10", -1,
         "0 0, 0 10, 10 0"},
        {"two points", "0 0, 10 0", -1, ""},
        {"three points, two the same", "0 0, 5 5, 5 5.2", -1, ""},
        {"one point", "3 3", -1, ""},
    };
    for (const PinnedCase& c : cases) {
        Polygon polygon(pts(c.ring));
        Polygon out;
        EXPECT_EQ(optimize_polygon_triangles(polygon.get(), out.get()), c.result) << c.name;
        if (c.triangles != nullptr) {
            EXPECT_EQ(text_of(&out.get()->geom), text_of(c.triangles)) << c.name;
        }
        if (c.result == 0) {
            EXPECT_EQ(triangulation_faults(open_ring_of(polygon.get()), out.get(), -1), "")
                << c.name;
        }
    }
}

TEST(PolygonTriangles, CounterClockwiseRingIsLeftReversedAndNullsRefused) {
    Polygon polygon(pts("0 0, 10 0, 10 10, 0 10"));
    Polygon out;
    EXPECT_EQ(optimize_polygon_triangles(polygon.get(), out.get()), 0);
    EXPECT_EQ(text_of(&polygon.get()->geom), text_of("0 0, 0 10, 10 10, 10 0, 0 0"));
    EXPECT_EQ(text_of(&out.get()->geom), text_of("0 0, 0 10, 10 10, 0 0, 10 10, 10 0"));

    // Results are appended: a second ring's triangles follow the first's.
    Polygon second(pts("20 0, 20 10, 30 0"));
    EXPECT_EQ(optimize_polygon_triangles(second.get(), out.get()), 0);
    EXPECT_EQ(out.get()->geom.count, 9);

    EXPECT_EQ(optimize_polygon_triangles(nullptr, out.get()), -1);
    EXPECT_EQ(optimize_polygon_triangles(polygon.get(), nullptr), -1);
    EXPECT_EQ(out.get()->geom.count, 9);
}

// ---- random simple rings
// -------------------------------------------------------------------------

// Proper crossing of segments ab and cd (no shared or touching points), exactly.
bool segments_cross(const Xy& a, const Xy& b, const Xy& c, const Xy& d) {
    Wide d1 = cross(a, b, c), d2 = cross(a, b, d), d3 = cross(c, d, a), d4 = cross(c, d, b);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// A simple ring through n random points, untangled by 2-opt moves: reversing the stretch between
// two crossing edges shortens the ring, so the moves end with no crossing left. Not star-shaped:
// such rings spiral and fold, with many reflex vertices.
std::vector<Xy> untangled_ring(std::mt19937& rng, int n, int span) {
    std::vector<Xy> ring;
    for (int k = 0; k < n; ++k)
        ring.push_back(Xy{double(random_int(rng, 0, span)), double(random_int(rng, 0, span))});
    for (bool moved = true; moved;) {
        moved = false;
        for (int i = 0; i < n && !moved; ++i)
            for (int j = i + 2; j < n && !moved; ++j) {
                if (i == 0 && j == n - 1)
                    continue;
                if (segments_cross(ring[i], ring[i + 1], ring[j], ring[(j + 1) % n])) {
                    std::reverse(ring.begin() + i + 1, ring.begin() + j + 1);
                    moved = true;
                }
            }
    }
    return ring;
}

// An x-monotone ring: a ragged top of random heights over a straight bottom, sampled at every
// column, so the bottom holds runs of collinear vertices that the walk drops.
std::vector<Xy> ragged_ring(std::mt19937& rng, int columns) {
    std::vector<Xy> ring;
    for (int k = 0; k <= columns; ++k)
        ring.push_back(Xy{double(10 * k), double(random_int(rng, 5, 200))});
    for (int k = columns; k >= 0; --k)
        ring.push_back(Xy{double(10 * k), 0.0});
    return ring;
}

TEST(PolygonTriangles, RandomSimpleRingsGiveExactTriangulations) {
    const unsigned seed = 917;
    std::mt19937 rng(seed);
    Geos geos;
    int tried = 0, general = 0;
    for (int k = 0; k < 300; ++k) {
        std::vector<Xy> ring;
        switch (k % 3) {
            case 0:
                ring = untangled_ring(rng, random_int(rng, 4, 60), 100000);
                break;
            case 1:
                ring = random_star(rng, random_int(rng, 3, 200), 5e5, 5e5, 1e3, 4e5, true);
                break;
            default:
                ring = ragged_ring(rng, random_int(rng, 1, 80));
                break;
        }
        if (!geos.valid(ring))
            continue;  // a rare collinear touch of random points
        ++tried;
        int expected = -1;
        if (k % 3 != 2 && general_position(ring)) {
            expected = static_cast<int>(ring.size()) - 2;
            ++general;
        }
        Outcome run = triangulate(ring, expected);
        EXPECT_EQ(run.result, 0) << "seed " << seed << " ring " << k << ": " << text_of(ring);
        EXPECT_EQ(run.faults, "") << "seed " << seed << " ring " << k << ": " << text_of(ring);
        if (run.result != 0 || !run.faults.empty())
            break;
    }
    EXPECT_GT(tried, 280);
    EXPECT_GT(general, 150);
}

// Large rings go through the vertex tree of the emptiness test rather than the sorted windows.
TEST(PolygonTriangles, LargeRingsGiveExactTriangulations) {
    const unsigned seed = 4242;
    std::mt19937 rng(seed);
    const std::vector<std::vector<Xy>> rings = {
        random_star(rng, 5000, 5e6, 5e6, 1e6, 1.2e6, true),
        random_star(rng, 5000, 5e6, 5e6, 1e4, 4e6, true),
        ragged_ring(rng, 3000),
        untangled_ring(rng, 400, 1000000),
    };
    for (size_t k = 0; k < rings.size(); ++k) {
        Outcome run = triangulate(rings[k]);
        EXPECT_EQ(run.result, 0) << "seed " << seed << " ring " << k;
        EXPECT_EQ(run.faults, "") << "seed " << seed << " ring " << k;
    }
}

// Every valid state and county ring of the us-atlas fixtures (outer rings and holes alike).
TEST(PolygonTriangles, RealOutlinesGiveExactTriangulations) {
    int tried = 0;
    for (const char* file : {"states.txt", "counties.txt"})
        for (const AtlasRing& r : load_atlas_rings(file)) {
            Polygon ring(r.points);
            if (relation_polygon_iserror(ring.get()) != 0)
                continue;  // the two county rings that cross themselves after quantization
            ++tried;
            Outcome run = triangulate(r.points);
            EXPECT_EQ(run.result, 0) << file << " " << r.name << " " << r.id << " ring of "
                                     << r.points.size() << " vertices";
            EXPECT_EQ(run.faults, "") << file << " " << r.name << " " << r.id;
        }
    EXPECT_GT(tried, 300);
}

// ---- self-crossing rings
// -------------------------------------------------------------------------

// A ring that crosses itself may run out of ears: the walk must still end, append only triangles
// of ring vertices, and never more than n - 2 of them.
TEST(PolygonTriangles, SelfCrossingRingsEndWithinTheAttemptBound) {
    const unsigned seed = 77;
    std::mt19937 rng(seed);
    int gave_up = 0;
    for (int k = 0; k < 60; ++k) {
        std::vector<Xy> walk = random_walk(rng, random_int(rng, 4, 300), 1000.0);
        for (Xy& v : walk)
            v = Xy{std::round(v.x), std::round(v.y)};
        Polygon polygon(walk);
        Polygon out;
        int result = optimize_polygon_triangles(polygon.get(), out.get());
        EXPECT_TRUE(result == 0 || result == -1) << "seed " << seed << " walk " << k;
        gave_up += result == -1;
        std::vector<Xy> ring = open_ring_of(polygon.get());
        std::set<std::pair<double, double>> vertices;
        for (const Xy& v : ring)
            vertices.insert({v.x, v.y});
        EXPECT_EQ(out.get()->geom.count % 3, 0) << "seed " << seed << " walk " << k;
        EXPECT_LE(out.get()->geom.count / 3, static_cast<int>(ring.size()) - 2);
        for (const Xy& v : points_of(&out.get()->geom))
            EXPECT_EQ(vertices.count({v.x, v.y}), 1u) << "seed " << seed << " walk " << k;
    }
    EXPECT_GT(gave_up, 0);
}

}  // namespace
