// Random cuts against GEOS: a simple polygon cut by a polyline gives the faces GEOS finds in the
// noded boundary and line (pieces valid, counter-clockwise, areas adding up); a polyline split by a
// polygon keeps the length GEOS keeps; a grid of tiles shares every stretch exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/algebra.h"
#include "ring_checks.h"

namespace {

using namespace testing_shapes;

constexpr unsigned kTrials = 300;
// A piece that ends where the line leaves is cleaned of points closer than 0.99 to the point
// before, which may shorten it a little.
constexpr double kCleaningSlackPerPiece = 2.0;

std::string describe(unsigned seed, const std::vector<Xy>& shape, const std::vector<Xy>& line) {
    return "seed " + std::to_string(seed) + "\n" + text_of(shape) + "\n" + text_of(line);
}

// Star-shaped, so simple: integer vertices in angle order, far enough apart to keep it rounded.
std::vector<Xy> random_star(std::mt19937& rng) {
    int n = std::uniform_int_distribution<int>(4, 24)(rng);
    std::uniform_real_distribution<double> radius(200.0, 1000.0), jitter(0.1, 0.9);
    std::vector<Xy> ring;
    for (int k = 0; k < n; ++k) {
        double angle = (k + jitter(rng)) * 2.0 * M_PI / n, r = radius(rng);
        ring.push_back({std::round(r * std::cos(angle)), std::round(r * std::sin(angle))});
    }
    return ring;
}

// Strictly increasing in x (so simple), from left of every star to right of it.
std::vector<Xy> random_monotone_line(std::mt19937& rng, int points) {
    std::uniform_int_distribution<int> x(-1150, 1150), y(-1100, 1100);
    std::vector<int> xs{-1200, 1200};
    while (static_cast<int>(xs.size()) < points)
        xs.push_back(x(rng));
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Xy> line;
    for (int v : xs)
        line.push_back({1.0 * v, 1.0 * y(rng)});
    return line;
}

struct GeosCuts : testing_shapes::Geos {
    // Segment by segment, so that a line passing a stretch twice counts it twice.
    double length_in(const std::vector<Xy>& points, GEOSGeometry* shape) {
        double total = 0.0;
        for (size_t k = 0; k + 1 < points.size(); ++k)
            total += measure(GEOSLength_r,
                             keep(GEOSIntersection_r(h, line({points[k], points[k + 1]}), shape)));
        return total;
    }
    // Areas of the faces of the noded boundary and line inside the polygon, ascending; `sliver`
    // tells whether one is narrower than 2 units on average (snapping may flatten or pinch it).
    // `spur` is a second cutting line (none when empty).
    std::vector<double> faces_inside(const std::vector<Xy>& ring, const std::vector<Xy>& cut,
                                     bool* sliver, const std::vector<Xy>& spur = {}) {
        GEOSGeometry* parts[3] = {GEOSGeom_clone_r(h, line(ring, true)),
                                  GEOSGeom_clone_r(h, line(cut)), nullptr};
        unsigned count = 2;
        if (!spur.empty())
            parts[count++] = GEOSGeom_clone_r(h, line(spur));
        const GEOSGeometry* noded = keep(GEOSNode_r(
            h, keep(GEOSGeom_createCollection_r(h, GEOS_MULTILINESTRING, parts, count))));
        GEOSGeometry* faces = keep(GEOSPolygonize_r(h, &noded, 1));
        GEOSGeometry* shape = polygon(ring);
        std::vector<double> areas;
        for (int k = 0; k < GEOSGetNumGeometries_r(h, faces); ++k) {
            const GEOSGeometry* face = GEOSGetGeometryN_r(h, faces, k);
            if (GEOSContains_r(h, shape, keep(GEOSPointOnSurface_r(h, face))) != 1)
                continue;
            areas.push_back(area(face));
            *sliver = *sliver || areas.back() < measure(GEOSLength_r, face);
        }
        std::sort(areas.begin(), areas.end());
        return areas;
    }
};

// How much snapping a piece's crossing points (codes of 100 and more) to whole units can change
// its area: each moves at most half a unit in x and in y, turning the edges to its neighbours.
double snapping_bound(const geom_t* ring) {
    double bound = 1e-6;
    int n = ring->count - 1;
    for (int k = 0; k < n; ++k) {
        const point_t &c = ring->points[k], &prev = ring->points[(k + n - 1) % n],
                      &next = ring->points[(k + 1) % n];
        if (c.z >= 100.0)
            bound += 0.36 * (std::hypot(next.x - c.x, next.y - c.y) +
                             std::hypot(c.x - prev.x, c.y - prev.y));
    }
    return bound;
}

// The pieces, pairwise, cover nothing in common (up to rounding); "" when so.
std::string overlapping_pieces(GeosCuts& geos, const polygons_t* pieces) {
    std::string found;
    int count = com_polygons_num(pieces);
    for (int a = 0; a < count; ++a)
        for (int b = a + 1; b < count; ++b) {
            double common = geos.area(geos.keep(
                GEOSIntersection_r(geos.h, geos.polygon(&com_polygons_at_pointer(pieces, a)->geom),
                                   geos.polygon(&com_polygons_at_pointer(pieces, b)->geom))));
            if (common > 1e-9)
                found += std::to_string(a) + " & " + std::to_string(b) + ": " +
                         std::to_string(common) + "\n";
        }
    return found;
}

TEST(SplitPolygonByPolyline, LinesTurningStraightBackCutEachPlaceOnce) {
    const char* const square = "0 0, 10 0, 10 10, 0 10";
    const struct {
        const char *name, *line;
        std::vector<double> areas;  // ascending; none: the line cuts nothing
    } cases[] = {
        // Back out from the bottom edge: the retraced stretch parts a triangle off, the last
        // stretch comes in again to the corner (its crossing snapped to (10,1)).
        {"BackFromTheBoundary", "15 2, 5 0, 15 2, 0 0", {2.5, 2.5, 95}},
        {"AcrossThenBackHalfWay", "0 5, 20 5, 5 5", {50, 50}},
        {"AcrossThenBackPartOfTheWayAndUp", "-5 5, 15 5, 5 5, 5 15", {25, 25, 50}},
        {"BackOutsideOnly", "-5 5, 15 5, 20 5, 12 5", {50, 50}},
        {"InAndBackOutTheSameWay", "-5 5, 5 5, -5 5", {}},
        // The stretch run back ends inside; the cut goes on from where it left the track.
        {"BackPartOfTheWayThenDown", "-5 5, 5 5, 2 5, 5 0", {17.5, 82.5}},
        {"TurningAgainWhileRunningBack", "-5 5, 15 5, 5 5, 8 5, 8 15", {10, 40, 50}},
        // Starting inside: cut only by the line run back across, or by its end beyond the turn.
        {"FromInsideOutAndBackAcross", "5 5, 20 5, -5 5", {50, 50}},
        {"FromInsideOutBackAndUp", "5 5, 20 5, 8 5, 8 15", {10, 90}},
        {"BackAndForthTwiceThenUp", "-5 1, 20 1, 1 1, 20 1, 5 1, 5 20", {10, 45, 45}},
        {"TwoTurnsBack", "-5 2, 15 2, 5 2, 5 15, 5 -5", {10, 10, 40, 40}},
        {"BackOverAWholeStretchAndOn", "-5 5, 15 5, -5 5, -5 3, 10 3", {20, 30, 50}},
    };
    GeosCuts geos;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon polygon(pts(square));
        Polyline line(pts(c.line));
        Polygons pieces;
        EXPECT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
        EXPECT_EQ(signed_areas(pieces.get()), c.areas);
        EXPECT_EQ(faulty_rings(pieces.get(), true), "");
        EXPECT_EQ(overlapping_pieces(geos, pieces.get()), "");
        EXPECT_DOUBLE_EQ(area_sum(pieces.get()), c.areas.empty() ? 0.0 : 100.0);
    }
}

