// Packed (sort-tile-recursive) R-tree over segment boxes: segments are sorted into vertical slices
// by box centre x, each slice by centre y, and packed kFanout to a node, level by level. Built once
// per call in O(n log n); a query costs the nodes it opens plus sorting its hits.
#include "crosspoint/segment_index.h"

#include <algorithm>
#include <cmath>

namespace mapgeom {
namespace {

constexpr int kFanout = kSegmentIndexFanout;

double centre_x(const SegmentBox& box) {
    return 0.5 * (box.min_x + box.max_x);
}

double centre_y(const SegmentBox& box) {
    return 0.5 * (box.min_y + box.max_y);
}

SegmentBox merged(const SegmentBox& a, const SegmentBox& b) {
    return {std::fmin(a.min_x, b.min_x), std::fmin(a.min_y, b.min_y), std::fmax(a.max_x, b.max_x),
            std::fmax(a.max_y, b.max_y)};
}

std::vector<SegmentBox> parent_level(const std::vector<SegmentBox>& children) {
    std::vector<SegmentBox> parents;
    parents.reserve((children.size() + kFanout - 1) / kFanout);
    for (size_t start = 0; start < children.size(); start += kFanout) {
        SegmentBox box = children[start];
        size_t end = std::min(children.size(), start + kFanout);
        for (size_t c = start + 1; c < end; ++c)
            box = merged(box, children[c]);
        parents.push_back(box);
    }
    return parents;
}

// Node `node` of `level`, whose box meets the query: the ids of the leaves under it that meet it.
// Children are tested in one loop and only those that meet are descended into.
void collect_hits(const SegmentIndex& index, const SegmentBox& query, size_t level, size_t node,
                  std::vector<int>* hits) {
    const std::vector<SegmentBox>& children = index.levels[level - 1];
    size_t end = std::min(children.size(), (node + 1) * kFanout);
    for (size_t child = node * kFanout; child < end; ++child) {
        if (!segment_boxes_meet(children[child], query))
            continue;
        if (level == 1)
            hits->push_back(index.order[child]);
        else
            collect_hits(index, query, level - 1, child, hits);
    }
}

}  // namespace

void build_segment_index(SegmentIndex* index, const geom_t* shape, int segment_count) {
    std::vector<SegmentBox> boxes(segment_count);
    for (int j = 0; j < segment_count; ++j)
        boxes[j] = grown_segment_box(shape->points[j], shape->points[j + 1]);
    if (segment_count <= kFanout) {
        // One node holds them all: nothing to sort.
        index->order.resize(segment_count);
        for (int k = 0; k < segment_count; ++k)
            index->order[k] = k;
        index->levels.clear();
        index->levels.push_back(std::move(boxes));
        if (index->levels.back().size() > 1)
            index->levels.push_back(parent_level(index->levels.back()));
        return;
    }

    // Sorted by centre keys held beside the ids (NaN keys last), not through the boxes: the queries
    // sort their hits and the early-stopping walks only ask whether any leaf passes, so the order
    // within the packing changes no answer.
    struct Keyed {
        double key;
        int id;
    };
    auto key_less = [](const Keyed& a, const Keyed& b) { return less_nan_last(a.key, b.key); };
    std::vector<Keyed> keyed(segment_count);
    for (int j = 0; j < segment_count; ++j)
        keyed[j] = Keyed{centre_x(boxes[j]), j};
    std::sort(keyed.begin(), keyed.end(), key_less);
    size_t leaves = (static_cast<size_t>(segment_count) + kFanout - 1) / kFanout;
    size_t slices = static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(leaves))));
    size_t slice_size = std::max<size_t>(1, slices) * kFanout;
    for (size_t start = 0; start < keyed.size(); start += slice_size) {
        auto end = keyed.begin() + std::min(keyed.size(), start + slice_size);
        for (auto it = keyed.begin() + start; it != end; ++it)
            it->key = centre_y(boxes[it->id]);
        std::sort(keyed.begin() + start, end, key_less);
    }
    index->order.resize(segment_count);
    for (int k = 0; k < segment_count; ++k)
        index->order[k] = keyed[k].id;

    index->levels.clear();
    std::vector<SegmentBox> level(segment_count);
    for (int k = 0; k < segment_count; ++k)
        level[k] = boxes[index->order[k]];
    index->levels.push_back(std::move(level));
    while (index->levels.back().size() > 1)
        index->levels.push_back(parent_level(index->levels.back()));
}

void query_segment_index(const SegmentIndex& index, const SegmentBox& query,
                         std::vector<int>* hits) {
    hits->clear();
    if (index.levels.empty() || index.levels[0].empty())
        return;
    size_t top = index.levels.size() - 1;
    for (size_t node = 0; node < index.levels[top].size(); ++node) {
        if (!segment_boxes_meet(index.levels[top][node], query))
            continue;
        if (top == 0)
            hits->push_back(index.order[node]);
        else
            collect_hits(index, query, top, node, hits);
    }
    std::sort(hits->begin(), hits->end());
}

}  // namespace mapgeom
