// Polygons exchanged as borders: the stretches of a ring between node points, each a polyline from
// one node to the next, so that neighbouring parcels can keep a shared edge once. Rings are cut
// into borders at their nodes and joined back end to end; the split and overlay operations take
// and return borders by joining, running the ring operation, and cutting its results again. A
// border list is only consumed once it has joined: lists that do not join into closed rings, and
// group tables that do not fit their list, are reported (-1) and left as the caller gave them.
#include <cstdlib>
#include <utility>
#include <vector>

#include "com/boundary.h"
#include "com/codes.h"
#include "com/numeric.h"
#include "com/tolerances.h"
#include "mapgeom/algebra.h"
#include "mapgeom/com.h"

namespace {

// A join that has not used up its borders after this many passes gives up. Each pass joins one
// border to the first, so only lists of more than 10,001 borders are refused for the bound alone.
constexpr int kJoinPassLimit = 10000;

// The result of a border operation whose borders do not join, or whose arguments are missing.
constexpr int kNotJoined = -1;

bool is_node(point_t p) {
    return mapgeom::truncate_to_int32(p.z / mapgeom::kNodeMarker) != 0;
}

bool same_point(point_t a, point_t b) {
    return com_points_same(a, b) == 0;
}

// Scratch records of one call that release what they still hold.
struct ScratchRing {
    polygon_t ring{};
    ScratchRing() { com_polygon_init(&ring); }
    ScratchRing(const ScratchRing&) = delete;
    ScratchRing& operator=(const ScratchRing&) = delete;
    ~ScratchRing() { com_polygon_free(&ring); }
};

struct ScratchRings {
    polygons_t list{};
    ScratchRings() { com_polygons_init(&list); }
    ScratchRings(const ScratchRings&) = delete;
    ScratchRings& operator=(const ScratchRings&) = delete;
    ~ScratchRings() { com_polygons_free(&list); }
};

// Deep copies of borders, released together.
struct BorderCopies {
    std::vector<polyline_t> lines;
    BorderCopies() = default;
    BorderCopies(const BorderCopies&) = delete;
    BorderCopies& operator=(const BorderCopies&) = delete;
    ~BorderCopies() {
        for (polyline_t& line : lines)
            com_polyline_free(&line);
    }
};

std::vector<const polyline_t*> borders_of(const polylines_t* list) {
    std::vector<const polyline_t*> borders;
    borders.reserve(list->num > 0 ? list->num : 0);
    for (const polyline_node_t* node = list->head; node != nullptr; node = node->next)
        borders.push_back(&node->polyline);
    return borders;
}

// Appends the border to the ring in place of the ring's last point, which the border's first point
// repeats.
void append_border(polygon_t* ring, const polyline_t* border) {
    com_polygon_removeat(ring, ring->geom.count - 1);
    com_polygon_add_geom(ring, &border->geom);
}

// Joins the border when one of its ends meets an end of the ring, turning the border or the ring
// so that the border continues from the ring's last point. The tests run in a fixed order:
//
//   ring  F ........ L          border  f ---- l
//   1  f = L: append              2  l = L: reverse the border, append
//   3  l = F: reverse both, append  4  f = F: reverse the ring, append
bool join_if_fits(polygon_t* ring, polyline_t* border) {
    point_t ring_first = com_polygon_front(ring), ring_last = com_polygon_last(ring);
    point_t first = com_polyline_front(border), last = com_polyline_last(border);
    if (same_point(first, ring_last)) {
    } else if (same_point(last, ring_last)) {
        com_polyline_reverse(border);
    } else if (same_point(last, ring_first)) {
        com_polyline_reverse(border);
        com_polygon_reverse(ring);
    } else if (same_point(first, ring_first)) {
        com_polygon_reverse(ring);
    } else {
        return false;
    }
    append_border(ring, border);
    return true;
}

// Both ends of every border become node points: the join ends and starts borders there, so the
// borders of the joined ring, cut again, are the ones given.
void mark_ends_as_nodes(polyline_t* border) {
    geom_t* g = &border->geom;
    if (g->points[0].z < mapgeom::kNodeMarker)
        g->points[0].z += mapgeom::kNodeMarker;
    if (g->points[g->count - 1].z < mapgeom::kNodeMarker)
        g->points[g->count - 1].z += mapgeom::kNodeMarker;
}

bool closes(const polygon_t* ring) {
    return ring->geom.count >= 2 && same_point(com_polygon_front(ring), com_polygon_last(ring));
}

// Joins the borders (not changed) end to end into `ring`, which is empty on entry. Each pass joins
// the first remaining border, in list order, that fits an end of the ring. True when every border
// joined and the ring closed; otherwise `ring` holds whatever part was joined.
bool join_borders(const std::vector<const polyline_t*>& borders, polygon_t* ring) {
    if (borders.empty())
        return false;
    BorderCopies copies;
    copies.lines.reserve(borders.size());
    for (const polyline_t* border : borders) {
        if (border->geom.count < 1)
            return false;  // a border without points has no ends to join at
        copies.lines.push_back(polyline_t{});
        com_polyline_polyline(&copies.lines.back(), border);
    }
    if (copies.lines.size() == 1) {
        com_polygon_add_geom(ring, &copies.lines[0].geom);
        return closes(ring);
    }
    for (polyline_t& line : copies.lines)
        mark_ends_as_nodes(&line);

    com_polygon_add_geom(ring, &copies.lines[0].geom);
    std::vector<bool> joined(copies.lines.size(), false);
    joined[0] = true;
    size_t left = copies.lines.size() - 1;
    for (int pass = 0; pass < kJoinPassLimit && left > 0; ++pass) {
        bool found = false;
        for (size_t i = 1; i < copies.lines.size() && !found; ++i) {
            if (!joined[i] && join_if_fits(ring, &copies.lines[i])) {
                joined[i] = true;
                found = true;
                --left;
            }
        }
        if (!found)
            break;  // later passes would see the same ring ends and the same borders
    }
    return left == 0 && closes(ring);
}

// The index ranges [begin, end) of the groups of a grouped border list. A list without a table (or
// with an empty one) is one group. False when the table does not fit the list: entries read past
// its storage, go backwards, or run past the list's end.
bool group_ranges(const polylines_t* list, std::vector<std::pair<int, int>>* ranges) {
    int groups = list->polygon_rec_num;
    if (list->polygon_rec == nullptr || groups <= 0) {
        ranges->push_back({0, list->num});
        return true;
    }
    if (groups >= list->polygon_rec_capacity)
        return false;
    const int* rec = list->polygon_rec;
    if (rec[0] < 0)
        return false;
    for (int k = 1; k <= groups; ++k) {
        if (rec[k] < rec[k - 1] || rec[k] > list->num)
            return false;
        ranges->push_back({rec[k - 1], rec[k]});
    }
    return true;
}

// Joins each group of a grouped border list into a ring appended to `out`, in group order. On
// success the list is released and 0 returned. At the first group that does not join, -1 is
// returned: the groups joined before it stay in `out`, and the list is left as it was.
int convert_polylines_to_polygons(polylines_t* grouped_borders, polygons_t* out) {
    std::vector<std::pair<int, int>> ranges;
    if (!group_ranges(grouped_borders, &ranges))
        return kNotJoined;
    std::vector<const polyline_t*> borders = borders_of(grouped_borders);
    for (const std::pair<int, int>& range : ranges) {
        std::vector<const polyline_t*> group(borders.begin() + range.first,
                                             borders.begin() + range.second);
        ScratchRing ring;
        if (!join_borders(group, &ring.ring))
            return kNotJoined;
        com_polygons_add_copy(out, ring.ring);
    }
    com_polylines_free(grouped_borders);
    return 0;
}

// Starts a new grouping table for `out`, releasing the old one. Entry 0 is the number of borders
// the list holds already (0 for an empty list), so that group 1 holds only what follows.
void start_groups(polylines_t* out) {
    if (out->polygon_rec_capacity != 0)
        std::free(out->polygon_rec);
    out->polygon_rec = nullptr;
    out->polygon_rec_capacity = 0;
    out->polygon_rec_num = 0;
    com_polylines_init_polygon_rec(out);
    out->polygon_rec[0] = out->num;
}

// Appends the borders of every piece to `out`, one group per piece in order.
void append_pieces_as_borders(const polygons_t* pieces, polylines_t* out) {
    start_groups(out);
    int group = 0;
    for (polygon_node_t* node = pieces->head; node != nullptr; node = node->next) {
        algebra_convert_polygon_to_borders(&node->polygon, out);
        com_polylines_add_int(out, ++group, out->num);
    }
}

// The two-polygon operations on borders: A's and B's borders are joined (both must join before
// either list is touched), the overlay runs on the rings, A's and B's lists are refilled with the
// borders of the rings as the overlay left them, and the result pieces go to `out` by group.
int overlay_by_borders(int (*overlay)(polygon_t*, polygon_t*, polygons_t*), polylines_t* a,
                       polylines_t* b, polylines_t* out) {
    if (a == nullptr || b == nullptr || out == nullptr)
        return kNotJoined;
    ScratchRing ring_a, ring_b;
    if (!join_borders(borders_of(a), &ring_a.ring) || !join_borders(borders_of(b), &ring_b.ring))
        return kNotJoined;
    ScratchRings pieces;
    int code = overlay(&ring_a.ring, &ring_b.ring, &pieces.list);
    com_polylines_free(a);
    com_polylines_free(b);
    algebra_convert_polygon_to_borders(&ring_a.ring, a);
    algebra_convert_polygon_to_borders(&ring_b.ring, b);
    append_pieces_as_borders(&pieces.list, out);
    return code;
}

}  // namespace

