// Clipping of one polygon by a rectangle outline (in practice a grid tile): an intersection walk
// that switches between the polygon and the outline at their crossings, keeps press sections
// intact across the cut and marks every stretch taken from the outline as a press section. When no
// piece results, the code says how the two lie (inside, containing, apart, touching), so the tiled
// clipping can emit a copy of the polygon or the whole tile without clipping anything.
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/check.h"
#include "com/numeric.h"
#include "mapgeom/algebra.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"

namespace {

// Result codes (see the header).
constexpr int kCrossed = 0;
constexpr int kPolygonInside = 1;
constexpr int kRectInside = 2;
constexpr int kApart = 3;
constexpr int kTouchPolygonInside = 4;
constexpr int kTouchRectInside = 5;
constexpr int kNoPiece = 6;

// A walk stops after this many steps per vertex of the polygon (the walk visits each vertex of
// the polygon about once and the outline's few vertices once per piece, so a walk that goes on
// longer is circling).
constexpr int kWalkStepsPerVertex = 15;

// Codes of relation_point_at_polygon.
constexpr int kPointOutside = 0;
constexpr int kPointInside = 1;

// Press codes carried in the last two digits of a point code.
constexpr int kPressInside = 1;

double hundreds_of(double code) {
    return std::trunc(code / 100.0) * 100.0;
}

bool same_point(point_t a, point_t b) {
    return com_points_same(a, b) == 0;
}

// ---------------------------------------------------------------------------------------------
// Scratch records released on every path out.

struct Ring {
    polygon_t ring{};
    Ring() { com_polygon_init(&ring); }
    explicit Ring(const polygon_t* source) { com_polygon_polygon(&ring, source); }
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    ~Ring() { com_polygon_free(&ring); }
    // Hands the points over (to a list that takes them) and starts empty again.
    polygon_t release() {
        polygon_t taken = ring;
        ring = polygon_t{};
        com_polygon_init(&ring);
        return taken;
    }
};

struct Crossings {
    crosspts_t list{};
    Crossings() { com_crosspts_init(&list); }
    Crossings(const Crossings&) = delete;
    Crossings& operator=(const Crossings&) = delete;
    ~Crossings() { com_crosspts_free(&list); }
};

struct PolygonList {
    polygons_t list{};
    PolygonList() { com_polygons_init(&list); }
    PolygonList(const PolygonList&) = delete;
    PolygonList& operator=(const PolygonList&) = delete;
    ~PolygonList() { com_polygons_free(&list); }
};

// ---------------------------------------------------------------------------------------------
// Debug traces of faulty inputs and results.

// "num: <stored points>", then one line per stored point: x and y rounded by adding 0.5 and
// truncating, separated by a tab.
void trace_ring(const char* path, const polygon_t* ring) {
    mapgeom::trace_append(path, "num: %d\n", ring->geom.count);
    for (int i = 0; i < ring->geom.count; ++i) {
        point_t p = ring->geom.points[i];
        mapgeom::trace_append(path, "%d\t%d\n", mapgeom::truncate_to_int32(p.x + 0.5),
                              mapgeom::truncate_to_int32(p.y + 0.5));
    }
}

void trace_faulty_results(const polygons_t* pieces) {
    for (const polygon_node_t* node = pieces->head; node != nullptr; node = node->next)
        if (relation_polygon_iserror(&node->polygon) != 0)
            mapgeom::trace_append("result_error.txt", "result_error: \n");
}

// ---------------------------------------------------------------------------------------------
// Preparing the two rings.

void make_counter_clockwise(polygon_t* ring) {
    if (relation_polygon_direction(ring) != 0)
        com_polygon_reverse(ring);
}

void prepare_ring(polygon_t* ring) {
    optimize_polygon_del_repeatpts(ring);
    make_counter_clockwise(ring);
}

// How the rings lie when their boundaries do not meet at all.
int code_without_crossings(const polygon_t* a, const polygon_t* b) {
    if (relation_point_at_polygon(b, com_polygon_front(a)) == kPointInside)
        return kPolygonInside;
    if (relation_point_at_polygon(a, com_polygon_front(b)) == kPointInside)
        return kRectInside;
    return kApart;
}

// ---------------------------------------------------------------------------------------------
// Closing a piece.

double rounded(double value) {
    return std::trunc(value > 0.0 ? value + 0.5 : value - 0.5);
}

// Snaps the piece's points to whole units (halves away from zero) and removes a point that then
// repeats its predecessor: the earlier one when exactly one of the two is a plain point (code 0),
// so a marked point survives, otherwise the later one.
void del_repeatpts(polygon_t* piece) {
    geom_t* g = &piece->geom;
    for (int k = 1; k <= com_polygon_num(piece);) {
        point_t& before = g->points[k - 1];
        point_t& at = g->points[k];
        before.x = rounded(before.x);
        before.y = rounded(before.y);
        at.x = rounded(at.x);
        at.y = rounded(at.y);
        if (!same_point(before, at)) {
            ++k;
            continue;
        }
        bool one_plain = (before.z == 0.0) != (at.z == 0.0);
        com_polygon_removeat(piece, one_plain ? k - 1 : k);
    }
}

// ---------------------------------------------------------------------------------------------
// Finding crossing records by position.

// Answers com_crosspts_find (the first record within the same-point tolerance of a point)
// through buckets of unit cells instead of a scan of the whole list: the walk asks once per step,
// and a polygon cut by many tiles has hundreds of crossings with each.
class CrossingIndex {
public:
    explicit CrossingIndex(const crosspts_t* c) : c_(c) {
        for (int k = 0; k < c->count; ++k) {
            point_t p = c->crosspts[k].pt;
            int64_t x = 0, y = 0;
            if (!cell_of(p, &x, &y))
                continue;
            cells_[key(x, y)].push_back(k);
            min_x_ = std::fmin(min_x_, p.x), max_x_ = std::fmax(max_x_, p.x);
            min_y_ = std::fmin(min_y_, p.y), max_y_ = std::fmax(max_y_, p.y);
        }
    }

