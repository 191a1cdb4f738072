// Clipping of one polygon by a rectangle outline (in practice a grid tile): an intersection walk
// that switches between the polygon and the outline at their crossings, keeps press sections
// intact across the cut and marks every stretch taken from the outline as a press section. When no
// piece results, the code says how the two lie (inside, containing, apart, touching), so the tiled
// clipping can emit a copy of the polygon or the whole tile without clipping anything.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "algebra/places.h"
#include "algebra/press_codes.h"
#include "algebra/rect_clip.h"
#include "algebra/shape_steps.h"
#include "algebra/walk_state.h"
#include "com/boundary.h"
#include "com/check.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "com/owned.h"
#include "com/plain_lookups.h"
#include "com/tolerances.h"
#include "mapgeom/algebra.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "relation/orientation.h"
#include "relation/point_at_polygon_internal.h"
#include "relation/validity.h"

namespace {

using namespace mapgeom;  // the shared codes, holders and steps

// A walk stops after this many steps per vertex of the polygon (the walk visits each vertex of
// the polygon about once and the outline's few vertices once per piece, so a walk that goes on
// longer is circling).
constexpr int kWalkStepsPerVertex = 15;

// ---------------------------------------------------------------------------------------------
// Debug traces of faulty inputs and results.

// "num: <stored points>", then one line per stored point: x and y rounded by adding 0.5 and
// truncating, separated by a tab. Written into storage sized once for the longest lines (an int is
// at most 11 characters), the text cut to its length at the end.
std::string ring_trace(const polygon_t* ring) {
    constexpr size_t kLongestInt = 11;
    const size_t count = ring->geom.count > 0 ? static_cast<size_t>(ring->geom.count) : 0;
    std::string text(6 + kLongestInt + count * (2 * kLongestInt + 2), '\0');
    char* at = text.data();
    char* const end = at + text.size();
    auto put_int = [&](int value) { at = std::to_chars(at, end, value).ptr; };
    std::memcpy(at, "num: ", 5);
    at += 5;
    put_int(ring->geom.count);
    *at++ = '\n';
    for (size_t i = 0; i < count; ++i) {
        point_t p = ring->geom.points[i];
        put_int(truncate_to_int32(p.x + 0.5));
        *at++ = '\t';
        put_int(truncate_to_int32(p.y + 0.5));
        *at++ = '\n';
    }
    text.resize(static_cast<size_t>(at - text.data()));
    return text;
}

// The ring's trace block, appended to the file in one write.
void trace_ring(const char* path, const polygon_t* ring) {
    std::string text = ring_trace(ring);
    trace_append_text(path, text.data(), text.size());
}

// The pieces have been through drop_flat_rings: none lies on one line.
void trace_faulty_results(const polygons_t* pieces) {
    for (const polygon_node_t* node = pieces->head; node != nullptr; node = node->next)
        if (polygon_off_one_line_is_faulty(&node->polygon))
            trace_append("result_error.txt", "result_error: \n");
}

// ---------------------------------------------------------------------------------------------
// Preparing the two rings.

// How the rings lie when their boundaries do not meet at all.
int code_without_crossings(const polygon_t* a, const polygon_t* b) {
    if (relation_point_at_polygon(b, com_polygon_front(a)) == kPointInside)
        return kClipPolygonInside;
    if (relation_point_at_polygon(a, com_polygon_front(b)) == kPointInside)
        return kClipRectInside;
    return kClipApart;
}

// ---------------------------------------------------------------------------------------------
// Closing a piece.

double rounded(double value) {
    return std::trunc(value > 0.0 ? value + 0.5 : value - 0.5);
}

// Snaps the piece's points to whole units (halves away from zero) and removes a point that then
// repeats its predecessor: the earlier one when exactly one of the two is a plain point (code 0),
// so a marked point survives, otherwise the later one. A piece of a single point is left as it is.
// Returns whether every point then has finite whole coordinates (has_whole_places).
bool del_repeatpts(polygon_t* piece) {
    geom_t* g = &piece->geom;
    if (com_polygon_num(piece) < 1)
        return has_whole_places(piece);
    bool finite = true;
    for (int k = 0; k < g->count; ++k) {
        point_t& p = g->points[k];
        p.x = rounded(p.x);
        p.y = rounded(p.y);
        finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
    }
    for (int k = 1; k <= com_polygon_num(piece);) {
        const point_t& before = g->points[k - 1];
        const point_t& at = g->points[k];
        if (!same_point(before, at)) {
            ++k;
            continue;
        }
        bool one_plain = (before.z == 0.0) != (at.z == 0.0);
        com_polygon_removeat(piece, one_plain ? k - 1 : k);
    }
    return finite;
}

bool is_whole(double v) {
    return std::isfinite(v) && v == std::trunc(v);
}

// Up to this many vertices, a piece's places are compared pairwise before anything is sorted.
constexpr int kPairwisePlaces = 24;

// Whether two vertices of the ring (closing point left out) lie at one place, for a ring of whole
// coordinates, compared pairwise.
bool has_repeat_pairwise(const polygon_t* ring) {
    const int n = com_polygon_num(ring);
    const point_t* p = ring->geom.points;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (p[i].x == p[j].x && p[i].y == p[j].y)
                return true;
    return false;
}

// Whether two vertices of the ring (closing point left out) lie at one place, for a ring of whole
// coordinates, by sorting the places packed into one number each: false also when a coordinate
// lies outside the int32 range (the caller then cuts the general way).
bool has_repeat_packed(const polygon_t* ring, bool* packed) {
    const int n = com_polygon_num(ring);
    const point_t* p = ring->geom.points;
    std::vector<std::uint64_t> keys(static_cast<size_t>(n));
    auto in_range = [](double v) { return v >= -2147483648.0 && v <= 2147483647.0; };
    for (int i = 0; i < n; ++i) {
        if (!in_range(p[i].x) || !in_range(p[i].y)) {
            *packed = false;
            return false;
        }
        auto bits = [](double v) {
            return static_cast<std::uint64_t>(static_cast<std::int64_t>(v) + 2147483648LL);
        };
        keys[i] = bits(p[i].x) << 32 | bits(p[i].y);
    }
    *packed = true;
    std::sort(keys.begin(), keys.end());
    return std::adjacent_find(keys.begin(), keys.end()) != keys.end();
}

// A piece closed by the walk has its points snapped to whole units: the cut at repeated vertices
// is made by split_whole_ring_by_repeat_points then, unless a few pairwise comparisons (or, for a
// longer piece, a sort of its packed places) show there is none to make.
void hand_over_piece(polygon_t* piece, polygons_t* out, bool whole_places) {
    if (!whole_places) {
        split_polygon_by_repeat_points(piece, out, 0);
        return;
    }
    bool packed = false;
    bool repeats = com_polygon_num(piece) <= kPairwisePlaces ? has_repeat_pairwise(piece)
                                                             : has_repeat_packed(piece, &packed);
    if (!repeats && (packed || com_polygon_num(piece) <= kPairwisePlaces)) {
        com_polygons_add(out, *piece);
        piece->geom = geom_t{nullptr, 0, 0};
        return;
    }
    split_whole_ring_by_repeat_points(piece, out);
}

// ---------------------------------------------------------------------------------------------
// The clipping walk.

using Origin = RingOrigin;
using Origins = std::vector<Origin>;

// The clipping walk over a reduced ring A taken step for step as the walk over the whole ring:
// what each step stands for, for the step bounds, and the whole-ring vertices it passes, for the
// piece being traced (only a polygon crossing itself leads a piece through a run far from the
// rectangle). Without origins, A is the whole ring. `first` holds the table of the steps' first
// vertices and lengths.
class WholeRingSteps {
public:
    WholeRingSteps(const polygon_t* whole, const Origins* origins, int n_a, std::vector<int>* first)
        : first_(*first) {
        if (whole == nullptr || origins == nullptr)
            return;
        whole_ = whole;
        n_whole_ = com_polygon_num(whole);
        origins_ = origins;
        // Per vertex of A: the first whole-ring vertex of the step to it, and the steps it
        // stands for (1 for a point the crossing search inserted).
        first_.assign(2 * static_cast<size_t>(n_a), 1);
        // The step to vertex 0 (whole-ring vertex 0) comes from the last vertex of A that has an
        // origin, over the end of the whole ring.
        int before = -1;  // the whole-ring vertex the step before ends on
        for (int k = n_a - 1; k >= 0 && before < 0; --k)
            before = (*origins)[k].last;
        for (int k = 0; k < n_a; ++k) {
            int last = (*origins)[k].last;
            if (last < 0) {
                ++inserted_;
                continue;
            }
            first_[2 * k] = before + 1;
            first_[2 * k + 1] = end_of(k) - before;
            before = last;
        }
    }

