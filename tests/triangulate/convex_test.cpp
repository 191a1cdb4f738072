// Convex splitting: the pinned shapes, the caller's out array, the flat-array form, the visibility
// index against the plain scan, and over seeded random and real rings the exact tiling by the
// returned pieces along exactly the returned diagonals.
#include <gtest/gtest.h>

#include "convex_rings.h"
#include "mapgeom/convex.h"
#include "mapgeom/java.h"
#include "mapgeom/measure.h"
#include "triangulate/convex_internal.h"

namespace {

using namespace convex_rings;
using testing_shapes::Polygon;
using testing_shapes::Polygons;

struct Split {
    int written = 0;
    std::vector<int> out;  // the ints written
    std::vector<Ring> pieces;
};

// Runs graphic_to_convex (with pieces) or polygon_to_convex with an out array of exactly
// 2 x (n - 3) ints followed by sentinels, which must survive, as must the caller's polygon; nothing
// goes to standard output.
Split split(const Ring& ring, bool with_pieces) {
    Polygon p(to_xy(ring));
    const int n = static_cast<int>(ring.size()), kSentinel = -7777;
    std::vector<int> out(static_cast<size_t>(std::max(0, 2 * (n - 3)) + 4), kSentinel);
    Polygons pieces;
    Split s;
    testing::internal::CaptureStdout();
    s.written = with_pieces ? graphic_to_convex(p.get(), pieces.get(), out.data())
                            : polygon_to_convex(p.get(), out.data());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(std::count(out.end() - 4, out.end(), kSentinel), 4) << "written past the array";
    s.out.assign(out.begin(), out.begin() + std::max(0, s.written));
    for (int k = 0; k < pieces.size(); ++k) {
        const geom_t& piece = com_polygons_at_pointer(pieces.get(), k)->geom;
        Ring r = whole(testing_shapes::points_of(&piece));
        EXPECT_TRUE(r.size() > 1 && r.front() == r.back()) << "piece not closed";
        s.pieces.push_back(Ring(r.begin(), r.end() - 1));
    }
    EXPECT_EQ(whole(testing_shapes::points_of(&p.get()->geom)).size(), ring.size() + 1);
    return s;
}

TEST(ConvexSplit, PinnedShapes) {
    const char* l = "0 0, 20 0, 20 10, 10 10, 10 20, 0 20";
    const struct {
        const char *name, *ring;
        std::vector<int> out, graphic_out;  // polygon_to_convex, graphic_to_convex
        int pieces;
    } rows[] = {
        {"L hexagon", l, {0, 3}, {0, 3}, 2},
        // Turned counter-clockwise with vertex 0 kept first, the ring is (0, 20) (0, 0) (20, 0)
        // (20, 10) (10, 10) (10, 20): the cut (10, 10) - (0, 0) is 1 - 4 there, 5 - 2 in the input.
        {"L hexagon clockwise", "0 20, 10 20, 10 10, 20 10, 20 0, 0 0", {5, 2}, {1, 4}, 2},
        {"convex pentagon", "0 0, 10 0, 14 8, 5 14, -4 8", {}, {}, 1},
        {"triangle", "0 0, 10 0, 0 10", {}, {}, 1},
        {"self-crossing", "0 0, 10 10, 10 0, 0 10", {}, {}, 0},
    };
    for (const auto& row : rows) {
        Split plain = split(ring(row.ring), false), graphic = split(ring(row.ring), true);
        EXPECT_EQ(plain.out, row.out) << row.name;
        EXPECT_EQ(graphic.out, row.graphic_out) << row.name;
        EXPECT_EQ(graphic.pieces.size(), size_t(row.pieces)) << row.name;
        if (row.pieces > 0) {
            EXPECT_EQ(tiling_problems(ring(row.ring), graphic.pieces), "") << row.name;
        }
    }
}

// The pieces tile the ring; their inner edges are exactly the diagonals, one per written pair, at
// most n - 3; polygon_to_convex gives the same diagonals in the caller's indexes.
void expect_split(const Ring& ring, const std::string& label) {
    Split s = split(ring, true), plain = split(ring, false);
    std::string context = label + "\n" + text(ring);
    std::set<std::pair<V, V>> inner, diagonals;
    EXPECT_EQ(tiling_problems(ring, s.pieces, &inner), "") << context;
    ASSERT_EQ(s.written % 2, 0);
    EXPECT_LE(s.written / 2, int(ring.size()) - 3) << context;
    EXPECT_EQ(s.pieces.size(), size_t(s.written / 2 + 1)) << context;
    ASSERT_EQ(plain.written, s.written) << context;
    Ring ccw = counter_clockwise(ring);
    if (twice_area(ring) < 0)  // the library's reversal keeps vertex 0 first
        std::rotate(ccw.rbegin(), ccw.rbegin() + 1, ccw.rend());
    for (int k = 0; k + 1 < s.written; k += 2) {
        V a = ccw.at(s.out[k]), b = ccw.at(s.out[k + 1]);
        diagonals.insert(a < b ? std::make_pair(a, b) : std::make_pair(b, a));
        EXPECT_TRUE(a == ring.at(plain.out[k]) && b == ring.at(plain.out[k + 1])) << context << k;
    }
    EXPECT_EQ(diagonals, inner) << context;
}

TEST(ConvexSplit, RandomAndRealRingsAreTiledAlongTheDiagonals) {
    std::mt19937 rng(2404);
    for (int round = 0; round < 240; ++round) {
        unsigned seed = rng();
        std::mt19937 local(seed);
        expect_split(random_ring(local, round), "seed " + std::to_string(seed));
    }
    auto rings = atlas_rings("counties.txt", 400);
    ASSERT_GT(rings.size(), 100u);
    for (size_t k = 0; k < rings.size(); k += 3)
        expect_split(rings[k], "county ring " + std::to_string(k));
}

// The L, a bow tie (invalid: an empty group) and a comb, as one flat-array list.
TEST(ConvexSplit, FlatArrayListGivesOneGroupPerPolygon) {
    std::mt19937 rng(7);
    std::vector<Ring> rings{ring("0 0, 20 0, 20 10, 10 10, 10 20, 0 20"),
                            ring("0 0, 10 10, 10 0, 0 10"), comb_ring(rng, 4)};
    Polygons list;
    for (const Ring& r : rings)
        com_polygons_add_copy(list.get(), *Polygon(to_xy(r)).get());
    polygons_java_t in;
    com_polygons_java_init(&in);
    com_polygons_java_add_value(&in, list.get());
    split_lines_t out;
    com_split_lines_init(&out);
    polygons_to_convex(&in, &out);
    ASSERT_EQ(out.group_num, 3);
    for (int g = 0, offset = 0; g < 3; offset += out.group_values[g++]) {
        std::vector<int> group(out.values + offset, out.values + offset + out.group_values[g]);
        EXPECT_EQ(group, split(rings[g], false).out) << "polygon " << g;
    }
    EXPECT_EQ(out.group_values[1], 0);
    com_split_lines_free(&out);
    com_polygons_java_free(&in);
}

// The index must answer exactly as the plain scan: segments between vertices (the questions the
// split asks), from vertices to random points and between random points, over rings of many edges
// (so the index is used) with aligned vertices and near-collinear edges.
TEST(VisibilityIndex, AnswersAsThePlainScan) {
    std::mt19937 rng(90125);
    std::vector<Ring> rings = atlas_rings("states.txt", 800);
    rings.resize(std::min<size_t>(4, rings.size()));
    for (int k = 0; k < 6; ++k) {
        rings.push_back(comb_ring(rng, 12 + 4 * k));
        rings.push_back(star_ring(rng, 60 + 30 * k, 10, 4000));
        rings.push_back(untangled_ring(rng, 50 + 10 * k, k % 2 ? 40 : 100000));
    }
    long long compared = 0, visible = 0;
    for (const Ring& r : rings) {
        if (!valid(r))
            continue;
        Polygon p(to_xy(counter_clockwise(r)));
        mapgeom::VisibilityIndex index(p.get());
        rectangle_t box = calc_polygon_exrectangle(p.get());
        auto any = [&](int q, int kind) {
            return q % 5 >= kind
                       ? point_t{testing_shapes::random_real(rng, box.min_x, box.max_x),
                                 testing_shapes::random_real(rng, box.min_y, box.max_y), 0}
                       : com_polygon_at(p.get(), random_int(rng, 0, int(r.size()) - 1));
        };
        for (int q = 0; q < 1500; ++q, ++compared) {
            point_t a = any(q, 4), b = any(q, 3);
            int plain = judge_line_polygon(p.get(), a, b);
            ASSERT_EQ(index.judge(a, b), plain)
                << text(r) << ": " << a.x << " " << a.y << " - " << b.x << " " << b.y;
            visible += plain == 0;
        }
    }
    EXPECT_GT(visible, compared / 20);  // both answers exercised
    EXPECT_LT(visible, compared);
}

}  // namespace
