// Lists of polygons with holes (polygons_expand_t): each element owns its outer ring and hole list.
#include <cstdlib>

#include "check.h"
#include "linked_list.h"
#include "mapgeom/com.h"

namespace {

void release_element(polygon_expand_t* element) {
    com_polygon_free(&element->polygon);
    com_polygons_free(&element->holes);
}

}  // namespace

void com_polygons_expand_init(polygons_expand_t* polygons_expand) {
    polygons_expand->head = nullptr;
    polygons_expand->tail = nullptr;
    polygons_expand->num = 0;
}

int com_polygons_expand_num(const polygons_expand_t* polygons_expand) {
    return polygons_expand->num;
}

void com_polygons_expand_add(polygons_expand_t* polygons_expand, polygon_expand_t polygon) {
    mapgeom::link_at_tail(polygons_expand,
                          mapgeom::new_node(&polygon_expand_node_t::polygon_expand, polygon));
}

polygon_expand_t com_polygons_expand_at(const polygons_expand_t* polygons_expand, int index) {
    MAPGEOM_CHECK(index < polygons_expand->num && index >= 0);
    return mapgeom::node_at(polygons_expand, index)->polygon_expand;
}

polygon_expand_t* com_polygons_expand_at_pointer(const polygons_expand_t* polygons_expand,
                                                 int index) {
    MAPGEOM_CHECK(index < polygons_expand->num && index >= 0);
    return &mapgeom::node_at(polygons_expand, index)->polygon_expand;
}

void com_polygons_expand_removeat(polygons_expand_t* polygons_expand, int index) {
    MAPGEOM_CHECK(index < polygons_expand->num && index >= 0);
    polygon_expand_node_t* node = mapgeom::node_at(polygons_expand, index);
    mapgeom::unlink(polygons_expand, node);
    release_element(&node->polygon_expand);
    std::free(node);
}

polygon_expand_t com_polygons_expand_at_remove(polygons_expand_t* polygons_expand, int index) {
    MAPGEOM_CHECK(index < polygons_expand->num && index >= 0);
    polygon_expand_node_t* node = mapgeom::node_at(polygons_expand, index);
    polygon_expand_t element = node->polygon_expand;
    mapgeom::unlink(polygons_expand, node);
    std::free(node);
    return element;
}

void com_polygons_expand_free(polygons_expand_t* polygons_expand) {
    mapgeom::free_all_nodes(polygons_expand, [](polygon_expand_node_t* node) {
        release_element(&node->polygon_expand);
    });
}

void com_polygons_expand_free_node(polygons_expand_t* polygons_expand) {
    mapgeom::free_all_nodes(polygons_expand, [](polygon_expand_node_t*) {});
}
