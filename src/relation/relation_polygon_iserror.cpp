// Validity of a polygon ring: enough vertices, closed, not flat, no repeated point, and no edge
// touching or crossing another except its two neighbours (an x-sorted sweep, n log n plus the
// edges that come near one another; a ring whose edges are all proven apart pair by pair skips it).
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "com/tolerances.h"
#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "relation/edge_boxes.h"
#include "relation/validity.h"
#include "x_sweep.h"

namespace {

// Result codes of relation_polygon_iserror.
constexpr int kPolygonValid = 0;
constexpr int kTooFewVertices = 3;
constexpr int kNotClosed = 4;
constexpr int kAllOnOneLine = 5;
constexpr int kRepeatedPoint = 6;

using mapgeom::kClosureTolerance;
// Up to this many edges, a ring is swept window by window: building the box index would cost more
// than it saves.
constexpr int kFewEdges = 32;
// An edge whose window holds at most this many points is compared with the window's edges
// directly: asking the box index costs more than the few comparisons it would spare.
constexpr int kDirectWindowPoints = 12;
// A vertex closer than this to the line through vertices 0 and 1 counts as on that line.
constexpr double kOnLineTolerance = mapgeom::kDefaultPermit;

// Compares edge i (point i to point i + 1) with the edges the sweep pairs it with: 0, or the code
// of the first contact.
template <typename Sorted>
int edge_contact_code(const point_t* points, int n, const Sorted& sorted, int i) {
    int code = mapgeom::kSegmentsApart;
    mapgeom::for_each_ring_edge_near(sorted, n, i, [&](int e) {
        code = mapgeom::segments_contact_code(points[e], points[e + 1], points[i], points[i + 1]);
        return code != mapgeom::kSegmentsApart;
    });
    return code;
}

template <typename Sorted>
int first_contact_code(const point_t* points, int n, const Sorted& sorted) {
    for (int i = 0; i < n; ++i) {
        int code = edge_contact_code(points, n, sorted, i);
        if (code != mapgeom::kSegmentsApart)
            return code;
    }
    return kPolygonValid;
}

// The sweep over the n + 1 stored points (closing point included) as the check defines it: each
// edge compared with the edges at every point of its widened x window, in window order; 0, or the
// code of the first contact. Near n squared where many points share nearly the same x. A ring of
// few edges is sorted in place.
int self_contact_code_by_windows(const polygon_t* polygon, int n) {
    const point_t* points = polygon->geom.points;
    if (n + 1 <= kFewEdges + 1)
        return first_contact_code(points, n,
                                  mapgeom::small_x_sorted_t<kFewEdges + 1>(points, n + 1));
    return first_contact_code(points, n, mapgeom::sort_points_by_x(points, n + 1));
}

// The sorted positions lo[k] .. hi[k] of the run of near-equal x holding position k: the window
// widening stops at the ends of these runs.
struct x_runs_t {
    std::vector<mapgeom::x_window_t> at;
};

x_runs_t runs_of(const mapgeom::x_sorted_t& sorted) {
    const std::vector<mapgeom::sort_t>& keys = sorted.entries;
    const int count = static_cast<int>(keys.size());
    x_runs_t runs{std::vector<mapgeom::x_window_t>(count)};
    for (int k = 0; k < count; ++k)
        runs.at[k].lo =
            k > 0 && keys[k].key - keys[k - 1].key < kClosureTolerance ? runs.at[k - 1].lo : k;
    for (int k = count - 1; k >= 0; --k)
        runs.at[k].hi = k < count - 1 && keys[k + 1].key - keys[k].key < kClosureTolerance
                            ? runs.at[k + 1].hi
                            : k;
    return runs;
}

// Where edge e first comes up in the window walk of edge i (window lo .. hi), e being neither
// edge i nor a neighbour: 2k for the edge from the point at sorted position k, 2k + 1 for the edge
// into it; -1 when the walk never compares it (neither end in the window).
inline long long first_visit(const mapgeom::sorted_rank_t* rank, mapgeom::x_window_t window,
                             int e) {
    long long first = -1;
    const int from = rank[e].position;
    if (from >= window.lo && from <= window.hi)
        first = 2LL * from;
    const int into = rank[e + 1].position;
    if (into >= window.lo && into <= window.hi && (first < 0 || 2LL * into + 1 < first))
        first = 2LL * into + 1;
    return first;
}

bool has_nan(const point_t* points, int count) {
    for (int i = 0; i < count; ++i)
        if (points[i].x != points[i].x || points[i].y != points[i].y)
            return true;
    return false;
}

// The box index over the reach of every edge (its extent widened by the margin beyond which
// segments_contact_code finds two segments apart): the edges it finds for an edge's extent are
// exactly those that segments_contact_code does not set apart from it by their boxes.
mapgeom::edge_boxes_t reach_index(const point_t* points, int n) {
    std::vector<mapgeom::edge_box_t> boxes(n);
    for (int e = 0; e < n; ++e) {
        const mapgeom::segment_span_t reach = mapgeom::reach_of(points[e], points[e + 1]);
        boxes[e] = mapgeom::edge_box_t{reach.lo_x, reach.lo_y, reach.hi_x, reach.hi_y};
    }
    return mapgeom::edge_boxes_t(std::move(boxes));
}

// The first contact in window order of edge i with the edges of its window, asking the reach index
// for the edges whose boxes come within reach (the others are apart from it): of those in the
// window, only ones coming before the first contact found so far are tested.
int contact_through_index(const point_t* points, int n, const mapgeom::x_sorted_t& sorted,
                          const mapgeom::edge_boxes_t& reaches, mapgeom::x_window_t window, int i) {
    const mapgeom::ring_neighbours_t around(n, i);
    const mapgeom::segment_span_t span = mapgeom::span_of(points[i], points[i + 1]);
    const mapgeom::sorted_rank_t* rank = sorted.rank.data();
    const point_t* edge = points + i;
    long long first = std::numeric_limits<long long>::max();
    int code = mapgeom::kSegmentsApart;
    reaches.for_each_meeting(mapgeom::edge_box_t{span.lo_x, span.lo_y, span.hi_x, span.hi_y},
                             [points, i, around, rank, window, edge, &first, &code](int e) {
                                 if (e == i || e == around.prev || e == around.next)
                                     return;
                                 const long long visit = first_visit(rank, window, e);
                                 if (visit < 0 || visit > first)
                                     return;
                                 const int c = mapgeom::near_segments_contact_code(
                                     points[e], points[e + 1], edge[0], edge[1]);
                                 if (c != mapgeom::kSegmentsApart) {
                                     first = visit;
                                     code = c;
                                 }
                             });
    return code;
}

// The first edge from `from` on with a contact and the code of its first contact; edge -1 when
// there is none.
struct edge_contact_t {
    int edge;
    int code;
};

// The same answer as self_contact_code_by_windows in about n log n plus the pairs of edges whose
// boxes come within reach: the windows are read off the runs of near-equal x, and of the edges
// they would compare with edge i only those whose boxes come near edge i's are tested (the others
// cannot meet it: segments_contact_code sets them apart), the first in window order deciding. A
// ring with NaN coordinates, whose boxes say nothing, and a ring of few edges, for which the
// windows are short anyway, are swept window by window; so is an edge whose window holds few
// points. Sweeps edges `from` .. n - 1.
edge_contact_t contacts_through_boxes(const point_t* points, int n,
                                      const mapgeom::x_sorted_t& sorted, int from = 0) {
    const x_runs_t runs = runs_of(sorted);
    std::optional<mapgeom::edge_boxes_t> reaches;  // built when a window first needs it
    for (int i = from; i < n; ++i) {
        int a = sorted.rank[i].position, b = sorted.rank[i + 1].position;
        mapgeom::x_window_t window{runs.at[a < b ? a : b].lo, runs.at[a < b ? b : a].hi};
        int code = mapgeom::kSegmentsApart;
        if (window.hi - window.lo < kDirectWindowPoints) {
            mapgeom::for_each_ring_edge_in_window(sorted, window, n, i, [&](int e) {
                code = mapgeom::segments_contact_code(points[e], points[e + 1], points[i],
                                                      points[i + 1]);
                return code != mapgeom::kSegmentsApart;
            });
        } else {
            if (!reaches)
                reaches.emplace(reach_index(points, n));
            code = contact_through_index(points, n, sorted, *reaches, window, i);
        }
        if (code != mapgeom::kSegmentsApart)
            return edge_contact_t{i, code};
    }
    return edge_contact_t{-1, kPolygonValid};
}

// Whether segments_contact_code finds edges e and i of a ring apart in both argument orders.
inline bool apart_both_ways(const point_t* points, int e, int i) {
    return mapgeom::segments_contact_code(points[e], points[e + 1], points[i], points[i + 1]) ==
               mapgeom::kSegmentsApart &&
           mapgeom::segments_contact_code(points[i], points[i + 1], points[e], points[e + 1]) ==
               mapgeom::kSegmentsApart;
}

// Whether no two edges of a ring of few edges, other than neighbours along it, touch or cross as
// segments_contact_code compares them, in either order: the sweep compares some of those pairs
// only, so it then finds no contact. Pairs of edges are tested directly, sooner than the points are
// sorted for the sweep; boxes farther apart than the margin are apart without the test. Every
// coordinate must be finite.
bool few_edges_apart(const point_t* points, int n) {
    mapgeom::segment_span_t reach[kFewEdges];
    for (int e = 0; e < n; ++e)
        reach[e] = mapgeom::reach_of(points[e], points[e + 1]);
    for (int i = 0; i + 2 < n; ++i) {
        const mapgeom::segment_span_t& r = reach[i];
        for (int e = i + 2; e < (i == 0 ? n - 1 : n); ++e) {
            const mapgeom::segment_span_t& o = reach[e];
            if (o.lo_x > r.hi_x || o.hi_x < r.lo_x || o.lo_y > r.hi_y || o.hi_y < r.lo_y)
                continue;
            if (!apart_both_ways(points, e, i))
                return false;
        }
    }
    return true;
}

// Two edges farther apart than this in the plane are apart as segments_contact_code compares them,
// in either order, when both are well conditioned (below). The comparison finds a contact only
// where an end lies within kSamePoint of another, an end within the 0.01 band of the other
// segment (parallel edges), or the carrying lines' crossing, as worked out in floating point,
// within both boxes grown by the band. A crossing point off the true one by at most g (measured
// along y) puts the two segments within 2 * sqrt(2) * (0.01 + g) + 2 * g of each other; the
// bound below keeps g under 0.01, so every contact the comparison finds lies within 0.08.
constexpr double kCertainlyApart = 0.1;
// g is at most kCrossingError * u * S * (1 + |k_a| + |k_b|), S the largest coordinate magnitude,
// u the machine epsilon, k the slopes: every quantity the crossing is worked out from (slopes,
// intercepts, their differences) carries a few roundings of terms no larger than S times a slope,
// and the point lies within the boxes, so no larger than S. The factor is several times what the
// roundings add up to.
constexpr double kCrossingError = 64.0;
constexpr double kMostCrossingError = 0.01;

// What the proof that two edges are farther apart than kCertainlyApart needs of each edge: its
// direction, and how far from its line a point must be found to be proven that far away (the
// proof's margin per unit of |dx| + |dy|, which is at least the edge's length).
struct edge_line_t {
    double dx, dy;
    double clear;
    bool conditioned;  // its slope keeps the crossing error under kMostCrossingError
};

// Whether a ring's edges can be proven apart in the plane, every coordinate finite and S the
// largest magnitude: an edge is well conditioned when it is near vertical (the comparison then
// takes it as vertical, and uses no slope of it) or its slope is at most `most_slope`.
struct apart_proof_t {
    double most_slope;
    // kCertainlyApart plus the rounding error of the side tests, per unit of an edge's l1.
    double margin;
};

apart_proof_t apart_proof_for(double largest) {
    const double u = std::numeric_limits<double>::epsilon();
    const double budget =
        kMostCrossingError / (kCrossingError * u * (largest > 1.0 ? largest : 1.0));
    return apart_proof_t{(budget - 1.0) / 2.0, kCertainlyApart + 32.0 * u * largest};
}

std::vector<edge_line_t> edge_lines(const point_t* points, int n, const apart_proof_t& proof) {
    std::vector<edge_line_t> lines(n);
    for (int e = 0; e < n; ++e) {
        const double dx = points[e + 1].x - points[e].x, dy = points[e + 1].y - points[e].y;
        const bool near_vertical = std::fabs(dx) < mapgeom::kDirectionTolerance;
        lines[e] = edge_line_t{dx, dy, (std::fabs(dx) + std::fabs(dy)) * proof.margin,
                               near_vertical || std::fabs(dy / dx) <= proof.most_slope};
    }
    return lines;
}

// Whether c and d lie on the same side of the line of the edge from a, each farther from it than
// the proof's margin: then every point of c-d is, so the two segments lie that far apart. The side
// values are worked out in floating point; their error, at most 16 u S per unit of the edge's
// |dx| + |dy|, is part of the margin.
inline bool beside_line(const point_t& a, const edge_line_t& line, const point_t& c,
                        const point_t& d) {
    const double side_c = line.dx * (c.y - a.y) - line.dy * (c.x - a.x);
    const double side_d = line.dx * (d.y - a.y) - line.dy * (d.x - a.x);
    return (side_c > line.clear && side_d > line.clear) ||
           (side_c < -line.clear && side_d < -line.clear);
}

// Whether segments_contact_code finds edges e and i apart in both orders: proven without it when
// both edges are well conditioned and one lies wholly to one side of the other's line, farther
// than kCertainlyApart; otherwise by running it both ways.
inline bool pair_apart(const point_t* points, const edge_line_t* lines, int e, int i) {
    const point_t* a = points + i;
    const point_t* c = points + e;
    if (lines[i].conditioned && lines[e].conditioned &&
        (beside_line(a[0], lines[i], c[0], c[1]) || beside_line(c[0], lines[e], a[0], a[1])))
        return true;
    return apart_both_ways(points, e, i);
}

constexpr int kGroup = static_cast<int>(mapgeom::edge_boxes_t::kFanout);

// The extents of edges from .. to - 1 into spans[0 ..], and the box around them all.
mapgeom::edge_box_t spans_of(const point_t* points, int from, int to, mapgeom::edge_box_t* spans) {
    mapgeom::edge_box_t around{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (int i = from; i < to; ++i) {
        const mapgeom::segment_span_t span = mapgeom::span_of(points[i], points[i + 1]);
        spans[i - from] = mapgeom::edge_box_t{span.lo_x, span.lo_y, span.hi_x, span.hi_y};
        around = mapgeom::edge_box_t{
            std::min(around.min_x, span.lo_x), std::min(around.min_y, span.lo_y),
            std::max(around.max_x, span.hi_x), std::max(around.max_y, span.hi_y)};
    }
    return around;
}

// Whether no two edges of a ring with every coordinate finite, other than neighbours along it,
// touch or cross as segments_contact_code compares them, in either order: the sweep compares some
// of those pairs only, so it then finds no contact. Each pair of edges whose boxes come within
// reach of each other is looked at once, through the box index; most are proven apart by a side
// test (pair_apart). False when a pair has a contact in either order: the sweep then decides.
// (Whether two boxes come within reach is asked one way round here and may be answered the other
// way round in the sweep; the rounding of the reach can tell the two apart only for boxes about
// the reach apart, and boxes more than twice the band apart never hold a contact.)
bool indexed_edges_apart(const point_t* points, int n) {
    double largest = 0.0;
    for (int k = 0; k <= n; ++k)
        largest = std::max({largest, std::fabs(points[k].x), std::fabs(points[k].y)});
    const std::vector<edge_line_t> lines = edge_lines(points, n, apart_proof_for(largest));
    const mapgeom::edge_boxes_t reaches = reach_index(points, n);
    std::vector<size_t> groups;
    mapgeom::edge_box_t spans[kGroup];
    // The edges of one group of the index at a time: the groups that come near any of them are
    // looked up once, then each edge is compared with the edges of those its own box meets.
    for (int from = 0; from < n; from += kGroup) {
        const int to = std::min(n, from + kGroup);
        const mapgeom::edge_box_t around = spans_of(points, from, to, spans);
        groups.clear();
        reaches.for_each_group_meeting_from(static_cast<size_t>(from + 2), around,
                                            [&](size_t g) { groups.push_back(g); });
        for (int i = from; i < to; ++i) {
            const mapgeom::edge_box_t& span = spans[i - from];
            const int last = i == 0 ? n - 2 : n - 1;  // edge n - 1 neighbours edge 0
            for (size_t g : groups) {
                if (!mapgeom::boxes_meet(reaches.group_box(g), span))
                    continue;
                const int end = std::min(last + 1, static_cast<int>(g) * kGroup + kGroup);
                for (int e = std::max(i + 2, static_cast<int>(g) * kGroup); e < end; ++e)
                    if (mapgeom::boxes_meet(reaches.edge_box(e), span) &&
                        !pair_apart(points, lines.data(), e, i))
                        return false;
            }
        }
    }
    return true;
}

bool all_finite(const point_t* points, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y))
            return false;
    return true;
}

