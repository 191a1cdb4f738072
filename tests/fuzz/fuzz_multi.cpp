// Fuzz target: hole cutting, the union of polygon lists, the overlays on borders and the graphic
// and spike reductions, chosen by the first byte. Each branch checks what its contract promises:
// pieces of a hole cut are valid counter-clockwise rings covering the outer ring less its holes;
// a list union covers the inputs' union (checked against an independent area computation) and no
// more than its filled outline; an overlay on borders gives the rings the overlay on the joined
// rings gives, with the same code; a reduction returns input points in order, first and last and
// press-coded ones kept, never more than given, and both triangle guards agree.
#include <cstddef>
#include <cstdint>

#include "com/codes.h"
#include "fuzz_support.h"
#include "mapgeom/algebra.h"
#include "mapgeom/optimize.h"
#include "optimize/optimize_internal.h"

namespace {

using namespace fuzzing;

double area_of(const std::vector<Xy>& ring) {
    return std::fabs(signed_area(closed(ring)));
}

// Up to `max_rings` rings after a count byte; `checked` tells whether every ring is a valid ring
// with small whole coordinates.
std::vector<std::vector<Xy>> ring_list(Bytes& in, int max_rings, int max_points, bool* checked) {
    int n = 1 + in.u8() % max_rings;
    std::vector<std::vector<Xy>> rings;
    *checked = true;
    for (int k = 0; k < n && !in.empty(); ++k) {
        Scale s;
        rings.push_back(points(in, max_points, &s));
        *checked =
            *checked && whole_and_small(s) && rings.back().size() >= 3 && valid_ring(rings.back());
    }
    *checked = *checked && !rings.empty();
    return rings;
}

void fill(polygons_t* list, const std::vector<std::vector<Xy>>& rings) {
    for (const auto& r : rings) {
        testing_shapes::Polygon p(r);
        com_polygons_add_copy(list, *p.get());
    }
}

std::string text_of_list(const std::vector<std::vector<Xy>>& rings) {
    std::string t;
    for (const auto& r : rings)
        t += testing_shapes::text_of(closed(r)) + "\n";
    return t;
}

// ---------------------------------------------------------------------------------------------------
// Independent areas of a list of rings: covered by any (odd winding of some ring), and filled (the
// covered area plus the holes it encloses). Vertical slabs as in fuzz_support.h; within a slab
// the gaps between covered stretches are cells, and cells of neighbouring slabs whose sides
// overlap on the shared abscissa are connected; holes are the cells not connected to the outside.

struct UnionAreas {
    double covered = 0.0;
    double holes = 0.0;
};

struct Cell {
    double lo_a, hi_a, lo_b, hi_b;  // the gap's lower and upper ends at the slab's two sides
    double area;
    bool outside;  // unbounded (below all, above all, or in a slab without edges)
};

int find_root(std::vector<int>& parent, int k) {
    while (parent[k] != k)
        k = parent[k] = parent[parent[k]];
    return k;
}

UnionAreas union_areas(const std::vector<std::vector<Xy>>& rings) {
    std::vector<Edge> edges;
    for (size_t g = 0; g < rings.size(); ++g)
        add_ring_edges(closed(rings[g]), static_cast<int>(g), &edges);
    std::vector<double> xs = strip_bounds(edges);
    UnionAreas result;
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<Cell> cells;
    std::vector<std::pair<int, int>> slab_cells;  // [first, end) per slab
    std::vector<std::pair<double, const Edge*>> stack;
    for (size_t s = 0; s + 1 < xs.size(); ++s) {
        double xa = xs[s], xb = xs[s + 1];
        edges_across_strip(edges, xa, xb, &stack);
        std::vector<char> in(rings.size(), 0);
        int inside_count = 0;
        int first = static_cast<int>(cells.size());
        // The gap below everything starts at -inf.
        double gap_lo_a = -inf, gap_lo_b = -inf;
        bool in_gap = true;
        for (size_t k = 0; k < stack.size(); ++k) {
            const Edge& e = *stack[k].second;
            inside_count += in[e.group] ? -1 : 1;
            in[e.group] = !in[e.group];
            bool covered_above = inside_count > 0;
            if (in_gap && covered_above) {
                Cell c{gap_lo_a, y_at(e, xa), gap_lo_b, y_at(e, xb), 0.0, gap_lo_a == -inf};
                if (!c.outside)
                    c.area = 0.5 * ((c.hi_a - c.lo_a) + (c.hi_b - c.lo_b)) * (xb - xa);
                cells.push_back(c);
                in_gap = false;
            } else if (!in_gap && !covered_above) {
                gap_lo_a = y_at(e, xa);
                gap_lo_b = y_at(e, xb);
                in_gap = true;
            }
            if (covered_above && k + 1 < stack.size()) {
                const Edge& hi = *stack[k + 1].second;
                result.covered +=
                    0.5 * ((y_at(hi, xa) - y_at(e, xa)) + (y_at(hi, xb) - y_at(e, xb))) * (xb - xa);
            }
        }
        cells.push_back(Cell{gap_lo_a, inf, gap_lo_b, inf, 0.0, true});
        slab_cells.push_back({first, static_cast<int>(cells.size())});
    }
    std::vector<int> parent(cells.size() + 1);
    for (size_t k = 0; k < parent.size(); ++k)
        parent[k] = static_cast<int>(k);
    const int outside = static_cast<int>(cells.size());
    for (size_t k = 0; k < cells.size(); ++k)
        if (cells[k].outside)
            parent[find_root(parent, static_cast<int>(k))] = find_root(parent, outside);
    for (size_t s = 0; s + 1 < slab_cells.size(); ++s)
        for (int i = slab_cells[s].first; i < slab_cells[s].second; ++i)
            for (int j = slab_cells[s + 1].first; j < slab_cells[s + 1].second; ++j) {
                double lo = std::max(cells[i].lo_b, cells[j].lo_a);
                double hi = std::min(cells[i].hi_b, cells[j].hi_a);
                if (lo < hi)
                    parent[find_root(parent, i)] = find_root(parent, j);
            }
    // The first and last slabs border the outside on their far sides, but only through a gap of
    // some height there: a hole pinched to a point at the leftmost or rightmost vertex (a ring
    // touching the outline from inside there) is closed on that side, as it is between slabs.
    if (!slab_cells.empty()) {
        for (int i = slab_cells.front().first; i < slab_cells.front().second; ++i)
            if (cells[i].lo_a < cells[i].hi_a)
                parent[find_root(parent, i)] = find_root(parent, outside);
        for (int i = slab_cells.back().first; i < slab_cells.back().second; ++i)
            if (cells[i].lo_b < cells[i].hi_b)
                parent[find_root(parent, i)] = find_root(parent, outside);
    }
    for (size_t k = 0; k < cells.size(); ++k)
        if (find_root(parent, static_cast<int>(k)) != find_root(parent, outside))
            result.holes += cells[k].area;
    return result;
}

// ---------------------------------------------------------------------------------------------------
// Hole cutting.

void check_holes(Bytes& in) {
    bool checked = false;
    std::vector<std::vector<Xy>> rings = ring_list(in, 5, 24, &checked);
    testing_shapes::Polygons list, out;
    fill(list.get(), rings);
    split_polygons_by_holes(list.get(), out.get());
    if (!checked || rings.size() < 2)
        return;
    // Holes strictly inside the outer ring and apart from each other, without contact.
    testing_shapes::Polygon outer(rings[0]);
    double want = area_of(rings[0]);
    for (size_t i = 1; i < rings.size(); ++i) {
        testing_shapes::Polygon hole(rings[i]);
        if (relation_polygon_and_polygon(hole.get(), outer.get()) != 1)
            return;
        for (size_t j = 1; j < i; ++j) {
            testing_shapes::Polygon other(rings[j]);
            if (relation_polygon_and_polygon(hole.get(), other.get()) != 3)
                return;
        }
        want -= area_of(rings[i]);
    }
    auto pieces = rings_of(out.get());
    std::string detail = "holes\nin:\n" + text_of_list(rings) + "out: " + text_of(pieces);
    check(testing_shapes::faulty_rings(out.get(), true).empty(),
          "hole-cut piece not valid or clockwise",
          detail + "\n" + testing_shapes::faulty_rings(out.get(), true));
    double got = signed_area_sum(pieces);
    check(std::fabs(got - want) <= 1e-6 * (1.0 + want),
          "pieces cover " + std::to_string(got) + " instead of " + std::to_string(want), detail);
}

// The plain pieces of a list union that are not valid counter-clockwise rings. The flatness test
// of the validity check reads the line through a ring's first two points only, so a sliver valid as
// given can read as flat once the delivery has turned it counter-clockwise: a piece found flat is
// accepted when it is valid the other way round.
std::string faulty_pieces(const polygons_t* list) {
    constexpr int kAllOnOneLine = 5;
    std::string faulty;
    for (int k = 0; k < com_polygons_num(list); ++k) {
        const polygon_t* ring = com_polygons_at_pointer(list, k);
        int code = relation_polygon_iserror(ring);
        if (code == kAllOnOneLine) {
            testing_shapes::StoredPolygon reversed;
            for (int i = ring->geom.count - 1; i >= 0; --i)
                com_polygon_add(reversed.get(), ring->geom.points[i]);
            code = relation_polygon_iserror(reversed.get());
        }
        if (code != 0 || relation_polygon_direction(ring) != 0)
            faulty += "[" + std::to_string(code) + "] " + text_of(&ring->geom) + "\n";
    }
    return faulty;
}

// ---------------------------------------------------------------------------------------------------
// Union of polygon lists.

struct Record {
    std::vector<Xy> outer;
    std::vector<std::vector<Xy>> holes;
};

bool records_overlap_free(const std::vector<Record>& records) {
    for (size_t i = 0; i < records.size(); ++i)
        for (size_t j = i + 1; j < records.size(); ++j) {
            testing_shapes::Polygon a(records[i].outer), b(records[j].outer);
            int code = relation_polygon_and_polygon(a.get(), b.get());
            if (code != 3 && code != 6 && code != 9)
                return false;
        }
    return true;
}

std::string text_of_records(const std::vector<Record>& records) {
    std::string t;
    for (const Record& r : records)
        t += testing_shapes::text_of(r.outer) + (r.holes.empty() ? "" : " holes ") +
             text_of(r.holes) + "\n";
    return t;
}

void check_multi_union(Bytes& in) {
    bool checked = false;
    std::vector<std::vector<Xy>> rings = ring_list(in, 5, 20, &checked);
    testing_shapes::Polygons list, plain;
    fill(list.get(), rings);
    polygons_expand_t records_list{};
    com_polygons_expand_init(&records_list);
    int code = multi_polygons_union(list.get(), &records_list);
    int plain_code = algebra_multi_polygons_union(list.get(), plain.get());
    std::vector<Record> records;
    std::string faulty;
    for (const polygon_expand_node_t* n = records_list.head; n != nullptr; n = n->next) {
        const polygon_expand_t& r = n->polygon_expand;
        records.push_back({ring_of(&r.polygon), rings_of(&r.holes)});
        if (relation_polygon_iserror(&r.polygon) != 0)
            faulty += "outer " + testing_shapes::text_of(records.back().outer) + "\n";
        faulty += testing_shapes::faulty_rings(&r.holes);
    }
    com_polygons_expand_free(&records_list);
    if (!checked)
        return;
    double covered = 0.0, inputs = 0.0, largest = 0.0;
    std::vector<std::vector<Xy>> results;
    for (const Record& r : records) {
        covered += std::fabs(signed_area(r.outer));
        results.push_back(r.outer);
        for (const auto& h : r.holes) {
            covered -= std::fabs(signed_area(h));
            results.push_back(h);
        }
    }
    std::vector<std::vector<Xy>> closed_rings;
    for (const auto& r : rings) {
        closed_rings.push_back(closed(r));
        inputs += area_of(r);
        largest = std::max(largest, area_of(r));
    }
    auto pieces = rings_of(plain.get());
    std::string detail = "multi union code " + std::to_string(code) + "\nin:\n" +
                         text_of_list(rings) + "records:\n" + text_of_records(records) +
                         "plain pieces: " + text_of(pieces);
    check(code == 0 && plain_code == 0, "multi union did not return 0", detail);
    check(faulty.empty(), "multi union ring not valid", detail + "\n" + faulty);
    check(faulty_pieces(plain.get()).empty(), "multi union piece not valid or clockwise", detail);
    // Chained unions snap again what earlier unions snapped: allow the bound once per input.
    double bound =
        static_cast<double>(rings.size()) * snapping_bound(closed_rings, results) + 1e-6 * inputs;
    UnionAreas want = union_areas(rings);
    check(covered >= want.covered - bound && covered >= largest - bound,
          "multi union covers " + std::to_string(covered) + ", less than the union's " +
              std::to_string(want.covered) + " (bound " + std::to_string(bound) + ")",
          detail);
    if (records_overlap_free(records))
        check(covered <= want.covered + want.holes + bound,
              "multi union covers " + std::to_string(covered) + ", more than the filled union's " +
                  std::to_string(want.covered + want.holes) + " (bound " + std::to_string(bound) +
                  ")",
              detail);
    // The records' outer rings are snapped to whole units on delivery, the plain pieces are not:
    // a piece's point off the whole units moves by under a unit there, sweeping at most half its
    // two edges.
    double unsnapped = 1e-6 * (1.0 + covered);
    for (const auto& r : pieces)
        for (size_t k = 0; k + 1 < r.size(); ++k) {
            if (r[k].x == std::round(r[k].x) && r[k].y == std::round(r[k].y))
                continue;
            const Xy& u = r[k == 0 ? r.size() - 2 : k - 1];
            const Xy& w = r[k + 1];
            unsnapped += 0.5 * (std::hypot(u.x - r[k].x, u.y - r[k].y) +
                                std::hypot(w.x - r[k].x, w.y - r[k].y));
        }
    double plain_area = signed_area_sum(pieces);
    check(std::fabs(plain_area - covered) <= unsnapped,
          "plain pieces cover " + std::to_string(plain_area) + ", the records " +
              std::to_string(covered),
          detail);
    // Rings pairwise apart by more than a unit (boxes apart) stay as they are.
    bool apart = true;
    for (size_t i = 0; i < rings.size() && apart; ++i)
        for (size_t j = i + 1; j < rings.size() && apart; ++j) {
            auto box = [](const std::vector<Xy>& r, int axis, bool high) {
                double v = high ? -1e300 : 1e300;
                for (const Xy& p : r)
                    v = high ? std::max(v, axis ? p.y : p.x) : std::min(v, axis ? p.y : p.x);
                return v;
            };
            bool sep = false;
            for (int axis : {0, 1})
                sep = sep || box(rings[i], axis, false) > box(rings[j], axis, true) + 1.0 ||
                      box(rings[j], axis, false) > box(rings[i], axis, true) + 1.0;
            apart = sep;
        }
    if (apart)
        check(records.size() == rings.size() && std::fabs(covered - inputs) <= 1e-6 * inputs,
              "rings apart did not come out as they went in", detail);
}

// ---------------------------------------------------------------------------------------------------
// Overlays on borders against the overlays on rings.

std::vector<Xy> with_nodes(std::vector<Xy> ring, uint8_t mask) {
    for (size_t k = 0; k < ring.size(); ++k)
        if ((mask >> (k % 8)) & 1)
            ring[k].z = mapgeom::kNodeMarker;
    return ring;
}

// The rings of the groups of a border list, each joined back; a ring that does not join is empty.
std::vector<std::vector<Xy>> group_rings(const polylines_t* list) {
    std::vector<std::vector<Xy>> rings;
    const polyline_node_t* node = list->head;
    int at = 0;
    for (int k = 1; k <= list->polygon_rec_num && list->polygon_rec != nullptr; ++k) {
        testing_shapes::Polylines part;
        for (; node != nullptr && at < list->polygon_rec[k]; node = node->next, ++at)
            if (at >= list->polygon_rec[k - 1])
                com_polylines_add_copy(part.get(), node->polyline);
        testing_shapes::Polygon ring;
        if (algebra_convert_borders_to_polygon(part.get(), ring.get()) == 0)
            rings.push_back(ring_of(ring.get()));
        else
            rings.push_back({});
    }
    return rings;
}

// A ring as its sorted vertices (closing point left out): the same ring from any start vertex.
std::vector<std::pair<double, double>> vertex_set(const std::vector<Xy>& ring) {
    std::vector<std::pair<double, double>> v;
    for (size_t k = 0; k + 1 < ring.size(); ++k)
        v.push_back({ring[k].x, ring[k].y});
    std::sort(v.begin(), v.end());
    return v;
}

constexpr int kComparedRings = 64;

void check_borders(Bytes& in) {
    int op = in.u8() % 3;
    Scale sa, sb;
    std::vector<Xy> a = points(in, 40, &sa);
    a = with_nodes(a, in.u8());
    std::vector<Xy> b = points(in, 40, &sb);
    b = with_nodes(b, in.u8());
    bool checked = whole_and_small(sa) && whole_and_small(sb) && a.size() >= 3 && b.size() >= 3 &&
                   valid_ring(a) && valid_ring(b);
    testing_shapes::Polygon ring_a(a), ring_b(b);
    testing_shapes::Polylines la, lb, out;
    algebra_convert_polygon_to_borders(ring_a.get(), la.get());
    algebra_convert_polygon_to_borders(ring_b.get(), lb.get());
    // The rings the overlay on borders works on: the borders joined back.
    testing_shapes::Polylines ja, jb;
    for (int i = 0; i < la.size(); ++i)
        com_polylines_add_copy(ja.get(), com_polylines_at(la.get(), i));
    for (int i = 0; i < lb.size(); ++i)
        com_polylines_add_copy(jb.get(), com_polylines_at(lb.get(), i));
    testing_shapes::Polygon joined_a, joined_b;
    int join_a = algebra_convert_borders_to_polygon(ja.get(), joined_a.get());
    int join_b = algebra_convert_borders_to_polygon(jb.get(), joined_b.get());
    int code = op == 0   ? algebra_polygons_union_by_borders(la.get(), lb.get(), out.get())
               : op == 1 ? algebra_polygons_diffence_by_borders(la.get(), lb.get(), out.get())
                         : algebra_polygons_intersec_by_borders(la.get(), lb.get(), out.get());
    if (join_a != 0 || join_b != 0) {
        check(code == -1, "borders that do not join were overlaid", "");
        return;
    }
    testing_shapes::Polygons rings_out;
    int ring_code =
        op == 0   ? algebra_polygons_union(joined_a.get(), joined_b.get(), rings_out.get())
        : op == 1 ? algebra_polygons_diffence(joined_a.get(), joined_b.get(), rings_out.get())
                  : algebra_polygons_intersec(joined_a.get(), joined_b.get(), rings_out.get());
    // A walk led astray by a faulty ring can append thousands of rings (within its step bound):
    // their counts are compared, the rings themselves only when there are a few.
    if (code != ring_code || out.get()->polygon_rec_num != rings_out.size())
        fail("overlay on borders gives another code or ring count",
             "codes " + std::to_string(code) + ", " + std::to_string(ring_code) + "\nA: " +
                 testing_shapes::text_of(closed(a)) + "\nB: " + testing_shapes::text_of(closed(b)));
    if (rings_out.size() > kComparedRings)
        return;
    auto by_borders = group_rings(out.get());
    auto by_rings = rings_of(rings_out.get());
    // Built only on a failure: raw coordinates print slowly.
    auto detail = [&] {
        return "overlay " + std::to_string(op) + " on borders code " + std::to_string(code) +
               ", on rings " + std::to_string(ring_code) +
               "\nA: " + testing_shapes::text_of(closed(a)) +
               "\nB: " + testing_shapes::text_of(closed(b)) +
               "\nby borders: " + text_of(by_borders) + "\nby rings: " + text_of(by_rings);
    };
    if (!checked)
        return;  // raw coordinates (NaN among them) need not compare
    std::vector<std::vector<std::pair<double, double>>> sa_set, sb_set;
    for (const auto& r : by_borders)
        sa_set.push_back(vertex_set(r));
    for (const auto& r : by_rings)
        sb_set.push_back(vertex_set(r));
    std::sort(sa_set.begin(), sa_set.end());
    std::sort(sb_set.begin(), sb_set.end());
    if (sa_set != sb_set)
        fail("overlay on borders gives other rings", detail());
    for (size_t k = 0; k < by_borders.size(); ++k) {
        double x = 0.0, y = 0.0;
        for (const auto& r : by_rings)
            if (vertex_set(r) == vertex_set(by_borders[k]))
                x = signed_area(r), y = signed_area(by_borders[k]);
        if (!(std::fabs(x - y) <= 1e-9 * (1.0 + std::fabs(x))))
            fail("a ring on borders runs the other way", detail());
    }
}

// ---------------------------------------------------------------------------------------------------
// Reductions.

// Whether `out` is a subsequence of `in`.
bool in_order(const std::vector<Xy>& out, const std::vector<Xy>& in) {
    size_t k = 0;
    for (const Xy& p : out) {
        while (k < in.size() && !same_xy(in[k], p))
            ++k;
        if (k == in.size())
            return false;
        ++k;
    }
    return true;
}

std::vector<Xy> truncated(std::vector<Xy> pts) {
    for (Xy& p : pts)
        p = Xy{std::trunc(p.x), std::trunc(p.y), p.z};
    return pts;
}

void check_polygon_reduction(Bytes& in) {
    Scale s;
    std::vector<Xy> ring = points(in, 60, &s);
    // Press sections and node markers on some vertices; a wide scale so the default thresholds
    // (lengths of 310, areas of 14000) keep some vertices and drop others.
    uint8_t mask = in.u8(), kind = in.u8();
    double scale = 1 + (in.u8() % 8) * 40;
    for (size_t k = 0; k < ring.size(); ++k) {
        ring[k].x *= scale;
        ring[k].y *= scale;
        if ((mask >> (k % 8)) & 1)
            ring[k].z = (kind & 3) == 0 ? 1 : (kind & 3) == 1 ? 2 + (k & 1) : mapgeom::kNodeMarker;
    }
    tag_polygon_param_t param;
    bool defaults = in.u8() % 2 == 0;
    if (!defaults) {
        param.min_angle = in.u8() % 90;
        param.max_angle = 90 + in.u8() % 91;
        param.min_length = in.u8() * scale / 16;
        param.min_height = in.u8() * scale / 64;
        param.min_area = in.u8() * scale * scale / 16;
        param.keep_arm_length = in.u8() * scale / 4;
    }
    testing_shapes::StoredPolygon input(ring);
    testing_shapes::Polygon out, plain_out;
    int code = defaults ? reduc_polygon_by_defult(input.get(), out.get())
                        : reduc_polygon(input.get(), out.get(), &param);
    if (defaults)
        param = tag_polygon_param_t{0.01, 61, 180, 310, 50, 14000, 2000};
    int plain_code = mapgeom::reduce_polygon_with(input.get(), plain_out.get(), param,
                                                  mapgeom::TriangleGuard::kPlainScan);
    if (!whole_and_small(s) || ring.empty())
        return;
    std::vector<Xy> got = ring_of(out.get());
    std::vector<Xy> all = truncated(ring);
    if (!same_xy(all.front(), all.back()))
        all.push_back(all.front());
    std::string detail = "ring reduction code " + std::to_string(code) +
                         "\nin: " + testing_shapes::text_of(ring) +
                         "\nout: " + testing_shapes::text_of(got) +
                         "\nplain scan: " + testing_shapes::text_of(ring_of(plain_out.get()));
    check(code == plain_code &&
              testing_shapes::text_of(got) == testing_shapes::text_of(ring_of(plain_out.get())),
          "the triangle guards disagree", detail);
    check(got.size() <= all.size(), "reduction gave more points than it was given", detail);
    check(in_order(got, all), "reduced points are not input points in order", detail);
    if (code != 0)
        return;
    check(got.size() >= 4 && same_xy(got.front(), all.front()) && same_xy(got.back(), all.back()),
          "reduced ring lost its first point or is not closed", detail);
    for (const Xy& p : truncated(ring)) {
        if (p.z == 0)
            continue;
        bool kept = false;
        for (const Xy& q : got)
            kept = kept || same_xy(p, q);
        check(kept, "a press-coded point was dropped", detail);
    }
}

void check_line_reduction(Bytes& in) {
    Scale s;
    std::vector<Xy> line = points(in, 60, &s);
    int which = in.u8() % 4;
    double scale = 1 + (in.u8() % 8) * 40;
    for (Xy& p : line)
        p = Xy{p.x * scale, p.y * scale, static_cast<double>(in.u8() % 3)};
    testing_shapes::Polyline input(line);
    testing_shapes::Polyline out;
    int code = 0, n = 0;
    if (which == 0) {
        code = reduc_polyline_by_defult(input.get(), out.get());
    } else if (which == 1) {
        tag_polyline_param_t param;
        param.min_angle = in.u8() % 90;
        param.max_angle = 90 + in.u8() % 91;
        param.min_length = in.u8() * scale / 16;
        param.min_height = in.u8() * scale / 64;
        code = reduc_polyline(input.get(), out.get(), &param);
    } else if (which == 2) {
        n = static_cast<int8_t>(in.u8());
        code = optimize_polyline_reduc(input.get(), out.get(), n);
    } else {
        testing_shapes::Polygon ring(line);
        std::vector<Xy> before = ring_of(ring.get());
        optimize_polygon_reduc(ring.get());
        std::vector<Xy> after = ring_of(ring.get());
        if (!whole_and_small(s))
            return;
        std::string detail = "spike removal\nin: " + testing_shapes::text_of(before) +
                             "\nout: " + testing_shapes::text_of(after);
        check(after.size() <= before.size(), "spike removal added points", detail);
        for (const Xy& p : after) {
            bool found = false;
            for (const Xy& q : before)
                found = found || same_xy(p, q);
            check(found, "spike removal made a point", detail);
        }
        return;
    }
    if (!whole_and_small(s))
        return;
    std::vector<Xy> got = testing_shapes::points_of(&out.get()->geom);
    std::vector<Xy> all = which == 2 ? line : truncated(line);
    std::string detail = "line reduction " + std::to_string(which) + " n " + std::to_string(n) +
                         " code " + std::to_string(code) +
                         "\nin: " + testing_shapes::text_of(line) +
                         "\nout: " + testing_shapes::text_of(got);
    check(got.size() <= all.size(), "reduction gave more points than it was given", detail);
    check(in_order(got, all), "reduced points are not input points in order", detail);
    if (which == 2) {
        if (n >= static_cast<int>(line.size()))
            check(got.size() == line.size(), "a reduction to n points dropped points", detail);
        if (!line.empty() && !got.empty())
            check(same_xy(got.front(), line.front()), "reduction lost the first point", detail);
        return;
    }
    if (line.size() < 2) {
        check(code == 8 && got.empty(), "a line of fewer than 2 points was reduced", detail);
        return;
    }
    check(code == 0 && got.size() >= 1 && same_xy(got.back(), all.back()) &&
              same_xy(got.front(), all.front()),
          "reduced line lost its first or last point", detail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static void (*const checks[])(Bytes&) = {check_holes, check_multi_union, check_borders,
                                             check_polygon_reduction, check_line_reduction};
    return run_one_of(checks, data, size);
}
