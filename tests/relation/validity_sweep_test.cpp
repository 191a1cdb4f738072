// The validity check's self-contact sweep (windows read off runs of near-equal x, edges proposed
// by their boxes) must give the code of the sweep that compares each edge with every edge of its
// widened x window in window order, on rings where many points share nearly the same x, and the
// check asked only whether a ring is faulty must answer as that code does. A small ring's points
// are sorted in place, in the order the sort into a list gives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "relation/validity.h"
#include "relation/x_sweep.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

// Kind 0: points in a few columns of nearly equal x (jitter below the 0.99 window gap), in random
// order: crossings and touches everywhere. 1: a thin star, tall and narrow, mostly valid. 2: a
// comb of vertical teeth a unit or two apart (long runs of near-equal x, valid unless a tooth
// closes up). 3: a random walk of small x steps, closed. 4: a valid star with one vertex repeated
// later (the ring touches itself there). 5: a star far from the origin with a NaN or infinite
// coordinate.
std::vector<Xy> random_ring(std::mt19937& rng, int kind) {
    std::vector<Xy> ring;
    switch (kind) {
        case 0:
            for (int i = random_int(rng, 3, 120); i > 0; --i)
                ring.push_back({random_int(rng, 0, 3) * 3.0 + random_real(rng, 0, 0.9),
                                std::round(random_real(rng, 0, 40))});
            break;
        case 1:
            for (Xy v : random_star(rng, random_int(rng, 3, 150), 0, 0, 20, 100))
                ring.push_back({std::round(v.x / 40 * 4) / 4, std::round(v.y)});
            break;
        case 2: {
            const int teeth = random_int(rng, 2, 40);
            double x = 0;
            for (int t = 0; t < teeth; ++t) {
                double top = random_int(rng, 5, 50);
                double step = random_int(rng, 1, 2) * (rng() % 9 == 0 ? 0.5 : 1.0);
                ring.push_back({x, 0});
                ring.push_back({x, top});
                ring.push_back({x + step, top});
                ring.push_back({x + step, 1});
                x += step + random_int(rng, 0, 2);
            }
            ring.push_back({x, 0});
            ring.push_back({x, -5});
            ring.push_back({0, -5});
            break;
        }
        case 3:
            for (Xy v : random_walk(rng, random_int(rng, 3, 120), 8))
                ring.push_back({std::round(v.x) / 8, std::round(v.y)});
            break;
        case 4: {
            ring = random_star(rng, random_int(rng, 8, 120), 0, 0, 10, 60, true);
            const int size = static_cast<int>(ring.size());
            const int at = random_int(rng, 1, size / 2);
            const Xy again = ring[at];
            ring.insert(ring.begin() + std::min(size, at + random_int(rng, 2, 4)), again);
            break;
        }
        case 6:
            for (int i = random_int(rng, 3, 120); i > 0; --i)
                ring.push_back({random_int(rng, 0, 3) * 3.0 + random_int(rng, 0, 1) * 0.5,
                                std::round(random_real(rng, 0, 40))});
            break;
        default: {
            ring = random_star(rng, random_int(rng, 4, 60), 1658880000, 0, 10, 60, true);
            const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity()};
            Xy& v = ring[random_int(rng, 1, static_cast<int>(ring.size()) - 1)];
            (rng() % 2 ? v.x : v.y) = bad[rng() % 2];
            break;
        }
    }
    return ring;
}

// The window-by-window sweep's code for the ring, after checking that the public check gives the
// same code and the faulty-or-not check the same answer.
int code_agreed_by_every_sweep(const polygon_t* ring, const std::string& what) {
    const int expected = mapgeom::polygon_iserror_by_windows(ring);
    EXPECT_EQ(relation_polygon_iserror(ring), expected) << what;
    EXPECT_EQ(mapgeom::polygon_is_faulty(ring), expected != 0) << what;
    return expected;
}

TEST(PolygonValiditySweep, SameCodesAsTheWindowByWindowSweep) {
    const unsigned seed = 515;
    std::mt19937 rng(seed);
    int seen[7] = {};
    for (int trial = 0; trial < 7000; ++trial) {
        const int kind = trial % 7;
        Polygon ring(random_ring(rng, kind));
        ++seen[code_agreed_by_every_sweep(
            ring.get(), "seed " + std::to_string(seed) + " trial " + std::to_string(trial) +
                            " kind " + std::to_string(kind) + "\n" + text_of(&ring.get()->geom))];
        if (::testing::Test::HasFailure())
            return;
    }
    // Every self-contact answer came up many times.
    EXPECT_GT(seen[0], 500);
    EXPECT_GT(seen[1], 300);
    EXPECT_GT(seen[2], 300);
}

