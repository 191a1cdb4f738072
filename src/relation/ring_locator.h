// A closed ring prepared for locating many points against it: the same codes as
// relation_point_at_polygon_by_permit for every point and permit, in about O(log n + the edges near
// the point + the edges below it) per point instead of a scan of all n edges.
#ifndef MAPGEOM_SRC_RELATION_RING_LOCATOR_H
#define MAPGEOM_SRC_RELATION_RING_LOCATOR_H

#include <vector>

#include "mapgeom/com.h"

namespace mapgeom {

// An edge's box, its x range grown by twice the ray's tolerance (every p.x that may let the edge
// count for the downward ray lies within it), relative to the slabs' origin and in single precision
// rounded outward: the box only proposes edges to the exact per-edge tests, so a box that holds the
// exact one proposes every edge it would, in half the memory. (Rounding is monotonic, so a point
// within the exact box lies, relative to the origin, within the stored one; the origin, a vertex of
// the ring, keeps the stored boxes as tight as the ring's extent allows.)
struct SlabEntry {
    float min_x;
    float max_x;
    float min_y;
    float max_y;
    int edge;
};

// Vertical slabs, cut at quantiles of the edges' left ends, each listing every edge whose grown x
// range meets it, by lower y. A point's ray visits only the point's slab, up to the point's y; the
// boundary pass visits the slabs its window meets, up to the window's top.
struct EdgeSlabs {
    double origin_x = 0.0;  // boxes, cuts and queries are relative to this point
    double origin_y = 0.0;
    std::vector<double> cuts;        // ascending: slab s holds cuts[s - 1] <= x < cuts[s]
    std::vector<int> first;          // slab s lists entries[first[s]] .. entries[first[s + 1] - 1]
    std::vector<SlabEntry> entries;  // a few per edge in all
};

// The ring must keep its points (no insertion, no reallocation) while its locator is used. The
// first few dozen points (and every point of a small ring) are located by a plain scan; then slabs
// built once, in about O(n log n), propose the edges to visit. A locator made for a few points thus
// costs what the scan costs. Throws nothing: short of memory, it scans. Not for use by several
// threads at once (it keeps scratch space).
struct RingLocator {
    const polygon_t* ring;
    int box_ring = -1;  // whether the ring is an axis-parallel rectangle (box), once asked
    double box[4] = {0.0, 0.0, 0.0, 0.0};  // its min x, min y, max x, max y
    int scans = 0;
    bool indexed = false;
    EdgeSlabs slabs;
    std::vector<int> unlisted;  // edges with a non-finite coordinate: visited for every point
    std::vector<int> hits;      // scratch of the boundary pass

    explicit RingLocator(const polygon_t* polygon) : ring(polygon) {}
};

// relation_point_at_polygon_by_permit(locator->ring, p, permit), through the locator.
int locate_in_ring(RingLocator* locator, point_t p, double permit);

// Builds the slabs now, whatever the ring's size, instead of on demand (may throw std::bad_alloc).
void index_ring(RingLocator* locator);

// Tells the locator about how many points it will be asked for: when that is more than it would
// scan before building its slabs, it builds them now (if the ring is large enough to index), and
// spares the scans. Throws nothing: short of memory, it scans as before.
void expect_points(RingLocator* locator, long count);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_RING_LOCATOR_H
