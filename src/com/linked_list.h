// Node handling shared by the three doubly linked shape lists (polygons, polylines, polygons with
// holes): every list has head/tail/num and every node next/prev, so one template serves all three.
#ifndef MAPGEOM_SRC_COM_LINKED_LIST_H
#define MAPGEOM_SRC_COM_LINKED_LIST_H

#include <cstdlib>

namespace mapgeom {

// Walks from the head; indexing is linear by design (no cached cursor).
template <typename List>
auto node_at(const List* list, int index) {
    auto node = list->head;
    for (int i = 0; i < index; ++i)
        node = node->next;
    return node;
}

// A fresh node holding `element` by value, not yet linked.
template <typename Node, typename Element>
Node* new_node(Element Node::*member, const Element& element) {
    Node* node = static_cast<Node*>(std::malloc(sizeof(Node)));
    node->*member = element;
    node->next = nullptr;
    node->prev = nullptr;
    return node;
}

template <typename List, typename Node>
void link_at_tail(List* list, Node* node) {
    node->next = nullptr;
    node->prev = list->tail;
    if (list->tail == nullptr)
        list->head = node;
    else
        list->tail->next = node;
    list->tail = node;
    ++list->num;
}

// Links node in before `at` (an existing node); it becomes the head when `at` was the head.
template <typename List, typename Node>
void link_before(List* list, Node* at, Node* node) {
    node->next = at;
    node->prev = at->prev;
    if (at->prev == nullptr)
        list->head = node;
    else
        at->prev->next = node;
    at->prev = node;
    ++list->num;
}

// Takes node out of the list and clears its links; the caller releases it.
template <typename List, typename Node>
void unlink(List* list, Node* node) {
    if (node->prev == nullptr)
        list->head = node->next;
    else
        node->prev->next = node->next;
    if (node->next == nullptr)
        list->tail = node->prev;
    else
        node->next->prev = node->prev;
    node->next = nullptr;
    node->prev = nullptr;
    --list->num;
}

// Releases every node, first handing each to release_element (which may do nothing).
template <typename List, typename ReleaseElement>
void free_all_nodes(List* list, ReleaseElement release_element) {
    auto node = list->head;
    while (node != nullptr) {
        auto next = node->next;
        release_element(node);
        std::free(node);
        node = next;
    }
    list->head = nullptr;
    list->tail = nullptr;
    list->num = 0;
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_COM_LINKED_LIST_H
