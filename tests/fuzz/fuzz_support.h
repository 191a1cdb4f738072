// Shared pieces of the fuzz targets: a byte reader that decodes shapes (mostly small whole-unit
// coordinates, where coarse grids make touching and collinear edges common, now and then huge or
// NaN ones), an independent area oracle for boolean combinations of rings, the area that snapping
// new vertices to whole units may move, the validity of a ring, the failure report, and the
// dispatch of a target's checks by its first byte.
#ifndef MAPGEOM_TESTS_FUZZ_FUZZ_SUPPORT_H
#define MAPGEOM_TESTS_FUZZ_FUZZ_SUPPORT_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "ring_checks.h"
#include "shape_text.h"

namespace fuzzing {

using testing_shapes::Xy;

// Reads the fuzzer's bytes front to back; past the end every read gives 0.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    size_t left() const { return empty() ? 0 : size_ - pos_; }
    uint8_t u8() { return empty() ? 0 : data_[pos_++]; }
    int i16() { return static_cast<int16_t>(u8() | (u8() << 8)); }
    int32_t i32() {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v |= static_cast<uint32_t>(u8()) << (8 * k);
        return static_cast<int32_t>(v);
    }
    double f64() {
        uint64_t bits = 0;
        for (int k = 0; k < 8; ++k)
            bits |= static_cast<uint64_t>(u8()) << (8 * k);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The coordinate scale a shape is decoded at, chosen by one byte: most shapes lie on a grid of
// 0 .. 15, many on 0 .. 255 or -400 .. 400 (the overlay failures of small maps); a few take raw
// 16-bit values times 1000, raw doubles (NaN, infinities, 1e300) or fractional values.
enum class Scale { kCoarse, kSmall, kMedium, kLarge, kRaw, kFraction };

inline Scale scale_of(uint8_t b) {
    static const Scale kScales[16] = {
        Scale::kCoarse, Scale::kCoarse,   Scale::kCoarse, Scale::kCoarse,
        Scale::kCoarse, Scale::kSmall,    Scale::kSmall,  Scale::kSmall,
        Scale::kMedium, Scale::kMedium,   Scale::kMedium, Scale::kCoarse,
        Scale::kLarge,  Scale::kFraction, Scale::kRaw,    Scale::kCoarse};
    return kScales[b & 15];
}

// Whether shapes at this scale have whole, small coordinates (the oracle checks apply).
inline bool whole_and_small(Scale s) {
    return s == Scale::kCoarse || s == Scale::kSmall || s == Scale::kMedium;
}

inline double coordinate(Bytes& in, Scale s) {
    switch (s) {
        case Scale::kCoarse:
            return in.u8() & 15;
        case Scale::kSmall:
            return in.u8();
        case Scale::kMedium:
            return in.i16() % 401;
        case Scale::kLarge:
            return in.i16() * 1000.0;
        case Scale::kFraction:
            return in.i16() / 64.0;
        case Scale::kRaw:
            return in.f64();
    }
    return 0.0;
}

// Up to max_points points at the scale of the next byte (their count from the byte after it).
inline std::vector<Xy> points(Bytes& in, int max_points, Scale* scale_out = nullptr) {
    Scale s = scale_of(in.u8());
    int n = in.u8() % (max_points + 1);
    std::vector<Xy> pts;
    for (int k = 0; k < n && !in.empty(); ++k) {
        double x = coordinate(in, s);
        double y = coordinate(in, s);
        pts.push_back({x, y, 0.0});
    }
    if (scale_out != nullptr)
        *scale_out = s;
    return pts;
}

// ---------------------------------------------------------------------------------------------------
// Area oracle: vertical slabs between every vertex and crossing abscissa, in which no two edges
// cross, so the edges of a slab stack up and the area between neighbours is a trapezoid. Each edge
// belongs to group 0 or 1; a point is in a group when the group's edges wind an odd number of times
// round it. The area where `keep(in0, in1)` holds is summed. Independent of the library.

struct Edge {
    double x0, y0, x1, y1;  // x0 <= x1
    int group;
};

inline void add_ring_edges(const std::vector<Xy>& ring, int group, std::vector<Edge>* edges) {
    for (size_t k = 0; k + 1 < ring.size(); ++k) {
        Xy a = ring[k], b = ring[k + 1];
        if (a.x == b.x)
            continue;  // vertical edges bound no slab
        if (a.x > b.x)
            std::swap(a, b);
        edges->push_back({a.x, a.y, b.x, b.y, group});
    }
}

inline double y_at(const Edge& e, double x) {
    return e.y0 + (e.y1 - e.y0) * ((x - e.x0) / (e.x1 - e.x0));
}

// The x of every edge end and every crossing of two edges, sorted and once each: between two
// neighbours no edges cross, so each strip is a stack of trapezoids.
inline std::vector<double> strip_bounds(const std::vector<Edge>& edges) {
    std::vector<double> xs;
    for (const Edge& e : edges) {
        xs.push_back(e.x0);
        xs.push_back(e.x1);
    }
    for (size_t i = 0; i < edges.size(); ++i)
        for (size_t j = i + 1; j < edges.size(); ++j) {
            const Edge &a = edges[i], &b = edges[j];
            double lo = std::max(a.x0, b.x0), hi = std::min(a.x1, b.x1);
            if (lo >= hi)
                continue;
            double d_lo = y_at(a, lo) - y_at(b, lo), d_hi = y_at(a, hi) - y_at(b, hi);
            if ((d_lo < 0) != (d_hi < 0) && d_lo != 0 && d_hi != 0)
                xs.push_back(lo + (hi - lo) * (d_lo / (d_lo - d_hi)));
        }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    return xs;
}

// The edges spanning the strip xa .. xb, bottom to top (by their height at its middle).
inline void edges_across_strip(const std::vector<Edge>& edges, double xa, double xb,
                               std::vector<std::pair<double, const Edge*>>* stack) {
    double mid = 0.5 * (xa + xb);
    stack->clear();
    for (const Edge& e : edges)
        if (e.x0 <= xa && e.x1 >= xb)
            stack->push_back({y_at(e, mid), &e});
    std::sort(stack->begin(), stack->end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
}

template <typename Keep>
double boolean_area(const std::vector<Edge>& edges, Keep keep) {
    std::vector<double> xs = strip_bounds(edges);
    double area = 0.0;
    std::vector<std::pair<double, const Edge*>> stack;
    for (size_t s = 0; s + 1 < xs.size(); ++s) {
        double xa = xs[s], xb = xs[s + 1];
        edges_across_strip(edges, xa, xb, &stack);
        bool in[2] = {false, false};
        for (size_t k = 0; k + 1 < stack.size(); ++k) {
            in[stack[k].second->group] = !in[stack[k].second->group];
            if (keep(in[0], in[1])) {
                const Edge &lo = *stack[k].second, &hi = *stack[k + 1].second;
                area += 0.5 * ((y_at(hi, xa) - y_at(lo, xa)) + (y_at(hi, xb) - y_at(lo, xb))) *
                        (xb - xa);
            }
        }
    }
    return area;
}

// Even-odd area of one ring (its odd-covered area), or of a set of rings taken together.
inline double odd_area(const std::vector<std::vector<Xy>>& rings) {
    std::vector<Edge> edges;
    for (const auto& r : rings)
        add_ring_edges(r, 0, &edges);
    return boolean_area(edges, [](bool a, bool) { return a; });
}

// ---------------------------------------------------------------------------------------------------
// Reading results.

inline std::vector<Xy> ring_of(const polygon_t* p) {
    return testing_shapes::points_of(&p->geom);
}

inline std::vector<std::vector<Xy>> rings_of(const polygons_t* list, int first = 0) {
    std::vector<std::vector<Xy>> rings;
    int k = 0;
    for (const polygon_node_t* n = list->head; n != nullptr; n = n->next, ++k)
        if (k >= first)
            rings.push_back(ring_of(&n->polygon));
    return rings;
}

inline double signed_area(const std::vector<Xy>& ring) {
    double twice = 0.0;
    for (size_t k = 0; k + 1 < ring.size(); ++k)
        twice += ring[k].x * ring[k + 1].y - ring[k + 1].x * ring[k].y;
    return twice / 2.0;
}

inline double signed_area_sum(const std::vector<std::vector<Xy>>& rings) {
    double sum = 0.0;
    for (const auto& r : rings)
        sum += signed_area(r);
    return sum;
}

// Closed ring of the points (the first repeated at the end unless it is there already).
inline std::vector<Xy> closed(std::vector<Xy> ring) {
    if (!ring.empty() && (ring.front().x != ring.back().x || ring.front().y != ring.back().y))
        ring.push_back(ring.front());
    return ring;
}

inline bool on_segment(const Xy& p, const Xy& a, const Xy& b) {  // exact for whole coordinates
    double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    double dot = (p.x - a.x) * (b.x - a.x) + (p.y - a.y) * (b.y - a.y);
    return cross == 0.0 && dot >= 0.0 &&
           dot <= (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
}

// A crossing of two input edges snapped to whole units moves by d, changing the pieces it bounds
// by at most d times half the two edges' lengths; also where it lands on an input vertex (and so
// is not told from one in a result) or the piece it bounded vanishes.
inline double crossing_snap_bound(const std::vector<std::vector<Xy>>& inputs) {
    std::vector<std::pair<Xy, Xy>> edges;
    for (const auto& r : inputs)
        for (size_t k = 0; k + 1 < r.size(); ++k)
            edges.push_back({r[k], r[k + 1]});
    double bound = 0.0;
    for (size_t i = 0; i < edges.size(); ++i)
        for (size_t j = i + 1; j < edges.size(); ++j) {
            const Xy &a = edges[i].first, &b = edges[i].second;
            const Xy &c = edges[j].first, &d = edges[j].second;
            double den = (b.x - a.x) * (d.y - c.y) - (b.y - a.y) * (d.x - c.x);
            if (den == 0.0)
                continue;
            double t = ((c.x - a.x) * (d.y - c.y) - (c.y - a.y) * (d.x - c.x)) / den;
            double u = ((c.x - a.x) * (b.y - a.y) - (c.y - a.y) * (b.x - a.x)) / den;
            if (t <= 0.0 || t >= 1.0 || u < 0.0 || u > 1.0)
                continue;
            double x = a.x + t * (b.x - a.x), y = a.y + t * (b.y - a.y);
            double moved = std::hypot(x - std::round(x), y - std::round(y));
            bound +=
                moved * 0.5 * (std::hypot(b.x - a.x, b.y - a.y) + std::hypot(d.x - c.x, d.y - c.y));
        }
    return bound;
}

// How much area snapping the vertices a result made to whole units can move. A result vertex is
// kept from the input when it is an input vertex and both its result edges run along input edges
// at it; any other was made (or moved onto an input vertex) by snapping a crossing, which moves it
// by under a unit and sweeps at most half its two edges' lengths. Inputs are closed rings or lines.
inline double snapping_bound(const std::vector<std::vector<Xy>>& inputs,
                             const std::vector<std::vector<Xy>>& results) {
    auto kept = [&](const Xy& u, const Xy& v, const Xy& w) {
        bool u_along = false, w_along = false;
        for (const auto& r : inputs)
            for (size_t i = 0; i < r.size(); ++i) {
                if (r[i].x != v.x || r[i].y != v.y)
                    continue;
                for (size_t j : {i - 1, i + 1}) {
                    if (j >= r.size())
                        continue;
                    u_along = u_along || on_segment(u, v, r[j]);
                    w_along = w_along || on_segment(w, v, r[j]);
                }
                // a closed ring's first and last points are one vertex
                if ((i == 0 || i + 1 == r.size()) && r.size() > 2 && r.front().x == r.back().x &&
                    r.front().y == r.back().y) {
                    const Xy& other = i == 0 ? r[r.size() - 2] : r[1];
                    u_along = u_along || on_segment(u, v, other);
                    w_along = w_along || on_segment(w, v, other);
                }
            }
        return u_along && w_along;
    };
    double bound = 1e-6 + crossing_snap_bound(inputs);
    for (const auto& r : results)
        for (size_t k = 0; k + 1 < r.size(); ++k) {
            const Xy& u = r[k == 0 ? r.size() - 2 : k - 1];
            const Xy& w = r[k + 1];
            if (kept(u, r[k], w))
                continue;
            bound += 0.5 * (std::hypot(u.x - r[k].x, u.y - r[k].y) +
                            std::hypot(w.x - r[k].x, w.y - r[k].y));
        }
    return bound;
}

// Whether the library's validity check accepts the ring (closed automatically).
inline bool valid_ring(const std::vector<Xy>& pts) {
    testing_shapes::Polygon p(pts);
    return relation_polygon_iserror(p.get()) == 0;
}

inline bool same_xy(const Xy& p, const Xy& q) {
    return p.x == q.x && p.y == q.y;
}

inline bool all_finite(const std::vector<Xy>& pts) {
    for (const Xy& v : pts)
        if (!std::isfinite(v.x) || !std::isfinite(v.y))
            return false;
    return true;
}

using testing_shapes::text_of;

// A fuzz target of several checks: the first byte picks the check that reads the bytes after it.
template <size_t N>
int run_one_of(void (*const (&checks)[N])(Bytes&), const uint8_t* data, size_t size) {
    Bytes in(data, size);
    checks[in.u8() % N](in);
    return 0;
}

// Reports a broken invariant with the shapes that broke it and stops the run (libFuzzer keeps the
// input as a crash file).
[[noreturn]] inline void fail(const std::string& what, const std::string& detail) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s\n%s\n", what.c_str(), detail.c_str());
    std::abort();
}

inline void check(bool ok, const std::string& what, const std::string& detail) {
    if (!ok)
        fail(what, detail);
}

}  // namespace fuzzing

#endif  // MAPGEOM_TESTS_FUZZ_FUZZ_SUPPORT_H
