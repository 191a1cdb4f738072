// The middle line of two roughly parallel lines (the two edges of a road): both lines are reduced
// and aligned, then each one's vertices are projected in turn onto the facing segment of the other
// and the midpoints of point and foot are kept. Where neither side's projection lands within the
// facing segment the walk resynchronises on the nearest pair of vertices ahead. Plane distances.
//
// Termination: a projection that lands advances the projecting line's index unless that line is at
// its end, and then the side is forced to the other line from the next pass on; two failed passes
// in a row resynchronise, which advances every index not yet at its end. So every pass or two moves
// an index forward, and the walk ends when both lines are at their last points.
#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "mapgeom/com.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "mapgeom/road.h"

namespace {

using mapgeom::midpoint;
using mapgeom::OwnedLine;
using mapgeom::OwnedRing;

// Larger than any distance between two points of a map: the starting best of a nearest search.
constexpr double kNoDistance = 1000000000.0;

enum class Side { kA, kB };

// 1 when p lies within the box spanned by a and b (bounds included), else 0.
int judge_point_at_line(point_t p, point_t a, point_t b) {
    return (p.x - a.x) * (p.x - b.x) <= 0.0 && (p.y - a.y) * (p.y - b.y) <= 0.0 ? 1 : 0;
}

point_t at(const polyline_t* line, int index) {
    return line->geom.points[index];
}

int last_index(const polyline_t* line) {
    return line->geom.count - 1;
}

// A line with fewer than two points, or whose points all coincide, has no direction to follow.
bool too_short(const polyline_t* line) {
    for (int k = 1; k < line->geom.count; ++k)
        if (com_points_same(at(line, k), at(line, 0)) != 0)
            return false;
    return true;
}

bool is_closed(const polyline_t* line) {
    return com_points_same(com_polyline_front(line), com_polyline_last(line)) == 0;
}

int ring_direction(const polyline_t* line) {
    OwnedRing ring;
    com_polygon_add_geom(&ring.ring, &line->geom);
    return relation_polygon_direction(&ring.ring);
}

// Turns b to run the way a does: closed lines by ring orientation, open ones by whether b's ends
// lie nearer a's opposite ends than its matching ones.
void align_direction(const polyline_t* a, polyline_t* b) {
    bool reverse;
    if (is_closed(a) && is_closed(b)) {
        reverse = ring_direction(a) != ring_direction(b);
    } else {
        point_t a_first = com_polyline_front(a), a_last = com_polyline_last(a);
        point_t b_first = com_polyline_front(b), b_last = com_polyline_last(b);
        double crossed =
            calc_points_distance(b_last, a_first) + calc_points_distance(b_first, a_last);
        double matched =
            calc_points_distance(b_first, a_first) + calc_points_distance(b_last, a_last);
        reverse = crossed < matched;
    }
    if (reverse)
        com_polyline_reverse(b);
}

// The walk's position: the next vertex of each line to project, whose turn it is, and the flags of
// the two-failure rule and of the lines' ends.
struct Walk {
    const polyline_t* a;
    const polyline_t* b;
    int i = 1;
    int j = 1;
    Side side = Side::kA;
    bool skipped = false;
    bool a_ended = false;
    bool b_ended = false;

    bool done() const { return i == last_index(a) && j == last_index(b); }
};

// Walks an index forward while the distance to `target` keeps shrinking; returns the vertex of
// the least distance. An index already at the line's end stays there. The index is left on the
// first vertex that was no nearer, or at the end.
int nearest_ahead(const polyline_t* line, int* index, point_t target) {
    if (*index == last_index(line))
        return *index;
    int nearest = *index;
    double best = kNoDistance;
    for (; *index < last_index(line); ++*index) {
        double distance = calc_points_distance(at(line, *index), target);
        if (distance >= best)
            break;
        nearest = *index;
        best = distance;
    }
    return nearest;
}

// Neither side found a foot on the other: bridge the gap with the midpoint of the nearest pair of
// vertices ahead, both indices moved past it.
void resynchronise(Walk* walk, polyline_t* out) {
    int ka = nearest_ahead(walk->a, &walk->i, at(walk->b, walk->j));
    int kb = nearest_ahead(walk->b, &walk->j, at(walk->a, ka));
    com_polyline_add(out, midpoint(at(walk->a, ka), at(walk->b, kb)));
}

// One pass: the current side's vertex against the other line's current segment.
void project_once(Walk* walk, polyline_t* out) {
    bool on_a = walk->side == Side::kA;
    const polyline_t* own = on_a ? walk->a : walk->b;
    const polyline_t* other = on_a ? walk->b : walk->a;
    int* own_index = on_a ? &walk->i : &walk->j;
    int other_index = on_a ? walk->j : walk->i;

    point_t p = at(own, *own_index);
    point_t s0 = at(other, other_index - 1), s1 = at(other, other_index);
    point_t foot = calc_point_to_line_apeakpt(p, s0, s1);
    if (judge_point_at_line(foot, s0, s1) == 1) {
        com_polyline_add(out, midpoint(p, foot));
        walk->skipped = false;
        if (*own_index < last_index(own))
            ++*own_index;
    } else if (!walk->skipped) {
        walk->skipped = true;
    } else {
        walk->skipped = false;
        resynchronise(walk, out);
    }
}

void switch_side(Walk* walk) {
    walk->side = walk->side == Side::kA ? Side::kB : Side::kA;
    if (walk->a_ended)
        walk->side = Side::kB;
    if (walk->b_ended)
        walk->side = Side::kA;
    walk->a_ended = walk->a_ended || walk->i == last_index(walk->a);
    walk->b_ended = walk->b_ended || walk->j == last_index(walk->b);
}

void build_middle_line(const polyline_t* a, const polyline_t* b, polyline_t* out) {
    com_polyline_add(out, midpoint(com_polyline_front(a), com_polyline_front(b)));
    Walk walk{a, b};
    while (!walk.done()) {
        project_once(&walk, out);
        switch_side(&walk);
    }
    com_polyline_add(out, midpoint(com_polyline_last(a), com_polyline_last(b)));
    optimize_polyline_del_repeatpts(out);
}

}  // namespace

int create_new_line(polyline_t* a, polyline_t* b, polyline_t* out) {
    if (a == nullptr || b == nullptr || out == nullptr)
        return -1;
    return mapgeom::guarded(-1, [&] {
        OwnedLine reduced_a, reduced_b;
        reduc_polyline_by_defult(a, &reduced_a.line);
        reduc_polyline_by_defult(b, &reduced_b.line);
        if (too_short(&reduced_a.line) || too_short(&reduced_b.line))
            return -1;
        align_direction(&reduced_a.line, &reduced_b.line);
        // Built apart, so that the repeated-point pass leaves the caller's earlier points alone.
        OwnedLine middle;
        build_middle_line(&reduced_a.line, &reduced_b.line, &middle.line);
        com_polyline_add_geom(out, &middle.line.geom);
        return 0;
    });
}
