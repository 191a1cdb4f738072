// Scan-beam skeleton: vertical scan lines through every vertex x (and midway in every gap wider
// than 1 unit) cut the polygon into cross-sections; the midpoints of the sections, chained from one
// scan line to the next, are the centre lines. Branches open where a section splits (a notch
// reaching in from the right) and close where sections end or merge.
//
// Work grows with the vertices and the (edge, scan line) crossings, not with the polygon's size in
// units: scan positions come only from vertex x values. All geometry is in whole units.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/numeric.h"
#include "com/tolerances.h"
#include "java/java_internal.h"
#include "mapgeom/algebra.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "mapgeom/skeleton.h"
#include "skeleton_internal.h"

namespace mapgeom {

namespace {

static_assert(sizeof(tag_framework_t) == 32 &&
              sizeof(tag_framework_t) == sizeof(tag_line_reduce_out_t));
static_assert(offsetof(tag_framework_t, point_num) == offsetof(tag_line_reduce_out_t, point_num) &&
              offsetof(tag_framework_t, part_num) == offsetof(tag_line_reduce_out_t, part_num) &&
              offsetof(tag_framework_t, part_points) ==
                  offsetof(tag_line_reduce_out_t, part_points) &&
              offsetof(tag_framework_t, x) == offsetof(tag_line_reduce_out_t, x) &&
              offsetof(tag_framework_t, y) == offsetof(tag_line_reduce_out_t, y));

// Length of the record's arrays after com_framework_init, and where the writers' trackers start.
constexpr int kInitialCapacity = 512;

// How far below the vertex the reference point of a turning code lies: far enough that the angle
// to it stands for the downward vertical.
constexpr double kReferenceDepth = 100000000.0;

// Side of a point relative to scan x (PointAtScanBeam).
constexpr int kOnScanLine = 0;
constexpr int kLeftOfScanLine = 1;
constexpr int kRightOfScanLine = 2;

int side_of(const DBC_tagGeoPoint_t& p, int64_t x) {
    if (p.x == x)
        return kOnScanLine;
    return p.x < x ? kLeftOfScanLine : kRightOfScanLine;
}

// Ring neighbours over the stored points (index m - 1 repeats index 0): FrontPoi and NextPoi.
struct Ring {
    const std::vector<DBC_tagGeoPoint_t>& p;
    int m;
    int front(int i) const { return i == 0 ? m - 2 : i - 1; }
    int next(int i) const { return i == m - 1 ? 1 : i + 1; }

    // The side of the nearest vertex from `from` on (stepping with `step`) that is off the scan
    // line, or kOnScanLine when the whole ring lies on it.
    template <typename Step>
    int side_off_line(int from, int64_t x, Step step) const {
        int i = from;
        for (int walked = 0; walked < m; ++walked, i = step(i)) {
            int side = side_of(p[i], x);
            if (side != kOnScanLine)
                return side;
        }
        return kOnScanLine;
    }