    // The vertices of the whole polygon's A: the steps of one lap of its walk.
    long long lap(int n_a) const { return whole_ == nullptr ? n_a : n_whole_ + inserted_; }

    // The steps of the whole ring's walk that arriving at vertex k of A stands for.
    int steps_to(int k) const { return whole_ == nullptr ? 1 : first_[2 * k + 1]; }

    // Adds what the whole ring's walk adds to a piece on its way to vertex k of A (point c):
    // the run's vertices before it, then c unless c stands in for the run's last.
    template <typename Append>
    void pass(int k, point_t c, Append append) const {
        if (whole_ != nullptr && (*origins_)[k].last >= 0) {
            int end = end_of(k);
            int through = (*origins_)[k].stand_in ? end : end - 1;
            for (int v = first_[2 * k]; v <= through; ++v)
                append(whole_->geom.points[v % n_whole_]);
            if ((*origins_)[k].stand_in)
                return;
        }
        append(c);
    }

private:
    // The last whole-ring vertex of the step to vertex k, counted past the end for vertex 0.
    int end_of(int k) const { return k == 0 ? n_whole_ : (*origins_)[k].last; }

    const polygon_t* whole_ = nullptr;
    int n_whole_ = 0;
    const Origins* origins_ = nullptr;
    std::vector<int>& first_;  // per vertex of A: the step's first whole-ring vertex, its length
    int inserted_ = 0;         // points of A the crossing search inserted
};

// The crossing records by place: first_at(p) is the least record whose point is the same
// (com_points_same) as p, or -1, as com_geom_find over the records' points answers. A tile's clip
// has a few crossings, which a scan in record order finds sooner than the index would be built.
class CrossingPlaces {
public:
    explicit CrossingPlaces(const crosspts_t* c) : c_(c), scanned_(c->count <= kScannedCrossings) {
        if (!scanned_)
            index_ = PlaceIndex(c->count, [c](int k) { return c->crosspts[k].pt; });
    }

    int first_at(point_t p) const {
        if (!scanned_)
            return index_.first_at(p);
        for (int k = 0; k < c_->count; ++k)
            if (com_points_same(c_->crosspts[k].pt, p) == 0)
                return k;
        return -1;
    }

private:
    // Up to this many crossings are scanned rather than indexed.
    static constexpr int kScannedCrossings = 16;

    const crosspts_t* c_;
    bool scanned_;
    PlaceIndex index_;
};

// How far from an axis-parallel outline's sides its crossings can lie: a meeting point lies within
// the coincidence tolerance of the outline's edge box, or of its vertex; a vertex at a crossing's
// place within that tolerance again (with room for rounding in the int32 range).
constexpr double kCrossingSideReach = 3 * kSamePoint;

// Whether p lies within kCrossingSideReach of a side of the box.
bool near_sides(point_t p, const rectangle_t& box) {
    const double r = kCrossingSideReach;
    bool across_x = p.x >= box.min_x - r && p.x <= box.max_x + r;
    bool across_y = p.y >= box.min_y - r && p.y <= box.max_y + r;
    bool at_x_side = std::fabs(p.x - box.min_x) <= r || std::fabs(p.x - box.max_x) <= r;
    bool at_y_side = std::fabs(p.y - box.min_y) <= r || std::fabs(p.y - box.max_y) <= r;
    return (at_x_side && across_y) || (at_y_side && across_x);
}

// records_at_vertices of the crossings: the lookup by place is skipped for a vertex outside the
// box of the crossing points grown by twice the coincidence tolerance, which can be the same
// (com_points_same) as none of them, and, when the outline is the axis-parallel rectangle `sides`
// (null otherwise), for a vertex away from its sides. On a ring reduced for a tile most vertices
// lie there. Fills at[0 .. com_polygon_num(ring) - 1].
void crossings_at_vertices(const polygon_t* ring, const crosspts_t* c, const CrossingPlaces& index,
                           const rectangle_t* sides, int* at) {
    double min_x = HUGE_VAL, min_y = HUGE_VAL, max_x = -HUGE_VAL, max_y = -HUGE_VAL;
    for (int k = 0; k < c->count; ++k) {
        point_t p = c->crosspts[k].pt;
        min_x = std::fmin(min_x, p.x), max_x = std::fmax(max_x, p.x);
        min_y = std::fmin(min_y, p.y), max_y = std::fmax(max_y, p.y);
    }
    const double reach = 2 * kSamePoint;
    int n = com_polygon_num(ring);
    for (int i = 0; i < n; ++i) {
        point_t p = ring->geom.points[i];
        bool near = p.x >= min_x - reach && p.x <= max_x + reach && p.y >= min_y - reach &&
                    p.y <= max_y + reach && (sides == nullptr || near_sides(p, *sides));
        at[i] = near ? index.first_at(p) : -1;
    }
}

class ClipWalk : WalkState {
public:
    ClipWalk(polygon_t* a, const polygon_t* b, const crosspts_t* c, const CrossingPlaces& index,
             polygons_t* out, const WholeRingSteps& whole, std::vector<int>* tables,
             const rectangle_t* sides)
        : WalkState(a, b),
          whole_(whole),
          lap_(whole.lap(n_a_)),
          a_(a),
          b_(b),
          c_(c),
          out_(out),
          tables_(*tables) {
        const int n_c = c->count, n_a = com_polygon_num(a), n_b = com_polygon_num(b);
        tables_.assign(static_cast<size_t>(n_c) + 2 * static_cast<size_t>(n_a) + n_b, 0);
        disabled_ = tables_.data();
        a_crossing_ = disabled_ + n_c;
        b_crossing_ = a_crossing_ + n_a;
        crossing_vertices_ = b_crossing_ + n_b;
        // The walk moves no vertex: where each vertex meets a crossing is looked up once.
        crossings_at_vertices(a, c, index, sides, a_crossing_);
        crossings_at_vertices(b, c, index, nullptr, b_crossing_);
        for (int i = 0; i < n_a_; ++i)
            if (a_crossing_[i] != -1)
                crossing_vertices_[crossing_vertex_count_++] = i;
    }

