// Random cuts checked against GEOS: a simple polygon cut by a polyline gives the faces that GEOS
// finds in the noded boundary and line, each piece valid and counter-clockwise, their areas adding
// up to the polygon's; a polyline split by a polygon keeps as much length as GEOS's intersection;
// a polyline split over a grid of tiles keeps every stretch in exactly one tile.
#include <geos_c.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "shapes.h"

namespace {

using testing_shapes::plane_signed_area;
using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Polyline;
using testing_shapes::Polylines;
using testing_shapes::Xy;

constexpr unsigned kTrials = 300;

std::string text_of(const std::vector<Xy>& points) {
    std::ostringstream text;
    for (const Xy& p : points)
        text << p.x << " " << p.y << ", ";
    return text.str();
}

std::string describe(unsigned seed, const std::vector<Xy>& shape, const std::vector<Xy>& line) {
    return "seed " + std::to_string(seed) + "\nshape " + text_of(shape) + "\nline " + text_of(line);
}

// A star-shaped polygon with integer vertices, simple by construction: vertices in angle order,
// far enough apart in angle that rounding keeps the order.
std::vector<Xy> random_star(std::mt19937& rng) {
    int n = std::uniform_int_distribution<int>(4, 24)(rng);
    std::uniform_real_distribution<double> radius(200.0, 1000.0);
    std::uniform_real_distribution<double> jitter(0.1, 0.9);
    std::vector<Xy> ring;
    for (int k = 0; k < n; ++k) {
        double angle = (k + jitter(rng)) * 2.0 * M_PI / n;
        double r = radius(rng);
        ring.push_back({std::round(r * std::cos(angle)), std::round(r * std::sin(angle))});
    }
    return ring;
}

// A polyline with integer points, strictly increasing in x (so simple), from left of every star
// to right of it. With `through_vertices`, about half its inner points are vertices of the ring,
// so that the line passes through vertices and runs along edges.
std::vector<Xy> random_monotone_line(std::mt19937& rng, int points, const std::vector<Xy>& ring,
                                     bool through_vertices) {
    std::uniform_int_distribution<int> x(-1150, 1150);
    std::uniform_int_distribution<int> y(-1100, 1100);
    std::uniform_int_distribution<size_t> vertex(0, ring.size() - 1);
    std::vector<Xy> line{{-1200.0, static_cast<double>(y(rng))},
                         {1200.0, static_cast<double>(y(rng))}};
    for (int k = 2; k < points; ++k) {
        if (through_vertices && rng() % 2 == 0)
            line.push_back(ring[vertex(rng)]);
        else
            line.push_back({static_cast<double>(x(rng)), static_cast<double>(y(rng))});
    }
    std::sort(line.begin(), line.end(), [](const Xy& a, const Xy& b) { return a.x < b.x; });
    line.erase(
        std::unique(line.begin(), line.end(), [](const Xy& a, const Xy& b) { return a.x == b.x; }),
        line.end());
    return line;
}

double distance_to_segment(const Xy& p, const Xy& a, const Xy& b) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

// Whether a vertex of one shape passes near a segment of the other without touching it: snapping
// the crossing points to whole units may then carry a cut across that vertex.
bool has_near_miss(const std::vector<Xy>& ring, const std::vector<Xy>& line) {
    auto near_miss = [](const std::vector<Xy>& points, const std::vector<Xy>& path, bool closed) {
        size_t segments = closed ? path.size() : path.size() - 1;
        for (const Xy& p : points)
            for (size_t k = 0; k < segments; ++k) {
                double d = distance_to_segment(p, path[k], path[(k + 1) % path.size()]);
                if (d > 0.0 && d < 1.5)
                    return true;
            }
        return false;
    };
    return near_miss(ring, line, false) || near_miss(line, ring, true);
}

// GEOS geometries, released with their context.
struct Geos {
    GEOSContextHandle_t h = GEOS_init_r();
    std::vector<GEOSGeometry*> owned;
    Geos() = default;
    Geos(const Geos&) = delete;
    Geos& operator=(const Geos&) = delete;
    ~Geos() {
        for (GEOSGeometry* g : owned)
            GEOSGeom_destroy_r(h, g);
        GEOS_finish_r(h);
    }
    GEOSGeometry* keep(GEOSGeometry* g) {
        owned.push_back(g);
        return g;
    }
    GEOSCoordSequence* sequence(const std::vector<Xy>& points, bool close) {
        unsigned size = static_cast<unsigned>(points.size() + (close ? 1 : 0));
        GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, size, 2);
        for (unsigned k = 0; k < size; ++k)
            GEOSCoordSeq_setXY_r(h, s, k, points[k % points.size()].x, points[k % points.size()].y);
        return s;
    }
    GEOSGeometry* line(const std::vector<Xy>& points) {
        return keep(GEOSGeom_createLineString_r(h, sequence(points, false)));
    }
    GEOSGeometry* polygon(const std::vector<Xy>& ring) {
        GEOSGeometry* shell = GEOSGeom_createLinearRing_r(h, sequence(ring, true));
        return keep(GEOSGeom_createPolygon_r(h, shell, nullptr, 0));
    }
    double length(const GEOSGeometry* g) {
        double value = 0.0;
        GEOSLength_r(h, g, &value);
        return value;
    }
    // Length of the line within the shape, segment by segment, so that a line passing a stretch
    // twice counts it twice.
    double length_in(const std::vector<Xy>& points, GEOSGeometry* shape) {
        double total = 0.0;
        for (size_t k = 0; k + 1 < points.size(); ++k)
            total += length(keep(GEOSIntersection_r(h, line({points[k], points[k + 1]}), shape)));
        return total;
    }
    // Areas of the faces of the noded polygon boundary and line that lie inside the polygon, and
    // whether one of them is a sliver (narrower than 2 units on average), which snapping to whole
    // units may flatten or pinch.
    std::vector<double> faces_inside(const std::vector<Xy>& ring, const std::vector<Xy>& cut,
                                     bool* has_sliver) {
        GEOSGeometry* parts[2] = {GEOSGeom_createLineString_r(h, sequence(ring, true)),
                                  GEOSGeom_createLineString_r(h, sequence(cut, false))};
        GEOSGeometry* lines = keep(GEOSGeom_createCollection_r(h, GEOS_MULTILINESTRING, parts, 2));
        const GEOSGeometry* noded = keep(GEOSNode_r(h, lines));
        GEOSGeometry* faces = keep(GEOSPolygonize_r(h, &noded, 1));
        GEOSGeometry* shape = polygon(ring);
        std::vector<double> areas;
        *has_sliver = false;
        for (int k = 0; k < GEOSGetNumGeometries_r(h, faces); ++k) {
            const GEOSGeometry* face = GEOSGetGeometryN_r(h, faces, k);
            if (GEOSContains_r(h, shape, keep(GEOSPointOnSurface_r(h, face))) != 1)
                continue;
            double area = 0.0;
            GEOSArea_r(h, face, &area);
            areas.push_back(area);
            *has_sliver = *has_sliver || area < length(face);
        }
        std::sort(areas.begin(), areas.end());
        return areas;
    }
};

