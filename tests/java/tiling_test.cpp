// Tiled clipping run as a host runs it (records from integer arrays, pieces read from the output
// record): pieces in their tiles, whole tiles as marked squares in column order, shapes cut to the
// grid in input order, output records of any capacity; area and length kept over random shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "algebra/rect_clip.h"
#include "com/check.h"
#include "com/codes.h"
#include "crosspoint/segment_index.h"
#include "java/java_internal.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"

namespace {

struct Pt {
    int x, y, z = 0;
    bool operator==(const Pt& o) const { return x == o.x && y == o.y && z == o.z; }
};
std::ostream& operator<<(std::ostream& os, const Pt& p) {
    return os << p.x << " " << p.y << " " << p.z;
}
using Shape = std::vector<Pt>;
using Tiles = std::vector<std::pair<int, int>>;

struct Grid {
    int min_x, min_y, max_x, max_y, cols, rows;
};

struct Piece {
    Shape points;
    int col, row;
};

// The pieces of a call, shape by shape (shape_parts tells how many each input shape gave).
using Tiled = std::vector<std::vector<Piece>>;

using PolygonTiler = void (*)(const polygon_division_in_t*, polygon_division_out_t*);

// Runs the polygon or the polyline entry point on the shapes with an output record of the
// capacities the library expects, and reads the pieces back.
Tiled tile(const Grid& g, const std::vector<Shape>& shapes, bool polygons,
           PolygonTiler tiler = algebra_polygon_intersec_java) {
    std::vector<int> x, y, z, parts;
    for (const Shape& s : shapes) {
        parts.push_back(static_cast<int>(s.size()));
        for (const Pt& p : s)
            x.push_back(p.x), y.push_back(p.y), z.push_back(p.z);
    }
    const int n = static_cast<int>(x.size()), p = static_cast<int>(parts.size());
    Tiled t;
    auto read = [&t](const auto& out, const int* codes) {
        for (int s = 0, i = 0, k = 0; s < out.shape_num; ++s)
            for (t.emplace_back(); t.back().size() < size_t(out.shape_parts[s]); ++i) {
                t.back().push_back({{}, out.part_col[i], out.part_row[i]});
                for (int j = 0; j < out.part_points[i]; ++j, ++k)
                    t.back().back().points.push_back({out.x[k], out.y[k], codes ? codes[k] : 0});
            }
    };
    if (polygons) {
        polygon_division_in_t in{n,      p,      g.min_y, g.max_y, g.min_x, g.max_x,
                                 g.cols, g.rows, nullptr, nullptr, nullptr, nullptr};
        polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(), n, p);
        polygon_division_out_t out{};
        polygon_division_out_init(&out, 512, 512, p);
        tiler(&in, &out);
        read(out, out.z);
        polygon_division_in_free(&in);
        polygon_division_out_free(&out);
    } else {
        tag_division_in_t in{n,      p,      g.min_y, g.max_y, g.min_x, g.max_x,
                             g.cols, g.rows, nullptr, nullptr, nullptr};
        division_in_init(&in, x.data(), y.data(), parts.data(), n, p);
        tag_division_out_t out{};
        division_out_init(&out, 512, 512, p);
        algebra_polyline_intersec_java(&in, &out);
        read(out, nullptr);
        division_in_free(&in);
        division_out_free(&out);
    }
    return t;
}

// The summed areas of closed rings (unsigned, shoelace) or lengths of lines.
double total(const std::vector<Piece>& pieces, bool rings) {
    double sum = 0.0;
    for (const Piece& piece : pieces) {
        double one = 0.0;
        for (size_t i = 0; i + 1 < piece.points.size(); ++i) {
            const Pt &p = piece.points[i], &q = piece.points[i + 1];
            one += rings ? (double(p.x) * q.y - double(q.x) * p.y) / 2.0
                         : std::hypot(q.x - p.x, q.y - p.y);
        }
        sum += std::fabs(one);
    }
    return sum;
}

rectangle_t tile_of(const Grid& g, int col, int row) {
    return get_rect_by_index(
        col, row, g.cols, g.rows,
        rectangle_t{double(g.min_y), double(g.max_y), double(g.min_x), double(g.max_x)});
}