    int find(point_t p) const {
        // Most vertices of a large polygon lie far from the few crossings with one tile.
        if (!(p.x > min_x_ - 1.0 && p.x < max_x_ + 1.0 && p.y > min_y_ - 1.0 && p.y < max_y_ + 1.0))
            return -1;
        int64_t x = 0, y = 0;
        if (!cell_of(p, &x, &y))
            return -1;
        int best = -1;
        // The tolerance is far below a cell: a match lies in the point's cell or a neighbour.
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                auto cell = cells_.find(key(x + dx, y + dy));
                if (cell == cells_.end())
                    continue;
                for (int k : cell->second)
                    if ((best < 0 || k < best) && same_point(c_->crosspts[k].pt, p))
                        best = k;
            }
        }
        return best;
    }

private:
    // Cells beyond this many units from the origin are merged: such coordinates are not
    // expected, but must not overflow.
    static constexpr double kCellLimit = 4.0e15;

    static bool cell_of(point_t p, int64_t* x, int64_t* y) {
        if (std::isnan(p.x) || std::isnan(p.y))
            return false;
        *x = static_cast<int64_t>(std::floor(std::fmax(-kCellLimit, std::fmin(kCellLimit, p.x))));
        *y = static_cast<int64_t>(std::floor(std::fmax(-kCellLimit, std::fmin(kCellLimit, p.y))));
        return true;
    }

    static uint64_t key(int64_t x, int64_t y) {
        return static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ULL ^ static_cast<uint64_t>(y);
    }

    const crosspts_t* c_;
    std::unordered_map<uint64_t, std::vector<int>> cells_;
    // The extent of the listed points (empty: no point is near).
    double min_x_ = INFINITY, max_x_ = -INFINITY, min_y_ = INFINITY, max_y_ = -INFINITY;
};

// ---------------------------------------------------------------------------------------------
// The clipping walk.

class ClipWalk {
public:
    ClipWalk(polygon_t* a, const polygon_t* b, const crosspts_t* c, const CrossingIndex& index,
             polygons_t* out)
        : a_(a),
          b_(b),
          c_(c),
          out_(out),
          n_(com_polygon_num(a)),
          nb_(com_polygon_num(b)),
          used_(n_, 0),
          disabled_(c->count, 0),
          remaining_(n_) {
        // The walk moves no vertex: where each vertex meets a crossing is looked up once.
        a_crossing_.resize(n_);
        for (int i = 0; i < n_; ++i) {
            a_crossing_[i] = index.find(a->geom.points[i]);
            if (a_crossing_[i] != -1)
                crossing_vertices_.push_back(i);
        }
        b_crossing_.resize(nb_);
        for (int j = 0; j < nb_; ++j)
            b_crossing_[j] = index.find(b->geom.points[j]);
    }

