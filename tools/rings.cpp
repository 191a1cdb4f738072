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

bool point_inside_ring(const Vertex& p, const Path& ring) {
    bool inside = false;
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        const Vertex& a = ring[i];
        const Vertex& b = ring[i + 1];
        const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        const bool within_x = std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x);
        const bool within_y = std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
        if (cross == 0.0 && within_x && within_y)
            return false;
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x_at = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x_at)
                inside = !inside;
        }
    }
    return inside;
}

namespace {

// Whether the hole lies in the outer ring: decided by the first hole vertex that is not on the
// outer ring's boundary (a hole may touch its outer ring).
bool ring_inside(const Path& hole, const Path& outer) {
    for (size_t i = 0; i + 1 < hole.size(); ++i) {
        const Vertex& a = hole[i];
        const Vertex& b = hole[i + 1];
        const Vertex middle{(a.x + b.x) / 2, (a.y + b.y) / 2, 0.0};
        if (point_inside_ring(middle, outer))
            return true;
    }
    return false;
}

}  // namespace

std::vector<PolygonShape> group_rings(std::vector<Path> rings) {
    std::vector<PolygonShape> polygons;
    std::vector<Path> holes;
    for (Path& ring : rings) {
        if (signed_area(ring) > 0)
            polygons.push_back(PolygonShape{{std::move(ring)}});
        else
            holes.push_back(std::move(ring));
    }
    for (Path& hole : holes) {
        int best = -1;
        double best_area = std::numeric_limits<double>::infinity();
        for (size_t k = 0; k < polygons.size(); ++k) {
            const double area = signed_area(polygons[k].rings[0]);
            if (area < best_area && ring_inside(hole, polygons[k].rings[0])) {
                best = static_cast<int>(k);
                best_area = area;
            }
        }
        if (best >= 0) {
            polygons[best].rings.push_back(std::move(hole));
        } else {
            reverse_path(&hole);
            polygons.push_back(PolygonShape{{std::move(hole)}});
        }
    }
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
