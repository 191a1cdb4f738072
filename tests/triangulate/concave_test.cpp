// Concave decomposition: result codes and messages, hidden diagonals and kept input flags, the
// exported segment helpers, and over seeded random and real rings the exact tiling by convex
// pieces.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>

#include "concave_layout.h"
#include "convex_rings.h"
#include "mapgeom/concave.h"

extern "C" void concave_record_layout_from_c(size_t* values);

namespace {

using namespace convex_rings;

const char kInitFailed[] = "\xb3\xf5\xca\xbc\xbb\xaf\xc1\xb4\xb1\xed\xca\xa7\xb0\xdc!!!\n";

struct Decomposition {
    int code = 0, piece_count = 0;
    std::vector<std::vector<_point>> pieces;  // as stored, closing point included
    std::string output;                       // what went to standard output
};

// Runs MakePolyProtru over the ring with flags (its closing point appended, unless it is a single
// point) and copies the chain out before releasing it.
Decomposition decompose(const Ring& r, const std::vector<int>& flags) {
    std::vector<_InPoint> points;
    for (size_t i = 0; i < r.size() + (r.size() > 1); ++i)
        points.push_back({int(r[i % r.size()].x), int(r[i % r.size()].y), flags[i % r.size()]});
    Decomposition d;
    _polygon* chain = nullptr;
    testing::internal::CaptureStdout();
    d.code = MakePolyProtru(&chain, &d.piece_count, points.data(), static_cast<int>(points.size()));
    d.output = testing::internal::GetCapturedStdout();
    for (_polygon* p = chain; p != nullptr; p = p->next)
        d.pieces.emplace_back(p->points, p->points + p->num);
    EXPECT_EQ(d.pieces.size(), size_t(d.piece_count)) << "the chain and the count disagree";
    EXPECT_EQ(ReleasePolygonSpace(chain, d.piece_count), 1);
    return d;
}

// Every piece closed (the last point repeats the first, flag exactly 2), the pieces tiling the ring
// (repeated points dropped), each ring edge hidden in its piece exactly when the input hides it (an
// edge a -> b is hidden when a has bit 1 or b bit 2), every diagonal hidden by both bits.
std::string piece_problems(const Ring& input, const std::vector<int>& flags,
                           const Decomposition& d) {
    Ring ring;
    std::map<std::pair<V, V>, bool> hidden;  // the ring's edges, counter-clockwise
    bool clockwise = twice_area(input) < 0;
    for (size_t i = 0, n = input.size(); i < n; ++i) {
        V a = input[i], b = input[(i + 1) % n];
        if (!(a == b))
            ring.push_back(a);
        hidden[clockwise ? std::make_pair(b, a) : std::make_pair(a, b)] =
            (flags[i] & 1) || (flags[(i + 1) % n] & 2);
    }
    std::vector<Ring> pieces;
    std::string problems;
    for (const auto& piece : d.pieces) {
        pieces.push_back({});
        for (size_t i = 0; i + 1 < piece.size(); ++i) {
            V a{piece[i].x, piece[i].y}, b{piece[i + 1].x, piece[i + 1].y};
            pieces.back().push_back(a);
            bool shown = !(piece[i].non_show & 1) && !(piece[i + 1].non_show & 2);
            bool both = (piece[i].non_show & 1) && (piece[i + 1].non_show & 2);
            auto edge = hidden.find({a, b});
            if (edge == hidden.end() ? !both : edge->second == shown)
                problems += "edge " + text({a, b}) + (shown ? "shown\n" : "hidden\n");
        }
        if (piece.size() < 4 || piece.front().x != piece.back().x ||
            piece.front().y != piece.back().y || piece.back().non_show != 2)
            problems += "piece not closed as stored\n";
    }
    return problems + tiling_problems(ring, pieces);
}

TEST(ConcaveDecomposition, PinnedShapes) {
    const struct {
        const char *name, *ring;
        int code, pieces;
    } rows[] = {
        {"square", "0 0, 10 0, 10 10, 0 10", 2, 0},
        {"L hexagon", "0 0, 20 0, 20 10, 10 10, 10 20, 0 20", 0, 2},
        {"repeated point", "0 0, 20 0, 20 0, 20 10, 10 10, 10 20, 0 20", 0, 2},
        {"closed twice", "0 0, 20 0, 20 10, 10 10, 10 20, 0 20, 0 0", 0, 2},
        {"bow tie", "0 0, 10 10, 10 0, 0 10", 1, 0},
        {"touching itself at a vertex", "0 0, 20 0, 20 20, 10 0, 0 20", 1, 0},
        {"pentagram: a left turn at every vertex", "10 0, 16 20, 0 8, 20 8, 4 20", 1, 0},
        {"spike through a vertex", "0 0, 20 0, 20 20, 10 20, 10 10, 10 30, 0 20", 1, 0},
        {"one point", "5 5", -1, 0},
    };
    for (const auto& row : rows) {
        Ring r = ring(row.ring);
        std::vector<int> flags(r.size(), 0);
        Decomposition d = decompose(r, flags);
        EXPECT_EQ(d.code, row.code) << row.name;
        EXPECT_EQ(d.piece_count, row.pieces) << row.name;
        EXPECT_EQ(d.output, row.code == -1 ? kInitFailed : "") << row.name;
        if (row.code == 0) {
            EXPECT_EQ(piece_problems(r, flags, d), "") << row.name;
        }
    }
}

TEST(ConcaveDecomposition, RecordsCompileAsCWithTheSameLayout) {
    size_t c[10];
    concave_record_layout_from_c(c);
    const size_t cpp[10] = CONCAVE_LAYOUT;
    EXPECT_TRUE(std::equal(c, c + 10, cpp));
}

// The segments a-b and c-d as a ring of malloc'd nodes (released by deletespace).
_listnode* nodes_of(const Ring& r) {
    std::vector<_listnode*> nodes;
    for (const V& v : r) {
        nodes.push_back(static_cast<_listnode*>(std::malloc(sizeof(_listnode))));
        *nodes.back() = _listnode{int(v.x), int(v.y), 0, nullptr, nullptr};
    }
    for (size_t i = 0; i < nodes.size(); ++i)
        nodes[i]->next = nodes[(i + 1) % nodes.size()], nodes[i]->next->prev = nodes[i];
    return nodes.front();
}

TEST(ConcaveDecomposition, SegmentHelpers) {
    const struct {
        const char* segments;  // a-b and c-d
        int meet, lines_meet;  // JudgeLineIntersectEx, isIntersected
        double x, y;           // its point
    } rows[] = {
        {"0 0, 10 10, 0 10, 10 0", 1, 1, 5, 5},   // crossing
        {"0 0, 10 0, 5 0, 5 7", 1, 1, 5, 0},      // touching inside an edge
        {"0 0, 10 0, 10 0, 12 9", 1, 1, 10, 0},   // shared end
        {"0 0, 10 0, 20 5, 30 -5", 0, 1, 25, 0},  // lines cross outside
        {"0 0, 10 0, 5 0, 15 0", 1, 0, 0, 0},     // collinear overlap
        {"0 0, 10 0, 11 0, 15 0", 0, 0, 0, 0},    // collinear apart
        {"0 0, 10 0, 0 1, 10 1", 0, 0, 0, 0},     // parallel
    };
    for (const auto& row : rows) {
        _listnode* n = nodes_of(ring(row.segments));
        tagPoint_t p{0, 0};
        EXPECT_EQ(JudgeLineIntersectEx(n, n->next, n->next->next, n->prev), row.meet);
        EXPECT_EQ(isIntersected(n, n->next, n->next->next, n->prev, &p), row.lines_meet);
        EXPECT_TRUE(p.x == row.x && p.y == row.y) << row.segments << ": " << p.x << " " << p.y;
        deletespace(n, 4);
    }
    const int square[] = {0, 0, 10, 0, 10, 10, 0, 10}, turned[] = {0, 0, 0, 10, 10, 10, 10, 0};
    EXPECT_EQ(CheckPolygonDirect(square, 4) * 2 + CheckPolygonDirect(turned, 4), 2);
    // (5, 2) lies in the triangle at (10, 0) but in none at (0, 10); the last node repeats one.
    _listnode* head = nodes_of(ring("0 0, 10 0, 10 10, 5 2, 0 10, 10 0"));
    EXPECT_EQ(IsSameNode(&head, 6), 5);
    EXPECT_EQ(PointAtTriangulate(head->next, 5) * 2 + PointAtTriangulate(head->prev, 5), 1);
    deleteNode(&head, head);
    EXPECT_EQ(head->x, 10);
    deletespace(head, 4);
}

// A convex ring gives 2; any other is tiled, with random flags on every vertex.
void expect_tiling(std::mt19937& rng, const Ring& ring, const std::string& label) {
    std::vector<int> flags(ring.size());
    for (int& f : flags)
        f = random_int(rng, 0, 3);
    Decomposition d = decompose(ring, flags);
    Ring ccw = counter_clockwise(ring);
    bool convex = true;
    for (size_t i = 0, n = ccw.size(); i < n; ++i)
        convex = convex && cross(ccw[i], ccw[(i + 1) % n], ccw[(i + 2) % n]) >= 0;
    EXPECT_EQ(d.code, convex ? 2 : 0) << label << "\n" << text(ring) << d.output;
    if (!convex) {
        EXPECT_EQ(piece_problems(ring, flags, d), "") << label << "\n" << text(ring);
    }
}

TEST(ConcaveDecomposition, RandomAndRealRingsAreTiledByConvexPieces) {
    std::mt19937 rng(1809);
    for (int round = 0; round < 300; ++round) {
        unsigned seed = rng();
        std::mt19937 local(seed);
        expect_tiling(local, random_ring(local, round), "seed " + std::to_string(seed));
    }
    auto rings = atlas_rings("counties.txt", 400);
    ASSERT_GT(rings.size(), 100u);
    for (size_t k = 0; k < rings.size(); ++k)
        expect_tiling(rng, rings[k], "county ring " + std::to_string(k));
}

}  // namespace
