// Validity of a polyline: at least two points and no segment touching or crossing another except
// its neighbours (the x-sorted sweep of the polygon check, over the open point sequence).
#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "x_sweep.h"

namespace {

// Result codes of relation_polyline_iserror beyond the contact codes 1 and 2.
constexpr int kPolylineValid = 0;
constexpr int kTooFewPoints = 3;

// Compares segment i (point i to point i + 1) with the segments at every point of its widened x
// window, except itself and its neighbours. The segment ending at point i - 1 is left to the sweep
// of its own window, which holds point i or i + 1 whenever the two can meet.
int segment_contact_code(const point_t* points, int n, const mapgeom::x_sorted_t& sorted, int i) {
    const mapgeom::x_window_t window = mapgeom::widened_window(sorted, i, i + 1);
    for (int k = window.lo; k <= window.hi; ++k) {
        const int j = sorted.entries[k].index;
        if (j == i || j == i + 1)
            continue;
        if (j < n - 1) {
            if (j + 1 == i)
                continue;
            int code =
                mapgeom::segments_contact_code(points[j], points[j + 1], points[i], points[i + 1]);
            if (code != mapgeom::kSegmentsApart)
                return code;
        }
        if (j > 0 && i + 1 != j - 1) {
            int code =
                mapgeom::segments_contact_code(points[j - 1], points[j], points[i], points[i + 1]);
            if (code != mapgeom::kSegmentsApart)
                return code;
        }
    }
    return mapgeom::kSegmentsApart;
}

}  // namespace

int relation_polyline_iserror(const polyline_t* polyline) {
    const int n = com_polyline_num(polyline);
    if (n < 2)
        return kTooFewPoints;
    const point_t* points = polyline->geom.points;
    const mapgeom::x_sorted_t sorted = mapgeom::sort_points_by_x(points, n);
    for (int i = 0; i + 1 < n; ++i) {
        int code = segment_contact_code(points, n, sorted, i);
        if (code != mapgeom::kSegmentsApart)
            return code;
    }
    return kPolylineValid;
}
