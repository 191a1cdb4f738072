// Polygons with holes cut into polygons without holes. Vertical cut lines, one per hole position in
// ascending x, join every hole the line passes through to its neighbours on the line and to the
// outer boundary just below and above it; the faces on both sides of the cut edges are traced and
// the pieces left of the line are done, while the pieces right of it return to the work list for
// the next lines. Every cut edge is delivered as a press section (2, 0 ... 0, 3), on the piece at
// either side of it. Pieces keep the cut points where the line crosses the boundaries (not snapped
// to whole units), so they cover the polygon less its holes exactly. Holes that touch the outer
// ring or each other give pieces that are cut again at the touching vertex. Limits: a hole lying in
// another hole, or outside the outer ring, is not told apart from a proper hole.
#include <algorithm>
#include <cmath>
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/check.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"

namespace {

using mapgeom::OwnedPolygons;
using mapgeom::same_point;

// A cut that takes more steps than this is abandoned (the pieces closed until then stand) ...
constexpr long kCutStepLimit = 2000000;
// ... and one that takes more than this is reported to the trace file.
constexpr long kCutStepsTraced = 1000000;
// The cut line runs this far past the outer ring's extent, so it crosses every boundary it meets.
constexpr double kLineOverhang = 2.0;
// Code of a point of the cut line once a piece takes it: a node point inside a press section.
constexpr double kTracedCutCode = mapgeom::kNodeMarker + mapgeom::kPressInside;
// A piece reaches across the cut line (it goes back to the work list) when (min_x - x) times
// (max_x - x) is below this: by more than a unit on both sides for whole-unit pieces.
constexpr double kStraddleProduct = -1.0;

// What if_have_inners finds a ring to be against a list.
enum RingRole : int { kLoneRing = 0, kOuterPiece = 1, kHoleRing = 2 };

// relation_polygon_and_polygon codes: b within a (no contact, sharing a stretch, touching at
// points) and a within b likewise.
bool holds_other(int code) {
    return code == 2 || code == 5 || code == 8;
}
bool lies_in_other(int code) {
    return code == 1 || code == 4 || code == 7;
}

// relation_rect_and_rect: b within a (2), a within b (3) or equal (4). Any containment of rings
// needs one of these, so other extents skip the costly ring relation.
bool extents_nested(rectangle_t a, rectangle_t b) {
    int code = relation_rect_and_rect(a, b);
    return code == 2 || code == 3 || code == 4;
}

bool straddles(rectangle_t extent, double x) {
    return extent.min_x < x && x < extent.max_x;
}

// 1 when p holds a ring of `rings` (p is an outer piece), 2 when p lies in one (p is a hole), 0
// when neither; rings are asked in order and p itself (by address) is skipped.
int if_have_inners(const polygon_t* p, const polygons_t* rings) {
    rectangle_t extent = calc_polygon_exrectangle(p);
    for (const polygon_node_t* node = rings->head; node != nullptr; node = node->next) {
        const polygon_t* q = &node->polygon;
        if (q == p || q->geom.count == 0 || !extents_nested(extent, calc_polygon_exrectangle(q)))
            continue;
        int code = relation_polygon_and_polygon(p, q);
        if (holds_other(code))
            return kOuterPiece;
        if (lies_in_other(code))
            return kHoleRing;
    }
    return kLoneRing;
}

// The x of each hole's cut line, ascending: the middle of its x extent to the nearest whole unit
// (halves up). A hole narrower than that rounding allows (no whole unit strictly inside its extent)
// is cut at its exact middle instead: a line at a whole unit would only touch it, and the hole
// would never be cut out.
std::vector<double> get_inners_locations(const polygons_t* holes) {
    std::vector<double> positions;
    for (const polygon_node_t* node = holes->head; node != nullptr; node = node->next) {
        rectangle_t e = calc_polygon_exrectangle(&node->polygon);
        double middle = (e.min_x + e.max_x) / 2.0;
        double whole = std::trunc(middle + 0.5);
        positions.push_back(straddles(e, whole) ? whole : middle);
    }
    std::sort(positions.begin(), positions.end());
    return positions;
}

// Moves the node at `node` from one list to the end of another.
void move_node(polygons_t* from, polygon_node_t* node, polygons_t* to) {
    polygon_t ring = node->polygon;
    mapgeom::unlink(from, node);
    std::free(node);
    com_polygons_add(to, ring);
}

// The holes not yet cut (the inner list), with their extents, in ascending order of their least
// x: a line at x looks only at holes beginning left of it, and holes already cut at the front are
// passed over for good, so the lines of a polygon with many holes cost about linear time in all.
class UncutHoles {
public:
    explicit UncutHoles(polygons_t* list) : list_(list) {
        for (polygon_node_t* node = list->head; node != nullptr; node = node->next)
            entries_.push_back({node, calc_polygon_exrectangle(&node->polygon), false,
                                static_cast<int>(entries_.size())});
        std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.extent.min_x < b.extent.min_x ||
                   (a.extent.min_x == b.extent.min_x && a.order < b.order);
        });
    }

    // Calls visit(ring, extent) for every uncut hole whose least x is at most max_min_x; visit
    // returns true to take the hole out (its ring then moves to the end of `taken`).
    template <typename Visit>
    void visit(double max_min_x, polygons_t* taken, Visit visit_hole) {
        while (cursor_ < entries_.size() && entries_[cursor_].cut)
            ++cursor_;
        for (size_t k = cursor_; k < entries_.size() && entries_[k].extent.min_x <= max_min_x;
             ++k) {
            Entry& e = entries_[k];
            if (e.cut || !visit_hole(&e.node->polygon, e.extent))
                continue;
            e.cut = true;
            move_node(list_, e.node, taken);
        }
    }
    // The same without taking any.
    template <typename Visit>
    void look(double max_min_x, Visit visit_hole) const {
        for (size_t k = cursor_; k < entries_.size() && entries_[k].extent.min_x <= max_min_x; ++k)
            if (!entries_[k].cut)
                visit_hole(&entries_[k].node->polygon, entries_[k].extent);
    }

