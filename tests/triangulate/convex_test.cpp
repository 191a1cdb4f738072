// Convex splitting: the pinned shapes, the caller's out array, the flat-array form, the visibility
// index against the plain scan, and over seeded random and real rings the exact tiling by the
// returned pieces along exactly the returned diagonals.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "convex_rings.h"
#include "mapgeom/convex.h"
#include "mapgeom/java.h"
#include "mapgeom/measure.h"
#include "triangulate/convex_internal.h"

namespace {

using convex_rings::Ring;
using convex_rings::V;
using testing_shapes::Polygon;
using testing_shapes::Polygons;

constexpr int kSentinel = -7777;

struct Split {
    int written = 0;
    std::vector<int> out;  // the ints written
    std::vector<Ring> pieces;
    std::string output;
};

// Runs graphic_to_convex (or polygon_to_convex) with an out array of exactly 2 x (n - 3) ints
// followed by sentinels, which must survive.
Split split(const Ring& ring, bool with_pieces) {
    Polygon p(convex_rings::to_xy(ring));
    int n = static_cast<int>(ring.size());
    std::vector<int> out(static_cast<size_t>(std::max(0, 2 * (n - 3)) + 4), kSentinel);
    Polygons pieces;
    Split s;
    testing::internal::CaptureStdout();
    s.written = with_pieces ? graphic_to_convex(p.get(), pieces.get(), out.data())
                            : polygon_to_convex(p.get(), out.data());
    s.output = testing::internal::GetCapturedStdout();
    for (size_t k = out.size() - 4; k < out.size(); ++k)
        EXPECT_EQ(out[k], kSentinel) << "written past the caller's array";
    s.out.assign(out.begin(), out.begin() + std::max(0, s.written));
    for (int k = 0; k < pieces.size(); ++k) {
        const polygon_t* piece = com_polygons_at_pointer(pieces.get(), k);
        Ring r;
        for (int i = 0; i + 1 < piece->geom.count; ++i)
            r.push_back({(long long)piece->geom.points[i].x, (long long)piece->geom.points[i].y});
        if (piece->geom.count < 2 ||
            com_points_same(piece->geom.points[0], piece->geom.points[piece->geom.count - 1]) != 0)
            ADD_FAILURE() << "piece not closed";
        s.pieces.push_back(r);
    }
    // The polygon is the caller's and stays as it was.
    EXPECT_EQ(testing_shapes::points_of(&p.get()->geom).size(), ring.size() + 1);
    return s;
}

const Ring kLHexagon{{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}};

TEST(ConvexSplit, PinnedShapes) {
    struct Row {
        const char* name;
        Ring ring;
        std::vector<int> out;  // polygon_to_convex
        std::vector<int> graphic_out;
        int pieces;
    };
    Ring cw_l(kLHexagon.rbegin(), kLHexagon.rend());
    const Row rows[] = {
        {"L hexagon", kLHexagon, {0, 3}, {0, 3}, 2},
        // Turned counter-clockwise with vertex 0 kept first, the ring is (0, 20) (0, 0) (20, 0)
        // (20, 10) (10, 10) (10, 20): the cut (10, 10) - (0, 0) is 1 - 4 there, 5 - 2 in the input.
        {"L hexagon clockwise", cw_l, {5, 2}, {1, 4}, 2},
        {"convex pentagon", {{0, 0}, {10, 0}, {14, 8}, {5, 14}, {-4, 8}}, {}, {}, 1},
        {"triangle", {{0, 0}, {10, 0}, {0, 10}}, {}, {}, 1},
        {"self-crossing", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, {}, {}, 0},
    };
    for (const Row& row : rows) {
        Split plain = split(row.ring, false);
        EXPECT_EQ(plain.out, row.out) << row.name;
        Split graphic = split(row.ring, true);
        EXPECT_EQ(graphic.out, row.graphic_out) << row.name;
        EXPECT_EQ(static_cast<int>(graphic.pieces.size()), row.pieces) << row.name;
        if (row.pieces > 0) {
            EXPECT_EQ(convex_rings::tiling_problems(row.ring, graphic.pieces), "") << row.name;
        }
        EXPECT_EQ(plain.output + graphic.output, "") << row.name;
    }
}

// Checks one ring: the pieces tile it; the pieces' inner edges are exactly the diagonals, one per
// written pair, at most n - 3; polygon_to_convex gives the same diagonals in input indexes.
void expect_split(const Ring& ring, const std::string& label) {
    Split s = split(ring, true);
    Split plain = split(ring, false);
    std::string context = label + "\n" + convex_rings::text(ring);
    std::set<std::pair<V, V>> inner;
    EXPECT_EQ(convex_rings::tiling_problems(ring, s.pieces, &inner), "") << context;
    EXPECT_EQ(s.output + plain.output, "") << context;
    int n = static_cast<int>(ring.size());
    ASSERT_EQ(s.written % 2, 0);
    EXPECT_LE(s.written / 2, n - 3) << context;
    EXPECT_EQ(s.pieces.size(), static_cast<size_t>(s.written / 2 + 1)) << context;

    bool clockwise = convex_rings::twice_area(ring) < 0;
    Ring ccw = convex_rings::counter_clockwise(ring);
    if (clockwise)  // the library's reversal keeps vertex 0 first
        std::rotate(ccw.rbegin(), ccw.rbegin() + 1, ccw.rend());
    std::set<std::pair<V, V>> diagonals;
    for (int k = 0; k + 1 < s.written; k += 2) {
        V a = ccw[static_cast<size_t>(s.out[k])], b = ccw[static_cast<size_t>(s.out[k + 1])];
        diagonals.insert(a < b ? std::make_pair(a, b) : std::make_pair(b, a));
        // polygon_to_convex names the same ends in the caller's ring.
        V pa = ring[static_cast<size_t>(plain.out[k])],
          pb = ring[static_cast<size_t>(plain.out[k + 1])];
        EXPECT_TRUE(a == pa && b == pb) << context << "diagonal " << k / 2;
    }
    EXPECT_EQ(diagonals, inner) << context;
    EXPECT_EQ(plain.written, s.written) << context;
}

TEST(ConvexSplit, RandomSimpleRingsAreTiledAlongTheDiagonals) {
    std::mt19937 rng(2404);
    for (int round = 0; round < 240; ++round) {
        unsigned seed = rng();
        std::mt19937 local(seed);
        expect_split(convex_rings::random_ring(local, round), "seed " + std::to_string(seed));
    }
}

TEST(ConvexSplit, RealOutlinesAreTiledAlongTheDiagonals) {
    auto rings = convex_rings::atlas_rings("counties.txt", 400);
    ASSERT_GT(rings.size(), 100u);
    for (size_t k = 0; k < rings.size(); k += 3)
        expect_split(rings[k], "county ring " + std::to_string(k));
}

TEST(ConvexSplit, FlatArrayListGivesOneGroupPerPolygon) {
    // The L, a bow tie (invalid: empty group) and a comb, as one flat-array list.
    std::mt19937 rng(7);
    std::vector<Ring> rings{
        kLHexagon, {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, convex_rings::comb_ring(rng, 4)};
    Polygons list;
    for (const Ring& r : rings)
        com_polygons_add_copy(list.get(), *Polygon(convex_rings::to_xy(r)).get());
    polygons_java_t in;
    com_polygons_java_init(&in);
    com_polygons_java_add_value(&in, list.get());
    split_lines_t out;
    com_split_lines_init(&out);
    polygons_to_convex(&in, &out);
    ASSERT_EQ(out.group_num, 3);
    for (int g = 0, offset = 0; g < 3; offset += out.group_values[g++]) {
        std::vector<int> group(out.values + offset, out.values + offset + out.group_values[g]);
        EXPECT_EQ(group, split(rings[static_cast<size_t>(g)], false).out) << "polygon " << g;
    }
    EXPECT_EQ(out.group_values[1], 0);
    com_split_lines_free(&out);
    com_polygons_java_free(&in);
}

// The index must answer exactly as the plain scan: segments between vertices (the questions the
// split asks), from vertices to random points, and between random points, over rings of many
// edges (so the index is used) with aligned vertices and near-collinear edges.
TEST(VisibilityIndex, AnswersAsThePlainScan) {
    std::mt19937 rng(90125);
    std::vector<Ring> rings;
    for (int k = 0; k < 6; ++k) {
        rings.push_back(convex_rings::comb_ring(rng, 12 + 4 * k));
        rings.push_back(convex_rings::star_ring(rng, 60 + 30 * k, 10, 4000));
        Ring u = convex_rings::untangled_ring(rng, 50 + 10 * k, k % 2 ? 40 : 100000);
        if (convex_rings::valid(u))
            rings.push_back(u);
    }
    auto atlas = convex_rings::atlas_rings("states.txt", 800);
    rings.insert(rings.end(), atlas.begin(), atlas.begin() + std::min<size_t>(4, atlas.size()));
    long long compared = 0, visible = 0;
    for (size_t r = 0; r < rings.size(); ++r) {
        Polygon p(convex_rings::to_xy(convex_rings::counter_clockwise(rings[r])));
        mapgeom::VisibilityIndex index(p.get());
        int n = com_polygon_num(p.get());
        rectangle_t box = calc_polygon_exrectangle(p.get());
        auto random_point = [&] {
            return point_t{testing_shapes::random_real(rng, box.min_x, box.max_x),
                           testing_shapes::random_real(rng, box.min_y, box.max_y), 0};
        };
        for (int q = 0; q < 1500; ++q) {
            point_t a = com_polygon_at(p.get(), testing_shapes::random_int(rng, 0, n - 1));
            point_t b = com_polygon_at(p.get(), testing_shapes::random_int(rng, 0, n - 1));
            if (q % 5 == 3)
                b = random_point();
            if (q % 5 == 4)
                a = random_point(), b = random_point();
            int plain = judge_line_polygon(p.get(), a, b);
            ASSERT_EQ(index.judge(a, b), plain)
                << "ring " << r << " segment " << a.x << " " << a.y << " - " << b.x << " " << b.y;
            ++compared;
            visible += plain == 0;
        }
    }
    // Both answers must have been exercised.
    EXPECT_GT(visible, compared / 20);
    EXPECT_LT(visible, compared);
}

}  // namespace
