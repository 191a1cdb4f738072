// Cutting a polygon into pieces along a polyline. The line is trimmed so that it starts and ends
// where it enters and leaves the polygon, then doubled (walked forward and back again), and the
// pieces are traced by a walk that follows the line while it runs inside the polygon and the
// boundary (counter-clockwise) from where the line leaves it, closing a piece when the walk comes
// back to the piece's first point. Each stretch of line inside the polygon is traced once in each
// direction, so it ends up in the pieces on both of its sides. A line that stops inside the
// polygon, or meets its boundary at fewer than two points, cuts nothing.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "algebra/places.h"
#include "algebra/shape_steps.h"
#include "algebra/walk_state.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/owned.h"
#include "com/tolerances.h"
#include "mapgeom/algebra.h"
#include "mapgeom/measure.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "relation/orientation.h"
#include "relation/ring_locator.h"

namespace {

using namespace mapgeom;  // the shared codes, holders and steps

// The walk stops after this many steps even if line points remain unconsumed ...
constexpr int kWalkStepFloor = 100000;
// ... or after this many steps per point of the polygon and the doubled line, when that is more:
// a complete walk passes each boundary vertex about once and the line a few times, so a fixed
// bound alone would cut the tracing of large polygons short and lose their pieces.
constexpr int kWalkStepsPerPoint = 16;

int midpoint_at_polygon(const polygon_t* polygon, point_t a, point_t b) {
    return relation_point_at_polygon_by_permit(polygon, midpoint(a, b), kStretchPermit);
}

// Drops `count` points from the front of a point array in one move.
void drop_front(geom_t* g, int count) {
    if (count <= 0)
        return;
    std::memmove(g->points, g->points + count, sizeof(point_t) * (g->count - count));
    g->count -= count;
}

// ---------------------------------------------------------------------------------------------------
// Trimming: the line must start and end on the boundary, heading inside.

enum Trim { kUsable = 0, kEndInside = 1, kTooFewCrossings = -1 };

// Walks from one end of the line (index `from`, stepping by `step`) past the points that lie
// outside or lead along or away from the polygon, removing them from the crossing list. Stops at
// the first boundary point from which the line heads inside. Returns how many points to drop from
// that end, or -1 when the end lies strictly inside.
int points_before_entry(const polygon_t* polygon, const geom_t* line, int from, int step,
                        geom_t* crossings) {
    int dropped = 0;
    for (int i = from; line->count - dropped > 1; i += step, ++dropped) {
        point_t p = line->points[i];
        int at = relation_point_at_polygon(polygon, p);
        if (at == kPointInside)
            return -1;
        if (at != kPointOutside &&
            midpoint_at_polygon(polygon, p, line->points[i + step]) == kPointInside)
            return dropped;
        com_geom_remove(crossings, p);
    }
    return dropped;
}

// Trims the line in place so that it begins and ends at the boundary points where it enters and
// finally leaves the polygon (adjust_compare).
Trim adjust_compare(const polygon_t* polygon, polyline_t* line, geom_t* crossings) {
    geom_t* g = &line->geom;
    int front = points_before_entry(polygon, g, 0, +1, crossings);
    if (front < 0)
        return kEndInside;
    drop_front(g, front);
    if (crossings->count < 2 || g->count < 2)
        return kTooFewCrossings;
    int back = points_before_entry(polygon, g, g->count - 1, -1, crossings);
    if (back < 0)
        return kEndInside;
    g->count -= back;
    if (crossings->count < 2 || g->count < 2)
        return kTooFewCrossings;
    return kUsable;
}

// ---------------------------------------------------------------------------------------------------
// The tracing walk.

// The doubled line and the polygon with every crossing point identified once, so that the walk's
// questions (is this a crossing, where is it on the polygon, where on the line) cost no scans.
struct Crossings {
    std::vector<int> of_line;     // crossing number of each doubled-line point, or -1
    std::vector<int> of_polygon;  // crossing number of each polygon vertex 0 .. n - 1, or -1
    std::vector<int> first_on_polygon;
    std::vector<std::vector<int>> on_line;  // line indexes of each crossing, ascending

