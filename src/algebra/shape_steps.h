// Small steps the overlay, clipping, repair and split units share: point coincidence, midpoints and
// the side of a stretch, taking rings out of lists and dropping repeated points of working copies.
#ifndef MAPGEOM_SRC_ALGEBRA_SHAPE_STEPS_H
#define MAPGEOM_SRC_ALGEBRA_SHAPE_STEPS_H

#include <cstdlib>

#include "com/linked_list.h"
#include "com/tolerances.h"
#include "mapgeom/com.h"
#include "mapgeom/measure.h"
#include "relation/ring_locator.h"

namespace mapgeom {

inline bool same_point(point_t a, point_t b) {
    return com_points_same(a, b) == 0;
}

inline point_t midpoint(point_t a, point_t b) {
    return calc_plough_around_point(a, b, a);
}

// Band of the midpoint tests of the split operations, which tell whether a stretch of a cutting
// line runs inside, outside or along a boundary.
constexpr double kStretchPermit = 1e-6;

// Where the stretch from a to b runs relative to the locator's ring: the point-in-polygon code
// (0 outside, 1 inside, 2 on an edge, 3 at a vertex) of its midpoint.
inline int stretch_side(RingLocator* ring, point_t a, point_t b) {
    return locate_in_ring(ring, midpoint(a, b), kStretchPermit);
}

// Takes the first ring out of a non-empty list, handing its storage to the caller.
polygon_t take_front(polygons_t* list);

// Removes from a shape list, in order, every node for which bad(node) is true, releasing its
// shape with release(node).
template <typename List, typename Bad, typename Release>
void remove_nodes_where(List* list, Bad bad, Release release) {
    auto node = list->head;
    while (node != nullptr) {
        auto next = node->next;
        if (bad(node)) {
            unlink(list, node);
            release(node);
            std::free(node);
        }
        node = next;
    }
}

// Removes from a list of result rings every ring whose vertices all lie on one line (what
// relation_polygon_iserror reports as code 5): snapping the new vertices of a piece thinner than a
// unit to whole units can flatten it, and a flat ring bounds nothing.
void drop_flat_rings(polygons_t* list);

// The mending of rings walked with their crossings snapped to whole units (the union's outlines,
// the intersection's and difference's rings, holes the list union carries): a ring that touches or
// crosses itself is replaced by its repaired pieces, rings of too few vertices or on one line are
// dropped, others stay. Returns whether every ring left is valid.
bool mend_snapped_result_rings(polygons_t* rings);

// Removes every point that is the same as the point kept before it, so that no edge of a working
// copy has zero length; the first point stays.
inline void drop_repeated_points(geom_t* g) {
    int kept = g->count > 0 ? 1 : 0;
    for (int k = 1; k < g->count; ++k)
        if (!same_point(g->points[k], g->points[kept - 1]))
            g->points[kept++] = g->points[k];
    g->count = kept;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_SHAPE_STEPS_H
