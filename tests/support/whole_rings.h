// Rings of whole-unit vertices for exact checks: 128-bit turns and areas, conversion from and to
// point lists, and a printer for failing rings.
#ifndef MAPGEOM_TESTS_SUPPORT_WHOLE_RINGS_H
#define MAPGEOM_TESTS_SUPPORT_WHOLE_RINGS_H

#include <cmath>
#include <string>
#include <vector>

#include "shapes.h"

namespace whole_rings {

using testing_shapes::Xy;

// Whole-unit vertex; rings are open (no closing point) unless a test says otherwise.
struct V {
    long long x, y;
    bool operator<(const V& o) const { return x != o.x ? x < o.x : y < o.y; }
    bool operator==(const V& o) const { return x == o.x && y == o.y; }
};
using Ring = std::vector<V>;

// Twice the signed area of (a, b, c): positive when counter-clockwise.
inline __int128 cross(V a, V b, V c) {
    return (__int128)(b.x - a.x) * (c.y - b.y) - (__int128)(b.y - a.y) * (c.x - b.x);
}

// Twice the signed area of the ring, open or closed.
inline __int128 twice_area(const Ring& r) {
    __int128 sum = 0;
    for (size_t i = 0; i < r.size(); ++i)
        sum += cross(r[0], r[i], r[(i + 1) % r.size()]);
    return sum;
}

inline std::string text(const Ring& r) {
    std::string s;
    for (const V& v : r)
        s += std::to_string(v.x) + " " + std::to_string(v.y) + ", ";
    return s;
}

inline std::vector<Xy> to_xy(const Ring& r) {
    std::vector<Xy> out;
    for (const V& v : r)
        out.push_back({double(v.x), double(v.y)});
    return out;
}

inline Ring whole(const std::vector<Xy>& points) {
    Ring r;
    for (const Xy& p : points)
        r.push_back({std::llround(p.x), std::llround(p.y)});
    return r;
}

}  // namespace whole_rings

#endif  // MAPGEOM_TESTS_SUPPORT_WHOLE_RINGS_H
