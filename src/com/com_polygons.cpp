// Polygon lists (polygons_t): shallow and deep insertion, indexed access, removal, release; and the
// release of malloc'd polygon chains.
#include <cstdlib>

#include "check.h"
#include "linked_list.h"
#include "mapgeom/com.h"

namespace {

polygon_t deep_copy(const polygon_t& polygon) {
    polygon_t copy{};
    com_polygon_polygon(&copy, &polygon);
    return copy;
}

void add_node(polygons_t* polygons, const polygon_t& polygon) {
    mapgeom::link_at_tail(polygons, mapgeom::new_node(&polygon_node_t::polygon, polygon));
}

void insert_node(polygons_t* polygons, int index, const polygon_t& polygon) {
    MAPGEOM_CHECK(index <= polygons->num && index >= 0);
    if (polygons->num == 0 || index == polygons->num) {
        add_node(polygons, polygon);
        return;
    }
    polygon_node_t* node = mapgeom::new_node(&polygon_node_t::polygon, polygon);
    mapgeom::link_before(polygons, mapgeom::node_at(polygons, index), node);
}

}  // namespace

void com_polygons_init(polygons_t* polygons) {
    polygons->head = nullptr;
    polygons->tail = nullptr;
    polygons->num = 0;
}

int com_polygons_num(const polygons_t* polygons) {
    return polygons->num;
}

polygon_t com_polygons_front(const polygons_t* polygons) {
    return polygons->head->polygon;
}

polygon_t com_polygons_last(const polygons_t* polygons) {
    return polygons->tail->polygon;
}

polygon_t com_polygons_at(const polygons_t* polygons, int index) {
    MAPGEOM_CHECK(index < polygons->num && index >= 0);
    return mapgeom::node_at(polygons, index)->polygon;
}

polygon_t* com_polygons_at_pointer(const polygons_t* polygons, int index) {
    MAPGEOM_CHECK(index < polygons->num && index >= 0);
    return &mapgeom::node_at(polygons, index)->polygon;
}

void com_polygons_add(polygons_t* polygons, polygon_t polygon) {
    add_node(polygons, polygon);
}

void com_polygons_add_copy(polygons_t* polygons, polygon_t polygon) {
    add_node(polygons, deep_copy(polygon));
}

void com_polygons_addrange(polygons_t* polygons, const polygons_t* src) {
    for (const polygon_node_t* node = src->head; node != nullptr; node = node->next)
        add_node(polygons, node->polygon);
}

void com_polygons_addrange_copy(polygons_t* polygons, const polygons_t* src) {
    for (const polygon_node_t* node = src->head; node != nullptr; node = node->next)
        add_node(polygons, deep_copy(node->polygon));
}

void com_polygons_insertat(polygons_t* polygons, int index, polygon_t polygon) {
    insert_node(polygons, index, polygon);
}

void com_polygons_insertat_copy(polygons_t* polygons, int index, polygon_t polygon) {
    MAPGEOM_CHECK(index <= polygons->num && index >= 0);
    insert_node(polygons, index, deep_copy(polygon));
}

void com_polygons_setat(polygons_t* polygons, int index, polygon_t polygon) {
    polygon_t* element = com_polygons_at_pointer(polygons, index);
    com_polygon_free(element);
    com_polygon_polygon(element, &polygon);
}

void com_polygons_removeat(polygons_t* polygons, int index) {
    MAPGEOM_CHECK(index < polygons->num && index >= 0);
    polygon_node_t* node = mapgeom::node_at(polygons, index);
    mapgeom::unlink(polygons, node);
    com_polygon_free(&node->polygon);
    std::free(node);
}

polygon_t* com_polygons_at_remove(polygons_t* polygons, int index) {
    MAPGEOM_CHECK(index < polygons->num && index >= 0);
    polygon_t* copy = nullptr;
    com_polygon_polygon_pointer(&copy, &mapgeom::node_at(polygons, index)->polygon);
    com_polygons_removeat(polygons, index);
    return copy;
}

void com_polygons_clear(polygons_t* polygons) {
    for (polygon_node_t* node = polygons->head; node != nullptr; node = node->next)
        com_polygon_clear(&node->polygon);
}

void com_polygons_free(polygons_t* polygons) {
    mapgeom::free_all_nodes(polygons,
                            [](polygon_node_t* node) { com_polygon_free(&node->polygon); });
}

void com_polygons_free_node(polygons_t* polygons) {
    mapgeom::free_all_nodes(polygons, [](polygon_node_t*) {});
}

void algebra_polygons_free(polygon_t** first) {
    while (*first != nullptr) {
        polygon_t* polygon = *first;
        *first = polygon->next;
        com_polygon_free(polygon);
        com_polygon_free_pointer(polygon);
    }
}