bool all_x_finite(const point_t* points, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(points[i].x))
            return false;
    return true;
}

// With every x finite, the windows are whole runs of near-equal x, the same whatever the order of
// equal x, so whether an edge has a contact does not depend on that order: only which of its
// contacts comes first does. The edge is found over the points sorted in any tie order (faster
// than the heap sort), and only its code is read over the heap-sorted order.
int self_contact_code(const polygon_t* polygon, int n) {
    const point_t* points = polygon->geom.points;
    if (n <= kFewEdges && all_finite(points, n + 1) && few_edges_apart(points, n))
        return kPolygonValid;
    if (n <= kFewEdges || has_nan(points, n + 1))
        return self_contact_code_by_windows(polygon, n);
    if (!all_x_finite(points, n + 1))
        return contacts_through_boxes(points, n, mapgeom::sort_points_by_x(points, n + 1)).code;
    if (all_finite(points, n + 1) && indexed_edges_apart(points, n))
        return kPolygonValid;
    const edge_contact_t found =
        contacts_through_boxes(points, n, mapgeom::sort_points_by_x_any_tie_order(points, n + 1));
    if (found.edge < 0)
        return kPolygonValid;
    return contacts_through_boxes(points, n, mapgeom::sort_points_by_x(points, n + 1), found.edge)
        .code;
}

