// Shaping through the public API: companion lines of optimize_polyline_double (the direction
// table's cases, the rule for the steps it leaves open, and sidedness over random lines), and the
// convex decomposition of optimize_polygon_mulangle / optimize_polygons_mulangle with press
// sections carried into the pieces (refusals, random rings with random sections, the flat-array
// list).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "mapgeom/java.h"
#include "mapgeom/optimize.h"
#include "mapgeom/partition.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "ring_checks.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

// ---------------------------------------------------------------------------------------------------
// Polyline doubling.

TEST(PolylineDouble, DirectionTableCases) {
    struct Case {
        const char* what;
        const char* line;
        const char* left;
        const char* right;
    } cases[] = {
        {"horizontal", "0 0, 10 0", "0 2, 10 2", "0 -2, 10 -2"},
        {"vertical, downwards", "0 10, 0 0", "2 10, 2 0", "-2 10, -2 0"},
        {"slope 0.5: shifted in y", "0 0, 10 5", "0 2, 10 7", "0 -2, 10 3"},
        {"slope 3: shifted in x", "0 0, 1 3", "-2 0, -1 3", "2 0, 3 3"},
        {"middle point by the chord around it", "0 0, 10 1, 20 0", "0 2, 10 3, 20 2",
         "0 -2, 10 -1, 20 -2"},
        // Left open by the table, shifted by the chord's class:
        {"repeated point", "0 0, 0 0, 10 0", "0 2, 0 2, 10 2", "0 -2, 0 -2, 10 -2"},
        {"horizontal step on a steep chord", "0 0, 1 0, 1 10", "-2 0, -1 0, -1 10",
         "2 0, 3 0, 3 10"},
        {"vertical step on a flat chord", "0 0, 0 1, 10 1", "0 2, 0 3, 10 3", "0 -2, 0 -1, 10 -1"},
        {"all points the same: as if running east", "5 5, 5 5", "5 7, 5 7", "5 3, 5 3"},
    };
    for (const Case& c : cases) {
        Polyline line(pts(c.line)), left, right;
        EXPECT_EQ(optimize_polyline_double(line.get(), 2.0, left.get(), right.get()), 0) << c.what;
        EXPECT_EQ(text_of(&left.get()->geom), text_of(c.left)) << c.what;
        EXPECT_EQ(text_of(&right.get()->geom), text_of(c.right)) << c.what;
    }
    Polyline one{{3, 4}}, left, right;  // refused, nothing written
    EXPECT_EQ(optimize_polyline_double(one.get(), 2.0, left.get(), right.get()), -1);
    EXPECT_EQ(com_polyline_num(left.get()) + com_polyline_num(right.get()), 0);
}

// Over random lines: each companion point is the vertex moved by d along exactly one axis, the two
// companions mirror each other through the vertex, and the left one lies left of the step
// arriving at the vertex (leaving it, for the first vertex).
TEST(PolylineDouble, CompanionsLieOnTheirSides) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> points = random_walk(rng, random_int(rng, 2, 30), 50.0);
        double d = random_real(rng, 0.5, 20.0);
        Polyline line(points), left, right;
        ASSERT_EQ(optimize_polyline_double(line.get(), d, left.get(), right.get()), 0);
        ASSERT_EQ(com_polyline_num(left.get()) + com_polyline_num(right.get()),
                  2 * static_cast<int>(points.size()));
        for (size_t i = 0; i < points.size(); ++i) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " vertex " + std::to_string(i) + ": " +
                         text_of(points));
            point_t p = pt(points[i]), l = com_polyline_at(left.get(), int(i)),
                    r = com_polyline_at(right.get(), int(i));
            double dx = l.x - p.x, dy = l.y - p.y;
            EXPECT_NEAR(std::max(std::fabs(dx), std::fabs(dy)), d, 1e-9);
            EXPECT_EQ(std::min(std::fabs(dx), std::fabs(dy)), 0.0);
            EXPECT_DOUBLE_EQ(l.x + r.x, 2 * p.x);
            EXPECT_DOUBLE_EQ(l.y + r.y, 2 * p.y);
            Xy from = points[i == 0 ? 0 : i - 1], to = points[i == 0 ? 1 : i];
            EXPECT_GT((to.x - from.x) * dy - (to.y - from.y) * dx, 0.0);
        }
    }
}

TEST(PolylineBezier, IsNotProvidedAndSaysSo) {
    Polyline line{{0, 0}, {5, 5}, {10, 0}}, out{{1, 1}};
    EXPECT_EQ(optimize_polyline_bezier(line.get(), 0.5, out.get()), -1);
    EXPECT_EQ(text_of(&out.get()->geom), text_of("1 1"));
}

// ---------------------------------------------------------------------------------------------------
// Decomposition through the partition library.

using Edge = std::tuple<double, double, double, double>;

Edge undirected(point_t a, point_t b) {
    if (std::tie(a.x, a.y) > std::tie(b.x, b.y))
        std::swap(a, b);
    return {a.x, a.y, b.x, b.y};
}

// The edges inside press sections of a closed ring: from each code-2 vertex along the ring to the
// next code-3 vertex, wrapping past the closing point (which stands for vertex 0 and may carry the
// end of a section that starts at vertex 0).
std::multiset<Edge> pressed_edges(const polygon_t* ring) {
    std::multiset<Edge> edges;
    const point_t* p = ring->geom.points;
    int m = ring->geom.count - 1;
    for (int start = 0; start < m; ++start) {
        if (int(p[start].z) % 100 != 2)
            continue;
        for (int k = start, steps = 0; steps < m; ++steps, k = (k + 1) % m) {
            edges.insert(undirected(p[k], p[k + 1]));
            if (int(p[k + 1].z) % 100 == 3)
                break;
        }
    }
    return edges;
}