    DBC_tagGeoLine_t line(int edge) const { return {p[edge], p[edge + 1]}; }
    const DBC_tagGeoPoint_t& before(int edge) const { return p[front(edge)]; }
    const DBC_tagGeoPoint_t& after(int edge) const { return p[next(edge + 1)]; }
};

// The edge's y at x, in slope form from its start (CalcSortPos). Never called on a vertical edge:
// such edges give no beams. At the edge's end the end's own y is returned: the slope form can miss
// it by an ulp, which the truncation of a midpoint would turn into a whole unit outside the ring.
double edge_y_at(const DBC_tagGeoLine_t& line, int64_t x) {
    if (x == line.end.x)
        return static_cast<double>(line.end.y);
    double slope = static_cast<double>(line.end.y - line.start.y) /
                   static_cast<double>(line.end.x - line.start.x);
    return static_cast<double>(line.start.y) + slope * static_cast<double>(x - line.start.x);
}

// Beams of the two edges at every vertex: the outgoing edge only at a turning vertex (flag 1), the
// incoming one always (flag 1 at a turning vertex). Edges along the scan line give none.
void add_vertex_beams(const Ring& ring, ScanBeams* scan) {
    for (int i = 0; i <= ring.m - 2; ++i) {
        int64_t x = ring.p[i].x;
        scan->positions.push_back(x);
        int following = i + 1;
        if (ring.p[following].x != x) {
            int before = ring.side_off_line(ring.front(i), x, [&](int k) { return ring.front(k); });
            if (side_of(ring.p[following], x) == before)
                scan->beams.push_back({x, {i, 1, static_cast<double>(ring.p[i].y)}});
        }
        int previous = ring.front(i);
        if (ring.p[previous].x != x) {
            int after = ring.side_off_line(ring.next(i), x, [&](int k) { return ring.next(k); });
            int flag = side_of(ring.p[previous], x) == after ? 1 : 0;
            scan->beams.push_back({x, {previous, flag, static_cast<double>(ring.p[i].y)}});
        }
    }
}

// Sorted distinct vertex positions plus one midway position in every gap wider than 1 unit.
void add_midway_positions(std::vector<int64_t>* positions) {
    std::sort(positions->begin(), positions->end());
    positions->erase(std::unique(positions->begin(), positions->end()), positions->end());
    size_t vertex_positions = positions->size();
    for (size_t k = 1; k < vertex_positions; ++k) {
        int64_t a = (*positions)[k - 1], b = (*positions)[k];
        if (b - a > 1)
            positions->push_back(
                truncate_to_int32(static_cast<double>(a) / 2.0 + static_cast<double>(b) / 2.0));
    }
    std::sort(positions->begin(), positions->end());
}

// Index range (first, last) of the scan positions strictly between an edge's end x values.
std::pair<size_t, size_t> positions_inside(const std::vector<int64_t>& positions, int64_t x1,
                                           int64_t x2) {
    size_t a = static_cast<size_t>(std::lower_bound(positions.begin(), positions.end(), x1) -
                                   positions.begin());
    size_t b = static_cast<size_t>(std::lower_bound(positions.begin(), positions.end(), x2) -
                                   positions.begin());
    if (b < a)
        std::swap(a, b);
    return {a + 1, b > a ? b : a + 1};
}

// A beam for every edge at every scan position strictly between its ends, placed with the vertex
// beams in scan x order: each scan x holds its vertex beams in the order they were found, then
// its crossing beams in edge order (the order a stable sort by x of everything found would give).
// Counting first sizes the beam array once, instead of growing it and sorting it.
void add_crossing_beams(const Ring& ring, ScanBeams* scan) {
    const std::vector<int64_t>& positions = scan->positions;
    std::vector<size_t> at(positions.size() + 1, 0);
    for (const auto& vertex_beam : scan->beams)
        ++at[positions_inside(positions, vertex_beam.first, vertex_beam.first).first];
    std::vector<std::ptrdiff_t> crossing(positions.size() + 1, 0);  // differences of the counts
    for (int i = 0; i <= ring.m - 2; ++i) {
        auto range = positions_inside(positions, ring.p[i].x, ring.p[i + 1].x);
        if (range.first < range.second) {
            ++crossing[range.first];
            --crossing[range.second];
        }
    }
    std::ptrdiff_t running = 0;
    size_t total = 0;
    for (size_t k = 0; k < positions.size(); ++k) {
        running += crossing[k];
        size_t here = at[k + 1] + static_cast<size_t>(running);
        at[k + 1] = total;  // first slot of scan position k, shifted by one below
        total += here;
    }
    std::vector<std::pair<int64_t, tagScanBeam_t>> beams(total);
    for (const auto& vertex_beam : scan->beams)
        beams[at[positions_inside(positions, vertex_beam.first, vertex_beam.first).first]++] =
            vertex_beam;
    for (int i = 0; i <= ring.m - 2; ++i) {
        auto range = positions_inside(positions, ring.p[i].x, ring.p[i + 1].x);
        DBC_tagGeoLine_t line = ring.line(i);
        for (size_t k = range.first; k < range.second; ++k)
            beams[at[k + 1]++] = {positions[k], {i, 0, edge_y_at(line, positions[k])}};
    }
    scan->beams = std::move(beams);
}

// Angle at b between b->a and b->c in degrees, by the law of cosines (CalcAngle). 0 when a or c
// coincides with b.
double angle_at(const DBC_tagGeoPoint_t& b, const DBC_tagGeoPoint_t& a, double cx, double cy) {
    double bax = static_cast<double>(a.x - b.x), bay = static_cast<double>(a.y - b.y);
    double bcx = cx - static_cast<double>(b.x), bcy = cy - static_cast<double>(b.y);
    double acx = cx - static_cast<double>(a.x), acy = cy - static_cast<double>(a.y);
    double ba2 = bax * bax + bay * bay, bc2 = bcx * bcx + bcy * bcy, ac2 = acx * acx + acy * acy;
    if (ba2 == 0.0 || bc2 == 0.0)
        return 0.0;
    double cosine = (ba2 + bc2 - ac2) / (2.0 * std::sqrt(ba2) * std::sqrt(bc2));
    cosine = std::max(-1.0, std::min(1.0, cosine));
    return std::acos(cosine) * 180.0 / kPiShort;
}

// Turning code of a beam (GetMPtFlag): 0 unless it meets the scan line at a turning vertex V.
// Otherwise the side on which its edge continues from V and which of the two edges at V is nearer
// the downward vertical:
//
//        left of V  | right of V
//   this edge above:  1  |  4   (the angle of the other edge from straight down exceeds this
//   otherwise      :  3  |  2    edge's, taken for the edge as stored: start -> end)
int turning_code(const Ring& ring, int64_t x, const tagScanBeam_t& beam) {
    if (beam.flag != 1)
        return 0;
    const DBC_tagGeoPoint_t& s = ring.p[beam.edge];
    const DBC_tagGeoPoint_t& e = ring.p[beam.edge + 1];
    double rx = static_cast<double>(x);
    if (s.x == x) {
        double ry = static_cast<double>(s.y) - kReferenceDepth;
        double alpha = angle_at(s, ring.before(beam.edge), rx, ry);
        double beta = angle_at(s, e, rx, ry);
        if (e.x < x)
            return alpha > beta ? 1 : 3;
        return alpha > beta ? 4 : 2;
    }
    if (e.x == x) {
        double ry = static_cast<double>(e.y) - kReferenceDepth;
        double alpha = angle_at(e, s, rx, ry);
        double beta = angle_at(e, ring.after(beam.edge), rx, ry);
        if (s.x < x)
            return alpha > beta ? 1 : 3;
        return alpha > beta ? 4 : 2;
    }
    return 0;
}

tagMidPoint_t midpoint_of(const Ring& ring, int64_t x, const tagScanBeam_t& upper,
                          const tagScanBeam_t& lower) {
    double y = std::trunc(
        (edge_y_at(ring.line(upper.edge), x) + edge_y_at(ring.line(lower.edge), x)) / 2.0);
    return {x, static_cast<int64_t>(y), turning_code(ring, x, upper), turning_code(ring, x, lower)};
}

bool has_codes(const tagMidPoint_t& p, int up, int down) {
    return p.up_flag == up && p.down_flag == down;
}

using Chain = std::vector<tagMidPoint_t>;

// The open chains, top to bottom, and the finished ones. Every access to chain k is checked: on a
// ring the construction cannot read (a touching ring, an odd beam count) a code may name a chain
// that is not open, and the midpoint is then left unused.
struct Chains {
    std::vector<Chain> open;
    std::vector<Chain> finished;

