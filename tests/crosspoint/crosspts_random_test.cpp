// The two crossing engines choose their candidate edge pairs independently (a vertex sweep, and
// every pair through a box index): on random ring pairs whose crossings lie farther apart than
// either merge tolerance, both must report the same crossings and leave the same rings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
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
// Both engines compute each crossing from the same two edges, possibly in the other argument
// order, which may move it by an ulp.
constexpr double kCoordinateSlack = 1e-9;

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

std::string describe(const std::vector<Xy>& ring) {
    std::ostringstream text;
    text.precision(17);
    text << "(";
    for (size_t k = 0; k < ring.size(); ++k)
        text << (k ? ", " : "") << ring[k].x << " " << ring[k].y;
    text << ")";
    return text.str();
}

bool crossings_far_apart(const crosspts_t* list) {
    for (int i = 0; i < list->count; ++i)
        for (int j = i + 1; j < list->count; ++j)
            if (com_points_same_permit(list->crosspts[i].pt, list->crosspts[j].pt,
                                       kMinCrossingGap) == 0)
                return false;
    return true;
}

bool near(point_t p, point_t q) {
    return std::fabs(p.x - q.x) <= kCoordinateSlack && std::fabs(p.y - q.y) <= kCoordinateSlack;
}

// Empty when both results agree, else what differs first.
std::string difference(const crosspts_t* l1, const crosspts_t* l2, const polygon_t* a1,
                       const polygon_t* a2, const polygon_t* b1, const polygon_t* b2) {
    if (l1->count != l2->count)
        return "record counts " + std::to_string(l1->count) + " and " + std::to_string(l2->count);
    for (int k = 0; k < l1->count; ++k) {
        const crosspt_t& r = l1->crosspts[k];
        const crosspt_t& s = l2->crosspts[k];
        if (!near(r.pt, s.pt) || r.index1 != s.index1 || r.index2 != s.index2 || r.flag != s.flag ||
            r.curpt_flag != s.curpt_flag)
            return "record " + std::to_string(k);
    }
    for (auto rings : {std::make_pair(a1, a2), std::make_pair(b1, b2)}) {
        const geom_t& g = rings.first->geom;
        const geom_t& h = rings.second->geom;
        if (g.count != h.count)
            return "ring point counts " + std::to_string(g.count) + " and " +
                   std::to_string(h.count);
        for (int k = 0; k < g.count; ++k)
            if (!near(g.points[k], h.points[k]) || g.points[k].z != h.points[k].z)
                return "ring point " + std::to_string(k);
    }
    return "";
}

// Every record names a vertex of each ring at its point, and each ring still holds its own
// vertices in order.
std::string broken_invariant(const crosspts_t* list, const polygon_t* a, const polygon_t* b,
                             const std::vector<Xy>& a_in, const std::vector<Xy>& b_in) {
    for (int k = 0; k < list->count; ++k) {
        const crosspt_t& r = list->crosspts[k];
        if (r.index1 < 0 || r.index1 >= com_polygon_num(a) || r.index2 < 0 ||
            r.index2 >= com_polygon_num(b))
            return "record " + std::to_string(k) + " index out of range";
        if (com_points_same(com_polygon_at(a, r.index1), r.pt) != 0 ||
            com_points_same(com_polygon_at(b, r.index2), r.pt) != 0)
            return "record " + std::to_string(k) + " is not at its vertices";
    }
    for (auto ring : {std::make_pair(a, &a_in), std::make_pair(b, &b_in)}) {
        const geom_t& g = ring.first->geom;
        size_t next = 0;
        for (int k = 0; k < g.count && next < ring.second->size(); ++k)
            if (g.points[k].x == (*ring.second)[next].x && g.points[k].y == (*ring.second)[next].y)
                ++next;
        if (next != ring.second->size())
            return "a ring lost one of its vertices";
    }
    return "";
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
        Crosspts all_pairs;
        Crosspts sweep;
        calc_polygon_and_polygon_crosspts(a1.get(), b1.get(), all_pairs.get());
        calc_polygons_crosspts(a2.get(), b2.get(), sweep.get());
        if (!crossings_far_apart(all_pairs.get()))
            continue;
        ++compared;
        crossings += all_pairs.size();
        std::string failure =
            difference(all_pairs.get(), sweep.get(), a1.get(), a2.get(), b1.get(), b2.get());
        if (failure.empty())
            failure = broken_invariant(all_pairs.get(), a1.get(), b1.get(), a_in, b_in);
        if (failure.empty())
            failure = broken_invariant(sweep.get(), a2.get(), b2.get(), a_in, b_in);
        ASSERT_TRUE(failure.empty()) << failure << "\nseed " << kSeed << " trial " << trial
                                     << "\nA = " << describe(a_in) << "\nB = " << describe(b_in);
    }
    // The filter must leave most pairs, and they must cross: otherwise this proves nothing.
    EXPECT_GT(compared, kTrials / 2);
    EXPECT_GT(crossings, 4 * compared);
    std::printf("compared %d ring pairs with %d crossings\n", compared, crossings);
}

}  // namespace
