// Convex splitting by diagonals. The middle reflex vertex of a ring is cut to a vertex it sees
// inside the polygon (preferring one inside the cone of both edge extensions, where the cut
// resolves the reflex angle on both sides), and both halves are split the same way; a ring without
// a reflex vertex, or whose reflex vertex sees nothing, is a piece. Visibility is the count of
// boundary meetings of the candidate segment, answered through an edge index (convex_internal.h)
// so that a ring of n vertices costs about n log n visibility tests of a few edges each.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <utility>
#include <vector>

#include "com/boundary.h"
#include "mapgeom/convex.h"
#include "mapgeom/relation.h"
#include "triangulate/convex_internal.h"

namespace mapgeom {
namespace {

// Trace files and lines for rings that could not be split as they should.
const char kUnsplitPieceFile[] = "D:\\1.txt";
const char kNoSplitVertexFile[] = "D:\\2.txt";

// Below this many edges a visibility test scans every edge: building the index costs more.
constexpr int kIndexedEdgeThreshold = 32;

// How far from a segment's carrying line a meeting point of relation_lines_cross can lie: the 0.01
// band of its tests, twice, plus the rounding of its crossing formulas, which put the point on the
// first segment's line to within a few units in the last place of the coordinates.
constexpr double kLineSlack = 0.05;
constexpr double kLineSlackPerMagnitude = 1e-7;

constexpr int kFanout = kSegmentIndexFanout;

bool boxes_meet(const SegmentBox& a, const SegmentBox& b) {
    return a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y && b.min_y <= a.max_y;
}

// False only when every corner of the box lies farther than `slack` from the line through a and
// b, on one side (a NaN anywhere keeps the box).
bool line_may_meet(const SegmentBox& box, point_t a, point_t b, double slack) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0))
        return true;
    double band = slack * length;
    const double xs[2] = {box.min_x, box.max_x};
    const double ys[2] = {box.min_y, box.max_y};
    int above = 0, below = 0;
    for (double x : xs)
        for (double y : ys) {
            double s = dx * (y - a.y) - dy * (x - a.x);
            above += s > band;
            below += s < -band;
        }
    return above < 4 && below < 4;
}

// A ring owned through its stored points, with the input indexes of its vertices.
struct PendingRing {
    polygon_t ring{};
    std::vector<int> ids;
    PendingRing() = default;
    PendingRing(PendingRing&& other) noexcept : ring(other.ring), ids(std::move(other.ids)) {
        other.ring = polygon_t{};
    }
    PendingRing(const PendingRing&) = delete;
    PendingRing& operator=(const PendingRing&) = delete;
    PendingRing& operator=(PendingRing&&) = delete;
    ~PendingRing() { com_polygon_free(&ring); }
    // Hands the points over (to a piece list); the ring is empty afterwards.
    polygon_t release() {
        polygon_t taken = ring;
        ring = polygon_t{};
        return taken;
    }
};

// Vertices from..to of the ring (positions taken modulo n), closed by the first again.
PendingRing sub_ring(const PendingRing& whole, int n, int from, int to) {
    PendingRing part;
    com_polygon_init(&part.ring);
    part.ids.reserve(static_cast<size_t>(to - from + 1));
    for (int k = from; k <= to; ++k) {
        com_polygon_add(&part.ring, com_polygon_at(&whole.ring, k % n));
        part.ids.push_back(whole.ids[static_cast<size_t>(k % n)]);
    }
    com_polygon_add(&part.ring, com_polygon_at(&whole.ring, from % n));
    return part;
}

// A piece list that releases what it holds unless handed over.
struct LocalPieces {
    polygons_t list{};
    LocalPieces() { com_polygons_init(&list); }
    LocalPieces(const LocalPieces&) = delete;
    LocalPieces& operator=(const LocalPieces&) = delete;
    ~LocalPieces() { com_polygons_free(&list); }
    void hand_over(polygons_t* to) {
        com_polygons_addrange(to, &list);
        com_polygons_free_node(&list);
    }
};

