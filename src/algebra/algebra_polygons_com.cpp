// Support for the overlay and split operations: press-code normalisation, cutting rings at
// repeated vertices, side tests of one ring against another, point appending without repeats,
// removal of degenerate results, and the three crossing finders that insert every meeting point of
// two boundaries into both shapes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "algebra/live_shape.h"
#include "algebra/press_codes.h"
#include "algebra/shape_steps.h"
#include "com/boundary.h"
#include "com/codes.h"
#include "com/linked_list.h"
#include "com/numeric.h"
#include "com/owned.h"
#include "com/tolerances.h"
#include "crosspoint/crosspoint_internal.h"
#include "crosspoint/segment_index.h"
#include "mapgeom/algebra.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"

namespace {

using namespace mapgeom;  // the shared codes, holders and steps

// Segments of the polyline-ring and ring-ring finders meet within this band.
constexpr double kFinderMeetPermit = kSamePoint;
// A crossing goes into the part of a subdivided segment that holds it within this band: the
// polyline-polyline and ring-ring finders ...
constexpr double kInsertPermit = kDefaultPermit;
// ... and, tighter, the polyline-ring finder.
constexpr double kPolylineRingInsertPermit = 0.00001;
// A hit vertex whose code is already this or more keeps it (it carries a marker already).
constexpr double kMarkedCodeLimit = 2 * kNodeMarker;

// ---------------------------------------------------------------------------------------------------
// Press codes.

enum class SectionEnd { kPressed, kReleased };

void rewrite_press_sections(polygon_t* ring, SectionEnd end) {
    if (ring == nullptr)
        return;
    geom_t* g = &ring->geom;
    int stored = g->count;
    int start = 0;
    while (start < stored && press_code_of(g->points[start].z) != 2)
        ++start;
    if (start == stored)
        return;
    double first_before = g->points[0].z;
    double closing_before = g->points[stored - 1].z;
    bool inside = false;
    for (int t = 0; t < stored; ++t) {
        point_t& p = g->points[(start + t) % stored];
        if (!inside && press_code_of(p.z) == 2) {
            p.z -= 1.0;
            inside = true;
        }
        if (!inside)
            continue;
        if (press_code_of(p.z) == 3) {
            p.z -= end == SectionEnd::kPressed ? 2.0 : 3.0;
            inside = false;
        } else {
            p.z = hundreds_of(p.z) + 1.0;
        }
    }
    // The walk meets the ring's start twice, as the closing point and as the first point. A
    // section that ends there is closed at the closing point, and the first point (visited after
    // it, outside the section) must not keep its end code: both copies of the vertex agree.
    if (first_before == closing_before && g->points[0].z != g->points[stored - 1].z)
        g->points[0].z = g->points[stored - 1].z;
}

// ---------------------------------------------------------------------------------------------------
// Repeated vertices.

// A vertex with its index, for sorting by position.
struct sort_points_t {
    point_t pt;
    int index = 0;
};

// Ascending by x, then y (NaN after numbers).
bool position_less(const sort_points_t& a, const sort_points_t& b) {
    auto less = [](double u, double v) {
        if (std::isnan(u))
            return false;
        return std::isnan(v) || u < v;
    };
    if (less(a.pt.x, b.pt.x))
        return true;
    if (less(b.pt.x, a.pt.x))
        return false;
    return less(a.pt.y, b.pt.y);
}

// Vertices 0 .. n - 1 sorted by position, and each vertex's place in that order.
struct SortedVertices {
    std::vector<sort_points_t> sorted;
    std::vector<int> position;
};

SortedVertices sort_vertices(const polygon_t* ring) {
    int n = com_polygon_num(ring);
    SortedVertices v;
    v.sorted.resize(n);
    for (int i = 0; i < n; ++i)
        v.sorted[i] = {com_polygon_at(ring, i), i};
    // Listed in index order, so a stable sort leaves equal positions in index order.
    std::stable_sort(v.sorted.begin(), v.sorted.end(), position_less);
    v.position.resize(n);
    for (int p = 0; p < n; ++p)
        v.position[v.sorted[p].index] = p;
    return v;
}

int if_have_repeat_points(const polygon_t* ring) {
    SortedVertices v = sort_vertices(ring);
    for (size_t p = 1; p < v.sorted.size(); ++p)
        if (same_point(v.sorted[p - 1].pt, v.sorted[p].pt))
            return 1;
    return 0;
}

// Another vertex at the place of vertex i (a sorted neighbour), or -1.
int get_split_index(const SortedVertices& v, int n, int i) {
    int p = v.position[i];
    if (p > 0 && same_point(v.sorted[p - 1].pt, v.sorted[p].pt))
        return v.sorted[p - 1].index;
    if (p < n - 1 && same_point(v.sorted[p + 1].pt, v.sorted[p].pt))
        return v.sorted[p + 1].index;
    return -1;
}

void add_points(polygon_t* piece, const polygon_t* ring, int from, int to) {
    for (int k = from; k <= to; ++k)
        com_polygon_add(piece, com_polygon_at(ring, k));
}

// Cuts the ring at its first repeated vertex a (paired with b > a) into V[0..a-1] + V[b..n] and
// V[a..b]; both closed. The second piece's closing point V[b] leaves a press section (code 1
// becomes 0). Returns 1 when cut, 0 when the ring has no repeated vertex.
int split_polygon(const polygon_t* ring, polygons_t* out) {
    int n = com_polygon_num(ring);
    SortedVertices v = sort_vertices(ring);
    int a = 0;
    int b = -1;
    for (; a < n && b < 0; ++a)
        b = get_split_index(v, n, a);
    if (b < 0)
        return 0;
    --a;
    polygon_t outer;
    com_polygon_init(&outer);
    add_points(&outer, ring, 0, a - 1);
    add_points(&outer, ring, b, n);
    com_polygons_add(out, outer);

    polygon_t loop;
    com_polygon_init(&loop);
    add_points(&loop, ring, a, b);
    point_t& last = loop.geom.points[loop.geom.count - 1];
    if (press_code_of(last.z) == 1)
        last.z = hundreds_of(last.z);
    com_polygons_add(out, loop);
    return 1;
}

// Hands a ring's storage to a list; the caller's record is left empty so that releasing it again
// is harmless.
void move_into_list(polygons_t* list, polygon_t* ring) {
    com_polygons_add(list, *ring);
    ring->geom = geom_t{nullptr, 0, 0};
}

// ---------------------------------------------------------------------------------------------------
// Degenerate results.

int is_polygon_error(const polygon_t* ring) {
    if (com_polygon_num(ring) <= 2)
        return 3;
    if (com_points_same_permit(com_polygon_front(ring), com_polygon_last(ring),
                               kClosureTolerance) != 0)
        return 4;
    return 0;
}

// ---------------------------------------------------------------------------------------------------
// Crossing finders.

// Code of a vertex inserted at a crossing on the edge that starts at `start`.
double inserted_marker(point_t start) {
    return press_code_of(start.z) == 0 ? kNodeMarker : start.z + kNodeMarker;
}

// Code of an existing vertex that a crossing hits; repeated hits give the same value.
double hit_marker(point_t vertex) {
    return vertex.z < kMarkedCodeLimit ? vertex.z + kNodeMarker : vertex.z;
}

// Puts crossing c into a ring of the ring-ring finder, found on edge i of the ring as it came in
// (from `start` to `end`): inserted with a marker when the ring has no vertex there, else the edge
// end at c is marked (the start first), at the first vertex of the ring at its place.
void put_crossing_into_ring(LiveShape* ring, int i, point_t start, point_t end, point_t c) {
    if (!ring->has_point_at(c)) {
        point_t marked{c.x, c.y, inserted_marker(start)};
        if (!ring->insert_on_segment(i, marked, kInsertPermit))
            ring->insert_after_start(i, marked);
        return;
    }
    for (point_t vertex : {start, end}) {
        if (!same_point(c, vertex))
            continue;
        ring->replace_first_at(vertex, point_t{c.x, c.y, hit_marker(vertex)});
        return;
    }
}

int segment_count(const geom_t* shape) {
    return shape->count > 0 ? shape->count - 1 : 0;
}

// The loop of the three finders. Every candidate pair of segments (of the shapes as they came in,
// first shape's segment outer) that `cross` finds meeting at c lists c once in `points` and puts
// it into each shape with `put(live shape, copy, segment, c)`. Both shapes are written back at the
// end; should scratch memory run out, they keep their points and the list keeps what it took.
//
// The shapes are read in place: neither changes before the end. Only when the list is one of the
// shapes, so that listing a crossing would move that shape's points, does the loop read copies.
template <typename Cross, typename Put>
int run_crossing_finder(geom_t* first, geom_t* second, geom_t* points, Cross cross, Put put) {
    bool list_is_shape = points == first || points == second;
    OwnedRing copy1(list_is_shape ? ring_of_points(first) : polygon_t{});
    OwnedRing copy2(list_is_shape ? ring_of_points(second) : polygon_t{});
    const geom_t* c1 = list_is_shape ? &copy1.ring.geom : first;
    const geom_t* c2 = list_is_shape ? &copy2.ring.geom : second;
    return guarded(0, [&] {
        LiveShape live1(c1);
        LiveShape live2(c2);
        PlaceList listed(points);
        for_each_candidate_pair(c1, segment_count(c1), c2, segment_count(c2), [&](int i, int j) {
            point_t c{};
            if (cross(&c, c1->points[i], c1->points[i + 1], c2->points[j], c2->points[j + 1]) != 0)
                return;
            listed.add_once(c);
            put(&live1, c1, i, c);
            put(&live2, c2, j, c);
        });
        live1.write_to(first);
        live2.write_to(second);
        return 0;
    });
}

}  // namespace

