// Polyline lists (polylines_t) with their polygon_rec grouping table; and the release of malloc'd
// polyline chains.
#include <cstdlib>
#include <cstring>

#include "check.h"
#include "linked_list.h"
#include "mapgeom/com.h"

namespace {

constexpr int kPolygonRecInitialCapacity = 20;

polyline_t deep_copy(const polyline_t& polyline) {
    polyline_t copy{};
    com_polyline_polyline(&copy, &polyline);
    return copy;
}

void add_node(polylines_t* polylines, const polyline_t& polyline) {
    mapgeom::link_at_tail(polylines, mapgeom::new_node(&polyline_node_t::polyline, polyline));
}

// Polylines insert only before an existing node: there is no append case.
void insert_node(polylines_t* polylines, int index, const polyline_t& polyline) {
    MAPGEOM_CHECK(index < polylines->num && index >= 0);
    polyline_node_t* node = mapgeom::new_node(&polyline_node_t::polyline, polyline);
    mapgeom::link_before(polylines, mapgeom::node_at(polylines, index), node);
}

void forget_polygon_rec(polylines_t* polylines) {
    polylines->polygon_rec = nullptr;
    polylines->polygon_rec_num = 0;
    polylines->polygon_rec_capacity = 0;
}

}  // namespace

void com_polylines_init(polylines_t* polylines) {
    polylines->head = nullptr;
    polylines->tail = nullptr;
    polylines->num = 0;
    forget_polygon_rec(polylines);
}

int com_polylines_num(const polylines_t* polylines) {
    return polylines->num;
}

polyline_t com_polylines_front(const polylines_t* polylines) {
    return polylines->head->polyline;
}

polyline_t com_polylines_last(const polylines_t* polylines) {
    return polylines->tail->polyline;
}

polyline_t com_polylines_at(const polylines_t* polylines, int index) {
    MAPGEOM_CHECK(index < polylines->num && index >= 0);
    return mapgeom::node_at(polylines, index)->polyline;
}

polyline_t* com_polylines_at_pointer(const polylines_t* polylines, int index) {
    MAPGEOM_CHECK(index < polylines->num && index >= 0);
    return &mapgeom::node_at(polylines, index)->polyline;
}

void com_polylines_add(polylines_t* polylines, polyline_t polyline) {
    add_node(polylines, polyline);
}

void com_polylines_add_copy(polylines_t* polylines, polyline_t polyline) {
    add_node(polylines, deep_copy(polyline));
}

void com_polylines_addrange(polylines_t* polylines, const polylines_t* src) {
    for (const polyline_node_t* node = src->head; node != nullptr; node = node->next)
        add_node(polylines, node->polyline);
}

void com_polylines_addrange_copy(polylines_t* polylines, const polylines_t* src) {
    for (const polyline_node_t* node = src->head; node != nullptr; node = node->next)
        add_node(polylines, deep_copy(node->polyline));
}

void com_polylines_insertat(polylines_t* polylines, int index, polyline_t polyline) {
    insert_node(polylines, index, polyline);
}

void com_polylines_insertat_copy(polylines_t* polylines, int index, polyline_t polyline) {
    MAPGEOM_CHECK(index < polylines->num && index >= 0);
    insert_node(polylines, index, deep_copy(polyline));
}

void com_polylines_setat(polylines_t* polylines, int index, polyline_t polyline) {
    polyline_t* element = com_polylines_at_pointer(polylines, index);
    com_polyline_free(element);
    com_polyline_polyline(element, &polyline);
}

void com_polylines_removeat(polylines_t* polylines, int index) {
    MAPGEOM_CHECK(index < polylines->num && index >= 0);
    polyline_node_t* node = mapgeom::node_at(polylines, index);
    mapgeom::unlink(polylines, node);
    com_polyline_free(&node->polyline);
    std::free(node);
}

void com_polylines_clear(polylines_t* polylines) {
    for (polyline_node_t* node = polylines->head; node != nullptr; node = node->next)
        com_polyline_clear(&node->polyline);
}

void com_polylines_free(polylines_t* polylines) {
    if (polylines->polygon_rec_capacity != 0)
        std::free(polylines->polygon_rec);
    forget_polygon_rec(polylines);
    mapgeom::free_all_nodes(polylines,
                            [](polyline_node_t* node) { com_polyline_free(&node->polyline); });
}

// Releases the nodes only; the grouping table is forgotten, not released (no caller combines the
// table with a list whose points belong elsewhere).
void com_polylines_free_node(polylines_t* polylines) {
    mapgeom::free_all_nodes(polylines, [](polyline_node_t*) {});
    forget_polygon_rec(polylines);
}

void com_polylines_init_polygon_rec(polylines_t* polylines) {
    polylines->polygon_rec =
        static_cast<int*>(std::calloc(kPolygonRecInitialCapacity, sizeof(int)));
    polylines->polygon_rec_capacity = kPolygonRecInitialCapacity;
}

// Callers write entries 1, 2, 3 ... in order, so one doubling suffices for them; an index further
// out (or a table never made) keeps doubling from the initial size rather than writing past the
// end.
void com_polylines_add_int(polylines_t* polylines, int index, int value) {
    MAPGEOM_CHECK(index >= 0);
    if (polylines->polygon_rec_capacity <= index) {
        int old_capacity = polylines->polygon_rec_capacity;
        int capacity = old_capacity > 0 ? old_capacity * 2 : kPolygonRecInitialCapacity;
        while (capacity <= index)
            capacity *= 2;
        polylines->polygon_rec =
            static_cast<int*>(std::realloc(polylines->polygon_rec, sizeof(int) * capacity));
        std::memset(polylines->polygon_rec + old_capacity, 0,
                    sizeof(int) * (capacity - old_capacity));
        polylines->polygon_rec_capacity = capacity;
    }
    polylines->polygon_rec[index] = value;
    ++polylines->polygon_rec_num;
}

void algebra_polylines_free(polyline_t** first) {
    while (*first != nullptr) {
        polyline_t* polyline = *first;
        *first = polyline->next;
        com_polyline_free(polyline);
        std::free(polyline);
    }
}
