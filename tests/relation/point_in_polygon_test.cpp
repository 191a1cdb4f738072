// Point in polygon: boundary codes, rays through vertices and along edges, and agreement with an
// independent winding-number count and a full boundary scan on random simple polygons.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "point_text.h"
#include "random_shapes.h"

using testing_shapes::Polygon;
using testing_shapes::pt;
using testing_shapes::pts;
using testing_shapes::Xy;

namespace {

// Each probe's z is its expected code.
void expect_codes(const char* ring, const char* probes) {
    Polygon polygon(pts(ring));
    for (const Xy& p : pts(probes))
        EXPECT_EQ(relation_point_at_polygon(polygon.get(), pt(p.x, p.y)), int(p.z))
            << ring << ": (" << p.x << "," << p.y << ")";
}

TEST(PointAtPolygon, SquareAndDiamondCodesWithRaysThroughVertices) {
    // Centre, corner, near corner, edge midpoint, outside, straight above and below corners.
    const char* probes =
        "5 5 1, 10 10 3, 10.005 9.995 3, 10 5 2, 15 5 0, 10 20 0, 0 20 0,"
        "10 -20 0, 5 20 0, 9.5 0.5 1";
    expect_codes("0 0, 10 0, 10 10, 0 10", probes);
    expect_codes("0 0, 0 10, 10 10, 10 0", probes);
    expect_codes("0 -10, 10 0, 0 10, -10 0", "0 20 0, 0 0 1, 0 -20 0, -10 5 0, 9 0.5 1");
    expect_codes("", "0 0 0");
    expect_codes("1 1", "1 1 0");
}

TEST(PointAtPolygon, BoundaryBandIsStrict) {
    Polygon square(pts("0 0, 10 0, 10 10, 0 10"));
    for (const Xy& p : pts("5 0.25 2, 5 0.5 1, 5 -0.5 0, 10.25 10 3, 10.5 10 0"))
        EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(p.x, p.y), 0.5), int(p.z));
    // Past the corner by more than the permit, yet within the 0.01 band of the point-to-segment
    // distance: on the edge.
    EXPECT_EQ(relation_point_at_polygon_by_permit(square.get(), pt(10.003, 10.008), 0.005), 2);
}

// Rays running down vertical edges and through runs of vertices on the ray's line: the boundary
// arrives on one side and leaves on the other (a crossing however long the run), or comes back
// to the side it came from (a touch, not counted).
TEST(PointAtPolygon, RaysAlongCollinearRunsBelowThePoint) {
    expect_codes("0 0, 4 0, 4 2, 8 2, 8 6, 0 6", "4 4 1, 6 1 0, 4 8 0");
    expect_codes("0 0, 8 0, 8 6, 4 6, 4 2, 2 2, 2 6, 0 6", "4 1 1, 3 4 0, 4 7 0, 2 7 0, 3 7 0");
    expect_codes("0 0, 10 0, 10 10, 0 10, 5 5", "5 8 1, 2 5 0");
    expect_codes("0 0, 6 0, 6 10, 3 10, 3 7, 3 5, 3 3, 1 3, 1 10, 0 10", "3 11.5 0, 3 1 1, 2 8 0");
}

// Winding number with a horizontal ray (exact for points off the boundary).
int winding_number(const std::vector<Xy>& ring, double px, double py) {
    int winding = 0;
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        const Xy &v = ring[i], &w = ring[i + 1];
        double cross = (w.x - v.x) * (py - v.y) - (px - v.x) * (w.y - v.y);
        if (v.y <= py && w.y > py && cross > 0)
            ++winding;
        else if (v.y > py && w.y <= py && cross < 0)
            --winding;
    }
    return winding;
}

double clearance(const std::vector<Xy>& ring, point_t p) {
    double nearest = INFINITY;
    for (size_t i = 0; i + 1 < ring.size(); ++i)
        nearest = std::min(
            nearest, calc_point_to_line_distance_by_permit(p, pt(ring[i].x, ring[i].y),
                                                           pt(ring[i + 1].x, ring[i + 1].y), 0.0));
    return nearest;
}

TEST(PointAtPolygon, AgreesWithWindingNumberOnRandomSimplePolygons) {
    const unsigned seed = 20240611;
    std::mt19937 rng(seed);
    int checked = 0;
    for (int shape = 0; shape < 1500; ++shape) {
        std::vector<Xy> ring = testing_shapes::random_simple_ring(rng);
        Polygon polygon(ring);
        for (int k = 0; k < 30; ++k) {
            // Half the points sit on a grid column: their ray runs through vertices and along
            // vertical edges.
            double x = testing_shapes::random_real(rng, -1.0, 17.0);
            point_t p =
                pt(k % 2 == 0 ? std::round(x) : x, testing_shapes::random_real(rng, -1, 17));
            if (clearance(ring, p) <= 0.1)
                continue;
            ASSERT_EQ(relation_point_at_polygon(polygon.get(), p),
                      winding_number(ring, p.x, p.y) != 0 ? 1 : 0)
                << "seed " << seed << " point " << p.x << " " << p.y << " in "
                << testing_shapes::text_of(ring);
            ++checked;
        }
    }
    EXPECT_GT(checked, 20000);
}

// The boundary pass skips edges whose box is out of reach; near-boundary points must get exactly
// the codes of a scan over every vertex and edge with the public distance functions.
TEST(PointAtPolygon, BoundaryCodesMatchAFullScanNearEdges) {
    const unsigned seed = 77;
    std::mt19937 rng(seed);
    for (int shape = 0; shape < 300; ++shape) {
        std::vector<Xy> ring = testing_shapes::random_simple_ring(rng);
        Polygon polygon(ring);
        for (int k = 0; k < 40; ++k) {
            const Xy &v = ring[k % (ring.size() - 1)], &w = ring[k % (ring.size() - 1) + 1];
            double t = testing_shapes::random_real(rng, 0, 1);
            double tol = testing_shapes::random_real(rng, 0, 0.05);
            point_t p = pt(v.x + t * (w.x - v.x) + testing_shapes::random_real(rng, -0.06, 0.06),
                           v.y + t * (w.y - v.y) + testing_shapes::random_real(rng, -0.06, 0.06));
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
                << "seed " << seed << " permit " << tol << " point " << p.x << " " << p.y << " in "
                << testing_shapes::text_of(ring);
        }
    }
}

}  // namespace
