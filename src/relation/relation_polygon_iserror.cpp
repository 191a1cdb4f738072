// Validity of a polygon ring: enough vertices, closed, not flat, no repeated point, and no edge
// touching or crossing another except its two neighbours (an x-sorted sweep, n log n plus the
// edges that come near one another).
#include <cmath>
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
// Edges whose boxes are farther apart than this cannot meet: twice the margin beyond which
// segments_meeting_point skips a pair, so that no rounding of the grown bounds loses one.
constexpr double kCandidateReach = 2 * mapgeom::kBoxMargin;
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

// Where edge e first comes up in the window walk of edge i (window lo .. hi): 2k for the edge
// from the point at sorted position k, 2k + 1 for the edge into it; -1 when the walk never
// compares it (not in the window, or edge i itself or a neighbour).
long long first_visit(const mapgeom::x_sorted_t& sorted, mapgeom::x_window_t window, int n, int i,
                      int e) {
    long long first = -1;
    int j = e;  // the edge from point j
    int k = sorted.rank[j].position;
    if (k >= window.lo && k <= window.hi && j != i && j != i + 1 && (j + 1) % n != i &&
        (i + 1) % n != j)
        first = 2LL * k;
    j = e + 1;  // the edge into point j
    k = sorted.rank[j].position;
    if (k >= window.lo && k <= window.hi && j != i && j != i + 1 && (i + 1) % n != j - 1 &&
        j % n != i && (first < 0 || 2LL * k + 1 < first))
        first = 2LL * k + 1;
    return first;
}

bool has_nan(const point_t* points, int count) {
    for (int i = 0; i < count; ++i)
        if (points[i].x != points[i].x || points[i].y != points[i].y)
            return true;
    return false;
}

// The same answer as self_contact_code_by_windows in about n log n plus the pairs of edges whose
// boxes come within reach: the windows are read off the runs of near-equal x, and of the edges
// they would compare with edge i only those whose boxes come near edge i's are tested (the others
// cannot meet it: segments_meeting_point skips them), the first in window order deciding. A ring
// with NaN coordinates, whose boxes say nothing, and a ring of few edges, for which the windows
// are short anyway, are swept window by window; so is an edge whose window holds few points.
int contacts_through_boxes(const point_t* points, int n, const mapgeom::x_sorted_t& sorted) {
    const x_runs_t runs = runs_of(sorted);
    std::optional<mapgeom::edge_boxes_t> boxes;  // built when a window first needs it
    std::vector<mapgeom::edge_found_t> near;
    for (int i = 0; i < n; ++i) {
        int a = sorted.rank[i].position, b = sorted.rank[i + 1].position;
        mapgeom::x_window_t window{runs.at[a < b ? a : b].lo, runs.at[a < b ? b : a].hi};
        if (window.hi - window.lo < kDirectWindowPoints) {
            int code = mapgeom::kSegmentsApart;
            mapgeom::for_each_ring_edge_in_window(sorted, window, n, i, [&](int e) {
                code = mapgeom::segments_contact_code(points[e], points[e + 1], points[i],
                                                      points[i + 1]);
                return code != mapgeom::kSegmentsApart;
            });
            if (code != mapgeom::kSegmentsApart)
                return code;
            continue;
        }
        mapgeom::edge_box_t reach = mapgeom::box_of_edge(points[i], points[i + 1]);
        reach = {reach.min_x - kCandidateReach, reach.min_y - kCandidateReach,
                 reach.max_x + kCandidateReach, reach.max_y + kCandidateReach};
        if (!boxes)
            boxes.emplace(points, n + 1);
        boxes->edges_meeting(reach, &near);
        long long first = -1;
        int code = mapgeom::kSegmentsApart;
        for (mapgeom::edge_found_t found : near) {
            long long visit = first_visit(sorted, window, n, i, found.edge);
            if (visit < 0 || (first >= 0 && visit > first))
                continue;
            int e = found.edge;
            int c =
                mapgeom::segments_contact_code(points[e], points[e + 1], points[i], points[i + 1]);
            if (c != mapgeom::kSegmentsApart) {
                first = visit;
                code = c;
            }
        }
        if (code != mapgeom::kSegmentsApart)
            return code;
    }
    return kPolygonValid;
}

int self_contact_code(const polygon_t* polygon, int n) {
    const point_t* points = polygon->geom.points;
    if (n <= kFewEdges || has_nan(points, n + 1))
        return self_contact_code_by_windows(polygon, n);
    return contacts_through_boxes(points, n, mapgeom::sort_points_by_x(points, n + 1));
}

bool all_x_finite(const point_t* points, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(points[i].x))
            return false;
    return true;
}

// Nonzero exactly when self_contact_code is: with every x finite, whether any pair meets does not
// depend on the order of equal x, only which pair comes first does.
int has_self_contact(const polygon_t* polygon, int n) {
    const point_t* points = polygon->geom.points;
    if (n <= kFewEdges || !all_x_finite(points, n + 1))
        return self_contact_code(polygon, n);
    return contacts_through_boxes(points, n,
                                  mapgeom::sort_points_by_x_any_tie_order(points, n + 1));
}

// Runs the tests of relation_polygon_iserror in order, the self-contact sweep given.
template <typename SelfContact>
int polygon_error_code(const polygon_t* polygon, SelfContact self_contact) {
    const int n = com_polygon_num(polygon);
    if (n < 3)
        return kTooFewVertices;
    if (com_points_same_permit(com_polygon_front(polygon), com_polygon_last(polygon),
                               kClosureTolerance) != 0)
        return kNotClosed;
    if (is_allpoints_at_line(polygon) == 0)
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

}  // namespace mapgeom
