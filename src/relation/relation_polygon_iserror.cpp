// Validity of a polygon ring: enough vertices, closed, not flat, no repeated point, and no edge
// touching or crossing another except its two neighbours (an x-sorted sweep, near n log n).
#include "com/tolerances.h"
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

using mapgeom::kClosureTolerance;
// A vertex closer than this to the line through vertices 0 and 1 counts as on that line.
constexpr double kOnLineTolerance = mapgeom::kDefaultPermit;

// Compares edge i (point i to point i + 1) with the edges the sweep pairs it with: 0, or the code
// of the first contact.
int edge_contact_code(const point_t* points, int n, const mapgeom::x_sorted_t& sorted, int i) {
    int code = mapgeom::kSegmentsApart;
    mapgeom::for_each_ring_edge_near(sorted, n, i, [&](int e) {
        code = mapgeom::segments_contact_code(points[e], points[e + 1], points[i], points[i + 1]);
        return code != mapgeom::kSegmentsApart;
    });
    return code;
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