    // Returns 0 when the walk switched onto the outline at least once, 1 otherwise.
    int run() {
        disable_touch_points();
        int start = next_start();
        if (start < 0)
            return produced_ ? 0 : 1;
        i_ = start;
        long long bound = static_cast<long long>(kWalkStepsPerVertex) * lap_;
        for (long long steps = 0; used_.remaining() > 0;) {
            int cost = side_ == WalkSide::kA ? whole_.steps_to(next_of(i_, n_a_)) : 1;
            if (steps + cost > bound)
                break;
            steps += cost;
            if (!step_once(cost))
                break;
        }
        return produced_ ? 0 : 1;
    }

private:
    // Where the walk is: before the polygon first ran into the outline, between pieces (looking
    // for the next piece's start), or tracing a piece.
    enum class Phase { kNotEntered, kBetweenPieces, kInPiece };

    // Meetings other than crossings and stretches along the outline (touch points, flags 1 to 4)
    // never switch the walk. A touch point is no node of the result: it loses its crossing mark.
    void disable_touch_points() {
        for (int k = 0; k < c_->count; ++k) {
            if (is_walkable_kind(c_->crosspts[k].flag))
                continue;
            disabled_[k] = 1;
            int i = c_->crosspts[k].index1;
            if (i >= 0 && i < a_->geom.count && a_->geom.points[i].z >= kNodeMarker)
                a_->geom.points[i].z -= kNodeMarker;
        }
    }

    // The first unused vertex of the polygon at an enabled crossing after which the polygon's
    // boundary lies as `side` says (0 outside the outline, 1 inside); -1 when there is none.
    int first_unused_crossing(int side) const {
        for (int v = 0; v < crossing_vertex_count_; ++v) {
            int i = crossing_vertices_[v];
            int k = a_crossing_[i];
            if (!used_.is_used(i) && disabled_[k] == 0 && c_->crosspts[k].curpt_flag == side)
                return i;
        }
        return -1;
    }

    // Where the next piece's walk starts: the vertex after which the polygon leaves the outline,
    // passed over until the polygon comes back in. A piece may also be reached only through a
    // stretch along the outline that the polygon leaves with its inside facing away (a notch
    // whose floor lies on the tile edge): its entry is then never met by a walk from an exit.
    // Once some piece came out (so the polygon does leave the outline), a remaining unused entry
    // starts the walk just before it.
    int next_start() const {
        int exit = first_unused_crossing(kPointOutside);
        if (exit >= 0 || !produced_)
            return exit;
        int entry = first_unused_crossing(kPointInside);
        return entry < 0 ? -1 : (entry + n_a_ - 1) % n_a_;
    }

    void append(point_t p) { cur_polygon_add(&ring_.ring, p); }

    // A point of the outline: inside a press section (code 1, hundreds kept).
    static point_t in_section(point_t p) {
        if (press_code_of(p.z) != kPressInside)
            p.z = hundreds_of(p.z) + kPressInside;
        return p;
    }

    // One step, standing for `cost` steps of the whole ring's walk (a start, a crossing and the
    // vertices next to them lie near the rectangle, where a reduced ring keeps every vertex, so a
    // step after a jump is one step on both); false when the walk is over (no further start).
    bool step_once(int cost) {
        bool on_polygon = side_ == WalkSide::kA;
        // A whole lap of the polygon without entering the outline changes nothing that could
        // start a piece later: the walk is over.
        int at = advance();
        if (on_polygon && phase_ != Phase::kInPiece && (idle_steps_ += cost) > lap_)
            return false;
        if (on_polygon && used_.is_used(at))
            return true;
        point_t c = on_polygon ? a_->geom.points[at] : b_->geom.points[at];
        int k = on_polygon ? a_crossing_[at] : b_crossing_[at];
        if (k == -1 || disabled_[k] != 0) {
            pass_plain_point(at, c);
            return true;
        }
        return pass_crossing(c_->crosspts[k]);
    }

    void pass_plain_point(int at, point_t c) {
        bool on_polygon = side_ == WalkSide::kA;
        if (phase_ == Phase::kInPiece && on_polygon)
            whole_.pass(at, c, [this](point_t p) { append(p); });
        else if (phase_ == Phase::kInPiece)
            append(in_section(c));
        if (on_polygon && phase_ != Phase::kNotEntered)
            used_.use(i_);
    }

    bool pass_crossing(const crosspt_t& crossing) {
        int i = crossing.index1;
        point_t c = a_->geom.points[i];
        if (ring_.ring.geom.count > 0 && same_point(c, com_polygon_front(&ring_.ring)))
            return close_piece(c, i);
        if (used_.is_used(i)) {
            if (side_ == WalkSide::kB && phase_ == Phase::kInPiece)
                append(c);
            return true;
        }
        if (crossing.curpt_flag == kPointInside) {
            enter_outline(c, i);
        } else if (phase_ == Phase::kInPiece) {
            leave_outline(c, i, crossing.index2);
        }
        return true;
    }

    // The polygon runs into the outline here: follow the polygon. The piece's first vertex stays
    // free until the piece closes there.
    void enter_outline(point_t c, int i) {
        append(c);
        i_ = i;
        if (phase_ == Phase::kInPiece)
            used_.use(i);
        phase_ = Phase::kInPiece;
        side_ = WalkSide::kA;
    }

    // The polygon leaves the outline (or runs along it) here: follow the outline.
    void leave_outline(point_t c, int i, int b_index) {
        append(in_section(c));
        j_ = b_index;
        i_ = i;
        used_.use(i);
        side_ = WalkSide::kB;
        produced_ = true;
    }

    bool close_piece(point_t c, int i) {
        c.z = hundreds_of(c.z);
        append(c);
        const bool whole = del_repeatpts(&ring_.ring);
        hand_over_piece(&ring_.ring, out_, whole);
        used_.use(i);
        int start = next_start();
        if (start < 0)
            return false;
        i_ = start;
        side_ = WalkSide::kA;
        phase_ = Phase::kBetweenPieces;
        idle_steps_ = 0;
        return true;
    }