// Every piece lies within its tile, and the tile is one of the grid's (up to the far-edge index).
bool pieces_in_tiles(const std::vector<Piece>& pieces, const Grid& g) {
    for (const Piece& piece : pieces) {
        rectangle_t r = tile_of(g, piece.col, piece.row);
        if (piece.col < 0 || piece.col > g.cols || piece.row < 0 || piece.row > g.rows)
            return false;
        for (const Pt& p : piece.points)
            if (p.x < r.min_x || p.x > r.max_x || p.y < r.min_y || p.y > r.max_y)
                return false;
    }
    return true;
}

Shape square(int x0, int y0, int x1, int y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

const Grid kGrid8{0, 0, 80, 80, 8, 8};

TEST(Tiling, PiecesLieInTheirTilesAndKeepTheAreaOrLengthInsideTheGrid) {
    struct Case {
        const char* what;
        bool polygon;
        Shape shape;
        Tiles tiles;  // of the pieces, sorted
        double measure;
        Grid grid = kGrid8;
    };
    const Shape big = square(5, 5, 75, 75);
    const double bent = std::hypot(6, 4) + std::hypot(4, 2);
    const Tiles up{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}};
    const Case cases[] = {
        {"ring wholly left of the grid", true, square(-100, 10, -90, 20), {}, 0},
        {"ring reaching out on the left", true, square(-20, 12, 5, 18), {{0, 1}}, 30},
        {"ring past the far corner", true, square(75, 75, 500, 500), {{7, 7}}, 25},
        // 9 units over 4 columns: tiles of 2 cover 0..8, column 4 (the far-edge index) 8..9.
        {"far-edge column", true, square(7, 1, 9, 2), {{3, 0}, {4, 0}}, 2, {0, 0, 9, 8, 4, 4}},
        {"no columns", true, big, {}, 0, {0, 0, 80, 80, 0, 8}},
        {"grid narrower than its columns", true, big, {}, 0, {0, 0, 3, 80, 4, 8}},
        {"line in one tile", false, {{12, 13}, {18, 17}, {14, 19}}, {{1, 1}}, bent},
        {"line across a row, up a column", false, {{5, 5}, {35, 5}, {35, 25}}, up, 50},
        // On the common edge x = 20 of columns 1 and 2: kept by column 2, whose least-x side it is.
        {"line along a tile edge", false, {{20, 2}, {20, 8}}, {{2, 0}}, 6},
        {"line wholly outside", false, {{-50, 5}, {-40, 5}}, {}, 0},
        {"line reaching out", false, {{-50, 5}, {15, 5}}, {{0, 0}, {1, 0}}, 15},
        // Along the grid's outline and then out of it: the stretch on the outline lies in the grid.
        // The far edge x = 80 belongs to the far-edge column 8.
        {"far edge, then out", false, {{80, 2}, {80, 18}, {95, 30}}, {{8, 0}, {8, 1}}, 16},
        {"least edge, then out", false, {{0, 2}, {0, 18}, {-15, 30}}, {{0, 0}, {0, 1}}, 16},
    };
    for (const Case& c : cases) {
        Tiled out = tile(c.grid, {c.shape}, c.polygon);
        ASSERT_EQ(out.size(), 1u) << c.what;
        Tiles tiles;
        for (const Piece& p : out[0])
            tiles.emplace_back(p.col, p.row);
        std::sort(tiles.begin(), tiles.end());
        EXPECT_EQ(tiles, c.tiles) << c.what;
        EXPECT_NEAR(total(out[0], c.polygon), c.measure, 1e-9) << c.what;
        EXPECT_TRUE(pieces_in_tiles(out[0], c.grid)) << c.what;
    }
}

// Two shapes, kept in input order: a ring within one tile (itself, codes too) and a square over
// all tiles whose inner tiles come whole as marked squares.
TEST(PolygonTiling, ShapesInOrderAndInnerTilesWholeAsMarkedSquaresColumnByColumn) {
    Shape ring{{12, 13, 2}, {18, 13}, {18, 17, 3}, {12, 17}, {12, 13, 2}};
    Tiled out = tile(kGrid8, {ring, square(5, 5, 75, 75)}, true);
    ASSERT_TRUE(out.size() == 2 && out[0].size() == 1 && out[1].size() == 64);
    EXPECT_EQ(out[0][0].points, ring);
    Tiles whole;
    for (const Piece& p : out[1]) {
        Shape marked = square(10 * p.col, 10 * p.row, 10 * p.col + 10, 10 * p.row + 10);
        marked.front().z = 2, marked.back().z = 3;
        bool inner = p.col >= 1 && p.col <= 6 && p.row >= 1 && p.row <= 6;
        EXPECT_EQ(p.points == marked, inner) << "tile " << p.col << "," << p.row;
        if (inner)
            whole.emplace_back(p.col, p.row);
    }
    // The block of tiles 2..3 x 2..3 lies inside whole: all rows of a column, then the next.
    auto first = std::find(whole.begin(), whole.end(), std::make_pair(2, 2));
    ASSERT_LE(first + 4, whole.end());
    EXPECT_EQ(Tiles(first, first + 4), (Tiles{{2, 2}, {2, 3}, {3, 2}, {3, 3}}));
}

