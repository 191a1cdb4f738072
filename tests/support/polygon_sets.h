// Seeded random sets of polygons for the list-union tests: overlapping stars, parcels of a jittered
// grid sharing their edges (some cells left out, so that holes and separate parts appear), small
// stars nested in large ones, and stars far apart. Coordinates are whole units spanning millions,
// as map data does.
#ifndef MAPGEOM_TESTS_SUPPORT_POLYGON_SETS_H
#define MAPGEOM_TESTS_SUPPORT_POLYGON_SETS_H

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "random_shapes.h"

namespace testing_shapes {

enum class SetKind { kOverlapping, kGridParcels, kNested, kApart };

using RingSet = std::vector<std::vector<Xy>>;

// A star with vertices at one random angle in each of n equal sectors (so it is simple).
inline std::vector<Xy> sector_star(std::mt19937& rng, int n, double cx, double cy, double r_min,
                                   double r_max) {
    std::vector<Xy> ring;
    double phase = random_real(rng, 0.0, 2.0 * M_PI);
    for (int k = 0; k < n; ++k) {
        double angle = phase + (k + random_real(rng, 0.1, 0.9)) * 2.0 * M_PI / n;
        double r = random_real(rng, r_min, r_max);
        ring.push_back(
            {std::round(cx + r * std::cos(angle)), std::round(cy + r * std::sin(angle))});
    }
    return ring;
}

// The cells of a cols x rows grid of the given cell size whose inner vertices are moved by up to
// `jitter` of a cell; each cell is kept with probability `keep`. Neighbouring cells share their
// edges exactly. With `coarse`, vertices stay on a lattice of a tenth of a cell.
inline RingSet grid_parcels(std::mt19937& rng, int cols, int rows, double cell, double jitter,
                            double keep, bool coarse = false) {
    std::vector<std::vector<Xy>> at(cols + 1, std::vector<Xy>(rows + 1));
    double step = coarse ? cell / 10.0 : 1.0;
    for (int i = 0; i <= cols; ++i)
        for (int j = 0; j <= rows; ++j) {
            double dx = (i > 0 && i < cols) ? random_real(rng, -jitter, jitter) * cell : 0.0;
            double dy = (j > 0 && j < rows) ? random_real(rng, -jitter, jitter) * cell : 0.0;
            at[i][j] = {std::round((i * cell + dx) / step) * step,
                        std::round((j * cell + dy) / step) * step};
        }
    RingSet cells;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i)
            if (random_real(rng, 0.0, 1.0) < keep)
                cells.push_back({at[i][j], at[i + 1][j], at[i + 1][j + 1], at[i][j + 1]});
    return cells;
}

inline RingSet random_set(std::mt19937& rng, SetKind kind) {
    const double span = 1.0e7;
    RingSet set;
    if (kind == SetKind::kGridParcels) {
        int cols = random_int(rng, 2, 9), rows = random_int(rng, 2, 9);
        return grid_parcels(rng, cols, rows, span / 8.0, 0.3, 0.8, random_int(rng, 0, 1) == 1);
    }
    int count = random_int(rng, 2, 12);
    for (int k = 0; k < count; ++k) {
        int n = random_int(rng, 8, 24);
        if (kind == SetKind::kOverlapping) {
            set.push_back(sector_star(rng, n, random_real(rng, 0, span), random_real(rng, 0, span),
                                      span / 8, span / 4));
        } else if (kind == SetKind::kApart) {
            set.push_back(
                sector_star(rng, n, (k % 4) * span / 2, (k / 4) * span / 2, span / 10, span / 5));
        } else {
            double cx = (k % 4) * span / 2, cy = (k / 4) * span / 2;
            set.push_back(sector_star(rng, n, cx, cy, span / 6, span / 5));
            set.push_back(sector_star(rng, n, cx + span / 40, cy, span / 20, span / 10));
        }
    }
    return set;
}

}  // namespace testing_shapes

#endif  // MAPGEOM_TESTS_SUPPORT_POLYGON_SETS_H
