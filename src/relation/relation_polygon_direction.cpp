// Orientation of a ring from its leftmost vertex, where the ring is locally convex:
// counter-clockwise when the boundary arrives there from above and leaves downward, that is when
// the edge to the previous vertex makes a smaller angle with the upward vertical than the edge to
// the next one.
#include <cmath>

#include "mapgeom/measure.h"
#include "mapgeom/relation.h"

namespace {

// A previous vertex within this of the leftmost vertex's x, and above it, means the ring arrives
// straight from above: counter-clockwise without measuring angles.
constexpr double kStraightAboveTolerance = 0.0001;
// Height of the reference point above the leftmost vertex that the angles are measured from.
constexpr double kReferenceRise = 100.0;
// A neighbour at the reference point's height within this would make the reference point
// coincide with it (no angle); the reference point then rises once more.
constexpr double kReferenceClearance = 0.0001;

// The first of vertices 0 .. n - 1 with the least x.
int leftmost_vertex(const polygon_t* polygon, int n) {
    const point_t* points = polygon->geom.points;  // n < count: every index is stored
    int best = 0;
    double best_x = points[0].x;
    for (int i = 1; i < n; ++i) {
        double x = points[i].x;
        if (x < best_x) {
            best = i;
            best_x = x;
        }
    }
    return best;
}

// The nearest vertex before (step -1) or after (step +1) vertex v that is not the same point as it,
// so repeated points at the leftmost vertex do not leave an arm without length. When every vertex
// is at v's place, the direct neighbour.
point_t distinct_neighbour(const polygon_t* polygon, int n, int v, int step) {
    point_t cur = com_polygon_at(polygon, v);
    point_t direct = step < 0 ? com_polygon_priorer(polygon, v) : com_polygon_nexter(polygon, v);
    int k = v;
    point_t neighbour = direct;
    for (int walked = 1; walked < n && com_points_same(neighbour, cur) == 0; ++walked) {
        k = (k + step + n) % n;
        neighbour = step < 0 ? com_polygon_priorer(polygon, k) : com_polygon_nexter(polygon, k);
    }
    return com_points_same(neighbour, cur) == 0 ? direct : neighbour;
}

}  // namespace

int relation_polygon_direction(const polygon_t* polygon) {
    int n = polygon == nullptr ? 0 : com_polygon_num(polygon);
    if (n < 1)
        return 0;
    int v = leftmost_vertex(polygon, n);
    point_t cur = com_polygon_at(polygon, v);
    point_t prev = distinct_neighbour(polygon, n, v, -1);
    point_t next = distinct_neighbour(polygon, n, v, +1);
    if (std::fabs(prev.x - cur.x) <= kStraightAboveTolerance && prev.y > cur.y)
        return 0;

    point_t reference{cur.x, cur.y + kReferenceRise, 0.0};
    if (std::fabs(reference.y - prev.y) < kReferenceClearance ||
        std::fabs(reference.y - next.y) < kReferenceClearance)
        reference.y += kReferenceRise;
    double to_prev = calc_points_angle(reference, cur, prev);
    double to_next = calc_points_angle(reference, cur, next);
    return to_prev < to_next ? 0 : 1;
}