    bool has(size_t k) const { return k < open.size(); }
    void open_at(size_t k, Chain chain) {
        open.insert(open.begin() + static_cast<std::ptrdiff_t>(std::min(k, open.size())),
                    std::move(chain));
    }
    void finish(size_t k) {
        finished.push_back(std::move(open[k]));
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(k));
    }
    // Appends p to chain k and finishes it.
    void close(size_t k, const tagMidPoint_t& p) {
        open[k].push_back(p);
        finish(k);
    }
    // A branch [last point of chain k, p] at position at (chain k must be open).
    void branch(size_t k, size_t at, const tagMidPoint_t& p) { open_at(at, {open[k].back(), p}); }
};

// Midpoints whose codes are not a start, an end or a split: ends of merging chains, the first
// point after a merge, and plain continuations.
void continue_chains(Chains* chains, size_t* k, const tagMidPoint_t& p) {
    if (chains->has(*k) && has_codes(chains->open[*k].back(), 0, 1))
        chains->close(*k, p);
    if (chains->has(*k) && has_codes(chains->open[*k].back(), 1, 1))
        chains->close(*k, p);
    if ((chains->has(*k) && has_codes(chains->open[*k].back(), 1, 0)) || has_codes(p, 1, 0)) {
        if (chains->has(*k))
            chains->close(*k, p);
        chains->open_at(*k, {p});
        ++*k;
    } else if (has_codes(p, 0, 0) || has_codes(p, 0, 1) || has_codes(p, 1, 1)) {
        if (chains->has(*k)) {
            chains->open[*k].push_back(p);
            ++*k;
        }
    }
}

// Chains the midpoints scan line by scan line (ConnectMidPts). k is the chain the next midpoint
// continues; s counts the branches a split opens below chain k and carries over between midpoints.
int ConnectMidPts(const MidPoints& mids, std::vector<Chain>* finished) {
    Chains chains;
    size_t s = 0;
    for (const auto& row : mids) {
        size_t k = 0;
        for (const tagMidPoint_t& p : row.second) {
            if (has_codes(p, 4, 4)) {
                chains.open_at(k, {p});
                ++k;
            } else if (has_codes(p, 3, 3)) {
                if (chains.has(k))
                    chains.close(k, p);
            } else if (has_codes(p, 0, 2) || has_codes(p, 1, 2)) {
                s = 1;
                if (chains.has(k))
                    chains.branch(k, k + s, p);
            } else if (has_codes(p, 2, 2)) {
                ++s;
                if (chains.has(k))
                    chains.branch(k, k + s, p);
            } else if (has_codes(p, 2, 0)) {
                ++s;
                if (chains.has(k)) {
                    chains.branch(k, k + s, p);
                    chains.finish(k);
                    k += s;
                }
            } else {
                continue_chains(&chains, &k, p);
            }
        }
    }
    *finished = std::move(chains.finished);  // chains still open at the end are discarded
    return 0;
}

int ConnectFrmLine(const std::vector<Chain>& chains, std::vector<FrameworkLine>* lines) {
    for (const Chain& chain : chains) {
        FrameworkLine line;
        for (const tagMidPoint_t& p : chain)
            line.push_back({p.x, p.y});
        lines->push_back(std::move(line));
    }
    return 0;
}

// Whole-unit coordinates the construction can take: finite and within the 32-bit range that
// scan positions are kept in.
bool takes_coordinate(double v) {
    return std::isfinite(v) && v >= -2147483648.0 && v <= 2147483647.0;
}

polyline_t polyline_of(const FrameworkLine& line) {
    polyline_t polyline{};
    com_polyline_init(&polyline);
    for (const DBC_tagGeoPoint_t& p : line)
        com_polyline_add(&polyline,
                         point_t{static_cast<double>(p.x), static_cast<double>(p.y), 0.0});
    return polyline;
}

std::vector<FrameworkLine> framework_lines_of(polygon_t* polygon) {
    std::vector<FrameworkLine> lines;
    std::vector<DBC_tagGeoPoint_t> ring = framework_ring_of(polygon);
    if (!ring.empty())
        Cf_PolygonFramework(ring, &lines);  // a failed construction leaves no lines
    return lines;
}

}  // namespace