// Rings of thousands of vertices, whose points are sorted by radix when the order of ties does not
// matter: stars on a quarter-unit grid (ties everywhere), the same with a vertex repeated
// later (a touch), and points on a few columns (contacts from the start).
TEST(PolygonValiditySweep, LargeRingsSameCodesAsTheWindowByWindowSweep) {
    const unsigned seed = 717;
    std::mt19937 rng(seed);
    int seen[7] = {};
    for (int trial = 0; trial < 24; ++trial) {
        const int kind = trial % 3;
        std::vector<Xy> points;
        if (kind < 2) {
            const int n = random_int(rng, 1000, 3000);
            for (int k = 0; k < n; ++k) {
                const double angle = 2 * M_PI * k / n, r = random_real(rng, 500, 2000);
                points.push_back({std::round(r * std::cos(angle) * 4) / 4,
                                  std::round(r * std::sin(angle) * 4) / 4});
            }
            if (kind == 1) {
                const int at = random_int(rng, 1, static_cast<int>(points.size()) / 2);
                const Xy again = points[at];
                points.insert(points.begin() + at + random_int(rng, 2, 40), again);
            }
        } else {
            for (int i = random_int(rng, 1100, 1500); i > 0; --i) {
                const Xy v{random_int(rng, 0, 3) * 3.0 + random_int(rng, 0, 1) * 0.5,
                           std::round(random_real(rng, 0, 40))};
                if (points.empty() || v.x != points.back().x || v.y != points.back().y)
                    points.push_back(v);
            }
        }
        Polygon ring(points);
        ++seen[code_agreed_by_every_sweep(ring.get(), "seed " + std::to_string(seed) + " trial " +
                                                          std::to_string(trial) + " kind " +
                                                          std::to_string(kind))];
        if (::testing::Test::HasFailure())
            return;
    }
    // Valid rings, touches and crossings all came up.
    EXPECT_GT(seen[0], 3);
    EXPECT_GT(seen[1], 3);
    EXPECT_GT(seen[2], 1);
}

// A comb of more than the few edges tested pair by pair: teeth whose facing sides lie `gap` apart
// (the last side of each tooth leaning in by a little, so that the gap narrows to `gap` at the
// top only, in half of the combs), turned by a random angle and moved far from the origin or not.
// Contacts that only the band of the comparison decides, and pairs of edges at about the
// distance beyond which they are proven apart without comparing them. A third of the combs get a
// side made steep by a sliver of x.
std::vector<Xy> comb_with_gaps(std::mt19937& rng, double gap) {
    std::vector<Xy> comb;
    const int teeth = random_int(rng, 9, 30);
    const bool leaning = rng() % 2 == 0;
    double x = 0;
    for (int t = 0; t < teeth; ++t) {
        const double width = random_real(rng, 1, 5), top = random_real(rng, 5, 40);
        comb.push_back({x, 0});
        comb.push_back({x, top});
        comb.push_back({x + width, top});
        comb.push_back({x + width + (leaning ? random_real(rng, 0, 0.5) : 0.0), 1});
        x += width + gap;
    }
    comb.push_back({x, 0});
    // The back of the comb steps down and up by `gap` every unit or two, its flats tilted a
    // little: a flat and the next but one along the ring lie end to end, nearly in line, `gap`
    // apart.
    double down = 0.0;
    for (double back = x; back > 2; back -= random_real(rng, 1, 2)) {
        comb.push_back({back, -5 - down + random_real(rng, -1e-4, 1e-4)});
        down = gap - down;
        comb.push_back({back, -5 - down + random_real(rng, -1e-4, 1e-4)});
    }
    comb.push_back({0, -5});
    if (rng() % 3 == 0) {
        const int tooth = random_int(rng, 0, teeth - 1);
        const double slivers[] = {1e-7, 2e-6, 1e-4};
        comb[4 * tooth + 1].x += slivers[rng() % 3];
    }
    const double offsets[] = {0.0, 1e5, 2e6, 1.5e9};
    const double offset = offsets[rng() % 4];
    const double angle = rng() % 4 == 0 ? 0.0 : random_real(rng, 0, 2 * M_PI);
    const double c = std::cos(angle), s = std::sin(angle);
    for (Xy& v : comb)
        v = Xy{offset + c * v.x - s * v.y, -offset / 3 + s * v.x + c * v.y};
    return comb;
}

