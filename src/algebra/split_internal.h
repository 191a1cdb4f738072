// Helpers shared by the split units: a lookup that tells whether a point is one of a call's
// crossing points without a pass over the whole crossing list for every vertex asked about.
#ifndef MAPGEOM_SRC_ALGEBRA_SPLIT_INTERNAL_H
#define MAPGEOM_SRC_ALGEBRA_SPLIT_INTERNAL_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "mapgeom/com.h"

namespace mapgeom {

// A scratch point list that releases itself.
struct PointList {
    geom_t g{};
    PointList() = default;
    PointList(const PointList&) = delete;
    PointList& operator=(const PointList&) = delete;
    ~PointList() { com_geom_free(&g); }
};

// A polyline being built that releases whatever it still owns.
struct PieceLine {
    polyline_t line{};
    PieceLine() { com_polyline_init(&line); }
    PieceLine(const PieceLine&) = delete;
    PieceLine& operator=(const PieceLine&) = delete;
    ~PieceLine() { com_polyline_free(&line); }
};

// Removes every point that is the same (com_points_same) as the point kept before it, so that no
// edge of a working copy has zero length; the first point stays.
inline void drop_repeated_points(geom_t* g) {
    int kept = g->count > 0 ? 1 : 0;
    for (int k = 1; k < g->count; ++k)
        if (com_points_same(g->points[k], g->points[kept - 1]) != 0)
            g->points[kept++] = g->points[k];
    g->count = kept;
}

// Crossing points sorted on x. find() answers as com_geom_find over the points in their original
// order (the first point within 0.0001 in x and in y), at the cost of a binary search and a look at
// the points in the query's x window: the split walks ask once per vertex, and lines with thousands
// of crossings made the plain scan the dominant cost.
class CrossingLookup {
public:
    template <typename PointOf>
    CrossingLookup(int count, PointOf point_of) {
        points_.reserve(count);
        for (int k = 0; k < count; ++k) {
            point_t p = point_of(k);
            if (std::isnan(p.x) || std::isnan(p.y))
                continue;  // a coordinate that is not a number is the same as no point
            points_.push_back({p, k});
        }
        std::sort(points_.begin(), points_.end(),
                  [](const Entry& a, const Entry& b) { return a.pt.x < b.pt.x; });
    }

    explicit CrossingLookup(const geom_t* points)
        : CrossingLookup(points->count, [points](int k) { return points->points[k]; }) {}

    // Position in the original order of the first point that is the same as p, or -1.
    int find(point_t p) const {
        // The window is twice as wide as the tolerance so that rounding in the bounds never hides
        // a point that com_points_same accepts; that test decides.
        auto first = std::lower_bound(points_.begin(), points_.end(), p.x - kWindow,
                                      [](const Entry& e, double x) { return e.pt.x < x; });
        int best = -1;
        for (auto it = first; it != points_.end() && it->pt.x <= p.x + kWindow; ++it)
            if (com_points_same(it->pt, p) == 0 && (best < 0 || it->index < best))
                best = it->index;
        return best;
    }

private:
    // Two points are the same when x and y each differ by less than this (com_points_same).
    static constexpr double kSameTolerance = 0.0001;
    static constexpr double kWindow = 2.0 * kSameTolerance;

    struct Entry {
        point_t pt;
        int index;
    };
    std::vector<Entry> points_;
};

}  // namespace mapgeom

#endif  // MAPGEOM_SRC_ALGEBRA_SPLIT_INTERNAL_H