// Pairs the beams of every scan x top-down (0 with 1, 2 with 3, ...) into midpoints (CalcMidPts).
// A scan line meeting an odd number of edges (a ring touching itself) leaves its lowest beam
// without a partner: it is left out rather than paired with whatever follows it.
int CalcMidPts(ScanBeams* scan, MidPoints* mids) {
    Ring ring{scan->ring, static_cast<int>(scan->ring.size())};
    auto& beams = scan->beams;
    auto by_x = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(beams.begin(), beams.end(), by_x))
        std::stable_sort(beams.begin(), beams.end(), by_x);
    for (size_t first = 0; first < beams.size();) {
        size_t last = first;
        while (last < beams.size() && beams[last].first == beams[first].first)
            ++last;
        std::stable_sort(beams.begin() + first, beams.begin() + last,
                         [](const auto& a, const auto& b) { return a.second.pos > b.second.pos; });
        std::vector<tagMidPoint_t> row;
        for (size_t k = first; k + 1 < last; k += 2)
            row.push_back(
                midpoint_of(ring, beams[first].first, beams[k].second, beams[k + 1].second));
        mids->push_back({beams[first].first, std::move(row)});
        first = last;
    }
    return 0;
}

int CreatScanBeam(const std::vector<DBC_tagGeoPoint_t>& ring_points, ScanBeams* scan) {
    int m = static_cast<int>(ring_points.size());
    if (m < 4 || ring_points.front().x != ring_points.back().x ||
        ring_points.front().y != ring_points.back().y)
        return -1;
    scan->ring = ring_points;
    Ring ring{scan->ring, m};
    add_vertex_beams(ring, scan);
    add_midway_positions(&scan->positions);
    add_crossing_beams(ring, scan);
    return 0;
}

