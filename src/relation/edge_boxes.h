// A static index of the boxes of a ring's edges, packed in ring order (neighbouring edges lie near
// one another on a real ring), for finding the edges whose boxes meet a query box.
#ifndef MAPGEOM_SRC_RELATION_EDGE_BOXES_H
#define MAPGEOM_SRC_RELATION_EDGE_BOXES_H

#include <algorithm>
#include <utility>
#include <vector>

#include "mapgeom/com.h"

namespace mapgeom {

struct edge_box_t {
    double min_x, min_y, max_x, max_y;
};

// Closed boxes: touching counts as meeting.
inline bool boxes_meet(const edge_box_t& a, const edge_box_t& b) {
    return a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y && b.min_y <= a.max_y;
}

// Level 0 holds the box of each edge; each level above holds the box around each group of
// kFanout boxes of the level below, up to a level of one box.
class edge_boxes_t {
public:
    // boxes[e] is the box of edge e, as its user defines it (an edge's extent, or that extent
    // widened); no coordinate may be NaN.
    explicit edge_boxes_t(std::vector<edge_box_t> boxes) {
        levels_.push_back(std::move(boxes));
        while (levels_.back().size() > 1)
            levels_.push_back(groups_of(levels_.back()));
    }

    // Calls visit(e) for every edge e whose box meets `query`, in ascending order.
    template <typename Visit>
    void for_each_meeting(const edge_box_t& query, Visit visit) const {
        const int top = static_cast<int>(levels_.size()) - 1;
        if (levels_[0].empty() || !boxes_meet(levels_[top][0], query))
            return;
        if (top == 0)
            visit(0);
        else
            descend(top, 0, query, visit);
    }

    // Edges come in groups of kFanout, group g holding edges g * kFanout on. Calls visit(g) for
    // every group whose box meets `query` and that holds an edge from `first` on, in ascending
    // order; the ring must have more than one edge.
    template <typename Visit>
    void for_each_group_meeting_from(size_t first, const edge_box_t& query, Visit visit) const {
        const int top = static_cast<int>(levels_.size()) - 1;
        if (!boxes_meet(levels_[top][0], query))
            return;
        size_t span = kFanout;  // edges under one node of the level being descended into
        for (int level = 2; level < top; ++level)
            span *= kFanout;
        if (top == 1)
            visit(size_t{0});
        else
            descend_to_groups(top, 0, span, first, query, visit);
    }
    // The box around group g's edges, and the box of edge e.
    const edge_box_t& group_box(size_t g) const { return levels_[1][g]; }
    const edge_box_t& edge_box(size_t e) const { return levels_[0][e]; }

    static constexpr size_t kFanout = 8;

private:
    static std::vector<edge_box_t> groups_of(const std::vector<edge_box_t>& below) {
        std::vector<edge_box_t> above;
        above.reserve((below.size() + kFanout - 1) / kFanout);
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
        return above;
    }

    // Node `node` of level `level` (level > 0) meets the query: visits the edges below it whose
    // boxes meet it too. The edges of a node of level 1 are visited in a loop of their own, where
    // most of the work is.
    template <typename Visit>
    void descend(int level, size_t node, const edge_box_t& query, Visit& visit) const {
        const std::vector<edge_box_t>& below = levels_[level - 1];
        const edge_box_t* boxes = below.data();
        const size_t end = std::min(below.size(), (node + 1) * kFanout);
        if (level == 1) {
            for (size_t child = node * kFanout; child < end; ++child)
                if (boxes_meet(boxes[child], query))
                    visit(static_cast<int>(child));
            return;
        }
        for (size_t child = node * kFanout; child < end; ++child)
            if (boxes_meet(boxes[child], query))
                descend(level - 1, child, query, visit);
    }

    // Node `node` of level `level` (level > 1) meets the query: visits the groups below it whose
    // boxes meet it too and that hold an edge from `first` on. Each child holds `span` edges
    // (child c the edges from c * span on).
    template <typename Visit>
    void descend_to_groups(int level, size_t node, size_t span, size_t first,
                           const edge_box_t& query, Visit& visit) const {
        const std::vector<edge_box_t>& below = levels_[level - 1];
        const size_t end = std::min(below.size(), (node + 1) * kFanout);
        for (size_t child = std::max(node * kFanout, first / span); child < end; ++child) {
            if (!boxes_meet(below[child], query))
                continue;
            if (level == 2)
                visit(child);
            else
                descend_to_groups(level - 1, child, span / kFanout, first, query, visit);
        }
    }

    std::vector<std::vector<edge_box_t>> levels_;
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_EDGE_BOXES_H