// The line of `cut` from its last point (right of every star) back over its points down to
// index `back_to`, then to a point below every star: the retraced stretches cut nothing new, the
// last stretch cuts as a line of its own would.
std::vector<Xy> turned_back(const std::vector<Xy>& cut, size_t back_to, double end_x) {
    std::vector<Xy> line = cut;
    for (size_t k = cut.size() - 1; k-- > back_to;)
        line.push_back(cut[k]);
    line.push_back({end_x, -1200.0});
    return line;
}

TEST(SplitPolygonByPolyline, RandomCutsGiveTheFacesGeosFinds) {
    GeosCuts geos;
    unsigned compared = 0;
    for (unsigned seed = 1; seed <= kTrials; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> ring = random_star(rng);
        std::vector<Xy> forward = random_monotone_line(rng, 2 + seed % 7), cut = forward;
        // Every other draw turns straight back at its end and, after retracing some points,
        // leaves downwards: the pieces are the faces of the line and that last stretch.
        std::vector<Xy> spur;
        if (seed % 2 == 0) {
            size_t back_to = std::uniform_int_distribution<size_t>(0, forward.size() - 2)(rng);
            // Rightwards, so that the line up to there and on down stays simple.
            double end_x = std::uniform_int_distribution<int>(
                static_cast<int>(forward[back_to].x) + 1, 1200)(rng);
            spur = {forward[back_to], {end_x, -1200.0}};
            cut = turned_back(forward, back_to, end_x);
        }
        SCOPED_TRACE(describe(seed, ring, cut));
        bool pinch_risk = false;  // snapping may pinch slivers
        std::vector<double> faces = geos.faces_inside(ring, forward, &pinch_risk, spur);
        Polygon polygon(ring);
        Polyline line(cut);
        Polygons pieces;
        ASSERT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
        if (faces.size() < 2) {
            EXPECT_EQ(pieces.size(), 0);
            continue;
        }
        std::vector<std::pair<double, double>> got;  // area and its snapping bound
        double total = 0.0, total_bound = 1.0;
        for (const polygon_node_t* n = pieces.get()->head; n != nullptr; n = n->next) {
            got.push_back({plane_signed_area(&n->polygon.geom), snapping_bound(&n->polygon.geom)});
            total += got.back().first;
            total_bound += got.back().second;
        }
        EXPECT_NEAR(total, plane_signed_area(&polygon.get()->geom), total_bound);
        if (pinch_risk)
            continue;
        ++compared;
        EXPECT_EQ(faulty_rings(pieces.get(), true), "");  // valid and counter-clockwise
        EXPECT_EQ(overlapping_pieces(geos, pieces.get()), "");
        ASSERT_EQ(pieces.size(), static_cast<int>(faces.size()));
        std::sort(got.begin(), got.end());
        for (size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k].first, faces[k], got[k].second) << "piece " << k;
    }
    EXPECT_GT(compared, kTrials / 3);  // the draws do cut polygons
}