    Crossings(const polygon_t* polygon, const polyline_t* line, const geom_t* points) {
        PlaceIndex lookup(points);
        int n = com_polygon_num(polygon);
        int m = line->geom.count;
        of_line.resize(m);
        of_polygon.resize(n);
        first_on_polygon.assign(points->count, -1);
        on_line.resize(points->count);
        for (int i = n - 1; i >= 0; --i) {
            of_polygon[i] = lookup.first_at(polygon->geom.points[i]);
            if (of_polygon[i] >= 0)
                first_on_polygon[of_polygon[i]] = i;
        }
        for (int i = 0; i < m; ++i) {
            of_line[i] = lookup.first_at(line->geom.points[i]);
            if (of_line[i] >= 0)
                on_line[of_line[i]].push_back(i);
        }
        // A listed point that did not become a vertex of both shapes cannot switch the walk from
        // one to the other: it is passed like any other vertex.
        for (int& id : of_line)
            if (id >= 0 && first_on_polygon[id] < 0)
                id = -1;
        for (int& id : of_polygon)
            if (id >= 0 && on_line[id].empty())
                id = -1;
    }
};

// The walk. Its state is the piece being traced, whether it is following the line (at a line
// index) or the boundary (at a polygon index), and which line points are consumed: a line point is
// consumed once the stretch of line leaving it (in its half's direction) has been traced into a
// piece or is known to lie outside, so every point is consumed when all pieces are traced.
//
// At a crossing point the walk takes whichever way on (the boundary onward, or a stretch of line
// running inside the polygon in either half) turns rightmost from the way it came, so that the
// piece being traced stays on its left:
//
//      line onward  \                 The walk came up the line to c, where the line touches the
//                    c                boundary. Rotating clockwise from the way back (down), the
//   boundary onward /|                boundary onward comes before the line onward, so the piece
//                    | came from      closes along the boundary; the stretch of line onward is
//                                     left to the piece on its other side.
//
// Side A of the walk state is the doubled line (its marks are the stretches taken), side B the
// polygon's boundary; an unfinished piece is discarded with the state.
class TracingWalk : private WalkState {
public:
    TracingWalk(const polygon_t* polygon, const polyline_t* line, const geom_t* points,
                polygons_t* out)
        : WalkState(line->geom.count, com_polygon_num(polygon)),
          polygon_(polygon),
          line_(line),
          out_(out),
          crossings_(polygon, line, points),
          n_(n_b_),
          m_(n_a_),
          half_(m_ / 2),
          stretch_inside_(m_, -1),
          locator_(polygon) {
        li_ = -1;  // the first step reaches the line's first point
    }
    TracingWalk(const TracingWalk&) = delete;
    TracingWalk& operator=(const TracingWalk&) = delete;

    void run() {
        long long limit = std::max<long long>(
            kWalkStepFloor, static_cast<long long>(kWalkStepsPerPoint) * (n_ + m_));
        // The last stretch is consumed before its piece closes: the walk goes on while a piece
        // is open.
        for (long long steps = 0; (consumed_.remaining() > 0 || started_) && steps < limit; ++steps)
            step();
    }

private:
    static constexpr WalkSide kFollowLine = WalkSide::kA;
    static constexpr WalkSide kFollowBoundary = WalkSide::kB;

    point_t line_at(int li) const { return line_->geom.points[li]; }
    point_t polygon_at(int pi) const { return polygon_->geom.points[pi]; }

    // The last index of each half (the trimmed line's end, then its start) has no stretch after it.
    bool ends_half(int li) const { return li == half_ - 1 || li == m_ - 1; }

    // Whether the stretch of line leaving index li runs inside the polygon. A stretch along the
    // boundary is not followed: walking it against the boundary's direction would trace the
    // outside, and with it the boundary serves as well.
    bool stretch_inside(int li) const {
        if (ends_half(li))
            return false;
        // Each answer costs a pass over the polygon; a stretch of the backward half is a stretch
        // of the forward half walked the other way, so both share one answer.
        int forward_li = li < half_ ? li : m_ - 2 - li;
        signed char& known = stretch_inside_[forward_li];
        if (known < 0)
            known = stretch_side(&locator_, line_at(li), line_at(li + 1)) == kPointInside;
        return known == 1;
    }

