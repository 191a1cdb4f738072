// Point in polygon: boundary codes, rays through vertices and along edges, and agreement with an
// independent winding-number count on random simple polygons.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "shapes.h"

using testing_shapes::Polygon;
using testing_shapes::pt;
using testing_shapes::Xy;

namespace {

struct PointCase {
    const char* name;
    point_t p;
    int code;
};

void expect_codes(const Polygon& polygon, std::initializer_list<PointCase> cases) {
    for (const PointCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(relation_point_at_polygon(polygon.get(), c.p), c.code);
    }
}

TEST(PointAtPolygon, SquareInsideOutsideEdgeVertexInBothOrientations) {
    Polygon ccw{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    Polygon cw{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    for (const Polygon* square : {&ccw, &cw}) {
        expect_codes(*square, {{"centre", pt(5, 5), 1},
                               {"corner", pt(10, 10), 3},
                               {"near corner", pt(10.005, 9.995), 3},
                               {"edge midpoint", pt(10, 5), 2},
                               {"outside", pt(15, 5), 0},
                               {"above top-right corner", pt(10, 20), 0},
                               {"above top-left corner", pt(0, 20), 0},
                               {"below bottom corner", pt(10, -20), 0},
                               {"above, inside x range", pt(5, 20), 0},
                               {"inside below right edge x", pt(9.5, 0.5), 1}});
    }
}

TEST(PointAtPolygon, BoundaryBandIsStrict) {
    Polygon square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(5, 0.25), 0.5), 2);
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(5, 0.5), 0.5), 1);
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(5, -0.5), 0.5), 0);
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(10.25, 10), 0.5), 3);
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(10.5, 10), 0.5), 0);
    // Past the corner by more than the permit, yet within the 0.01 band of the point-to-segment
    // distance: on the edge.
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(10.003, 10.008), 0.005), 2);
}

TEST(PointAtPolygon, RaysThroughDiamondVertices) {
    Polygon diamond{{0, -10}, {10, 0}, {0, 10}, {-10, 0}};
    expect_codes(diamond, {{"above top", pt(0, 20), 0},
                           {"centre, ray through bottom", pt(0, 0), 1},
                           {"below bottom", pt(0, -20), 0},
                           {"outside above the left vertex", pt(-10, 5), 0},
                           {"inside near the right vertex", pt(9, 0.5), 1}});
}

TEST(PointAtPolygon, RaysAlongCollinearRunsBelowThePoint) {
    // Rays running down vertical edges: the boundary arrives on one side of the ray's line and
    // leaves on the other, a crossing however long the stretch along the line.
    Polygon step{{0, 0}, {4, 0}, {4, 2}, {8, 2}, {8, 6}, {0, 6}};
    Polygon notch{{0, 0}, {8, 0}, {8, 6}, {4, 6}, {4, 2}, {2, 2}, {2, 6}, {0, 6}};
    expect_codes(step, {{"inside above the step", pt(4, 4), 1},
                        {"outside below the step corner x", pt(6, 1), 0},
                        {"above the shape on the step column", pt(4, 8), 0}});
    expect_codes(notch, {{"inside under the notch's corner", pt(4, 1), 1},
                         {"in the notch on its right wall column", pt(3, 4), 0},
                         {"above the notch, ray along wall", pt(4, 7), 0},
                         {"above the notch, ray along other wall", pt(2, 7), 0},
                         {"above the notch middle", pt(3, 7), 0}});
    // A notch from the left edge whose tip only touches the ray: nothing counted there.
    Polygon touch{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}};
    expect_codes(touch, {{"above the tip", pt(5, 8), 1}, {"inside the notch", pt(2, 5), 0}});
    // Several vertices in a row on the ray's line, the run reached from either side.
    Polygon run{{0, 0}, {6, 0}, {6, 10}, {3, 10}, {3, 7}, {3, 5}, {3, 3}, {1, 3}, {1, 10}, {0, 10}};
    expect_codes(run, {{"above the run, inside", pt(3, 11.5), 0},
                       {"below the run's bottom", pt(3, 1), 1},
                       {"in the pocket", pt(2, 8), 0}});
}

TEST(PointAtPolygon, RingsWithoutEdgesAreOutside) {
    Polygon empty;
    Polygon single{{1, 1}};
    EXPECT_EQ(relation_point_at_polygon(empty.get(), pt(0, 0)), 0);
    EXPECT_EQ(relation_point_at_polygon(single.get(), pt(1, 1)), 0);
}

// ---- independent oracle -------------------------------------------------------------------------

// Winding number with a horizontal ray (exact for points off the boundary).
int winding_number(const std::vector<Xy>& ring, double px, double py) {
    int winding = 0;
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        const Xy& v = ring[i];
        const Xy& w = ring[i + 1];
        double cross = (w.x - v.x) * (py - v.y) - (px - v.x) * (w.y - v.y);
        if (v.y <= py && w.y > py && cross > 0)
            ++winding;
        else if (v.y > py && w.y <= py && cross < 0)
            --winding;
    }
    return winding;
}

