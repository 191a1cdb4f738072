// Union, intersection and difference of generated ring pairs against GEOS: the area each result
// covers (read from its code and rings, see overlay_area.h) equals GEOS's to 1e-6 and every ring
// appended is valid (counter-clockwise for intersection and difference). Coordinates are whole,
// far from the origin and span tens of millions of units, as map data does, so snapping crossings
// moves an area by far less than 1e-6 of the larger input's (the intersection's and difference's
// scale: rounding is set by the inputs, not by the result).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "overlay_area.h"
#include "random_shapes.h"
#include "ring_checks.h"
#include "shape_text.h"
#include "us_atlas.h"

namespace {

using overlay_area::Operation;
using namespace testing_shapes;
using Ring = std::vector<Xy>;  // open: the closing point is not repeated

constexpr double kCentre = 5.0e8, kRadius = 4.0e7, kTwoPi = 6.283185307179586;
constexpr unsigned kSeed = 20261206;
constexpr int kPairs = 400;

// How the rings of a pair lie.
enum class Kind {
    kCrossing,        // star rings around different centres
    kSharedVertices,  // one centre, the same angles, some radii equal: shared vertices and edges
    kWithinShared,    // as above with b never inside a: a within b touching it along edges
    kNested,          // b well inside a
    kApart,
    kTouching,     // b is a mirrored through its farthest vertex: they meet there only
    kSameOutline,  // b has a's vertices, from another start
    kOnGrid,       // vertices on a coarse grid: edges overlap in part, vertices on edges
};
struct Pair {
    Ring a, b;
    Kind kind;
};

std::mt19937 rng(kSeed);

// n angles, one at a random place in each of n equal sectors (so a star ring is simple).
std::vector<double> sector_angles(int n) {
    double phase = random_real(rng, 0.0, kTwoPi);
    std::vector<double> angles(n);
    for (int k = 0; k < n; ++k)
        angles[k] = phase + kTwoPi * (k + random_real(rng, 0.1, 0.9)) / n;
    return angles;
}

std::vector<double> radii(int n, double r_min, double r_max) {
    std::vector<double> r(n);
    for (double& v : r)
        v = random_real(rng, r_min, r_max);
    return r;
}

Xy polar(Xy centre, double angle, double radius) {
    return {std::round(centre.x + radius * std::cos(angle)),
            std::round(centre.y + radius * std::sin(angle))};
}

Ring star(Xy centre, const std::vector<double>& angles, const std::vector<double>& r) {
    Ring ring;
    for (size_t k = 0; k < angles.size(); ++k)
        ring.push_back(polar(centre, angles[k], r[k]));
    return ring;
}

int vertex_count() {
    return random_int(rng, 0, 3) == 0 ? random_int(rng, 13, 100) : random_int(rng, 3, 12);
}

Ring random_star(Xy centre, double r_min = 0.3 * kRadius, double r_max = kRadius) {
    int n = vertex_count();
    return star(centre, sector_angles(n), radii(n, r_min, r_max));
}

// A centre `distance` from the middle in a random direction.
Xy centre_at(double distance) {
    return polar({kCentre, kCentre}, random_real(rng, 0, kTwoPi), distance);
}

// The ring's vertices moved to a grid of kRadius / 8, repeats dropped.
Ring on_grid(const Ring& ring) {
    const double step = kRadius / 8.0;
    Ring snapped;
    for (const Xy& p : ring) {
        Xy q{kCentre + step * std::round((p.x - kCentre) / step),
             kCentre + step * std::round((p.y - kCentre) / step)};
        if (snapped.empty() || q.x != snapped.back().x || q.y != snapped.back().y)
            snapped.push_back(q);
    }
    while (snapped.size() > 1 && snapped.front().x == snapped.back().x &&
           snapped.front().y == snapped.back().y)
        snapped.pop_back();
    return snapped;
}

Pair pair_of_kind(Kind kind) {
    const Xy centre{kCentre, kCentre};
    int n = vertex_count();
    std::vector<double> angles = sector_angles(n), radii_a = radii(n, 0.3 * kRadius, kRadius);
    Ring a = star(centre, angles, radii_a), b = a;
    if (kind == Kind::kCrossing) {
        b = random_star(centre_at(kRadius * random_real(rng, 0.2, 1.4)));
    } else if (kind == Kind::kSharedVertices || kind == Kind::kWithinShared) {
        std::vector<double> radii_b = radii(n, 0.3 * kRadius, kRadius);
        for (int k = 0; k < n; ++k) {
            if (kind == Kind::kWithinShared)
                radii_b[k] = std::max(radii_b[k], radii_a[k]);
            if (random_real(rng, 0, 1) < 0.4)
                radii_b[k] = radii_a[k];
        }
        b = star(centre, angles, radii_b);
    } else if (kind == Kind::kNested) {
        b = random_star(centre, 0.05 * kRadius, 0.25 * kRadius);
    } else if (kind == Kind::kApart) {
        b = random_star(centre_at(2.5 * kRadius));
    } else if (kind == Kind::kTouching) {
        Xy v = a[std::max_element(radii_a.begin(), radii_a.end()) - radii_a.begin()];
        for (Xy& p : b)
            p = {2.0 * v.x - p.x, 2.0 * v.y - p.y};
    } else if (kind == Kind::kOnGrid) {
        a = on_grid(a);
        b = on_grid(random_star(centre_at(kRadius * random_real(rng, 0, 1))));
    }
    return {a, b, kind};
}

// A pair of a random kind (crossing ones weighted up), the rings exchanged half of the time, each
// started at a random vertex and reversed half of the time.
Pair random_pair() {
    static const Kind weighted[] = {
        Kind::kCrossing,       Kind::kCrossing,     Kind::kCrossing, Kind::kSharedVertices,
        Kind::kSharedVertices, Kind::kWithinShared, Kind::kNested,   Kind::kApart,
        Kind::kTouching,       Kind::kSameOutline,  Kind::kOnGrid,   Kind::kOnGrid,
        Kind::kOnGrid};
    Pair pair = pair_of_kind(weighted[random_int(rng, 0, 12)]);
    if (random_int(rng, 0, 1) == 1)
        std::swap(pair.a, pair.b);
    for (Ring* ring : {&pair.a, &pair.b}) {
        std::rotate(ring->begin(), ring->begin() + random_int(rng, 0, 1000) % ring->size(),
                    ring->end());
        if (random_int(rng, 0, 1) == 1)
            std::reverse(ring->begin(), ring->end());
    }
    return pair;
}

// Whether the extents of two rings meet (closed).
bool boxes_meet(const Ring& a, const Ring& b) {
    auto extent = [](const Ring& r) {
        auto [lx, hx] =
            std::minmax_element(r.begin(), r.end(), [](Xy p, Xy q) { return p.x < q.x; });
        auto [ly, hy] =
            std::minmax_element(r.begin(), r.end(), [](Xy p, Xy q) { return p.y < q.y; });
        return std::vector<double>{lx->x, hx->x, ly->y, hy->y};
    };
    std::vector<double> ea = extent(a), eb = extent(b);
    return ea[0] <= eb[1] && eb[0] <= ea[1] && ea[2] <= eb[3] && eb[2] <= ea[3];
}

// Empty when op on the pair is right, else what is wrong.
std::string fault_of(Geos* geos, Operation op, const Pair& pair) {
    Polygon a(pair.a), b(pair.b);
    Polygons out;
    int code = overlay_area::call(op, a.get(), b.get(), out.get());
    std::string fault = faulty_rings(out.get(), op != Operation::kUnion);
    GEOSGeometry *ga = geos->polygon(pair.a), *gb = geos->polygon(pair.b);
    double area_a = geos->area(ga), area_b = geos->area(gb);
    double covered =
        overlay_area::covered_area(op, code, area_a, area_b, out.size(), area_sum(out.get()));
    double expected = geos->area(geos->overlay(int(op), ga, gb));
    double scale = op == Operation::kUnion ? expected : std::max(area_a, area_b);
    if (code < 0 || std::fabs(covered - expected) > 1e-6 * std::max(scale, 1.0))
        fault += "code " + std::to_string(code) + " with " + std::to_string(out.size()) +
                 " rings covers " + std::to_string(covered) + ", GEOS " + std::to_string(expected) +
                 "\n";
    return fault;
}

TEST(OverlayOracle, GeneratedPairsCoverWhatGeosCoversWithValidRings) {
    Geos geos;
    int failures = 0;
    for (int t = 0; t < kPairs && failures < 5; ++t) {
        Pair pair = random_pair();
        if (!geos.valid(pair.a) || !geos.valid(pair.b))
            continue;  // a rounded star can, rarely, come out invalid
        for (Operation op : {Operation::kUnion, Operation::kIntersec, Operation::kDiffence}) {
            std::string fault = fault_of(&geos, op, pair);
            if (fault.empty())
                continue;
            ++failures;
            ADD_FAILURE() << overlay_area::name_of(op) << ", seed " << kSeed << ", pair " << t
                          << " (kind " << static_cast<int>(pair.kind) << "):\n"
                          << fault << "A: " << text_of(pair.a) << "\nB: " << text_of(pair.b);
        }
    }
}

}  // namespace

