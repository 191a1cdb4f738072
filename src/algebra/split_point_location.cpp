// Point location against one ring asked many times, for the split walks: the plain point-in-polygon
// test costs a pass over every edge, so a ring with many edges is indexed once and most points are
// settled by the few edges straight below them.
#include <cmath>
#include <limits>

#include "algebra/split_internal.h"
#include "mapgeom/relation.h"

namespace mapgeom {
namespace {

// Below this many edge tests in all the plain test is cheaper than building the index.
constexpr long long kIndexedWorkThreshold = 1 << 16;

constexpr int kOutside = 0;
constexpr int kInside = 1;

// Distance from p to the line through a and b (to a when they coincide).
double distance_to_carrier(point_t p, point_t a, point_t b) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double length = std::hypot(dx, dy);
    if (length == 0.0)
        return std::hypot(p.x - a.x, p.y - a.y);
    return std::fabs(dx * (p.y - a.y) - dy * (p.x - a.x)) / length;
}

}  // namespace

// Whether an edge may lie within the permit (plus kCandidateBoxMargin) of p: its grown box meets p
// and p lies that near its carrying line. Elsewhere the plain test's boundary pass finds nothing,
// and every edge is farther from p vertically than the margin, so no rounding can tip the count.
bool RingLocator::near_boundary(point_t p) const {
    query_segment_index(index_, {p.x - permit_, p.y - permit_, p.x + permit_, p.y + permit_},
                        &hits_);
    const point_t* v = ring_->geom.points;
    for (int j : hits_)
        if (distance_to_carrier(p, v[j], v[j + 1]) < permit_ + kCandidateBoxMargin)
            return true;
    return false;
}

RingLocator::RingLocator(const polygon_t* ring, double permit, long long expected_queries)
    : ring_(ring), permit_(permit) {
    int edges = com_polygon_num(ring);
    if (edges > 0 && expected_queries * edges > kIndexedWorkThreshold) {
        build_segment_index(&index_, &ring->geom, edges);
        indexed_ = true;
    }
}

int RingLocator::locate(point_t p) const {
    if (!indexed_ || std::isnan(p.x) || std::isnan(p.y))
        return relation_point_at_polygon_by_permit(ring_, p, permit_);
    if (near_boundary(p))
        return relation_point_at_polygon_by_permit(ring_, p, permit_);
    query_segment_index(index_, {p.x, -std::numeric_limits<double>::infinity(), p.x, p.y}, &hits_);
    const point_t* v = ring_->geom.points;
    int crossings = 0;
    for (int j : hits_) {
        point_t a = v[j];
        point_t b = v[j + 1];
        // Half-open in x, so that a vertex straight below p is counted once, and not at all where
        // the boundary only touches the ray's line there.
        if ((a.x > p.x) != (b.x > p.x) && a.y + (p.x - a.x) * (b.y - a.y) / (b.x - a.x) < p.y)
            ++crossings;
    }
    return crossings % 2 == 1 ? kInside : kOutside;
}

}  // namespace mapgeom
