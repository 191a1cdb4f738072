// Graphic reduction: thins polyline and ring vertices for display. A walk keeps an anchor vertex
// and drops each following vertex that a battery of criteria (angle, anchor-to-next length,
// height over the chord and, for rings, triangle area) finds too small. Rings keep vertices with a
// point code and their neighbours, and never drop a vertex while another live vertex lies in the
// triangle the drop would cut off; that test looks only at vertices inside the triangle's x or y
// extent, found through the vertices sorted by x and by y. Work is done on coordinates truncated
// toward zero, so the result's vertices are a subsequence of the input's truncated vertices.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "com/tolerances.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "optimize_internal.h"

namespace {

using mapgeom::ReducVertex;
using mapgeom::TriangleGuard;

// Two points of the reduction coincide when x and y each differ by at most this (inclusive in the
// criteria, exclusive in the walks): whole-number vertices coincide only when equal.
constexpr double kCoincidence = 0.001;

// The criteria's codes for degenerate input, and their verdicts.
constexpr int kAnchorIsNext = 3;
constexpr int kAllCoincide = 5;
constexpr unsigned short kMayDrop = 0;
constexpr unsigned short kMatters = 1;

// Sides of PointAtLineLR.
constexpr unsigned short kOnLine = 0;
constexpr unsigned short kRightSide = 1;
constexpr unsigned short kLeftSide = 2;

// Results of JudgePointAccept and JudgeLinesCut.
constexpr unsigned short kNoAnswer = 65535;
constexpr int kCoincidentEnds = 6;
constexpr int kToleranceOutOfRange = 7;
constexpr double kMaxAcceptTolerance = 10.0;

// Results of the walks.
constexpr int kReduced = 0;
constexpr int kRingCollapsed = 1;
constexpr int kTooFewPoints = 8;

// The triangle guard counts a vertex on the triangle's boundary (within this) as inside.
constexpr double kTrianglePermit = mapgeom::kDefaultPermit;

bool coincide_inclusive(const PointXY& p, const PointXY& q) {
    return std::fabs(p.x - q.x) <= kCoincidence && std::fabs(p.y - q.y) <= kCoincidence;
}

bool coincide_exclusive(const PointXY& p, const PointXY& q) {
    return std::fabs(p.x - q.x) < kCoincidence && std::fabs(p.y - q.y) < kCoincidence;
}

double distance_of(const PointXY& p, const PointXY& q) {
    double dx = q.x - p.x, dy = q.y - p.y;
    return std::sqrt(dx * dx + dy * dy);
}

// (B - A) x (C - A): positive when C lies left of A -> B.
double cross_of(const PointXY& a, const PointXY& b, const PointXY& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// A candidate C between anchor A and next B with the triangle's sides measured once. Every
// criterion measures from these, so a walk running several criteria on one candidate computes
// each length once and gets exactly what the single criteria give.
struct Corner {
    const PointXY* a;
    const PointXY* b;
    const PointXY* c;
    double ab;
    double ac;
    double bc;
    Corner(const PointXY* a_, const PointXY* b_, const PointXY* c_)
        : a(a_),
          b(b_),
          c(c_),
          ab(distance_of(*a_, *b_)),
          ac(distance_of(*a_, *c_)),
          bc(distance_of(*b_, *c_)) {}
};

// The degenerate cases every criterion handles first (coincidence inclusive). Returns true when
// the criterion is settled (*code holds its result), false when it has to measure.
bool settle_degenerate(const Corner& k, unsigned short* verdict, double* value, int* code) {
    bool ac = coincide_inclusive(*k.a, *k.c), bc = coincide_inclusive(*k.b, *k.c);
    bool ab = coincide_inclusive(*k.a, *k.b);
    if (ab && ac && bc) {
        *code = kAllCoincide;
        return true;
    }
    if (ac || bc) {
        *verdict = kMayDrop;
        *value = 0.0;
        *code = 0;
        return true;
    }
    if (ab) {
        *code = kAnchorIsNext;
        return true;
    }
    return false;
}

// The angle at C in degrees. Rounding can push the cosine of a straight or folded-back corner
// just past +-1, where acos has no value; those corners are 180 and 0 degrees.
double angle_at(const Corner& k) {
    double cosine =
        std::clamp((k.ac * k.ac + k.bc * k.bc - k.ab * k.ab) / (2.0 * k.ac * k.bc), -1.0, 1.0);
    return 180.0 * std::acos(cosine) / mapgeom::kPiShort;
}

double height_of(const Corner& k) {
    return std::fabs(cross_of(*k.a, *k.b, *k.c)) / k.ab;
}

// Heron's formula. Its product for a flat triangle can round below zero; the area is then 0.
double area_of(const Corner& k) {
    double s = (k.ab + k.ac + k.bc) / 2.0;
    return std::sqrt(std::max(0.0, s * (s - k.ab) * (s - k.ac) * (s - k.bc)));
}

bool angle_may_drop(double degrees, double t1, double t2) {
    return degrees < t1 || degrees > t2;
}

bool length_may_drop(double length, double t1) {
    return t1 > length;
}

bool height_may_drop(double height, double t1) {
    return t1 + kCoincidence > height;
}

bool area_may_drop(double area, double t1) {
    return t1 > area;
}

// Runs one criterion: the degenerate cases, else measure(corner) judged by may_drop(value).
template <typename Measure, typename MayDrop>
int run_criterion(const PointXY* a, const PointXY* b, const PointXY* c, unsigned short* verdict,
                  double* value, Measure measure, MayDrop may_drop) {
    const Corner k(a, b, c);
    int code = 0;
    if (settle_degenerate(k, verdict, value, &code))
        return code;
    *value = measure(k);
    *verdict = may_drop(*value) ? kMayDrop : kMatters;
    return 0;
}

// The criteria of a walk on one corner, in order, the first verdict 0 ending the run. Returns the
// degenerate code (with *keep 1) or 0 with *keep 0 when a criterion lets the candidate go.
int polyline_method(const Corner& k, unsigned long* keep, const tag_polyline_param_t& param) {
    *keep = 1;
    unsigned short verdict = kMatters;
    double value = 0.0;
    int code = 0;
    if (settle_degenerate(k, &verdict, &value, &code)) {
        if (code == 0)
            *keep = 0;
        return code;
    }
    if (angle_may_drop(angle_at(k), param.min_angle, param.max_angle) ||
        length_may_drop(k.ab, param.min_length) || height_may_drop(height_of(k), param.min_height))
        *keep = 0;
    return 0;
}

int polygon_method(const Corner& k, unsigned long* keep, const tag_polygon_param_t& param) {
    // A criterion that cannot judge leaves the candidate in place.
    *keep = 1;
    if (coincide_exclusive(*k.a, *k.b)) {
        *keep = 0;
        return 0;
    }
    unsigned short verdict = kMatters;
    double value = 0.0;
    int code = 0;
    if (settle_degenerate(k, &verdict, &value, &code)) {
        if (code == 0)
            *keep = 0;
        return code;
    }
    // A sharp corner stays when one of its arms is long: it shapes the outline at any scale.
    double arm_limit = std::trunc(param.keep_arm_length);
    bool long_arm = k.ac > arm_limit || k.bc > arm_limit;
    if (area_may_drop(area_of(k), param.min_area) ||
        (angle_may_drop(angle_at(k), param.min_angle, param.max_angle) && !long_arm) ||
        length_may_drop(k.ab, param.min_length) || height_may_drop(height_of(k), param.min_height))
        *keep = 0;
    return 0;
}

// PointAtLineLR with |AB| measured already.
unsigned short side_of(const Corner& k) {
    // Through a single point every line passes: C counts as on it (a quotient 0 / 0 would say
    // nothing either way).
    double signed_distance = k.ab > 0.0 ? cross_of(*k.a, *k.b, *k.c) / k.ab : 0.0;
    if (signed_distance > kCoincidence)
        return kLeftSide;
    if (signed_distance < -kCoincidence)
        return kRightSide;
    return kOnLine;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// Criteria.

int PointSpaceCal(const PointXY* p, const PointXY* q, double* distance) {
    *distance = distance_of(*p, *q);
    return 0;
}

int PointAtLineLR(const PointXY* a, const PointXY* b, const PointXY* c, unsigned short* side) {
    *side = side_of(Corner(a, b, c));
    return 0;
}

int MethodOfAngle(const PointXY* a, const PointXY* b, const PointXY* c, double t1, double t2,
                  unsigned short* verdict, double* value) {
    return run_criterion(a, b, c, verdict, value, angle_at,
                         [&](double degrees) { return angle_may_drop(degrees, t1, t2); });
}

int MethodOfLength(const PointXY* a, const PointXY* b, const PointXY* c, double t1, double /*t2*/,
                   unsigned short* verdict, double* value) {
    return run_criterion(
        a, b, c, verdict, value, [](const Corner& k) { return k.ab; },
        [&](double length) { return length_may_drop(length, t1); });
}

int MethodOfHigh(const PointXY* a, const PointXY* b, const PointXY* c, double t1, double /*t2*/,
                 unsigned short* verdict, double* value) {
    return run_criterion(a, b, c, verdict, value, height_of,
                         [&](double height) { return height_may_drop(height, t1); });
}

int MethodOfArea(const PointXY* a, const PointXY* b, const PointXY* c, double t1, double /*t2*/,
                 unsigned short* verdict, double* value) {
    return run_criterion(a, b, c, verdict, value, area_of,
                         [&](double area) { return area_may_drop(area, t1); });
}

int CF_PolylineMethod(const PointXY* anchor, const PointXY* next, const PointXY* candidate,
                      unsigned long* keep, tag_polyline_param_t param) {
    return polyline_method(Corner(anchor, next, candidate), keep, param);
}

int CF_PolygonMethod(const PointXY* anchor, const PointXY* next, const PointXY* candidate,
                     unsigned long* keep, tag_polygon_param_t param) {
    return polygon_method(Corner(anchor, next, candidate), keep, param);
}

int JudgePointAccept(const PointXY* a, const PointXY* b, const PointXY* p, double tolerance,
                     unsigned short* result) {
    if (coincide_inclusive(*a, *b)) {
        *result = kNoAnswer;
        return kCoincidentEnds;
    }
    if (!(tolerance >= 0.0 && tolerance <= kMaxAcceptTolerance)) {
        *result = kNoAnswer;
        return kToleranceOutOfRange;
    }
    double d = 0.0;
    if (std::fabs(b->x - a->x) > tolerance) {
        double k = (b->y - a->y) / (b->x - a->x);
        double c = a->y - k * a->x;
        d = std::fabs(k * p->x - p->y + c) / std::sqrt(k * k + 1.0);
    } else {
        d = std::fabs(p->x - b->x);
    }
    bool in_box =
        p->x >= std::min(a->x, b->x) - tolerance && p->x <= std::max(a->x, b->x) + tolerance &&
        p->y >= std::min(a->y, b->y) - tolerance && p->y <= std::max(a->y, b->y) + tolerance;
    if (d <= tolerance)
        *result = in_box ? 1 : 2;
    else
        *result = 0;
    return 0;
}

namespace {

// Results of JudgeLinesCut.
constexpr unsigned short kSegmentsApart = 0;
constexpr unsigned short kSegmentsCross = 1;
constexpr unsigned short kSegmentsTouch = 2;
constexpr unsigned short kSegmentsOverlap = 3;
constexpr unsigned short kSegmentsParallel = 4;
constexpr unsigned short kOnSegment = 1;

bool on_segment(const PointXY* a, const PointXY* b, const PointXY* p) {
    unsigned short result = 0;
    return JudgePointAccept(a, b, p, 0.0, &result) == 0 && result == kOnSegment;
}

// The first of the end points of CD that lie on AB, taken along A -> B, or A or B on CD.
bool first_shared_point(const PointXY* a, const PointXY* b, const PointXY* c, const PointXY* d,
                        PointXY* shared) {
    const PointXY* found = nullptr;
    double best = 0.0;
    for (const PointXY* p : {a, b, c, d}) {
        bool on_both =
            (p == a || p == b || on_segment(a, b, p)) && (p == c || p == d || on_segment(c, d, p));
        if (!on_both)
            continue;
        double along = (p->x - a->x) * (b->x - a->x) + (p->y - a->y) * (b->y - a->y);
        if (found == nullptr || along < best) {
            found = p;
            best = along;
        }
    }
    if (found != nullptr)
        *shared = *found;
    return found != nullptr;
}

}  // namespace

int JudgeLinesCut(const PointXY* a, const PointXY* b, const PointXY* c, const PointXY* d,
                  unsigned short* result, PointXY* cross) {
    if (coincide_inclusive(*a, *b) || coincide_inclusive(*c, *d)) {
        *result = kNoAnswer;
        return kCoincidentEnds;
    }
    double rx = b->x - a->x, ry = b->y - a->y, sx = d->x - c->x, sy = d->y - c->y;
    double denominator = rx * sy - ry * sx;
    if (denominator == 0.0) {
        // Parallel: they share a stretch only when collinear and overlapping.
        bool collinear = cross_of(*a, *b, *c) == 0.0;
        PointXY shared{};
        if (collinear && first_shared_point(a, b, c, d, &shared)) {
            *cross = shared;
            *result = kSegmentsOverlap;
        } else {
            *result = kSegmentsParallel;
        }
        return 0;
    }
    // An end point lying on the other segment is a touch.
    for (const PointXY* p : {c, d})
        if (on_segment(a, b, p)) {
            *cross = *p;
            *result = kSegmentsTouch;
            return 0;
        }
    for (const PointXY* p : {a, b})
        if (on_segment(c, d, p)) {
            *cross = *p;
            *result = kSegmentsTouch;
            return 0;
        }
    double t = ((c->x - a->x) * sy - (c->y - a->y) * sx) / denominator;
    double u = ((c->x - a->x) * ry - (c->y - a->y) * rx) / denominator;
    if (t > 0.0 && t < 1.0 && u > 0.0 && u < 1.0) {
        *cross = PointXY{a->x + t * rx, a->y + t * ry};
        *result = kSegmentsCross;
    } else {
        *result = kSegmentsApart;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------------
// Polyline walk.

int CF_PolylineReduc(const std::vector<DBC_tagGeoPoint_t>& in, std::vector<DBC_tagGeoPoint_t>& out,
                     tag_polyline_param_t param) {
    const int n = static_cast<int>(in.size());
    if (n < 2)
        return kTooFewPoints;
    std::vector<PointXY> points(n);
    for (int k = 0; k < n; ++k)
        points[k] = PointXY{static_cast<double>(in[k].x), static_cast<double>(in[k].y)};
    const size_t first_out = out.size();
    auto emit = [&](int k) {
        // A kept vertex repeating the one output before it adds nothing.
        if (out.size() > first_out) {
            const DBC_tagGeoPoint_t& last = out.back();
            PointXY previous{static_cast<double>(last.x), static_cast<double>(last.y)};
            if (coincide_exclusive(previous, points[k]))
                return;
        }
        out.push_back(in[k]);
    };
    int i = 0;
    while (i < n - 1) {
        const int anchor = i;
        emit(anchor);
        ++i;
        while (i < n - 1) {
            unsigned long keep = 1;
            polyline_method(Corner(&points[anchor], &points[i + 1], &points[i]), &keep, param);
            if (keep != 0)
                break;
            ++i;
        }
    }
    const DBC_tagGeoPoint_t& last = in[n - 1];
    PointXY last_xy{static_cast<double>(last.x), static_cast<double>(last.y)};
    const DBC_tagGeoPoint_t& tail = out.back();
    bool ends_there = coincide_exclusive(
        PointXY{static_cast<double>(tail.x), static_cast<double>(tail.y)}, last_xy);
    if (!(ends_there && out.size() - first_out > 1))
        out.push_back(last);
    return kReduced;
}

namespace {

// Truncation toward zero to a whole number in 64 bits; beyond the range it saturates and NaN gives
// 0, where a plain cast would be undefined.
long long truncate_to_int64(double value) {
    if (!(value == value))
        return 0;
    if (value >= 9223372036854775807.0)
        return INT64_MAX;
    if (value <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<long long>(value);
}

// ---------------------------------------------------------------------------------------------------
// Ring walk.

// A working vertex: its whole-number place, its point code and where it stands in the two sorted
// arrays.
struct PointDivXY {
    double x;
    double y;
    long long code;
    int x_position;
    int y_position;
    bool removed;
};

// One entry of a sorted array: a vertex and its x (or y).
struct sort_t {
    int index;
    double key;
};

// The y of an x-sorted entry's vertex (or the x of a y-sorted one).
struct CrossKey {
    double value;
};

// A vertex's positions in the x-sorted and the y-sorted arrays.
struct polygon_sort_index {
    int x_position;
    int y_position;
};

// Arrays shorter than this are sorted by comparison; longer ones by radix, in linear passes.
constexpr size_t kRadixSortLeast = 2048;
// Radix digits of 11 bits; keys spanning 2^44 or more are sorted by comparison instead.
constexpr int kDigitBits = 11;
constexpr int kDigitValues = 1 << kDigitBits;
constexpr double kRadixSpan = 17592186044416.0;  // 2^44

bool key_then_index(const sort_t& p, const sort_t& q) {
    return p.key < q.key || (p.key == q.key && p.index < q.index);
}

// Sorts the entries ascending by key, ties by index. The keys are whole numbers, so their
// distances from the least key are exact and can be sorted digit by digit (stably, so ties keep
// the index order they were made in).
void sort_by_key(std::vector<sort_t>* entries, std::vector<sort_t>* scratch) {
    const size_t n = entries->size();
    if (n < kRadixSortLeast) {
        std::sort(entries->begin(), entries->end(), key_then_index);
        return;
    }
    double least = (*entries)[0].key, greatest = least;
    for (const sort_t& e : *entries) {
        least = std::min(least, e.key);
        greatest = std::max(greatest, e.key);
    }
    if (!(greatest - least < kRadixSpan)) {
        std::sort(entries->begin(), entries->end(), key_then_index);
        return;
    }
    const auto span = static_cast<uint64_t>(greatest - least);
    scratch->resize(n);
    for (int shift = 0; shift == 0 || (span >> shift) != 0; shift += kDigitBits) {
        int counts[kDigitValues + 1] = {};
        auto digit = [&](const sort_t& e) {
            return static_cast<int>((static_cast<uint64_t>(e.key - least) >> shift) &
                                    (kDigitValues - 1));
        };
        for (const sort_t& e : *entries)
            ++counts[digit(e) + 1];
        for (int d = 0; d < kDigitValues; ++d)
            counts[d + 1] += counts[d];
        for (const sort_t& e : *entries)
            (*scratch)[counts[digit(e)]++] = e;
        entries->swap(*scratch);
    }
}

PointXY xy_of(const PointDivXY& v) {
    return PointXY{v.x, v.y};
}

point_t point_of(const PointDivXY& v) {
    return point_t{v.x, v.y, 0.0};
}

// Neighbouring sorted keys this close are taken into a triangle's range, so vertices sharing the
// range's least or greatest x (or y) are never cut off at its ends.
constexpr double kRangeGap = mapgeom::kClosureTolerance;

// The working state of one ring reduction. All storage is sized once.
class RingWalk {
public:
    // The ring of `count` vertices vertex_at(0 .. count - 1), closing point included.
    template <typename VertexAt>
    RingWalk(int count, VertexAt vertex_at, const tag_polygon_param_t& param, TriangleGuard guard)
        : param_(param), guard_(guard) {
        vertices_.reserve(static_cast<size_t>(std::max(0, count)));
        for (int k = 0; k < count; ++k) {
            const ReducVertex v = vertex_at(k);
            PointDivXY w{static_cast<double>(v.x), static_cast<double>(v.y), v.code, 0, 0, false};
            if (!vertices_.empty() && coincide_exclusive(xy_of(vertices_.back()), xy_of(w))) {
                // One vertex of a run of repeated points stays; it keeps a code any of them has,
                // so a press-coded point is not lost behind a plain copy of itself.
                if (vertices_.back().code == 0)
                    vertices_.back().code = w.code;
                continue;
            }
            vertices_.push_back(w);
        }
        n_ = static_cast<int>(vertices_.size());
        if (guard_ == TriangleGuard::kSortedIndex)
            build_index();
    }

    // Walks the ring, then writes the kept vertices with normalised section ends.
    void reduce(std::vector<ReducVertex>* out) {
        kept_.clear();
        walk();
        if (n_ > 0 && (kept_.empty() || !coincide_exclusive(xy_of(vertices_[kept_.back().index]),
                                                            xy_of(vertices_[n_ - 1]))))
            kept_.push_back(Kept{n_ - 1});
        write_normalised(out);
    }

private:
    struct Kept {
        int index;
    };

    void build_index() {
        by_x_.reserve(n_);
        by_y_.reserve(n_);
        for (int k = 0; k < n_; ++k) {
            by_x_.push_back(sort_t{k, vertices_[k].x});
            by_y_.push_back(sort_t{k, vertices_[k].y});
        }
        // Ties could come in any order: a triangle's range takes every entry sharing its end
        // keys.
        std::vector<sort_t> scratch;
        sort_by_key(&by_x_, &scratch);
        sort_by_key(&by_y_, &scratch);
        y_by_x_.reserve(n_);
        x_by_y_.reserve(n_);
        for (int k = 0; k < n_; ++k) {
            vertices_[by_x_[k].index].x_position = k;
            vertices_[by_y_[k].index].y_position = k;
            y_by_x_.push_back(CrossKey{vertices_[by_x_[k].index].y});
            x_by_y_.push_back(CrossKey{vertices_[by_y_[k].index].x});
        }
    }

    bool has_code(int k) const { return vertices_[k].code != 0; }

    void walk() {
        int i = 0;
        while (i < n_ - 1) {
            const int anchor = i;
            kept_.push_back(Kept{anchor});
            ++i;
            while (i < n_ - 1) {
                int step = drop_step(anchor, i);
                if (step == 0)
                    break;
                i += step;
            }
        }
    }

    // How far the walk moves past candidate i with anchor `anchor`: 0 when the candidate is kept
    // (it becomes the next anchor), 1 when it is dropped, 2 when the next vertex goes with it.
    int drop_step(int anchor, int i) {
        if (has_code(anchor) || has_code(i) || has_code(i + 1))
            return 0;
        const PointXY a = xy_of(vertices_[anchor]);
        const PointXY c = xy_of(vertices_[i]);
        const PointXY b = xy_of(vertices_[i + 1]);
        const Corner corner(&a, &b, &c);
        if (side_of(corner) == kOnLine)
            return 1;
        unsigned long keep = 1;
        polygon_method(corner, &keep, param_);
        if (keep == 1)
            return 0;
        if (coincide_exclusive(a, b)) {
            vertices_[i].removed = true;
            settle_section_ends(anchor);
            return 2;
        }
        if (vertex_in_triangle(anchor, i, i + 1))
            return 0;
        vertices_[i].removed = true;
        return 1;
    }

    // After a fold back onto the anchor drops two vertices, the anchor and the vertex two after it
    // meet: a section end and a section start there cancel out.
    void settle_section_ends(int a) {
        if (a + 2 >= n_)
            return;
        long long& first = vertices_[a].code;
        long long& second = vertices_[a + 2].code;
        if (first == mapgeom::kPressStart && second == mapgeom::kPressEnd) {
            first = 0;
        } else if (first == mapgeom::kPressEnd && second == mapgeom::kPressStart) {
            first = 0;
            second = 0;
        }
        if (second == mapgeom::kPressStart) {
            if (first == mapgeom::kPressEnd)
                first = 0;
            else if (first == 0)
                first = mapgeom::kPressStart;
        }
    }

    // Whether a vertex other than a, c and b (and the first vertex when b is the closing point)
    // that is still live lies in triangle (a, c, b) or on its boundary.
    bool vertex_in_triangle(int a, int c, int b) const {
        if (guard_ == TriangleGuard::kPlainScan)
            return scan_all(a, c, b);
        return scan_sorted_range(a, c, b);
    }

    // Whether vertex j may block a drop: live, not a corner of the triangle, and not the first
    // vertex when b is the closing point (`b_first` = b modulo (n - 1), the same place as b).
    bool is_candidate(int j, int a, int c, int b, int b_first) const {
        return !vertices_[j].removed && j != a && j != c && j != b && j != b_first;
    }

    bool inside(int j, int a, int c, int b) const {
        return relation_point_at_triangle(point_of(vertices_[j]), point_of(vertices_[a]),
                                          point_of(vertices_[c]), point_of(vertices_[b]),
                                          kTrianglePermit) == 0;
    }

    bool scan_all(int a, int c, int b) const {
        const int b_first = b % (n_ - 1);
        for (int j = 0; j < n_; ++j)
            if (is_candidate(j, a, c, b, b_first) && inside(j, a, c, b))
                return true;
        return false;
    }

    struct Range {
        int low;
        int high;
    };

    // The sorted positions from the least to the greatest of the three, widened over neighbours
    // whose key is within kRangeGap of the range's end.
    static Range range_of(const std::vector<sort_t>& sorted, int p, int q, int r) {
        Range range{std::min({p, q, r}), std::max({p, q, r})};
        while (range.low > 0 && sorted[range.low].key - sorted[range.low - 1].key <= kRangeGap)
            --range.low;
        const int last = static_cast<int>(sorted.size()) - 1;
        while (range.high < last &&
               sorted[range.high + 1].key - sorted[range.high].key <= kRangeGap)
            ++range.high;
        return range;
    }

    bool scan_sorted_range(int a, int c, int b) const {
        const PointDivXY &va = vertices_[a], &vc = vertices_[c], &vb = vertices_[b];
        Range x = range_of(by_x_, va.x_position, vc.x_position, vb.x_position);
        Range y = range_of(by_y_, va.y_position, vc.y_position, vb.y_position);
        bool along_x = x.high - x.low <= y.high - y.low;
        const std::vector<sort_t>& sorted = along_x ? by_x_ : by_y_;
        const Range& range = along_x ? x : y;
        // The scanned entries lie in the triangle's extent one way; an entry outside it the other
        // way (beyond the same widening) cannot be in the triangle, so it is passed over before
        // the exact test.
        double low = along_x ? sorted_key(by_y_, y.low) : sorted_key(by_x_, x.low);
        double high = along_x ? sorted_key(by_y_, y.high) : sorted_key(by_x_, x.high);
        const std::vector<CrossKey>& cross = along_x ? y_by_x_ : x_by_y_;
        const int b_first = b % (n_ - 1);
        for (int k = range.low; k <= range.high; ++k) {
            double other = cross[k].value;
            if (other < low - kTrianglePermit || other > high + kTrianglePermit)
                continue;
            int j = sorted[k].index;
            if (is_candidate(j, a, c, b, b_first) && inside(j, a, c, b))
                return true;
        }
        return false;
    }

    static double sorted_key(const std::vector<sort_t>& sorted, int position) {
        return sorted[position].key;
    }

    // Writes the kept vertices. Of the section starts after the first section end, each run keeps
    // only its first; of several section ends without a start between them only the last stays.
    void write_normalised(std::vector<ReducVertex>* out) const {
        enum class Tri { kUndecided, kFalse, kTrue };
        Tri seen_start = Tri::kUndecided;
        Tri after_end = Tri::kUndecided;
        size_t last_end = 0;
        for (const Kept& k : kept_) {
            const PointDivXY& v = vertices_[k.index];
            ReducVertex w{truncate_to_int64(v.x), truncate_to_int64(v.y), v.code};
            if (w.code == mapgeom::kPressStart) {
                after_end = Tri::kFalse;
                if (seen_start == Tri::kTrue)
                    w.code = 0;
                else if (seen_start == Tri::kFalse)
                    seen_start = Tri::kTrue;
            } else if (w.code == mapgeom::kPressEnd) {
                if (after_end == Tri::kTrue)
                    (*out)[last_end].code = 0;
                last_end = out->size();
                after_end = Tri::kTrue;
                seen_start = Tri::kFalse;
            }
            out->push_back(w);
        }
    }

    tag_polygon_param_t param_;
    TriangleGuard guard_;
    std::vector<PointDivXY> vertices_;
    std::vector<sort_t> by_x_;
    std::vector<sort_t> by_y_;
    // The other coordinate of each sorted entry's vertex, in sorted order, so that a range scan
    // passes over vertices outside the triangle's extent without reaching into the vertex array.
    std::vector<CrossKey> y_by_x_;
    std::vector<CrossKey> x_by_y_;
    std::vector<Kept> kept_;
    int n_ = 0;
};

}  // namespace

namespace mapgeom {

void reduce_ring_vertices(const std::vector<ReducVertex>& in, std::vector<ReducVertex>* out,
                          const tag_polygon_param_t& param, TriangleGuard guard) {
    RingWalk walk(
        static_cast<int>(in.size()), [&](int k) { return in[k]; }, param, guard);
    walk.reduce(out);
}

}  // namespace mapgeom

int CF_PolygonReduc(const std::vector<tagCF_DivGeoPoint_t>& in,
                    std::vector<tagCF_DivGeoPoint_t>& out, tag_polygon_param_t param) {
    std::vector<ReducVertex> vertices;
    vertices.reserve(in.size());
    for (const tagCF_DivGeoPoint_t& v : in)
        vertices.push_back(ReducVertex{v.x, v.y, v.flag});
    std::vector<ReducVertex> kept;
    mapgeom::reduce_ring_vertices(vertices, &kept, param, TriangleGuard::kSortedIndex);
    for (const ReducVertex& v : kept)
        out.emplace_back(v.x, v.y, static_cast<unsigned short>(v.code));
    return kReduced;
}

// ---------------------------------------------------------------------------------------------------
// Entry points over the library's records.

namespace {

// The parameters of the default entry points.
tag_polygon_param_t default_polygon_param() {
    tag_polygon_param_t param;
    param.tolerance = 0.01;
    param.min_angle = 61.0;
    param.max_angle = 180.0;
    param.min_length = 310.0;
    param.min_height = 50.0;
    param.min_area = 14000.0;
    param.keep_arm_length = 2000.0;
    return param;
}

tag_polyline_param_t default_polyline_param() {
    tag_polyline_param_t param;
    param.tolerance = 0.01;
    param.min_angle = 61.0;
    param.max_angle = 180.0;
    param.min_length = 310.0;
    // The double just above 110: a vertex exactly 110 - 0.001 off the chord still goes.
    param.min_height = std::nextafter(110.0, 200.0);
    return param;
}

double hundreds_of(double code) {
    return std::trunc(code / 100.0) * 100.0;
}

int press_of(const point_t& p) {
    return mapgeom::press_code_of(p.z);
}

// Turns each run of pressed vertices (code 1) back into a section 2, 0, ..., 0, 3; read from the
// first stored point to the closing point without wrapping. A lone pressed vertex stays 1; a run
// open at the closing point ends there.
void restore_press_sections(geom_t* g) {
    bool in_run = false;
    for (int i = 0; i + 1 < g->count; ++i) {
        point_t& p = g->points[i];
        const point_t& q = g->points[i + 1];
        if (!in_run) {
            if (press_of(p) == mapgeom::kPressInside && press_of(q) == mapgeom::kPressInside) {
                p.z += 1.0;
                in_run = true;
            }
            continue;
        }
        if (press_of(q) != mapgeom::kPressPlain) {
            p.z = hundreds_of(p.z);
        } else {
            p.z += 2.0;
            in_run = false;
        }
    }
    if (g->count > 0 && press_of(g->points[g->count - 1]) == mapgeom::kPressInside)
        g->points[g->count - 1].z += 2.0;
}

// The stored point k of g as a whole-number vertex with its whole point code.
ReducVertex vertex_of(const geom_t* g, int k) {
    const point_t& p = g->points[k];
    return ReducVertex{truncate_to_int64(p.x), truncate_to_int64(p.y), truncate_to_int64(p.z)};
}

// The number of working vertices of a ring: its stored points, and its first point once more
// when the last stored point is not the first (a ring not closed is reduced as if it were).
int closed_count(const geom_t* g) {
    if (g->count < 2)
        return std::max(0, g->count);
    ReducVertex first = vertex_of(g, 0), last = vertex_of(g, g->count - 1);
    return first.x == last.x && first.y == last.y ? g->count : g->count + 1;
}

}  // namespace

namespace mapgeom {

int reduce_polygon_with(const polygon_t* input, polygon_t* output, const tag_polygon_param_t& param,
                        TriangleGuard guard) {
    OwnedRing copy;
    com_geom_resize(&copy.ring.geom, std::max(1, input->geom.count));
    if (input->geom.count > 0)
        std::memcpy(copy.ring.geom.points, input->geom.points,
                    sizeof(point_t) * static_cast<size_t>(input->geom.count));
    copy.ring.geom.count = std::max(0, input->geom.count);
    transform_press_ends_pressed(&copy.ring);
    const geom_t* ring = &copy.ring.geom;
    std::vector<ReducVertex> kept;
    {
        RingWalk walk(
            closed_count(ring), [&](int k) { return vertex_of(ring, k % ring->count); }, param,
            guard);
        walk.reduce(&kept);
    }

    OwnedRing result;
    com_polygon_init(&result.ring);
    for (const ReducVertex& v : kept)
        com_polygon_add(&result.ring, point_t{static_cast<double>(v.x), static_cast<double>(v.y),
                                              static_cast<double>(v.code)});
    geom_t* g = &result.ring.geom;
    int code = kReduced;
    if (g->count - 1 > 2) {
        restore_press_sections(g);
    } else {
        code = kRingCollapsed;
        if (g->count > 0)
            com_polygon_removeat(&result.ring,
                                 press_of(g->points[g->count - 1]) != 0 ? 0 : g->count - 1);
    }
    com_polygon_add_geom(output, g);
    return code;
}

}  // namespace mapgeom

int reduc_polygon(const polygon_t* input, polygon_t* output, const tag_polygon_param_t* param) {
    if (input == nullptr || output == nullptr || param == nullptr)
        return kRingCollapsed;
    return mapgeom::guarded(kRingCollapsed, [&] {
        return mapgeom::reduce_polygon_with(input, output, *param, TriangleGuard::kSortedIndex);
    });
}

int reduc_polygon_by_defult(const polygon_t* input, polygon_t* output) {
    tag_polygon_param_t param = default_polygon_param();
    return reduc_polygon(input, output, &param);
}

int reduc_polyline(const polyline_t* input, polyline_t* output, const tag_polyline_param_t* param) {
    if (input == nullptr || output == nullptr || param == nullptr)
        return kTooFewPoints;
    return mapgeom::guarded(kTooFewPoints, [&] {
        const geom_t* g = &input->geom;
        std::vector<DBC_tagGeoPoint_t> in(g->count > 0 ? g->count : 0);
        for (int k = 0; k < g->count; ++k)
            in[k] = DBC_tagGeoPoint_t{truncate_to_int64(g->points[k].x),
                                      truncate_to_int64(g->points[k].y)};
        std::vector<DBC_tagGeoPoint_t> out;
        if (CF_PolylineReduc(in, out, *param) != kReduced)
            return kTooFewPoints;
        double code = g->points[g->count - 1].z;
        for (const DBC_tagGeoPoint_t& v : out)
            com_polyline_add(output,
                             point_t{static_cast<double>(v.x), static_cast<double>(v.y), code});
        return kReduced;
    });
}

int reduc_polyline_by_defult(const polyline_t* input, polyline_t* output) {
    tag_polyline_param_t param = default_polyline_param();
    return reduc_polyline(input, output, &param);
}
