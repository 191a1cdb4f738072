// Crossing points of two rings from a vertex sweep: all vertices of both rings are sorted on one
// coordinate, and each edge is tested only against the edges at the other ring's vertices whose
// keys fall within its own key interval, widened over neighbouring keys closer than 0.99. Two
// crossing segments always overlap in key, so one of them has an end inside the other's interval
// and one of the two passes finds the pair. Crossings closer than 0.01 are merged.
//
// Cost: one O((n + m) log(n + m)) sort, then the proposed pairs. Dense vertices (many keys less
// than 0.99 apart) widen the intervals and so propose more pairs.
#include <algorithm>
#include <cmath>
#include <vector>

#include "crosspoint/crosspoint_internal.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"

namespace {

using mapgeom::RingCrossingWork;

// Crossings of this engine closer than this are one crossing.
constexpr double kMergeTolerance = 0.01;
// Neighbouring keys closer than this join an edge's key interval.
constexpr double kSweepWindowGap = 0.99;

// One stored point of either ring in the sorted sweep order: its index in ring b or -1, its index
// in ring a or -1, and its key coordinate.
struct sort_point_t {
    int index_b;
    int index_a;
    double key;
};

// The vertices of both rings sorted on the key coordinate, with each stored point's slot and the
// widest slot range reachable from each slot over gaps below kSweepWindowGap.
struct VertexSweep {
    std::vector<sort_point_t> slots;
    std::vector<int> slot_of_a;
    std::vector<int> slot_of_b;
    std::vector<int> reach_low;
    std::vector<int> reach_high;
};

// x when the combined extent, from bounds truncated to whole units, is at least as wide as high.
bool key_on_x(const polygon_t* a, const polygon_t* b) {
    rectangle_t ra = calc_polygon_exrectangle(a);
    rectangle_t rb = calc_polygon_exrectangle(b);
    double width =
        std::trunc(std::fmax(ra.max_x, rb.max_x)) - std::trunc(std::fmin(ra.min_x, rb.min_x));
    double height =
        std::trunc(std::fmax(ra.max_y, rb.max_y)) - std::trunc(std::fmin(ra.min_y, rb.min_y));
    return width >= height;
}

// Places ring b's points after ring a's in the tie order of equal keys.
constexpr long long kBSlotOffset = 1LL << 32;

// Ascending by key, NaN keys last, equal keys in slot order (so the sweep is reproducible).
bool sweep_less(const sort_point_t& p, const sort_point_t& q) {
    bool p_nan = std::isnan(p.key);
    bool q_nan = std::isnan(q.key);
    if (p_nan != q_nan)
        return q_nan;
    if (!p_nan && p.key != q.key)
        return p.key < q.key;
    long long p_slot = p.index_a >= 0 ? p.index_a : kBSlotOffset + p.index_b;
    long long q_slot = q.index_a >= 0 ? q.index_a : kBSlotOffset + q.index_b;
    return p_slot < q_slot;
}

void build_vertex_sweep(const RingCrossingWork& work, VertexSweep* sweep) {
    const geom_t* a = &work.a.ring.geom;
    const geom_t* b = &work.b.ring.geom;
    bool on_x = key_on_x(&work.a.ring, &work.b.ring);
    auto key_of = [on_x](point_t p) { return on_x ? p.x : p.y; };
    int stored_a = work.edges_a + 1;
    int stored_b = work.edges_b + 1;
    sweep->slots.clear();
    sweep->slots.reserve(stored_a + stored_b);
    for (int p = 0; p < stored_a; ++p)
        sweep->slots.push_back({-1, p, key_of(a->points[p])});
    for (int q = 0; q < stored_b; ++q)
        sweep->slots.push_back({q, -1, key_of(b->points[q])});
    std::sort(sweep->slots.begin(), sweep->slots.end(),
              [](const sort_point_t& p, const sort_point_t& q) { return sweep_less(p, q); });

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
        bool joined = sweep->slots[s].key - sweep->slots[s - 1].key < kSweepWindowGap;
        sweep->reach_low[s] = joined ? sweep->reach_low[s - 1] : s;
    }
    for (int s = total - 2; s >= 0; --s) {
        bool joined = sweep->slots[s + 1].key - sweep->slots[s].key < kSweepWindowGap;
        sweep->reach_high[s] = joined ? sweep->reach_high[s + 1] : s;
    }
}

