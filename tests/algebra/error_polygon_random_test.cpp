// Random rings that touch or cross themselves (integer coordinates, vertices in random order):
// every output ring is valid, the rings keep the input's signed area, and the points covered by
// an odd number of them are the input's even-odd interior, which is what GEOSMakeValid makes of a
// self-crossing ring. (Rings overlap where the input winds twice round a region, so summed areas
// would not match GEOS; the regions do.) Both up to snapping the repair's new vertices.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/algebra.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "ring_checks.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

// 4 to 40 vertices in 0 .. range - 1, drawn until the ring touches or crosses itself. A small
// range makes overlaps and vertices on other edges common, a large one fractional crossings.
std::vector<Xy> self_contact_ring(std::mt19937& rng, int range) {
    for (;;) {
        std::vector<Xy> ring(4 + rng() % 37);
        for (Xy& v : ring)
            v = Xy{double(rng() % range), double(rng() % range)};
        Polygon cleaned(ring);
        optimize_polygon_process(cleaned.get());
        int code = relation_polygon_iserror(cleaned.get());
        if (code == 1 || code == 2)
            return ring;
    }
}

bool on_segment(point_t p, Xy a, Xy b) {  // exact for whole coordinates
    double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    double dot = (p.x - a.x) * (b.x - a.x) + (p.y - a.y) * (b.y - a.y);
    return cross == 0.0 && dot >= 0.0 &&
           dot <= (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
}

// Snapping moves each vertex the repair made by at most sqrt(0.5), sweeping at most half that
// times its two edges; a whole unit is allowed, for margin. A vertex counts as kept from the input
// when it is one whose two output edges run along input edges at it.
double snapping_area_bound(const std::vector<Xy>& in, const Polygons& out) {
    double bound = 1e-6;
    for (const polygon_node_t* node = out.l.head; node != nullptr; node = node->next) {
        const geom_t& g = node->polygon.geom;
        for (int k = 0; k + 1 < g.count; ++k) {
            point_t u = g.points[k == 0 ? g.count - 2 : k - 1], v = g.points[k],
                    w = g.points[k + 1];
            bool u_along = false, w_along = false;
            for (size_t i = 0, n = in.size(); i < n; ++i) {
                if (in[i].x != v.x || in[i].y != v.y)
                    continue;
                for (const Xy& other : {in[(i + n - 1) % n], in[(i + 1) % n]}) {
                    u_along = u_along || on_segment(u, in[i], other);
                    w_along = w_along || on_segment(w, in[i], other);
                }
            }
            if (!u_along || !w_along)
                bound +=
                    0.5 * (std::hypot(u.x - v.x, u.y - v.y) + std::hypot(w.x - v.x, w.y - v.y));
        }
    }
    return bound;
}

// Area of (points covered by an odd number of output rings) xor GEOSMakeValid(input).
double odd_cover_apart_from_geos(const polygon_t* input, const Polygons& out) {
    Geos geos;
    GEOSGeometry* odd = geos.keep(GEOSGeom_createEmptyPolygon_r(geos.h));
    for (const polygon_node_t* node = out.l.head; node != nullptr; node = node->next)
        odd = geos.keep(GEOSSymDifference_r(geos.h, odd, geos.polygon(&node->polygon.geom)));
    GEOSGeometry* valid = geos.keep(GEOSMakeValid_r(geos.h, geos.polygon(&input->geom)));
    return geos.area(geos.keep(GEOSSymDifference_r(geos.h, odd, valid)));
}

TEST(ErrorPolygonProcess, RandomSelfCrossingRingsComeOutValidCoveringTheirEvenOddInterior) {
    for (unsigned seed = 1; seed <= 120; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> ring = self_contact_ring(rng, seed % 3 == 0 ? 12 : 100000);
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + text_of(ring));
        Polygon input(ring);
        Polygons out;
        EXPECT_EQ(error_polygon_process(input.get(), out.get()), 1);
        ASSERT_GT(out.size(), 0);
        EXPECT_EQ(faulty_rings(out.get()), "");
        double bound = snapping_area_bound(ring, out);
        EXPECT_NEAR(area_sum(out.get()), plane_signed_area(&input.p.geom), bound);
        if (seed % 4 == 0) {  // GEOS on every fourth ring keeps the run short
            EXPECT_LE(odd_cover_apart_from_geos(input.get(), out), bound);
        }
        if (HasFailure())
            return;
    }
}

}  // namespace