private:
    struct Entry {
        polygon_node_t* node;
        rectangle_t extent;
        bool cut;
        int order;  // in the inner list
    };
    polygons_t* list_;
    std::vector<Entry> entries_;
    size_t cursor_ = 0;
};

// The rings a cut at x works on: the outer pieces it goes through and the holes it goes through.
struct CutSet {
    OwnedPolygons outers;
    OwnedPolygons holes;
};

// Moves every hole of `inners` that the line at x passes through strictly into the cut set, and
// then every outer piece holding one of them that the line passes through. False when no hole
// lies on the line.
bool get_now_split_polygons(polygons_t* outers, UncutHoles* inners, CutSet* cut, double x,
                            int* hole_count) {
    inners->visit(x, &cut->holes.list, [&](const polygon_t*, const rectangle_t& extent) {
        if (!straddles(extent, x))
            return false;
        --*hole_count;
        return true;
    });
    if (cut->holes.list.num == 0)
        return false;
    for (polygon_node_t* node = outers->head; node != nullptr;) {
        polygon_node_t* next = node->next;
        if (straddles(calc_polygon_exrectangle(&node->polygon), x) &&
            if_have_inners(&node->polygon, &cut->holes.list) == kOuterPiece) {
            polygon_t ring = node->polygon;
            mapgeom::unlink(outers, node);
            std::free(node);
            com_polygons_insertat(&cut->outers.list, 0, ring);
        }
        node = next;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Cut points.

// Sorts points by ascending y, points of equal y kept in their order.
void sort_by_y(std::vector<point_t>* points) {
    std::vector<int> order(points->size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = static_cast<int>(k);
    std::sort(order.begin(), order.end(), [points](int a, int b) {
        double ya = (*points)[a].y, yb = (*points)[b].y;
        return ya < yb || (ya == yb && a < b);
    });
    std::vector<point_t> sorted;
    for (int k : order)
        sorted.push_back((*points)[k]);
    *points = sorted;
}

// Moves every vertex of `ring` at place `from` to place `to`.
void move_vertices(polygon_t* ring, point_t from, point_t to) {
    for (int k = 0; k < ring->geom.count; ++k) {
        point_t& v = ring->geom.points[k];
        if (same_point(v, from)) {
            v.x = to.x;
            v.y = to.y;
        }
    }
}

// The crossings of one ring, ascending in y, where two lie closer than the validity check's band
// (the line passing a sharp tip or a thin neck of the ring) made one place: the later one moves
// onto the earlier, in the ring too. Otherwise the pieces would keep both, a hair apart, and touch
// themselves there; made one, the tip or neck closes to a point where the piece is cut in two.
void join_close_crossings(polygon_t* ring, std::vector<point_t>* crossings) {
    sort_by_y(crossings);
    for (size_t k = 1; k < crossings->size(); ++k) {
        point_t& p = (*crossings)[k];
        const point_t& kept = (*crossings)[k - 1];
        if (p.y - kept.y < mapgeom::kDefaultPermit && !same_point(p, kept)) {
            move_vertices(ring, p, kept);
            p = kept;
        }
    }
}

// The points where the line from `from` to `to` meets the rings of `rings`, inserted into the
// rings as vertices, ascending in y (the order along the line), each place once. Each ring is
// crossed with a line of its own, so that a line through many holes costs linear time.
std::vector<point_t> line_crossings(polygons_t* rings, point_t from, point_t to) {
    std::vector<point_t> along;
    for (polygon_node_t* node = rings->head; node != nullptr; node = node->next) {
        mapgeom::OwnedLine line;
        com_polyline_add(&line.line, from);
        com_polyline_add(&line.line, to);
        mapgeom::OwnedPoints scratch;
        find_all_polyline_crosspts(&line.line, &node->polygon, &scratch.g);
        std::vector<point_t> crossings(
            line.line.geom.points + 1,
            line.line.geom.points + std::max(1, line.line.geom.count - 1));
        join_close_crossings(&node->polygon, &crossings);
        along.insert(along.end(), crossings.begin(), crossings.end());
    }
    sort_by_y(&along);
    std::vector<point_t> once;
    for (const point_t& p : along)
        if (once.empty() || !same_point(once.back(), p))
            once.push_back(p);
    return once;
}

// The points of the cut line: every crossing of a hole and, for each, the nearest crossing of an
// outer piece below and above it, ascending in y; plus every outer crossing (for telling whether
// the line leaves the outer pieces between two cut points).
struct CutPoints {
    std::vector<point_t> g;       // the cut points, ascending in y
    std::vector<double> outer_y;  // y of every outer crossing, ascending
};

// Sorts points by y and keeps one of each place.
void sort_once(std::vector<point_t>* points) {
    sort_by_y(points);
    std::vector<point_t> once;
    for (const point_t& p : *points) {
        bool seen = false;
        for (auto it = once.rbegin(); it != once.rend() && it->y >= p.y - 2 * mapgeom::kSamePoint;
             ++it)
            seen = seen || same_point(*it, p);
        if (!seen)
            once.push_back(p);
    }
    *points = once;
}

// Vertices of holes still to be cut that lie on the line between the cut points: a cut edge that
// ran past one would touch that hole without a vertex there, and the piece holding the hole later
// would touch itself. Such a vertex becomes a cut point where the cut edge simply goes on.
void add_touching_vertices(const UncutHoles& inners, double x, std::vector<point_t>* g) {
    if (g->empty())
        return;
    auto [lowest, highest] = std::minmax_element(
        g->begin(), g->end(), [](const point_t& u, const point_t& v) { return u.y < v.y; });
    double min_y = lowest->y, max_y = highest->y;
    inners.look(x + mapgeom::kSamePoint, [&](const polygon_t* hole, const rectangle_t& e) {
        if (e.max_x < x - mapgeom::kSamePoint)
            return;
        for (int k = 0; k < com_polygon_num(hole); ++k) {
            point_t v = com_polygon_at(hole, k);
            if (std::fabs(v.x - x) < mapgeom::kSamePoint && v.y > min_y && v.y < max_y)
                g->push_back(point_t{x, v.y, mapgeom::kNodeMarker});
        }
    });
}

// The crossing, among `outer` and the hole crossings before `hole_at`, that lies closer to
// b[hole_at] than the validity band without being the same place; outer crossings first.
const point_t* close_crossing(const std::vector<point_t>& outer, const std::vector<point_t>& b,
                              size_t hole_at) {
    const point_t& q = b[hole_at];
    auto close = [&q](const point_t& p) {
        return std::fabs(p.y - q.y) < mapgeom::kDefaultPermit && !same_point(p, q);
    };
    for (const point_t& p : outer)
        if (close(p))
            return &p;
    for (size_t k = 0; k < hole_at; ++k)
        if (close(b[k]))
            return &b[k];
    return nullptr;
}

// Crossings of different rings closer than the validity band (a hole passing a hair from the
// outer ring or from another hole) made one place, as join_close_crossings does within one ring:
// the hole's crossing moves onto the outer ring's, or onto the earlier hole's, so that the rings
// touch at one vertex instead of leaving a cut edge shorter than the band.
void join_close_crossings_of_rings(CutSet* cut, const std::vector<point_t>& outer,
                                   std::vector<point_t>* b) {
    for (size_t k = 0; k < b->size(); ++k) {
        const point_t* onto = close_crossing(outer, *b, k);
        if (onto == nullptr)
            continue;
        point_t kept = *onto;
        for (polygon_node_t* node = cut->holes.list.head; node != nullptr; node = node->next)
            move_vertices(&node->polygon, (*b)[k], kept);
        (*b)[k] = kept;
    }
}

CutPoints find_polygons_line_crosspts(CutSet* cut, double x, rectangle_t extent,
                                      const UncutHoles& inners) {
    point_t from{x, extent.min_y - kLineOverhang, 0.0};
    point_t to{x, extent.max_y + kLineOverhang, 0.0};
    std::vector<point_t> a = line_crossings(&cut->outers.list, from, to);
    std::vector<point_t> b = line_crossings(&cut->holes.list, from, to);
    join_close_crossings_of_rings(cut, a, &b);
    CutPoints points;
    for (point_t& p : a)
        p.z = mapgeom::kNodeMarker;
    for (point_t& p : b)
        p.z = mapgeom::kNodeMarker;
    for (const point_t& hole_point : b) {
        for (auto it = a.rbegin(); it != a.rend(); ++it)
            if (it->y <= hole_point.y) {
                points.g.push_back(*it);
                break;
            }
        for (const point_t& p : a)
            if (p.y >= hole_point.y) {
                points.g.push_back(p);
                break;
            }
    }
    for (const point_t& hole_point : b)
        points.g.push_back(hole_point);
    add_touching_vertices(inners, x, &points.g);
    sort_once(&points.g);
    for (const point_t& p : a)
        points.outer_y.push_back(p.y);
    std::sort(points.outer_y.begin(), points.outer_y.end());
    return points;
}

// ---------------------------------------------------------------------------------------------------
// Tracing the pieces of one cut.
//
// The boundaries form a plane graph: the rings' edges, with the covered area on their left (outer
// pieces counter-clockwise, holes clockwise), and the cut edges, the stretches of the line between
// neighbouring cut points that run through covered area, each usable upward and downward. A piece
// is a face of that graph, traced with the area on the left: at a cut point the trace turns onto
// the edge that comes first clockwise from the one it arrived by, elsewhere it follows its ring.
//
//        outer        An upward cut edge has the area west of the line on its left and so
//      +---g3---+     starts a piece left of the line (first pass); a downward one a piece
//      |   |    |     right of it (second pass). A face reached from both sides (one wrapping
//      |  g2-+  |     round the end of a cut) is traced once and goes back to the work list
//      |  |h |  |     like the pieces right of the line.
//      |  g1-+  |
//      |   |    |
//      +---g0---+

// An edge of the graph: edge k (vertex k to k + 1) of ring `ring`, or the cut edge between cut
// points k and k + 1, upward or downward.
struct Edge {
    int ring;  // index into the cut's rings, or kCutUp / kCutDown
    int k;
    bool operator==(const Edge& o) const { return ring == o.ring && k == o.k; }
};
constexpr int kCutUp = -1;
constexpr int kCutDown = -2;
constexpr Edge kNoEdge{-3, -1};

class CutTracer {
public:
    CutTracer(const std::vector<polygon_t*>& rings, const CutPoints& points, long* steps)
        : rings_(rings), g_(points.g), steps_(steps) {}

    // Which stretches between cut points are cut edges: through covered area (inside an outer
    // piece, outside every hole) and not leaving the outer pieces on the way.
    void find_cut_edges(int outer_count, const std::vector<double>& outer_y);
    // Finds the rings' vertices at the cut points.
    void find_vertices_at_cut_points();

    // Traces the piece starting with `start` into ring; false when it did not close.
    bool trace(Edge start, polygon_t* ring);

    int cut_point_count() const { return static_cast<int>(g_.size()); }
    bool is_cut(int k) const { return cut_[k]; }
    bool used(Edge e) const {
        if (e.ring == kCutUp)
            return used_up_[e.k];
        if (e.ring == kCutDown)
            return used_down_[e.k];
        return used_ring_[e.ring][e.k];
    }
    bool ring_touched(int r) const {
        return std::find(used_ring_[r].begin(), used_ring_[r].end(), 1) != used_ring_[r].end();
    }
    bool over_limit() const { return *steps_ > kCutStepLimit; }

private:
    int vertices(int r) const { return com_polygon_num(rings_[r]); }
    point_t vertex(int r, int k) const { return rings_[r]->geom.points[k]; }
    int cut_point_at(point_t p) const;
    point_t start_of(Edge e) const;
    point_t end_of(Edge e) const;
    int end_cut_point(Edge e) const;
    void mark(Edge e);
    Edge next_after(Edge e) const;

    const std::vector<polygon_t*>& rings_;
    std::vector<point_t> g_;
    long* steps_;
    std::vector<char> cut_;
    std::vector<char> used_up_;
    std::vector<char> used_down_;
    std::vector<std::vector<char>> used_ring_;
    std::vector<std::vector<int>> at_cut_point_;  // cut point of each ring vertex, or -1
    std::vector<std::vector<Edge>> leaving_;      // ring edges leaving each cut point
};

void CutTracer::find_cut_edges(int outer_count, const std::vector<double>& outer_y) {
    int m = cut_point_count();
    cut_.assign(m > 0 ? m - 1 : 0, 0);
    used_up_.assign(cut_.size(), 0);
    used_down_.assign(cut_.size(), 0);
    std::vector<rectangle_t> extents;
    for (const polygon_t* ring : rings_)
        extents.push_back(calc_polygon_exrectangle(ring));
    for (int k = 0; k + 1 < m; ++k) {
        const point_t &lo = g_[k], &hi = g_[k + 1];
        if (same_point(lo, hi))
            continue;
        // An outer crossing strictly between them: the stretch leaves the outer pieces.
        auto between = std::upper_bound(outer_y.begin(), outer_y.end(), lo.y);
        if (between != outer_y.end() && *between < hi.y &&
            com_points_same(point_t{lo.x, *between, 0.0}, hi) != 0)
            continue;
        point_t mid = mapgeom::midpoint(lo, hi);
        bool in_outer = false;
        bool in_hole = false;
        for (int r = 0; r < static_cast<int>(rings_.size()); ++r) {
            const rectangle_t& e = extents[r];
            if (mid.x < e.min_x || mid.x > e.max_x || mid.y < e.min_y || mid.y > e.max_y)
                continue;  // outside the ring
            int code = relation_point_at_polygon_by_permit(rings_[r], mid, mapgeom::kStretchPermit);
            if (r < outer_count)
                in_outer = in_outer || code == mapgeom::kPointInside;
            else
                in_hole = in_hole || code != mapgeom::kPointOutside;
        }
        cut_[k] = in_outer && !in_hole;
    }
}

int CutTracer::cut_point_at(point_t p) const {
    auto from = std::lower_bound(g_.begin(), g_.end(), p.y - 2 * mapgeom::kSamePoint,
                                 [](const point_t& u, double y) { return u.y < y; });
    for (auto it = from; it != g_.end() && it->y <= p.y + 2 * mapgeom::kSamePoint; ++it)
        if (same_point(*it, p))
            return static_cast<int>(it - g_.begin());
    return -1;
}

void CutTracer::find_vertices_at_cut_points() {
    int count = static_cast<int>(rings_.size());
    used_ring_.resize(count);
    at_cut_point_.resize(count);
    leaving_.assign(g_.size(), {});
    for (int r = 0; r < count; ++r) {
        int n = vertices(r);
        used_ring_[r].assign(n, 0);
        at_cut_point_[r].assign(n, -1);
        for (int k = 0; k < n; ++k) {
            int c = cut_point_at(vertex(r, k));
            at_cut_point_[r][k] = c;
            if (c >= 0)
                leaving_[c].push_back(Edge{r, k});
        }
    }
}

point_t CutTracer::start_of(Edge e) const {
    if (e.ring == kCutUp)
        return g_[e.k];
    if (e.ring == kCutDown)
        return g_[e.k + 1];
    return vertex(e.ring, e.k);
}

point_t CutTracer::end_of(Edge e) const {
    if (e.ring == kCutUp)
        return g_[e.k + 1];
    if (e.ring == kCutDown)
        return g_[e.k];
    return vertex(e.ring, (e.k + 1) % vertices(e.ring));
}

int CutTracer::end_cut_point(Edge e) const {
    if (e.ring == kCutUp)
        return e.k + 1;
    if (e.ring == kCutDown)
        return e.k;
    return at_cut_point_[e.ring][(e.k + 1) % vertices(e.ring)];
}

void CutTracer::mark(Edge e) {
    if (e.ring == kCutUp)
        used_up_[e.k] = 1;
    else if (e.ring == kCutDown)
        used_down_[e.k] = 1;
    else
        used_ring_[e.ring][e.k] = 1;
}

// Angle swept clockwise from direction `from` to direction `to`, in (0, 2 pi]: going straight back
// comes last.
double clockwise_turn(point_t from, point_t to) {
    double turn = std::atan2(from.y, from.x) - std::atan2(to.y, to.x);
    while (turn <= 0.0)
        turn += 2.0 * M_PI;
    while (turn > 2.0 * M_PI)
        turn -= 2.0 * M_PI;
    return turn;
}

Edge CutTracer::next_after(Edge e) const {
    int c = end_cut_point(e);
    if (c < 0)  // a plain ring vertex: the ring goes on
        return Edge{e.ring, (e.k + 1) % vertices(e.ring)};
    point_t here = g_[c];
    point_t back_from = start_of(e);
    point_t back{back_from.x - here.x, back_from.y - here.y, 0.0};
    std::vector<Edge> candidates = leaving_[c];
    if (c + 1 < cut_point_count() && cut_[c])
        candidates.push_back(Edge{kCutUp, c});
    if (c > 0 && cut_[c - 1])
        candidates.push_back(Edge{kCutDown, c - 1});
    Edge best = kNoEdge;
    double best_turn = 0.0;
    for (const Edge& candidate : candidates) {
        point_t to = end_of(candidate);
        if (same_point(to, here))
            continue;
        double turn = clockwise_turn(back, point_t{to.x - here.x, to.y - here.y, 0.0});
        if (best == kNoEdge || turn < best_turn) {
            best = candidate;
            best_turn = turn;
        }
    }
    return best;
}

bool CutTracer::trace(Edge start, polygon_t* ring) {
    Edge e = start;
    for (;;) {
        if (++*steps_ > kCutStepLimit)
            return false;
        mark(e);
        point_t p = start_of(e);
        bool on_cut = e.ring < 0 || at_cut_point_[e.ring][e.k] >= 0;
        if (on_cut)
            p.z = kTracedCutCode;
        cur_polygon_add(ring, p);
        e = next_after(e);
        if (e == start) {
            point_t first = com_polygon_front(ring);
            com_polygon_add(ring, first);
            return true;
        }
        if (e == kNoEdge || used(e))
            return false;
    }
}

// Whether a hole still to be cut lies within the piece (one of its vertices strictly inside).
bool holds_uncut_hole(const polygon_t* piece, const UncutHoles& inners) {
    rectangle_t extent = calc_polygon_exrectangle(piece);
    bool holds = false;
    inners.look(extent.max_x, [&](const polygon_t* hole, const rectangle_t& e) {
        if (holds || !extents_nested(extent, e))
            return;
        for (int k = 0; k < com_polygon_num(hole) && !holds; ++k)
            holds =
                relation_point_at_polygon(piece, com_polygon_at(hole, k)) == mapgeom::kPointInside;
    });
    return holds;
}

// Closes a traced piece: repeated points removed, cut where it visits a place twice, each part to
// `done` or back to `again`. A piece left of the line is done unless it reaches across the line or
// holds a hole still to be cut (a hole whose line comes later must find its piece in the work
// list).
void close_piece(polygon_t* piece, bool left_of_line, double x, const UncutHoles& inners,
                 polygons_t* done, polygons_t* again) {
    // Repeated points go, but nothing is snapped to whole units: a hole thinner than a unit where
    // the line crosses it would be pinched off the piece as a clockwise ring of its own.
    mapgeom::drop_repeated_points(&piece->geom);
    OwnedPolygons parts;
    split_polygon_by_repeat_points(piece, &parts.list, 0);
    while (parts.list.num > 0) {
        polygon_t part = mapgeom::take_front(&parts.list);
        bool finished = false;
        if (left_of_line && part.geom.count > 0) {
            rectangle_t e = calc_polygon_exrectangle(&part);
            finished = (e.min_x - x) * (e.max_x - x) >= kStraddleProduct &&
                       !holds_uncut_hole(&part, inners);
        }
        com_polygons_add(finished ? done : again, part);
    }
}

void orient(polygon_t* ring, bool counter_clockwise) {
    bool is_ccw = relation_polygon_direction(ring) == 0;
    if (is_ccw != counter_clockwise)
        com_polygon_reverse(ring);
}

// Puts every vertex of one ring of the cut set that lies on an edge of another (a hole touching
// the outer ring or another hole there) into that edge as a vertex, so that a piece passing the
// place along both rings visits it twice, as a vertex, and is cut in two there.
void insert_touching_vertices(const std::vector<polygon_t*>& rings) {
    std::vector<rectangle_t> extents;
    for (const polygon_t* ring : rings)
        extents.push_back(calc_polygon_exrectangle(ring));
    const double grow = mapgeom::kSamePoint;
    for (size_t a = 0; a < rings.size(); ++a)
        for (size_t b = 0; b < rings.size(); ++b) {
            if (a == b || relation_rect_and_rect(extents[a], extents[b]) == 0)
                continue;
            // Vertices of a within b's extent, the only ones that can lie on b.
            const rectangle_t& e = extents[b];
            std::vector<point_t> near;
            for (int i = 0; i < com_polygon_num(rings[a]); ++i) {
                point_t v = rings[a]->geom.points[i];
                if (v.x >= e.min_x - grow && v.x <= e.max_x + grow && v.y >= e.min_y - grow &&
                    v.y <= e.max_y + grow)
                    near.push_back(v);
            }
            for (int k = 0; !near.empty() && k < com_polygon_num(rings[b]); ++k) {
                point_t u = rings[b]->geom.points[k], w = rings[b]->geom.points[k + 1];
                const rectangle_t& f = extents[a];
                if (std::max(u.x, w.x) < f.min_x - grow || std::min(u.x, w.x) > f.max_x + grow ||
                    std::max(u.y, w.y) < f.min_y - grow || std::min(u.y, w.y) > f.max_y + grow)
                    continue;  // the edge passes a's extent by
                for (const point_t& v : near)
                    if (!same_point(v, u) && !same_point(v, w) &&
                        relation_point_at_line(v, u, w, mapgeom::kSamePoint) == 0) {
                        com_polygon_insertat(rings[b], k + 1, point_t{v.x, v.y, u.z});
                        w = v;
                    }
            }
        }
}

// Traces the pieces of the cut at x through the cut set: finished pieces to `done`, the others
// (and rings the cut leaves untouched) to `again`. Returns 0.
int polygons_connect(CutSet* cut, polygons_t* done, polygons_t* again, double x, rectangle_t extent,
                     const UncutHoles& inners) {
    for (polygon_node_t* node = cut->outers.list.head; node != nullptr; node = node->next) {
        mapgeom::drop_repeated_points(&node->polygon.geom);
        orient(&node->polygon, true);
    }
    for (polygon_node_t* node = cut->holes.list.head; node != nullptr; node = node->next) {
        mapgeom::drop_repeated_points(&node->polygon.geom);
        orient(&node->polygon, false);
    }
    std::vector<polygon_t*> rings;
    for (polygon_node_t* node = cut->outers.list.head; node != nullptr; node = node->next)
        rings.push_back(&node->polygon);
    for (polygon_node_t* node = cut->holes.list.head; node != nullptr; node = node->next)
        rings.push_back(&node->polygon);
    insert_touching_vertices(rings);
    CutPoints points = find_polygons_line_crosspts(cut, x, extent, inners);

    long steps = 0;
    CutTracer tracer(rings, points, &steps);
    tracer.find_cut_edges(cut->outers.list.num, points.outer_y);
    tracer.find_vertices_at_cut_points();
    OwnedPolygons left;
    OwnedPolygons right;
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = tracer.cut_point_count() - 2; k >= 0 && !tracer.over_limit(); --k) {
            Edge start{pass == 0 ? kCutUp : kCutDown, k};
            if (!tracer.is_cut(k) || tracer.used(start))
                continue;
            mapgeom::OwnedRing piece;
            if (tracer.trace(start, &piece.ring))
                close_piece(&piece.ring, pass == 0, x, inners, done, again);
        }
    }
    if (steps > kCutStepsTraced)
        mapgeom::trace_append("error.txt", "%ld\n", steps);
    // Rings no piece took (the cut missed them) go on as they are.
    for (int r = 0; r < static_cast<int>(rings.size()); ++r)
        if (!tracer.ring_touched(r))
            com_polygons_add_copy(again, *rings[r]);
    err_polygon_process(done);
    err_polygon_process(again);
    return 0;
}

// ---------------------------------------------------------------------------------------------------
// Press sections of the cut edges.

// Each run of cut points (code 1) along one vertical line (the same whole x) becomes a press
// section: code 2 at its first point, 3 at its last, 0 between, hundreds kept. The ring is read
// round from its first plain point; the closing point follows the first.
void transform_polygon_press(polygon_t* ring) {
    int n = com_polygon_num(ring);
    if (n < 2)
        return;
    point_t* v = ring->geom.points;
    int first = 0;
    while (first < n && mapgeom::press_code_of(v[first].z) != mapgeom::kPressPlain)
        ++first;
    if (first == n)
        return;
    auto code = [](const point_t& p) { return mapgeom::press_code_of(p.z); };
    auto same_x = [](const point_t& p, const point_t& q) {
        return mapgeom::truncate_to_int32(p.x) == mapgeom::truncate_to_int32(q.x);
    };
    bool inside = false;
    for (int t = 0; t < n; ++t) {
        point_t& p = v[(first + t) % n];
        const point_t& q = v[(first + t + 1) % n];
        if (!inside) {
            if (code(p) == mapgeom::kPressInside && code(q) == mapgeom::kPressInside &&
                same_x(p, q)) {
                inside = true;
                p.z += 1.0;
            }
        } else if (code(q) == mapgeom::kPressPlain || !same_x(p, q)) {
            inside = false;
            p.z += 2.0;
        } else {
            p.z = mapgeom::hundreds_of(p.z);
        }
    }
    v[n] = v[0];
}

void transform_polygons_press(polygons_t* list) {
    for (polygon_node_t* node = list->head; node != nullptr; node = node->next)
        transform_polygon_press(&node->polygon);
}

// Twice the signed area of an open ring.
double twice_area_of(const std::vector<point_t>& v) {
    return mapgeom::twice_signed_area(v.data(), static_cast<int>(v.size()));
}

// The ring's points without the closing one, counter-clockwise when `ccw`, clockwise otherwise.
std::vector<point_t> open_ring(const polygon_t* ring, bool ccw) {
    std::vector<point_t> v(ring->geom.points, ring->geom.points + ring->geom.count);
    if (!v.empty() && same_point(v.front(), v.back()))
        v.pop_back();
    if ((twice_area_of(v) > 0.0) != ccw)
        std::reverse(v.begin(), v.end());
    return v;
}

// Whether p lies on the segment a-b (within the coincidence tolerance).
bool on_segment(point_t p, point_t a, point_t b) {
    return same_point(p, a) || same_point(p, b) ||
           calc_point_to_line_distance(p, a, b) < mapgeom::kSamePoint;
}

// Whether the hole's edge from g to h runs back along the outer ring's edge from a to b: both its
// ends on that edge, h nearer a than g is.
bool runs_back_along(point_t g, point_t h, point_t a, point_t b) {
    if (!on_segment(g, a, b) || !on_segment(h, a, b))
        return false;
    return (g.x - h.x) * (b.x - a.x) + (g.y - h.y) * (b.y - a.y) > 0.0;
}

// A hole that runs back along exactly one edge of the outer ring, over the whole edge or a
// stretch of it, is a notch in it: the outer ring takes the hole's way round instead of that
// stretch, and the hole is gone. Traced as a hole, the two directions of the shared stretch closed
// around the hole and delivered it as a piece on top of an uncut outer piece. A notch taken in
// over part of an edge must leave a valid ring covering the outer ring less the hole (no other
// contact between the two); otherwise the hole is left as it was. Returns whether the hole was
// taken in.
bool take_in_notch(polygon_t* outer, const polygon_t* hole) {
    std::vector<point_t> o = open_ring(outer, true), h = open_ring(hole, false);
    size_t n = o.size(), m = h.size();
    if (n < 3 || m < 3)
        return false;
    int shared = 0;
    size_t at_o = 0, at_h = 0;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < m; ++j)
            if (runs_back_along(h[j], h[(j + 1) % m], o[i], o[(i + 1) % n])) {
                ++shared;
                at_o = i;
                at_h = j;
            }
    if (shared != 1)
        return false;
    const point_t near_start = h[(at_h + 1) % m], near_end = h[at_h];
    const bool whole_edge =
        same_point(near_start, o[at_o]) && same_point(near_end, o[(at_o + 1) % n]);
    std::vector<point_t> ring(o.begin(), o.begin() + at_o + 1);
    if (!same_point(near_start, o[at_o]))
        ring.push_back(near_start);
    for (size_t k = 2; k < m; ++k)
        ring.push_back(h[(at_h + k) % m]);
    if (!same_point(near_end, o[(at_o + 1) % n]))
        ring.push_back(near_end);
    ring.insert(ring.end(), o.begin() + at_o + 1, o.end());
    ring.push_back(o[0]);
    polygon_t taken;
    com_polygon_init(&taken);
    for (const point_t& p : ring)
        com_polygon_add(&taken, p);
    if (!whole_edge) {
        ring.pop_back();
        const double expected = twice_area_of(o) + twice_area_of(h);
        const double slack = 1e-9 * (std::fabs(twice_area_of(o)) + 1.0);
        if (relation_polygon_iserror(&taken) != 0 ||
            std::fabs(twice_area_of(ring) - expected) > slack) {
            com_polygon_free(&taken);
            return false;
        }
    }
    com_polygon_free(outer);
    outer->geom = taken.geom;
    return true;
}

