// Ear-clipping triangulation: walks the ring clockwise and clips an ear (a convex vertex whose
// triangle with its live neighbours holds no other live vertex) until two vertices remain.
// Collinear middle vertices are dropped without a triangle. Needs a simple ring; a self-crossing
// one may run out of ears, and the walk then gives up after 256 attempts per vertex.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "com/boundary.h"
#include "com/tolerances.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "mapgeom/triangulate.h"
#include "relation/x_sweep.h"

namespace {

using mapgeom::sort_t;

// Three points whose doubled triangle area is below this are collinear: the middle one is dropped.
constexpr double kCollinearCross = 0.01;
// Coordinate units per arc-second: the convexity test works on coordinates divided by it, so the
// cross product stays small for coordinates of the whole world.
constexpr double kUnitsPerArcSecond = 2560.0;
// The walk gives up after this many attempts per vertex without finishing.
constexpr long long kAttemptsPerVertex = 256;
// A vertex closer than this to a triangle edge counts as inside it (relation_point_at_triangle).
constexpr double kInsidePermit = mapgeom::kDefaultPermit;
// Sorted windows of at most this many entries are scanned directly; wider ones ask the live tree.
constexpr int kDirectScanLimit = 48;
// A vertex farther than this beyond the line of an edge of the tested triangle is outside it
// without asking relation_point_at_triangle: far more than its permit and than rounding.
constexpr double kClearlyOutside = 1.0;
// Vertices per leaf of the live tree.
constexpr int kLeafSize = 8;

// A vertex's positions in the x-sorted and the y-sorted arrays.
struct polygon_sort_index {
    int x_position;
    int y_position;
};

// The live tree: boxes over runs of consecutive ring vertices (a ring's neighbours along the
// boundary are near in the plane, so the runs' boxes stay small), in a complete binary tree whose
// leaves hold kLeafSize vertices each. Every node counts the vertices of its run not yet clipped,
// so a query skips the parts of the ring already cut away. Built in linear time, without sorting.
// Node k has children 2k and 2k + 1; the leaves are nodes leaf_base .. leaf_base + leaves - 1.
struct live_node_t {
    double min_x, max_x, min_y, max_y;
    int live;
};

struct live_tree_t {
    int leaf_base;
    std::vector<live_node_t> nodes;
};

// Working state of one triangulation: the ring's vertices, the sorted index of the emptiness test,
// the removed-marks and, for walking, each live vertex's live neighbours.
struct ear_walk_t {
    const point_t* v;
    int n;
    std::vector<sort_t> by_x, by_y;
    std::vector<polygon_sort_index> positions;
    std::vector<int> removed;
    std::vector<int> next, prev;
    live_tree_t tree;
};

int is_triangle(point_t A, point_t B, point_t C) {
    double cross = (B.x - A.x) * (C.y - B.y) - (B.y - A.y) * (C.x - B.x);
    return cross < kCollinearCross && cross > -kCollinearCross ? 1 : 0;
}

int is_protruding(point_t A, point_t B, point_t C) {
    double ax = A.x / kUnitsPerArcSecond, ay = A.y / kUnitsPerArcSecond;
    double bx = B.x / kUnitsPerArcSecond, by = B.y / kUnitsPerArcSecond;
    double cx = C.x / kUnitsPerArcSecond, cy = C.y / kUnitsPerArcSecond;
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax) >= 0.0 ? 1 : 0;
}

// ---- live tree
// ------------------------------------------------------------------------------------

constexpr live_node_t kEmptyNode{0.0, 0.0, 0.0, 0.0, 0};

live_node_t merged(const live_node_t& a, const live_node_t& b) {
    if (a.live == 0 && b.live == 0)
        return kEmptyNode;
    if (a.live == 0)
        return b;
    if (b.live == 0)
        return a;
    return live_node_t{std::min(a.min_x, b.min_x), std::max(a.max_x, b.max_x),
                       std::min(a.min_y, b.min_y), std::max(a.max_y, b.max_y), a.live + b.live};
}

