// Difference of two rings, A minus B. B is turned against A, so that its stretches inside A run in
// the direction that bounds what is left of A; the walk follows A while A runs outside B and B
// from each crossing where A runs into B, back to A where B comes out of A. Touching crossings are
// dropped as in the intersection; where B touches A from inside, the vertex keeps its crossing
// marker. The steps around the walk are shared with the intersection.
#include <algorithm>

#include "algebra/crossing_walk.h"
#include "com/codes.h"
#include "mapgeom/algebra.h"

namespace {

using namespace mapgeom;  // the shared codes, holders and steps

// A walk of the difference gives up on a ring that does not close after this many steps, or after
// this many per vertex of A and B when that is more: a walk that closes visits each vertex a few
// times at most, and a fixed bound alone would cut the walks of large rings short.
constexpr long kDiffenceStepLimit = 100000;
constexpr long kDiffenceStepsPerVertex = 15;

// The difference's walk. A ring starts at the first crossing after the start vertex where A runs
// into B, follows B (turned against A) to the next crossing where A runs outside B, then A, until
// it is back at its first point.
class DiffenceWalk : public CrossingWalk<DiffenceWalk> {
public:
    using CrossingWalk::CrossingWalk;

    void run() {
        CrossingWalk::run(std::max(kDiffenceStepLimit, kDiffenceStepsPerVertex * (n_a_ + n_b_)));
    }

    bool begin_ring() {
        start_ = crossings_.next_start(used_);
        free_at_start_ = used_.remaining();
        return begin_at(start_);
    }

    // A point that is not a crossing.
    void pass(point_t p) {
        if (!started_)
            return;
        add(p);
        if (side_ == WalkSide::kA)
            used_.use(i_);
    }

    // A crossing: close the ring, or switch sides. False when no start is left for a new ring.
    bool at_crossing(point_t p) {
        if (closes_ring(p)) {
            add(p);
            close_walked_ring(ring(), out_);
            // A ring that took no vertex of A (only a self-crossing B closes such a loop) leaves
            // every mark as it was, so the same start would walk the same ring again until the
            // step limit: its start is taken instead.
            if (used_.remaining() == free_at_start_)
                used_.use(start_);
            return begin_ring();
        }
        int in_a = crossings_.first_on_a(side_, here());
        if (side_after(in_a, p) == 0)
            follow_a(p, in_a);
        else
            follow_b(p, in_a);
        return true;
    }

private:
    // A runs outside B after p.
    void follow_a(point_t p, int in_a) {
        if (!started_)
            return;
        add(p);
        i_ = in_a;
        side_ = WalkSide::kA;
        used_.use(i_);
    }

    // A runs into B (or along it) after p.
    void follow_b(point_t p, int in_a) {
        add(p);
        j_ = crossings_.first_on_b(side_, here());
        if (started_)
            used_.use(in_a);
        started_ = true;
        side_ = WalkSide::kB;
    }

    int start_ = -1;
    int free_at_start_ = 0;
};

}  // namespace

namespace mapgeom {

int polygons_diffence(polygon_t* a, polygon_t* b, geom_t* points, polygons_t* out,
                      OverlayLookups* lookups) {
    drop_touching_crossings(a, b, points, TouchMarkers::kAllButInnerTouch, lookups);
    DiffenceWalk walk(a, b, points, out, lookups);
    walk.run();
    if (com_polygons_num(out) > 0)
        return kOverlayDone;
    return kWalkEmptyAWithinB + nesting_offset(a, b);
}

}  // namespace mapgeom

int algebra_polygons_diffence(polygon_t* a, polygon_t* b, polygons_t* out) {
    return run_crossing_overlay(a, b, out, Overlay::kDiffence);
}
