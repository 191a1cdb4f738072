// The two crossing engines choose their candidate edge pairs independently (a vertex sweep, and
// every pair through a box index): on random ring pairs whose crossings lie farther apart than
// either merge tolerance, both must report the same crossings and leave the same rings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Xy;

constexpr unsigned kSeed = 20261206;
constexpr int kTrials = 300;
// Crossings closer than this (in x and in y) make the engines' merge tolerances disagree.
constexpr double kMinCrossingGap = 0.02;

// A star-shaped ring around (cx, cy): n vertices at sorted random angles and random radii.
std::vector<Xy> random_star_ring(std::mt19937& rng, int n, double cx, double cy, double radius) {
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI);
    std::uniform_real_distribution<double> reach(0.4 * radius, radius);
    std::vector<double> angles(n);
    for (double& a : angles)
        a = angle(rng);
    std::sort(angles.begin(), angles.end());
    std::vector<Xy> ring;
    for (double a : angles) {
        double r = reach(rng);
        ring.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return ring;
}

// Text of a result. Coordinates are rounded to 1e-6: the engines may compute a crossing from its
// two edges in either argument order, which can move it by an ulp.
std::string text_of(const crosspts_t* list, const polygon_t* a, const polygon_t* b) {
    std::string text;
    char item[160];
    for (int k = 0; k < list->count; ++k) {
        const crosspt_t& r = list->crosspts[k];
        std::snprintf(item, sizeof item, "(%.6f %.6f: %d %d flag %d side %d) ", r.pt.x, r.pt.y,
                      r.index1, r.index2, r.flag, r.curpt_flag);
        text += item;
    }
    for (const polygon_t* ring : {a, b}) {
        text += "\nring:";
        for (int k = 0; k < ring->geom.count; ++k) {
            const point_t& p = ring->geom.points[k];
            std::snprintf(item, sizeof item, " %.6f %.6f %g", p.x, p.y, p.z);
            text += item;
        }
    }
    return text;
}

std::string describe(const std::vector<Xy>& ring) {
    std::string text;
    char item[64];
    for (const Xy& p : ring) {
        std::snprintf(item, sizeof item, "%s%.17g %.17g", text.empty() ? "" : ", ", p.x, p.y);
        text += item;
    }
    return "(" + text + ")";
}

bool crossings_far_apart(const crosspts_t* list) {
    for (int i = 0; i < list->count; ++i)
        for (int j = i + 1; j < list->count; ++j)
            if (com_points_same_permit(list->crosspts[i].pt, list->crosspts[j].pt,
                                       kMinCrossingGap) == 0)
                return false;
    return true;
}

// Every record names a vertex of each ring at its own point.
bool records_at_their_vertices(const crosspts_t* list, const polygon_t* a, const polygon_t* b) {
    for (int k = 0; k < list->count; ++k) {
        const crosspt_t& r = list->crosspts[k];
        if (r.index1 < 0 || r.index1 >= com_polygon_num(a) || r.index2 < 0 ||
            r.index2 >= com_polygon_num(b) ||
            com_points_same(com_polygon_at(a, r.index1), r.pt) != 0 ||
            com_points_same(com_polygon_at(b, r.index2), r.pt) != 0)
            return false;
    }
    return true;
}

TEST(RingCrossingsRandom, SweepAndAllPairsAgreeOnCrossingsFarApart) {
    std::mt19937 rng(kSeed);
    std::uniform_int_distribution<int> small(3, 40);
    std::uniform_int_distribution<int> large(65, 140);
    std::uniform_real_distribution<double> offset(-40.0, 40.0);
    int compared = 0;
    int crossings = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        // Every third pair is large enough for the all-pairs engine to use its box index.
        bool big = trial % 3 == 0;
        int na = big ? large(rng) : small(rng);
        int nb = big ? large(rng) : small(rng);
        std::vector<Xy> a_in = random_star_ring(rng, na, 50, 50, 40);
        std::vector<Xy> b_in = random_star_ring(rng, nb, 50 + offset(rng), 50 + offset(rng), 30);
        Polygon a1(a_in), b1(b_in), a2(a_in), b2(b_in);
        Crosspts all_pairs, sweep;
        calc_polygon_and_polygon_crosspts(a1.get(), b1.get(), all_pairs.get());
        calc_polygons_crosspts(a2.get(), b2.get(), sweep.get());
        if (!crossings_far_apart(all_pairs.get()))
            continue;
        ++compared;
        crossings += all_pairs.size();
        std::string expected = text_of(all_pairs.get(), a1.get(), b1.get());
        std::string got = text_of(sweep.get(), a2.get(), b2.get());
        bool valid = records_at_their_vertices(all_pairs.get(), a1.get(), b1.get());
        ASSERT_TRUE(got == expected && valid)
            << "all pairs:\n"
            << expected << "\nsweep:\n"
            << got << "\nseed " << kSeed << " trial " << trial << "\nA = " << describe(a_in)
            << "\nB = " << describe(b_in);
    }
    // The filter must leave most pairs, and they must cross: otherwise this proves nothing.
    EXPECT_GT(compared, kTrials / 2);
    EXPECT_GT(crossings, 4 * compared);
    std::printf("compared %d ring pairs with %d crossings\n", compared, crossings);
}

}  // namespace