void algebra_convert_polygon_to_borders(polygon_t* polygon, polylines_t* borders) {
    if (polygon == nullptr || borders == nullptr)
        return;
    int n = polygon->geom.count - 1;  // distinct vertices of the closed ring
    if (n < 1)
        return;
    const point_t* v = polygon->geom.points;
    int start = 0;
    while (start < n && !is_node(v[start]))
        ++start;
    if (start == n)
        start = 0;

    polyline_t open{};
    com_polyline_init(&open);
    com_polyline_add(&open, v[start]);
    int index = start;
    for (int step = 0; step < n; ++step) {
        index = (index + 1) % n;
        com_polyline_add(&open, v[index]);
        if (is_node(v[index])) {
            com_polylines_add(borders, open);
            open = polyline_t{};
            com_polyline_init(&open);
            com_polyline_add(&open, v[index]);
        }
    }
    // Back at the start: a node there closed the last border already, and the open one holds only
    // that node; without nodes the open border is the whole ring.
    if (is_node(v[index]))
        com_polyline_free(&open);
    else
        com_polylines_add(borders, open);
}

int algebra_convert_borders_to_polygon(polylines_t* borders, polygon_t* polygon) {
    return mapgeom::guarded(kNotJoined, [&] {
        if (borders == nullptr || polygon == nullptr)
            return kNotJoined;
        ScratchRing ring;
        if (!join_borders(borders_of(borders), &ring.ring))
            return kNotJoined;
        com_polygon_add_geom(polygon, &ring.ring.geom);
        com_polylines_free(borders);
        return 0;
    });
}

