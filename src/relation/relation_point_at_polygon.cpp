// Where a point lies with respect to a closed polygon: at a vertex, on an edge, inside or outside.
// A plain scan of every edge in both passes (point_at_polygon_internal.h); the prepared locator of
// ring_locator.h gives the same codes for many points against one ring.
#include "mapgeom/relation.h"
#include "relation/point_at_polygon_internal.h"

namespace {

int boundary_code(const point_t* ring, int n, point_t p, double permit) {
    double reach = mapgeom::boundary_reach(permit);
    for (int i = 0; i < n; ++i) {
        int code = mapgeom::edge_boundary_code(ring, i, p, permit, reach);
        if (code != mapgeom::kPointOutside)
            return code;
    }
    return mapgeom::kPointOutside;
}

int ray_crossings(const point_t* ring, int n, point_t p) {
    int crossings = 0;
    for (int i = 0; i < n; ++i)
        if (mapgeom::edge_crosses_ray_below(ring, n, i, p))
            ++crossings;
    return crossings;
}

}  // namespace

int relation_point_at_polygon_by_permit(const polygon_t* polygon, point_t p, double permit) {
    // Vertex i's successor is stored at i + 1: the closing point follows the last vertex.
    int n = com_polygon_num(polygon);
    const point_t* ring = polygon->geom.points;
    int boundary = boundary_code(ring, n, p, permit);
    if (boundary != mapgeom::kPointOutside)
        return boundary;
    return ray_crossings(ring, n, p) % 2 == 1 ? mapgeom::kPointInside : mapgeom::kPointOutside;
}

int relation_point_at_polygon(const polygon_t* polygon, point_t p) {
    return relation_point_at_polygon_by_permit(polygon, p, mapgeom::kDefaultPermit);
}
