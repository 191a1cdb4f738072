// Ring utilities of the tool. They serve output and drawing only; the geometry itself is the
// library's work.
#include "rings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mapgeom_tool {

double signed_area(const Path& ring) {
    double twice = 0.0;
    for (size_t i = 0; i + 1 < ring.size(); ++i)
        twice += ring[i].x * ring[i + 1].y - ring[i + 1].x * ring[i].y;
    return 0.5 * twice;
}

double plane_area(const PolygonShape& polygon) {
    double area = 0.0;
    for (size_t r = 0; r < polygon.rings.size(); ++r) {
        const double a = std::fabs(signed_area(polygon.rings[r]));
        area += r == 0 ? a : -a;
    }
    return area;
}

int press_code(double z) {
    if (!std::isfinite(z) || std::fabs(z) > 1e15)
        return 0;
    return static_cast<int>(static_cast<long long>(z) % 100);
}

void reverse_path(Path* path) {
    std::reverse(path->begin(), path->end());
    for (Vertex& v : *path) {
        const int code = press_code(v.z);
        if (code == 2)
            v.z += 1.0;
        else if (code == 3)
            v.z -= 1.0;
    }
}

std::vector<std::pair<int, int>> press_ranges(const Path& path, bool closed) {
    std::vector<std::pair<int, int>> ranges;
    const int count = static_cast<int>(path.size());
    int open = -1;
    for (int i = 0; i < count; ++i) {
        const int code = press_code(path[i].z);
        if (code == 2 && open < 0) {
            open = i;
        } else if (code == 3 && open >= 0) {
            ranges.emplace_back(open, i);
            open = -1;
        }
    }
    // On a ring the stretch may go on past the closing point: stored point 0 is that same point.
    if (open >= 0 && closed) {
        for (int i = 1; i < open; ++i) {
            if (press_code(path[i].z) == 3) {
                ranges.emplace_back(open, i);
                break;
            }
        }
    }
    return ranges;
}

Location locate(const Vertex& p, const Path& ring) {
    bool inside = false;
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        const Vertex& a = ring[i];
        const Vertex& b = ring[i + 1];
        const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        const bool within_x = std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x);
        const bool within_y = std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
        if (cross == 0.0 && within_x && within_y)
            return Location::boundary;
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x_at = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x_at)
                inside = !inside;
        }
    }
    return inside ? Location::inside : Location::outside;
}

namespace {

// Whether `inner` lies within `outer`: none of its vertices and edge midpoints outside, and at
// least one strictly inside (so that rings touching or repeating each other are not nested).
bool ring_inside(const Path& inner, const Path& outer) {
    bool strictly = false;
    for (size_t i = 0; i + 1 < inner.size(); ++i) {
        const Vertex& a = inner[i];
        const Vertex& b = inner[i + 1];
        for (const Vertex& p : {a, Vertex{(a.x + b.x) / 2, (a.y + b.y) / 2, 0.0}}) {
            const Location where = locate(p, outer);
            if (where == Location::outside)
                return false;
            strictly = strictly || where == Location::inside;
        }
    }
    return strictly;
}

}  // namespace

std::vector<PolygonShape> group_rings(std::vector<Path> rings) {
    // A ring inside an even number of others bounds area, one inside an odd number is a hole of
    // the innermost ring around it.
    const size_t n = rings.size();
    std::vector<std::vector<size_t>> containers(n);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            if (i != j && ring_inside(rings[i], rings[j]))
                containers[i].push_back(j);
    std::vector<PolygonShape> polygons;
    std::vector<int> polygon_of(n, -1);
    for (size_t i = 0; i < n; ++i) {
        if (containers[i].size() % 2 == 0) {
            polygon_of[i] = static_cast<int>(polygons.size());
            polygons.push_back(PolygonShape{{rings[i]}});
        }
    }
    for (size_t i = 0; i < n; ++i) {
        if (containers[i].size() % 2 == 0)
            continue;
        // The innermost container is the one inside the most others.
        size_t parent = containers[i][0];
        for (size_t j : containers[i])
            if (containers[j].size() > containers[parent].size())
                parent = j;
        if (polygon_of[parent] >= 0) {
            polygons[polygon_of[parent]].rings.push_back(std::move(rings[i]));
        } else {  // rings that overlap without nesting stand on their own
            polygons.push_back(PolygonShape{{std::move(rings[i])}});
        }
    }
    for (PolygonShape& polygon : polygons)
        orient_for_output(&polygon);
    return polygons;
}

void orient_for_output(PolygonShape* polygon) {
    for (size_t r = 0; r < polygon->rings.size(); ++r) {
        const bool counter_clockwise = signed_area(polygon->rings[r]) > 0;
        if (counter_clockwise != (r == 0))
            reverse_path(&polygon->rings[r]);
    }
}

}  // namespace mapgeom_tool
