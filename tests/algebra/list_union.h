// The union of a polygon list both ways, as the list-union tests read it: as records with holes
// (multi_polygons_union) and as plain pieces with the holes cut out (algebra_multi_polygons_union).
#ifndef MAPGEOM_TESTS_ALGEBRA_LIST_UNION_H
#define MAPGEOM_TESTS_ALGEBRA_LIST_UNION_H

#include <cmath>
#include <string>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "ring_checks.h"

namespace list_union {

// Each record's hole count ("n " each), the records and holes, the area the records cover (outer
// rings less holes) and the plain pieces' area; and whatever is faulty in either, "" when nothing:
// a call not returning 0, an invalid ring, a hole not within its outer ring, a clockwise piece.
struct United {
    std::string holes, faulty;
    int polygons = 0, hole_count = 0;
    double records = 0.0, plain = 0.0;
};

inline United unite(polygons_t* in) {
    using testing_shapes::text_of;
    United u;
    polygons_expand_t out{};
    com_polygons_expand_init(&out);
    if (int code = multi_polygons_union(in, &out); code != 0)
        u.faulty += "multi_polygons_union returned " + std::to_string(code) + "\n";
    for (const polygon_expand_node_t* node = out.head; node != nullptr; node = node->next) {
        const polygon_t* outer = &node->polygon_expand.polygon;
        ++u.polygons;
        u.hole_count += node->polygon_expand.holes.num;
        u.holes += std::to_string(node->polygon_expand.holes.num) + " ";
        if (relation_polygon_iserror(outer) != 0)
            u.faulty += text_of(&outer->geom) + "\n";
        u.faulty += testing_shapes::faulty_rings(&node->polygon_expand.holes);
        u.records += std::fabs(testing_shapes::plane_signed_area(&outer->geom));
        for (const polygon_node_t* h = node->polygon_expand.holes.head; h != nullptr; h = h->next) {
            const int code = relation_polygon_and_polygon(outer, &h->polygon);
            if (code != 2 && code != 5 && code != 8)
                u.faulty += "hole lying " + std::to_string(code) + ": " + text_of(&h->polygon.geom);
            u.records -= std::fabs(testing_shapes::plane_signed_area(&h->polygon.geom));
        }
    }
    com_polygons_expand_free(&out);
    testing_shapes::Polygons plain;
    if (int code = algebra_multi_polygons_union(in, plain.get()); code != 0)
        u.faulty += "algebra_multi_polygons_union returned " + std::to_string(code) + "\n";
    u.faulty += testing_shapes::faulty_rings(plain.get(), true);
    u.plain = testing_shapes::area_sum(plain.get());
    return u;
}

}  // namespace list_union

#endif  // MAPGEOM_TESTS_ALGEBRA_LIST_UNION_H