double total_length(const Polylines& pieces) {
    double length = 0.0;
    for (const polyline_node_t* n = pieces.l.head; n != nullptr; n = n->next)
        for (int i = 0; i + 1 < n->polyline.geom.count; ++i)
            length += std::hypot(n->polyline.geom.points[i + 1].x - n->polyline.geom.points[i].x,
                                 n->polyline.geom.points[i + 1].y - n->polyline.geom.points[i].y);
    return length;
}

TEST(SplitPolylineByPolygon, RandomLinesKeepTheLengthGeosKeepsInside) {
    GeosCuts geos;
    std::uniform_int_distribution<int> coordinate(-1200, 1200);
    for (unsigned seed = 1; seed <= kTrials; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> ring = random_star(rng);
        std::vector<Xy> points;  // not simple in general, as lines may be
        for (unsigned k = 0; k < 2 + seed % 9; ++k)
            points.push_back({1.0 * coordinate(rng), 1.0 * coordinate(rng)});
        SCOPED_TRACE(describe(seed, ring, points));
        Polygon polygon(ring);
        Polyline line(points);
        Polylines pieces;
        int result = split_polyline_by_polygon(line.get(), polygon.get(), pieces.get());
        double inside = geos.length_in(points, geos.polygon(ring));
        double whole = geos.measure(GEOSLength_r, geos.line(points));
        EXPECT_EQ(result, inside == 0.0 ? 2 : inside > whole * (1.0 - 1e-12) ? 1 : 0);
        EXPECT_NEAR(total_length(pieces), inside, kCleaningSlackPerPiece * (pieces.size() + 1));
    }
}

TEST(SplitPolylineByRect, TilesOfAGridShareEveryStretchOnce) {
    // 3 x 3 tiles of 10 units; line points on a 5-unit lattice often run along tile edges.
    constexpr int kTiles = 3;
    constexpr double kSize = 10.0, kExtent = kTiles * kSize;
    GeosCuts geos;
    GEOSGeometry* grid = geos.polygon({{0, 0}, {kExtent, 0}, {kExtent, kExtent}, {0, kExtent}});
    GEOSGeometry* right = geos.line({{kExtent, 0}, {kExtent, kExtent}});
    GEOSGeometry* top = geos.line({{0, kExtent}, {kExtent, kExtent}});
    std::uniform_int_distribution<int> lattice(-1, 2 * kTiles + 1);
    for (unsigned seed = 1; seed <= kTrials; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> points;
        for (unsigned k = 0; k < 2 + seed % 6; ++k)
            points.push_back({5.0 * lattice(rng), 5.0 * lattice(rng)});
        SCOPED_TRACE(describe(seed, {}, points));
        double kept = 0.0;
        int piece_count = 0;
        for (int tile = 0; tile < kTiles * kTiles; ++tile) {
            double x0 = tile % kTiles * kSize, y0 = tile / kTiles * kSize;
            Polygon outline{{x0, y0}, {x0 + kSize, y0}, {x0 + kSize, y0 + kSize}, {x0, y0 + kSize}};
            Polyline line(points);
            Polylines pieces;
            split_polyline_by_rect(line.get(), outline.get(), pieces.get());
            kept += total_length(pieces);
            piece_count += pieces.size();
            for (const polyline_node_t* n = pieces.l.head; n != nullptr; n = n->next)
                for (const Xy& p : points_of(&n->polyline.geom))
                    EXPECT_TRUE(std::fabs(p.x - x0 - kSize / 2) < kSize / 2 + 1e-9 &&
                                std::fabs(p.y - y0 - kSize / 2) < kSize / 2 + 1e-9)
                        << "tile " << tile << " keeps " << p.x << " " << p.y;
        }
        // Stretches along the grid's own greatest-x and greatest-y sides belong to no tile.
        double expected = geos.length_in(points, grid) - geos.length_in(points, right) -
                          geos.length_in(points, top);
        EXPECT_NEAR(kept, expected, 1e-9 + kCleaningSlackPerPiece * piece_count);
    }
}

}  // namespace
