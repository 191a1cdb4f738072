// Fuzz target: triangulation, convex pieces (diagonals, pieces, the flat-array list and the integer
// decomposition), scan-beam skeletons, map-grid cell codes and the road-line helpers, chosen by
// the first byte. Each branch checks what its contract promises: triangles and pieces are made of
// the ring's own vertices and add up to its area; integer pieces are convex; diagonals fit the
// buffer the caller sized; skeleton lines have two points or more and stay within the polygon's
// extent; a cell's rectangle holds the point its code was made from and decodes back to the code;
// a line cut by length keeps its points in order and its length; outputs are left alone where a
// call fails. Seeds (tests/data/fuzz/fuzz_shapes) are the shapes of the triangulation, convex,
// skeleton, grid and road test tables.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "mapgeom/concave.h"
#include "mapgeom/convex.h"
#include "mapgeom/grid.h"
#include "mapgeom/java.h"
#include "mapgeom/measure.h"
#include "mapgeom/road.h"
#include "mapgeom/skeleton.h"
#include "mapgeom/triangulate.h"

namespace {

using namespace fuzzing;

// Twice-areas of rings with whole coordinates up to a few hundred units are integers far below
// 2^53, so their sums are exact; this only absorbs the halving.
constexpr double kExactArea = 1e-6;

bool among(const Xy& p, const std::vector<Xy>& pts) {
    for (const Xy& q : pts)
        if (same_xy(p, q))
            return true;
    return false;
}

struct Box {
    double min_x = INFINITY, min_y = INFINITY, max_x = -INFINITY, max_y = -INFINITY;
    void add(const Xy& p) {
        min_x = std::min(min_x, p.x), max_x = std::max(max_x, p.x);
        min_y = std::min(min_y, p.y), max_y = std::max(max_y, p.y);
    }
    bool holds(double x, double y, double margin) const {
        return x >= min_x - margin && x <= max_x + margin && y >= min_y - margin &&
               y <= max_y + margin;
    }
};

Box box_of(const std::vector<Xy>& pts) {
    Box b;
    for (const Xy& p : pts)
        b.add(p);
    return b;
}

// ---------------------------------------------------------------------------------------------------
// Triangulation: every triangle is three vertices of the ring as the call left it (snapped,
// without repeats, clockwise); clipping an ear or dropping a collinear vertex keeps the signed area
// of triangles plus the rest, so finished triangles sum to the ring's signed area. A valid ring
// always has an ear, and its ears turn clockwise.

void check_triangles(Bytes& in) {
    Scale s;
    std::vector<Xy> pts = points(in, 40, &s);
    bool valid = whole_and_small(s) && pts.size() >= 3 && valid_ring(pts);
    testing_shapes::Polygon ring(pts);
    testing_shapes::Polygon tri;
    int code = optimize_polygon_triangles(ring.get(), tri.get());
    std::vector<Xy> after = ring_of(ring.get());
    std::vector<Xy> got = testing_shapes::points_of(&tri.get()->geom);
    std::string detail = "triangulation code " + std::to_string(code) +
                         "\nin: " + text_of(closed(pts)) + "\nring after: " + text_of(after) +
                         "\ntriangles: " + text_of(got);
    check(got.size() % 3 == 0, "triangle list not a multiple of three points", detail);
    int n = com_polygon_num(ring.get());
    check(got.size() / 3 <= static_cast<size_t>(std::max(n - 2, 0)),
          "more triangles than the ring's vertices allow", detail);
    if (!whole_and_small(s) && s != Scale::kFraction)
        return;
    for (const Xy& p : got)
        check(among(p, after), "a triangle vertex is not a vertex of the ring", detail);
    if (valid)
        check(code == 0, "a valid ring was not triangulated", detail);
    if (code != 0)
        return;
    double sum = 0.0;
    for (size_t k = 0; k + 2 < got.size(); k += 3) {
        double a = signed_area({got[k], got[k + 1], got[k + 2], got[k]});
        if (valid)
            check(a <= 0.0, "a triangle of a valid ring turns counter-clockwise", detail);
        sum += a;
    }
    check(std::fabs(sum - signed_area(after)) <= kExactArea,
          "triangles do not add up to the ring's area", detail);
}

// ---------------------------------------------------------------------------------------------------
// Convex pieces by diagonals.

// A buffer of exactly the 2 x (n - 3) ints a caller gives for n vertices: a heap block even when
// empty (never null), so that any write past it is caught.
struct Diagonals {
    size_t size;
    std::unique_ptr<int[]> values;
    explicit Diagonals(int n) : size(2 * std::max(n - 3, 0)), values(new int[size]) {}
    int* data() { return values.get(); }
    const int* begin() const { return values.get(); }
    int operator[](int k) const { return values[k]; }
};

void check_diagonals(int written, const Diagonals& out, int n, const std::string& detail) {
    check(written >= 0 && written % 2 == 0 && written <= static_cast<int>(out.size),
          "diagonal count out of range", detail);
    for (int k = 0; k < written; ++k)
        check(out[k] >= 0 && out[k] < n, "diagonal index is not a vertex", detail);
    for (int k = 0; k + 1 < written; k += 2)
        check(out[k] != out[k + 1], "a diagonal from a vertex to itself", detail);
}

void check_convex(Bytes& in) {
    Scale s;
    std::vector<Xy> pts = points(in, 30, &s);
    bool valid = whole_and_small(s) && pts.size() >= 3 && valid_ring(pts);
    testing_shapes::Polygon ring(pts);
    std::vector<Xy> before = ring_of(ring.get());
    int n = std::max(com_polygon_num(ring.get()), 0);
    Diagonals out(n), out2(n);
    int written = polygon_to_convex(ring.get(), out.data());
    std::string detail = "convex split of " + text_of(before);
    check(text_of(ring_of(ring.get())) == text_of(before), "polygon_to_convex changed its input",
          detail);
    check_diagonals(written, out, n, detail);
    testing_shapes::Polygons pieces;
    int written2 = graphic_to_convex(ring.get(), pieces.get(), out2.data());
    check_diagonals(written2, out2, n, detail);
    check(written == written2, "the two convex splits give other diagonal counts", detail);
    int concave = get_first_concave_index(ring.get());
    check(concave >= -1 && concave < n, "reflex vertex index out of range", detail);
    if (relation_polygon_iserror(ring.get()) != 0)
        check(written == 0 && written2 == 0, "an invalid polygon gave diagonals", detail);
    if (!valid)
        return;
    auto rings = rings_of(pieces.get());
    detail += "\npieces: " + text_of(rings);
    check(rings.size() == static_cast<size_t>(written2 / 2 + 1),
          "pieces are not one more than the diagonals", detail);
    double sum = 0.0;
    for (const auto& r : rings) {
        check(r.size() >= 4 && same_xy(r.front(), r.back()), "a piece is not a closed ring",
              detail);
        for (const Xy& p : r)
            check(among(p, before), "a piece vertex is not a vertex of the polygon", detail);
        double a = signed_area(r);
        check(a > 0.0, "a piece does not run counter-clockwise", detail);
        sum += a;
    }
    check(std::fabs(sum - std::fabs(signed_area(before))) <= kExactArea,
          "convex pieces do not add up to the polygon's area", detail);
}

// The flat-array list: host arrays of the lengths the counts say, part sizes as they come.
void check_convex_list(Bytes& in) {
    std::vector<int> parts(in.u8() % 5), x, y, z;
    bool honest = in.u8() % 2 == 0;
    int total = 0;
    for (int& p : parts) {
        p = honest ? 4 + in.u8() % 10 : static_cast<int8_t>(in.u8());
        total += std::max(p, 0);
    }
    if (!honest)
        total = in.u8() % 60;
    for (int k = 0; k < total; ++k) {
        x.push_back(in.u8() % 24);
        y.push_back(in.u8() % 24);
        z.push_back(0);
    }
    if (honest)  // close each ring so that some are valid
        for (size_t p = 0, at = 0; p < parts.size(); at += parts[p], ++p)
            x[at + parts[p] - 1] = x[at], y[at + parts[p] - 1] = y[at];
    polygons_java_t rec{};
    com_polygons_java_init_value(&rec, x.data(), y.data(), z.data(), parts.data(), total,
                                 static_cast<int>(parts.size()));
    split_lines_t lines{};
    com_split_lines_init(&lines);
    polygons_to_convex(&rec, &lines);
    check(lines.group_num == rec.part_num, "not one diagonal group per polygon", "");
    long values = 0;
    for (int g = 0; g < lines.group_num; ++g) {
        check(lines.group_values[g] >= 0 && lines.group_values[g] % 2 == 0,
              "a diagonal group of odd size", "");
        values += lines.group_values[g];
    }
    check(values == lines.value_num, "diagonal groups do not add up", "");
    // Each group is what polygon_to_convex gives the polygon the list reader makes of its part.
    testing_shapes::Polygons list;
    com_polygons_java_get_polygons(&rec, list.get());
    int at = 0, k = 0;
    for (const polygon_node_t* node = list.get()->head; node != nullptr; node = node->next, ++k) {
        polygon_t copy = node->polygon;
        int n = std::max(com_polygon_num(&copy), 0);
        Diagonals out(n);
        int written = polygon_to_convex(&copy, out.data());
        check(k < lines.group_num && written == lines.group_values[k] &&
                  std::equal(out.begin(), out.begin() + written, lines.values + at),
              "a diagonal group differs from the polygon's own split", text_of(ring_of(&copy)));
        at += written;
    }
    com_split_lines_free(&lines);
    com_polygons_java_free(&rec);
}

// ---------------------------------------------------------------------------------------------------
// Integer decomposition.

long long cross(const _point& a, const _point& b, const _point& c) {
    return static_cast<long long>(b.x - a.x) * (c.y - a.y) -
           static_cast<long long>(b.y - a.y) * (c.x - a.x);
}

void check_integer_pieces(Bytes& in) {
    bool wide = in.u8() % 8 == 0;
    int n = in.u8() % 40;
    std::vector<_InPoint> pts;
    for (int k = 0; k < n; ++k) {
        int x = wide ? in.i32() : in.u8() % 32, y = wide ? in.i32() : in.u8() % 32;
        pts.push_back({x, y, in.u8() % 4});
    }
    if (n > 0 && in.u8() % 4 != 0)
        pts.push_back(pts.front());  // mostly closed, as hosts give them
    _polygon* pieces = nullptr;
    int piece_count = 0;
    int code = MakePolyProtru(&pieces, &piece_count, pts.data(), static_cast<int>(pts.size()));
    std::string detail = "integer decomposition code " + std::to_string(code) + " of";
    for (const _InPoint& p : pts)
        detail += " " + std::to_string(p.x) + " " + std::to_string(p.y) + ",";
    int chain = 0;
    for (const _polygon* p = pieces; p != nullptr && chain <= piece_count; p = p->next)
        ++chain;
    check(chain == piece_count, "piece count differs from the chain", detail);
    check(code >= -1 && code <= 2, "unknown decomposition code", detail);
    if (code != 0)
        check(code == -1 || piece_count == 0, "pieces added although not decomposed", detail);
    if (code == 0 && !wide && !pts.empty()) {
        // The ring as worked on: consecutive repeats dropped, closing point not read.
        std::vector<Xy> ring;
        for (size_t k = 0; k + 1 < pts.size(); ++k)
            ring.push_back({double(pts[k].x), double(pts[k].y), 0.0});
        double sum = 0.0;
        for (const _polygon* p = pieces; p != nullptr; p = p->next) {
            check(p->num >= 4 && p->points[0].x == p->points[p->num - 1].x &&
                      p->points[0].y == p->points[p->num - 1].y,
                  "a piece is not closed", detail);
            std::vector<Xy> r;
            for (int k = 0; k < p->num; ++k) {
                r.push_back({double(p->points[k].x), double(p->points[k].y), 0.0});
                check(among(r.back(), ring), "a piece vertex is not a vertex of the ring", detail);
                check(p->points[k].non_show >= 0 && p->points[k].non_show <= 3,
                      "a non-show flag out of range", detail);
            }
            for (int k = 0; k + 2 < p->num + 1 && p->num > 3; ++k) {
                int m = p->num - 1;
                check(cross(p->points[k % m], p->points[(k + 1) % m], p->points[(k + 2) % m]) >= 0,
                      "a piece is not convex", detail);
            }
            sum += signed_area(r);
        }
        check(std::fabs(sum - std::fabs(signed_area(closed(ring)))) <= kExactArea,
              "pieces do not add up to the ring's area", detail);
    }
    check(ReleasePolygonSpace(pieces, piece_count) == 1, "release did not return 1", detail);
}

// ---------------------------------------------------------------------------------------------------
// Skeletons.

void check_framework_record(const tag_framework_t& out, const Box& extent, double margin,
                            bool located, const std::string& detail) {
    check(out.point_num >= 0 && out.part_num >= 0, "negative framework counts", detail);
    long total = 0;
    for (int k = 0; k < out.part_num; ++k) {
        check(out.part_points[k] >= 2, "a framework part of fewer than two points", detail);
        total += out.part_points[k];
    }
    check(total == out.point_num, "framework part sizes do not add up", detail);
    if (located)
        for (int k = 0; k < out.point_num; ++k)
            check(extent.holds(out.x[k], out.y[k], margin),
                  "a skeleton point lies outside the polygon's extent", detail);
}

void check_skeleton(Bytes& in) {
    Scale s;
    std::vector<Xy> pts = points(in, 40, &s);
    double scale = 1 + in.u8() % 4 * 100;
    for (Xy& p : pts)
        p.x *= scale, p.y *= scale;
    testing_shapes::Polygon ring(pts), twin(pts);
    tag_framework_t out;
    com_framework_init(&out);
    calc_polygon_framework(ring.get(), &out);
    testing_shapes::Polylines lines;
    calc_graphic_framework(twin.get(), lines.get());
    std::vector<Xy> after = ring_of(ring.get());
    bool located = s != Scale::kRaw;
    std::string detail = "skeleton of " + text_of(closed(pts));
    // Lines run through midpoints of cross-sections, so they stay within the (whole-unit) extent.
    check_framework_record(out, box_of(after), 0.0, located, detail);
    // Both outputs hold the same lines.
    std::vector<std::vector<Xy>> as_parts;
    for (int k = 0, at = 0; k < out.part_num; at += out.part_points[k], ++k) {
        as_parts.emplace_back();
        for (int j = at; j < at + out.part_points[k]; ++j)
            as_parts.back().push_back({double(out.x[j]), double(out.y[j]), 0.0});
    }
    std::vector<std::vector<Xy>> as_lines;
    for (const polyline_node_t* n = lines.get()->head; n != nullptr; n = n->next)
        as_lines.push_back(testing_shapes::points_of(&n->polyline.geom));
    if (located)
        check(text_of(as_parts) == text_of(as_lines), "the two skeleton outputs differ",
              detail + "\nrecord: " + text_of(as_parts) + "\nlist: " + text_of(as_lines));
    com_framework_free(&out);
}

void check_set_skeleton(Bytes& in) {
    int rings = 1 + in.u8() % 3;
    bool honest = in.u8() % 4 != 0;
    double scale = 1 + in.u8() % 4 * 20000;  // long enough lines survive pruning
    std::vector<int> parts, x, y;
    Box extent;
    bool located = true;
    for (int r = 0; r < rings && !in.empty(); ++r) {
        Scale s;
        std::vector<Xy> pts = points(in, 20, &s);
        located = located && whole_and_small(s);
        pts = closed(pts);
        for (Xy& p : pts) {
            p.x = std::fmax(std::fmin(p.x * scale, 1e9), -1e9);
            p.y = std::fmax(std::fmin(p.y * scale, 1e9), -1e9);
            if (std::isnan(p.x) || std::isnan(p.y))
                p.x = p.y = 0.0;
            x.push_back(static_cast<int>(p.x));
            y.push_back(static_cast<int>(p.y));
            extent.add({double(x.back()), double(y.back()), 0.0});
        }
        parts.push_back(honest ? static_cast<int>(pts.size()) : static_cast<int8_t>(in.u8()));
    }
    tag_framework_t polygons{};
    com_framework_init_value(&polygons, x.data(), y.data(), parts.data(),
                             static_cast<int>(x.size()), static_cast<int>(parts.size()));
    tag_framework_t out;
    com_framework_init(&out);
    calc_polygons_framework(&polygons, &out);
    // Line ends snap to nodes on a 5-unit grid; the turned pass is exact for whole coordinates.
    check_framework_record(out, extent, 5.0, located && honest, "set skeleton");
    com_framework_free(&out);
    com_framework_free(&polygons);
}

// ---------------------------------------------------------------------------------------------------
// Map-grid cell codes.

constexpr int kHalfWorldX = 1658880000, kHalfWorldY = 829440000;

struct GridKind {
    unsigned int (*encode)(int, int, char*);
    unsigned int (*decode)(const char*, int*, int*, int*, int*);
    size_t length;
};

const GridKind kGrids[4] = {{coor_get_mesh8dno_by_coor, coor_get_range_by_mesh8dno, 4},
                            {coor_get_mesh4dno_by_coor, coor_get_range_by_mesh4dno, 4},
                            {coor_get_mesh2dno_by_coor, coor_get_range_by_mesh2dno, 4},
                            {coor_get_taskid_by_coor, coor_get_range_by_taskid, 11}};

bool upper_hex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void check_digit_helpers(char c) {
    const unsigned int kFail = 0xFFFFFFFFu;
    unsigned int v16 = get_base10_by_base16(c), v32 = get_base10_by_base32(c);
    check(v16 == kFail || v16 < 16, "base-16 digit out of range", std::string(1, c));
    check(v32 == kFail || v32 < 32, "base-32 digit out of range", std::string(1, c));
    char up = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (v16 != kFail)
        check(get_base16_by_base10(static_cast<int>(v16)) == static_cast<unsigned char>(up),
              "base-16 digit does not round-trip", std::string(1, c));
    if (v32 != kFail)
        check(get_base32_by_base10(static_cast<int>(v32)) == static_cast<unsigned char>(up),
              "base-32 digit does not round-trip", std::string(1, c));
    int value = static_cast<signed char>(c);
    check((get_base16_by_base10(value) != kFail) == (value >= 0 && value < 16),
          "base-16 value range", std::to_string(value));
    check((get_base32_by_base10(value) != kFail) == (value >= 0 && value < 32),
          "base-32 value range", std::to_string(value));
}

void check_grid(Bytes& in) {
    const GridKind& g = kGrids[in.u8() % 4];
    bool raw = in.u8() % 4 == 0;
    int x = in.i32(), y = in.i32();
    if (!raw) {
        x = static_cast<int>(
            static_cast<int64_t>(static_cast<uint32_t>(x) % (2u * kHalfWorldX + 1)) - kHalfWorldX);
        y = static_cast<int>(
            static_cast<int64_t>(static_cast<uint32_t>(y) % (2u * kHalfWorldY + 1)) - kHalfWorldY);
    }
    bool inside = x >= -kHalfWorldX && x <= kHalfWorldX && y >= -kHalfWorldY && y <= kHalfWorldY;
    std::string detail = "grid code of " + std::to_string(x) + " " + std::to_string(y);
    std::vector<char> code(g.length);  // exactly the characters an encoder may write
    unsigned int r = g.encode(x, y, code.data());
    check(r == (inside ? 0u : 2u), "encoder result for a point in or out of the world", detail);
    if (inside) {
        std::string text(code.begin(), code.end());
        detail += ": " + text;
        for (char c : text)
            check(upper_hex(c), "encoder wrote a character that is not an upper hex digit", detail);
        if (g.length == 11)
            check(text.substr(8) == "000", "task code of a point not of size 000", detail);
        int box[4] = {0, 0, 0, 0};
        check(g.decode(text.c_str(), &box[0], &box[1], &box[2], &box[3]) == 0,
              "a code made from a point does not decode", detail);
        check(box[0] <= x && x < box[2] && box[1] <= y && y < box[3],
              "a cell does not hold the point its code was made from", detail);
    }
    // Arbitrary text (NUL-terminated): a result of 0 writes a rectangle whose corner encodes back
    // to the code; any other writes nothing.
    std::string text;
    for (int n = in.u8() % 13; n > 0; --n) {
        char c = static_cast<char>(in.u8());
        if (c == 0)
            break;
        text.push_back(c);
        check_digit_helpers(c);
    }
    const int kUntouched = 0x5A5A5A5A;
    int box[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    r = g.decode(text.c_str(), &box[0], &box[1], &box[2], &box[3]);
    detail = "decoding \"" + text + "\"";
    if (text.size() != g.length)
        check(r == 1, "a code of the wrong length was not refused", detail);
    if (r != 0) {
        check(r == 1 || r == 2, "unknown decoder result", detail);
        for (int v : box)
            check(v == kUntouched, "a refused code wrote its outputs", detail);
        return;
    }
    for (char c : text)
        check(get_base10_by_base16(c) != 0xFFFFFFFFu, "a code with a bad digit decoded", detail);
    check(box[0] >= -kHalfWorldX && box[0] <= kHalfWorldX && box[1] >= -kHalfWorldY &&
              box[1] <= kHalfWorldY && box[0] < box[2] && box[1] < box[3],
          "a decoded rectangle lies outside the world or is empty", detail);
    std::string upper = text;
    for (char& c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 32 : c);
    std::vector<char> again(g.length);
    if (box[0] < kHalfWorldX && box[1] < kHalfWorldY) {
        check(g.encode(box[0], box[1], again.data()) == 0, "a cell corner does not encode", detail);
        std::string back(again.begin(), again.end());
        std::string want = g.length == 11 ? upper.substr(0, 8) + "000" : upper;
        check(back == want, "code -> range -> code does not round-trip", detail + " -> " + back);
    }
}

// ---------------------------------------------------------------------------------------------------
// Road lines. Coordinates are scaled up so that distances in metres are a few to many.

std::vector<Xy> road_points(Bytes& in, Scale* s) {
    std::vector<Xy> pts = points(in, 24, s);
    double scale = 1 + in.u8() % 4 * 500;
    for (Xy& p : pts)
        p.x *= scale, p.y *= scale;
    return pts;
}

double earth_length(const std::vector<Xy>& pts) {
    double sum = 0.0;
    for (size_t k = 0; k + 1 < pts.size(); ++k)
        sum += calc_points_distance_onearth(testing_shapes::pt(pts[k]),
                                            testing_shapes::pt(pts[k + 1]));
    return sum;
}

double distance_to_line(const Xy& p, const std::vector<Xy>& line) {
    double best = INFINITY;
    for (size_t k = 0; k < line.size(); ++k) {
        best = std::min(best, std::hypot(p.x - line[k].x, p.y - line[k].y));
        if (k + 1 == line.size())
            break;
        const Xy &a = line[k], &b = line[k + 1];
        double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
        if (len == 0.0)
            continue;
        double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len, 0.0, 1.0);
        best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    return best;
}

// Finite coordinates within the 32-bit range the earth's coordinates take.
bool on_earth(const std::vector<Xy>& pts) {
    for (const Xy& p : pts)
        if (!(std::fabs(p.x) <= 2147483647.0 && std::fabs(p.y) <= 2147483647.0))
            return false;
    return true;
}

void check_split_by_length(Bytes& in) {
    Scale s;
    std::vector<Xy> pts = road_points(in, &s);
    double d = in.u8() % 8 == 0 ? in.f64() : (in.i16() % 2000) * 10.0;
    testing_shapes::Polyline line(pts);
    testing_shapes::Polylines out;
    int code = split_polyline_by_length(d, line.get(), out.get());
    std::vector<std::vector<Xy>> pieces;
    for (const polyline_node_t* n = out.get()->head; n != nullptr; n = n->next)
        pieces.push_back(testing_shapes::points_of(&n->polyline.geom));
    std::string detail = "split by length " + std::to_string(d) + " code " + std::to_string(code) +
                         "\nline: " + text_of(pts) + "\npieces: " + text_of(pieces);
    check(text_of(testing_shapes::points_of(&line.get()->geom)) == text_of(pts),
          "the line was changed", detail);
    if (pts.empty()) {
        check(code == -1 && pieces.empty(), "an empty line was split", detail);
        return;
    }
    // A NaN point is on no line, and distances between points far beyond the earth's coordinates
    // overflow: for those a refusal is a defined result too.
    if (!on_earth(pts)) {
        check(code >= -1 && code <= 1 && (code != -1 || pieces.empty()),
              "a line with non-finite points split wrongly", detail);
        if (code == -1)
            return;
    }
    check(code == 0 || code == 1, "unknown split result", detail);
    if (code == 1) {
        check(pieces.size() == 1 && text_of(pieces[0]) == text_of(pts),
              "an uncut line is not copied whole", detail);
        return;
    }
    check(pieces.size() == 2 && !pieces[0].empty() && !pieces[1].empty() &&
              same_xy(pieces[0].back(), pieces[1].front()),
          "a cut line is not two pieces sharing the cut point", detail);
    // Joined at the cut, the pieces are the line with at most the cut point added.
    std::vector<Xy> joined = pieces[0];
    joined.insert(joined.end(), pieces[1].begin() + 1, pieces[1].end());
    bool same = joined.size() == pts.size() && text_of(joined) == text_of(pts);
    for (size_t k = 0; !same && k < joined.size() && joined.size() == pts.size() + 1; ++k) {
        std::vector<Xy> less = joined;
        less.erase(less.begin() + static_cast<long>(k));
        same = text_of(less) == text_of(pts);
    }
    check(same, "the pieces are not the line's points in order", detail);
    if (!whole_and_small(s))
        return;
    // The cut point lies within 1.5 units of a segment; leaving it moves the length by no more
    // than a detour of 3 units, a fraction of a metre.
    double length = earth_length(pts), kept = earth_length(joined);
    check(std::fabs(length - kept) <= 0.1 + 1e-9 * length,
          "the pieces do not keep the line's length", detail);
}

void check_point_helpers(Bytes& in) {
    Scale s;
    std::vector<Xy> pts = road_points(in, &s);
    testing_shapes::Polyline line(pts);
    Xy p = pts.empty() ? Xy{0, 0, 0} : pts[in.u8() % pts.size()];
    if (in.u8() % 4 == 0)
        p.x += in.u8() % 5 - 2;  // near the vertex or off the line
    double d = (in.i16() % 2000) * 10.0;
    std::string detail = "point helpers on " + text_of(pts) + " at " + text_of({p});
    const point_t kUnset{-7.5, -7.5, -7.5};
    point_t at = kUnset;
    int code = get_point_at_polyline(d, &at, line.get(), testing_shapes::pt(p));
    check(code == 0 || code == -1, "unknown result of the point along the line", detail);
    if (code == -1)
        check(at.x == kUnset.x && at.y == kUnset.y, "a failed point along the line written",
              detail);
    else if (whole_and_small(s))
        // p joins the line as a vertex when it lies within 1.5 units of it, so the walk from it
        // may run up to that far off the given line.
        check(distance_to_line({at.x, at.y, 0}, pts) <= 1.5 + 1e-6 * (1 + std::fabs(at.x)),
              "the point along the line is off the line", detail);
    double forward = -1, backward = -1;
    code = calc_point_at_polyline_angle(line.get(), &forward, &backward, testing_shapes::pt(p));
    check(code == 0 || code == -1, "unknown bearing result", detail);
    if (code == -1)
        check(forward == -1 && backward == -1, "failed bearings written", detail);
    else if (whole_and_small(s))
        check(forward >= 0 && forward <= 360 && backward >= 0 && backward <= 360,
              "a bearing out of 0 .. 360", detail);
    point_t first = kUnset, second = kUnset;
    code = get_apeak_polyline(line.get(), &first, &second, d);
    check(code == 0 || code == -1, "unknown result of the points beside the line", detail);
    if (code == -1) {
        check(first.x == kUnset.x && second.x == kUnset.x, "failed points beside the line written",
              detail);
    } else if (whole_and_small(s)) {
        // They are mirror images through the middle of a chord of the line.
        Box b = box_of(pts);
        check(b.holds((first.x + second.x) / 2, (first.y + second.y) / 2,
                      1e-6 * (1 + std::fmax(std::fabs(b.min_x), std::fabs(b.max_x)))),
              "points beside the line are not centred on it", detail);
    }
    check(text_of(testing_shapes::points_of(&line.get()->geom)) == text_of(pts),
          "a reading helper changed the line", detail);
}

void check_middle_line(Bytes& in) {
    Scale sa, sb;
    std::vector<Xy> a = road_points(in, &sa), b = road_points(in, &sb);
    testing_shapes::Polyline la(a), lb(b);
    testing_shapes::Polyline out({{-3, -3, 0}});  // earlier points stay
    int code = create_new_line(la.get(), lb.get(), out.get());
    std::vector<Xy> got = testing_shapes::points_of(&out.get()->geom);
    std::string detail = "middle line code " + std::to_string(code) + "\na: " + text_of(a) +
                         "\nb: " + text_of(b) + "\nout: " + text_of(got);
    check(code == 0 || code == -1, "unknown middle line result", detail);
    check(!got.empty() && got[0].x == -3 && got[0].y == -3, "earlier output points lost", detail);
    if (code == -1) {
        check(got.size() == 1, "a refused middle line appended points", detail);
        return;
    }
    check(got.size() >= 2, "a middle line of no points", detail);
    if (!whole_and_small(sa) || !whole_and_small(sb))
        return;
    // Midpoints of points and their feet on the other line's segments lie within both lines' box.
    std::vector<Xy> both = a;
    both.insert(both.end(), b.begin(), b.end());
    Box box = box_of(both);
    for (size_t k = 1; k < got.size(); ++k)
        check(box.holds(got[k].x, got[k].y, 1.0), "a middle line point lies outside both lines",
              detail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static void (*const checks[])(Bytes&) = {
        check_triangles,     check_convex,       check_convex_list, check_integer_pieces,
        check_skeleton,      check_set_skeleton, check_grid,        check_split_by_length,
        check_point_helpers, check_middle_line};
    return run_one_of(checks, data, size);
}
