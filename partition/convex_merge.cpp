// Hertel-Mehlhorn merge: triangles joined across their shared diagonals while the joined piece
// stays convex. Removing a diagonal changes the angles only at its two ends, so checking those two
// keeps every piece convex; no remaining diagonal can be removed at the end, which bounds the
// number of pieces by four times the fewest possible. Ring edges have no twin and are never
// removed, so each stays an edge of exactly one piece.
#include "partition_internal.h"

namespace mapgeom_partition {
namespace {

// Whether removing diagonal h (u -> v, twin g = v -> u) leaves the joined piece convex at u and v.
bool removal_keeps_convex(const std::vector<Vertex>& ring, const HalfEdges& e, int h) {
    int g = e.twin[h];
    Vertex u = ring[e.origin[h]], v = ring[e.origin[g]];
    // At u the joined piece arrives along h's predecessor and leaves along g's successor.
    Vertex before_u = ring[e.origin[e.prev[h]]], after_u = ring[e.destination(e.next[g])];
    Vertex before_v = ring[e.origin[e.prev[g]]], after_v = ring[e.destination(e.next[h])];
    return convex_or_straight(before_u, u, after_u) && convex_or_straight(before_v, v, after_v);
}

void remove_diagonal(HalfEdges* e, int h) {
    int g = e->twin[h];
    int h_prev = e->prev[h], h_next = e->next[h];
    int g_prev = e->prev[g], g_next = e->next[g];
    e->next[h_prev] = g_next;
    e->prev[g_next] = h_prev;
    e->next[g_prev] = h_next;
    e->prev[h_next] = g_prev;
    e->alive[h] = 0;
    e->alive[g] = 0;
}

}  // namespace

std::vector<std::vector<int>> merge_into_convex_pieces(const std::vector<Vertex>& ring,
                                                       HalfEdges* edges) {
    for (int h = 0; h < edges->size(); ++h) {
        int g = edges->twin[h];
        if (g > h && removal_keeps_convex(ring, *edges, h))
            remove_diagonal(edges, h);
    }
    std::vector<std::vector<int>> pieces;
    std::vector<char> seen(edges->size(), 0);
    for (int h = 0; h < edges->size(); ++h) {
        if (!edges->alive[h] || seen[h])
            continue;
        std::vector<int> piece;
        for (int k = h; !seen[k]; k = edges->next[k]) {
            seen[k] = 1;
            piece.push_back(edges->origin[k]);
        }
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

}  // namespace mapgeom_partition