void build_live_tree(live_tree_t& tree, const point_t* v, int n) {
    const int leaves = (n + kLeafSize - 1) / kLeafSize;
    int base = 1;
    while (base < leaves)
        base *= 2;
    tree.leaf_base = base;
    tree.nodes.assign(2 * static_cast<size_t>(base), kEmptyNode);
    for (int i = 0; i < n; ++i) {
        live_node_t point{v[i].x, v[i].x, v[i].y, v[i].y, 1};
        live_node_t& leaf = tree.nodes[base + i / kLeafSize];
        leaf = merged(leaf, point);
    }
    for (int k = base - 1; k >= 1; --k)
        tree.nodes[k] = merged(tree.nodes[2 * k], tree.nodes[2 * k + 1]);
}

// Boxes keep their extent when vertices leave; only the counts go down.
void remove_from_live_tree(live_tree_t& tree, int vertex) {
    for (int k = tree.leaf_base + vertex / kLeafSize; k >= 1; k /= 2)
        --tree.nodes[k].live;
}

// One edge of the tested triangle, for the quick rejection of vertices far outside it. Tested
// triangles are ears of the clockwise walk, so their inside lies to the right of every edge.
struct edge_line_t {
    double x, y, dx, dy;
    double reach;  // the edge's length times kClearlyOutside
};

// The triangle (a, c, b) being tested and its bounding box, grown by kClosureTolerance.
struct triangle_query_t {
    int a, c, b;
    double min_x, max_x, min_y, max_y;
    edge_line_t edges[3];
};

edge_line_t edge_line(point_t from, point_t to) {
    double dx = to.x - from.x, dy = to.y - from.y;
    return edge_line_t{from.x, from.y, dx, dy, std::sqrt(dx * dx + dy * dy) * kClearlyOutside};
}

// Positive to the left of the edge: the distance from its line times its length.
double left_of(const edge_line_t& e, double x, double y) {
    return e.dx * (y - e.y) - e.dy * (x - e.x);
}

// True when p lies left of one edge's line by more than kClearlyOutside. The whole triangle lies
// right of that line, so p is that far from every point of it, and relation_point_at_triangle
// could only answer outside: the call is skipped.
bool clearly_outside(const triangle_query_t& q, point_t p) {
    for (const edge_line_t& e : q.edges)
        if (left_of(e, p.x, p.y) > e.reach)
            return true;
    return false;
}

// The same for the whole box of a tree node: its corner farthest to the right of an edge is still
// clearly left of it.
bool box_clearly_outside(const triangle_query_t& q, const live_node_t& box) {
    for (const edge_line_t& e : q.edges)
        if (left_of(e, e.dy < 0.0 ? box.min_x : box.max_x, e.dx > 0.0 ? box.min_y : box.max_y) >
            e.reach)
            return true;
    return false;
}

// A live vertex other than the corners, within the box, that relation_point_at_triangle finds
// inside the triangle or on its boundary.
bool vertex_inside(const ear_walk_t& walk, const triangle_query_t& q, int j) {
    if (walk.removed[j] || j == q.a || j == q.c || j == q.b)
        return false;
    const point_t& p = walk.v[j];
    if (p.x < q.min_x || p.x > q.max_x || p.y < q.min_y || p.y > q.max_y || clearly_outside(q, p))
        return false;
    return relation_point_at_triangle(p, walk.v[q.a], walk.v[q.c], walk.v[q.b], kInsidePermit) == 0;
}

bool live_tree_hit(const ear_walk_t& walk, const triangle_query_t& q, int k) {
    const live_node_t& node = walk.tree.nodes[k];
    if (node.live == 0 || node.max_x < q.min_x || node.min_x > q.max_x || node.max_y < q.min_y ||
        node.min_y > q.max_y || box_clearly_outside(q, node))
        return false;
    if (k >= walk.tree.leaf_base) {
        const int first = (k - walk.tree.leaf_base) * kLeafSize;
        const int last = std::min(first + kLeafSize, walk.n);
        for (int j = first; j < last; ++j)
            if (vertex_inside(walk, q, j))
                return true;
        return false;
    }
    return live_tree_hit(walk, q, 2 * k) || live_tree_hit(walk, q, 2 * k + 1);
}