// Pieces: counter-clockwise, valid, convex, and together the input's area and pressed edges.
void expect_pieces_carry_sections(const polygon_t* input, const polygons_t* pieces,
                                  const std::string& label) {
    SCOPED_TRACE(label + ": " + text_of(&input->geom) + "\npieces: " + text_of(pieces));
    EXPECT_EQ(faulty_rings(pieces, true), "");
    double sum = 0.0;
    std::multiset<Edge> carried;
    for (const polygon_node_t* node = pieces->head; node != nullptr; node = node->next) {
        const geom_t* g = &node->polygon.geom;
        for (int k = 0; k + 1 < g->count; ++k) {
            point_t a = g->points[(k + g->count - 2) % (g->count - 1)], b = g->points[k],
                    c = g->points[k + 1];
            EXPECT_GE((b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x), 0.0) << "reflex";
        }
        sum += plane_signed_area(&node->polygon.geom);
        for (const Edge& e : pressed_edges(&node->polygon))
            carried.insert(e);
    }
    EXPECT_EQ(sum, std::fabs(plane_signed_area(&input->geom)));
    EXPECT_TRUE(carried == pressed_edges(input)) << carried.size() << " pressed edges in pieces";
}

TEST(PolygonMulangle, UnusableInputIsCopiedWithFailure) {
    std::vector<Xy> many;
    for (int k = 0; k < 70000; ++k) {
        double a = 2 * M_PI * k / 70000;
        many.push_back({std::round(1e6 * std::cos(a)), std::round(1e6 * std::sin(a))});
    }
    const struct {
        const char* what;
        std::vector<Xy> ring;
        int expected;
    } cases[] = {
        {"two-point polygon", pts("0 0, 5 5, 0 0"), -1},
        {"crossing itself", pts("0 0, 10 10, 10 0, 0 10, 0 0"), -1},
        {"more points than the record counts", many, -1},
        {"a coordinate beyond 2^53", pts("0 0, 1e17 0, 0 10, 0 0"), -1},
        // Valid as doubles, but truncation lays every point on one line: the partition library's
        // failure code. Clockwise, with a press section: the copy comes back counter-clockwise
        // with the section in place.
        {"collinear once truncated", pts("0 0 2, 10 0.5 3, 20 0.9, 0 0 2"), PARTITION_NOT_SIMPLE},
    };
    for (const auto& c : cases) {
        Polygon input(c.ring);
        Polygons out;
        EXPECT_EQ(optimize_polygon_mulangle(input.get(), out.get()), c.expected) << c.what;
        ASSERT_EQ(out.size(), 1) << c.what;
        polygon_t* copy = com_polygons_at_pointer(out.get(), 0);
        if (c.expected == -1) {
            EXPECT_EQ(text_of(&copy->geom), text_of(&input.get()->geom)) << c.what;
        } else {
            EXPECT_EQ(relation_polygon_direction(copy), 0) << c.what;
            EXPECT_EQ(plane_signed_area(&copy->geom), -plane_signed_area(&input.get()->geom))
                << c.what;
            EXPECT_TRUE(pressed_edges(copy) == pressed_edges(input.get())) << text_of(&copy->geom);
        }
    }
}

// Random star rings in whole units with random press sections, in either orientation.
TEST(PolygonMulangle, RandomRingsKeepAreaAndSections) {
    int tested = 0;
    for (unsigned seed = 1; seed <= 60 && !HasFailure(); ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> ring = random_star(rng, random_int(rng, 5, 120), 0, 0, 100, 50000, true);
        if (seed % 2 == 0)
            std::reverse(ring.begin(), ring.end());
        int n = static_cast<int>(ring.size());
        for (int sections = random_int(rng, 1, 2), from = 1; sections > 0 && from + 2 < n;
             --sections) {
            int start = random_int(rng, from, n - 3), end = random_int(rng, start + 1, n - 2);
            ring[start].z = 2;
            ring[end].z = 3;
            from = end + 1;
        }
        Polygon input(ring);
        if (relation_polygon_iserror(input.get()) != 0)
            continue;
        Polygons out;
        ASSERT_EQ(optimize_polygon_mulangle(input.get(), out.get()), 0) << "seed " << seed;
        expect_pieces_carry_sections(input.get(), out.get(), "seed " + std::to_string(seed));
        ++tested;
    }
    EXPECT_GT(tested, 40);
}

TEST(PolygonsMulangle, CountsPiecesPerPolygon) {
    // An L-shape (two pieces), a two-point polygon (its copy) and a square (one piece).
    int x[] = {0, 40, 40, 20, 20, 0, 0, 0, 5, 0, 0, 9, 9, 0, 0};
    int y[] = {0, 0, 20, 20, 40, 40, 0, 0, 5, 0, 0, 0, 9, 9, 0};
    int z[15] = {};
    int parts[] = {7, 3, 5};
    polygons_java_t in{}, out{};
    com_polygons_java_init_value(&in, x, y, z, parts, 15, 3);
    com_polygons_java_init(&out);
    int counts[3] = {-1, -1, -1};
    optimize_polygons_mulangle(&in, &out, counts);
    EXPECT_EQ(std::vector<int>(counts, counts + 3), std::vector<int>({2, 1, 1}));
    ASSERT_EQ(out.part_num, 4);
    EXPECT_EQ(out.part_points[2], 3);  // the copy of the two-point polygon
    com_polygons_java_free(&in);
    com_polygons_java_free(&out);
}

}  // namespace
