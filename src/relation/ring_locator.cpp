// Point location through vertical slabs of a ring's edges. Each pass visits, with the plain scan's
// own per-edge steps, every edge the scan could take anything from: the boundary pass the edges
// whose box may hold p within the permit, in ring order, so the first that reports decides as in
// the scan; the ray pass the edges whose x range may hold p.x and that reach below p, in any order,
// since it only counts them. Points with a non-finite coordinate are scanned, and so is every point
// when memory for the slabs or a query runs out.
#include "relation/ring_locator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "com/boundary.h"
#include "com/plain_lookups.h"
#include "mapgeom/relation.h"
#include "relation/point_at_polygon_internal.h"

namespace mapgeom {
namespace {

// Rings with fewer edges are always scanned: slabs would not pay.
constexpr int kMinIndexedEdges = 64;
// Points located by a plain scan before the slabs are built on demand. Building costs about as
// much as this many scans, so a locator costs at most about twice the cheaper of the two ways.
constexpr int kScansBeforeIndex = 16;
// An edge counts for the ray only with p.x within its x range or within kDirectionTolerance of an
// end. Its x range grown by twice that holds every such p.x, whatever the rounding of the bounds
// (rounding is monotonic and the tolerance tests compare exact differences).
constexpr double kRayWindow = 2 * kDirectionTolerance;
// Widening of the boundary window relative to |p|, on top of doubling the reach: covers the
// rounding of the per-edge bounds (an edge's min - reach, near p), which is within an ulp of |p|.
constexpr double kRelativeWindowSlack = 1e-12;
// Slabs aim at this many edges starting in each: a ray then meets about half as many entries
// besides the edges under p.
constexpr int kEdgesPerSlab = 16;
// Edges long in x are listed in every slab they meet; fewer, wider slabs keep the lists within
// this many entries per edge in all.
constexpr int kMaxEntriesPerEdge = 4;

// The float next to f toward -infinity (down) or +infinity (up), as std::nextafter gives it for a
// float that is not a NaN and not already the infinity it moves toward (worked out on the bits: the
// library call costs more than the rest of the box).
float float_step(float f, bool up) {
    if (f == 0.0f)
        return up ? std::numeric_limits<float>::denorm_min()
                  : -std::numeric_limits<float>::denorm_min();
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    // Away from zero the magnitude grows, toward it it shrinks; the sign bit stays.
    const bool away = (f > 0.0f) == up;
    bits = away ? bits + 1 : bits - 1;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The nearest float at or below v, and at or above v (a value beyond the float range goes to the
// largest float or to infinity on the side that still holds it).
float float_down(double v) {
    float f = static_cast<float>(v);
    return static_cast<double>(f) > v ? float_step(f, false) : f;
}
float float_up(double v) {
    float f = static_cast<float>(v);
    return static_cast<double>(f) < v ? float_step(f, true) : f;
}

bool is_finite_point(point_t p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

int slab_of(const EdgeSlabs& slabs, double x) {
    return static_cast<int>(std::upper_bound(slabs.cuts.begin(), slabs.cuts.end(), x) -
                            slabs.cuts.begin());
}

// Left ends sampled for the cuts: every kCutSampleStride-th edge's (all of a small ring's). Any
// cuts give the same answers; the sample only has to spread the edges about evenly over the slabs,
// and sorting a quarter of the ends is the larger part of what it saves.
constexpr int kCutSampleStride = 4;
// A slab found from the previous edge's slab by stepping at most this many slabs; beyond, by a
// binary search. A ring's consecutive edges mostly fall in the same or a neighbouring slab.
constexpr int kSlabSteps = 4;

// The slab of x (as slab_of), searched from the slab `near`.
int slab_near(const EdgeSlabs& slabs, double x, int near) {
    const std::vector<double>& cuts = slabs.cuts;
    int s = near;
    for (int step = 0; step < kSlabSteps; ++step) {
        if (s > 0 && x < cuts[s - 1])
            --s;
        else if (s < static_cast<int>(cuts.size()) && x >= cuts[s])
            ++s;
        else
            return s;
    }
    return slab_of(slabs, x);
}

// Cuts at every (count / slab_count)-th sampled left end, each cut once: at most slab_count slabs.
void cut_slabs(EdgeSlabs* slabs, const std::vector<double>& sorted_left_ends, int slab_count) {
    slabs->cuts.clear();
    size_t count = sorted_left_ends.size();
    for (int s = 1; s < slab_count; ++s) {
        double cut = sorted_left_ends[count * s / slab_count];
        if (slabs->cuts.empty() || cut > slabs->cuts.back())
            slabs->cuts.push_back(cut);
    }
}

// The first and last slab each edge's grown x range meets, and their number in all.
long long slab_ranges(const EdgeSlabs& slabs, const std::vector<SlabEntry>& edges,
                      std::vector<std::pair<int, int>>* ranges) {
    ranges->resize(edges.size());
    long long count = 0;
    int near = 0;
    for (size_t k = 0; k < edges.size(); ++k) {
        int first = slab_near(slabs, edges[k].min_x, near);
        int last = slab_near(slabs, edges[k].max_x, first);
        (*ranges)[k] = {first, last};
        count += last - first + 1;
        near = first;
    }
    return count;
}

// Lists every edge in each slab its grown x range meets (a counting sort by slab), then each
// slab's list by lower y.
void fill_slabs(EdgeSlabs* slabs, const std::vector<SlabEntry>& edges,
                const std::vector<std::pair<int, int>>& ranges) {
    size_t slab_count = slabs->cuts.size() + 1;
    slabs->first.assign(slab_count + 1, 0);
    for (const auto& [first, last] : ranges)
        for (int s = first; s <= last; ++s)
            ++slabs->first[s + 1];
    for (size_t s = 0; s < slab_count; ++s)
        slabs->first[s + 1] += slabs->first[s];
    slabs->entries.resize(slabs->first.back());
    std::vector<int> next(slabs->first.begin(), slabs->first.end() - 1);
    for (size_t k = 0; k < edges.size(); ++k)
        for (int s = ranges[k].first; s <= ranges[k].second; ++s)
            slabs->entries[next[s]++] = edges[k];
    for (size_t s = 0; s < slab_count; ++s)
        std::sort(slabs->entries.begin() + slabs->first[s],
                  slabs->entries.begin() + slabs->first[s + 1],
                  [](const SlabEntry& a, const SlabEntry& b) { return a.min_y < b.min_y; });
}

// The slabs of the finite edges: the narrowest of n / kEdgesPerSlab slabs, half as many, a quarter
// ... that keeps within kMaxEntriesPerEdge entries per edge (one slab always does).
void build_slabs(EdgeSlabs* slabs, const point_t* points, int n) {
    slabs->origin_x = slabs->origin_y = 0.0;
    for (int i = 0; i < n; ++i) {
        if (is_finite_point(points[i])) {
            slabs->origin_x = points[i].x;
            slabs->origin_y = points[i].y;
            break;
        }
    }
    double ox = slabs->origin_x, oy = slabs->origin_y;
    std::vector<SlabEntry> edges;
    edges.reserve(n);
    for (int i = 0; i < n; ++i) {
        point_t v = points[i];
        point_t w = points[i + 1];
        if (!is_finite_point(v) || !is_finite_point(w))
            continue;
        edges.push_back({float_down((std::min(v.x, w.x) - kRayWindow) - ox),
                         float_up((std::max(v.x, w.x) + kRayWindow) - ox),
                         float_down(std::min(v.y, w.y) - oy), float_up(std::max(v.y, w.y) - oy),
                         i});
    }
    int stride = static_cast<int>(edges.size()) >= kCutSampleStride * kMinIndexedEdges
                     ? kCutSampleStride
                     : 1;
    std::vector<double> left_ends;
    left_ends.reserve(edges.size() / stride + 1);
    for (size_t k = 0; k < edges.size(); k += stride)
        left_ends.push_back(edges[k].min_x);
    std::sort(left_ends.begin(), left_ends.end());
    long long entry_limit = static_cast<long long>(kMaxEntriesPerEdge) * edges.size();
    int slab_count = std::max(1, static_cast<int>(edges.size()) / kEdgesPerSlab);
    std::vector<std::pair<int, int>> ranges;
    cut_slabs(slabs, left_ends, slab_count);
    while (slab_ranges(*slabs, edges, &ranges) > entry_limit && slab_count > 1) {
        slab_count /= 2;
        cut_slabs(slabs, left_ends, slab_count);
    }
    fill_slabs(slabs, edges, ranges);
}

// An edge reports only when the permit is above 0 (distances are never below 0) and p lies in its
// box grown by `reach` (bounds rounded): a window of twice the reach around p, widened for the
// rounding, meets the box of every such edge. They are visited in ring order.
int boundary_code(RingLocator* locator, point_t p, double permit) {
    if (!(permit > 0))
        return kPointOutside;
    double reach = boundary_reach(permit);
    double half_x = 2 * reach + kRelativeWindowSlack * std::fabs(p.x);
    double half_y = 2 * reach + kRelativeWindowSlack * std::fabs(p.y);
    const EdgeSlabs& slabs = locator->slabs;
    double left = (p.x - half_x) - slabs.origin_x, right = (p.x + half_x) - slabs.origin_x;
    double bottom = (p.y - half_y) - slabs.origin_y, top = (p.y + half_y) - slabs.origin_y;
    std::vector<int>& hits = locator->hits;
    hits = locator->unlisted;
    for (int s = slab_of(slabs, left), last = slab_of(slabs, right); s <= last; ++s)
        for (int k = slabs.first[s]; k < slabs.first[s + 1] && slabs.entries[k].min_y <= top; ++k) {
            const SlabEntry& e = slabs.entries[k];
            if (e.max_y >= bottom && e.min_x <= right && e.max_x >= left)
                hits.push_back(e.edge);
        }
    std::sort(hits.begin(), hits.end());
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    const point_t* points = locator->ring->geom.points;
    for (int i : hits) {
        int code = edge_boundary_code(points, i, p, permit, reach);
        if (code != kPointOutside)
            return code;
    }
    return kPointOutside;
}

int ray_crossings(const RingLocator& locator, point_t p) {
    const EdgeSlabs& slabs = locator.slabs;
    const point_t* points = locator.ring->geom.points;
    int n = com_polygon_num(locator.ring);
    int crossings = 0;
    // Relative to the origin an edge below p may start level with p (rounding keeps order, not
    // strict order), so the list is read up to p's level.
    double x = p.x - slabs.origin_x, y = p.y - slabs.origin_y;
    int s = slab_of(slabs, x);
    for (int k = slabs.first[s]; k < slabs.first[s + 1] && slabs.entries[k].min_y <= y; ++k) {
        const SlabEntry& e = slabs.entries[k];
        if (e.min_x <= x && x <= e.max_x && edge_crosses_ray_below(points, n, e.edge, p))
            ++crossings;
    }
    for (int i : locator.unlisted)
        if (edge_crosses_ray_below(points, n, i, p))
            ++crossings;
    return crossings;
}

int locate_through_slabs(RingLocator* locator, point_t p, double permit) {
    int boundary = boundary_code(locator, p, permit);
    if (boundary != kPointOutside)
        return boundary;
    return ray_crossings(*locator, p) % 2 == 1 ? kPointInside : kPointOutside;
}

// Whether to scan for this point: a small ring always, a large one until kScansBeforeIndex points
// have been scanned, then never once the slabs are built (or while building them fails for
// memory).
// Rings that run once around a rectangle along the axes (tile and block outlines): a point farther
// than this beyond the permit's reach from the outline is inside or outside by its box alone.
constexpr double kBoxClearance = 1.0;
// Larger coordinates are left to the edge tests: the clearance stays far above their rounding.
constexpr double kBoxCoordinateLimit = 1e12;

bool moderate(double v) {
    return std::fabs(v) <= kBoxCoordinateLimit;  // false for NaN
}

// Where a point on the outline of box b lies along it, counter-clockwise from corner (min x, min
// y): the side (0 bottom, 1 right, 2 top, 3 left; each corner opens the side it starts) and how far
// along that side, as exact comparisons need them.
struct OutlinePlace {
    int side;
    double along;
};

bool before(OutlinePlace a, OutlinePlace b) {
    return a.side < b.side || (a.side == b.side && a.along < b.along);
}

OutlinePlace place_on_outline(point_t p, const double b[4]) {
    if (p.y == b[1] && p.x < b[2])
        return {0, p.x};
    if (p.x == b[2] && p.y < b[3])
        return {1, p.y};
    if (p.y == b[3] && p.x > b[0])
        return {2, -p.x};
    return {3, -p.y};
}

bool on_outline(point_t p, const double b[4]) {
    return p.x == b[0] || p.x == b[2] || p.y == b[1] || p.y == b[3];
}

// Whether edge v-w lies along one side of box b.
bool along_a_side(point_t v, point_t w, const double b[4]) {
    return (v.y == w.y && (v.y == b[1] || v.y == b[3])) ||
           (v.x == w.x && (v.x == b[0] || v.x == b[2]));
}

// Whether the ring runs once around the outline of its extent, along its sides, in either
// direction: a rectangle along the axes, perhaps with more vertices on its sides (the crossings a
// clip inserts into a tile's outline) and repeated points. Such a ring's vertices, in order along
// the outline, step back (or, running clockwise, forward) exactly once. Coordinates must be
// moderate and the extent have area; sets box to the extent.
bool ring_is_box(const polygon_t* ring, double box[4]) {
    const int count = ring->geom.count;
    const point_t* q = ring->geom.points;
    if (count < 5 || q[count - 1].x != q[0].x || q[count - 1].y != q[0].y)
        return false;
    box[0] = box[2] = q[0].x;
    box[1] = box[3] = q[0].y;
    for (int i = 0; i < count; ++i) {
        if (!moderate(q[i].x) || !moderate(q[i].y))
            return false;
        box[0] = std::min(box[0], q[i].x);
        box[1] = std::min(box[1], q[i].y);
        box[2] = std::max(box[2], q[i].x);
        box[3] = std::max(box[3], q[i].y);
    }
    if (!(box[0] < box[2] && box[1] < box[3]))
        return false;
    int back = 0, ahead = 0;
    for (int i = 0; i + 1 < count; ++i) {
        if (!on_outline(q[i], box) || !along_a_side(q[i], q[i + 1], box))
            return false;
        OutlinePlace from = place_on_outline(q[i], box), to = place_on_outline(q[i + 1], box);
        back += before(to, from) ? 1 : 0;
        ahead += before(from, to) ? 1 : 0;
    }
    return back == 1 || ahead == 1;
}

// The code for p against a box ring when p lies clear of its outline: the boundary pass finds no
// edge within reach, and the downward ray crosses the bottom side once (inside), or the bottom and
// the top side once each or nothing (outside), without passing a corner; where it passes a vertex
// on a side, the boundary goes on along that side to the other side of the ray. -1 when the ring is
// no box or p is near its outline (the edge tests decide).
bool is_box_ring(RingLocator* locator) {
    if (locator->box_ring < 0)
        locator->box_ring = ring_is_box(locator->ring, locator->box) ? 1 : 0;
    return locator->box_ring == 1;
}

int locate_clear_of_box(RingLocator* locator, point_t p, double permit) {
    if (!is_box_ring(locator) || !moderate(p.x) || !moderate(p.y) || !(permit < 1.0))
        return -1;
    const double clear = boundary_reach(std::max(permit, 0.0)) + kBoxClearance;
    const double* box = locator->box;
    if (p.x < box[0] - clear || p.x > box[2] + clear || p.y < box[1] - clear ||
        p.y > box[3] + clear)
        return kPointOutside;
    if (p.x > box[0] + clear && p.x < box[2] - clear && p.y > box[1] + clear &&
        p.y < box[3] - clear)
        return kPointInside;
    return -1;
}

bool scan_instead(RingLocator* locator) {
    if (g_plain_lookups)
        return true;
    if (locator->indexed)
        return false;
    if (com_polygon_num(locator->ring) < kMinIndexedEdges)
        return true;
    if (locator->scans < kScansBeforeIndex) {
        ++locator->scans;
        return true;
    }
    return !guarded(false, [&] {
        index_ring(locator);
        return true;
    });
}

}  // namespace

void index_ring(RingLocator* locator) {
    const polygon_t* ring = locator->ring;
    int n = com_polygon_num(ring);
    const point_t* points = ring->geom.points;
    build_slabs(&locator->slabs, points, n);
    locator->unlisted.clear();
    for (int i = 0; i < n; ++i)
        if (!is_finite_point(points[i]) || !is_finite_point(points[i + 1]))
            locator->unlisted.push_back(i);
    locator->indexed = true;
}

void expect_points(RingLocator* locator, long count) {
    if (locator->indexed || count <= kScansBeforeIndex ||
        com_polygon_num(locator->ring) < kMinIndexedEdges)
        return;
    // A box ring (a tile's outline with a clip's crossings on its sides) answers most points by its
    // box alone: its slabs are left to be built on demand, once enough points near its outline
    // have been scanned.
    if (is_box_ring(locator))
        return;
    guarded(false, [&] {
        index_ring(locator);
        return true;
    });
}

int locate_in_ring(RingLocator* locator, point_t p, double permit) {
    int code = locate_clear_of_box(locator, p, permit);
    if (code >= 0)
        return code;
    constexpr int kNoMemory = -1;
    if (!scan_instead(locator) && is_finite_point(p))
        code = guarded(kNoMemory, [&] { return locate_through_slabs(locator, p, permit); });
    if (code == kNoMemory)
        code = relation_point_at_polygon_by_permit(locator->ring, p, permit);
    return code;
}

}  // namespace mapgeom