    const WholeRingSteps& whole_;
    long long lap_;  // the vertices of the whole polygon's A: the steps of one lap
    polygon_t* a_;
    const polygon_t* b_;
    const crosspts_t* c_;
    polygons_t* out_;
    // The walk's tables in one buffer: whether each crossing record is disabled, the crossing
    // record at each vertex of a and b (-1 for none), and a's crossing vertices in index order.
    std::vector<int>& tables_;
    int* disabled_ = nullptr;
    int* a_crossing_ = nullptr;
    int* b_crossing_ = nullptr;
    int* crossing_vertices_ = nullptr;
    int crossing_vertex_count_ = 0;
    Phase phase_ = Phase::kNotEntered;
    long long idle_steps_ = 0;
    bool produced_ = false;  // the walk switched onto the outline at least once
};

// ---------------------------------------------------------------------------------------------
// Touching classification, when the walk gave nothing.

// Whether a's vertices (crossing points skipped) end the scan outside b: -1 when one lies inside
// b, otherwise 1 when the scan stopped at a vertex outside b and 0 when every vertex looked at
// lies on b's boundary.
int scan_vertices(const polygon_t* a, const polygon_t* b, const CrossingPlaces& c) {
    int outside = 0;
    for (int i = 0; i < com_polygon_num(a); ++i) {
        point_t p = a->geom.points[i];
        if (c.first_at(p) != -1)
            continue;
        outside = 1;
        int where = relation_point_at_polygon(b, p);
        if (where == kPointInside)
            return -1;
        if (where == kPointOutside)
            break;
        outside = 0;
    }
    return outside;
}

// The middle of the outline's extent: inside a rectangle.
point_t middle_of(const polygon_t* rect) {
    rectangle_t extent = calc_polygon_exrectangle(rect);
    return point_t{(extent.min_x + extent.max_x) / 2.0, (extent.min_y + extent.max_y) / 2.0, 0.0};
}

int touching_code(const polygon_t* a, const polygon_t* b, const CrossingPlaces& c) {
    int a_out = scan_vertices(a, b, c);
    if (a_out < 0)
        return kClipTouchPolygonInside;
    int b_out = scan_vertices(b, a, c);
    if (b_out < 0)
        return kClipTouchRectInside;
    // Every vertex of the polygon on the outline: the polygon lies within the (convex) rectangle.
    if (a_out == 0)
        return kClipTouchPolygonInside;
    if (b_out != 0)
        return kClipNoPiece;
    // Every corner of the rectangle on the polygon's boundary says nothing about its inside: a
    // rectangle filling a notch of the polygon exactly touches it on all sides from outside. The
    // polygon's boundary does not enter the rectangle here (no piece came out), so the middle of
    // the rectangle tells.
    return relation_point_at_polygon(a, middle_of(b)) == kPointOutside ? kClipNoPiece
                                                                       : kClipTouchRectInside;
}

// ---------------------------------------------------------------------------------------------
// The operation.

// What a caller that clips again and again gives the walk: buffers for its tables, and the
// outline's box when the outline ran along the sides of an axis-parallel rectangle (with int32
// coordinates) before its crossings went in, or null.
struct WalkAids {
    std::vector<int>* crossings;    // ClipWalk's
    std::vector<int>* whole_steps;  // WholeRingSteps'
    const rectangle_t* sides;
};

int clip_pieces(polygon_t* a, polygon_t* b, const crosspts_t* c, polygons_t* pieces,
                const WholeRingSteps& whole, WalkAids aids) {
    CrossingPlaces index(c);
    int code = ClipWalk(a, b, c, index, pieces, whole, aids.crossings, aids.sides).run();
    err_polygon_process(pieces);
    drop_flat_rings(pieces);
    trace_faulty_results(pieces);
    if (pieces->num > 0)
        return code;
    return code == 1 ? touching_code(a, b, index) : kClipNoPiece;
}

// Clips the prepared ring a (repeated points removed, counter-clockwise, press sections in the
// walk form) by the prepared outline b once their crossings are in c; the pieces are appended to
// out. This call's pieces are finished on their own before they join the caller's list, whose
// earlier rings are left exactly as they were.
int clip_prepared(polygon_t* a, polygon_t* b, const crosspts_t* c, polygons_t* out, WalkAids aids,
                  const polygon_t* whole = nullptr, const Origins* origins = nullptr) {
    if (c->count == 0)
        return code_without_crossings(a, b);
    OwnedPolygons pieces;
    int code =
        clip_pieces(a, b, c, &pieces.list,
                    WholeRingSteps(whole, origins, com_polygon_num(a), aids.whole_steps), aids);
    transform_polygons_press(&pieces.list);
    pieces.hand_over(out);
    return code;
}

// ---------------------------------------------------------------------------------------------
// The common tile, clipped without the crossing engine.
//
// Most tiles of a tiling meet a polygon in a few crossings, each well inside a side of the tile,
// with no vertex near the tile's sides and no codes on the points (whether or not the polygon
// touches or crosses itself). There the crossing engine finds exactly the proper crossings of the
// polygon's edges with the sides (nothing merged, no touch points, nothing at a vertex), and the
// clipping walk goes from each exit along the outline to an entry and from each entry along the
// polygon to an exit. The pieces are traced here directly from the crossings, with the walk's
// points, codes and order, and finished by the walk's own steps. Anything else (a vertex or a
// crossing near a side or a corner, crossings close together, a code on a point, crossings that do
// not alternate, many crossings) is left to the general clip, before anything has been appended.

// How far vertices and crossings must keep from the tile's sides and corners: far beyond the
// engine's tolerances (which reach 0.02 at most), and below the unit of whole coordinates.
constexpr double kClearOfSides = 0.5;
// Tiles met by more crossings are left to the general clip.
constexpr int kMostTileCrossings = 16;
// Up to this many stored points, a whole ring is tried for a common tile without reducing it.
constexpr int kShortRing = 48;

struct TileCrossing {
    // Where, as the crossing engine computes it (not a point_t: an array of these is left
    // uninitialised until filled).
    double x, y;
    point_t pt() const { return point_t{x, y, 0.0}; }
    int edge;        // the polygon's edge it lies on
    double along;    // squared distance from the edge's start
    bool entry;      // the polygon runs into the tile here
    int side;        // the outline's edge it lies on
    double on_side;  // distance from that edge's start
    int next_on_b;   // the next crossing along the outline
};

struct TileCrossings {
    TileCrossing at[kMostTileCrossings];
    int count = 0;
};

// The tile (a sound outline with whole corners: least corner first, counter-clockwise).
struct TileBox {
    double lo_x, lo_y, hi_x, hi_y;