std::string read_file(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The "source_error.txt" block of a ring: its point count, then each point.
std::string trace_block(const Shape& ring) {
    std::string text = "num: " + std::to_string(ring.size()) + "\n";
    for (const Pt& p : ring)
        text += std::to_string(p.x) + "\t" + std::to_string(p.y) + "\n";
    return text;
}

// How many times `text` is `block` repeated from `at` on; `at` moves past them.
int copies_at(const std::string& text, const std::string& block, size_t* at) {
    int copies = 0;
    for (; text.compare(*at, block.size(), block) == 0; *at += block.size())
        ++copies;
    return copies;
}

// A faulty ring's block goes to the trace once per tile clipped from it: on one tile once, on two
// tiles twice; and the shapes of a call come in order, each shape's blocks together.
TEST(PolygonTiling, FaultyRingsTracedOncePerClippedTileShapeAfterShape) {
    const Shape bow_tie{{2, 2}, {18, 8}, {18, 2}, {2, 8}, {2, 2}};
    const Shape spike{{1, 1}, {9, 1}, {9, 9}, {5, 9}, {5, 15}, {5, 9}, {1, 9}, {1, 1}};
    const std::string bow_block = trace_block(bow_tie), spike_block = trace_block(spike);
    struct Case {
        Grid grid;
        std::vector<Shape> shapes;
        int bow_copies, spike_copies;
    };
    const Case cases[] = {{{0, 0, 20, 10, 1, 1}, {bow_tie}, 1, 0},
                          {{0, 0, 20, 10, 2, 1}, {bow_tie}, 2, 0},
                          {{0, 0, 20, 20, 4, 4}, {bow_tie, spike}, -1, -1}};
    for (const Case& c : cases) {
        std::remove("source_error.txt");
        tile(c.grid, c.shapes, true);
        const std::string text = read_file("source_error.txt");
        size_t at = 0;
        const int bows = copies_at(text, bow_block, &at);
        const int spikes = copies_at(text, spike_block, &at);
        EXPECT_EQ(at, text.size()) << text;
        if (c.bow_copies >= 0) {
            EXPECT_EQ(bows, c.bow_copies);
            EXPECT_EQ(spikes, c.spike_copies);
        } else {
            EXPECT_GE(bows, 2);
            EXPECT_GE(spikes, 2);
        }
    }
    std::remove("source_error.txt");
}

// Many copies of a block, short or longer than the write buffer, end as that many appends.
TEST(TraceFiles, RepeatedBlockAppendsEveryCopy) {
    const std::string small = "num: 1\n7\t8\n", large(3 << 20, 'x');
    for (const auto& [block, times] : {std::make_pair(small, 1000003LL), {large, 3LL}}) {
        std::remove("repeat_test.txt");
        mapgeom::trace_append_text("repeat_test.txt", "head\n", 5);
        mapgeom::trace_append_repeated("repeat_test.txt", block.data(), block.size(), times);
        mapgeom::trace_append_repeated("repeat_test.txt", block.data(), block.size(), 0);
        const std::string text = read_file("repeat_test.txt");
        ASSERT_EQ(text.size(), 5 + block.size() * times);
        size_t at = 5;
        EXPECT_EQ(copies_at(text, block, &at), times);
    }
    std::remove("repeat_test.txt");
}

// A host ring handed over without its closing point (found by fuzzing) is tiled as the closed
// ring: it used to come out as one whole tile outside it, which it only touches at a corner.
TEST(PolygonTiling, RingWithoutItsClosingPointIsTiledAsClosed) {
    const Grid g{1, 0, 29, 28, 2, 2};
    Shape open{{5, 5}, {9, 0}, {28, 28}}, closed{{5, 5}, {9, 0}, {28, 28}, {5, 5}};
    Tiled a = tile(g, {open}, true), b = tile(g, {closed}, true);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(a[0].size(), b[0].size());
    EXPECT_NEAR(total(a[0], true), total(b[0], true), 1e-9);
    EXPECT_NEAR(total(b[0], true), 103.5, 4.0);  // the triangle, up to snapping crossings
    EXPECT_TRUE(pieces_in_tiles(a[0], g));
}

// An output record whatever its capacities: too small for the pieces and for one shape_parts
// entry per shape, or already holding pieces of an earlier call.
TEST(PolygonTiling, OutputRecordOfAnyCapacityIsGrownNotOverrun) {
    std::vector<int> parts{5, 5}, z(10, 0), x{5, 75, 75, 5, 5, 5, 75, 75, 5, 5},
        y{5, 5, 75, 75, 5, 5, 5, 75, 75, 5};
    polygon_division_in_t in{10, 2, 0, 80, 0, 80, 8, 8, nullptr, nullptr, nullptr, nullptr};
    polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(), 10, 2);
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 1, 1, 0);
    algebra_polygon_intersec_java(&in, &out);
    EXPECT_TRUE(out.part_num == 128 && out.shape_num == 2 && out.shape_parts[1] == 64);
    algebra_polygon_intersec_java(&in, &out);
    EXPECT_TRUE(out.part_num == 256 && out.shape_num == 4 && out.shape_parts[3] == 64)
        << "a second call appends after what the record holds";
    EXPECT_TRUE(out.part_col[0] == out.part_col[128] && out.x[0] == out.x[out.point_num / 2]);
    out.part_num = -1;
    algebra_polygon_intersec_java(&in, &out);
    EXPECT_EQ(out.shape_num, 4) << "a record with a negative count is left alone";
    polygon_division_in_free(&in);
    polygon_division_out_free(&out);
}