// Nonzero exactly when self_contact_code is, without the heap sort's order for the code (a ring
// of few edges is sorted in place in any tie order too).
int has_self_contact(const polygon_t* polygon, int n) {
    const point_t* points = polygon->geom.points;
    // Every coordinate finite: no NaN, every x finite (one pass for the common small ring).
    const bool few_and_finite = n <= kFewEdges && all_finite(points, n + 1);
    if (few_and_finite && few_edges_apart(points, n))
        return kPolygonValid;
    if (!few_and_finite && (has_nan(points, n + 1) || !all_x_finite(points, n + 1)))
        return self_contact_code(polygon, n);
    if (n <= kFewEdges)
        return first_contact_code(points, n,
                                  mapgeom::small_x_sorted_t<kFewEdges + 1>(points, n + 1, true));
    if (all_finite(points, n + 1) && indexed_edges_apart(points, n))
        return kPolygonValid;
    return contacts_through_boxes(points, n, mapgeom::sort_points_by_x_any_tie_order(points, n + 1))
        .code;
}

// Whether polygon_error_code tests that the ring does not lie on one line (a caller that knows
// already leaves it out).
enum class LineTest { kMade, kKnownOff };

// Runs the tests of relation_polygon_iserror in order, the self-contact sweep given.
template <typename SelfContact>
int polygon_error_code(const polygon_t* polygon, SelfContact self_contact,
                       LineTest line = LineTest::kMade) {
    const int n = com_polygon_num(polygon);
    if (n < 3)
        return kTooFewVertices;
    if (com_points_same_permit(com_polygon_front(polygon), com_polygon_last(polygon),
                               kClosureTolerance) != 0)
        return kNotClosed;
    if (line == LineTest::kMade && is_allpoints_at_line(polygon) == 0)
        return kAllOnOneLine;
    if (has_overlap_points(polygon) == 1)
        return kRepeatedPoint;
    return self_contact(polygon, n);
}

}  // namespace

