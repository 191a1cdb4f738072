// Polyline cleaning: removal of points that repeat the point kept before them, and thinning to a
// given number of points by arc length.
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "optimize_internal.h"

namespace {

// Points closer than this in x and in y to the last kept point are dropped; with whole-unit
// coordinates it merges only exact repeats.
constexpr double kPolylineRepeatTolerance = 0.99;

// Compacts in place in one sweep: linear time however many repeats there are.
void drop_repeats(geom_t* geom) {
    if (geom->count < 2)
        return;
    point_t* points = geom->points;
    int kept = 1;
    for (int read = 1; read < geom->count; ++read) {
        if (com_points_same_permit(points[kept - 1], points[read], kPolylineRepeatTolerance) != 0)
            points[kept++] = points[read];
    }
    geom->count = kept;
}

// Takes point 0 and then every point at which the length walked since the last taken point
// reaches step = total / n (the surplus carried on). A count below 1 thins as 1 would.
void thin_by_length(const geom_t* in, int n, polyline_t* out) {
    if (n < 1)
        n = 1;
    if (n >= in->count) {
        com_polyline_add_geom(out, in);
        return;
    }
    double total = 0.0;
    for (int i = 0; i + 1 < in->count; ++i)
        total += calc_points_distance(in->points[i], in->points[i + 1]);
    const double step = total / n;
    com_polyline_add(out, in->points[0]);
    double walked = 0.0;
    for (int i = 0; i + 1 < in->count; ++i) {
        walked += calc_points_distance(in->points[i], in->points[i + 1]);
        if (walked >= step) {
            com_polyline_add(out, in->points[i + 1]);
            walked -= step;
        }
    }
}

}  // namespace

int optimize_polyline_reduc(const polyline_t* input, polyline_t* output, int n) {
    if (input == nullptr || output == nullptr)
        return 0;
    mapgeom::guarded_void([&] { thin_by_length(&input->geom, n, output); });
    return 0;
}

int optimize_polyline_del_repeatpts(polyline_t* polyline) {
    return mapgeom::run_cleaning_pass(polyline, drop_repeats, com_polyline_num);
}