// ---- emptiness test
// -------------------------------------------------------------------------------

struct window_t {
    int lo, hi;
};

// The sorted positions between the least and the greatest of the three, widened over neighbours
// whose key is within kClosureTolerance, so vertices sharing the bounding coordinate are gathered.
window_t widened_window(const std::vector<sort_t>& keys, int p0, int p1, int p2) {
    int lo = std::min(p0, std::min(p1, p2)), hi = std::max(p0, std::max(p1, p2));
    const int last = static_cast<int>(keys.size()) - 1;
    while (lo > 0 && keys[lo].key - keys[lo - 1].key < mapgeom::kClosureTolerance)
        --lo;
    while (hi < last && keys[hi + 1].key - keys[hi].key < mapgeom::kClosureTolerance)
        ++hi;
    return window_t{lo, hi};
}

// 1 when a live vertex other than a, c, b lies in triangle (a, c, b) or on its boundary.
//
// Only the vertices in the sparser of the two sorted windows are candidates. A wide window is
// answered by the live tree instead, with the same result: coordinates are whole units here (the
// repeated-point pass snaps them), so a vertex within the permit of the triangle lies in its
// bounding box, and the windows hold every vertex of the box; the tree finds the live ones in the
// box without walking past vertices already clipped.
int is_intriangle(const ear_walk_t& walk, int a, int c, int b) {
    const polygon_sort_index &pa = walk.positions[a], &pc = walk.positions[c],
                             &pb = walk.positions[b];
    window_t wx = widened_window(walk.by_x, pa.x_position, pc.x_position, pb.x_position);
    window_t wy = widened_window(walk.by_y, pa.y_position, pc.y_position, pb.y_position);
    bool scan_y = wx.hi - wx.lo > wy.hi - wy.lo;
    const std::vector<sort_t>& keys = scan_y ? walk.by_y : walk.by_x;
    window_t w = scan_y ? wy : wx;

    const point_t &A = walk.v[a], &C = walk.v[c], &B = walk.v[b];
    triangle_query_t q{};
    q.a = a, q.c = c, q.b = b;
    q.min_x = std::min(A.x, std::min(B.x, C.x)) - mapgeom::kClosureTolerance;
    q.max_x = std::max(A.x, std::max(B.x, C.x)) + mapgeom::kClosureTolerance;
    q.min_y = std::min(A.y, std::min(B.y, C.y)) - mapgeom::kClosureTolerance;
    q.max_y = std::max(A.y, std::max(B.y, C.y)) + mapgeom::kClosureTolerance;
    q.edges[0] = edge_line(A, C);
    q.edges[1] = edge_line(C, B);
    q.edges[2] = edge_line(B, A);
    if (w.hi - w.lo >= kDirectScanLimit)
        return live_tree_hit(walk, q, 1) ? 1 : 0;
    for (int k = w.lo; k <= w.hi; ++k)
        if (vertex_inside(walk, q, keys[k].index))
            return 1;
    return 0;
}

// ---- the walk
// -------------------------------------------------------------------------------------

// Bits per pass of the radix sort of the keys.
constexpr int kRadixBits = 8;

