// Where a point lies with respect to a closed polygon: at a vertex, on an edge, inside or outside.
//
// Two passes. The boundary pass reports a vertex or an edge within the permit. The ray pass casts
// a vertical ray downward from the point and counts the boundary's crossings with it (odd means
// inside). A vertex lying on the ray is never counted through the edges that leave it; the edge
// arriving at it instead walks on along the ring past every vertex on the ray's line and counts a
// crossing only when the boundary comes out on the other side from where it arrived, so a ring that
// merely touches the ray at a vertex, or runs along it, is not counted.
#include <algorithm>
#include <cmath>

#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "measure/measure_internal.h"

namespace {

using mapgeom::kDirectionTolerance;

constexpr int kOutside = 0;
constexpr int kInside = 1;
constexpr int kOnEdge = 2;
constexpr int kAtVertex = 3;

// Band for the side tests against the ray's line, and for the ray's own crossing test.
constexpr double kRayPermit = 1e-6;
// How far below an edge's lower end the ray reaches: it must clear the edge, nothing more.
constexpr double kRayReachPastVertex = 100.0;
constexpr double kRayReachPastEdge = 100000000.0;

bool directly_below(point_t u, point_t p) {
    return std::fabs(p.x - u.x) < kDirectionTolerance && u.y < p.y;
}

// An edge can put p within the permit only when p lies in the edge's box grown by the permit
// plus the default band of calc_point_to_line_distance: that distance is either to an endpoint or
// to a foot inside the box grown by the band. Doubling the band leaves room for rounding of the
// bounds, so skipping an edge outside this box never changes the answer, whatever the rounding of
// the foot; it spares the square roots on almost every edge.
constexpr double kBoundaryReachSlack = 2 * mapgeom::kDefaultPermit;

bool may_be_within(point_t p, point_t v, point_t w, double reach) {
    return !(p.x < std::min(v.x, w.x) - reach || p.x > std::max(v.x, w.x) + reach ||
             p.y < std::min(v.y, w.y) - reach || p.y > std::max(v.y, w.y) + reach);
}

int boundary_code(const point_t* ring, int n, point_t p, double permit) {
    double reach = permit + kBoundaryReachSlack;
    for (int i = 0; i < n; ++i) {
        point_t v = ring[i];
        point_t w = ring[i + 1];
        if (!may_be_within(p, v, w, reach))
            continue;
        if (mapgeom::plane_distance(p, v) < permit || mapgeom::plane_distance(p, w) < permit)
            return kAtVertex;
        if (calc_point_to_line_distance(p, v, w) < permit)
            return kOnEdge;
    }
    return kOutside;
}

// The edge v -> ring[next] ends on the ray below p. Walks on from there, past every vertex on the
// ray's line, and tells whether the boundary leaves on the other side from v's. At most n vertices
// are visited; when all lie on the line (a ring without area) nothing is counted.
bool crosses_at_vertex_on_ray(const point_t* ring, int n, int next, point_t v, point_t p,
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

int ray_crossings(const point_t* ring, int n, point_t p) {
    int crossings = 0;
    for (int i = 0; i < n; ++i) {
        point_t v = ring[i];
        point_t w = ring[i + 1];
        if (!(v.y < p.y || w.y < p.y) || directly_below(v, p))
            continue;
        double lowest_y = std::min(v.y, w.y);
        if (directly_below(w, p)) {
            if (crosses_at_vertex_on_ray(ring, n, (i + 1) % n, v, p, lowest_y))
                ++crossings;
        } else if (std::min(v.x, w.x) < p.x && p.x < std::max(v.x, w.x)) {
            point_t q{p.x, lowest_y - kRayReachPastEdge, 0.0};
            point_t out;
            if (relation_lines_cross_by_permit(&out, p, q, v, w, kRayPermit) == 0)
                ++crossings;
        }
    }
    return crossings;
}

}  // namespace

int relation_point_at_polygon_by_permit(const polygon_t* polygon, point_t p, double permit) {
    // Vertex i's successor is stored at i + 1: the closing point follows the last vertex.
    int n = com_polygon_num(polygon);
    const point_t* ring = polygon->geom.points;
    int boundary = boundary_code(ring, n, p, permit);
    if (boundary != kOutside)
        return boundary;
    return ray_crossings(ring, n, p) % 2 == 1 ? kInside : kOutside;
}

int relation_point_at_polygon(const polygon_t* polygon, point_t p) {
    return relation_point_at_polygon_by_permit(polygon, p, mapgeom::kDefaultPermit);
}