// Memory running out partway through a shape: the call ends with that shape's entry counting the
// pieces written, later shapes get no entry, so a host sees shape_num fall short of its shapes.
// The address-space limit cannot stand beside a sanitizer's shadow memory.
TEST(PolygonTiling, WriteThatCannotBeMadeEndsTheCallWithTheShapesEntry) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "address-space limit not usable under a sanitizer";
#else
    const int side = 4096;  // 16M whole tiles: far more than the limit lets through
    std::vector<int> parts{5, 5}, z(10, 0), x{0, side, side, 0, 0, 1, 2, 2, 1, 1},
        y{0, 0, side, side, 0, 1, 1, 2, 2, 1};
    polygon_division_in_t in{10,   2,    0,       side,    0,       side,
                             side, side, nullptr, nullptr, nullptr, nullptr};
    polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(), 10, 2);
    polygon_division_out_t out{};
    polygon_division_out_init(&out, 512, 512, 2);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &before), 0);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit limited = before;
    limited.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (256L << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &limited), 0);
    algebra_polygon_intersec_java(&in, &out);
    setrlimit(RLIMIT_AS, &before);
    EXPECT_EQ(out.shape_num, 1) << "the second shape gets no entry";
    EXPECT_GT(out.part_num, 0);
    EXPECT_LT(out.part_num, side * side);
    EXPECT_EQ(out.shape_parts[0], out.part_num) << "the entry counts every piece written";
    long points = 0;
    for (int k = 0; k < out.part_num; ++k)
        points += out.part_points[k];
    EXPECT_EQ(points, out.point_num);
    polygon_division_in_free(&in);
    polygon_division_out_free(&out);
#endif
}

using testing_shapes::random_int;
using testing_shapes::random_real;

// A ring star-shaped around (cx, cy): one vertex at a random angle and radius in each of n equal
// sectors, so the ring is simple.
Shape random_star(std::mt19937& rng, double cx, double cy, double radius) {
    int n = random_int(rng, 4, 43);
    Shape ring;
    for (int i = 0; i < n; ++i) {
        double a = (i + random_real(rng, 0, 0.9)) / n * 2 * M_PI,
               r = random_real(rng, 0.15, 1) * radius;
        Pt p{int(std::lround(cx + r * std::cos(a))), int(std::lround(cy + r * std::sin(a)))};
        if (ring.empty() || !(p == ring.back()))
            ring.push_back(p);
    }
    ring.push_back(ring.front());
    return ring;
}

