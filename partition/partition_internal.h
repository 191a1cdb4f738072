// Pieces shared by the steps of the convex decomposition: exact integer predicates and the
// half-edge record that the ear clipping fills and the convex merge rewires.
#ifndef MAPGEOM_PARTITION_PARTITION_INTERNAL_H
#define MAPGEOM_PARTITION_PARTITION_INTERNAL_H

#include <cstdint>
#include <vector>

namespace mapgeom_partition {

// Coordinates are accepted up to this magnitude (the integers a double holds exactly): differences
// then fit 54 bits, products 108 bits, and the signed area of 65,535 vertices stays below 2^125,
// so every predicate below is exact in 128-bit integers.
constexpr int64_t kMaxCoordinate = int64_t(1) << 53;

__extension__ typedef __int128 Wide;

struct Vertex {
    int64_t x;
    int64_t y;
};

inline bool operator==(Vertex a, Vertex b) {
    return a.x == b.x && a.y == b.y;
}

// Twice the signed area of triangle a, b, c: positive when it turns left (counter-clockwise).
inline Wide cross(Vertex a, Vertex b, Vertex c) {
    return Wide(b.x - a.x) * Wide(c.y - a.y) - Wide(b.y - a.y) * Wide(c.x - a.x);
}

inline Wide dot(Vertex a, Vertex b, Vertex c) {
    return Wide(b.x - a.x) * Wide(c.x - b.x) + Wide(b.y - a.y) * Wide(c.y - b.y);
}

// Whether the boundary a -> b -> c keeps a piece convex at b: a left turn, or straight on (not
// doubling back).
inline bool convex_or_straight(Vertex a, Vertex b, Vertex c) {
    Wide turn = cross(a, b, c);
    return turn > 0 || (turn == 0 && dot(a, b, c) > 0);
}

// Triangles as half-edges: triangle t owns half-edges 3t, 3t + 1 and 3t + 2, running from its
// first, second and third vertex to the next. twin is the opposite half-edge across a diagonal,
// -1 along the ring. next and prev link the half-edges of a piece; the merge rewires them and
// marks the removed diagonals dead.
struct HalfEdges {
    std::vector<int> origin;  // vertex index in the ring
    std::vector<int> twin;
    std::vector<int> next;
    std::vector<int> prev;
    std::vector<char> alive;

    int size() const { return static_cast<int>(origin.size()); }
    int destination(int h) const { return origin[next[h]]; }
};

// Ear-clips the counter-clockwise simple ring into ring.size() - 2 triangles. Returns false when no
// ear is left before the end (a ring that is not simple, or has zero area).
bool ear_clip(const std::vector<Vertex>& ring, HalfEdges* triangles);

// Merges the triangles across diagonals while the pieces stay convex, and returns each piece as
// its ring vertex indices, counter-clockwise.
std::vector<std::vector<int>> merge_into_convex_pieces(const std::vector<Vertex>& ring,
                                                       HalfEdges* edges);

}  // namespace mapgeom_partition

#endif  // MAPGEOM_PARTITION_PARTITION_INTERNAL_H
