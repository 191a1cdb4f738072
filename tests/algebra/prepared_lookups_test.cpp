// The prepared lookups the overlays lean on (the place grid, the ring locators shared by the steps
// of one overlay) against the plain passes that define their answers: the grid against a search of
// every point, and whole overlays, polygon relations and rectangle clips run both ways
// (g_plain_lookups) on random rings, which must agree in every code, ring, vertex, press code and
// the order of the rings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <string>
#include <vector>

#include "algebra/places.h"
#include "algebra/rect_clip.h"
#include "com/plain_lookups.h"
#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"

namespace {

using namespace testing_shapes;

// Turns the plain passes on for its lifetime.
struct PlainLookups {
    PlainLookups() { mapgeom::g_plain_lookups = true; }
    ~PlainLookups() { mapgeom::g_plain_lookups = false; }
    PlainLookups(const PlainLookups&) = delete;
    PlainLookups& operator=(const PlainLookups&) = delete;
};

// Coordinates on a lattice of a third of the tolerance around a few centres (near and far from
// the origin, beyond the grid's exact range, not numbers), so that points are often the same, or
// just not, across cell borders.
point_t lattice_point(std::mt19937& rng) {
    const double centres[] = {0.0, -3.5, 123456.789, 9.99999e9, 2.5e10};
    const double step = 0.0001 / 3;
    if (random_int(rng, 0, 40) == 0)
        return pt(std::numeric_limits<double>::quiet_NaN(), 1.0);
    const double c = centres[random_int(rng, 0, 4)];
    return pt(c + step * random_int(rng, -6, 6), -c + step * random_int(rng, -6, 6));
}

TEST(PlaceGrid, FindsWhatASearchOfEveryPointFinds) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 200; ++trial) {
        const int count = random_int(rng, 1, 120);
        std::vector<point_t> places(count);
        std::vector<bool> stored(count, false);
        mapgeom::PlaceIndex grid;
        // Ids added in a shuffled order with some left out; then some moved.
        for (int k = 0; k < 2 * count; ++k) {
            const int id = random_int(rng, 0, count - 1);
            if (stored[id])
                continue;
            places[id] = lattice_point(rng);
            stored[id] = true;
            grid.add(id, places[id]);
        }
        for (int k = random_int(rng, 0, 20); k > 0; --k) {
            const int id = random_int(rng, 0, count - 1);
            if (!stored[id])
                continue;
            places[id] = lattice_point(rng);
            grid.move(id, places[id]);
        }
        for (int q = 0; q < 60; ++q) {
            const point_t p = lattice_point(rng);
            std::vector<int> expected;
            for (int id = 0; id < count; ++id)
                if (stored[id] && com_points_same(places[id], p) == 0)
                    expected.push_back(id);
            ASSERT_EQ(grid.all_at(p), expected)
                << std::setprecision(17) << "seed " << seed << " trial " << trial << " at " << p.x
                << " " << p.y;
            EXPECT_EQ(grid.first_at(p), expected.empty() ? -1 : expected.front());
            EXPECT_EQ(grid.has_same(p), !expected.empty());
        }
    }
}

// Rings of a few hundred vertices (so that locators build their slabs midway) that meet in many
// ways: two jittered stars crossing often; the same with B's vertices snapped to A's where near
// (shared vertices, touches, stretches along each other); A against a copy of itself, reversed
// or with some vertices pulled inward.
struct RingPair {
    std::vector<Xy> a, b;
};

RingPair random_pair(std::mt19937& rng, int kind) {
    const int n = random_int(rng, 70, 400);
    RingPair pair;
    pair.a = random_star(rng, n, 0, 0, 900, 1000, true);
    if (kind == 0 || kind == 1) {
        pair.b = random_star(rng, random_int(rng, 70, 400), random_int(rng, -200, 200), 0, 880,
                             1020, true);
        if (kind == 1)
            for (Xy& v : pair.b)
                for (const Xy& w : pair.a)
                    if (std::fabs(v.x - w.x) + std::fabs(v.y - w.y) < 40)
                        v = w;
        return pair;
    }
    pair.b = pair.a;
    for (Xy& v : pair.b)
        if (random_int(rng, 0, 3) == 0)
            v = Xy{std::round(v.x * 0.97), std::round(v.y * 0.97)};
    if (kind == 3)
        std::reverse(pair.b.begin(), pair.b.end());
    return pair;
}

// A result as text: the code, then every ring's points with their codes, in order.
std::string overlay_text(int (*overlay)(polygon_t*, polygon_t*, polygons_t*),
                         const RingPair& pair) {
    Polygon a(pair.a), b(pair.b);
    Polygons out;
    std::string code = "code " + std::to_string(overlay(a.get(), b.get(), out.get())) + "\n";
    return code + text_of(out.get());
}

std::string relation_text(const RingPair& pair) {
    Polygon a(pair.a), b(pair.b);
    return "relation " + std::to_string(relation_polygon_and_polygon(a.get(), b.get())) + " " +
           std::to_string(relation_polygon_and_polygon(b.get(), a.get()));
}

