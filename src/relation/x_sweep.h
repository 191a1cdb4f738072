// The x-sorted sweep of the self-contact checks: the stored points sorted by x, and for a segment
// the window of sorted positions whose points lie in its x range, widened over near-equal x, so a
// segment is compared only with segments having a point in that window.
#ifndef MAPGEOM_SRC_RELATION_X_SWEEP_H
#define MAPGEOM_SRC_RELATION_X_SWEEP_H

#include <algorithm>
#include <utility>
#include <vector>

#include "com/key_order.h"
#include "com/tolerances.h"
#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "relation/lines_cross.h"

namespace mapgeom {

// A point's position in its shape and its x coordinate.
struct sort_t {
    int index;
    double key;
};

// Scratch containers here hold library types only, and items are exchanged by hand: a standard
// template instantiated over standard types alone (std::vector<int>, std::swap<int>) keeps default
// visibility and would be exported from the shared library.
template <typename T>
void exchange(T& a, T& b) {
    T kept = a;
    a = b;
    b = kept;
}

// Moves items[root] down the max-heap items[0 .. count - 1] until no child is greater.
template <typename T, typename Less>
void sift_down(T* items, int root, int count, Less less) {
    for (;;) {
        int child = 2 * root + 1;
        if (child >= count)
            return;
        if (child + 1 < count && less(items[child], items[child + 1]))
            ++child;
        if (!less(items[root], items[child]))
            return;
        exchange(items[root], items[child]);
        root = child;
    }
}

// Heap sort (a max-heap, ascending result, not stable: equal items come out in no fixed order).
// In place, n log n whatever the input, no allocation.
template <typename T, typename Less>
void heap_sort(T* items, int count, Less less) {
    for (int root = count / 2 - 1; root >= 0; --root)
        sift_down(items, root, count, less);
    for (int end = count - 1; end > 0; --end) {
        exchange(items[0], items[end]);
        sift_down(items, 0, end, less);
    }
}

// The sorted position of a point.
struct sorted_rank_t {
    int position;
};

// Entries (i, x of point i) for the points 0 .. count - 1, in ascending x.
inline std::vector<sort_t> points_in_x_order(const point_t* points, int count) {
    std::vector<sort_t> entries(count);
    for (int i = 0; i < count; ++i)
        entries[i] = sort_t{i, points[i].x};
    heap_sort(entries.data(), count,
              [](const sort_t& a, const sort_t& b) { return a.key < b.key; });
    return entries;
}

// The points of a shape in ascending x, and rank[index] = the sorted position of point index.
struct x_sorted_t {
    std::vector<sort_t> entries;
    std::vector<sorted_rank_t> rank;
};

inline x_sorted_t ranked(std::vector<sort_t> entries) {
    x_sorted_t sorted;
    sorted.entries = std::move(entries);
    const int count = static_cast<int>(sorted.entries.size());
    sorted.rank.resize(count);
    for (int k = 0; k < count; ++k)
        sorted.rank[sorted.entries[k].index].position = k;
    return sorted;
}

inline x_sorted_t sort_points_by_x(const point_t* points, int count) {
    return ranked(points_in_x_order(points, count));
}

// Below this many points a comparison sort beats the radix sort's passes over its counters.
constexpr int kRadixSortMinimum = 1024;

// The points in ascending x, equal x in any order: faster than the heap sort's order, and as good
// for a sweep that only asks whether any pair of its windows meets, when every x is finite (a
// widened window holds every point of each x it reaches, in whatever order they come). Many points
// are sorted by radix, fewer by comparison.
inline x_sorted_t sort_points_by_x_any_tie_order(const point_t* points, int count) {
    std::vector<sort_t> entries(count);
    for (int i = 0; i < count; ++i)
        entries[i] = sort_t{i, points[i].x};
    if (count >= kRadixSortMinimum) {
        std::vector<sort_t> spare;
        radix_sort(&entries, &spare, [](const sort_t& entry) { return ordered_bits(entry.key); });
    } else {
        std::sort(entries.begin(), entries.end(),
                  [](const sort_t& a, const sort_t& b) { return a.key < b.key; });
    }
    return ranked(std::move(entries));
}

// sort_points_by_x for a shape of at most kCapacity points, held in place (no allocation: the
// checks run on every piece the clipping makes, most of them a handful of points). The same heap
// sort over the same entries, so the same order, ties included.
template <int kCapacity>
struct small_x_sorted_t {
    struct entries_t {
        sort_t items[kCapacity];
        int count = 0;
        const sort_t& operator[](int k) const { return items[k]; }
        int size() const { return count; }
    };
    entries_t entries;
    sorted_rank_t rank[kCapacity];