int algebra_polygons_split_by_borders(polylines_t* borders, polyline_t* line, polylines_t* out) {
    return mapgeom::guarded(kNotJoined, [&] {
        if (borders == nullptr || line == nullptr || out == nullptr)
            return kNotJoined;
        ScratchRing ring;
        if (!join_borders(borders_of(borders), &ring.ring))
            return kNotJoined;
        com_polylines_free(borders);
        ScratchRings pieces;
        int code = split_polygon_by_polyline(&ring.ring, line, &pieces.list);
        if (com_polygons_num(&pieces.list) == 0)
            com_polygons_add_copy(&pieces.list, ring.ring);  // uncut: the polygon is the one piece
        append_pieces_as_borders(&pieces.list, out);
        return code;
    });
}

int algebra_polygons_holes_by_borders(polylines_t* borders, polylines_t* out) {
    return mapgeom::guarded(kNotJoined, [&] {
        if (borders == nullptr || out == nullptr)
            return kNotJoined;
        ScratchRings rings;
        if (convert_polylines_to_polygons(borders, &rings.list) != 0)
            return kNotJoined;
        ScratchRings pieces;
        int code = split_polygons_by_holes(&rings.list, &pieces.list);
        append_pieces_as_borders(&pieces.list, out);
        return code;
    });
}

int algebra_polygons_union_by_borders(polylines_t* a, polylines_t* b, polylines_t* out) {
    return mapgeom::guarded(kNotJoined,
                            [&] { return overlay_by_borders(algebra_polygons_union, a, b, out); });
}

int algebra_polygons_diffence_by_borders(polylines_t* a, polylines_t* b, polylines_t* out) {
    return mapgeom::guarded(
        kNotJoined, [&] { return overlay_by_borders(algebra_polygons_diffence, a, b, out); });
}

int algebra_polygons_intersec_by_borders(polylines_t* a, polylines_t* b, polylines_t* out) {
    return mapgeom::guarded(
        kNotJoined, [&] { return overlay_by_borders(algebra_polygons_intersec, a, b, out); });
}

int judge_border_same(polyline_t* a, polyline_t* b) {
    if (a == nullptr || b == nullptr || a->geom.count != b->geom.count)
        return 1;
    const int n = a->geom.count;
    const point_t *p = a->geom.points, *q = b->geom.points;
    auto matches = [&](bool reversed) {
        for (int i = 0; i < n; ++i)
            if (com_points_same_permit(p[i], q[reversed ? n - 1 - i : i],
                                       mapgeom::kClosureTolerance) != 0)
                return false;
        return true;
    };
    return matches(false) || matches(true) ? 0 : 1;
}