    // Returns 0 when the walk switched onto the outline at least once, 1 otherwise.
    int run() {
        disable_touch_points();
        int start = next_start();
        if (start < 0)
            return produced_ ? 0 : 1;
        a_index_ = start;
        long long bound = static_cast<long long>(kWalkStepsPerVertex) * n_;
        for (long long step = 1; remaining_ > 0 && step <= bound; ++step) {
            if (!step_once())
                break;
        }
        return produced_ ? 0 : 1;
    }

private:
    // Meetings other than crossings and stretches along the outline (touch points, flags 1 to 4)
    // never switch the walk. A touch point is no node of the result: it loses its crossing mark.
    void disable_touch_points() {
        for (int k = 0; k < c_->count; ++k) {
            int flag = c_->crosspts[k].flag;
            if (flag == 0 || flag == 5 || flag == 6)
                continue;
            disabled_[k] = 1;
            int i = c_->crosspts[k].index1;
            if (i >= 0 && i < a_->geom.count && a_->geom.points[i].z >= 100.0)
                a_->geom.points[i].z -= 100.0;
        }
    }

    // The first unused vertex of the polygon at an enabled crossing after which the polygon's
    // boundary lies as `side` says (0 outside the outline, 1 inside); -1 when there is none.
    int first_unused_crossing(int side) const {
        for (int i : crossing_vertices_) {
            int k = a_crossing_[i];
            if (used_[i] == 0 && disabled_[k] == 0 && c_->crosspts[k].curpt_flag == side)
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
        return entry < 0 ? -1 : (entry + n_ - 1) % n_;
    }

    void use_vertex(int i) {
        if (used_[i] != 0)
            return;
        used_[i] = 1;
        --remaining_;
    }

    void append(point_t p) { cur_polygon_add(&piece_.ring, p); }

    static point_t pressed(point_t p) {
        if (mapgeom::press_code_of(p.z) != kPressInside)
            p.z = hundreds_of(p.z) + kPressInside;
        return p;
    }

    // One step; false when the walk is over (no further start).
    bool step_once() {
        point_t c;
        int k = -1;
        if (on_polygon_) {
            a_index_ = (a_index_ + 1) % n_;
            // A whole lap of the polygon without entering the outline changes nothing that could
            // start a piece later: the walk is over.
            if (!started_ && ++idle_steps_ > n_)
                return false;
            if (used_[a_index_] != 0)
                return true;
            c = a_->geom.points[a_index_];
            k = a_crossing_[a_index_];
        } else {
            b_index_ = (b_index_ + 1) % nb_;
            c = b_->geom.points[b_index_];
            k = b_crossing_[b_index_];
        }
        if (k == -1 || disabled_[k] != 0) {
            pass_plain_point(c);
            return true;
        }
        return pass_crossing(c_->crosspts[k]);
    }

    void pass_plain_point(point_t c) {
        if (!started_) {
            if (following_ && on_polygon_)
                use_vertex(a_index_);
            return;
        }
        if (on_polygon_) {
            append(c);
            if (following_)
                use_vertex(a_index_);
        } else {
            append(pressed(c));
        }
    }

    bool pass_crossing(const crosspt_t& crossing) {
        int i = crossing.index1;
        point_t c = a_->geom.points[i];
        if (piece_.ring.geom.count > 0 && same_point(c, com_polygon_front(&piece_.ring)))
            return close_piece(c, i);
        if (used_[i] != 0) {
            if (!on_polygon_ && started_)
                append(c);
            return true;
        }
        if (crossing.curpt_flag == kPointInside) {
            enter_outline(c, i);
        } else if (started_) {
            leave_outline(c, i, crossing.index2);
        }
        return true;
    }

    // The polygon runs into the outline here: follow the polygon.
    void enter_outline(point_t c, int i) {
        append(c);
        started_ = true;
        a_index_ = i;
        if (first_taken_)
            use_vertex(i);
        else
            first_taken_ = true;
        on_polygon_ = true;
        following_ = true;
    }

    // The polygon leaves the outline (or runs along it) here: follow the outline.
    void leave_outline(point_t c, int i, int b_index) {
        append(pressed(c));
        b_index_ = b_index;
        a_index_ = i;
        use_vertex(i);
        on_polygon_ = false;
        produced_ = true;
    }

    bool close_piece(point_t c, int i) {
        c.z = hundreds_of(c.z);
        append(c);
        del_repeatpts(&piece_.ring);
        polygon_t closed = piece_.release();
        split_polygon_by_repeat_points(&closed, out_, 0);
        com_polygon_free(&closed);
        use_vertex(i);
        int start = next_start();
        if (start < 0)
            return false;
        a_index_ = start;
        on_polygon_ = true;
        started_ = false;
        first_taken_ = false;
        idle_steps_ = 0;
        return true;
    }

    polygon_t* a_;
    const polygon_t* b_;
    const crosspts_t* c_;
    polygons_t* out_;
    int n_;
    int nb_;
    std::vector<int> used_;
    std::vector<int> disabled_;
    int remaining_;
    // The crossing record at each vertex of a and b (-1 for none), and a's crossing vertices in
    // index order.
    std::vector<int> a_crossing_;
    std::vector<int> b_crossing_;
    std::vector<int> crossing_vertices_;
    Ring piece_;
    int a_index_ = 0;
    int b_index_ = 0;
    int idle_steps_ = 0;
    bool on_polygon_ = true;
    bool started_ = false;
    bool following_ = false;
    bool first_taken_ = false;
    bool produced_ = false;
};

// ---------------------------------------------------------------------------------------------
// Touching classification, when the walk gave nothing.

// Whether a's vertices (crossing points skipped) end the scan outside b: -1 when one lies inside
// b, otherwise 1 when the scan stopped at a vertex outside b and 0 when every vertex looked at
// lies on b's boundary.
int scan_vertices(const polygon_t* a, const polygon_t* b, const CrossingIndex& c) {
    int outside = 0;
    for (int i = 0; i < com_polygon_num(a); ++i) {
        point_t p = a->geom.points[i];
        if (c.find(p) != -1)
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

int touching_code(const polygon_t* a, const polygon_t* b, const CrossingIndex& c) {
    int a_out = scan_vertices(a, b, c);
    if (a_out < 0)
        return kTouchPolygonInside;
    int b_out = scan_vertices(b, a, c);
    if (b_out < 0)
        return kTouchRectInside;
    // Every vertex of the polygon on the outline: the polygon lies within the (convex) rectangle.
    if (a_out == 0)
        return kTouchPolygonInside;
    if (b_out != 0)
        return kNoPiece;
    // Every corner of the rectangle on the polygon's boundary says nothing about its inside: a
    // rectangle filling a notch of the polygon exactly touches it on all sides from outside. The
    // polygon's boundary does not enter the rectangle here (no piece came out), so the middle of
    // the rectangle tells.
    return relation_point_at_polygon(a, middle_of(b)) == kPointOutside ? kNoPiece
                                                                       : kTouchRectInside;
}

// ---------------------------------------------------------------------------------------------
// The operation.

int clip_pieces(polygon_t* a, polygon_t* b, const crosspts_t* c, polygons_t* pieces) {
    CrossingIndex index(c);
    int code = ClipWalk(a, b, c, index, pieces).run();
    err_polygon_process(pieces);
    trace_faulty_results(pieces);
    if (pieces->num > 0)
        return code;
    return code == 1 ? touching_code(a, b, index) : kNoPiece;
}

int polygon_and_rect_intersec(const polygon_t* polygon, const polygon_t* rect, polygons_t* out,
                              bool polygon_faulty) {
    if (polygon_faulty)
        trace_ring("source_error.txt", polygon);
    if (relation_polygon_iserror(rect) != 0)
        trace_ring("compare_error.txt", rect);
    Ring a(polygon);
    Ring b(rect);
    prepare_ring(&a.ring);
    prepare_ring(&b.ring);
    if (com_polygon_num(&a.ring) < 3 || com_polygon_num(&b.ring) < 3)
        return kApart;
    mapgeom::transform_polygon_press(&a.ring);
    Crossings c;
    calc_polygon_and_polygon_crosspts(&a.ring, &b.ring, &c.list);
    mapgeom::transform_press_end_released(&a.ring);
    if (c.list.count == 0)
        return code_without_crossings(&a.ring, &b.ring);
    // This call's pieces are finished on their own before they join the caller's list, whose
    // earlier rings are left exactly as they were.
    PolygonList pieces;
    int code = clip_pieces(&a.ring, &b.ring, &c.list, &pieces.list);
    mapgeom::transform_polygons_press(&pieces.list);
    com_polygons_addrange(out, &pieces.list);
    com_polygons_free_node(&pieces.list);
    com_polygons_init(&pieces.list);
    return code;
}

}  // namespace

namespace mapgeom {

int clip_polygon_by_rect(const polygon_t* polygon, const polygon_t* rect, polygons_t* out,
                         bool polygon_faulty) {
    if (polygon == nullptr || rect == nullptr || out == nullptr)
        return kApart;
    return polygon_and_rect_intersec(polygon, rect, out, polygon_faulty);
}

}  // namespace mapgeom

int algebra_polygon_and_rect_intersec(polygon_t* polygon, polygon_t* rect, polygons_t* out) {
    if (polygon == nullptr || rect == nullptr || out == nullptr)
        return kApart;
    return mapgeom::guarded(kNoPiece, [&] {
        return polygon_and_rect_intersec(polygon, rect, out,
                                         relation_polygon_iserror(polygon) != 0);
    });
}