int Cf_PolygonFramework(const std::vector<DBC_tagGeoPoint_t>& ring,
                        std::vector<FrameworkLine>* lines) {
    ScanBeams scan;
    MidPoints mids;
    std::vector<Chain> chains;
    if (CreatScanBeam(ring, &scan) != 0 || CalcMidPts(&scan, &mids) != 0 ||
        ConnectMidPts(mids, &chains) != 0 || ConnectFrmLine(chains, lines) != 0)
        return -1;
    return 0;
}

std::vector<DBC_tagGeoPoint_t> framework_ring_of(polygon_t* polygon) {
    std::vector<DBC_tagGeoPoint_t> ring;
    optimize_polygon_del_repeatpts(polygon);
    if (relation_polygon_direction(polygon) != 0)
        com_polygon_reverse(polygon);
    const geom_t& g = polygon->geom;
    for (int i = 0; i < g.count; ++i) {
        if (!takes_coordinate(g.points[i].x) || !takes_coordinate(g.points[i].y))
            return {};
        ring.push_back({static_cast<int64_t>(g.points[i].x), static_cast<int64_t>(g.points[i].y)});
    }
    if (!ring.empty() && (ring.front().x != ring.back().x || ring.front().y != ring.back().y))
        ring.push_back(ring.front());  // a ring stored open is taken as closed
    if (ring.size() < 4)
        return {};
    return ring;
}

bool framework_prepare_out(tag_framework_t* out, int* point_capacity, int* part_capacity) {
    if (out->point_num < 0 || out->part_num < 0)
        return false;
    RecordArrays arrays = arrays_of(out);
    int points = std::max(kInitialCapacity, out->point_num);
    int parts = std::max(kInitialCapacity, out->part_num);
    for (int i = 0; i < arrays.points.size; ++i)
        if (!realloc_ints(arrays.points.arrays[i], points))
            return false;
    if (!realloc_ints(arrays.parts.arrays[0], parts))
        return false;
    *point_capacity = points;
    *part_capacity = parts;
    return true;
}