// Neighbouring counties (shared boundaries, point for point) with the second moved one unit
// along x: every shared boundary becomes a sliver a unit wide, where snapping the crossings to
// whole units can leave a result ring crossing itself. Every ring must come out valid all the
// same, covering GEOS's area.
TEST(OverlayOracle, NeighboursAUnitApartGiveValidRings) {
    std::vector<Ring> counties;
    for (const char* state : {"08", "19", "44"})
        for (const AtlasRing& r : load_atlas_outers("counties.txt", state))
            counties.push_back(r.points);
    Geos geos;
    int pairs = 0, failures = 0;
    for (size_t i = 0; i < counties.size() && failures < 5; ++i) {
        for (size_t j = 0; j < counties.size(); ++j) {
            Pair pair{counties[i], counties[j], Kind::kCrossing};
            for (Xy& p : pair.b)
                p.x += 1.0;
            if (i == j || !geos.valid(pair.a) || !geos.valid(pair.b) || !boxes_meet(pair.a, pair.b))
                continue;
            ++pairs;
            for (Operation op : {Operation::kUnion, Operation::kIntersec, Operation::kDiffence}) {
                std::string fault = fault_of(&geos, op, pair);
                if (fault.empty())
                    continue;
                ++failures;
                ADD_FAILURE() << overlay_area::name_of(op) << " of " << i << " and " << j << ":\n"
                              << fault;
            }
        }
    }
    EXPECT_GT(pairs, 400);
}