namespace mapgeom {

polygon_t take_front(polygons_t* list) {
    polygon_node_t* node = list->head;
    polygon_t ring = node->polygon;
    unlink(list, node);
    std::free(node);
    return ring;
}

void transform_press_ends_pressed(polygon_t* ring) {
    rewrite_press_sections(ring, SectionEnd::kPressed);
}

void transform_press_end_released(polygon_t* ring) {
    rewrite_press_sections(ring, SectionEnd::kReleased);
}

}  // namespace mapgeom

void split_polygon_by_repeat_points(polygon_t* ring, polygons_t* out, int /*flag*/) {
    if (ring == nullptr || out == nullptr)
        return;
    if (if_have_repeat_points(ring) == 0) {
        move_into_list(out, ring);
        return;
    }
    // Pieces go to the back of the work list and are cut again until none has a repeat; each cut
    // leaves both pieces with fewer edges, so this ends.
    OwnedPolygons work;
    move_into_list(&work.list, ring);
    while (work.list.num > 0) {
        OwnedRing piece(take_front(&work.list));
        OwnedPolygons cut;
        if (split_polygon(&piece.ring, &cut.list) == 0)
            com_polygons_add(out, piece.release());
        else
            cut.hand_over(&work.list);
    }
}

namespace {

// judge_curpt_pos through a locator of b, for locating many points against one b.
int curpt_pos_located(const polygon_t* a, RingLocator* in_b, point_t p) {
    int i = com_polygon_find(a, p);
    if (i < 0)
        return locate_in_ring(in_b, p, kSideTestPermit);
    return side_after_vertex(a, in_b, i);
}

}  // namespace