TEST(PolygonValiditySweep, VerticesNearOtherEdgesSameCodesAsTheWindowByWindowSweep) {
    const unsigned seed = 919;
    std::mt19937 rng(seed);
    const double gaps[] = {0.0, 0.004, 0.01, 0.011, 0.03, 0.079, 0.1, 0.1001, 0.15, 0.5, 1.0};
    int seen[7] = {};
    for (int trial = 0; trial < 4000; ++trial) {
        const double gap = gaps[trial % 11];
        Polygon ring(comb_with_gaps(rng, gap));
        ++seen[code_agreed_by_every_sweep(
            ring.get(), "seed " + std::to_string(seed) + " trial " + std::to_string(trial) +
                            " gap " + std::to_string(gap) + "\n" + text_of(&ring.get()->geom))];
        if (::testing::Test::HasFailure())
            return;
    }
    // Valid rings, touches and crossings all came up often.
    EXPECT_GT(seen[0], 1000);
    EXPECT_GT(seen[1], 100);
    EXPECT_GT(seen[2], 1000);
}

// Sorting in any tie order, by comparison or (from a thousand points on) by radix: the keys come
// out ascending, each point once, ranks matching; ties, both zeros, negatives and infinities.
TEST(PolygonValiditySweep, AnyTieOrderSortGivesAscendingKeys) {
    const unsigned seed = 818;
    std::mt19937 rng(seed);
    const double values[] = {
        -std::numeric_limits<double>::infinity(), -1e300, -2.5, -0.0, 0.0, 1e-310, 0.25, 7, 1e15,
        std::numeric_limits<double>::infinity()};
    for (int count : {0, 1, 5, 1023, 1024, 1025, 6000}) {
        std::vector<point_t> points(count);
        for (point_t& p : points)
            p = {rng() % 3 == 0 ? values[rng() % 10] : random_real(rng, -1e6, 1e6), 0.0, 0.0};
        const mapgeom::x_sorted_t sorted =
            mapgeom::sort_points_by_x_any_tie_order(points.data(), count);
        ASSERT_EQ(static_cast<int>(sorted.entries.size()), count);
        std::vector<int> seen(count, 0);
        for (int k = 0; k < count; ++k) {
            const mapgeom::sort_t& entry = sorted.entries[k];
            ASSERT_EQ(seen[entry.index]++, 0) << "seed " << seed << " count " << count;
            ASSERT_EQ(sorted.rank[entry.index].position, k);
            ASSERT_EQ(entry.key, points[entry.index].x);
            if (k > 0) {
                ASSERT_LE(sorted.entries[k - 1].key, entry.key)
                    << "seed " << seed << " count " << count << " position " << k;
            }
        }
    }
}

// Points of equal x (ties, which the heap sort leaves in no fixed order) and near-equal x, up to
// the in-place capacity: the same sorted entries and ranks as the sort into a list.
TEST(PolygonValiditySweep, SmallRingsSortedInPlaceAsInAList) {
    const unsigned seed = 616;
    std::mt19937 rng(seed);
    constexpr int kCapacity = 33;
    for (int trial = 0; trial < 2000; ++trial) {
        const int count = random_int(rng, 0, kCapacity);
        const int columns = random_int(rng, 1, 6);
        std::vector<point_t> points;
        for (int i = 0; i < count; ++i)
            points.push_back({static_cast<double>(rng() % columns) + (rng() % 3) * 0.25,
                              static_cast<double>(i), 0.0});
        const mapgeom::x_sorted_t listed = mapgeom::sort_points_by_x(points.data(), count);
        const mapgeom::small_x_sorted_t<kCapacity> in_place(points.data(), count);
        ASSERT_EQ(in_place.entries.size(), count);
        for (int k = 0; k < count; ++k) {
            ASSERT_EQ(in_place.entries[k].index, listed.entries[k].index)
                << "seed " << seed << " trial " << trial << " position " << k;
            ASSERT_EQ(in_place.rank[k].position, listed.rank[k].position)
                << "seed " << seed << " trial " << trial << " point " << k;
        }
    }
}

}  // namespace
