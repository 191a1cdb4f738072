// Polyline cleaning: removal of points that repeat the point kept before them.
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

}  // namespace

int optimize_polyline_del_repeatpts(polyline_t* polyline) {
    return mapgeom::run_cleaning_pass(polyline, drop_repeats, com_polyline_num);
}
