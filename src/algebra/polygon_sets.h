// Polygons with holes: the sorting of a polygon's rings into its outer ring and holes (shared by
// the hole cutting and the union of polygon lists), their area check, and the union's partner
// search switch.
#ifndef MAPGEOM_SRC_ALGEBRA_POLYGON_SETS_H
#define MAPGEOM_SRC_ALGEBRA_POLYGON_SETS_H

#include "mapgeom/com.h"

namespace mapgeom {

// Sorts the rings of a polygon with holes: the first ring and, in order, each further ring whose
// extent nests with the first's are compared (relation_polygon_and_polygon) until one of the two
// holds the other; that one goes to `outer`, every other ring to `inners` in list order (the first
// ring in its turn when a later one holds it). Rings are added as deep copies with `copies`, else
// by value (sharing their points with `rings`). Returns 0, or -1 when no ring holds another (the
// first ring is then in neither list). Rings without stored points are passed over (in neither
// list), the first one included.
int sort_outer_and_inners(const polygons_t* rings, polygons_t* outer, polygons_t* inners,
                          bool copies);

// Twice the signed (shoelace) area of the ring through the points, closed from the last back to
// the first (a closing point repeating the first adds nothing): positive counter-clockwise.
inline double twice_signed_area(const point_t* points, int count) {
    double twice = 0.0;
    for (int i = 0; i < count; ++i) {
        const point_t &p = points[i], &q = points[i + 1 < count ? i + 1 : 0];
        twice += p.x * q.y - q.x * p.y;
    }
    return twice;
}

// How the union of a polygon list finds the partner of a record: through a grid over the records'
// extents (what the entry points use), or by scanning the whole work list (the reference the grid
// must agree with, partner for partner).
enum class PartnerSearch { kExtentGrid, kPlainScan };

// multi_polygons_union with the given partner search.
void union_polygon_list(const polygons_t* in, polygons_expand_t* out, PartnerSearch search);

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_POLYGON_SETS_H
