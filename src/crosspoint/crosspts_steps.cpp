// Steps shared by the crossing-point engines: the candidate searches, ordering and merging crossing
// records along a shape, inserting them as vertices, and classifying a vertex by the sides of its
// two edges.
#include <algorithm>
#include <cmath>
#include <vector>

#include "crosspoint/crosspoint_internal.h"
#include "crosspoint/segment_index.h"
#include "crosspoint/vertex_sweep.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"

namespace mapgeom {
namespace {

// Up to this many records, ordering and merging them along a shape allocates nothing.
constexpr int kStackRecords = 16;

// A record's place along a shape: its edge, its distance from the edge's start, then, for equal
// places, its edge on the other shape and its place in the list. Copies of one crossing found on
// two edges of the other shape (at a vertex of it) thus keep the copy on the lower edge, whatever
// order the candidate search found them in.
struct AlongKey {
    int position;
    int edge;
    double distance;
    int other_edge;
};

bool along_less(const AlongKey& a, const AlongKey& b) {
    if (a.edge != b.edge)
        return a.edge < b.edge;
    if (less_nan_last(a.distance, b.distance))
        return true;
    if (less_nan_last(b.distance, a.distance))
        return false;
    if (a.other_edge != b.other_edge)
        return a.other_edge < b.other_edge;
    return a.position < b.position;
}

bool same_within(point_t a, point_t b, double tolerance) {
    return com_points_same_permit(a, b, tolerance) == 0;
}

int side_before_vertex(const polygon_t* a, RingLocator* in_b, int i) {
    point_t vertex = com_polygon_at(a, i);
    point_t mid = calc_plough_around_point(vertex, com_polygon_priorer(a, i), vertex);
    return locate_in_ring(in_b, mid, kSideTestPermit);
}

}  // namespace

int meeting_kind_of_sides(int after, int before) {
    bool after_on = after == kPointOnEdge || after == kPointAtVertex;
    bool before_on = before == kPointOnEdge || before == kPointAtVertex;
    if (after_on && before_on)
        return kKindAlongBoth;
    if (after_on || before_on) {
        int off_side = after_on ? before : after;
        return off_side == kPointOutside ? kKindAlongOutward : kKindAlongInward;
    }
    if (after == before)
        return after == kPointOutside ? -1 : kKindTouchInside;
    return kKindCrosses;
}

void append_crossing(crosspts_t* out, point_t pt, int index1, int index2) {
    crosspt_t record;
    record.pt = point_t{pt.x, pt.y, 0.0};
    record.index1 = index1;
    record.index2 = index2;
    record.flag = 0;
    record.curpt_flag = 0;
    com_crosspts_add(out, record);
}

// Marks segment i of a and j of b as crossed and appends the crossing c found on them.
void record_candidate(CrossingWork* work, crosspts_t* out, point_t c, int i, int j) {
    work->crossed_a[i] = 1;
    work->crossed_b[j] = 1;
    append_crossing(out, c, i, j);
}

void find_candidates_in_all_pairs(CrossingWork* work, crosspts_t* out) {
    const geom_t* a = work->points_a();
    const geom_t* b = work->points_b();
    for_each_candidate_pair(a, work->segments_a, b, work->segments_b, [&](int i, int j) {
        point_t c{};
        if (relation_lines_cross_by_permit(&c, a->points[i], a->points[i + 1], b->points[j],
                                           b->points[j + 1], kSegmentMeetPermit) != 0)
            return;
        record_candidate(work, out, c, i, j);
    });
}

void find_candidates_by_vertex_sweep(CrossingWork* work, crosspts_t* out) {
    for_each_sweep_meeting(work->points_a(), work->segments_a, work->points_b(), work->segments_b,
                           [&](point_t c, int i, int j) { record_candidate(work, out, c, i, j); });
}

void sort_and_merge_crosspts(const geom_t* shape, crosspts_t* list, int first, int which,
                             MergeRule rule) {
    int count = list->count - first;
    if (count < 2)
        return;
    crosspt_t* records = list->crosspts + first;
    int other = which == 0 ? 1 : 0;
    // A clip or an overlay of small rings brings a handful of records: those stay on the stack.
    AlongKey stacked_keys[kStackRecords];
    crosspt_t stacked_kept[kStackRecords];
    std::vector<AlongKey> heap_keys;
    std::vector<crosspt_t> heap_kept;
    AlongKey* keys = stacked_keys;
    crosspt_t* kept = stacked_kept;
    if (count > kStackRecords) {
        heap_keys.resize(count);
        heap_kept.resize(count);
        keys = heap_keys.data();
        kept = heap_kept.data();
    }
    for (int k = 0; k < count; ++k) {
        int edge = crosspt_index(records[k], which);
        double distance = calc_points_distance(com_geom_at(shape, edge), records[k].pt);
        keys[k] = {k, edge, distance, crosspt_index(records[k], other)};
    }
    std::sort(keys, keys + count, along_less);

    // Whether the shape runs from edge `from` to edge `to` (from <= to) without leaving place p.
    auto stays_at = [&](int from, int to, point_t p) {
        for (int v = from + 1; v <= to; ++v)
            if (!same_within(com_geom_at(shape, v), p, rule.tolerance))
                return false;
        return true;
    };
    // Whether `later` (after `earlier` along the shape) is one crossing with it.
    auto one_crossing = [&](const crosspt_t& earlier, const crosspt_t& later) {
        if (!same_within(later.pt, earlier.pt, rule.tolerance))
            return false;
        if (rule.per_pass_of_other && crosspt_index(later, other) != crosspt_index(earlier, other))
            return false;
        return !rule.per_pass_of_shape ||
               stays_at(crosspt_index(earlier, which), crosspt_index(later, which), later.pt);
    };
    int kept_count = 0;
    for (int k = 0; k < count; ++k) {
        const crosspt_t& record = records[keys[k].position];
        if (k > 0 && one_crossing(records[keys[k - 1].position], record))
            continue;
        kept[kept_count++] = record;
    }
    if (rule.ring && kept_count > 1 &&
        same_within(kept[kept_count - 1].pt, kept[0].pt, rule.tolerance) &&
        (!rule.per_pass_of_other ||
         crosspt_index(kept[kept_count - 1], other) == crosspt_index(kept[0], other)))
        --kept_count;
    std::copy(kept, kept + kept_count, records);
    list->count = first + kept_count;
}

void insert_crosspts_along(const geom_t* copy, int point_count,
                           const std::vector<unsigned char>& crossed, geom_t* target,
                           crosspts_t* list, int first, int which, bool share_places) {
    com_geom_clear(target);
    // Every point and every record adds at most one point: the storage is sized once and written
    // in place.
    const int records = list->count - first;
    point_t* const start = reserve_points(target, point_count + (records > 0 ? records : 0));
    point_t* at = start;
    int k = first;
    bool pending = false;
    point_t pending_pt{};
    for (int p = 0; p < point_count; ++p) {
        point_t vertex = copy->points[p];  // p < point_count <= copy->count
        // A crossing at the end of the previous edge gives way to the vertex itself.
        if (pending && com_points_same(vertex, pending_pt) == 0)
            at[-1] = vertex;
        else
            *at++ = vertex;
        pending = false;
        if (!crossed[p])
            continue;
        while (k < list->count && crosspt_index(list->crosspts[k], which) == p) {
            crosspt_t& record = list->crosspts[k];
            bool shares_pending =
                share_places && pending && com_points_same(record.pt, pending_pt) == 0;
            if (!shares_pending) {
                pending = true;
                pending_pt = record.pt;
                if (com_points_same(record.pt, vertex) != 0)
                    *at++ = record.pt;
            }
            crosspt_index(record, which) = static_cast<int>(at - start) - 1;
            ++k;
        }
    }
    target->count = static_cast<int>(at - start);
}

void insert_and_classify_crosspts(polygon_t* a, polygon_t* b, crosspts_t* out,
                                  const CrossingWork& work, double merge_tolerance) {
    int first = work.first_record;
    if (out->count == first)
        return;
    sort_and_merge_crosspts(work.points_a(), out, first, 0, MergeRule{merge_tolerance});
    insert_crosspts_along(work.points_a(), work.points_a()->count, work.crossed_a, &a->geom, out,
                          first, 0);
    sort_and_merge_crosspts(work.points_b(), out, first, 1, MergeRule{merge_tolerance});
    insert_crosspts_along(work.points_b(), work.points_b()->count, work.crossed_b, &b->geom, out,
                          first, 1);
    classify_crosspts(a, b, out, first);
}

void sort_and_insert_line_crosspts(geom_t* first, geom_t* second, crosspts_t* out,
                                   const CrossingWork& work, double merge_tolerance,
                                   bool second_is_ring) {
    int from = work.first_record;
    if (out->count == from)
        return;
    MergeRule along_first{merge_tolerance, false, true, false};
    sort_and_merge_crosspts(work.points_a(), out, from, 0, along_first);
    insert_crosspts_along(work.points_a(), work.points_a()->count, work.crossed_a, first, out, from,
                          0);
    MergeRule along_second{merge_tolerance, second_is_ring, false, true};
    sort_and_merge_crosspts(work.points_b(), out, from, 1, along_second);
    insert_crosspts_along(work.points_b(), work.points_b()->count, work.crossed_b, second, out,
                          from, 1, true);
}

int side_after_vertex(const polygon_t* a, RingLocator* in_b, int i) {
    point_t vertex = com_polygon_at(a, i);
    point_t mid = calc_plough_around_point(vertex, com_polygon_nexter(a, i), vertex);
    return locate_in_ring(in_b, mid, kSideTestPermit);
}

int side_after_vertex(const polygon_t* a, const polygon_t* b, int i) {
    RingLocator in_b(b);
    return side_after_vertex(a, &in_b, i);
}

int meeting_kind_after_side(RingPairLocators* rings, int i, int after, point_t lookup) {
    int kind = meeting_kind_of_sides(after, side_before_vertex(rings->a, &rings->in_b, i));
    if (kind >= 0)
        return kind;
    int j = com_polygon_find(rings->b, lookup);
    if (j < 0)
        return kKindTouchOutsideApart;
    return side_after_vertex(rings->b, &rings->in_a, j) != kPointOutside ? kKindTouchOutsideAround
                                                                         : kKindTouchOutsideApart;
}

int meeting_kind_after_side(const polygon_t* a, const polygon_t* b, int i, int after,
                            point_t lookup) {
    RingPairLocators rings(a, b);
    return meeting_kind_after_side(&rings, i, after, lookup);
}

int meeting_kind_at(const polygon_t* a, const polygon_t* b, point_t p) {
    int i = com_polygon_find(a, p);
    if (i < 0)
        return kKindTouchOutsideApart;
    return meeting_kind_after_side(a, b, i, side_after_vertex(a, b, i), p);
}

void classify_crosspts(const polygon_t* a, const polygon_t* b, crosspts_t* list, int first) {
    RingPairLocators rings(a, b);
    // Each record locates two points in b and, only where a touches b from outside, one in a: few
    // records do, so a is left to prepare itself once it has located a few dozen points.
    expect_points(&rings.in_b, 2L * (list->count - first));
    int edges_a = com_polygon_num(a);
    int edges_b = com_polygon_num(b);
    for (int k = first; k < list->count; ++k) {
        crosspt_t record = list->crosspts[k];
        record.index1 %= edges_a;
        record.index2 %= edges_b;
        record.curpt_flag = side_after_vertex(a, &rings.in_b, record.index1);
        record.flag = meeting_kind_after_side(&rings, record.index1, record.curpt_flag,
                                              com_polygon_at(a, record.index1));
        list->crosspts[k] = record;
    }
}

}  // namespace mapgeom
