// Ear clipping of a counter-clockwise simple ring into triangles with shared-diagonal links.
//
// The remaining ring is a doubly linked list. A vertex is an ear when it turns strictly left and no
// other vertex that turns right or runs straight lies in the closed triangle it cuts off (only such
// vertices can block an ear of a simple ring). Straight vertices are never clipped but are kept:
// every ring vertex stays a corner of some triangle, so every ring edge is a triangle edge. After a
// clip the search goes on two vertices further, which avoids fans of slivers. Large rings test ears
// against a z-order (Morton) list of the vertices, visiting only those in the triangle's box.
#include <algorithm>
#include <optional>

#include "partition_internal.h"

namespace mapgeom_partition {
namespace {

// Below this many vertices a plain scan of the remaining ring is cheaper than the z-order index.
constexpr int kIndexThreshold = 80;

struct Node {
    int vertex;
    int prev;
    int next;
    int prev_z = -1;
    int next_z = -1;
    uint32_t z = 0;
    int far_side = -1;  // half-edge across the edge from this node to next; -1 on a ring edge
};

// Morton code of a point scaled into 16 bits per axis over the ring's box.
class ZOrder {
public:
    explicit ZOrder(const std::vector<Vertex>& ring) {
        auto [min_x, max_x] = std::minmax_element(ring.begin(), ring.end(),
                                                  [](Vertex a, Vertex b) { return a.x < b.x; });
        auto [min_y, max_y] = std::minmax_element(ring.begin(), ring.end(),
                                                  [](Vertex a, Vertex b) { return a.y < b.y; });
        min_x_ = static_cast<double>(min_x->x);
        min_y_ = static_cast<double>(min_y->y);
        double size = std::max(static_cast<double>(max_x->x) - min_x_,
                               static_cast<double>(max_y->y) - min_y_);
        scale_ = size > 0.0 ? 32767.0 / size : 0.0;
    }
    uint32_t code(int64_t x, int64_t y) const {
        return interleave(cell(static_cast<double>(x) - min_x_)) |
               (interleave(cell(static_cast<double>(y) - min_y_)) << 1);
    }

private:
    uint32_t cell(double offset) const {
        double scaled = offset * scale_;
        return static_cast<uint32_t>(std::clamp(scaled, 0.0, 32767.0));
    }
    static uint32_t interleave(uint32_t v) {
        v = (v | (v << 8)) & 0x00FF00FFu;
        v = (v | (v << 4)) & 0x0F0F0F0Fu;
        v = (v | (v << 2)) & 0x33333333u;
        v = (v | (v << 1)) & 0x55555555u;
        return v;
    }
    double min_x_;
    double min_y_;
    double scale_;
};

class EarClipper {
public:
    EarClipper(const std::vector<Vertex>& ring, HalfEdges* out) : ring_(ring), out_(out) {
        int n = static_cast<int>(ring.size());
        nodes_.reserve(n);
        for (int k = 0; k < n; ++k)
            nodes_.push_back(Node{k, (k + n - 1) % n, (k + 1) % n});
        if (n > kIndexThreshold)
            build_z_list();
    }

    bool run() {
        int ear = 0;
        int stop = ear;
        int remaining = static_cast<int>(nodes_.size());
        while (remaining > 2) {
            int prev = nodes_[ear].prev;
            int next = nodes_[ear].next;
            if (is_ear(ear)) {
                emit_triangle(prev, ear, next);
                unlink(ear);
                --remaining;
                ear = nodes_[next].next;
                stop = ear;
                continue;
            }
            ear = next;
            if (ear == stop)
                return false;  // a whole round without an ear
        }
        return true;
    }

private:
    Vertex at(int node) const { return ring_[nodes_[node].vertex]; }

    bool blocks(int node, Vertex a, Vertex b, Vertex c) const {
        Vertex p = at(node);
        if (cross(a, b, p) < 0 || cross(b, c, p) < 0 || cross(c, a, p) < 0)
            return false;
        return cross(at(nodes_[node].prev), p, at(nodes_[node].next)) <= 0;
    }

    bool is_ear(int ear) const {
        int ia = nodes_[ear].prev, ic = nodes_[ear].next;
        Vertex a = at(ia), b = at(ear), c = at(ic);
        if (cross(a, b, c) <= 0)
            return false;
        return z_order_ ? no_blocker_indexed(ear, ia, ic, a, b, c)
                        : no_blocker_scanned(ia, ic, a, b, c);
    }