bool com_framework_add(tag_framework_t* out, const polyline_t* polyline, int* point_capacity,
                       int* part_capacity) {
    int k = polyline->geom.count;
    RecordArrays arrays = arrays_of(out);
    if (!reserve_ints(arrays.points, out->point_num, k, point_capacity) ||
        !reserve_ints(arrays.parts, out->part_num, 1, part_capacity))
        return false;
    for (int i = 0; i < k; ++i) {
        out->x[out->point_num + i] = truncate_to_int32(polyline->geom.points[i].x);
        out->y[out->point_num + i] = truncate_to_int32(polyline->geom.points[i].y);
    }
    out->point_num += k;
    out->part_points[out->part_num++] = k;
    return true;
}

void polygon_rotate(polygon_t* polygon) {
    for (int i = 0; i < polygon->geom.count; ++i) {
        point_t& p = polygon->geom.points[i];
        double x = p.x;
        p.x = truncate_to_int32(-p.y);
        p.y = truncate_to_int32(x);
    }
}

void polygons_rotate(polygons_t* polygons) {
    for (polygon_node_t* node = polygons->head; node != nullptr; node = node->next)
        polygon_rotate(&node->polygon);
}

void polyline_rotate(polyline_t* polyline) {
    for (int i = 0; i < polyline->geom.count; ++i) {
        point_t& p = polyline->geom.points[i];
        double x = p.x;
        p.x = p.y;
        p.y = -x;
    }
}

void polylines_rotate(polylines_t* polylines) {
    for (polyline_node_t* node = polylines->head; node != nullptr; node = node->next)
        polyline_rotate(&node->polyline);
}

void to_polygons(const tag_framework_t* framework, polygons_t* polygons) {
    if (framework->x == nullptr || framework->y == nullptr)
        return;
    for_each_part(framework->part_points, framework->part_num, framework->point_num,
                  [&](int first, int size) {
                      polygon_t polygon{};
                      com_polygon_init(&polygon);
                      for (int i = first; i < first + size; ++i)
                          com_polygon_add(&polygon,
                                          point_t{static_cast<double>(framework->x[i]),
                                                  static_cast<double>(framework->y[i]), 0.0});
                      com_polygons_add(polygons, polygon);
                  });
}

namespace {

// One pass over a polygon with holes (outer ring first in `rings`): the holes are cut out, each
// hole-free piece gets its scan-beam lines, and the collection is post-processed into `out`.
void skeleton_pass(polygons_t* rings, polylines_t* out, bool turned) {
    OwnedPolygons pieces;
    split_polygons_by_holes(rings, &pieces.list);
    OwnedPolylines raw;
    for (polygon_node_t* node = pieces.list.head; node != nullptr; node = node->next)
        calc_graphic_framework(&node->polygon, &raw.list);
    if (turned)
        polylines_rotate(&raw.list);
    polygon_framework_process(&raw.list, out);
}

// The two passes over one united polygon, joined into `out`: scan lines across x, then across y
// (the rings turned by +90 degrees and the lines turned back).
void two_pass_skeleton(const polygon_expand_t* united, polylines_t* out) {
    OwnedPolygons rings;
    com_polygons_add_copy(&rings.list, united->polygon);
    com_polygons_addrange_copy(&rings.list, &united->holes);
    OwnedPolylines first, second;
    skeleton_pass(&rings.list, &first.list, false);
    polygons_rotate(&rings.list);
    skeleton_pass(&rings.list, &second.list, true);
    framework_connect(&first.list, &second.list, out);
}

// Releases a list of united polygons with their holes when the call ends.
struct OwnedUnited {
    polygons_expand_t list{};
    OwnedUnited() { com_polygons_expand_init(&list); }
    OwnedUnited(const OwnedUnited&) = delete;
    OwnedUnited& operator=(const OwnedUnited&) = delete;
    ~OwnedUnited() { com_polygons_expand_free(&list); }
};

}  // namespace

}  // namespace mapgeom

using mapgeom::FrameworkLine;