// A rectilinear ring on whole units: columns of random widths from a common base up to random
// heights, so that many vertices and edges fall on tile edges and every crossing is exact.
Shape random_histogram(std::mt19937& rng, int x0, int y0, int width, int height) {
    std::vector<int> xs{x0};
    while (xs.back() < x0 + width)
        xs.push_back(std::min(x0 + width, xs.back() + random_int(rng, 1, 6)));
    int base = y0 + random_int(rng, 0, height / 2);
    Shape ring{{x0, base}, {xs.back(), base}};
    for (size_t i = xs.size() - 1; i > 0; --i) {
        int top = random_int(rng, base + 1, y0 + height);
        for (Pt p : {Pt{xs[i], top}, Pt{xs[i - 1], top}})
            if (!(p == ring.back()))
                ring.push_back(p);
    }
    ring.push_back(ring.front());
    if (rng() % 2 == 0)
        std::reverse(ring.begin(), ring.end());
    return ring;
}

// What of a shape lies in the closed rectangle: the area of a ring clipped edge by edge against
// each side in turn (the clipped ring may run along a side and back, which adds no area), or the
// length of a line's segments each cut back to the sides.
double measure_within(const Shape& s, bool ring, const Grid& g) {
    using P = std::pair<double, double>;
    auto by = [&g](int side, P p) {  // >= 0 on the grid's side of its edge `side`
        const double v[] = {p.first - g.min_x, g.max_x - p.first, p.second - g.min_y,
                            g.max_y - p.second};
        return v[side];
    };
    auto cut = [&by](P p, P q, int side) {  // where pq crosses edge `side`
        double t = by(side, p) / (by(side, p) - by(side, q));
        return P{p.first + t * (q.first - p.first), p.second + t * (q.second - p.second)};
    };
    std::vector<P> pts;
    for (const Pt& p : s)
        pts.push_back({double(p.x), double(p.y)});
    double sum = 0.0;
    if (!ring) {
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            P p = pts[i], q = pts[i + 1];
            bool out = false;
            for (int side = 0; side < 4 && !out; ++side) {
                out = by(side, p) < 0 && by(side, q) < 0;
                if ((by(side, p) < 0) != (by(side, q) < 0))
                    (by(side, p) < 0 ? p : q) = cut(p, q, side);
            }
            sum += out ? 0.0 : std::hypot(q.first - p.first, q.second - p.second);
        }
        return sum;
    }
    pts.pop_back();  // open ring
    for (int side = 0; side < 4; ++side) {
        std::vector<P> kept;
        for (size_t i = 0; i < pts.size(); ++i) {
            P p = pts[i], q = pts[(i + 1) % pts.size()];
            if (by(side, p) >= 0)
                kept.push_back(p);
            if ((by(side, p) < 0) != (by(side, q) < 0))
                kept.push_back(cut(p, q, side));
        }
        pts = kept;
    }
    for (size_t i = 0; i < pts.size(); ++i) {
        P p = pts[i], q = pts[(i + 1) % pts.size()];
        sum += (p.first * q.second - q.first * p.second) / 2.0;
    }
    return std::fabs(sum);
}

