// Differential testing of the two-ring overlays against GEOS: seeded generators of ring pairs with
// integer coordinates (star-shaped rings crossing, sharing vertices and edges, nested, apart,
// touching, identical; either orientation), GEOS's area of their union, intersection and
// difference, and the text form of a pair for failure messages.
#ifndef MAPGEOM_TESTS_ALGEBRA_OVERLAY_ORACLE_H
#define MAPGEOM_TESTS_ALGEBRA_OVERLAY_ORACLE_H

#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mapgeom/com.h"
#include "shapes.h"

namespace overlay_oracle {

using testing_shapes::Xy;
using Ring = std::vector<Xy>;  // open: the closing point is not repeated

// Rings live far from the origin and span tens of millions of units, as map data in 1/2560
// arc-second does. The library snaps the crossing points of its results to whole units; at this
// size that moves an area by far less than 1e-6 of itself (a few 1e-8 at worst over thousands of
// pairs), so results compare with GEOS to 1e-6.
constexpr double kCentre = 5.0e8;
constexpr double kRadius = 4.0e7;
constexpr double kTwoPi = 6.283185307179586;

// How the two rings of a pair lie; the generator draws one per pair.
enum class PairKind {
    kCrossing,        // star rings around different centres
    kSharedVertices,  // around one centre at the same angles, some radii equal: shared vertices
                      // and edges, crossings where the radii change order
    kWithinShared,    // as above with b never inside a: a lies within b touching it along edges
                      // (the generator exchanges a and b of any kind half of the time)
    kNested,          // b well inside a
    kApart,           // far from each other
    kTouching,        // b is a mirrored through its farthest vertex: they meet at that vertex only
    kSameOutline,     // b has a's vertices, from another start, maybe reversed
    kOnGrid,          // star rings around nearby centres with vertices on a coarse grid: edges
                      // overlap in part, vertices lie on the other ring's edges
};

inline const char* kind_name(PairKind kind) {
    static const char* const names[] = {"crossing",     "shared vertices", "within, shared edges",
                                        "nested",       "apart",           "touching at a vertex",
                                        "same outline", "on a coarse grid"};
    return names[static_cast<int>(kind)];
}

struct RingPair {
    Ring a;
    Ring b;
    PairKind kind;
};

// n angles around the circle, one per equal sector at a random place inside it (gaps stay below
// half a turn from four vertices on, so a star ring around its centre is simple).
inline std::vector<double> sector_angles(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> place(0.1, 0.9);
    double phase = std::uniform_real_distribution<double>(0.0, kTwoPi)(rng);
    std::vector<double> angles(n);
    for (int k = 0; k < n; ++k)
        angles[k] = phase + kTwoPi * (k + place(rng)) / n;
    return angles;
}

inline Xy polar(Xy centre, double angle, double radius) {
    return {std::round(centre.x + radius * std::cos(angle)),
            std::round(centre.y + radius * std::sin(angle))};
}

inline std::vector<double> random_radii(std::mt19937& rng, int n, double r_min, double r_max) {
    std::uniform_real_distribution<double> radius(r_min, r_max);
    std::vector<double> radii(n);
    for (double& r : radii)
        r = radius(rng);
    return radii;
}

inline Ring star(Xy centre, const std::vector<double>& angles, const std::vector<double>& radii) {
    Ring ring;
    for (size_t k = 0; k < angles.size(); ++k)
        ring.push_back(polar(centre, angles[k], radii[k]));
    return ring;
}

// Mostly small rings, some up to 100 vertices.
inline int vertex_count(std::mt19937& rng) {
    std::uniform_int_distribution<int> small(3, 12);
    std::uniform_int_distribution<int> large(13, 100);
    return std::uniform_int_distribution<int>(0, 3)(rng) == 0 ? large(rng) : small(rng);
}

inline Ring rotated(Ring ring, int by) {
    std::rotate(ring.begin(), ring.begin() + by % static_cast<int>(ring.size()), ring.end());
    return ring;
}

// The ring with its vertices moved to the nearest point of a grid of kRadius / 8 spacing around
// kCentre, repeats dropped.
inline Ring on_grid(const Ring& ring) {
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

inline RingPair pair_of_kind(std::mt19937& rng, PairKind kind) {
    const Xy centre{kCentre, kCentre};
    int n = vertex_count(rng);
    std::vector<double> angles = sector_angles(rng, n);
    std::vector<double> radii_a = random_radii(rng, n, 0.3 * kRadius, kRadius);
    Ring a = star(centre, angles, radii_a);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    switch (kind) {
        case PairKind::kCrossing: {
            double offset = kRadius * (0.2 + 1.2 * unit(rng));
            double direction = kTwoPi * unit(rng);
            Xy other = polar(centre, direction, offset);
            int m = vertex_count(rng);
            return {
                a, star(other, sector_angles(rng, m), random_radii(rng, m, 0.3 * kRadius, kRadius)),
                kind};
        }
        case PairKind::kSharedVertices:
        case PairKind::kWithinShared: {
            std::vector<double> radii_b = random_radii(rng, n, 0.3 * kRadius, kRadius);
            for (int k = 0; k < n; ++k) {
                if (kind == PairKind::kWithinShared)
                    radii_b[k] = std::max(radii_b[k], radii_a[k]);
                if (unit(rng) < 0.4)
                    radii_b[k] = radii_a[k];
            }
            return {a, star(centre, angles, radii_b), kind};
        }
        case PairKind::kNested: {
            int m = vertex_count(rng);
            return {a,
                    star(centre, sector_angles(rng, m),
                         random_radii(rng, m, 0.05 * kRadius, 0.25 * kRadius)),
                    kind};
        }
        case PairKind::kApart: {
            Xy other = polar(centre, kTwoPi * unit(rng), 2.5 * kRadius);
            int m = vertex_count(rng);
            return {
                a, star(other, sector_angles(rng, m), random_radii(rng, m, 0.3 * kRadius, kRadius)),
                kind};
        }
        case PairKind::kTouching: {
            size_t far = std::max_element(radii_a.begin(), radii_a.end()) - radii_a.begin();
            Xy v = a[far];
            Ring b;
            for (const Xy& p : a)
                b.push_back({2.0 * v.x - p.x, 2.0 * v.y - p.y});
            return {a, b, kind};
        }
        case PairKind::kOnGrid: {
            Xy other = polar(centre, kTwoPi * unit(rng), kRadius * unit(rng));
            int m = vertex_count(rng);
            Ring b =
                star(other, sector_angles(rng, m), random_radii(rng, m, 0.3 * kRadius, kRadius));
            return {on_grid(a), on_grid(b), kind};
        }
        default: {
            Ring b = rotated(a, std::uniform_int_distribution<int>(0, n - 1)(rng));
            return {a, b, PairKind::kSameOutline};
        }
    }
}

// A pair of a random kind (rings that cross, with or without shared stretches, twice as often as
// each other kind), the rings exchanged half of the time, each started at a random vertex and
// reversed half of the time.
inline RingPair random_ring_pair(std::mt19937& rng) {
    static const PairKind weighted[] = {
        PairKind::kCrossing,       PairKind::kCrossing,       PairKind::kCrossing,
        PairKind::kSharedVertices, PairKind::kSharedVertices, PairKind::kWithinShared,
        PairKind::kNested,         PairKind::kApart,          PairKind::kTouching,
        PairKind::kSameOutline,    PairKind::kOnGrid,         PairKind::kOnGrid,
        PairKind::kOnGrid};
    constexpr int kinds = sizeof(weighted) / sizeof(weighted[0]);
    RingPair pair =
        pair_of_kind(rng, weighted[std::uniform_int_distribution<int>(0, kinds - 1)(rng)]);
    if (std::uniform_int_distribution<int>(0, 1)(rng) == 1)
        std::swap(pair.a, pair.b);
    for (Ring* ring : {&pair.a, &pair.b}) {
        *ring = rotated(*ring, std::uniform_int_distribution<int>(0, 1000)(rng));
        if (std::uniform_int_distribution<int>(0, 1)(rng) == 1)
            std::reverse(ring->begin(), ring->end());
    }
    return pair;
}

// "x y, x y, ..." as testing_shapes::pts reads it, so a failing pair pastes into a case table.
inline std::string ring_text(const Ring& ring) {
    std::ostringstream text;
    text.precision(17);
    for (size_t k = 0; k < ring.size(); ++k)
        text << (k > 0 ? ", " : "") << ring[k].x << " " << ring[k].y;
    return text.str();
}

inline std::string pair_text(const RingPair& pair) {
    return std::string("kind: ") + kind_name(pair.kind) + "\nA: " + ring_text(pair.a) +
           "\nB: " + ring_text(pair.b);
}

// Absolute shoelace area of an open ring.
inline double ring_area(const Ring& ring) {
    double twice = 0.0;
    for (size_t k = 0; k < ring.size(); ++k) {
        const Xy& p = ring[k];
        const Xy& q = ring[(k + 1) % ring.size()];
        twice += p.x * q.y - q.x * p.y;
    }
    return std::fabs(twice) / 2.0;
}

// Sum of the signed (shoelace) areas of a list's rings: the area covered when outer outlines run
// counter-clockwise and holes clockwise.
inline double signed_area_sum(const polygons_t* rings) {
    double sum = 0.0;
    for (const polygon_node_t* node = rings->head; node != nullptr; node = node->next)
        sum += testing_shapes::plane_signed_area(&node->polygon.geom);
    return sum;
}

// Whether |value - reference| is within `relative` of |reference| (or of 1 for a zero reference).
inline bool close_relative(double value, double reference, double relative = 1e-6) {
    return std::fabs(value - reference) <= relative * std::max(std::fabs(reference), 1.0);
}

enum class Overlay { kUnion, kIntersection, kDifference };

// GEOS computing the same overlays of the same rings.
class Geos {
public:
    Geos() : context_(GEOS_init_r()) {}
    Geos(const Geos&) = delete;
    Geos& operator=(const Geos&) = delete;
    ~Geos() { GEOS_finish_r(context_); }

    // Area of a op b.
    double area(Overlay op, const Ring& a, const Ring& b) const {
        GEOSGeometry* ga = polygon(a);
        GEOSGeometry* gb = polygon(b);
        GEOSGeometry* result = op == Overlay::kUnion          ? GEOSUnion_r(context_, ga, gb)
                               : op == Overlay::kIntersection ? GEOSIntersection_r(context_, ga, gb)
                                                              : GEOSDifference_r(context_, ga, gb);
        double area = -1.0;
        if (result != nullptr) {
            GEOSArea_r(context_, result, &area);
            GEOSGeom_destroy_r(context_, result);
        }
        GEOSGeom_destroy_r(context_, ga);
        GEOSGeom_destroy_r(context_, gb);
        return area;
    }

    // Whether the ring is a valid polygon shell for GEOS (simple, at least three vertices).
    bool valid(const Ring& ring) const {
        if (ring.size() < 3)
            return false;
        GEOSGeometry* g = polygon(ring);
        bool ok = GEOSisValid_r(context_, g) == 1;
        GEOSGeom_destroy_r(context_, g);
        return ok;
    }

private:
    GEOSGeometry* polygon(const Ring& ring) const {
        unsigned size = static_cast<unsigned>(ring.size() + 1);
        GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context_, size, 2);
        for (unsigned k = 0; k < size; ++k) {
            const Xy& p = ring[k % ring.size()];
            GEOSCoordSeq_setXY_r(context_, sequence, k, p.x, p.y);
        }
        GEOSGeometry* shell = GEOSGeom_createLinearRing_r(context_, sequence);
        return GEOSGeom_createPolygon_r(context_, shell, nullptr, 0);
    }

    GEOSContextHandle_t context_;
};

// Generates valid pairs only (a rounded star can, rarely, come out invalid); the caller's seed
// reproduces the same sequence.
class PairSource {
public:
    explicit PairSource(unsigned seed) : rng_(seed) {}
    RingPair next(const Geos& geos) {
        for (;;) {
            RingPair pair = random_ring_pair(rng_);
            if (geos.valid(pair.a) && geos.valid(pair.b))
                return pair;
        }
    }

private:
    std::mt19937 rng_;
};

}  // namespace overlay_oracle

#endif  // MAPGEOM_TESTS_ALGEBRA_OVERLAY_ORACLE_H
