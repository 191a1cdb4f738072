// Polyline doubling: two companion lines at a distance on either side of a polyline, each vertex
// shifted along one axis only (x where the line is steep, y where it is flat). An axis-aligned
// approximation of a parallel line, not an exact one.
//
// Direction classes of a step A -> B (line_dirction), with dx = B.x - A.x and dy = B.y - A.y,
// tested in this order:
//
//     0  dx > 0, dy > 0      4  |dx| < 0.0001, dy > 0      -1  A and B coincide
//     1  dx > 0, dy < 0      5  |dx| < 0.0001, dy < 0
//     2  dx < 0, dy > 0      6  |dy| < 0.0001, dx > 0
//     3  dx < 0, dy < 0      7  |dy| < 0.0001, dx < 0
//
// A steep vertex (|slope| > 1) is shifted in x, and only classes 0 to 5 say which way; a flat one
// in y, and only classes 0 to 3, 6 and 7 say which way. A vertex whose own step gives no usable
// class (it repeats the point before it, or its step is horizontal on a steep chord or vertical on
// a flat one) takes the class of the chord its slope comes from; when that is unusable too (the
// chord's ends coincide) it is shifted as if the line ran north (steep) or east (flat). So every
// vertex gets a shift and both companions keep the input's point count.
#include <cmath>

#include "com/boundary.h"
#include "com/tolerances.h"
#include "mapgeom/optimize.h"

namespace {

// Below this a coordinate difference counts as zero in the direction classes.
constexpr double kAxisTolerance = mapgeom::kSamePoint;

constexpr int kNoDirection = -1;
constexpr int kNorth = 4;
constexpr int kEast = 6;
constexpr int kLeft = 0;
constexpr int kRight = 1;

int line_dirction(point_t a, point_t b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    if (dx > 0 && dy > 0)
        return 0;
    if (dx > 0 && dy < 0)
        return 1;
    if (dx < 0 && dy > 0)
        return 2;
    if (dx < 0 && dy < 0)
        return 3;
    if (std::fabs(dx) < kAxisTolerance && dy > 0)
        return 4;
    if (std::fabs(dx) < kAxisTolerance && dy < 0)
        return 5;
    if (std::fabs(dy) < kAxisTolerance && dx > 0)
        return 6;
    if (std::fabs(dy) < kAxisTolerance && dx < 0)
        return 7;
    return kNoDirection;
}

// Slope of the chord a -> b; a vertical chord is infinitely steep, and a chord of coinciding ends
// counts as flat.
double slope(point_t a, point_t b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    if (dx != 0.0)
        return dy / dx;
    return dy == 0.0 ? 0.0 : INFINITY;
}

bool is_steep(double k) {
    return std::fabs(k) > 1.0;
}

bool class_shifts(int dir, bool steep) {
    return steep ? dir >= 0 && dir <= 5 : (dir >= 0 && dir <= 3) || dir == 6 || dir == 7;
}

point_t move_point(point_t p, double k, double d, int side, int dir) {
    point_t moved{p.x, p.y, 0.0};
    double toward = side == kLeft ? 1.0 : -1.0;  // the left shift's sign; the right one mirrors it
    if (is_steep(k)) {
        bool left_is_minus_x = dir == 0 || dir == 2 || dir == 4;
        moved.x += (left_is_minus_x ? -d : d) * toward;
    } else {
        bool left_is_plus_y = dir == 0 || dir == 1 || dir == 6;
        moved.y += (left_is_plus_y ? d : -d) * toward;
    }
    return moved;
}

// Appends the two shifted copies of p: step is the step that arrives at (or leaves) p, chord the
// pair its slope comes from.
void shift_vertex(point_t p, point_t step_from, point_t step_to, point_t chord_from,
                  point_t chord_to, double d, polyline_t* left, polyline_t* right) {
    double k = slope(chord_from, chord_to);
    bool steep = is_steep(k);
    int dir = line_dirction(step_from, step_to);
    if (!class_shifts(dir, steep))
        dir = line_dirction(chord_from, chord_to);
    if (!class_shifts(dir, steep))
        dir = steep ? kNorth : kEast;
    com_polyline_add(left, move_point(p, k, d, kLeft, dir));
    com_polyline_add(right, move_point(p, k, d, kRight, dir));
}

}  // namespace

int optimize_polyline_double(const polyline_t* line, double d, polyline_t* left,
                             polyline_t* right) {
    if (line == nullptr || left == nullptr || right == nullptr || line->geom.count < 2)
        return -1;
    return mapgeom::guarded(-1, [&] {
        const point_t* p = line->geom.points;
        int n = line->geom.count;
        shift_vertex(p[0], p[0], p[1], p[0], p[n == 2 ? 1 : 2], d, left, right);
        for (int i = 1; i + 1 < n; ++i)
            shift_vertex(p[i], p[i - 1], p[i], p[i - 1], p[i + 1], d, left, right);
        shift_vertex(p[n - 1], p[n - 2], p[n - 1], p[n == 2 ? 0 : n - 3], p[n - 1], d, left, right);
        return 0;
    });
}
