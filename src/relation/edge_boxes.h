// A static index of the boxes of a ring's edges, packed in ring order (neighbouring edges lie near
// one another on a real ring), for finding the edges whose boxes meet a query box.
#ifndef MAPGEOM_SRC_RELATION_EDGE_BOXES_H
#define MAPGEOM_SRC_RELATION_EDGE_BOXES_H

#include <algorithm>
#include <vector>

#include "mapgeom/com.h"

namespace mapgeom {

struct edge_box_t {
    double min_x, min_y, max_x, max_y;
};

inline edge_box_t box_of_edge(point_t a, point_t b) {
    return edge_box_t{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                      std::max(a.y, b.y)};
}

// An edge found (a library type, so that scratch vectors of them stay hidden; see x_sweep.h).
struct edge_found_t {
    int edge;
};

inline bool boxes_meet(const edge_box_t& a, const edge_box_t& b) {
    return a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y && b.min_y <= a.max_y;
}

// Level 0 holds the box of each edge; each level above holds the box around each group of
// kEdgeBoxFanout boxes of the level below, up to a level of one box.
class edge_boxes_t {
public:
    // The edges of points[0 .. count - 1] (edge i from point i to point i + 1). Coordinates must
    // not be NaN.
    edge_boxes_t(const point_t* points, int count) {
        std::vector<edge_box_t> level;
        for (int i = 0; i + 1 < count; ++i)
            level.push_back(box_of_edge(points[i], points[i + 1]));
        levels_.push_back(level);
        while (levels_.back().size() > 1) {
            const std::vector<edge_box_t>& below = levels_.back();
            std::vector<edge_box_t> above;
            for (size_t first = 0; first < below.size(); first += kFanout) {
                edge_box_t box = below[first];
                for (size_t k = first + 1; k < std::min(below.size(), first + kFanout); ++k) {
                    box.min_x = std::min(box.min_x, below[k].min_x);
                    box.min_y = std::min(box.min_y, below[k].min_y);
                    box.max_x = std::max(box.max_x, below[k].max_x);
                    box.max_y = std::max(box.max_y, below[k].max_y);
                }
                above.push_back(box);
            }
            levels_.push_back(above);
        }
    }

    // Appends to *edges (cleared first), in ascending order, every edge whose box meets `query`.
    void edges_meeting(const edge_box_t& query, std::vector<edge_found_t>* edges) const {
        edges->clear();
        if (!levels_[0].empty())
            visit(static_cast<int>(levels_.size()) - 1, 0, query, edges);
    }

private:
    static constexpr size_t kFanout = 8;

    void visit(int level, size_t node, const edge_box_t& query,
               std::vector<edge_found_t>* edges) const {
        if (!boxes_meet(levels_[level][node], query))
            return;
        if (level == 0) {
            edges->push_back(edge_found_t{static_cast<int>(node)});
            return;
        }
        const size_t end = std::min(levels_[level - 1].size(), (node + 1) * kFanout);
        for (size_t child = node * kFanout; child < end; ++child)
            visit(level - 1, child, query, edges);
    }

    std::vector<std::vector<edge_box_t>> levels_;
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_EDGE_BOXES_H