// A deep copy of the caller's polygon in the working orientation, split; returns the diagonals'
// input indexes (of the counter-clockwise copy) and whether the copy was reversed.
std::vector<int> split_copy(const polygon_t* polygon, polygons_t* pieces, bool* reversed) {
    PendingRing copy;  // released here if a scratch container fails before the worker owns it
    com_polygon_polygon(&copy.ring, polygon);
    *reversed = relation_polygon_direction(&copy.ring) == 1;
    if (*reversed)
        com_polygon_reverse(&copy.ring);
    std::vector<int> ids(static_cast<size_t>(com_polygon_num(&copy.ring)));
    std::iota(ids.begin(), ids.end(), 0);
    std::vector<int> diagonals;
    convex_polygon_process(&copy.ring, pieces, &ids, &diagonals);
    return diagonals;
}

// Copies the diagonals to out, never more than the 2 x (n - 3) ints the caller provides, mapping
// indexes of a reversed copy back to the input ring when asked. Returns the count written.
int write_diagonals(const std::vector<int>& diagonals, const polygon_t* polygon, bool map_back,
                    int* out) {
    int vertices = polygon->geom.count - 1;
    int room = std::max(0, 2 * (vertices - 3));
    int written = std::min(room, static_cast<int>(diagonals.size()));
    for (int k = 0; k < written; ++k) {
        int r = diagonals[static_cast<size_t>(k)];
        out[k] = map_back ? (vertices - r) % vertices : r;
    }
    return written;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Visibility index.
// ---------------------------------------------------------------------------------------------

VisibilityIndex::VisibilityIndex(const polygon_t* ring)
    : ring_(ring), edges_(com_polygon_num(ring)), magnitude_(0.0) {
    for (int i = 0; i < ring->geom.count; ++i) {
        magnitude_ = std::fmax(magnitude_, std::fabs(ring->geom.points[i].x));
        magnitude_ = std::fmax(magnitude_, std::fabs(ring->geom.points[i].y));
    }
    if (edges_ > kIndexedEdgeThreshold)
        build_segment_index(&index_, &ring->geom, edges_);
}

void VisibilityIndex::collect(point_t a, point_t b, std::vector<int>* hits) const {
    hits->clear();
    if (edges_ <= kIndexedEdgeThreshold) {
        for (int i = 0; i < edges_; ++i)
            hits->push_back(i);
        return;
    }
    SegmentBox query = grown_segment_box(a, b);
    double magnitude = std::fmax(magnitude_, std::fmax(std::fmax(std::fabs(a.x), std::fabs(a.y)),
                                                       std::fmax(std::fabs(b.x), std::fabs(b.y))));
    double slack = kLineSlack + kLineSlackPerMagnitude * magnitude;
    // Depth-first over the packed levels: (level, node) pairs still to open.
    std::vector<std::pair<size_t, size_t>> open;
    size_t top = index_.levels.size() - 1;
    for (size_t node = 0; node < index_.levels[top].size(); ++node)
        open.push_back({top, node});
    while (!open.empty()) {
        auto [level, node] = open.back();
        open.pop_back();
        const SegmentBox& box = index_.levels[level][node];
        if (!boxes_meet(box, query) || !line_may_meet(box, a, b, slack))
            continue;
        if (level == 0) {
            hits->push_back(index_.order[node]);
            continue;
        }
        size_t end = std::min(index_.levels[level - 1].size(), (node + 1) * kFanout);
        for (size_t child = node * kFanout; child < end; ++child)
            open.push_back({level - 1, child});
    }
    std::sort(hits->begin(), hits->end());
}

int VisibilityIndex::judge(point_t a, point_t b) const {
    collect(a, b, &hits_);
    point_t found[3];
    int count = 0;
    const point_t* points = ring_->geom.points;
    for (int i : hits_) {
        point_t meeting{};
        if (relation_lines_cross(&meeting, a, b, points[i], points[i + 1]) != 0)
            continue;
        bool known = false;
        for (int k = 0; k < count && !known; ++k)
            known = com_points_same(meeting, found[k]) == 0;
        if (known)
            continue;
        found[count++] = meeting;
        if (count == 3)
            return 1;
    }
    return count == 2 ? 0 : 1;
}

// ---------------------------------------------------------------------------------------------
// The splitting worker.
// ---------------------------------------------------------------------------------------------

void convex_polygon_process(polygon_t* ring, polygons_t* pieces, std::vector<int>* ids,
                            std::vector<int>* diagonals) {
    // A stack in place of recursion (a ring of n vertices can nest n - 3 cuts deep): the first
    // half is pushed last, so cuts and pieces come in the order of the recursive description.
    std::vector<PendingRing> pending;
    {
        PendingRing whole;
        whole.ring = *ring;
        *ring = polygon_t{};
        whole.ids = *ids;
        pending.push_back(std::move(whole));
    }
    while (!pending.empty()) {
        PendingRing current = std::move(pending.back());
        pending.pop_back();
        polygon_t* p = &current.ring;
        int n = com_polygon_num(p);
        int c = n <= 3 ? -1 : get_first_concave_index(p);
        int s = c < 0 ? -1 : get_split_index(p, c);
        int lo = std::min(c, s), hi = std::max(c, s);
        if (s < 0 || hi - lo <= 1 || n + lo - hi <= 1) {
            com_polygons_add(pieces, current.release());
            continue;
        }
        diagonals->push_back(current.ids[static_cast<size_t>(lo)]);
        diagonals->push_back(current.ids[static_cast<size_t>(hi)]);
        PendingRing first = sub_ring(current, n, lo, hi);
        PendingRing second = sub_ring(current, n, hi, n + lo);
        pending.push_back(std::move(second));
        pending.push_back(std::move(first));
    }
}

}  // namespace mapgeom