double segment_distance(const Xy& a, const Xy& b, double px, double py) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double t = ((px - a.x) * dx + (py - a.y) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.x + t * dx - px, a.y + t * dy - py);
}

// Lattice points joined in order of their angle around a centre that no two of them are collinear
// with. When every angular gap is below pi each edge sweeps its own sector, so edges meet only at
// shared vertices: the ring is simple by construction. Lattice vertices give many vertical edges
// and vertices sharing an x, where the downward ray runs along the boundary.
std::vector<Xy> random_simple_ring(std::mt19937& rng) {
    const double cx = 8 + 1 / M_PI, cy = 8 + 1 / M_E;
    std::uniform_int_distribution<int> count(3, 10), lattice(0, 16);
    for (;;) {
        std::vector<std::pair<double, Xy>> by_angle;
        for (int k = count(rng); k > 0; --k) {
            Xy v{static_cast<double>(lattice(rng)), static_cast<double>(lattice(rng))};
            by_angle.push_back({std::atan2(v.y - cy, v.x - cx), v});
        }
        std::sort(by_angle.begin(), by_angle.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        double widest_gap = by_angle.front().first + 2 * M_PI - by_angle.back().first;
        bool repeated_vertex = false;
        for (size_t i = 1; i < by_angle.size(); ++i) {
            double gap = by_angle[i].first - by_angle[i - 1].first;
            widest_gap = std::max(widest_gap, gap);
            repeated_vertex = repeated_vertex || gap == 0.0;
        }
        if (widest_gap >= M_PI || repeated_vertex)
            continue;
        std::vector<Xy> ring;
        for (const auto& entry : by_angle)
            ring.push_back(entry.second);
        ring.push_back(ring.front());
        return ring;
    }
}

std::string describe(const std::vector<Xy>& ring, double px, double py) {
    std::ostringstream text;
    text << "point (" << px << ", " << py << ") ring";
    for (const Xy& v : ring)
        text << " (" << v.x << "," << v.y << ")";
    return text.str();
}

TEST(PointAtPolygon, AgreesWithWindingNumberOnRandomSimplePolygons) {
    const unsigned seed = 20240611;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> coordinate(-1.0, 17.0);
    std::uniform_int_distribution<int> grid(0, 16);
    int checked = 0;
    for (int shape = 0; shape < 1500; ++shape) {
        std::vector<Xy> ring = random_simple_ring(rng);
        Polygon polygon(ring);
        for (int k = 0; k < 30; ++k) {
            // Half the points sit on a grid column, so their ray runs through vertices and along
            // vertical edges.
            double px = k % 2 == 0 ? grid(rng) : coordinate(rng);
            double py = coordinate(rng);
            double clearance = INFINITY;
            for (size_t i = 0; i + 1 < ring.size(); ++i)
                clearance = std::min(clearance, segment_distance(ring[i], ring[i + 1], px, py));
            if (clearance <= 0.1)
                continue;
            int expected = winding_number(ring, px, py) != 0 ? 1 : 0;
            ASSERT_EQ(relation_point_at_polygon(polygon.get(), pt(px, py)), expected)
                << "seed " << seed << " shape " << shape << ": " << describe(ring, px, py);
            ++checked;
        }
    }
    EXPECT_GT(checked, 20000);
}

}  // namespace

namespace {

// The boundary pass skips edges whose box is out of reach; near-boundary points must get exactly
// the codes of a scan over every vertex and edge with the public distance functions.
TEST(PointAtPolygon, BoundaryCodesMatchAFullScanNearEdges) {
    const unsigned seed = 77;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> along(0.0, 1.0), offset(-0.06, 0.06), permit(0.0, 0.05);
    for (int shape = 0; shape < 300; ++shape) {
        std::vector<Xy> ring = random_simple_ring(rng);
        Polygon polygon(ring);
        for (int k = 0; k < 40; ++k) {
            const Xy& v = ring[k % (ring.size() - 1)];
            const Xy& w = ring[k % (ring.size() - 1) + 1];
            double t = along(rng), tol = permit(rng);
            point_t p =
                pt(v.x + t * (w.x - v.x) + offset(rng), v.y + t * (w.y - v.y) + offset(rng));
            int expected = 0;
            for (size_t i = 0; i + 1 < ring.size() && expected == 0; ++i) {
                point_t a = pt(ring[i].x, ring[i].y), b = pt(ring[i + 1].x, ring[i + 1].y);
                if (calc_points_distance(p, a) < tol || calc_points_distance(p, b) < tol)
                    expected = 3;
                else if (calc_point_to_line_distance(p, a, b) < tol)
                    expected = 2;
            }
            int got = relation_point_at_polygon_by_permit(polygon.get(), p, tol);
            ASSERT_EQ(got >= 2 ? got : 0, expected)
                << "seed " << seed << " permit " << tol << ": " << describe(ring, p.x, p.y);
        }
    }
}

}  // namespace