    explicit TileBox(const polygon_t* rect)
        : lo_x(rect->geom.points[0].x),
          lo_y(rect->geom.points[0].y),
          hi_x(rect->geom.points[2].x),
          hi_y(rect->geom.points[2].y) {}
    bool holds(point_t v) const { return v.x > lo_x && v.x < hi_x && v.y > lo_y && v.y < hi_y; }
    // Whether v lies clear of the lines through the sides; then *beyond tells which of those lines
    // it lies beyond: one bit each for left, right, below and above. An edge can cross only the
    // lines its ends' bits differ on.
    bool clear_of_side_lines(point_t v, unsigned* beyond) const {
        const double left = v.x - lo_x, right = v.x - hi_x, below = v.y - lo_y, above = v.y - hi_y;
        if (!(std::fabs(left) > kClearOfSides && std::fabs(right) > kClearOfSides &&
              std::fabs(below) > kClearOfSides && std::fabs(above) > kClearOfSides))
            return false;
        *beyond = (left < 0.0 ? 1u : 0u) | (right > 0.0 ? 2u : 0u) | (below < 0.0 ? 4u : 0u) |
                  (above > 0.0 ? 8u : 0u);
        return true;
    }
};

// Appends the crossings of edge p -> q (both ends clear of the side lines) with the outline's
// edges, in order along the edge; false when the edge passes near a corner or the engine's segment
// test would not find the crossing.
bool edge_crossings(const polygon_t* rect, const TileBox& box, int edge, point_t p, point_t q,
                    TileCrossings* found) {
    const point_t* b = rect->geom.points;
    const int first = found->count;
    for (int side = 0; side < 4; ++side) {
        // Sides 0 and 2 lie along y = const, 1 and 3 along x = const.
        const bool along_x = side % 2 == 0;
        const double line = side == 0   ? box.lo_y
                            : side == 1 ? box.hi_x
                            : side == 2 ? box.hi_y
                                        : box.lo_x;
        const double pa = along_x ? p.y : p.x, qa = along_x ? q.y : q.x;
        if ((pa < line) == (qa < line))
            continue;
        const double pb = along_x ? p.x : p.y, qb = along_x ? q.x : q.y;
        const double at = pb + (line - pa) * (qb - pb) / (qa - pa);
        const double lo = along_x ? box.lo_x : box.lo_y, hi = along_x ? box.hi_x : box.hi_y;
        if (at < lo - kClearOfSides || at > hi + kClearOfSides)
            continue;
        if (!(at > lo + kClearOfSides && at < hi - kClearOfSides))
            return false;  // near a corner
        point_t c{};
        if (found->count == kMostTileCrossings ||
            relation_lines_cross_by_permit(&c, p, q, b[side], b[side + 1], kSegmentMeetPermit) != 0)
            return false;
        const double dx = c.x - p.x, dy = c.y - p.y;
        const double on_side = side == 0   ? c.x - box.lo_x
                               : side == 1 ? c.y - box.lo_y
                               : side == 2 ? box.hi_x - c.x
                                           : box.hi_y - c.y;
        found->at[found->count++] =
            TileCrossing{c.x, c.y, edge, dx * dx + dy * dy, false, side, on_side, -1};
    }
    const int count = found->count - first;
    TileCrossing* mine = found->at + first;
    if (count == 1) {
        mine[0].entry = !box.holds(p);
        return true;
    }
    if (count == 0)
        return true;
    // Two crossings: the edge runs through the tile, in at the nearer one, out at the other.
    if (count > 2 || box.holds(p) || mine[0].along == mine[1].along)
        return false;
    if (mine[0].along > mine[1].along)
        std::swap(mine[0], mine[1]);
    mine[0].entry = true;
    return true;
}

// The crossings of the reduced ring a with a common tile, in ring order, each linked to the next
// along the outline; false when the tile is not a common one.
bool find_tile_crossings(const polygon_t* a, const polygon_t* rect, TileCrossings* found) {
    const TileBox box(rect);
    const point_t* p = a->geom.points;
    const int n = com_polygon_num(a);
    found->count = 0;
    unsigned beyond_start = 0, beyond_end = 0;
    if (p[0].z != 0.0 || !box.clear_of_side_lines(p[0], &beyond_start))
        return false;
    for (int i = 0; i < n; ++i) {
        if (p[i + 1].z != 0.0 || !box.clear_of_side_lines(p[i + 1], &beyond_end))
            return false;
        if (beyond_end != beyond_start && !edge_crossings(rect, box, i, p[i], p[i + 1], found))
            return false;
        beyond_start = beyond_end;
    }
    const int count = found->count;
    if (count == 0 || count % 2 != 0)
        return false;
    for (int k = 0; k < count; ++k)
        if (found->at[k].entry == found->at[(k + 1) % count].entry)
            return false;
    // Along the outline too, entries and exits alternate, no two near each other on a side.
    int order[kMostTileCrossings];
    for (int k = 0; k < count; ++k)
        order[k] = k;
    std::sort(order, order + count, [found](int u, int v) {
        const TileCrossing &cu = found->at[u], &cv = found->at[v];
        return cu.side != cv.side ? cu.side < cv.side : cu.on_side < cv.on_side;
    });
    for (int k = 0; k < count; ++k) {
        TileCrossing& here = found->at[order[k]];
        const TileCrossing& next = found->at[order[(k + 1) % count]];
        if (here.entry == next.entry ||
            (here.side == next.side && std::fabs(next.on_side - here.on_side) <= kClearOfSides))
            return false;
        here.next_on_b = order[(k + 1) % count];
    }
    return true;
}

// A point of the outline, or where the polygon leaves it: inside a press section (code 1).
point_t section_point(point_t v) {
    v.z = hundreds_of(v.z) + kPressInside;
    return v;
}

// The pieces of a common tile, traced as the clipping walk traces them: from the first unused exit
// in ring order along the ring to the next unused entry, which starts a piece; from an entry along
// the ring (inside the tile) to the next exit, a section point; from an exit along the outline,
// past its corners (section points), to the next crossing: the piece's first point, which closes
// it, or an entry. `lap` is the step count of one lap of the whole ring's walk. False when the walk
// would meet anything else, or could come near its step bound; pieces traced before are then left
// in `pieces` for the caller to drop.
bool trace_tile_pieces(const polygon_t* a, const polygon_t* rect, const TileCrossings& crossings,
                       long long lap, polygons_t* pieces) {
    const int count = crossings.count;
    const int n = com_polygon_num(a);
    const TileCrossing* x = crossings.at;
    // Each piece takes at most a lap of the ring to find its start, one to go round and one of the
    // outline: far inside the walk's step bound for the few pieces of a common tile.
    if ((count / 2 + 1) * (2 * lap + 4 + count) > kWalkStepsPerVertex * lap)
        return false;
    const point_t* p = a->geom.points;
    const point_t* corner = rect->geom.points;
    bool used[kMostTileCrossings] = {};
    // Room for the most points a piece can take: every vertex of the ring, the corners at each
    // pass along the outline and every crossing, with the closing point.
    const int most_points = n + 4 * (count / 2 + 1) + count + 1;
    OwnedRing piece(polygon_t{geom_t{nullptr, 0, 0}, nullptr});
    // cur_polygon_add into the room made for the piece.
    auto append = [&piece](point_t v) {
        geom_t& g = piece.ring.geom;
        if (g.count >= 2 && same_point(g.points[g.count - 1], v))
            return;
        if (g.count == g.capacity)
            reserve_points(&g, 2 * g.capacity + 1);
        g.points[g.count++] = v;
    };
    for (;;) {
        int exit = 0;
        while (exit < count && (used[exit] || x[exit].entry))
            ++exit;
        if (exit == count)
            return std::find(used, used + count, false) == used + count;
        int start = -1;
        for (int step = 1; step <= count && start < 0; ++step) {
            const int k = (exit + step) % count;
            if (!used[k] && x[k].entry)
                start = k;
        }
        if (start < 0)
            return false;
        reserve_points(&piece.ring.geom, most_points);
        append(x[start].pt());
        for (int entry = start;;) {
            // Along the ring, inside the tile, to the next crossing: an exit.
            const int leave = (entry + 1) % count;
            if (used[leave] || x[leave].entry)
                return false;
            bool round = x[leave].edge == x[entry].edge && leave < entry;
            for (int v = x[entry].edge; v != x[leave].edge || round; round = false) {
                v = (v + 1) % n;
                append(p[v]);
            }
            append(section_point(x[leave].pt()));
            used[leave] = true;
            // Along the outline, past its corners, to the next crossing.
            const TileCrossing& out_at = x[leave];
            const int next = out_at.next_on_b;
            const TileCrossing& in_at = x[next];
            int side = out_at.side;
            for (bool all_round = in_at.side == side && in_at.on_side < out_at.on_side;
                 side != in_at.side || all_round; all_round = false) {
                side = (side + 1) % 4;
                append(section_point(corner[side]));
            }
            if (next == start) {
                point_t last = in_at.pt();
                last.z = hundreds_of(last.z);
                append(last);
                used[start] = true;
                const bool whole = del_repeatpts(&piece.ring);
                hand_over_piece(&piece.ring, pieces, whole);
                com_polygon_free(&piece.ring);
                break;
            }
            if (used[next] || !in_at.entry)
                return false;
            append(in_at.pt());
            used[next] = true;
            entry = next;
        }
    }
}

// The clip of a common tile, as clip_prepared gives it, into out; false (nothing appended) when
// the tile is not a common one. `whole_vertices` is the vertex count of the whole ring.
bool clip_common_tile(const polygon_t* a, const polygon_t* rect, int whole_vertices,
                      polygons_t* out, int* code) {
    TileCrossings crossings;
    if (!find_tile_crossings(a, rect, &crossings))
        return false;
    // The pieces are finished on their own before they join the caller's list; into an empty
    // list (as the tiling hands over) they go directly.
    OwnedPolygons own;
    polygons_t* pieces = out->num == 0 ? out : &own.list;
    const long long lap = static_cast<long long>(whole_vertices) + crossings.count;
    if (!trace_tile_pieces(a, rect, crossings, lap, pieces)) {
        com_polygons_free(pieces);
        return false;
    }
    err_polygon_process(pieces);
    drop_flat_rings(pieces);
    trace_faulty_results(pieces);
    *code = pieces->num > 0 ? kClipCrossed : kClipNoPiece;
    transform_polygons_press(pieces);
    if (pieces != out)
        own.hand_over(out);
    return true;
}

int polygon_and_rect_intersec(const polygon_t* polygon, const polygon_t* rect, polygons_t* out,
                              bool polygon_faulty) {
    if (polygon_faulty)
        trace_ring("source_error.txt", polygon);
    if (relation_polygon_iserror(rect) != 0)
        trace_ring("compare_error.txt", rect);
    OwnedRing a(polygon);
    OwnedRing b(rect);
    clean_and_orient(&a.ring);
    clean_and_orient(&b.ring);
    if (com_polygon_num(&a.ring) < 3 || com_polygon_num(&b.ring) < 3)
        return kClipApart;
    transform_polygon_press(&a.ring);
    OwnedCrossings c;
    calc_polygon_and_polygon_crosspts(&a.ring, &b.ring, &c.list);
    transform_press_end_released(&a.ring);
    std::vector<int> crossing_tables, whole_steps;
    return clip_prepared(&a.ring, &b.ring, &c.list, out,
                         WalkAids{&crossing_tables, &whole_steps, nullptr});
}

// ---------------------------------------------------------------------------------------------
// Clipping one prepared polygon by many rectangles.
//
// Only the stretches of the polygon near a rectangle take part in its clipping; the rest matter
// through where the boundary winds around the rectangle (which decides containment) and through
// the order of the crossing vertices along the ring. So each rectangle gets a reduced ring: every
// vertex with an edge whose box meets the window (the rectangle grown by kWindowMargin) is kept,
// with vertex 0; a run of vertices between kept ones, whose edges all keep clear of the window,
// becomes its first vertex followed by window corners. An edge clear of the window lies wholly
// beside it (left, right, below or above); the chain from the run's first vertex to the next kept
// vertex is replaced by the corner points (just outside the window) where that side changes, so
// every replacing segment stays on one side, the reduced ring winds around the window as the
// polygon does, and every crossing, its kind and its order along the ring come out the same.
//
//                 corner    above
//                    +------------------ ...
//            left    |  window
//                    |   +------+
//                    |   | tile |
//                    |   +------+

// Edges this far or farther from a rectangle take no part in its clipping (the segment tests
// reach 0.02 at most).
constexpr double kWindowMargin = 2.0;

enum class Side { kLeft, kRight, kBelow, kAbove };

struct Window {
    double min_x, min_y, max_x, max_y;
};

// Whether the edge's box meets the window. An edge with a NaN coordinate counts as near: it is
// kept as it is.
bool edge_near(point_t a, point_t b, const Window& w) {
    bool left = a.x < w.min_x && b.x < w.min_x;
    bool right = a.x > w.max_x && b.x > w.max_x;
    bool below = a.y < w.min_y && b.y < w.min_y;
    bool above = a.y > w.max_y && b.y > w.max_y;
    return !(left || right || below || above);
}

// The side of the window an edge clear of it lies on.
Side side_of(point_t a, point_t b, const Window& w) {
    if (a.x < w.min_x && b.x < w.min_x)
        return Side::kLeft;
    if (a.x > w.max_x && b.x > w.max_x)
        return Side::kRight;
    return a.y < w.min_y && b.y < w.min_y ? Side::kBelow : Side::kAbove;
}

bool is_horizontal_side(Side s) {
    return s == Side::kLeft || s == Side::kRight;
}

// The point just outside the window's corner between two neighbouring sides.
point_t corner_between(Side s, Side t, const Window& w) {
    Side across = is_horizontal_side(s) ? s : t;
    Side along = is_horizontal_side(s) ? t : s;
    return point_t{across == Side::kLeft ? w.min_x - 1.0 : w.max_x + 1.0,
                   along == Side::kBelow ? w.min_y - 1.0 : w.max_y + 1.0, 0.0};
}

// Whether the ring is a rectangle's outline as the tiled clipping makes it (least corner first,
// counter-clockwise, closed) with sides of at least one unit and coordinates within the int32
// range: relation_polygon_iserror finds such an outline valid (its opposite sides lie a unit or
// more apart), so the check can be spared for every tile.
bool is_sound_tile_outline(const polygon_t* rect) {
    if (rect->geom.count != 5)
        return false;
    const point_t* p = rect->geom.points;
    const double x0 = p[0].x, y0 = p[0].y, x1 = p[2].x, y1 = p[2].y;
    auto whole_range = [](double v) { return v >= -2147483648.0 && v <= 2147483647.0; };
    return whole_range(x0) && whole_range(y0) && whole_range(x1) && whole_range(y1) &&
           x1 - x0 >= 1.0 && y1 - y0 >= 1.0 && p[1].x == x1 && p[1].y == y0 && p[3].x == x0 &&
           p[3].y == y1 && p[4].x == x0 && p[4].y == y0;
}

// Whether a sound tile outline's corners are whole numbers: cleaning then leaves it as it is (no
// point moves when snapped, no two are the same, and the least corner first with the next-to-last
// corner straight above it reads as counter-clockwise), so the tile's copy is used uncleaned.
bool has_whole_corners(const polygon_t* rect) {
    const point_t* p = rect->geom.points;
    return is_whole(p[0].x) && is_whole(p[0].y) && is_whole(p[2].x) && is_whole(p[2].y);
}

// The window of a rectangle: grown by kWindowMargin each way.
Window window_around(rectangle_t rect) {
    return Window{rect.min_x - kWindowMargin, rect.min_y - kWindowMargin,
                  rect.max_x + kWindowMargin, rect.max_y + kWindowMargin};
}

// The reduced ring of `ring` (closed, at least one edge) for the window, with the origins of its
// vertices in the whole ring (`origins`: those of `ring`'s vertices, null when `ring` is the whole
// ring). A run's first vertex is kept as it is; its replacing corners stand in for the run's
// vertices up to the one where the run turns the window's corner. `near_edges` is scratch.
void reduce_to_window(const polygon_t* ring, const Origins* origins, const Window& w,
                      polygon_t* reduced, Origins* reduced_origins, std::vector<char>* near_edges) {
    const point_t* p = ring->geom.points;
    const int n = com_polygon_num(ring);
    auto origin = [&](int i) { return origins == nullptr ? i : (*origins)[i].last; };
    std::vector<char>& near = *near_edges;
    near.resize(n);
    for (int edge = 0; edge < n; ++edge)
        near[edge] = edge_near(p[edge], p[edge + 1], w) ? 1 : 0;
    auto kept = [&](int i) { return i == 0 || near[i] != 0 || near[i - 1] != 0; };
    // Every vertex adds at most one point (itself or a replacing corner), the closing point one.
    point_t* out = reserve_points(&reduced->geom, reduced->geom.count + n + 1);
    reduced_origins->clear();
    reduced_origins->reserve(n + 1);
    for (int i = 0; i < n;) {
        *out++ = p[i];
        reduced_origins->push_back(Origin{origin(i), origins != nullptr && (*origins)[i].stand_in});
        if (kept(i)) {
            ++i;
            continue;
        }
        int j = i + 1;
        while (j < n && !kept(j))
            ++j;
        Side before = side_of(p[i], p[i + 1], w);
        for (int edge = i + 1; edge < j; ++edge) {
            Side after = side_of(p[edge], p[edge + 1], w);
            if (is_horizontal_side(before) != is_horizontal_side(after)) {
                *out++ = corner_between(before, after, w);
                reduced_origins->push_back(Origin{origin(edge), true});
            }
            before = after;
        }
        i = j;
    }
    *out++ = p[n];
    reduced->geom.count = static_cast<int>(out - reduced->geom.points);
}

// Press codes of points the crossing search inserted into the reduced ring (plain, code 0): in the
// walk form a point lies inside a section exactly when the point before it has code 1, which is
// what rewriting the codes after the insertion gives them. `before` is the ring as it was, with
// the origins of its vertices in `origins`, which become those of the ring's (an inserted point
// has none). `scratch` holds the new origins until they are swapped in.
void press_inserted_points(polygon_t* ring, const polygon_t* before, Origins* origins,
                           Origins* scratch) {
    Origins& inserted_too = *scratch;
    inserted_too.clear();
    inserted_too.reserve(ring->geom.count);
    point_t* p = ring->geom.points;
    const point_t* old = before->geom.points;
    const int n_before = com_polygon_num(before);
    int j = 0;
    for (int k = 0; k < ring->geom.count; ++k) {
        bool original = j < before->geom.count && p[k].x == old[j].x && p[k].y == old[j].y &&
                        p[k].z == old[j].z;
        if (original) {
            if (j < n_before)  // the closing point is vertex 0 again
                inserted_too.push_back((*origins)[j]);
            ++j;
            continue;
        }
        inserted_too.push_back(Origin{-1, false});
        if (k > 0 && press_code_of(p[k - 1].z) == kPressInside)
            p[k].z = hundreds_of(p[k].z) + kPressInside;
    }
    origins->swap(inserted_too);
}

}  // namespace