// Tests edge `edge` of `mover` (whose vertices occupy slot_of_mover) against the edges of `other`
// at every vertex of `other` within the edge's widened key interval. `other_field` picks the
// slot's index into `other`. found(c, other_edge) receives each meeting. An edge of `other` reached
// from both of its ends is tested once.
template <typename Found>
void sweep_one_edge(const VertexSweep& sweep, const geom_t* mover,
                    const std::vector<int>& slot_of_mover, int edge, const geom_t* other,
                    int other_edges, int sort_point_t::*other_field, std::vector<int>* tested_by,
                    Found found) {
    int lo = slot_of_mover[edge];
    int hi = slot_of_mover[edge + 1];
    if (lo > hi)
        std::swap(lo, hi);
    lo = sweep.reach_low[lo];
    hi = sweep.reach_high[hi];
    point_t m1 = mover->points[edge];
    point_t m2 = mover->points[edge + 1];
    auto test = [&](int other_edge) {
        if ((*tested_by)[other_edge] == edge)
            return;
        (*tested_by)[other_edge] = edge;
        point_t c{};
        if (relation_lines_cross_by_permit(&c, m1, m2, other->points[other_edge],
                                           other->points[other_edge + 1],
                                           mapgeom::kSegmentMeetPermit) == 0)
            found(c, other_edge);
    };
    for (int s = lo; s <= hi; ++s) {
        int p = sweep.slots[s].*other_field;
        if (p < 0)
            continue;
        if (p < other_edges)
            test(p);
        if (p > 0)
            test(p - 1);
    }
}

void find_candidates_by_vertex_sweep(RingCrossingWork* work, crosspts_t* out) {
    VertexSweep sweep;
    build_vertex_sweep(*work, &sweep);
    const geom_t* a = &work->a.ring.geom;
    const geom_t* b = &work->b.ring.geom;

    // Pass over b's edges, against a's edges at the vertices in range.
    std::vector<int> tested(work->edges_a, -1);
    for (int j = 0; j < work->edges_b; ++j)
        sweep_one_edge(sweep, b, sweep.slot_of_b, j, a, work->edges_a, &sort_point_t::index_a,
                       &tested, [&](point_t c, int i) {
                           work->crossed_a[i] = 1;
                           work->crossed_b[j] = 1;
                           mapgeom::append_crossing(out, c, i, j);
                       });
    // Pass over a's edges, against b's edges at the vertices in range.
    tested.assign(work->edges_b, -1);
    for (int i = 0; i < work->edges_a; ++i)
        sweep_one_edge(sweep, a, sweep.slot_of_a, i, b, work->edges_b, &sort_point_t::index_b,
                       &tested, [&](point_t c, int j) {
                           work->crossed_a[i] = 1;
                           work->crossed_b[j] = 1;
                           mapgeom::append_crossing(out, c, i, j);
                       });
}

void sort_crosspts(const polygon_t* ring, crosspts_t* list, int first, int which) {
    mapgeom::sort_and_merge_crosspts(&ring->geom, list, first, which, kMergeTolerance);
}

// The kind of meeting once the side after the vertex is known (calc_crosspt_flag without reading
// that side again).
int crosspt_flag_after_side(const polygon_t* a, const polygon_t* b, int i, int after) {
    return mapgeom::meeting_kind_after_side(a, b, i, after, com_polygon_at(a, i));
}

int judge_curpt_flag(const polygon_t* a, const polygon_t* b, int i) {
    return mapgeom::side_after_vertex(a, b, i);
}

// The whole engine after the copies are made. Inside this namespace the names of the classifier
// and the sorter resolve to this file's own copies.
void find_sort_insert_classify(polygon_t* a, polygon_t* b, crosspts_t* out,
                               RingCrossingWork& work) {
    find_candidates_by_vertex_sweep(&work, out);
    mapgeom::insert_and_classify_crosspts(a, b, out, work, sort_crosspts, judge_curpt_flag,
                                          crosspt_flag_after_side);
}

}  // namespace

void calc_polygons_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out) {
    mapgeom::run_ring_crossing_steps(
        a, b, out, [&](RingCrossingWork& work) { find_sort_insert_classify(a, b, out, work); });
}