int judge_curpt_pos(const polygon_t* a, const polygon_t* b, point_t p) {
    RingLocator in_b(b);
    return curpt_pos_located(a, &in_b, p);
}

int judge_crosspt_polygons(const polygon_t* a, const polygon_t* b, point_t p) {
    return meeting_kind_at(a, b, p);
}

int get_outestpt_pos(const polygon_t* a, const polygon_t* b, const geom_t* points, int* used) {
    int n = com_polygon_num(a);
    RingLocator in_b(b);
    for (int i = 0; i < n; ++i) {
        if (used != nullptr && used[i] != 0)
            continue;
        point_t vertex = com_polygon_at(a, i);
        if (com_geom_find(points, vertex) != -1 && curpt_pos_located(a, &in_b, vertex) == 0)
            return i;
    }
    return -1;
}

int cur_polygon_add(polygon_t* ring, point_t p) {
    if (com_polygon_num(ring) > 0 && same_point(com_polygon_last(ring), p))
        return 1;
    com_polygon_add(ring, p);
    return 0;
}

int cur_polyline_add(polyline_t* line, point_t p) {
    if (com_polyline_num(line) > 0 && same_point(com_polyline_last(line), p))
        return 1;
    com_polyline_add(line, p);
    return 0;
}

void err_polygon_process(polygons_t* list) {
    if (list == nullptr)
        return;
    remove_nodes_where(
        list, [](polygon_node_t* node) { return is_polygon_error(&node->polygon) != 0; },
        [](polygon_node_t* node) { com_polygon_free(&node->polygon); });
}

