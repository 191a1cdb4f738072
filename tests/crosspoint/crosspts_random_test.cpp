// The crossing engines choose their candidate pairs independently of each other and of a plain
// double loop (a vertex sweep, or every pair through a box index). On random shapes whose crossings
// lie farther apart than any merge tolerance, the two ring engines must leave the same rings and
// records, and the polyline engines must report exactly the crossings of a plain scan, each at the
// vertex its record names, with every original point kept in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "shape_checks.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::random_int;
using testing_shapes::random_real;
using testing_shapes::text_of;
using testing_shapes::Xy;

// Crossings closer than this make the engines' merge tolerances matter.
constexpr double kMinCrossingGap = 0.05;

bool far_apart(const std::vector<point_t>& points) {
    for (size_t i = 0; i < points.size(); ++i)
        for (size_t j = i + 1; j < points.size(); ++j)
            if (com_points_same_permit(points[i], points[j], kMinCrossingGap) == 0)
                return false;
    return true;
}

// Records and rings as text, coordinates rounded to 1e-6: an engine may compute a crossing from
// its two edges in either argument order, which can move it by an ulp.
std::string result_text(const crosspts_t* list, const geom_t* a, const geom_t* b) {
    std::string text;
    char item[160];
    for (int k = 0; k < list->count; ++k) {
        const crosspt_t& r = list->crosspts[k];
        std::snprintf(item, sizeof item, "(%.6f %.6f: %d %d flag %d side %d) ", r.pt.x, r.pt.y,
                      r.index1, r.index2, r.flag, r.curpt_flag);
        text += item;
    }
    for (const geom_t* ring : {a, b})
        for (int k = 0; k < ring->count; ++k) {
            std::snprintf(item, sizeof item, "%s %.6f %.6f %g", k ? "," : "\nring",
                          ring->points[k].x, ring->points[k].y, ring->points[k].z);
            text += item;
        }
    return text;
}

TEST(RingCrossingsRandom, SweepAndAllPairsAgreeOnCrossingsFarApart) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    int compared = 0, crossings = 0;
    for (int trial = 0; trial < 300; ++trial) {
        // Every third pair is large enough for the all-pairs engine to use its box index.
        bool big = trial % 3 == 0;
        std::vector<Xy> a_in = testing_shapes::random_star(
            rng, big ? random_int(rng, 65, 140) : random_int(rng, 3, 40), 50, 50, 16, 40);
        std::vector<Xy> b_in = testing_shapes::random_star(
            rng, big ? random_int(rng, 65, 140) : random_int(rng, 3, 40),
            50 + random_real(rng, -40, 40), 50 + random_real(rng, -40, 40), 12, 30);
        Polygon a1(a_in), b1(b_in), a2(a_in), b2(b_in);
        Crosspts all_pairs, sweep;
        calc_polygon_and_polygon_crosspts(a1.get(), b1.get(), all_pairs.get());
        calc_polygons_crosspts(a2.get(), b2.get(), sweep.get());
        std::vector<point_t> points;
        for (int k = 0; k < all_pairs.size(); ++k)
            points.push_back(all_pairs.get()->crosspts[k].pt);
        if (!far_apart(points))
            continue;
        ++compared;
        crossings += all_pairs.size();
        std::string expected = result_text(all_pairs.get(), &a1.get()->geom, &b1.get()->geom);
        std::string got = result_text(sweep.get(), &a2.get()->geom, &b2.get()->geom);
        ASSERT_TRUE(got == expected &&
                    testing_shapes::records_at_their_vertices(
                        all_pairs.get(), &a1.get()->geom, com_polygon_num(a1.get()),
                        &b1.get()->geom, com_polygon_num(b1.get())))
            << "all pairs:\n"
            << expected << "\nsweep:\n"
            << got << "\nseed " << seed << " trial " << trial << "\nA = " << text_of(a_in)
            << "\nB = " << text_of(b_in);
    }
    // The filter must leave most pairs, and they must cross: otherwise this proves nothing.
    EXPECT_GT(compared, 150);
    EXPECT_GT(crossings, 4 * compared);
}

// The distinct meeting points of the plain double loop over every segment pair.
std::vector<point_t> plain_scan(const geom_t* first, const geom_t* second) {
    geom_t distinct{};
    for (int i = 0; i + 1 < first->count; ++i)
        for (int j = 0; j + 1 < second->count; ++j) {
            point_t c{};
            if (relation_lines_cross_by_permit(&c, first->points[i], first->points[i + 1],
                                               second->points[j], second->points[j + 1],
                                               0.0001) == 0 &&
                com_geom_find(&distinct, c) < 0)
                com_geom_add(&distinct, c);
        }
    std::vector<point_t> points(distinct.points, distinct.points + distinct.count);
    com_geom_free(&distinct);
    return points;
}

// Whether `before` appears in `after` in order (the engines only insert points).
bool is_subsequence(const std::vector<Xy>& before, const geom_t* after) {
    int k = 0;
    for (const Xy& p : before) {
        while (k < after->count && (after->points[k].x != p.x || after->points[k].y != p.y))
            ++k;
        if (k++ == after->count)
            return false;
    }
    return true;
}

// Runs `engine` on a random walk of 90 points (enough for the engines' candidate search) and a
// second shape, a ring when the engine takes one: the polyline record has the ring's layout.
template <typename Engine>
void compare_with_plain_scan(unsigned seed, bool ring, Engine engine) {
    std::mt19937 rng(seed);
    int compared = 0;
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<Xy> first_points = testing_shapes::random_walk(rng, 90, 12);
        std::vector<Xy> second_points = ring ? testing_shapes::random_star(rng, 90, 0, 0, 20, 60)
                                             : testing_shapes::random_walk(rng, 90, 12);
        if (ring)
            second_points.push_back(second_points.front());
        Polyline first(first_points), second(second_points);
        std::vector<point_t> expected = plain_scan(&first.get()->geom, &second.get()->geom);
        if (!far_apart(expected))
            continue;
        ++compared;
        SCOPED_TRACE("seed " + std::to_string(seed) + "\nfirst: " + text_of(first_points) +
                     "\nsecond: " + text_of(second_points));
        Crosspts out;
        engine(first.get(), second.get(), out.get());
        ASSERT_EQ(out.size(), static_cast<int>(expected.size()));
        for (point_t c : expected)
            EXPECT_GE(com_crosspts_find(out.get(), c), 0) << "missing " << c.x << " " << c.y;
        EXPECT_TRUE(testing_shapes::records_at_their_vertices(
            out.get(), &first.get()->geom, first.get()->geom.count, &second.get()->geom,
            second.get()->geom.count));
        EXPECT_TRUE(is_subsequence(first_points, &first.get()->geom));
        EXPECT_TRUE(is_subsequence(second_points, &second.get()->geom));
    }
    EXPECT_GE(compared, 20);
}

TEST(PolylineCrossingsRandom, IndexedLineAgainstRingMatchesThePlainScan) {
    compare_with_plain_scan(20261207, true,
                            [](polyline_t* line, polyline_t* ring_points, crosspts_t* out) {
                                polygon_t ring{ring_points->geom, nullptr};
                                calc_polyline_and_polygon_crosspts(line, &ring, out);
                                ring_points->geom = ring.geom;
                            });
}

TEST(PolylineCrossingsRandom, SweptLinesMatchThePlainScan) {
    compare_with_plain_scan(20261208, false, calc_polylines_crosspts);
}

}  // namespace