// How much snapping the crossing points (codes 100 and more) of a piece to whole units can have
// changed its area: each moves by at most half a unit in x and in y, turning the edges to its
// neighbours (measured in the snapped piece, since a neighbour may have merged with it).
double snapping_bound(const geom_t* ring) {
    double bound = 1e-6;
    int n = ring->count - 1;
    for (int k = 0; k < n; ++k) {
        const point_t& c = ring->points[k];
        if (c.z < 100.0)
            continue;
        const point_t& prev = ring->points[(k + n - 1) % n];
        const point_t& next = ring->points[(k + 1) % n];
        bound += 0.5 * std::sqrt(0.5) *
                 (std::hypot(next.x - c.x, next.y - c.y) + std::hypot(c.x - prev.x, c.y - prev.y));
    }
    return bound;
}

TEST(SplitPolygonByPolyline, RandomCutsGiveTheFacesGeosFinds) {
    Geos geos;
    unsigned compared = 0;
    for (unsigned seed = 1; seed <= kTrials; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> ring = random_star(rng);
        std::vector<Xy> cut = random_monotone_line(rng, 2 + seed % 7, ring, seed % 2 == 1);
        SCOPED_TRACE(describe(seed, ring, cut));
        bool pinch_risk = false;
        std::vector<double> faces = geos.faces_inside(ring, cut, &pinch_risk);
        pinch_risk = pinch_risk || has_near_miss(ring, cut);

        Polygon polygon(ring);
        Polyline line(cut);
        Polygons pieces;
        ASSERT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
        if (faces.size() < 2) {
            EXPECT_EQ(pieces.size(), 0);
            continue;
        }
        std::vector<std::pair<double, double>> got;  // area and its snapping bound
        double total = 0.0;
        double total_bound = 1.0;
        for (int k = 0; k < pieces.size(); ++k) {
            const polygon_t* piece = com_polygons_at_pointer(pieces.get(), k);
            got.push_back({plane_signed_area(&piece->geom), snapping_bound(&piece->geom)});
            if (!pinch_risk) {
                EXPECT_EQ(relation_polygon_iserror(piece), 0) << "piece " << k;
                EXPECT_GT(got.back().first, 0.0) << "piece " << k << " is not counter-clockwise";
            }
            total += got.back().first;
            total_bound += got.back().second;
        }
        EXPECT_NEAR(total, plane_signed_area(&polygon.get()->geom), total_bound);
        if (pinch_risk)
            continue;
        ++compared;
        ASSERT_EQ(pieces.size(), static_cast<int>(faces.size()));
        std::sort(got.begin(), got.end());
        for (size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k].first, faces[k], got[k].second) << "piece " << k;
    }
    EXPECT_GT(compared, kTrials / 3);  // the draws do cut polygons
}