// ---------------------------------------------------------------------------------------------
// Helpers.
// ---------------------------------------------------------------------------------------------

int judge_point_line(point_t a, point_t b, point_t c) {
    double d = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    return d > 0.0 ? 1 : (d < 0.0 ? -1 : 0);
}

int is_protruding(point_t prev, point_t cur, point_t next) {
    double d = (cur.x - prev.x) * (next.y - prev.y) - (cur.y - prev.y) * (next.x - prev.x);
    return d < 0.0 ? 0 : 1;
}

int get_first_concave_index(const polygon_t* polygon) {
    int n = com_polygon_num(polygon);
    std::vector<int> reflex;
    for (int i = 0; i < n; ++i)
        if (is_protruding(com_polygon_priorer(polygon, i), com_polygon_at(polygon, i),
                          com_polygon_nexter(polygon, i)) == 0)
            reflex.push_back(i);
    return reflex.empty() ? -1 : reflex[reflex.size() / 2];
}

int judge_line_polygon(const polygon_t* polygon, point_t a, point_t b) {
    int n = com_polygon_num(polygon);
    geom_t found;
    com_geom_init(&found);
    for (int i = 0; i < n; ++i) {
        point_t meeting{};
        if (relation_lines_cross(&meeting, a, b, com_polygon_at(polygon, i),
                                 com_polygon_at(polygon, i + 1)) == 0 &&
            com_geom_find(&found, meeting) < 0)
            com_geom_add(&found, meeting);
    }
    int count = found.count;
    com_geom_free(&found);
    return count == 2 ? 0 : 1;
}