    // The first line index of crossing `id` in the forward (or backward) half that is not
    // consumed, or -1 (find_curpt_pos).
    int find_curpt_pos(int id, bool in_forward_half) const {
        for (int k : crossings_.on_line[id])
            if ((k < half_) == in_forward_half && !consumed_.is_used(k))
                return k;
        return -1;
    }

    // An unconsumed stretch of line inside the polygon leaving crossing `id` in one half, or -1.
    int stretch_from(int id, bool in_forward_half) const {
        int k = find_curpt_pos(id, in_forward_half);
        return k >= 0 && stretch_inside(k) ? k : -1;
    }

    void consume(int li) { consumed_.use(li); }

    void append(point_t p) { cur_polygon_add(&piece_, p); }

    // The last point of the piece apart from c, which the walk came from; false when there is none.
    bool came_from(point_t c, point_t* from) const {
        for (int k = piece_.geom.count - 1; k >= 0; --k) {
            if (!same_point(piece_.geom.points[k], c)) {
                *from = piece_.geom.points[k];
                return true;
            }
        }
        return false;
    }

    // Clockwise angle, in (0, 2 pi], from the way back (c to from) to the way on (c to to).
    static double clockwise_turn(point_t c, point_t from, point_t to) {
        constexpr double kFullTurn = 6.283185307179586;  // 2 pi
        double turn = std::atan2(from.y - c.y, from.x - c.x) - std::atan2(to.y - c.y, to.x - c.x);
        turn = std::fmod(turn + 2.0 * kFullTurn, kFullTurn);
        return turn > 0.0 ? turn : kFullTurn;
    }

    // Of the line stretches `candidates` (indexes, -1 for none) and the boundary onward from
    // polygon index pc, the way on from c; returns the line index to follow, or -1 for the
    // boundary.
    int choose_way(point_t c, int pc, std::initializer_list<int> candidates) const {
        point_t from;
        bool has_from = came_from(c, &from);
        int best = -1;
        double best_turn = has_from ? clockwise_turn(c, from, polygon_at((pc + 1) % n_)) : 0.0;
        for (int k : candidates) {
            if (k < 0)
                continue;
            if (!has_from)
                return k;
            double turn = clockwise_turn(c, from, line_at(k + 1));
            if (turn < best_turn) {
                best = k;
                best_turn = turn;
            }
        }
        return best;
    }

    // Turns onto the line at index k: the stretch after k goes into the piece.
    void take_line(point_t c, int k) {
        append(c);
        started_ = true;
        li_ = k;
        mode_ = kFollowLine;
        consume(k);
    }

    // Leaves the line at crossing c (line index li) for the boundary. The stretch after li stays
    // unconsumed when it runs inside: the piece on its other side will trace it.
    void take_boundary(point_t c, int id) {
        append(c);
        scan_inside_ = stretch_inside(li_);
        if (!scan_inside_)
            consume(li_);
        pi_ = crossings_.first_on_polygon[id];
        mode_ = kFollowBoundary;
    }

    // Closes the piece with its own first point, cleans it (snapping it to whole units) and cuts
    // it at repeated vertices into the output list. A part that snapping left without area (all
    // its vertices on one line) is dropped: it covers nothing, and its neighbours cover the place.
    void close_piece() {
        com_polygon_add(&piece_, piece_.geom.points[0]);
        optimize_polygon_del_repeatpts(&piece_);
        OwnedPolygons parts;
        split_polygon_by_repeat_points(&piece_, &parts.list, 0);
        remove_nodes_where(
            &parts.list,
            [](polygon_node_t* node) { return is_allpoints_at_line(&node->polygon) == 0; },
            [](polygon_node_t* node) { com_polygon_free(&node->polygon); });
        parts.hand_over(out_);
        com_polygon_init(&piece_);
        if (mode_ == kFollowLine)
            scan_inside_ = stretch_inside(li_);
        mode_ = kFollowLine;
        started_ = false;
    }

    // Crossing c (number id) reached along the line at li_.
    void line_crossing(point_t c, int id) {
        bool onward = !consumed_.is_used(li_) && stretch_inside(li_);
        if (!started_) {
            // Looking for a piece to start: one starts wherever a stretch inside leaves a crossing.
            scan_inside_ = onward;
            if (onward)
                take_line(c, li_);
            else
                consume(li_);
            return;
        }
        int k = choose_way(c, crossings_.first_on_polygon[id], {onward ? li_ : -1});
        if (k >= 0)
            take_line(c, k);
        else
            take_boundary(c, id);
    }