namespace mapgeom {

bool has_whole_places(const polygon_t* ring) {
    const point_t* p = ring->geom.points;
    for (int i = 0; i < ring->geom.count; ++i)
        if (!is_whole(p[i].x) || !is_whole(p[i].y))
            return false;
    return true;
}

namespace {

// A ring waiting to be cut, with the place number of each of its stored points.
struct PlacedRing {
    polygon_t ring;
    std::vector<int> places;
};

// A place number for each stored point of the ring: equal numbers exactly for equal places (x
// and y). Returns how many places there are.
int number_places(const polygon_t* ring, std::vector<int>* places) {
    struct Entry {
        double x, y;
        int index;
    };
    const int count = ring->geom.count;
    std::vector<Entry> entries(count);
    for (int i = 0; i < count; ++i)
        entries[i] = Entry{ring->geom.points[i].x, ring->geom.points[i].y, i};
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.x != b.x)
            return a.x < b.x;
        return a.y != b.y ? a.y < b.y : a.index < b.index;
    });
    places->assign(count, 0);
    int place = -1;
    for (int k = 0; k < count; ++k) {
        if (k == 0 || entries[k].x != entries[k - 1].x || entries[k].y != entries[k - 1].y)
            ++place;
        (*places)[entries[k].index] = place;
    }
    return place + 1;
}

