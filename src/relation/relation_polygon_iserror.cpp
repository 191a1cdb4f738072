// Validity of a polygon ring: enough vertices, closed, not flat, no repeated point, and no edge
// touching or crossing another except its two neighbours (an x-sorted sweep, near n log n).
#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "x_sweep.h"

namespace {

// Result codes of relation_polygon_iserror.
constexpr int kPolygonValid = 0;
constexpr int kTooFewVertices = 3;
constexpr int kNotClosed = 4;
constexpr int kAllOnOneLine = 5;
constexpr int kRepeatedPoint = 6;

// The first and last stored points must agree closer than this in x and in y for a closed ring.
constexpr double kClosureTolerance = 0.99;
// A vertex closer than this to the line through vertices 0 and 1 counts as on that line.
constexpr double kOnLineTolerance = 0.01;

// Compares edge i (point i to point i + 1) with the edges at every point of its widened x window,
// except itself and its two neighbours along the ring. Point n is the closing point (point 0
// again), so neighbourhood is reckoned modulo n.
int edge_contact_code(const point_t* points, int n, const mapgeom::x_sorted_t& sorted, int i) {
    const mapgeom::x_window_t window = mapgeom::widened_window(sorted, i, i + 1);
    for (int k = window.lo; k <= window.hi; ++k) {
        const int j = sorted.entries[k].index;
        if (j == i || j == i + 1)
            continue;
        if (j < n && (j + 1) % n != i && (i + 1) % n != j) {
            int code =
                mapgeom::segments_contact_code(points[j], points[j + 1], points[i], points[i + 1]);
            if (code != mapgeom::kSegmentsApart)
                return code;
        }
        if (j > 0 && (i + 1) % n != j - 1 && j % n != i) {
            int code =
                mapgeom::segments_contact_code(points[j - 1], points[j], points[i], points[i + 1]);
            if (code != mapgeom::kSegmentsApart)
                return code;
        }
    }
    return mapgeom::kSegmentsApart;
}

// Sweeps the n + 1 stored points (closing point included): 0, or the code of the first contact.
int self_contact_code(const polygon_t* polygon, int n) {
    const point_t* points = polygon->geom.points;
    const mapgeom::x_sorted_t sorted = mapgeom::sort_points_by_x(points, n + 1);
    for (int i = 0; i < n; ++i) {
        int code = edge_contact_code(points, n, sorted, i);
        if (code != mapgeom::kSegmentsApart)
            return code;
    }
    return kPolygonValid;
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
    return self_contact_code(polygon, n);
}
