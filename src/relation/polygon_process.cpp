// Point location by vertical scan lines: a polygon is cut once at every distinct vertex x, each
// scan line listing the edges that start on it or span it; a point is then located by a binary
// search for its scan line and a parity count of the edges below it, in exact arithmetic.
#include <cmath>
#include <utility>
#include <vector>

#include "com/codes.h"
#include "com/numeric.h"
#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "x_sweep.h"

namespace {

// Results of relation_point_and_polygon and of calc_point_and_line (whose 1, kPointInside, says
// that the edge passes below the point) are the point-in-ring codes.
using namespace mapgeom;

// Largest relative error of the plain double evaluation of the orientation determinant, as a
// multiple of the sum of the magnitudes of its two products (3 + 16 eps) eps, eps = 2^-53. A
// determinant larger than this bound has the sign of the exact one.
constexpr double kRoundoff = 1.1102230246251565e-16;
constexpr double kOrientErrorBound = (3.0 + 16.0 * kRoundoff) * kRoundoff;

// ---- Exact orientation ----

// Error-free transformations: a + b, a - b and a * b each as an exact pair (rounded, error).

void two_sum(double a, double b, double& sum, double& error) {
    sum = a + b;
    double b_virtual = sum - a;
    double a_virtual = sum - b_virtual;
    error = (a - a_virtual) + (b - b_virtual);
}

void two_diff(double a, double b, double& diff, double& error) {
    diff = a - b;
    double b_virtual = a - diff;
    double a_virtual = diff + b_virtual;
    error = (a - a_virtual) + (b_virtual - b);
}

void two_product(double a, double b, double& product, double& error) {
    product = a * b;
    error = std::fma(a, b, -product);
}

int sign_of(double value) {
    return (value > 0.0) - (value < 0.0);
}

// Sign of the exact sum of the terms: they are accumulated into a non-overlapping expansion
// (components ascending in magnitude, zeros dropped), whose largest component carries the sign.
int exact_sum_sign(const double* terms, int count) {
    double expansion[16];
    int length = 0;
    for (int t = 0; t < count; ++t) {
        double carry = terms[t];
        int kept = 0;
        for (int e = 0; e < length; ++e) {
            double sum, error;
            two_sum(carry, expansion[e], sum, error);
            carry = sum;
            if (error != 0.0)
                expansion[kept++] = error;
        }
        if (carry != 0.0)
            expansion[kept++] = carry;
        length = kept;
    }
    return length == 0 ? 0 : sign_of(expansion[length - 1]);
}

// Exact sign of (a.x - p.x)(b.y - p.y) - (a.y - p.y)(b.x - p.x): positive when p lies to the left
// of the directed line a->b. Each difference and product is split into exact pairs, so the sixteen
// partial products sum to the determinant without rounding.
int exact_orientation(point_t a, point_t b, point_t p) {
    double d[4][2];
    two_diff(a.x, p.x, d[0][0], d[0][1]);
    two_diff(b.y, p.y, d[1][0], d[1][1]);
    two_diff(a.y, p.y, d[2][0], d[2][1]);
    two_diff(b.x, p.x, d[3][0], d[3][1]);
    double terms[16];
    int count = 0;
    for (int u = 0; u < 2; ++u) {
        for (int v = 0; v < 2; ++v) {
            two_product(d[0][u], d[1][v], terms[count], terms[count + 1]);
            count += 2;
            two_product(-d[2][u], d[3][v], terms[count], terms[count + 1]);
            count += 2;
        }
    }
    return exact_sum_sign(terms, count);
}

// The orientation sign, from the plain double determinant when its error bound allows and from the
// exact expansion otherwise (only near-collinear triples pay for it).
int orientation(point_t a, point_t b, point_t p) {
    const double left = (a.x - p.x) * (b.y - p.y);
    const double right = (a.y - p.y) * (b.x - p.x);
    const double det = left - right;
    double magnitude;
    if (left > 0.0) {
        if (right <= 0.0)
            return sign_of(det);
        magnitude = left + right;
    } else if (left < 0.0) {
        if (right >= 0.0)
            return sign_of(det);
        magnitude = -left - right;
    } else {
        return sign_of(det);
    }
    if (std::fabs(det) >= kOrientErrorBound * magnitude)
        return sign_of(det);
    return exact_orientation(a, b, p);
}

// Whether v lies strictly between a and b (in either order): the sign of (a - v)(b - v) < 0,
// decided by comparisons so it cannot round or overflow.
bool strictly_between(double v, double a, double b) {
    return (a < v && v < b) || (b < v && v < a);
}

bool same_as_an_end(point_t p, point_t a, point_t b) {
    return com_points_same(p, a) == 0 || com_points_same(p, b) == 0;
}

// Where p lies against the edge from its left end a to its right end b (a.x <= b.x): 0 the edge
// does not pass below p, 1 it passes below p, 2 p lies inside the edge, 3 p is one of its ends.
int calc_point_and_line(point_t p, point_t a, point_t b) {
    if (p.x == a.x && p.x == b.x) {
        if (strictly_between(p.y, a.y, b.y))
            return kPointOnEdge;
        return same_as_an_end(p, a, b) ? kPointAtVertex : kPointOutside;
    }
    const int side = orientation(a, b, p);
    if (side < 0)
        return kPointOutside;
    if (side > 0)
        return kPointInside;
    if (strictly_between(p.x, a.x, b.x) || strictly_between(p.y, a.y, b.y))
        return kPointOnEdge;
    return same_as_an_end(p, a, b) ? kPointAtVertex : kPointOutside;
}

// calc_point_and_line for the edge v-w taken from its left end (v when both x are equal).
// The edge must span p.x (its ends' x on either side of p.x or equal to it). A non-vertical edge
// wholly below or above p then answers without the side test, with the result it would give.
int point_and_edge(point_t p, point_t v, point_t w) {
    if (v.x != w.x) {
        if (v.y < p.y && w.y < p.y)
            return kPointInside;
        if (v.y > p.y && w.y > p.y)
            return kPointOutside;
    }
    return w.x < v.x ? calc_point_and_line(p, w, v) : calc_point_and_line(p, v, w);
}

// ---- Preparation ----

// Scan x must hold every vertex x exactly.
constexpr double kLeastScanX = -2147483648.0;
constexpr double kGreatestScanX = 2147483647.0;

// Rounds every stored x of the copy to a whole number. False when a coordinate is not finite or an
// x cannot be a 32-bit scan x: such a ring is not prepared.
bool bring_x_to_whole_numbers(polygon_t* copy) {
    for (int i = 0; i < copy->geom.count; ++i) {
        point_t& pt = copy->geom.points[i];
        if (!std::isfinite(pt.x) || !std::isfinite(pt.y))
            return false;
        const double whole = std::round(pt.x);
        if (whole < kLeastScanX || whole > kGreatestScanX)
            return false;
        pt.x = whole;
    }
    return true;
}

// A copy whose last stored point is not exactly its first gets the first appended, so every edge
// of the ring, the closing one included, is listed.
void close_ring(polygon_t* copy) {
    const int count = copy->geom.count;
    if (count < 2)
        return;
    const point_t first = copy->geom.points[0];
    const point_t last = copy->geom.points[count - 1];
    if (first.x != last.x || first.y != last.y)
        com_polygon_add(copy, first);
}

// One scan line per distinct x among the stored points, ascending.
std::vector<scan_line_t> empty_scan_lines(const polygon_t* ring) {
    const std::vector<mapgeom::sort_t> by_x =
        mapgeom::points_in_x_order(ring->geom.points, ring->geom.count);
    std::vector<scan_line_t> lines;
    for (const mapgeom::sort_t& entry : by_x) {
        const int x = mapgeom::truncate_to_int32(entry.key);
        if (lines.empty() || lines.back().x != x)
            lines.push_back(scan_line_t{x, {}});
    }
    return lines;
}

// Position of the scan line at x, which exists for every stored x of the prepared ring.
int scan_line_of(const std::vector<scan_line_t>& lines, double x) {
    int lo = 0;
    int hi = static_cast<int>(lines.size()) - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (static_cast<double>(lines[mid].x) < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// Lists edge i (from a to b) at a's scan line and at every scan line strictly between a and b.
void list_edge(std::vector<scan_line_t>& lines, int i, point_t a, point_t b) {
    const int ia = scan_line_of(lines, a.x);
    const int ib = scan_line_of(lines, b.x);
    lines[ia].crosses.push_back(point_cross_t{a, i});
    const int step = ib > ia ? 1 : -1;
    for (int k = ia + step; k != ib && ia != ib; k += step) {
        const double x = lines[k].x;
        const point_t at_line{x, a.y + (a.y - b.y) * (x - a.x) / (a.x - b.x), 0.0};
        lines[k].crosses.push_back(point_cross_t{at_line, i});
    }
}

// ---- Location ----

// The scan line p falls on or after: the last one whose x is not greater than p.x.
const scan_line_t& scan_line_for(const std::vector<scan_line_t>& lines, double x) {
    int lo = 0;
    int hi = static_cast<int>(lines.size()) - 1;
    while (lo < hi) {
        const int mid = hi - (hi - lo) / 2;
        if (static_cast<double>(lines[mid].x) <= x)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lines[lo];
}

// Adds an edge's vote to the parity count; true (with *result set) when p lies on the edge.
bool vote_of_edge(point_t p, point_t v, point_t w, int* count, int* result) {
    const int r = point_and_edge(p, v, w);
    if (r == kPointOnEdge || r == kPointAtVertex) {
        *result = r;
        return true;
    }
    *count += r;
    return false;
}

// Counts the edges of one cross that span p.x and pass below p. At a vertex only the edges
// leaving it toward p's side (their other end at or right of p.x) take part, which settles rays
// through vertices: each edge is counted on the half-open x range from its left end. The ring's
// points are read directly: cross.index < n, so point index + 1 is the following vertex (the
// closing point after the last one).
bool votes_of_cross(const point_t* points, int n, const point_cross_t& cross, point_t p, int* count,
                    int* result) {
    const point_t v = points[cross.index];
    const point_t w = points[cross.index + 1];
    // Only an edge's start lies on its own scan line: the other scan lines it is listed on have
    // other whole-number x, so comparing x tells a vertex from a point inside the edge.
    if (cross.pt.x != v.x)
        return vote_of_edge(p, v, w, count, result);
    if (com_points_same(p, v) == 0) {
        *result = kPointAtVertex;
        return true;
    }
    if (p.x <= w.x && vote_of_edge(p, v, w, count, result))
        return true;
    const point_t u = points[cross.index == 0 ? n - 1 : cross.index - 1];
    return p.x <= u.x && vote_of_edge(p, v, u, count, result);
}

}  // namespace

void create_polygon_pretreat(const polygon_t* polygon, polygon_pretreat_t* out) {
    com_polygon_free(&out->polygon);
    out->scan_lines.clear();
    com_polygon_polygon(&out->polygon, polygon);
    if (!bring_x_to_whole_numbers(&out->polygon))
        return;
    close_ring(&out->polygon);

    std::vector<scan_line_t> lines = empty_scan_lines(&out->polygon);
    const point_t* points = out->polygon.geom.points;
    const int n = com_polygon_num(&out->polygon);
    for (int i = 0; i < n; ++i)
        list_edge(lines, i, points[i], points[i + 1]);
    out->scan_lines = std::move(lines);
}

int relation_point_and_polygon(const polygon_pretreat_t* pre, point_t p) {
    const std::vector<scan_line_t>& lines = pre->scan_lines;
    const point_t* points = pre->polygon.geom.points;
    if (lines.empty() || points == nullptr || std::isnan(p.y) ||
        !(p.x >= lines.front().x && p.x <= lines.back().x))
        return kPointOutside;  // also for a NaN x, and after the owner released the copy
    const int n = com_polygon_num(&pre->polygon);
    int count = 0;
    int result = kPointOutside;
    for (const point_cross_t& cross : scan_line_for(lines, p.x).crosses) {
        if (votes_of_cross(points, n, cross, p, &count, &result))
            return result;
    }
    return count % 2 == 1 ? kPointInside : kPointOutside;
}
