// Road geometry helpers: points along segments and polylines by earth distance, points to either
// side of a line, bearings at a point of a polyline and the cut of a polyline at a length. Lengths
// are metres (calc_points_distance_onearth); positions between vertices are linear in coordinates.
#include <cmath>

#include "algebra/algebra_internal.h"
#include "com/tolerances.h"
#include "mapgeom/com.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/partition.h"
#include "mapgeom/road.h"

namespace {

using mapgeom::OwnedLine;

// How far, in coordinate units, a point may lie from a vertex or a segment and still count as on
// the polyline: road data come snapped to whole units, so one and a half units covers a point that
// was rounded on its way to the caller.
constexpr double kOnLineTolerance = 1.5;

// The helper points that measure earth distances per coordinate step and that span perpendiculars
// lie this many units from the point they belong to.
constexpr double kProbeStep = 1000000.0;

// The reference point for a bearing lies this far north of the higher of the two points.
constexpr double kNorthProbe = 100.0;

constexpr double kFullTurn = 360.0;
constexpr double kHalfTurn = 180.0;

constexpr int kNotOnLine = -1;

// A working copy of a caller's line that releases itself.
struct LineCopy : OwnedLine {
    explicit LineCopy(const polyline_t* source) { com_polyline_add_geom(&line, &source->geom); }
};

bool has_points(const polyline_t* line) {
    return line != nullptr && line->geom.count > 0 && line->geom.points != nullptr;
}

int last_index(const polyline_t* line) {
    return line->geom.count - 1;
}

point_t vertex(const polyline_t* line, int index) {
    return line->geom.points[index];
}

// The point d metres from a towards b; interpolation in coordinates.
point_t GetPointAtLine(point_t a, point_t b, double d) {
    return calc_point_at_line(d, a, b);
}

// The angle at b from a to c in degrees, 0 .. 360: the plane angle between b->a and b->c, taken as
// 360 minus it when c lies west of a. For bearings a lies straight north of b, so this reads as
// degrees clockwise from north. Coinciding points give 180 (no direction to measure).
double calc_angle(point_t a, point_t b, point_t c) {
    bool c_on_b = b.x == c.x && b.y == c.y;
    bool all_level = a.y == b.y && b.y == c.y;
    double l1 = calc_points_distance(a, b);
    double l2 = calc_points_distance(c, b);
    if (c_on_b || all_level || l1 == 0.0 || l2 == 0.0)
        return kHalfTurn;
    double l3 = calc_points_distance(c, a);
    double cosine = (l1 * l1 + l2 * l2 - l3 * l3) / (2.0 * l1 * l2);
    cosine = std::fmax(-1.0, std::fmin(1.0, cosine));
    double angle = std::acos(cosine) / mapgeom::kPi * kHalfTurn;
    return c.x < a.x ? kFullTurn - angle : angle;
}

// Bearing from p to q, degrees clockwise from north.
double bearing(point_t p, point_t q) {
    point_t north{p.x, std::fmax(p.y, q.y) + kNorthProbe, 0.0};
    return calc_angle(north, p, q);
}

// The opposite bearing, reduced to 0 .. 360 by whole turns.
double turned_around(double bearing_degrees) {
    double turned = bearing_degrees + kHalfTurn;
    return turned - kFullTurn * std::trunc(turned / kFullTurn);
}

// The walk of get_point_at_polyline over a working line that already holds p as vertex k.
point_t walk_from_vertex(const polyline_t* line, int k, double d) {
    point_t previous = vertex(line, k);
    double sum = 0.0;
    for (int i = k + 1; i <= last_index(line); ++i) {
        point_t current = vertex(line, i);
        sum += calc_points_distance_onearth(current, previous);
        if (sum < d) {
            previous = current;
            continue;
        }
        // The stop lies on the segment previous-current, which has length (sum > previous sum),
        // unless the distance ends exactly on its vertex.
        if (sum == d)
            return current;
        return GetPointAtLine(current, previous, sum - d);
    }
    return vertex(line, last_index(line));
}

}  // namespace

point_t calc_point_at_line(double d, point_t a, point_t b) {
    double length = calc_points_distance_onearth(a, b);
    if (length == 0.0)
        return point_t{a.x, a.y, 0.0};
    double t = d / length;
    return point_t{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0.0};
}

void calc_point_difference(double d, double* dx, double* dy, point_t p) {
    // Both probes are a million units away, so their earth distances are never zero.
    point_t east{p.x + kProbeStep, p.y, 0.0};
    point_t north{p.x, p.y + kProbeStep, 0.0};
    if (dx != nullptr)
        *dx = d / calc_points_distance_onearth(p, east) * kProbeStep;
    if (dy != nullptr)
        *dy = d / calc_points_distance_onearth(p, north) * kProbeStep;
}