// Grids of 4..32 tiles each way, tiles not square, whose extent is not always a multiple of the
// tile count (by less than a tile, so the tiles reach the grid's far sides): small tiles with
// rectilinear rings and lines (exact), or large ones with stars. Every other shape is moved by up
// to half the grid each way, so that it reaches outside and is cut to the grid first.
TEST(TilingProperty, AreaAndLengthAreConservedAndPiecesStayInTheirTiles) {
    const unsigned seed = 20240611;
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 120; ++trial) {
        bool polygons = trial % 2 == 0, exact = rng() % 2 == 0;
        int cols = random_int(rng, 4, 32), rows = random_int(rng, 4, 32);
        auto size = [&] {
            return exact ? random_int(rng, 2, 5) : random_int(rng, 1000000, 61000000);
        };
        int x0 = random_int(rng, -1000, 1000), y0 = random_int(rng, -1000, 1000);
        int tile_w = size(), tile_h = size(), width = cols * tile_w, height = rows * tile_h;
        int max_x = x0 + width + random_int(rng, 0, std::min(cols, tile_w) - 1);
        int max_y = y0 + height + random_int(rng, 0, std::min(rows, tile_h) - 1);
        Grid g{x0, y0, max_x, max_y, cols, rows};
        std::vector<Shape> shapes(random_int(rng, 1, 3));
        for (Shape& s : shapes) {
            bool moved = rng() % 2 == 0;
            int dx = moved ? random_int(rng, -width / 2, width / 2) : 0;
            int dy = moved ? random_int(rng, -height / 2, height / 2) : 0;
            s = exact ? random_histogram(rng, x0 + dx, y0 + dy, width, height)
                      : random_star(rng, x0 + dx + width / 2.0, y0 + dy + height / 2.0,
                                    std::min(width, height) / 2.0);
            int from = random_int(rng, 0, int(s.size()) - 2),
                to = random_int(rng, from + 2, int(s.size()));
            if (!polygons)  // a line: a stretch of the ring, open or closed
                s = Shape(s.begin() + from, s.begin() + to);
        }
        Tiled out = tile(g, shapes, polygons);
        ASSERT_EQ(out.size(), shapes.size());
        for (size_t s = 0; s < shapes.size(); ++s) {
            double expected = measure_within(shapes[s], polygons, g);
            double got = total(out[s], polygons);
            ASSERT_TRUE(std::fabs(got - expected) <= (exact ? 1e-12 : 1e-6) * expected &&
                        pieces_in_tiles(out[s], g))
                << "seed " << seed << " trial " << trial << ": " << got << " of " << expected
                << "\n grid " << g.min_x << "," << g.min_y << " .. " << g.max_x << "," << g.max_y
                << " " << cols << "x" << rows << "\n shape " << testing::PrintToString(shapes[s]);
        }
    }
}

// A ring of n vertices around (cx, cy) whose radius jumps between `low` and 1 times `radius` at
// random: spiky (it winds in and out of blocks and tiles), touching or crossing itself now and
// then when `wild`, with a press section here and there.
Shape random_spiky_ring(std::mt19937& rng, int n, double cx, double cy, double radius, bool wild) {
    Shape ring;
    for (int i = 0; i < n; ++i) {
        double a = (i + (wild ? random_real(rng, -2, 2) : random_real(rng, 0, 0.9))) / n * 2 * M_PI;
        double r = radius * (rng() % 2 ? random_real(rng, 0.9, 1) : random_real(rng, 0.05, 1));
        Pt p{int(std::lround(cx + r * std::cos(a))), int(std::lround(cy + r * std::sin(a))),
             rng() % 10 ? 0 : 2 + int(rng() % 2)};
        if (ring.empty() || p.x != ring.back().x || p.y != ring.back().y)
            ring.push_back(p);
    }
    if (wild && ring.size() > 8)  // a vertex visited twice: the ring touches itself there
        ring.insert(ring.begin() + ring.size() / 2, ring[ring.size() / 4]);
    ring.push_back(ring.front());
    return ring;
}

std::string text_of(const std::vector<Piece>& pieces) {
    std::string text;
    for (const Piece& piece : pieces)
        text += std::to_string(piece.col) + "," + std::to_string(piece.row) + ": " +
                testing::PrintToString(piece.points) + "\n";
    return text;
}

