// The per-edge steps of locating a point against a closed ring, shared by the plain scan
// (relation_point_at_polygon_by_permit) and the prepared locator (ring_locator.h), so that both
// give the same code for every point: the locator only chooses which edges to visit.
//
// Two passes. The boundary pass reports a vertex or an edge within the permit; the first edge in
// ring order that does decides between vertex (3) and edge (2). The ray pass casts a vertical ray
// downward from the point and counts the boundary's crossings with it (odd means inside). A vertex
// lying on the ray is never counted through the edges that leave it; the edge arriving at it
// instead walks on along the ring past every vertex on the ray's line and counts a crossing only
// when the boundary comes out on the other side from where it arrived, so a ring that merely
// touches the ray at a vertex, or runs along it, is not counted.
#ifndef MAPGEOM_SRC_RELATION_POINT_AT_POLYGON_INTERNAL_H
#define MAPGEOM_SRC_RELATION_POINT_AT_POLYGON_INTERNAL_H

#include <algorithm>
#include <cmath>

#include "com/codes.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "measure/measure_internal.h"

namespace mapgeom {

// Band for the side tests against the ray's line, and for the ray's own crossing test.
constexpr double kRayPermit = 1e-6;
// How far below an edge's lower end the ray reaches: it must clear the edge, nothing more.
constexpr double kRayReachPastVertex = 100.0;
constexpr double kRayReachPastEdge = 100000000.0;

// An edge can put p within the permit only when p lies in the edge's box grown by the permit
// plus the default band of calc_point_to_line_distance: that distance is either to an endpoint or
// to a foot inside the box grown by the band. Doubling the band leaves room for rounding of the
// bounds, so skipping an edge outside this box never changes the answer, whatever the rounding of
// the foot; it spares the square roots on almost every edge.
constexpr double kBoundaryReachSlack = 2 * kDefaultPermit;

inline double boundary_reach(double permit) {
    return permit + kBoundaryReachSlack;
}

inline bool directly_below(point_t u, point_t p) {
    return std::fabs(p.x - u.x) < kDirectionTolerance && u.y < p.y;
}

inline bool may_be_within(point_t p, point_t v, point_t w, double reach) {
    return !(p.x < std::min(v.x, w.x) - reach || p.x > std::max(v.x, w.x) + reach ||
             p.y < std::min(v.y, w.y) - reach || p.y > std::max(v.y, w.y) + reach);
}

// Code of p against edge i (ring[i] to ring[i + 1]) alone: at one of its ends (3), on it (2), or
// neither (0). `reach` is boundary_reach(permit). No code but 0 is possible unless permit > 0.
inline int edge_boundary_code(const point_t* ring, int i, point_t p, double permit, double reach) {
    point_t v = ring[i];
    point_t w = ring[i + 1];
    if (!may_be_within(p, v, w, reach))
        return kPointOutside;
    if (plane_distance(p, v) < permit || plane_distance(p, w) < permit)
        return kPointAtVertex;
    if (calc_point_to_line_distance(p, v, w) < permit)
        return kPointOnEdge;
    return kPointOutside;
}

// The edge v -> ring[next] ends on the ray below p. Walks on from there, past every vertex on the
// ray's line, and tells whether the boundary leaves on the other side from v's. At most n vertices
// are visited, wherever they lie on the ring; when all lie on the line (a ring without area)
// nothing is counted.
inline bool crosses_at_vertex_on_ray(const point_t* ring, int n, int next, point_t v, point_t p,
                                     double lowest_y) {
    constexpr int kOnLineOutside = 1;
    point_t q{p.x, lowest_y - kRayReachPastVertex, 0.0};
    int arrival_side = relation_point_at_line(v, p, q, kRayPermit);
    for (int step = 0; step < n; ++step) {
        int side = relation_point_at_line(ring[(next + step) % n], p, q, kRayPermit);
        if (side > kOnLineOutside)
            return side != arrival_side;
    }
    return false;
}

// Whether edge i (ring[i] to ring[i + 1]) of a ring of n edges counts as a crossing of the
// downward ray from p. Only an edge with an end below p, and either its end ring[i + 1] directly
// below p or its x range strictly around p.x, can count.
inline bool edge_crosses_ray_below(const point_t* ring, int n, int i, point_t p) {
    point_t v = ring[i];
    point_t w = ring[i + 1];
    if (!(v.y < p.y || w.y < p.y) || directly_below(v, p))
        return false;
    double lowest_y = std::min(v.y, w.y);
    if (directly_below(w, p))
        return crosses_at_vertex_on_ray(ring, n, (i + 1) % n, v, p, lowest_y);
    if (!(std::min(v.x, w.x) < p.x && p.x < std::max(v.x, w.x)))
        return false;
    point_t q{p.x, lowest_y - kRayReachPastEdge, 0.0};
    point_t out;
    return relation_lines_cross_by_permit(&out, p, q, v, w, kRayPermit) == 0;
}

// The ray pass alone, for a point at least a unit away (in x or y) from every edge of the ring: so
// far from the band that the boundary pass finds nothing, and that an edge running across the
// ray's line passes at least a unit above or below p, which its height there, worked out directly,
// tells as surely as the segment test does. Whether the downward ray from p crosses the boundary an
// odd number of times: relation_point_at_polygon's answer (inside or outside) for such a point.
// The ring's coordinates must lie well within the range where that height is good to a small
// fraction of a unit (map coordinates in whole units are).
inline bool ray_crossings_odd_clear_of(const polygon_t* polygon, point_t p) {
    const int n = com_polygon_num(polygon);
    const point_t* ring = polygon->geom.points;
    int crossings = 0;
    for (int i = 0; i < n; ++i) {
        const point_t v = ring[i];
        const point_t w = ring[i + 1];
        if (!(v.y < p.y || w.y < p.y) || directly_below(v, p))
            continue;
        if (directly_below(w, p)) {
            crossings += crosses_at_vertex_on_ray(ring, n, (i + 1) % n, v, p, std::min(v.y, w.y));
            continue;
        }
        if (!(std::min(v.x, w.x) < p.x && p.x < std::max(v.x, w.x)))
            continue;
        const double height = v.y + (p.x - v.x) / (w.x - v.x) * (w.y - v.y);
        crossings += height < p.y;
    }
    return crossings % 2 == 1;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_POINT_AT_POLYGON_INTERNAL_H
