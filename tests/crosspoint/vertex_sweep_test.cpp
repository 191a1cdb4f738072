// The vertex-sweep crossing engines (rings, and two polylines) against the sweep as first written,
// which the plain passes keep: on random shapes with shared places, near-equal keys that chain the
// sweep's windows, negative zeros, NaN and infinite points, the same records in the same order and
// the same shapes after, to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "com/plain_lookups.h"
#include "mapgeom/crosspoint.h"
#include "random_shapes.h"

namespace {

using namespace testing_shapes;

// Turns the plain passes on for its lifetime.
struct PlainPasses {
    PlainPasses() { mapgeom::g_plain_lookups = true; }
    ~PlainPasses() { mapgeom::g_plain_lookups = false; }
};

std::string bits_of(const geom_t* g) {
    std::ostringstream text;
    text << std::hexfloat;
    for (int i = 0; i < g->count; ++i)
        text << g->points[i].x << " " << g->points[i].y << " " << g->points[i].z << ", ";
    return text.str();
}

std::string bits_of(const crosspts_t* list) {
    std::ostringstream text;
    text << std::hexfloat;
    for (int k = 0; k < list->count; ++k) {
        const crosspt_t& c = list->crosspts[k];
        text << c.pt.x << " " << c.pt.y << " " << c.pt.z << " " << c.index1 << " " << c.index2
             << " " << c.flag << " " << c.curpt_flag << "; ";
    }
    return text.str();
}

// One engine on copies of the shapes: the records, then both shapes as they are left.
std::string engine_run(bool rings, const std::vector<Xy>& first, const std::vector<Xy>& second) {
    Crosspts out;
    if (rings) {
        StoredPolygon a(first), b(second);
        calc_polygons_crosspts(a.get(), b.get(), out.get());
        return bits_of(out.get()) + "| " + bits_of(&a.get()->geom) + "| " + bits_of(&b.get()->geom);
    }
    Polyline a(first), b(second);
    calc_polylines_crosspts(a.get(), b.get(), out.get());
    return bits_of(out.get()) + "| " + bits_of(&a.get()->geom) + "| " + bits_of(&b.get()->geom);
}

// Shapes of a few kinds: walks on a small grid (shared vertices, overlaps, places passed twice),
// some moved by less than the merge bands; stars in whole map units far from the origin; points
// strung out in x less than a unit apart, so that the sweep's windows run together; each with a
// chance of a negative zero, a NaN or an infinite coordinate.
std::vector<Xy> random_points(std::mt19937& rng, int kind, bool ring) {
    std::vector<Xy> points;
    if (kind == 0) {
        for (int k = random_int(rng, 3, 40); k > 0; --k) {
            Xy p{double(random_int(rng, -4, 4)), double(random_int(rng, -4, 4))};
            if (random_int(rng, 0, 5) == 0)
                p.y += random_int(rng, 0, 1) == 0 ? 0.00007 : -0.006;
            points.push_back(p);
        }
    } else if (kind == 1) {
        for (const Xy& v :
             random_star(rng, random_int(rng, 20, 300), 5.0e6 + random_int(rng, -400, 400), 5.0e6,
                         9.0e5, 1.0e6, true))
            points.push_back(v);
    } else {
        double x = random_real(rng, -3, 3);
        for (int k = random_int(rng, 5, 120); k > 0; --k) {
            x += random_real(rng, -0.2, 0.9);
            points.push_back({x, random_real(rng, -2, 2)});
        }
    }
    for (Xy& p : points) {
        int roll = random_int(rng, 0, 60);
        if (roll == 0)
            p.x = -0.0;
        else if (roll == 1)
            p.y = -0.0;
    }
    int odd = random_int(rng, 0, 9);
    if (odd == 0)
        points[random_int(rng, 0, static_cast<int>(points.size()) - 1)].x = NAN;
    else if (odd == 1)
        points[random_int(rng, 0, static_cast<int>(points.size()) - 1)].y = INFINITY;
    if (ring)
        points.push_back(points.front());
    return points;
}

TEST(VertexSweep, EnginesGiveWhatTheSweepAsFirstWrittenGives) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    int with_records = 0;
    for (int trial = 0; trial < 600; ++trial) {
        const bool rings = trial % 2 == 0;
        const int kind = (trial / 2) % 3;
        const std::vector<Xy> first = random_points(rng, kind, rings);
        const std::vector<Xy> second = random_points(rng, kind, rings);
        const std::string swept = engine_run(rings, first, second);
        std::string plain;
        {
            PlainPasses on;
            plain = engine_run(rings, first, second);
        }
        ASSERT_EQ(swept, plain) << "seed " << seed << " trial " << trial << "\nfirst  "
                                << text_of(first) << "\nsecond " << text_of(second);
        with_records += swept.compare(0, 1, "|") != 0;
    }
    EXPECT_GT(with_records, 300);  // most pairs meet: the passes were exercised
}

}  // namespace
