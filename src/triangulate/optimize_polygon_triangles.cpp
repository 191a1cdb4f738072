// Ear-clipping triangulation: walks the ring clockwise and clips an ear (a convex vertex whose
// triangle with its live neighbours holds no other live vertex) until two vertices remain.
// Collinear middle vertices are dropped without a triangle. Needs a simple ring; a self-crossing
// one may run out of ears, and the walk then gives up after 256 attempts per vertex.
#include <algorithm>
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
// Vertices per leaf of the live tree.
constexpr int kLeafSize = 8;

// A vertex's positions in the x-sorted and the y-sorted arrays.
struct polygon_sort_index {
    int x_position;
    int y_position;
};

// A node of the live tree: a kd-tree over the vertices whose nodes count the vertices not yet
// clipped, so a query skips the parts of the ring already cut away. Node boxes are fixed at build.
struct live_node_t {
    double min_x, max_x, min_y, max_y;
    int lo, hi;  // the node's vertices: order[lo .. hi - 1]
    int left, right, parent;
    int live;
};

struct live_tree_t {
    std::vector<int> order;
    std::vector<int> leaf_of;  // per vertex, the leaf holding it
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

int build_live_node(live_tree_t& tree, const point_t* v, int lo, int hi, bool by_x, int parent) {
    live_node_t node{v[tree.order[lo]].x,
                     v[tree.order[lo]].x,
                     v[tree.order[lo]].y,
                     v[tree.order[lo]].y,
                     lo,
                     hi,
                     -1,
                     -1,
                     parent,
                     hi - lo};
    for (int k = lo + 1; k < hi; ++k) {
        const point_t& p = v[tree.order[k]];
        node.min_x = std::min(node.min_x, p.x), node.max_x = std::max(node.max_x, p.x);
        node.min_y = std::min(node.min_y, p.y), node.max_y = std::max(node.max_y, p.y);
    }
    int id = static_cast<int>(tree.nodes.size());
    tree.nodes.push_back(node);
    if (hi - lo <= kLeafSize) {
        for (int k = lo; k < hi; ++k)
            tree.leaf_of[tree.order[k]] = id;
        return id;
    }
    int mid = lo + (hi - lo) / 2;
    std::nth_element(tree.order.begin() + lo, tree.order.begin() + mid, tree.order.begin() + hi,
                     [v, by_x](int a, int b) {
                         double ka = by_x ? v[a].x : v[a].y, kb = by_x ? v[b].x : v[b].y;
                         return ka < kb || (ka == kb && a < b);
                     });
    int left = build_live_node(tree, v, lo, mid, !by_x, id);
    int right = build_live_node(tree, v, mid, hi, !by_x, id);
    tree.nodes[id].left = left;
    tree.nodes[id].right = right;
    return id;
}

void build_live_tree(live_tree_t& tree, const point_t* v, int n) {
    tree.order.resize(n);
    tree.leaf_of.resize(n);
    for (int i = 0; i < n; ++i)
        tree.order[i] = i;
    tree.nodes.reserve(4 * (n / kLeafSize + 1));
    build_live_node(tree, v, 0, n, true, -1);
}

void remove_from_live_tree(live_tree_t& tree, int vertex) {
    for (int id = tree.leaf_of[vertex]; id >= 0; id = tree.nodes[id].parent)
        --tree.nodes[id].live;
}

// A vertex to test against the triangle: live, not a corner, within the box.
struct triangle_query_t {
    int a, c, b;
    double min_x, max_x, min_y, max_y;
};

bool vertex_inside(const ear_walk_t& walk, const triangle_query_t& q, int j) {
    if (walk.removed[j] || j == q.a || j == q.c || j == q.b)
        return false;
    const point_t& p = walk.v[j];
    if (p.x < q.min_x || p.x > q.max_x || p.y < q.min_y || p.y > q.max_y)
        return false;
    return relation_point_at_triangle(p, walk.v[q.a], walk.v[q.c], walk.v[q.b], kInsidePermit) == 0;
}

bool live_tree_hit(const ear_walk_t& walk, const triangle_query_t& q, int id) {
    const live_node_t& node = walk.tree.nodes[id];
    if (node.live == 0 || node.max_x < q.min_x || node.min_x > q.max_x || node.max_y < q.min_y ||
        node.min_y > q.max_y)
        return false;
    if (node.left < 0) {
        for (int k = node.lo; k < node.hi; ++k)
            if (vertex_inside(walk, q, walk.tree.order[k]))
                return true;
        return false;
    }
    return live_tree_hit(walk, q, node.left) || live_tree_hit(walk, q, node.right);
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
    triangle_query_t q{a,
                       c,
                       b,
                       std::min(A.x, std::min(B.x, C.x)) - mapgeom::kClosureTolerance,
                       std::max(A.x, std::max(B.x, C.x)) + mapgeom::kClosureTolerance,
                       std::min(A.y, std::min(B.y, C.y)) - mapgeom::kClosureTolerance,
                       std::max(A.y, std::max(B.y, C.y)) + mapgeom::kClosureTolerance};
    if (w.hi - w.lo >= kDirectScanLimit)
        return live_tree_hit(walk, q, 0) ? 1 : 0;
    for (int k = w.lo; k <= w.hi; ++k)
        if (vertex_inside(walk, q, keys[k].index))
            return 1;
    return 0;
}

// ---- the walk
// -------------------------------------------------------------------------------------

std::vector<sort_t> sorted_keys(const point_t* v, int n, bool by_x) {
    std::vector<sort_t> keys(n);
    for (int i = 0; i < n; ++i)
        keys[i] = sort_t{i, by_x ? v[i].x : v[i].y};
    mapgeom::heap_sort(keys.data(), n,
                       [](const sort_t& l, const sort_t& r) { return l.key < r.key; });
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
