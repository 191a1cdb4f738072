// Building the vertex sweep: the sorted points of two shapes and each slot's widened reach.
#include "crosspoint/vertex_sweep.h"

#include <algorithm>
#include <cmath>

#include "com/key_order.h"
#include "mapgeom/measure.h"

namespace mapgeom {
namespace {

// x when the combined extent, from bounds truncated to whole units, is at least as wide as high.
bool key_on_x(const geom_t* a, const geom_t* b) {
    rectangle_t ra = calc_geom_exrectangle(a);
    rectangle_t rb = calc_geom_exrectangle(b);
    double width =
        std::trunc(std::fmax(ra.max_x, rb.max_x)) - std::trunc(std::fmin(ra.min_x, rb.min_x));
    double height =
        std::trunc(std::fmax(ra.max_y, rb.max_y)) - std::trunc(std::fmin(ra.min_y, rb.min_y));
    return width >= height;
}

// Stable sort of the slots on the ordered bits of their keys (worked out on each pass: cheaper
// than carrying them, in memory a call touches afresh).
void sort_slots_by_key(std::vector<sort_point_t>* slots) {
    std::vector<sort_point_t> spare;
    radix_sort(slots, &spare, [](const sort_point_t& slot) { return ordered_bits(slot.key); });
}

}  // namespace

void build_vertex_sweep(const geom_t* a, int stored_a, const geom_t* b, int stored_b,
                        VertexSweep* sweep) {
    bool on_x = key_on_x(a, b);
    auto key_of = [on_x](point_t p) { return on_x ? p.x : p.y; };
    sweep->slots.clear();
    sweep->slots.reserve(stored_a + stored_b);
    for (int p = 0; p < stored_a; ++p)
        sweep->slots.push_back({-1, p, key_of(a->points[p])});
    for (int q = 0; q < stored_b; ++q)
        sweep->slots.push_back({q, -1, key_of(b->points[q])});
    // Ascending by key, NaN keys last, equal keys (and NaN keys) in the order the points were
    // listed: a's, then b's, each in index order. The list starts in that order, so a stable sort
    // on the key alone gives it: a radix sort of the keys' ordered bits, or with the plain passes
    // on (tests) the comparison sort it stands in for.
    if (g_plain_lookups) {
        auto numbers_end =
            std::stable_partition(sweep->slots.begin(), sweep->slots.end(),
                                  [](const sort_point_t& p) { return !std::isnan(p.key); });
        std::stable_sort(
            sweep->slots.begin(), numbers_end,
            [](const sort_point_t& p, const sort_point_t& q) { return p.key < q.key; });
    } else {
        sort_slots_by_key(&sweep->slots);
    }

    int total = static_cast<int>(sweep->slots.size());
    sweep->slot_of_a.assign(stored_a, 0);
    sweep->slot_of_b.assign(stored_b, 0);
    for (int s = 0; s < total; ++s) {
        if (sweep->slots[s].index_a >= 0)
            sweep->slot_of_a[sweep->slots[s].index_a] = s;
        else
            sweep->slot_of_b[sweep->slots[s].index_b] = s;
    }
    sweep->reach_low.assign(total, 0);
    sweep->reach_high.assign(total, total - 1);
    for (int s = 1; s < total; ++s) {
        bool joined = sweep->slots[s].key - sweep->slots[s - 1].key < kClosureTolerance;
        sweep->reach_low[s] = joined ? sweep->reach_low[s - 1] : s;
    }
    for (int s = total - 2; s >= 0; --s) {
        bool joined = sweep->slots[s + 1].key - sweep->slots[s].key < kClosureTolerance;
        sweep->reach_high[s] = joined ? sweep->reach_high[s + 1] : s;
    }
}

SweptShape swept_shape(const geom_t* points, int segments, const std::vector<int>* slot_of,
                       int sort_point_t::*field) {
    SweptShape shape{points, segments, {}, slot_of, field};
    shape.boxes.resize(segments);
    for (int k = 0; k < segments; ++k)
        shape.boxes[k] = grown_segment_box(points->points[k], points->points[k + 1]);
    return shape;
}

}  // namespace mapgeom