void take_in_notches(polygon_t* outer, polygons_t* holes) {
    for (int k = com_polygons_num(holes) - 1; k >= 0; --k)
        if (take_in_notch(outer, com_polygons_at_pointer(holes, k)))
            com_polygons_removeat(holes, k);
}

void split_by_holes(const polygons_t* in, polygons_t* out) {
    OwnedPolygons result;
    OwnedPolygons outers;
    OwnedPolygons inners;
    if (mapgeom::sort_outer_and_inners(in, &outers.list, &inners.list, true) != 0) {
        com_polygons_addrange_copy(&result.list, in);
    } else {
        rectangle_t extent = calc_polygon_exrectangle(&outers.list.head->polygon);
        take_in_notches(&outers.list.head->polygon, &inners.list);
        std::vector<double> positions = get_inners_locations(&inners.list);
        int hole_count = inners.list.num;
        UncutHoles uncut(&inners.list);
        for (size_t k = 0; k < positions.size() && hole_count != 0; ++k) {
            double x = positions[k];
            CutSet cut;
            if (!get_now_split_polygons(&outers.list, &uncut, &cut, x, &hole_count))
                continue;
            if (cut.outers.list.num == 0) {
                cut.holes.hand_over(&result.list);
                continue;
            }
            OwnedPolygons done;
            OwnedPolygons again;
            polygons_connect(&cut, &done.list, &again.list, x, extent, uncut);
            done.hand_over(&result.list);
            again.hand_over(&outers.list);
        }
        outers.hand_over(&result.list);
        // Pieces of the polygon run counter-clockwise, however the outer ring was given (one the
        // cuts never reached would keep its input direction). Reversing now, before the press
        // sections are coded, keeps each section's 2 ... 3 in ring order.
        for (polygon_node_t* node = result.list.head; node != nullptr; node = node->next)
            orient(&node->polygon, true);
    }
    err_polygon_process(&result.list);
    transform_polygons_press(&result.list);
    result.hand_over(out);
}

}  // namespace