TEST(PreparedLookups, OverlaysAndRelationsAsWithPlainPasses) {
    const unsigned seed = 20261207;
    std::mt19937 rng(seed);
    const struct {
        const char* name;
        int (*overlay)(polygon_t*, polygon_t*, polygons_t*);
    } overlays[] = {{"union", algebra_polygons_union},
                    {"intersec", algebra_polygons_intersec},
                    {"diffence", algebra_polygons_diffence}};
    int built = 0;
    for (int trial = 0; trial < 24; ++trial) {
        const RingPair pair = random_pair(rng, trial % 4);
        for (const auto& op : overlays) {
            const std::string prepared = overlay_text(op.overlay, pair);
            std::string plain;
            {
                PlainLookups on;
                plain = overlay_text(op.overlay, pair);
            }
            ASSERT_EQ(prepared, plain) << "seed " << seed << " trial " << trial << " " << op.name
                                       << "\nA " << text_of(pair.a) << "\nB " << text_of(pair.b);
            built += prepared.find('\n') + 1 < prepared.size();
        }
        const std::string prepared = relation_text(pair);
        PlainLookups on;
        ASSERT_EQ(prepared, relation_text(pair)) << "seed " << seed << " trial " << trial << "\nA "
                                                 << text_of(pair.a) << "\nB " << text_of(pair.b);
    }
    EXPECT_GT(built, 40);  // most overlays build rings: the walks ran
}

// A ring zigzagging over the sides of the square 0 .. 100 from places on a coarse lattice, so that
// its clip has dozens of crossings, many at vertices on the sides and some at places the ring
// passes twice (where the least crossing record at a place decides the walk).
std::vector<Xy> zigzag_ring(std::mt19937& rng) {
    const double across[] = {-10, 0, 10, 90, 100, 110};
    std::vector<Xy> ring;
    for (int k = random_int(rng, 20, 70); k > 0; --k) {
        double along = 10.0 * random_int(rng, -1, 11), off = across[random_int(rng, 0, 5)];
        ring.push_back(random_int(rng, 0, 1) == 0 ? Xy{along, off} : Xy{off, along});
    }
    return ring;
}

TEST(PreparedLookups, RectClipsWithManyCrossingsAsWithPlainPasses) {
    const unsigned seed = 1207;
    std::mt19937 rng(seed);
    Polygon rect{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    auto clips = [&](const polygon_t* ring) {
        Polygons plain, tiled;
        int code = algebra_polygon_and_rect_intersec(const_cast<polygon_t*>(ring), rect.get(),
                                                     plain.get());
        int tiled_code = mapgeom::RectClipSource(ring).clip(rect.get(), tiled.get());
        return std::to_string(code) + " " + std::to_string(tiled_code) + "\n" +
               text_of(plain.get()) + text_of(tiled.get());
    };
    int many = 0;
    for (int trial = 0; trial < 150; ++trial) {
        Polygon ring(zigzag_ring(rng));
        const std::string prepared = clips(ring.get());
        PlainLookups on;
        ASSERT_EQ(prepared, clips(ring.get())) << "seed " << seed << " trial " << trial;
        many += std::count(prepared.begin(), prepared.end(), ',') > 60;
    }
    EXPECT_GT(many, 50);  // most clips give many pieces: the crossings were many
}

}  // namespace

// Tiles that rings cross a few times, away from the tiles' sides and corners, are clipped without
// the crossing engine; with the plain passes on they take the general walk. Both must give the
// same codes and pieces (points, press codes, order), from whole and narrowed sources: stars and
// spiky stars whose vertices never lie on a tile line, valid or touching or crossing themselves,
// tiles over, inside and across them, and some rings with a press section (left to the walk) or a
// vertex on a tile line.
TEST(PreparedLookups, CommonTilesClipAsTheGeneralWalk) {
    const unsigned seed = 6021;
    std::mt19937 rng(seed);
    int pieces = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const int n = random_int(rng, 3, 40);
        std::vector<Xy> ring =
            random_star(rng, n, 500.5, 500.5, random_int(rng, 0, 1) ? 300 : 100, 420, true);
        // Vertices off the tile lines (multiples of 10), but now and then one on them.
        for (Xy& v : ring) {
            if (static_cast<long long>(v.x) % 10 == 0 && random_int(rng, 0, 9) != 0)
                v.x += 3;
            if (static_cast<long long>(v.y) % 10 == 0 && random_int(rng, 0, 9) != 0)
                v.y -= 3;
        }
        if (trial % 10 == 0)
            ring[0].z = 2, ring[ring.size() / 2].z = 3;
        // Every fourth ring is faulty: it comes back to an earlier vertex (touching itself there,
        // or crossing itself on the way), or two of its vertices trade places.
        const bool faulty = trial % 4 == 3 && ring.size() >= 6;
        if (faulty && trial % 8 == 3)
            ring.insert(ring.begin() + ring.size() / 2, ring[ring.size() / 4]);
        else if (faulty)
            std::swap(ring[1], ring[ring.size() / 2]);
        Polygon polygon(ring);
        if ((relation_polygon_iserror(polygon.get()) != 0) != faulty)
            continue;
        const mapgeom::RectClipSource whole(polygon.get());
        for (int t = 0; t < 20; ++t) {
            const double x0 = 10.0 * random_int(rng, 5, 90), y0 = 10.0 * random_int(rng, 5, 90);
            const double x1 = x0 + 10.0 * random_int(rng, 1, 30);
            const double y1 = y0 + 10.0 * random_int(rng, 1, 30);
            Polygon rect{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
            const mapgeom::RectClipSource narrowed(whole,
                                                   rectangle_t{y0 - 25, y1 + 5, x0 - 15, x1 + 35});
            auto clips = [&] {
                Polygons from_whole, from_narrowed;
                int a = whole.clip(rect.get(), from_whole.get());
                int b = narrowed.clip(rect.get(), from_narrowed.get());
                return std::to_string(a) + " " + std::to_string(b) + "\n" +
                       text_of(from_whole.get()) + "\n" + text_of(from_narrowed.get());
            };
            const std::string common = clips();
            PlainLookups on;
            ASSERT_EQ(common, clips()) << "seed " << seed << " trial " << trial << " tile " << t;
            pieces += common[0] == '0';
        }
    }
    EXPECT_GT(pieces, 1500);  // most tiles cut the rings
}