void com_framework_init(tag_framework_t* framework) {
    if (framework == nullptr)
        return;
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(framework);
    mapgeom::calloc_group(arrays.points, mapgeom::kInitialCapacity);
    mapgeom::calloc_group(arrays.parts, mapgeom::kInitialCapacity);
    framework->point_num = 0;
    framework->part_num = 0;
}

void com_framework_init_value(tag_framework_t* framework, const int* x, const int* y,
                              const int* part_points, int point_count, int part_count) {
    if (framework == nullptr)
        return;
    point_count = std::max(point_count, 0);
    part_count = std::max(part_count, 0);
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(framework);
    mapgeom::copy_group(arrays.points, {x, y}, point_count);
    mapgeom::copy_group(arrays.parts, {part_points}, part_count);
    framework->point_num = point_count;
    framework->part_num = part_count;
}

void com_framework_free(tag_framework_t* framework) {
    if (framework == nullptr)
        return;
    mapgeom::free_arrays(mapgeom::arrays_of(framework));
    framework->point_num = 0;
    framework->part_num = 0;
}

void get_framework_value(const tag_framework_t* framework, int* x, int* y, int* part_points) {
    if (framework == nullptr)
        return;
    mapgeom::RecordArrays arrays = mapgeom::arrays_of(framework);
    mapgeom::copy_out(arrays.points, {x, y}, framework->point_num);
    mapgeom::copy_out(arrays.parts, {part_points}, framework->part_num);
}

int calc_polygon_framework(polygon_t* polygon, tag_framework_t* out) {
    return mapgeom::guarded(0, [&] {
        if (polygon == nullptr || out == nullptr)
            return 0;
        std::vector<FrameworkLine> lines = mapgeom::framework_lines_of(polygon);
        int point_capacity = 0, part_capacity = 0;
        if (lines.empty() || !mapgeom::framework_prepare_out(out, &point_capacity, &part_capacity))
            return 0;
        for (const FrameworkLine& line : lines) {
            if (line.size() < 2)
                continue;
            polyline_t polyline = mapgeom::polyline_of(line);
            mapgeom::com_framework_add(out, &polyline, &point_capacity, &part_capacity);
            com_polyline_free(&polyline);
        }
        return 0;
    });
}

int calc_graphic_framework(polygon_t* polygon, polylines_t* out) {
    return mapgeom::guarded(0, [&] {
        if (polygon == nullptr || out == nullptr)
            return 0;
        for (const FrameworkLine& line : mapgeom::framework_lines_of(polygon))
            com_polylines_add(out, mapgeom::polyline_of(line));
        err_polyline_process(out);
        return 0;
    });
}

int calc_graphics_framework(const polygons_t* polygons, polylines_t* out) {
    return mapgeom::guarded(0, [&] {
        if (polygons == nullptr || out == nullptr || polygons->num <= 0)
            return 0;
        mapgeom::OwnedUnited united;
        multi_polygons_union(polygons, &united.list);
        for (polygon_expand_node_t* node = united.list.head; node != nullptr; node = node->next)
            mapgeom::two_pass_skeleton(&node->polygon_expand, out);
        return 0;
    });
}

int calc_polygons_framework(const tag_framework_t* polygons, tag_framework_t* out) {
    return mapgeom::guarded(0, [&] {
        if (polygons == nullptr || out == nullptr)
            return 0;
        mapgeom::OwnedPolygons rings;
        mapgeom::to_polygons(polygons, &rings.list);
        mapgeom::OwnedPolylines lines;
        calc_graphics_framework(&rings.list, &lines.list);
        int point_capacity = 0, part_capacity = 0;
        if (lines.list.num == 0 ||
            !mapgeom::framework_prepare_out(out, &point_capacity, &part_capacity))
            return 0;
        for (const polyline_node_t* node = lines.list.head; node != nullptr; node = node->next)
            mapgeom::com_framework_add(out, &node->polyline, &point_capacity, &part_capacity);
        return 0;
    });
}
