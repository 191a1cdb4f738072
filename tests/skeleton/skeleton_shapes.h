// Shapes and checks for the skeleton tests: rivers (bands around a meandering centre line), combs,
// line lists written as text, distances, and skeleton vertices found off their shapes.
#ifndef MAPGEOM_TESTS_SKELETON_SKELETON_SHAPES_H
#define MAPGEOM_TESTS_SKELETON_SKELETON_SHAPES_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "shape_text.h"

namespace testing_shapes {

// n whole-unit points running left to right over `length`, swinging by up to `amplitude` along
// three waves of random phase: a river's centre line, monotone in x.
inline std::vector<Xy> meander(std::mt19937& rng, int n, double length, double amplitude) {
    double phase[3], waves[3] = {1.0, 3.0, 7.0};
    for (double& p : phase)
        p = random_real(rng, 0.0, 2.0 * M_PI);
    std::vector<Xy> line;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / (n - 1), y = 0.0;
        for (int k = 0; k < 3; ++k)
            y += amplitude / (k + 1) * std::sin(waves[k] * 2.0 * M_PI * t + phase[k]) / 1.84;
        line.push_back({std::round(t * length), std::round(y)});
    }
    return line;
}

// The band reaching width / 2 above and below an x-monotone line: its upper side left to right,
// then its lower side back.
inline std::vector<Xy> band_around(const std::vector<Xy>& line, double width) {
    std::vector<Xy> ring;
    for (const Xy& v : line)
        ring.push_back({v.x, std::round(v.y + width / 2)});
    for (auto it = line.rbegin(); it != line.rend(); ++it)
        ring.push_back({it->x, std::round(it->y - width / 2)});
    return ring;
}

// A comb: a spine 100 wide on the left with `teeth` teeth reaching right to x = 100 + `length`,
// each pitch / 2 high, pitch apart. Every gap between teeth opens a branch.
inline std::vector<Xy> comb(int teeth, double pitch, double length) {
    std::vector<Xy> ring{{0, 0}};
    for (int t = 0; t < teeth; ++t) {
        double bottom = t * pitch, top = bottom + pitch / 2;
        if (t > 0)
            ring.push_back({100, bottom});
        ring.insert(ring.end(), {{100 + length, bottom}, {100 + length, top}});
        if (t + 1 < teeth)
            ring.push_back({100, top});
    }
    ring.push_back({0, (teeth - 1) * pitch + pitch / 2});
    return ring;
}

// Appends the "|"-separated lines of `text`, coordinates multiplied by `scale`.
inline void add_lines(polylines_t* list, const std::string& text, double scale = 1.0) {
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, '|');) {
        Polyline line;
        for (const Xy& v : pts(item))
            com_polyline_add(line.get(), point_t{v.x * scale, v.y * scale, 0});
        com_polylines_add_copy(list, *line.get());
    }
}

// Plane distance from p to the nearest stretch of g (to its point when it has only one).
inline double distance_to(const geom_t* g, point_t p) {
    double nearest = std::numeric_limits<double>::infinity();
    for (int i = 0; i < g->count; ++i) {
        point_t a = g->points[i], b = g->points[std::min(i + 1, g->count - 1)];
        double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
        double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
        t = std::max(0.0, std::min(1.0, t));
        nearest = std::min(nearest, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return nearest;
}

inline double distance_to(const polylines_t* lines, point_t p) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const polyline_node_t* node = lines->head; node != nullptr; node = node->next)
        nearest = std::min(nearest, distance_to(&node->polyline.geom, p));
    return nearest;
}

// Whether `lines` come within the band's width of the middles of both of its end sides (points 0
// and n - 1 at the start, n / 2 - 1 and n / 2 at the end).
inline bool reaches_both_ends(const std::vector<Xy>& band, const polylines_t* lines) {
    size_t n = band.size();
    double width = std::hypot(band[0].x - band[n - 1].x, band[0].y - band[n - 1].y);
    for (size_t end : {size_t{0}, n / 2})
        if (distance_to(lines, pt((band[end].x + band[n - 1 - end].x) / 2,
                                  (band[end].y + band[n - 1 - end].y) / 2)) > width)
            return false;
    return true;
}

// Skeleton vertices outside every ring of `rings` (prepared point location) and farther than
// `tolerance` from all their boundaries, as text ("" when none).
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
                       distance_to(&rings[k]->geom, p) <= tolerance;
            if (!near)
                off += text_of(std::vector<Xy>{{p.x, p.y}}) + "; ";
        }
    return off;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SKELETON_SKELETON_SHAPES_H