namespace mapgeom {

void drop_flat_rings(polygons_t* list) {
    remove_nodes_where(
        list,
        [](polygon_node_t* node) {
            return com_polygon_num(&node->polygon) >= 3 &&
                   is_allpoints_at_line(&node->polygon) == 0;
        },
        [](polygon_node_t* node) { com_polygon_free(&node->polygon); });
}

}  // namespace mapgeom

void err_polyline_process(polylines_t* list) {
    if (list == nullptr)
        return;
    remove_nodes_where(
        list, [](polyline_node_t* node) { return com_polyline_num(&node->polyline) < 2; },
        [](polyline_node_t* node) { com_polyline_free(&node->polyline); });
}

int find_all_crosspts(polyline_t* line1, polyline_t* line2, geom_t* points) {
    if (line1 == nullptr || line2 == nullptr || points == nullptr)
        return 0;
    return run_crossing_finder(
        &line1->geom, &line2->geom, points,
        [](point_t* c, point_t a1, point_t a2, point_t b1, point_t b2) {
            return relation_lines_cross(c, a1, a2, b1, b2);
        },
        [](LiveShape* live, const geom_t* /*copy*/, int i, point_t c) {
            if (!live->segment_has_point(i, c))
                live->insert_on_segment(i, c, kInsertPermit);
        });
}

int find_all_polyline_crosspts(polyline_t* line, polygon_t* ring, geom_t* points) {
    if (line == nullptr || ring == nullptr || points == nullptr)
        return 0;
    return run_crossing_finder(
        &line->geom, &ring->geom, points,
        [](point_t* c, point_t a1, point_t a2, point_t b1, point_t b2) {
            return relation_lines_cross_by_permit(c, a1, a2, b1, b2, kFinderMeetPermit);
        },
        [](LiveShape* live, const geom_t* /*copy*/, int i, point_t c) {
            if (!live->segment_has_point(i, c))
                live->insert_on_segment(i, c, kPolylineRingInsertPermit);
        });
}

int find_all_polygon_crosspts(polygon_t* a, polygon_t* b, geom_t* points) {
    if (a == nullptr || b == nullptr || points == nullptr)
        return 0;
    return run_crossing_finder(
        &a->geom, &b->geom, points,
        [](point_t* c, point_t a1, point_t a2, point_t b1, point_t b2) {
            if (relation_lines_cross_by_permit(c, a1, a2, b1, b2, kFinderMeetPermit) != 0)
                return 1;
            c->z = 0.0;
            return 0;
        },
        [](LiveShape* live, const geom_t* copy, int i, point_t c) {
            put_crossing_into_ring(live, i, copy->points[i], copy->points[i + 1], c);
        });
}