    bool no_blocker_scanned(int ia, int ic, Vertex a, Vertex b, Vertex c) const {
        for (int p = nodes_[ic].next; p != ia; p = nodes_[p].next)
            if (blocks(p, a, b, c))
                return false;
        return true;
    }

    // Visits the nodes whose z-code lies within the triangle's box, both ways from the ear.
    bool no_blocker_indexed(int ear, int ia, int ic, Vertex a, Vertex b, Vertex c) const {
        int64_t min_x = std::min({a.x, b.x, c.x}), max_x = std::max({a.x, b.x, c.x});
        int64_t min_y = std::min({a.y, b.y, c.y}), max_y = std::max({a.y, b.y, c.y});
        uint32_t min_z = z_order_->code(min_x, min_y), max_z = z_order_->code(max_x, max_y);
        auto candidate = [&](int p) {
            Vertex v = at(p);
            return p != ia && p != ic && v.x >= min_x && v.x <= max_x && v.y >= min_y &&
                   v.y <= max_y && blocks(p, a, b, c);
        };
        for (int p = nodes_[ear].prev_z; p >= 0 && nodes_[p].z >= min_z; p = nodes_[p].prev_z)
            if (candidate(p))
                return false;
        for (int p = nodes_[ear].next_z; p >= 0 && nodes_[p].z <= max_z; p = nodes_[p].next_z)
            if (candidate(p))
                return false;
        return true;
    }

    void build_z_list() {
        z_order_.emplace(ring_);
        std::vector<int> sorted(nodes_.size());
        for (size_t k = 0; k < nodes_.size(); ++k) {
            Vertex v = ring_[nodes_[k].vertex];
            nodes_[k].z = z_order_->code(v.x, v.y);
            sorted[k] = static_cast<int>(k);
        }
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&](int p, int q) { return nodes_[p].z < nodes_[q].z; });
        for (size_t k = 0; k < sorted.size(); ++k) {
            nodes_[sorted[k]].prev_z = k > 0 ? sorted[k - 1] : -1;
            nodes_[sorted[k]].next_z = k + 1 < sorted.size() ? sorted[k + 1] : -1;
        }
    }

    // Triangle prev -> ear -> next; its edge next -> prev faces the ring that remains.
    void emit_triangle(int prev, int ear, int next) {
        int first = out_->size();
        const int corners[3] = {prev, ear, next};
        for (int k = 0; k < 3; ++k) {
            out_->origin.push_back(nodes_[corners[k]].vertex);
            out_->twin.push_back(-1);
            out_->next.push_back(first + (k + 1) % 3);
            out_->prev.push_back(first + (k + 2) % 3);
            out_->alive.push_back(1);
        }
        pair_with(first, nodes_[prev].far_side);
        pair_with(first + 1, nodes_[ear].far_side);
        if (nodes_[next].next == prev)
            pair_with(first + 2, nodes_[next].far_side);  // the last triangle closes the ring
        else
            nodes_[prev].far_side = first + 2;  // a new diagonal: the ring now runs prev -> next
    }

    void pair_with(int half_edge, int other) {
        if (other < 0)
            return;
        out_->twin[half_edge] = other;
        out_->twin[other] = half_edge;
    }

    void unlink(int node) {
        Node& n = nodes_[node];
        nodes_[n.prev].next = n.next;
        nodes_[n.next].prev = n.prev;
        if (n.prev_z >= 0)
            nodes_[n.prev_z].next_z = n.next_z;
        if (n.next_z >= 0)
            nodes_[n.next_z].prev_z = n.prev_z;
    }

    const std::vector<Vertex>& ring_;
    HalfEdges* out_;
    std::vector<Node> nodes_;
    std::optional<ZOrder> z_order_;  // only for rings above kIndexThreshold
};

}  // namespace

bool ear_clip(const std::vector<Vertex>& ring, HalfEdges* triangles) {
    if (ring.size() < 3)
        return false;
    triangles->origin.reserve(3 * (ring.size() - 2));
    return EarClipper(ring, triangles).run();
}

}  // namespace mapgeom_partition