// The halving recursion narrows each block's clipping source from its parent's; the pieces (their
// points, codes, order and tiles) are those of clipping every tile and locating every block corner
// from the whole ring. Spiky and self-touching rings, rectilinear rings along tile edges, rings
// reaching outside the grid, several rings per call, grids from 2 to 64 tiles each way.
TEST(PolygonTiling, NarrowedRecursionGivesWhatTheWholeRingGives) {
    const unsigned seed = 9103;
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 40; ++trial) {
        int cols = random_int(rng, 2, 64), rows = random_int(rng, 2, 64);
        bool exact = trial % 3 == 0;
        int tile_w = exact ? random_int(rng, 2, 5) : random_int(rng, 20, 4000);
        int tile_h = exact ? random_int(rng, 2, 5) : random_int(rng, 20, 4000);
        int width = cols * tile_w, height = rows * tile_h;
        Grid g{-width / 3, -height / 4, width - width / 3, height - height / 4, cols, rows};
        std::vector<Shape> shapes(random_int(rng, 1, 3));
        for (Shape& s : shapes) {
            double cx = g.min_x + random_real(rng, 0.2, 0.8) * width;
            double cy = g.min_y + random_real(rng, 0.2, 0.8) * height;
            double radius = random_real(rng, 0.1, 0.7) * std::min(width, height);
            s = exact ? random_histogram(rng, g.min_x + random_int(rng, -3, 3), g.min_y,
                                         width - random_int(rng, 0, 3), height)
                      : random_spiky_ring(rng, random_int(rng, 8, 400), cx, cy, radius,
                                          rng() % 3 == 0);
        }
        Tiled whole = tile(g, shapes, true, mapgeom::polygon_intersec_java_from_whole_rings);
        Tiled narrowed = tile(g, shapes, true);
        ASSERT_EQ(narrowed.size(), whole.size());
        for (size_t s = 0; s < shapes.size(); ++s)
            ASSERT_EQ(text_of(narrowed[s]), text_of(whole[s]))
                << "seed " << seed << " trial " << trial << " shape " << s << "\n grid " << g.min_x
                << "," << g.min_y << " .. " << g.max_x << "," << g.max_y << " " << cols << "x"
                << rows << "\n shape " << testing::PrintToString(shapes[s]);
    }
}

// A block's relation to the polygon, told from the polygon's segment index where the boundary
// keeps clear of the block's outline, asks for what relation_polygon_and_polygon's code asks for:
// the same code where no edge comes near the outline (and where the relation itself is asked), and
// a code that divides the block further where an edge runs through the block's inside (the
// relation then says overlap, inside, or touching apart when a spike's crossings merge). Spiky,
// self-touching and rectilinear rings; blocks over, around and beside them.
TEST(BlockRelation, AsksForWhatTheRelationOfPolygonAndOutlineAsksFor) {
    using namespace mapgeom;  // the relation codes
    const unsigned seed = 3407;
    std::mt19937 rng(seed);
    int decided = 0, divided = 0;  // blocks whole or apart, blocks to divide
    for (int trial = 0; trial < 60; ++trial) {
        const bool exact = trial % 3 == 0;
        const int span = exact ? 60 : 1000;
        Shape ring = exact ? random_histogram(rng, 0, 0, span, span)
                           : random_spiky_ring(rng, random_int(rng, 8, trial % 3 == 1 ? 16 : 300),
                                               span / 2, span / 2, span * 0.45, trial % 4 == 1);
        if (ring.front().x != ring.back().x || ring.front().y != ring.back().y)
            ring.push_back(ring.front());
        polygon_t polygon;
        com_polygon_init(&polygon);
        for (const Pt& p : ring)
            com_polygon_add(&polygon, point_t{double(p.x), double(p.y), double(p.z)});
        mapgeom::SegmentIndex boundary;
        mapgeom::build_segment_index(&boundary, &polygon.geom, polygon.geom.count - 1);
        const mapgeom::RectClipSource source(&polygon);
        for (int b = 0; b < 40; ++b) {
            const int x0 = random_int(rng, -span / 10, span),
                      y0 = random_int(rng, -span / 10, span);
            const int w = random_int(rng, 1, span / 3), h = random_int(rng, 1, span / 3);
            const rectangle_t rect{double(y0), double(y0 + h), double(x0), double(x0 + w)};
            polygon_t outline;
            com_polygon_init(&outline);
            get_polygon_by_rect(rect, &outline);
            const int got =
                mapgeom::relation_polygon_and_block(&polygon, boundary, rect, &outline, source);
            const int expected = relation_polygon_and_polygon(&polygon, &outline);
            com_polygon_free(&outline);
            const bool divides = expected == kRelationOverlap || expected == kRelationAInsideB ||
                                 expected == kRelationAInsideBSharingEdge ||
                                 expected == kRelationAInsideBTouching ||
                                 expected == kRelationApartTouching;
            ASSERT_TRUE(got == expected || (got == kRelationOverlap && divides))
                << "seed " << seed << " trial " << trial << " block " << x0 << "," << y0 << " " << w
                << "x" << h << ": " << got << " for " << expected << "\n ring "
                << testing::PrintToString(ring);
            ++(got == kRelationOverlap ? divided : decided);
        }
        com_polygon_free(&polygon);
    }
    EXPECT_GT(decided, 300);
    EXPECT_GT(divided, 300);
}

}  // namespace
