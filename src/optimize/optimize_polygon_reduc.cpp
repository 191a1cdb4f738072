// Polygon cleaning: snapping to whole units with removal of repeated points, the rebuild that
// merges runs of repeated points while keeping press codes consistent, and spike removal.
//
// Both passes compact the ring in place in one sweep (read index ahead of write index) instead of
// removing points one at a time, so a ring full of repeats costs linear time and no allocation.
#include "com/numeric.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "optimize_internal.h"

namespace {

using mapgeom::snap_point;

// Snaps every point and drops each point that repeats the last kept one. Of the two, the later
// point replaces the kept one when it carries a code (z not exactly 0), so coded points survive.
// A lone point is left as it is.
void drop_repeats_keeping_codes(geom_t* geom) {
    if (geom->count < 2)
        return;
    point_t* points = geom->points;
    snap_point(&points[0]);
    int kept = 1;
    for (int read = 1; read < geom->count; ++read) {
        point_t current = points[read];
        snap_point(&current);
        if (com_points_same(points[kept - 1], current) != 0)
            points[kept++] = current;
        else if (current.z != 0.0)
            points[kept - 1] = current;
    }
    geom->count = kept;
}

// Snaps every point and merges each run of repeated points into its first point. Along the run,
// a plain point followed by a press-coded one hands that code to the run's first point, and two
// press-coded points in a row make it plain.
void merge_runs_keeping_press_codes(geom_t* geom) {
    point_t* points = geom->points;
    int count = geom->count;
    if (count == 0)
        return;
    snap_point(&points[0]);
    point_t previous = points[0];  // the stored point before `read`, as it was before merging
    int kept = 1;
    for (int read = 1; read < count; ++read) {
        point_t current = points[read];
        snap_point(&current);
        if (com_points_same(previous, current) != 0) {
            points[kept++] = current;
        } else {
            int previous_press = mapgeom::press_code_of(previous.z);
            int current_press = mapgeom::press_code_of(current.z);
            if (previous_press == 0 && current_press != 0)
                points[kept - 1].z = current.z;
            else if (previous_press != 0 && current_press != 0)
                points[kept - 1].z = 0.0;
        }
        previous = current;
    }
    geom->count = kept;
}

// A vertex whose arms meet at less than this many degrees is the tip of a spike.
constexpr double kSpikeAngle = 3.0;

// Removing a spike's tip from a triangle would leave no ring; three vertices are left as they are.
constexpr int kLeastRing = 3;

// Removes the tip of every spike: the vertex after i goes while the angle at it is below
// kSpikeAngle, and the same place is examined again, so a spike of several vertices folds up from
// its tip. When the tip is the closing point, the first vertex goes with it and the ring closes on
// the new first vertex.
void remove_spikes(polygon_t* polygon) {
    for (int i = 0; i < com_polygon_num(polygon) && com_polygon_num(polygon) > kLeastRing;) {
        int last = com_polygon_num(polygon) - 1;
        point_t a = com_polygon_at(polygon, i);
        point_t b = com_polygon_nexter(polygon, i);
        point_t c = com_polygon_nexter(polygon, i + 1);
        if (!(calc_points_angle(a, b, c) < kSpikeAngle)) {
            ++i;
            continue;
        }
        if (i == last) {
            com_polygon_removeat(polygon, last + 1);
            com_polygon_removeat(polygon, 0);
            com_polygon_add(polygon, com_polygon_at(polygon, 0));
        } else {
            com_polygon_removeat(polygon, i + 1);
        }
    }
}

}  // namespace

void optimize_polygon_reduc(polygon_t* polygon) {
    if (polygon == nullptr)
        return;
    mapgeom::guarded_void([&] { remove_spikes(polygon); });
}

int optimize_polygon_del_repeatpts(polygon_t* polygon) {
    return mapgeom::run_cleaning_pass(polygon, drop_repeats_keeping_codes, com_polygon_num);
}

int optimize_polygon_process(polygon_t* polygon) {
    return mapgeom::run_cleaning_pass(polygon, merge_runs_keeping_press_codes,
                                      [](const polygon_t* p) { return p->geom.count; });
}