// The cut split_polygon makes: the least vertex a (closing point left out) that shares its place
// with another, and the least such other vertex b (> a); false when there is none. With whole
// coordinates the same-point test is equality, so the sorted neighbours it looks at are these.
// `seen` (one zero entry per place) is left zeroed.
bool first_repeat(const PlacedRing& piece, std::vector<int>* seen, int* a, int* b) {
    const int n = com_polygon_num(&piece.ring);
    const std::vector<int>& places = piece.places;
    for (int k = 0; k < n; ++k)
        ++(*seen)[places[k]];
    *a = -1;
    for (int k = 0; k < n && *a < 0; ++k)
        if ((*seen)[places[k]] > 1)
            *a = k;
    for (int k = 0; k < n; ++k)
        (*seen)[places[k]] = 0;
    if (*a < 0)
        return false;
    *b = *a + 1;
    while (places[*b] != places[*a])
        ++*b;
    return true;
}

// Points from .. to of `from_ring` (and their place numbers) appended to `to_ring`.
void append_run(const PlacedRing& from_ring, int from, int to, PlacedRing* to_ring) {
    for (int k = from; k <= to; ++k) {
        com_polygon_add(&to_ring->ring, from_ring.ring.geom.points[k]);
        to_ring->places.push_back(from_ring.places[k]);
    }
}

}  // namespace

