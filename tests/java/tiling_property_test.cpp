// Property of tiled clipping: cutting random simple polygons into grids of 4 x 4 to 32 x 32 tiles
// loses and adds no area, and every piece lies within its tile; cutting random polylines keeps
// their length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tiling_host.h"

namespace {

using tiling_host::Grid;
using tiling_host::Pt;
using tiling_host::Shape;

constexpr double kTwoPi = 6.283185307179586;

// A longer search by hand: TILING_SEED and TILING_TRIALS override the fixed seed and trial count.
unsigned seed_or(unsigned fixed) {
    const char* text = std::getenv("TILING_SEED");
    return text != nullptr ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fixed;
}

int trials_or(int fixed) {
    const char* text = std::getenv("TILING_TRIALS");
    return text != nullptr ? std::atoi(text) : fixed;
}

std::string text_of(const Shape& s) {
    std::ostringstream os;
    for (const Pt& p : s)
        os << " (" << p.x << "," << p.y << ")";
    return os.str();
}

Shape closed(Shape s) {
    s.push_back(s.front());
    return s;
}

// A ring star-shaped around (cx, cy): one vertex at a random angle and radius in each of n equal
// sectors, so no two neighbours are half a turn apart and the ring is simple. Coordinates are
// large enough that snapping crossing points to whole units stays far below the area tolerance.
Shape random_star(std::mt19937& rng, double cx, double cy, double radius) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int n = 4 + static_cast<int>(rng() % 40);
    Shape ring;
    for (int i = 0; i < n; ++i) {
        double a = (i + 0.9 * unit(rng)) / n * kTwoPi;
        double r = radius * (0.15 + 0.85 * unit(rng));
        Pt p{static_cast<int>(std::lround(cx + r * std::cos(a))),
             static_cast<int>(std::lround(cy + r * std::sin(a)))};
        if (ring.empty() || p.x != ring.back().x || p.y != ring.back().y)
            ring.push_back(p);
    }
    return ring;
}

// A rectilinear ring over columns of random widths, each spanning a random y interval that
// overlaps its neighbour's; coordinates on whole units, so many vertices and edges fall on tile
// edges and every crossing is exact.
Shape random_skyline(std::mt19937& rng, int x0, int y0, int width, int height) {
    std::vector<int> xs{x0};
    while (xs.back() < x0 + width - 1)
        xs.push_back(std::min(x0 + width, xs.back() + 1 + static_cast<int>(rng() % 6)));
    int cols = static_cast<int>(xs.size()) - 1;
    std::uniform_int_distribution<int> level(y0, y0 + height);
    std::vector<int> lo(cols), hi(cols);
    for (int i = 0; i < cols; ++i) {
        do {
            lo[i] = level(rng);
            hi[i] = level(rng);
            if (lo[i] > hi[i])
                std::swap(lo[i], hi[i]);
        } while (lo[i] == hi[i] ||
                 (i > 0 && std::max(lo[i], lo[i - 1]) >= std::min(hi[i], hi[i - 1])));
    }
    Shape ring;
    for (int i = 0; i < cols; ++i) {
        ring.push_back({xs[i], lo[i]});
        ring.push_back({xs[i + 1], lo[i]});
    }
    for (int i = cols - 1; i >= 0; --i) {
        ring.push_back({xs[i + 1], hi[i]});
        ring.push_back({xs[i], hi[i]});
    }
    Shape simple;
    for (const Pt& p : ring)
        if (simple.empty() || p.x != simple.back().x || p.y != simple.back().y)
            simple.push_back(p);
    if (simple.front().x == simple.back().x && simple.front().y == simple.back().y)
        simple.pop_back();
    if (rng() % 2 == 0)
        std::reverse(simple.begin(), simple.end());
    return simple;
}

struct Trial {
    Grid grid;
    std::vector<Shape> shapes;
    double relative_tolerance;
};

// A grid of 4..32 tiles each way whose extent is not always a multiple of the tile count, and
// one to three shapes inside its tiled area.
Trial random_trial(std::mt19937& rng) {
    int cols = 4 + static_cast<int>(rng() % 29);
    int rows = 4 + static_cast<int>(rng() % 29);
    bool exact = rng() % 2 == 0;
    int tile =
        exact ? 2 + static_cast<int>(rng() % 4) : 1000000 + static_cast<int>(rng() % 60000000);
    int min_x = static_cast<int>(rng() % 2001) - 1000;
    int min_y = static_cast<int>(rng() % 2001) - 1000;
    Grid g{min_x,
           min_y,
           min_x + cols * tile + static_cast<int>(rng() % cols),
           min_y + rows * tile + static_cast<int>(rng() % rows),
           cols,
           rows};
    Trial t{g, {}, exact ? 1e-12 : 1e-6};
    int shapes = 1 + static_cast<int>(rng() % 3);
    for (int s = 0; s < shapes; ++s) {
        if (exact) {
            t.shapes.push_back(closed(random_skyline(rng, min_x, min_y, cols * tile, rows * tile)));
        } else {
            double half = std::min(cols, rows) * tile / 2.0;
            t.shapes.push_back(closed(
                random_star(rng, min_x + cols * tile / 2.0, min_y + rows * tile / 2.0, half)));
        }
    }
    return t;
}

