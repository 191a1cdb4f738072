// The union's shortcuts (the result check proved by a sweep of near edges, closed rings passed on
// when their vertices are all apart, record lookups filtered in x, the area bounds without their
// slack, the crossing search's prepared sweep) against the plain passes they stand in for: on
// random ring pairs that cross, share vertices, run along each other or are not simple themselves,
// the same code, rings and changed inputs, to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "com/plain_lookups.h"
#include "mapgeom/algebra.h"
#include "random_shapes.h"

namespace {

using namespace testing_shapes;

struct PlainPasses {
    PlainPasses() { mapgeom::g_plain_lookups = true; }
    ~PlainPasses() { mapgeom::g_plain_lookups = false; }
};

void print_bits(std::ostringstream& text, const geom_t* g) {
    for (int i = 0; i < g->count; ++i)
        text << g->points[i].x << " " << g->points[i].y << " " << g->points[i].z << ", ";
    text << "\n";
}

// The union's code, its rings and both inputs as the call leaves them, in hexadecimal floats.
std::string union_bits(const std::vector<Xy>& a_points, const std::vector<Xy>& b_points) {
    Polygon a(a_points), b(b_points);
    Polygons out;
    std::ostringstream text;
    text << std::hexfloat << "code " << algebra_polygons_union(a.get(), b.get(), out.get()) << "\n";
    for (const polygon_node_t* node = out.get()->head; node != nullptr; node = node->next)
        print_bits(text, &node->polygon.geom);
    text << "a ";
    print_bits(text, &a.get()->geom);
    text << "b ";
    print_bits(text, &b.get()->geom);
    return text.str();
}

// Pairs of five kinds: stars in whole units crossing often; B's vertices snapped onto A's where
// near (shared vertices, stretches along each other); B a copy of A with vertices pulled in;
// random walks on a small grid (rings crossing themselves, so results that fail the check); far
// stars with a vertex of B on the tolerance bands of A's.
struct Pair {
    std::vector<Xy> a, b;
};

Pair random_pair(std::mt19937& rng, int kind) {
    Pair pair;
    if (kind == 3) {
        pair.a = random_walk(rng, random_int(rng, 4, 40), 3);
        pair.b = random_walk(rng, random_int(rng, 4, 40), 3);
        for (std::vector<Xy>* ring : {&pair.a, &pair.b})
            for (Xy& v : *ring)
                v = Xy{std::round(v.x), std::round(v.y)};
        return pair;
    }
    const double centre = kind == 4 ? 5.0e6 : 0.0;
    pair.a = random_star(rng, random_int(rng, 40, 300), centre, centre, 900, 1000, true);
    if (kind == 2) {
        pair.b = pair.a;
        for (Xy& v : pair.b)
            if (random_int(rng, 0, 3) == 0)
                v = Xy{std::round(v.x * 0.97 + centre * 0.03),
                       std::round(v.y * 0.97 + centre * 0.03)};
        return pair;
    }
    pair.b = random_star(rng, random_int(rng, 40, 300), centre + random_int(rng, -200, 200), centre,
                         860, 1040, true);
    const double nudges[] = {0.0, 0.00005, 0.004, 0.009};
    if (kind == 1 || kind == 4)
        for (Xy& v : pair.b)
            for (const Xy& w : pair.a)
                if (std::fabs(v.x - w.x) + std::fabs(v.y - w.y) < 40)
                    v = Xy{w.x + nudges[random_int(rng, 0, 3)], w.y};
    return pair;
}

TEST(UnionShortcuts, SameResultsAsThePlainPasses) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    int built = 0, untrusted = 0;
    for (int trial = 0; trial < 150; ++trial) {
        const Pair pair = random_pair(rng, trial % 5);
        const std::string shortcut = union_bits(pair.a, pair.b);
        std::string plain;
        {
            PlainPasses on;
            plain = union_bits(pair.a, pair.b);
        }
        ASSERT_EQ(shortcut, plain) << "seed " << seed << " trial " << trial << "\nA "
                                   << text_of(pair.a) << "\nB " << text_of(pair.b);
        built += shortcut.compare(0, 7, "code 0\n") == 0;
        untrusted += shortcut.compare(0, 8, "code -3\n") == 0;
    }
    // Both ways out of the check were taken: valid results and results that fail it.
    EXPECT_GT(built, 40);
    EXPECT_GT(untrusted, 10);
}

}  // namespace