// Entries (i, x or y of vertex i), ascending by key. The keys are whole numbers within 32 bits
// (the repeated-point pass snaps and saturates them), so a stable radix sort over their 32-bit
// pattern orders them in linear time. Which of several equal keys comes first does not matter to
// the windows: one widened over keys within kClosureTolerance holds every entry of an equal key.
std::vector<sort_t> sorted_keys(const point_t* v, int n, bool by_x) {
    std::vector<sort_t> keys(n), spare(n);
    std::vector<std::uint32_t> bits(n), spare_bits(n);
    for (int i = 0; i < n; ++i) {
        double key = by_x ? v[i].x : v[i].y;
        keys[i] = sort_t{i, key};
        // Offset so that the unsigned order is the numeric order of the signed values.
        bits[i] = static_cast<std::uint32_t>(static_cast<std::int32_t>(key)) ^ 0x80000000u;
    }
    const std::uint32_t mask = (1u << kRadixBits) - 1u;
    std::vector<int> start(static_cast<size_t>(mask) + 2);
    for (int shift = 0; shift < 32; shift += kRadixBits) {
        std::fill(start.begin(), start.end(), 0);
        for (int i = 0; i < n; ++i)
            ++start[((bits[i] >> shift) & mask) + 1];
        for (size_t d = 1; d < start.size(); ++d)
            start[d] += start[d - 1];
        for (int i = 0; i < n; ++i) {
            int to = start[(bits[i] >> shift) & mask]++;
            spare[to] = keys[i];
            spare_bits[to] = bits[i];
        }
        keys.swap(spare);
        bits.swap(spare_bits);
    }
    return keys;
}

void build_index(ear_walk_t& walk) {
    const int n = walk.n;
    walk.by_x = sorted_keys(walk.v, n, true);
    walk.by_y = sorted_keys(walk.v, n, false);
    walk.positions.resize(n);
    for (int j = 0; j < n; ++j) {
        walk.positions[walk.by_x[j].index].x_position = j;
        walk.positions[walk.by_y[j].index].y_position = j;
    }
    walk.removed.assign(n, 0);
    walk.next.resize(n);
    walk.prev.resize(n);
    for (int i = 0; i < n; ++i) {
        walk.next[i] = (i + 1) % n;
        walk.prev[i] = (i + n - 1) % n;
    }
    build_live_tree(walk.tree, walk.v, n);
}

void remove_vertex(ear_walk_t& walk, int c) {
    walk.removed[c] = 1;
    walk.next[walk.prev[c]] = walk.next[c];
    walk.prev[walk.next[c]] = walk.prev[c];
    remove_from_live_tree(walk.tree, c);
}

void append_triangle(polygon_t* triangles, point_t A, point_t B, point_t C) {
    com_polygon_add(triangles, A);
    com_polygon_add(triangles, B);
    com_polygon_add(triangles, C);
}

int get_triangles(polygon_t* polygon, polygon_t* triangles) {
    if (relation_polygon_direction(polygon) == 0)
        com_polygon_reverse(polygon);
    const point_t* v = polygon->geom.points;
    const int n = com_polygon_num(polygon);
    if (n == 3) {
        append_triangle(triangles, v[0], v[1], v[2]);
        return 0;
    }

    ear_walk_t walk{};
    walk.v = v;
    walk.n = n;
    build_index(walk);
    // The walk never rereads a removed vertex: it steps along the live links, which is the same
    // as looking for the next vertex without a removed-mark.
    int remaining = n;
    long long attempts = 0;
    const long long attempt_limit = static_cast<long long>(n) * kAttemptsPerVertex;
    int p = 0;
    bool p_kept = true;  // after a removal the next attempt starts again from the same p
    while (remaining > 2) {
        if (++attempts >= attempt_limit)
            return -1;
        if (!p_kept)
            p = walk.next[p];
        p_kept = false;
        int c = walk.next[p];
        int q = walk.next[c];
        point_t A = v[p], B = v[c], C = v[q];
        if (is_triangle(A, B, C)) {
            remove_vertex(walk, c);
            --remaining;
            p_kept = true;
        } else if (is_protruding(A, B, C) == 0 && is_intriangle(walk, p, c, q) == 0) {
            append_triangle(triangles, A, B, C);
            remove_vertex(walk, c);
            --remaining;
            p_kept = true;
        }
    }
    return 0;
}

}  // namespace

int optimize_polygon_triangles(polygon_t* polygon, polygon_t* triangles) {
    return mapgeom::guarded(-1, [&] {
        if (polygon == nullptr || triangles == nullptr)
            return -1;
        if (optimize_polygon_del_repeatpts(polygon) < 3)
            return -1;
        return get_triangles(polygon, triangles);
    });
}