    // Crossing c (number id) reached along the boundary at pi_.
    void boundary_crossing(point_t c, int id) {
        int k = choose_way(c, pi_, {stretch_from(id, true), stretch_from(id, false)});
        if (k >= 0)
            take_line(c, k);
        else
            append(c);
    }

    // An ordinary point reached along the line: part of the piece being traced, or, between
    // pieces, passed (and consumed when the line runs outside there).
    void line_point(point_t c) {
        if (started_) {
            append(c);
            consume(li_);
        } else if (!scan_inside_) {
            consume(li_);
        }
    }

    void step() {
        point_t c;
        int id;
        if (mode_ == kFollowLine) {
            advance();
            // Between pieces, stretches already traced are passed over; a piece following the
            // line always reaches the point its stretch ends at.
            if (!started_ && consumed_.is_used(li_))
                return;
            c = line_at(li_);
            id = crossings_.of_line[li_];
        } else {
            advance();
            c = polygon_at(pi_);
            id = crossings_.of_polygon[pi_];
        }
        if (id < 0) {
            if (mode_ == kFollowLine)
                line_point(c);
            else
                append(c);
            return;
        }
        // A crossing enters every piece as the polygon's vertex there, so that the pieces on
        // both sides of a cut share it exactly, code included.
        c = polygon_at(crossings_.first_on_polygon[id]);
        if (c.z < kNodeMarker)
            c.z += kNodeMarker;
        if (piece_.geom.count > 0 && same_point(c, piece_.geom.points[0])) {
            close_piece();
            return;
        }
        if (mode_ == kFollowLine)
            line_crossing(c, id);
        else
            boundary_crossing(c, id);
    }

    const polygon_t* polygon_;
    const polyline_t* line_;
    polygons_t* out_;
    Crossings crossings_;
    int n_;
    int m_;
    int half_;
    mutable std::vector<signed char> stretch_inside_;  // per forward index: -1 not yet asked
    mutable RingLocator locator_;                      // the stretch tests locate many midpoints