void split_whole_ring_by_repeat_points(polygon_t* ring, polygons_t* out) {
    // Rings waiting, first in first out as split_polygon_by_repeat_points takes them; released
    // here should an allocation fail.
    std::vector<PlacedRing> work;
    struct Release {
        std::vector<PlacedRing>* rings;
        size_t next = 0;
        ~Release() {
            for (size_t k = next; k < rings->size(); ++k)
                com_polygon_free(&(*rings)[k].ring);
        }
    } pending{&work};
    work.push_back(PlacedRing{*ring, {}});
    ring->geom = geom_t{nullptr, 0, 0};
    std::vector<int> seen(number_places(&work[0].ring, &work[0].places), 0);
    while (pending.next < work.size()) {
        int a = 0, b = 0;
        if (!first_repeat(work[pending.next], &seen, &a, &b)) {
            com_polygons_add(out, work[pending.next].ring);
            ++pending.next;
            continue;
        }
        // outer: V[0 .. a - 1] and V[b .. n]; loop: V[a .. b], leaving a press section at its end.
        const size_t cut = pending.next;
        for (int k = 0; k < 2; ++k) {
            work.push_back(PlacedRing{polygon_t{}, {}});
            com_polygon_init(&work.back().ring);
        }
        PlacedRing& outer = work[work.size() - 2];
        PlacedRing& loop = work[work.size() - 1];
        const int n = com_polygon_num(&work[cut].ring);
        append_run(work[cut], 0, a - 1, &outer);
        append_run(work[cut], b, n, &outer);
        append_run(work[cut], a, b, &loop);
        point_t& last = loop.ring.geom.points[loop.ring.geom.count - 1];
        if (press_code_of(last.z) == kPressInside)
            last.z = hundreds_of(last.z);
        com_polygon_free(&work[cut].ring);
        ++pending.next;
    }
}

ClipScratch::~ClipScratch() {
    com_polygon_free(&tile);
    com_polygon_free(&ring);
    com_crosspts_free(&crossings);
}

RectClipSource::RectClipSource(const polygon_t* polygon, ClipScratch* scratch) : shared_(&own_) {
    own_.polygon = polygon;
    own_.scratch = scratch;
    if (polygon == nullptr) {
        com_polygon_init(&ring_);
        return;
    }
    ring_ = polygon_t{geom_t{nullptr, 0, 0}, nullptr};
    com_polygon_polygon(&ring_, polygon);
    clean_and_orient(&ring_);
    transform_polygon_press(&ring_);
    transform_press_end_released(&ring_);
    own_.whole = &ring_;
    own_.usable = com_polygon_num(&ring_) >= 3;
}

// A reduced ring keeps the first and the closing point, so it has at least one edge to reduce
// again (it may have fewer than three: the whole ring's count decides whether there is a ring).
RectClipSource::RectClipSource(const RectClipSource& wider, rectangle_t area)
    : shared_(wider.shared_), narrowed_(true) {
    com_polygon_init(&ring_);
    if (shared_->usable)
        reduce_to_window(&wider.ring_, wider.narrowed_ ? &wider.origins_ : nullptr,
                         window_around(area), &ring_, &origins_, &scratch().near);
}

RectClipSource::~RectClipSource() {
    com_polygon_free(&ring_);
    if (shared_ == &own_)
        trace_append_repeated("source_error.txt", own_.trace.data(), own_.trace.size(),
                              own_.traces_due);
}

int RectClipSource::clip(const polygon_t* rect, polygons_t* out) const {
    const polygon_t* polygon = shared_->polygon;
    if (polygon == nullptr || rect == nullptr || out == nullptr)
        return kClipApart;
    if (shared_->faulty < 0) {
        shared_->faulty = polygon_is_faulty(polygon) ? 1 : 0;
        if (shared_->faulty == 1)
            shared_->trace = ring_trace(polygon);
    }
    if (shared_->faulty == 1)
        ++shared_->traces_due;
    const bool sound = is_sound_tile_outline(rect);
    if (!sound && relation_polygon_iserror(rect) != 0)
        trace_ring("compare_error.txt", rect);
    ClipScratch& s = scratch();
    polygon_t* b = &s.tile;
    copy_points(&b->geom, &rect->geom);
    // A sound outline with whole corners is used as it is: its crossings lie along its sides.
    const bool box_as_is = sound && has_whole_corners(rect);
    if (!box_as_is)
        clean_and_orient(b);
    if (!shared_->usable || com_polygon_num(b) < 3)
        return kClipApart;
    int code = 0;
    const bool common = box_as_is && !g_plain_lookups;
    // A short whole ring is tried as it is: its reduced ring has the same crossings, in the same
    // order, and the same vertices inside the tile, and reducing it would cost more than the clip.
    if (common && !narrowed_ && ring_.geom.count <= kShortRing &&
        clip_common_tile(&ring_, b, com_polygon_num(&ring_), out, &code))
        return code;
    polygon_t* a = &s.ring;
    com_geom_clear(&a->geom);
    const rectangle_t box = calc_polygon_exrectangle(b);
    reduce_to_window(&ring_, narrowed_ ? &origins_ : nullptr, window_around(box), a, &s.origins,
                     &s.near);
    if (common && clip_common_tile(a, b, com_polygon_num(shared_->whole), out, &code))
        return code;
    com_crosspts_clear(&s.crossings);
    polygon_and_polygon_crosspts(a, b, &s.crossings, &s.crossing);
    // Without crossings the ring is as it was. With them, the engine's working copy is the ring
    // as it was before they went in.
    if (s.crossings.count > 0)
        press_inserted_points(a, &s.crossing.a, &s.origins, &s.inserted_origins);
    return clip_prepared(a, b, &s.crossings, out,
                         WalkAids{&s.walk_tables, &s.whole_steps, box_as_is ? &box : nullptr},
                         shared_->whole, &s.origins);
}

ClipScratch& RectClipSource::scratch() const {
    if (shared_->scratch == nullptr) {
        shared_->own_scratch = std::make_unique<ClipScratch>();
        shared_->scratch = shared_->own_scratch.get();
    }
    return *shared_->scratch;
}

bool RectClipSource::inside(point_t p) const {
    // A ring of fewer than three vertices after cleaning encloses nothing; the polygon as given
    // is asked then, as it has no reduced ring.
    const polygon_t* ring = shared_->usable ? &ring_ : shared_->polygon;
    return ring != nullptr && ring->geom.count > 0 &&
           relation_point_at_polygon(ring, p) == kPointInside;
}

bool RectClipSource::inside_clear_of_boundary(point_t p) const {
    if (g_plain_lookups)
        return inside(p);
    // The reduced ring's replacing corners and the edges to them keep more than a unit outside the
    // source's area, so they too lie clear of p.
    const polygon_t* ring = shared_->usable ? &ring_ : shared_->polygon;
    return ring != nullptr && ring->geom.count > 0 && ray_crossings_odd_clear_of(ring, p);
}

}  // namespace mapgeom

int algebra_polygon_and_rect_intersec(polygon_t* polygon, polygon_t* rect, polygons_t* out) {
    if (polygon == nullptr || rect == nullptr || out == nullptr)
        return kClipApart;
    return guarded<int>(kClipNoPiece, [&] {
        return polygon_and_rect_intersec(polygon, rect, out,
                                         relation_polygon_iserror(polygon) != 0);
    });
}