namespace mapgeom {

int sort_outer_and_inners(const polygons_t* rings, polygons_t* outer, polygons_t* inners,
                          bool copies) {
    auto add = [copies](polygons_t* list, const polygon_t& ring) {
        if (copies)
            com_polygons_add_copy(list, ring);
        else
            com_polygons_add(list, ring);
    };
    // A ring without stored points has no extent and bounds nothing: it is passed over (the
    // clean-up would drop it from the pieces anyway).
    const polygon_node_t* first = rings->head;
    while (first != nullptr && first->polygon.geom.count == 0)
        first = first->next;
    if (first == nullptr)
        return -1;
    rectangle_t first_extent = calc_polygon_exrectangle(&first->polygon);
    bool found = false;
    for (const polygon_node_t* node = first->next; node != nullptr; node = node->next) {
        const polygon_t* ring = &node->polygon;
        if (ring->geom.count == 0)
            continue;
        if (found || !extents_nested(first_extent, calc_polygon_exrectangle(ring))) {
            add(inners, *ring);
            continue;
        }
        int code = relation_polygon_and_polygon(&first->polygon, ring);
        if (holds_other(code)) {
            add(outer, first->polygon);
            add(inners, *ring);
            found = true;
        } else if (lies_in_other(code)) {
            add(outer, *ring);
            add(inners, first->polygon);
            found = true;
        } else {
            add(inners, *ring);
        }
    }
    return found ? 0 : -1;
}

}  // namespace mapgeom

int split_polygons_by_holes(polygons_t* polygons, polygons_t* out) {
    if (polygons == nullptr || out == nullptr || polygons->num == 0)
        return 0;
    return mapgeom::guarded(0, [&] {
        split_by_holes(polygons, out);
        return 0;
    });
}