int is_allpoints_at_line(const polygon_t* polygon) {
    // Fewer than two stored points have no line to leave.
    if (polygon->geom.count < 2)
        return 0;
    const point_t* points = polygon->geom.points;
    const int n = com_polygon_num(polygon);
    for (int j = 2; j < n; ++j) {
        int side = relation_point_at_line(points[j], points[0], points[1], kOnLineTolerance);
        if (side != 0 && side != 1)
            return 1;
    }
    return 0;
}

int has_overlap_points(const polygon_t* polygon) {
    const point_t* points = polygon->geom.points;
    const int n = com_polygon_num(polygon);
    for (int i = 1; i <= n; ++i) {
        if (com_points_same(points[i], points[i - 1]) == 0)
            return 1;
    }
    return 0;
}

int relation_polygon_iserror(const polygon_t* polygon) {
    return polygon_error_code(polygon, self_contact_code);
}

namespace mapgeom {

int polygon_iserror_by_windows(const polygon_t* polygon) {
    return polygon_error_code(polygon, self_contact_code_by_windows);
}

bool polygon_is_faulty(const polygon_t* polygon) {
    return polygon_error_code(polygon, has_self_contact) != kPolygonValid;
}

bool polygon_off_one_line_is_faulty(const polygon_t* polygon) {
    return polygon_error_code(polygon, has_self_contact, LineTest::kKnownOff) != kPolygonValid;
}

}  // namespace mapgeom
