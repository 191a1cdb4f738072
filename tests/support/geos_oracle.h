// GEOS as a test oracle: geometries built from point lists and released with the context, unions
// and overlays, and the few measures the tests compare with (areas, lengths, validity).
#ifndef MAPGEOM_TESTS_SUPPORT_GEOS_ORACLE_H
#define MAPGEOM_TESTS_SUPPORT_GEOS_ORACLE_H

#include <geos_c.h>

#include <vector>

#include "shapes.h"

namespace testing_shapes {

struct Geos {
    GEOSContextHandle_t h = GEOS_init_r();
    std::vector<GEOSGeometry*> owned;

    Geos() = default;
    Geos(const Geos&) = delete;
    Geos& operator=(const Geos&) = delete;
    ~Geos() {
        for (GEOSGeometry* g : owned)
            GEOSGeom_destroy_r(h, g);
        GEOS_finish_r(h);
    }
    // Released with the context.
    GEOSGeometry* keep(GEOSGeometry* g) { return owned.push_back(g), g; }

    GEOSCoordSequence* sequence(const std::vector<Xy>& points, bool close) {
        unsigned size = static_cast<unsigned>(points.size() + (close ? 1 : 0));
        GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, size, 2);
        for (unsigned k = 0; k < size; ++k)
            GEOSCoordSeq_setXY_r(h, s, k, points[k % points.size()].x, points[k % points.size()].y);
        return s;
    }
    GEOSGeometry* line(const std::vector<Xy>& points, bool close = false) {
        return keep(GEOSGeom_createLineString_r(h, sequence(points, close)));
    }
    // A polygon of an open ring (the closing point is added) or of a closed point array.
    GEOSGeometry* polygon(const std::vector<Xy>& ring) {
        bool closed = ring.front().x == ring.back().x && ring.front().y == ring.back().y;
        return keep(GEOSGeom_createPolygon_r(
            h, GEOSGeom_createLinearRing_r(h, sequence(ring, !closed)), nullptr, 0));
    }
    GEOSGeometry* polygon(const geom_t* ring) { return polygon(points_of(ring)); }

    // The union of the polygons of the rings.
    GEOSGeometry* union_of(const std::vector<std::vector<Xy>>& rings) {
        std::vector<GEOSGeometry*> parts;
        for (const std::vector<Xy>& ring : rings)
            parts.push_back(GEOSGeom_clone_r(h, polygon(ring)));
        return keep(GEOSUnaryUnion_r(
            h, keep(GEOSGeom_createCollection_r(h, GEOS_MULTIPOLYGON, parts.data(),
                                                static_cast<unsigned>(parts.size())))));
    }
    // The union (0), intersection (1) or difference (2) of a and b.
    GEOSGeometry* overlay(int which, const GEOSGeometry* a, const GEOSGeometry* b) {
        return keep(which == 0   ? GEOSUnion_r(h, a, b)
                    : which == 1 ? GEOSIntersection_r(h, a, b)
                                 : GEOSDifference_r(h, a, b));
    }

    double measure(int (*what)(GEOSContextHandle_t, const GEOSGeometry*, double*),
                   const GEOSGeometry* g) {
        double value = -1.0;
        if (g != nullptr)
            what(h, g, &value);
        return value;
    }
    double area(const GEOSGeometry* g) { return measure(GEOSArea_r, g); }
    // A valid polygon shell: simple, at least three vertices.
    bool valid(const std::vector<Xy>& ring) {
        return ring.size() >= 3 && GEOSisValid_r(h, polygon(ring)) == 1;
    }
};

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_GEOS_ORACLE_H
