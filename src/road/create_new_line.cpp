// The middle line of two roughly parallel lines (the two edges of a road): both lines are reduced
// and aligned, then each one's vertices are projected in turn onto the facing segment of the other
// and the midpoints of point and foot are kept. Where neither side's projection lands within the
// facing segment the walk resynchronises on the nearest pair of vertices ahead. Plane distances.
//
// Corners: a projection is taken only when its foot lies ahead of where the walk has already got to
// on the other line, so a vertex past a sharp turn is never paired with a segment before the turn;
// and a vertex on the outside of a turn, whose feet fall past the end of one segment and before
// the start of the next, is paired with the vertex between them (the two corners of the edges).
//
// Termination: a pass that pairs a vertex advances the projecting line's index unless that line is
// at its end, and then the side is forced to the other line from the next pass on; two failed
// passes in a row resynchronise, which advances every index not yet at its end. So every pass or
// two moves an index forward, and the walk ends when both lines are at their last points.
#include <algorithm>

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

// Two closed rings: starts b at its vertex nearest a's start (the first of equally near ones), so
// that the walk begins across the road rather than somewhere along it.
void align_ring_start(const polyline_t* a, polyline_t* b) {
    if (!is_closed(a) || !is_closed(b))
        return;
    point_t start = com_polyline_front(a);
    int nearest = 0;
    for (int k = 1; k < last_index(b); ++k)
        if (calc_points_distance(at(b, k), start) < calc_points_distance(at(b, nearest), start))
            nearest = k;
    if (nearest == 0)
        return;
    point_t* points = b->geom.points;
    std::rotate(points, points + nearest, points + last_index(b));
    points[last_index(b)] = points[0];
}

// Where along a line the walk has got to: a segment and the parameter on it (vertex k is segment
// k at 0), and the point itself.
struct Progress {
    int segment = 0;
    double t = 0.0;
    point_t point{};
};

// Parameter of p's foot on the line through s0 and s1: below 0 before s0, above 1 past s1.
double foot_parameter(point_t p, point_t s0, point_t s1) {
    double dx = s1.x - s0.x, dy = s1.y - s0.y;
    double length2 = dx * dx + dy * dy;
    return length2 > 0.0 ? ((p.x - s0.x) * dx + (p.y - s0.y) * dy) / length2 : 0.0;
}

bool not_behind(const Progress& progress, int segment, double t) {
    return segment > progress.segment || (segment == progress.segment && t >= progress.t);
}

// Strictly ahead: not behind and not at the same place, so that one spot of a line is never the
// partner of two vertices of the other that lie on either side of a turn.
bool ahead(const Progress& progress, int segment, double t, point_t point) {
    return not_behind(progress, segment, t) && com_points_same(point, progress.point) != 0;
}

Progress vertex_progress(const polyline_t* line, int index) {
    return Progress{index, 0.0, at(line, index)};
}

// The walk's position: the next vertex of each line to project, how far the middle line has got
// along each line, whose turn it is, and the flags of the two-failure rule and of the lines' ends.
struct Walk {
    const polyline_t* a;
    const polyline_t* b;
    int i = 1;
    int j = 1;
    Progress along_a{0, 0.0, at(a, 0)};
    Progress along_b{0, 0.0, at(b, 0)};
    Side side = Side::kA;
    bool skipped = false;
    bool a_ended = false;
    bool b_ended = false;

    bool done() const { return i == last_index(a) && j == last_index(b); }
};

// Walks an index forward while the distance to `target` keeps shrinking; returns the vertex of
// the least distance. An index already at the line's end stays there; any other moves on by one
// at least, however far its vertex lies (lines thousands of kilometres apart, or beyond the
// earth's coordinates, would otherwise resynchronise on the spot for ever). The index is left on
// the first vertex that was no nearer, or at the end.
int nearest_ahead(const polyline_t* line, int* index, point_t target) {
    if (*index == last_index(line))
        return *index;
    int nearest = *index;
    double best = calc_points_distance(at(line, *index), target);
    for (++*index; *index < last_index(line); ++*index) {
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
    walk->along_a = vertex_progress(walk->a, ka);
    walk->along_b = vertex_progress(walk->b, kb);
}

// p's feet fall past the end of the other line's previous segment and before the start of the
// current one: p is on the outside of a turn, facing the vertex between the two segments.
bool faces_corner(point_t p, const polyline_t* other, int other_index, const Progress& progress) {
    int corner = other_index - 1;
    if (corner < 1 || !not_behind(progress, corner, 0.0))
        return false;
    return foot_parameter(p, at(other, corner), at(other, other_index)) < 0.0 &&
           foot_parameter(p, at(other, corner - 1), at(other, corner)) > 1.0;
}

// One pass: the current side's vertex against the other line's current segment.
void project_once(Walk* walk, polyline_t* out) {
    bool on_a = walk->side == Side::kA;
    const polyline_t* own = on_a ? walk->a : walk->b;
    const polyline_t* other = on_a ? walk->b : walk->a;
    int* own_index = on_a ? &walk->i : &walk->j;
    int other_index = on_a ? walk->j : walk->i;

    Progress* own_progress = on_a ? &walk->along_a : &walk->along_b;
    Progress* other_progress = on_a ? &walk->along_b : &walk->along_a;

    point_t p = at(own, *own_index);
    point_t s0 = at(other, other_index - 1), s1 = at(other, other_index);
    point_t foot = calc_point_to_line_apeakpt(p, s0, s1);
    double t = foot_parameter(p, s0, s1);
    bool lands =
        judge_point_at_line(foot, s0, s1) == 1 && ahead(*other_progress, other_index - 1, t, foot);
    if (lands || faces_corner(p, other, other_index, *other_progress)) {
        point_t partner = lands ? foot : s0;
        com_polyline_add(out, midpoint(p, partner));
        *other_progress =
            lands ? Progress{other_index - 1, t, foot} : vertex_progress(other, other_index - 1);
        *own_progress = vertex_progress(own, *own_index);
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
        align_ring_start(&reduced_a.line, &reduced_b.line);
        // Built apart, so that the repeated-point pass leaves the caller's earlier points alone.
        OwnedLine middle;
        build_middle_line(&reduced_a.line, &reduced_b.line, &middle.line);
        com_polyline_add_geom(out, &middle.line.geom);
        return 0;
    });
}