int get_apeak_points(double d, point_t* first, point_t* second, point_t a, point_t b) {
    if (com_points_same(a, b) == 0)
        return -1;
    point_t middle = mapgeom::midpoint(a, b);
    point_t probe{middle.x + kProbeStep, middle.y, 0.0};
    if (std::fabs(b.x - a.x) < mapgeom::kSamePoint) {
        // vertical segment: the perpendicular runs east
    } else if (std::fabs(b.y - a.y) < mapgeom::kSamePoint) {
        probe = point_t{middle.x, middle.y + kProbeStep, 0.0};
    } else {
        double k = -(b.x - a.x) / (b.y - a.y);
        probe.y = middle.y + k * kProbeStep;
    }
    point_t offset = calc_point_at_line(d, middle, probe);
    if (first != nullptr)
        *first = offset;
    if (second != nullptr)
        *second = point_t{2.0 * middle.x - offset.x, 2.0 * middle.y - offset.y, 0.0};
    return 0;
}

double calc_point_to_polyline_apeakpt(polyline_t* line, point_t* foot, point_t p) {
    if (!has_points(line))
        return -1.0;
    point_t nearest = calc_point_to_polyline_distance(line, p);
    if (foot != nullptr)
        *foot = nearest;
    return calc_points_distance_onearth(p, nearest);
}

int get_point_at_polyline_index(polyline_t* line, point_t p) {
    if (!has_points(line))
        return kNotOnLine;
    for (int i = 0; i <= last_index(line); ++i)
        if (com_points_same_permit(vertex(line, i), p, kOnLineTolerance) == 0)
            return i;
    for (int i = 0; i < last_index(line); ++i) {
        if (calc_point_to_line_distance(p, vertex(line, i), vertex(line, i + 1)) <=
            kOnLineTolerance) {
            com_polyline_insertat(line, i + 1, p);
            return i + 1;
        }
    }
    return kNotOnLine;
}

int get_point_at_polyline(double d, point_t* out, polyline_t* line, point_t p) {
    if (out == nullptr || !has_points(line))
        return -1;
    LineCopy copy(line);
    int k = get_point_at_polyline_index(&copy.line, p);
    if (k == kNotOnLine)
        return -1;
    *out = walk_from_vertex(&copy.line, k, std::fmax(d, 0.0));
    return 0;
}

int calc_point_at_polyline_angle(polyline_t* line, double* forward, double* backward, point_t p) {
    if (!has_points(line))
        return -1;
    LineCopy copy(line);
    optimize_polyline_del_repeatpts(&copy.line);
    if (com_polyline_num(&copy.line) < 2)
        return -1;
    int k = get_point_at_polyline_index(&copy.line, p);
    if (k == kNotOnLine)
        return -1;
    double ahead, behind;
    if (k == 0) {
        ahead = bearing(p, vertex(&copy.line, 1));
        behind = turned_around(ahead);
    } else if (k == last_index(&copy.line)) {
        behind = bearing(p, vertex(&copy.line, k - 1));
        ahead = turned_around(behind);
    } else {
        ahead = bearing(p, vertex(&copy.line, k + 1));
        behind = bearing(p, vertex(&copy.line, k - 1));
    }
    if (forward != nullptr)
        *forward = ahead;
    if (backward != nullptr)
        *backward = behind;
    return 0;
}

int get_apeak_polyline(polyline_t* line, point_t* first, point_t* second, double d) {
    if (!has_points(line) || line->geom.count < 2)
        return -1;
    LineCopy copy(line);
    double length = calc_polyline_perimeter(&copy.line);
    point_t middle;
    if (get_point_at_polyline(length / 2.0, &middle, line, vertex(&copy.line, 0)) != 0)
        return -1;
    int k = get_point_at_polyline_index(&copy.line, middle);
    if (k == kNotOnLine)
        return -1;
    // The line's direction at its middle is that of the chord between the middle's neighbours; the
    // points are placed on the perpendicular through the middle itself (the chord's own midpoint
    // can lie far from it, or off the line at a corner). The middle of a line shorter than the
    // on-line tolerance matches an end vertex, which then stands in for its missing neighbour; a
    // line of zero length has no direction and is refused by get_apeak_points.
    point_t before = vertex(&copy.line, k > 0 ? k - 1 : 0);
    point_t after = vertex(&copy.line, k < last_index(&copy.line) ? k + 1 : k);
    double half_x = (after.x - before.x) / 2.0, half_y = (after.y - before.y) / 2.0;
    point_t chord_start{middle.x - half_x, middle.y - half_y, 0.0};
    point_t chord_end{middle.x + half_x, middle.y + half_y, 0.0};
    return get_apeak_points(d, first, second, chord_start, chord_end);
}

int split_polyline_by_length(double d, polyline_t* line, polylines_t* out) {
    if (out == nullptr || !has_points(line))
        return -1;
    LineCopy copy(line);
    point_t cut;
    if (get_point_at_polyline(d, &cut, &copy.line, vertex(&copy.line, 0)) != 0)
        return -1;
    int k = get_point_at_polyline_index(&copy.line, cut);
    if (k == kNotOnLine)
        return -1;
    if (k == last_index(&copy.line)) {
        com_polylines_add_copy(out, *line);
        return 1;
    }
    polyline_t head{}, tail{};
    com_polyline_init(&head);
    com_polyline_init(&tail);
    for (int i = 0; i <= k; ++i)
        com_polyline_add(&head, vertex(&copy.line, i));
    for (int i = k; i <= last_index(&copy.line); ++i)
        com_polyline_add(&tail, vertex(&copy.line, i));
    com_polylines_add(out, head);
    com_polylines_add(out, tail);
    return 0;
}
