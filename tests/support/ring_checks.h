// Checks every test of an operation that appends rings makes: the rings' signed areas, and which
// rings fail the validity check (or run clockwise where they must not).
#ifndef MAPGEOM_TESTS_SUPPORT_RING_CHECKS_H
#define MAPGEOM_TESTS_SUPPORT_RING_CHECKS_H

#include <algorithm>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "shape_text.h"

namespace testing_shapes {

// Signed (shoelace) areas of the rings of `list` from index `first` on, ascending.
inline std::vector<double> signed_areas(const polygons_t* list, int first = 0) {
    std::vector<double> areas;
    for (int k = first; k < com_polygons_num(list); ++k)
        areas.push_back(plane_signed_area(&com_polygons_at_pointer(list, k)->geom));
    std::sort(areas.begin(), areas.end());
    return areas;
}

// Their sum: the area covered when outer outlines run counter-clockwise and holes clockwise.
inline double area_sum(const polygons_t* list, int first = 0) {
    double sum = 0.0;
    for (double area : signed_areas(list, first))
        sum += area;
    return sum;
}

// The rings of `list` from index `first` on that relation_polygon_iserror rejects, or that run
// clockwise when `counter_clockwise` is asked for, each with its code; "" when there is none.
inline std::string faulty_rings(const polygons_t* list, bool counter_clockwise = false,
                                int first = 0) {
    std::string faulty;
    for (int k = first; k < com_polygons_num(list); ++k) {
        const polygon_t* ring = com_polygons_at_pointer(list, k);
        int code = relation_polygon_iserror(ring);
        if (code != 0 || (counter_clockwise && relation_polygon_direction(ring) != 0))
            faulty += "[" + std::to_string(code) + "] " + text_of(&ring->geom) + "\n";
    }
    return faulty;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_RING_CHECKS_H