TEST(TilingProperty, PolygonAreaIsConservedAndPiecesStayInTheirTiles) {
    const unsigned seed = seed_or(20240611);
    std::mt19937 rng(seed);
    for (int trial = 0; trial < trials_or(70); ++trial) {
        Trial t = random_trial(rng);
        tiling_host::Tiled out = tiling_host::tile_polygons(t.grid, t.shapes);
        ASSERT_EQ(out.shape_parts.size(), t.shapes.size());
        for (size_t s = 0; s < t.shapes.size(); ++s) {
            double expected = std::fabs(tiling_host::signed_area(t.shapes[s]));
            double sum = 0.0;
            bool inside = true;
            for (const tiling_host::Piece& piece : out.of_shape(static_cast<int>(s))) {
                sum += std::fabs(tiling_host::signed_area(piece.points));
                inside =
                    inside && tiling_host::within(
                                  piece.points, tiling_host::tile_of(t.grid, piece.col, piece.row));
            }
            ASSERT_TRUE(std::fabs(sum - expected) <= t.relative_tolerance * expected && inside)
                << "seed " << seed << " trial " << trial << " shape " << s << ": area " << sum
                << " of " << expected << (inside ? "" : ", a piece leaves its tile") << "\n grid "
                << t.grid.min_x << "," << t.grid.min_y << " .. " << t.grid.max_x << ","
                << t.grid.max_y << " " << t.grid.cols << "x" << t.grid.rows << "\n ring"
                << text_of(t.shapes[s]);
        }
    }
}

// A random walk of integer points inside the box, with steps of up to a fifth of its size; with
// `axis_steps` each step runs along x or along y, so every crossing with a tile edge is exact.
Shape random_walk(std::mt19937& rng, int x0, int y0, int width, int height, bool axis_steps) {
    std::uniform_int_distribution<int> along_x(x0, x0 + width), along_y(y0, y0 + height);
    std::uniform_int_distribution<int> step_x(-width / 5, width / 5),
        step_y(-height / 5, height / 5);
    Shape line{{along_x(rng), along_y(rng)}};
    int n = 2 + static_cast<int>(rng() % 30);
    while (static_cast<int>(line.size()) < n) {
        Pt p{line.back().x + step_x(rng), line.back().y + step_y(rng)};
        if (axis_steps && rng() % 2 == 0)
            p.x = line.back().x;
        else if (axis_steps)
            p.y = line.back().y;
        if (p.x >= x0 && p.x <= x0 + width && p.y >= y0 && p.y <= y0 + height &&
            (p.x != line.back().x || p.y != line.back().y))
            line.push_back(p);
    }
    return line;
}

TEST(TilingProperty, PolylineLengthIsConservedAndPiecesStayInTheirTiles) {
    const unsigned seed = seed_or(20240612);
    std::mt19937 rng(seed);
    for (int trial = 0; trial < trials_or(60); ++trial) {
        Trial t = random_trial(rng);
        int width = t.grid.cols * ((t.grid.max_x - t.grid.min_x) / t.grid.cols);
        int height = t.grid.rows * ((t.grid.max_y - t.grid.min_y) / t.grid.rows);
        std::vector<Shape> lines;
        for (size_t s = 0; s < t.shapes.size(); ++s)
            lines.push_back(random_walk(rng, t.grid.min_x, t.grid.min_y, width, height,
                                        t.relative_tolerance < 1e-9));
        tiling_host::Tiled out = tiling_host::tile_polylines(t.grid, lines);
        ASSERT_EQ(out.shape_parts.size(), lines.size());
        for (size_t s = 0; s < lines.size(); ++s) {
            double expected = tiling_host::length(lines[s]);
            double sum = 0.0;
            bool inside = true;
            for (const tiling_host::Piece& piece : out.of_shape(static_cast<int>(s))) {
                sum += tiling_host::length(piece.points);
                inside =
                    inside && tiling_host::within(
                                  piece.points, tiling_host::tile_of(t.grid, piece.col, piece.row));
            }
            ASSERT_TRUE(std::fabs(sum - expected) <= t.relative_tolerance * expected && inside)
                << "seed " << seed << " trial " << trial << " line " << s << ": length " << sum
                << " of " << expected << (inside ? "" : ", a piece leaves its tile") << "\n grid "
                << t.grid.min_x << "," << t.grid.min_y << " .. " << t.grid.max_x << ","
                << t.grid.max_y << " " << t.grid.cols << "x" << t.grid.rows << "\n line"
                << text_of(lines[s]);
        }
    }
}

}  // namespace