    // The walk state under this walk's names: the line points whose stretch the walk has taken,
    // the piece being traced, what is followed and the place on the line and on the boundary.
    UsedMarks& consumed_ = used_;
    polygon_t& piece_ = ring_.ring;
    WalkSide& mode_ = side_;
    int& li_ = i_;
    int& pi_ = j_;
    bool started_ = false;
    // Whether the line runs inside the polygon where the walk passes it between pieces.
    bool scan_inside_ = false;
};

// Traces the pieces of the polygon along the trimmed, doubled line (connect_final_polygons).
int connect_final_polygons(const polygon_t* polygon, const polyline_t* line, const geom_t* points,
                           polygons_t* out) {
    TracingWalk walk(polygon, line, points, out);
    walk.run();
    return 0;
}

// Trims and doubles the line, then traces the pieces: 0 when traced, -1 when the line does not
// cut the polygon (output untouched).
int connect_polygons(polygon_t* polygon, polyline_t* line, geom_t* points, polygons_t* out) {
    if (adjust_compare(polygon, line, points) != kUsable)
        return -1;
    OwnedLine back(line);
    com_polyline_reverse(&back.line);
    com_polyline_add_geom(line, &back.line.geom);
    connect_final_polygons(polygon, line, points, out);
    err_polygon_process(out);
    return 0;
}

// Cuts a counter-clockwise ring free of repeated points by a line free of repeated points, both
// scratch copies worked on in place, and appends the pieces to out; returns whether any came out.
bool cut_ring(polygon_t* ring, polyline_t* line, polygons_t* out) {
    // Pieces are built apart from the caller's list, so that the clean-up sees only them.
    OwnedPolygons pieces;
    if (com_polygon_num(ring) >= 3 && com_polyline_num(line) >= 2) {
        OwnedPoints points;
        find_all_polyline_crosspts(line, ring, &points.g);
        connect_polygons(ring, line, &points.g, &pieces.list);
    }
    err_polygon_process(&pieces.list);
    bool cut = pieces.list.head != nullptr;
    pieces.hand_over(out);
    return cut;
}

// ---------------------------------------------------------------------------------------------------
// Lines that turn straight back. The walk traces each stretch inside once in each direction, so a
// stretch the line itself passes twice would be traced four times and the pieces beside it twice
// over. Such a line is cut into parts that never turn back, and the polygon is cut by one part
// after another.

double cross(point_t o, point_t a, point_t b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}
double dot(point_t o, point_t a, point_t b) {
    return (a.x - o.x) * (b.x - o.x) + (a.y - o.y) * (b.y - o.y);
}
bool exactly_collinear(point_t o, point_t a, point_t b) {
    double c = cross(o, a, b);
    return !(c < 0.0) && !(c > 0.0);
}

// Whether the line turns straight back at b, coming from a and going on to c: the two stretches
// lie exactly on one line and point opposite ways.
bool turns_back(point_t a, point_t b, point_t c) {
    return exactly_collinear(a, b, c) && dot(b, a, c) > 0.0;
}

bool turns_back_anywhere(const geom_t* g) {
    for (int k = 1; k + 1 < g->count; ++k)
        if (turns_back(g->points[k - 1], g->points[k], g->points[k + 1]))
            return true;
    return false;
}

// Whether p lies on the segment from a to b.
bool on_segment(point_t a, point_t b, point_t p) {
    return exactly_collinear(a, b, p) && dot(a, b, p) >= 0.0 && dot(b, a, p) >= 0.0;
}

// Appends p unless it is the last point already.
void add_point(std::vector<point_t>* part, point_t p) {
    if (part->empty() || dot(part->back(), p, p) > 0.0)
        part->push_back(p);
}

using LineParts = std::vector<std::vector<point_t>>;

// Where the line, running back over `track` (now at `at` on track[j] .. track[j + 1]), leaves it:
// one end of the track up to `at` becomes the through line, which the line goes on from, and the
// rest of the track becomes a spur hanging on it at `at`. The through line keeps the track's start
// unless that lies inside the polygon (a through line ending inside cuts nothing, while a spur can
// hang on it); a track run back over whole from a start inside goes on as one through line.
void leave_track(const polygon_t* polygon, const std::vector<point_t>& track, int j, point_t at,
                 std::vector<point_t>* through, LineParts* spurs) {
    std::vector<point_t> start(track.begin(), track.begin() + j + 1), end{at};
    add_point(&start, at);
    for (size_t k = j + 1; k < track.size(); ++k)
        add_point(&end, track[k]);
    std::reverse(end.begin(), end.end());
    bool start_inside = relation_point_at_polygon(polygon, track.front()) == kPointInside;
    if (start.size() < 2 && start_inside) {
        *through = end;
        return;
    }
    if (start_inside)
        std::swap(start, end);
    *through = start;
    std::reverse(end.begin(), end.end());
    spurs->push_back(end);
}

// The line as parts that never turn straight back and together cover exactly the places it
// passes, each place once (up to turns back while running back, and running back over an earlier
// part, which are kept as they come: cutting by parts one after another keeps that sound). Where
// the line turns back, the stretch it runs back over is left out; where it leaves that track, the
// track so far goes on with the line, and the rest of it is a spur hanging on that through line.
// A line ending while running back adds nothing. The through line comes first, spurs after.
LineParts parts_without_turning_back(const polygon_t* polygon, const geom_t* g) {
    LineParts through(1, {g->points[0]}), spurs;  // one through line
    std::vector<point_t> track;                   // the part being run back over, when running back
    int j = -1;  // running back along track[j] .. track[j + 1], now at `at`
    point_t at{};
    for (int k = 1; k < g->count; ++k) {
        point_t p = g->points[k];
        std::vector<point_t>& part = through.back();
        if (j < 0) {
            if (part.size() < 2 || !turns_back(part[part.size() - 2], part.back(), p)) {
                part.push_back(p);
                continue;
            }
            track = part;
            j = static_cast<int>(track.size()) - 2;
            at = track.back();
        }
        // Running back: follow the track while p stays on it.
        for (;;) {
            point_t a = track[j];
            bool at_a = !(dot(a, at, at) > 0.0);
            if (at_a && j > 0) {
                --j;  // on along the stretch before
                continue;
            }
            if (!at_a && on_segment(a, at, p)) {
                at = p;
                break;
            }
            if (!at_a && exactly_collinear(a, at, p) && dot(a, at, p) < 0.0) {
                at = a;  // past a: on from there
                continue;
            }
            leave_track(polygon, track, j, at, &part, &spurs);
            j = -1;
            --k;  // p goes on from the through line's end, where the line may turn back again
            break;
        }
    }
    through.insert(through.end(), spurs.begin(), spurs.end());
    return through;
}

// The bounding box of points, widened by the distance at which points count as the same.
struct Box {
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    Box(const point_t* points, int count) {
        for (int k = 0; k < count; ++k) {
            x0 = std::min(x0, points[k].x - kSamePoint);
            y0 = std::min(y0, points[k].y - kSamePoint);
            x1 = std::max(x1, points[k].x + kSamePoint);
            y1 = std::max(y1, points[k].y + kSamePoint);
        }
    }
    bool meets(const Box& o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
};

// Cuts every piece by the part: each is replaced, in place, by the pieces the part cuts it into,
// and kept as it is when the part does not cut it. Returns whether the part cut any.
bool cut_pieces_by(const std::vector<point_t>& points, polygons_t* pieces) {
    OwnedLine part;
    for (point_t p : points)
        com_polyline_add(&part.line, p);
    Box part_box(points.data(), static_cast<int>(points.size()));
    OwnedPolygons next;
    bool cut_any = false;
    for (const polygon_node_t* node = pieces->head; node != nullptr; node = node->next) {
        // A line must meet a piece's boundary twice to cut it: pieces far from it are passed
        // without a search for crossings, which keeps lines turning back often cheap.
        if (!part_box.meets(Box(node->polygon.geom.points, node->polygon.geom.count))) {
            com_polygons_add_copy(&next.list, node->polygon);
            continue;
        }
        OwnedRing work(&node->polygon);
        make_counter_clockwise(&work.ring);
        OwnedLine cut(&part.line);
        if (cut_ring(&work.ring, &cut.line, &next.list))
            cut_any = true;
        else
            com_polygons_add_copy(&next.list, node->polygon);
    }
    com_polygons_free(pieces);
    com_polygons_init(pieces);
    next.hand_over(pieces);
    return cut_any;
}

// A part that starts or ends inside the polygon may cut once a part it hangs on has cut; the
// parts are tried again while some cut, at most this many rounds (bounding the work on lines that
// turn back very often).
constexpr int kPartRounds = 4;

// Cuts the ring by the parts in turn, each until it has cut once (cutting again along the pieces'
// snapped edges would carve slivers), and appends the pieces to out, or nothing when no part cut.
void cut_ring_by_parts(const polygon_t* ring, const LineParts& parts, polygons_t* out) {
    OwnedPolygons pieces;
    com_polygons_add_copy(&pieces.list, *ring);
    std::vector<bool> has_cut(parts.size(), false);
    bool cut_any = false;
    for (int round = 0; round < kPartRounds; ++round) {
        bool cut_now = false;
        for (size_t k = 0; k < parts.size(); ++k)
            if (!has_cut[k] && cut_pieces_by(parts[k], &pieces.list))
                has_cut[k] = cut_now = true;
        cut_any = cut_any || cut_now;
        if (!cut_now)
            break;
    }
    if (cut_any)
        pieces.hand_over(out);
}

}  // namespace

int split_polygon_by_polyline(polygon_t* polygon, polyline_t* line, polygons_t* out) {
    if (polygon == nullptr || line == nullptr || out == nullptr)
        return 0;
    return guarded(0, [&] {
        make_counter_clockwise(polygon);
        OwnedLine cut(line);
        OwnedRing ring(polygon);
        drop_repeated_points(&cut.line.geom);
        drop_repeated_points(&ring.ring.geom);
        OwnedPolygons pieces;
        if (turns_back_anywhere(&cut.line.geom))
            cut_ring_by_parts(&ring.ring, parts_without_turning_back(&ring.ring, &cut.line.geom),
                              &pieces.list);
        else
            cut_ring(&ring.ring, &cut.line, &pieces.list);
        err_polygon_process(&pieces.list);
        pieces.hand_over(out);
        return 0;
    });
}
