// Shapes and checks for the skeleton tests: elongated bands around a meandering centre line (a
// river buffered to a width), combs whose teeth split the scan sections, distances, and skeleton
// vertices found off their shapes.
#ifndef MAPGEOM_TESTS_SKELETON_SKELETON_SHAPES_H
#define MAPGEOM_TESTS_SKELETON_SKELETON_SHAPES_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"

namespace testing_shapes {

inline std::vector<Xy> scaled(std::vector<Xy> points, double factor) {
    for (Xy& v : points)
        v = {v.x * factor, v.y * factor};
    return points;
}

// n whole-unit points running left to right over `length`, swinging up and down by up to
// `amplitude` along three waves of random phase: a river's centre line, monotone in x.
inline std::vector<Xy> meander(std::mt19937& rng, int n, double length, double amplitude) {
    double phase[3], waves[3] = {1.0, 3.0, 7.0};
    for (double& p : phase)
        p = random_real(rng, 0.0, 2.0 * M_PI);
    std::vector<Xy> line;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / (n - 1);
        double y = 0.0;
        for (int k = 0; k < 3; ++k)
            y += amplitude / (k + 1) * std::sin(waves[k] * 2.0 * M_PI * t + phase[k]) / 1.84;
        line.push_back({std::round(t * length), std::round(y)});
    }
    return line;
}

// The band reaching width / 2 above and below an x-monotone line: its upper side left to right,
// then its lower side back (a simple ring, clockwise with y up).
inline std::vector<Xy> band_around(const std::vector<Xy>& line, double width) {
    std::vector<Xy> ring;
    for (const Xy& v : line)
        ring.push_back({v.x, std::round(v.y + width / 2)});
    for (auto it = line.rbegin(); it != line.rend(); ++it)
        ring.push_back({it->x, std::round(it->y - width / 2)});
    return ring;
}

// A comb: a spine 100 units wide on the left with `teeth` teeth reaching right to x = 100 +
// `length`, each pitch / 2 high, pitch apart. Every gap between teeth opens a branch.
inline std::vector<Xy> comb(int teeth, double pitch, double length) {
    const double right = 100 + length, half = pitch / 2;
    std::vector<Xy> ring{{0, 0}};
    for (int t = 0; t < teeth; ++t) {
        double bottom = t * pitch;
        if (t > 0)
            ring.push_back({100, bottom});
        ring.push_back({right, bottom});
        ring.push_back({right, bottom + half});
        if (t + 1 < teeth)
            ring.push_back({100, bottom + half});
    }
    ring.push_back({0, (teeth - 1) * pitch + half});
    return ring;
}

inline double distance_to_segment(point_t p, point_t a, point_t b) {
    double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

// Plane distance from p to the nearest edge of a closed ring.
inline double distance_to_ring(const polygon_t* ring, point_t p) {
    double nearest = std::numeric_limits<double>::infinity();
    for (int i = 0; i + 1 < ring->geom.count; ++i)
        nearest = std::min(nearest,
                           distance_to_segment(p, ring->geom.points[i], ring->geom.points[i + 1]));
    return nearest;
}

// Skeleton vertices that lie outside every ring of `rings` (prepared point location) farther
// than `tolerance` from all their boundaries, as text ("" when none).
inline std::string vertices_off(const std::vector<const polygon_t*>& rings,
                                const polylines_t* lines, double tolerance) {
    std::vector<polygon_pretreat_t> prepared(rings.size());
    for (size_t k = 0; k < rings.size(); ++k)
        create_polygon_pretreat(rings[k], &prepared[k]);
    std::string off;
    for (const polyline_node_t* node = lines->head; node != nullptr; node = node->next)
        for (int i = 0; i < node->polyline.geom.count; ++i) {
            point_t p = node->polyline.geom.points[i];
            bool near = false;
            for (size_t k = 0; k < rings.size() && !near; ++k)
                near = relation_point_and_polygon(&prepared[k], p) != 0 ||
                       distance_to_ring(rings[k], p) <= tolerance;
            if (!near)
                off += text_of(std::vector<Xy>{{p.x, p.y}}) + "; ";
        }
    return off;
}

inline double nearest_vertex_distance(const polylines_t* lines, const Xy& to) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const polyline_node_t* node = lines->head; node != nullptr; node = node->next)
        for (int i = 0; i < node->polyline.geom.count; ++i)
            nearest = std::min(nearest, std::hypot(node->polyline.geom.points[i].x - to.x,
                                                   node->polyline.geom.points[i].y - to.y));
    return nearest;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SKELETON_SKELETON_SHAPES_H