int get_split_index(const polygon_t* polygon, int c) {
    int n = com_polygon_num(polygon);
    point_t v = com_polygon_at(polygon, c);
    point_t prev = com_polygon_priorer(polygon, c);
    point_t next = com_polygon_nexter(polygon, c);
    // Candidates filed by where they lie against the lines of c's two edges; only the ones c sees
    // count, and whether it sees one is asked only when the answer can matter.
    std::vector<int> in_cone, beyond, behind;  // lists B, C and A
    for (int k = c; k < c + n; ++k) {
        int index = k % n;
        point_t w = com_polygon_at(polygon, index);
        if (com_points_same(w, v) == 0 || com_points_same(w, prev) == 0 ||
            com_points_same(w, next) == 0)
            continue;
        int j1 = judge_point_line(prev, v, w), j2 = judge_point_line(next, v, w);
        if (j1 >= 1 && j2 <= -1)
            in_cone.push_back(index);
        else if (j1 <= 0 && j2 <= 0)
            behind.push_back(index);
        else if (j1 >= 0 && j2 >= 0)
            beyond.push_back(index);
    }
    mapgeom::VisibilityIndex sight(polygon);
    auto sees = [&](int index) { return sight.judge(v, com_polygon_at(polygon, index)) == 0; };

    std::vector<int> seen, seen_reflex;
    for (int index : in_cone)
        if (sees(index)) {
            seen.push_back(index);
            if (is_protruding(com_polygon_priorer(polygon, index), com_polygon_at(polygon, index),
                              com_polygon_nexter(polygon, index)) == 0)
                seen_reflex.push_back(index);
        }
    if (!seen_reflex.empty())
        return seen_reflex[seen_reflex.size() / 2];
    if (!seen.empty())
        return seen[seen.size() / 2];
    for (int index : beyond)
        if (sees(index))
            return index;
    for (auto it = behind.rbegin(); it != behind.rend(); ++it)
        if (sees(*it))
            return *it;
    write_polygon(polygon, mapgeom::kNoSplitVertexFile);
    std::fputs("error2\n", stdout);
    std::fflush(stdout);
    return -1;
}

void write_polygon(const polygon_t* polygon, const char* file_name) {
    std::ofstream file(file_name, std::ios::app);
    if (!file)
        return;
    file << "num: " << polygon->geom.count << "\n";
    for (int i = 0; i < polygon->geom.count; ++i)
        file << polygon->geom.points[i].x << "\t" << polygon->geom.points[i].y << "\n";
}

// ---------------------------------------------------------------------------------------------
// Entry points.
// ---------------------------------------------------------------------------------------------

int polygon_to_convex(polygon_t* polygon, int* out) {
    using namespace mapgeom;
    return guarded(0, [&] {
        if (polygon == nullptr || out == nullptr || relation_polygon_iserror(polygon) != 0)
            return 0;
        LocalPieces pieces;
        bool reversed = false;
        std::vector<int> diagonals = split_copy(polygon, &pieces.list, &reversed);
        for (polygon_node_t* node = pieces.list.head; node != nullptr; node = node->next)
            if (get_first_concave_index(&node->polygon) != -1) {
                write_polygon(&node->polygon, kUnsplitPieceFile);
                std::fputs("error1\n", stdout);
                std::fflush(stdout);
            }
        return write_diagonals(diagonals, polygon, reversed, out);
    });
}

int graphic_to_convex(polygon_t* polygon, polygons_t* pieces, int* out) {
    using namespace mapgeom;
    return guarded(0, [&] {
        if (polygon == nullptr || pieces == nullptr || out == nullptr ||
            relation_polygon_iserror(polygon) != 0)
            return 0;
        LocalPieces made;
        bool reversed = false;
        std::vector<int> diagonals = split_copy(polygon, &made.list, &reversed);
        int written = write_diagonals(diagonals, polygon, false, out);
        made.hand_over(pieces);
        return written;
    });
}

void polygons_to_convex(polygons_java_t* in, split_lines_t* out) {
    using namespace mapgeom;
    guarded_void([&] {
        if (in == nullptr || out == nullptr)
            return;
        LocalPieces list;
        com_polygons_java_get_polygons(in, &list.list);
        std::vector<int> scratch;
        for (polygon_node_t* node = list.list.head; node != nullptr; node = node->next) {
            scratch.assign(static_cast<size_t>(std::max(0, 2 * node->polygon.geom.count)), 0);
            int written = polygon_to_convex(&node->polygon, scratch.data());
            com_split_lines_add(out, scratch.data(), written);
        }
    });
}