    // count must not exceed kCapacity. With any_tie_order, equal x come in no fixed order (an
    // insertion sort, cheaper for the few points here), as sort_points_by_x_any_tie_order allows.
    small_x_sorted_t(const point_t* points, int count, bool any_tie_order = false) {
        entries.count = count;
        for (int i = 0; i < count; ++i)
            entries.items[i] = sort_t{i, points[i].x};
        if (any_tie_order)
            insertion_sort(entries.items, count);
        else
            heap_sort(entries.items, count,
                      [](const sort_t& a, const sort_t& b) { return a.key < b.key; });
        for (int k = 0; k < count; ++k)
            rank[entries.items[k].index].position = k;
    }

private:
    static void insertion_sort(sort_t* items, int count) {
        for (int k = 1; k < count; ++k) {
            sort_t item = items[k];
            int at = k;
            for (; at > 0 && item.key < items[at - 1].key; --at)
                items[at] = items[at - 1];
            items[at] = item;
        }
    }
};

// Sorted positions lo .. hi (inclusive) to compare with the segment from point a to point b: the
// positions between the ranks of its two ends, widened on both sides while the next key is closer
// than kClosureTolerance.
struct x_window_t {
    int lo;
    int hi;
};

template <typename Sorted>
x_window_t widened_window(const Sorted& sorted, int a, int b) {
    int lo = sorted.rank[a].position;
    int hi = sorted.rank[b].position;
    if (lo > hi)
        exchange(lo, hi);
    const auto& keys = sorted.entries;
    const int last = static_cast<int>(keys.size()) - 1;
    while (lo > 0 && keys[lo].key - keys[lo - 1].key < kClosureTolerance)
        --lo;
    while (hi < last && keys[hi + 1].key - keys[hi].key < kClosureTolerance)
        ++hi;
    return x_window_t{lo, hi};
}

// Results of comparing two segments of a shape.
constexpr int kSegmentsApart = 0;
constexpr int kSegmentsTouchAtVertex = 1;
constexpr int kSegmentsCross = 2;

// lines_cross_code: the segments meet / are parallel and no end of its second one lies on its
// first.
constexpr int kLinesMeet = 0;
constexpr int kLinesParallelApart = 3;

// relation_lines_cross finds a meeting point only within both segments' boxes grown by its 0.01
// band (shared ends within 0.0001, ends on the other segment within 0.01, or the lines' crossing
// inside both grown boxes). Boxes farther apart than this margin, far beyond that band, cannot
// meet, so the test is skipped with the same result. The x windows alone leave many such pairs
// where a shape runs nearly vertical.
constexpr double kBoxMargin = 1.0;

// A segment's extent in x and y.
struct segment_span_t {
    double lo_x, hi_x, lo_y, hi_y;
};

inline segment_span_t span_of(const point_t& a, const point_t& b) {
    return segment_span_t{a.x < b.x ? a.x : b.x, a.x < b.x ? b.x : a.x, a.y < b.y ? a.y : b.y,
                          a.y < b.y ? b.y : a.y};
}

// The extent widened by kBoxMargin on every side.
inline segment_span_t reach_of(const point_t& a, const point_t& b) {
    const segment_span_t span = span_of(a, b);
    return segment_span_t{span.lo_x - kBoxMargin, span.hi_x + kBoxMargin, span.lo_y - kBoxMargin,
                          span.hi_y + kBoxMargin};
}

// Whether a segment of extent `span` lies wholly outside another's `reach`. A sweep keeps the
// reach of each edge, so that a pair costs four comparisons.
inline bool spans_apart(const segment_span_t& reach, const segment_span_t& span) {
    return span.hi_y < reach.lo_y || span.lo_y > reach.hi_y || span.hi_x < reach.lo_x ||
           span.lo_x > reach.hi_x;
}

inline bool boxes_apart(const point_t& a0, const point_t& a1, const point_t& b0,
                        const point_t& b1) {
    return spans_apart(reach_of(a0, a1), span_of(b0, b1));
}

// Where the other segment first-second meets the segment e0-e1 of the sweep: true with *meet set
// to the meeting point (its code is that of a segment end when the point is one, else untouched),
// false when they do not meet. meet must not be null; *meet may be written even when they do not
// meet, as relation_lines_cross writes it.
// For parallel segments relation_lines_cross only looks for ends of its second segment on its
// first, so a collinear segment lying inside the other is seen in one argument order only; the
// other order is tried too, or the overlap would be found or missed depending on which segment's
// window happens to hold the other's ends.
inline bool segments_meeting_point(point_t first, point_t second, point_t e0, point_t e1,
                                   point_t* meet) {
    if (boxes_apart(first, second, e0, e1))
        return false;
    int lines = lines_cross_code(meet, second, first, e1, e0, kDefaultPermit);
    if (lines == kLinesParallelApart)
        lines = lines_cross_code(meet, e1, e0, second, first, kDefaultPermit);
    return lines == kLinesMeet;
}

// Compares the other segment first-second with the segment e0-e1 of the sweep, their boxes known
// to come within kBoxMargin: apart when they do not meet, a touch when the meeting point is one of
// the four ends, otherwise a crossing (the answer segments_meeting_point's point gives).
// A meeting at a shared end or at an end lying on the other segment is a touch without looking at
// the point: it is one of the four ends, and the test that found it holds only for finite
// coordinates, so the point compares as the same as itself. Only the carrying lines' crossing
// needs comparing with the ends.
inline int near_segments_contact_code(const point_t& first, const point_t& second,
                                      const point_t& e0, const point_t& e1) {
    point_t crossing;
    lines_meeting_t how = lines_meeting(&crossing, second, first, e1, e0, kDefaultPermit);
    if (how == lines_meeting_t::kParallelApart)
        how = lines_meeting(&crossing, e1, e0, second, first, kDefaultPermit);
    switch (how) {
        case lines_meeting_t::kSameSegment:
        case lines_meeting_t::kParallelApart:
        case lines_meeting_t::kCrossingOutside:
            return kSegmentsApart;
        case lines_meeting_t::kAtA1:
        case lines_meeting_t::kAtA2:
        case lines_meeting_t::kAtB1:
        case lines_meeting_t::kAtB2:
            return kSegmentsTouchAtVertex;
        case lines_meeting_t::kCrossingWithin:
            break;
    }
    bool at_end = same_point_inline(crossing, first) || same_point_inline(crossing, second) ||
                  same_point_inline(crossing, e0) || same_point_inline(crossing, e1);
    return at_end ? kSegmentsTouchAtVertex : kSegmentsCross;
}

// Compares the other segment first-second with the segment e0-e1 of the sweep: apart when they do
// not meet, a touch when the meeting point is one of the four ends, otherwise a crossing.
inline int segments_contact_code(const point_t& first, const point_t& second, const point_t& e0,
                                 const point_t& e1) {
    if (boxes_apart(first, second, e0, e1))
        return kSegmentsApart;
    return near_segments_contact_code(first, second, e0, e1);
}

// The neighbours along a ring of n edges of edge i (0 <= i < n): the edges it shares a point
// with, which the sweep never compares with it.
struct ring_neighbours_t {
    int prev;
    int next;
    ring_neighbours_t(int n, int i) : prev(i == 0 ? n - 1 : i - 1), next(i + 1 == n ? 0 : i + 1) {}
};

// The edges of a ring of n edges (stored points 0 .. n, point n closing it) that the sweep
// compares with edge i (point i to point i + 1): for every point j of edge i's widened window, the
// edge from j and the edge into j, leaving out edge i itself and its two neighbours along the ring
// (neighbourhood reckoned modulo n, i < n). visit(e) gets the start point e of each such edge, once
// per window point (an edge can come up twice, through both its ends), and returns true to stop.
// Returns true when a visit stopped the walk. The validity check and the self-intersection repair
// both walk these pairs, so the repair sees every contact the check reports.
template <typename Sorted, typename Visit>
bool for_each_ring_edge_in_window(const Sorted& sorted, x_window_t window, int n, int i,
                                  Visit visit) {
    const ring_neighbours_t around(n, i);
    for (int k = window.lo; k <= window.hi; ++k) {
        const int j = sorted.entries[k].index;
        if (j == i || j == i + 1)
            continue;
        if (j < n && j != around.prev && j != around.next && visit(j))
            return true;
        if (j > 0 && j - 1 != around.prev && j - 1 != around.next && visit(j - 1))
            return true;
    }
    return false;
}

// The same walk, over edge i's widened window (for_each_ring_edge_in_window takes the window
// given).
template <typename Sorted, typename Visit>
bool for_each_ring_edge_near(const Sorted& sorted, int n, int i, Visit visit) {
    return for_each_ring_edge_in_window(sorted, widened_window(sorted, i, i + 1), n, i, visit);
}

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_RELATION_X_SWEEP_H