double total_length(const Polylines& pieces) {
    double length = 0.0;
    for (int k = 0; k < pieces.size(); ++k) {
        const geom_t* g = &com_polylines_at_pointer(pieces.get(), k)->geom;
        for (int i = 0; i + 1 < g->count; ++i)
            length += std::hypot(g->points[i + 1].x - g->points[i].x,
                                 g->points[i + 1].y - g->points[i].y);
    }
    return length;
}

// A piece that ends where the line leaves is cleaned of points closer than 0.99 to the point
// before, which may shorten it by a little per cleaned piece.
constexpr double kCleaningSlackPerPiece = 2.0;

TEST(SplitPolylineByPolygon, RandomLinesKeepTheLengthGeosKeepsInside) {
    Geos geos;
    std::uniform_int_distribution<int> coordinate(-1200, 1200);
    for (unsigned seed = 1; seed <= kTrials; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> ring = random_star(rng);
        std::vector<Xy> points;
        for (unsigned k = 0; k < 2 + seed % 9; ++k)  // not simple in general, as may be
            points.push_back(
                {static_cast<double>(coordinate(rng)), static_cast<double>(coordinate(rng))});
        SCOPED_TRACE(describe(seed, ring, points));
        Polygon polygon(ring);
        Polyline line(points);
        Polylines pieces;
        int result = split_polyline_by_polygon(line.get(), polygon.get(), pieces.get());
        double inside = geos.length_in(points, geos.polygon(ring));
        double whole = geos.length_in(
            points, geos.polygon({{-2000, -2000}, {2000, -2000}, {2000, 2000}, {-2000, 2000}}));
        EXPECT_EQ(result, inside == 0.0 ? 2 : inside > whole * (1.0 - 1e-12) ? 1 : 0);
        EXPECT_NEAR(total_length(pieces), inside, kCleaningSlackPerPiece * (pieces.size() + 1));
    }
}

TEST(SplitPolylineByRect, TilesOfAGridShareEveryStretchOnce) {
    // 3 x 3 tiles of 10 x 10 units; line points on a 5-unit lattice run along tile edges often.
    constexpr int kTiles = 3;
    constexpr double kSize = 10.0;
    Geos geos;
    std::uniform_int_distribution<int> lattice(-1, 2 * kTiles + 1);
    for (unsigned seed = 1; seed <= kTrials; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> points;
        for (unsigned k = 0; k < 2 + seed % 6; ++k)
            points.push_back({5.0 * lattice(rng), 5.0 * lattice(rng)});
        SCOPED_TRACE(describe(seed, {}, points));
        double kept = 0.0;
        int piece_count = 0;
        for (int col = 0; col < kTiles; ++col) {
            for (int row = 0; row < kTiles; ++row) {
                double x0 = col * kSize;
                double y0 = row * kSize;
                Polygon tile(
                    {{x0, y0}, {x0 + kSize, y0}, {x0 + kSize, y0 + kSize}, {x0, y0 + kSize}});
                Polyline line(points);
                Polylines pieces;
                split_polyline_by_rect(line.get(), tile.get(), pieces.get());
                kept += total_length(pieces);
                piece_count += pieces.size();
                for (int k = 0; k < pieces.size(); ++k)
                    for (const Xy& p : testing_shapes::points_of(
                             &com_polylines_at_pointer(pieces.get(), k)->geom))
                        EXPECT_TRUE(p.x > x0 - 1e-9 && p.x < x0 + kSize + 1e-9 && p.y > y0 - 1e-9 &&
                                    p.y < y0 + kSize + 1e-9)
                            << "tile " << col << " " << row << ": " << p.x << " " << p.y;
            }
        }
        // Stretches along the grid's own greatest-x and greatest-y sides belong to no tile.
        double extent = kTiles * kSize;
        double expected =
            geos.length_in(points,
                           geos.polygon({{0, 0}, {extent, 0}, {extent, extent}, {0, extent}})) -
            geos.length_in(points, geos.line({{extent, 0}, {extent, extent}})) -
            geos.length_in(points, geos.line({{0, extent}, {extent, extent}}));
        EXPECT_NEAR(kept, expected, 1e-9 + kCleaningSlackPerPiece * piece_count);
    }
}

}  // namespace
