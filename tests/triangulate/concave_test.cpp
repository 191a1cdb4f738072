// Concave decomposition: the result codes and messages, the hidden diagonals and kept input flags,
// and over seeded random and real rings the exact tiling by convex pieces.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "convex_rings.h"
#include "mapgeom/concave.h"

namespace {

using convex_rings::Ring;
using convex_rings::V;

extern "C" void concave_record_layout_from_c(size_t* values);

struct Decomposition {
    int code = 0;
    int piece_count = 0;
    std::vector<std::vector<_point>> pieces;  // as stored, closing point included
    std::string output;                       // what went to standard output
};

// Runs MakePolyProtru over the open ring with flags (the closing point is appended) and copies
// the chain out before releasing it.
Decomposition decompose(const std::vector<_InPoint>& open) {
    std::vector<_InPoint> points = open;
    if (!points.empty())
        points.push_back(points.front());
    Decomposition d;
    _polygon* chain = nullptr;
    testing::internal::CaptureStdout();
    d.code = MakePolyProtru(&chain, &d.piece_count, points.data(), static_cast<int>(points.size()));
    d.output = testing::internal::GetCapturedStdout();
    int walked = 0;
    for (_polygon* p = chain; p != nullptr; p = p->next, ++walked)
        d.pieces.emplace_back(p->points, p->points + p->num);
    EXPECT_EQ(walked, d.piece_count) << "the chain and the count disagree";
    EXPECT_EQ(ReleasePolygonSpace(chain, d.piece_count), 1);
    return d;
}

std::vector<_InPoint> with_flags(const Ring& r, const std::vector<int>& flags = {}) {
    std::vector<_InPoint> points;
    for (size_t i = 0; i < r.size(); ++i)
        points.push_back({int(r[i].x), int(r[i].y), flags.empty() ? 0 : flags[i]});
    return points;
}

Ring vertices_of(const std::vector<_point>& piece) {
    Ring r;
    for (size_t i = 0; i + 1 < piece.size(); ++i)
        r.push_back({piece[i].x, piece[i].y});
    return r;
}

bool hidden(int from_flag, int to_flag) {
    return (from_flag & 1) != 0 || (to_flag & 2) != 0;
}

// Every piece closed (last point repeats the first, its flag exactly 2), the pieces tiling the
// ring, and the flags: each ring edge hidden in its piece exactly when the input hides it (an edge
// a -> b is hidden when a has bit 1 or b bit 2), every diagonal hidden in both pieces by both
// bits.
std::string piece_problems(const std::vector<_InPoint>& open, const Decomposition& d) {
    Ring ring;
    for (const _InPoint& p : open)
        ring.push_back({p.x, p.y});
    std::vector<Ring> pieces;
    std::string problems;
    for (const auto& piece : d.pieces) {
        if (piece.size() < 4 || piece.front().x != piece.back().x ||
            piece.front().y != piece.back().y || piece.back().non_show != 2)
            problems += "piece not closed as stored\n";
        pieces.push_back(vertices_of(piece));
    }
    problems += convex_rings::tiling_problems(ring, pieces);

    // Input edge hiding, turned with the ring when it runs clockwise.
    bool clockwise = convex_rings::twice_area(ring) < 0;
    std::map<std::pair<V, V>, bool> edge_hidden;
    size_t n = open.size();
    for (size_t i = 0; i < n; ++i) {
        const _InPoint& a = open[i];
        const _InPoint& b = open[(i + 1) % n];
        V va{a.x, a.y}, vb{b.x, b.y};
        bool h = hidden(a.non_show, b.non_show);
        edge_hidden[clockwise ? std::make_pair(vb, va) : std::make_pair(va, vb)] = h;
    }
    for (const auto& piece : d.pieces)
        for (size_t i = 0; i + 1 < piece.size(); ++i) {
            V a{piece[i].x, piece[i].y}, b{piece[i + 1].x, piece[i + 1].y};
            bool h = hidden(piece[i].non_show, piece[i + 1].non_show);
            // A diagonal is hidden from both of its ends, for hosts that read only one bit.
            bool both = (piece[i].non_show & 1) != 0 && (piece[i + 1].non_show & 2) != 0;
            auto input = edge_hidden.find({a, b});
            if (input == edge_hidden.end() ? !both : input->second != h)
                problems += std::string(input == edge_hidden.end() ? "diagonal" : "ring edge") +
                            " " + convex_rings::text({a, b}) + (h ? " hidden" : " shown") + "\n";
        }
    return problems;
}

const Ring kLHexagon{{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}};

std::set<std::vector<V>> piece_cycles(const Decomposition& d) {
    std::set<std::vector<V>> cycles;
    for (const auto& piece : d.pieces) {
        Ring r = vertices_of(piece);
        std::rotate(r.begin(), std::min_element(r.begin(), r.end()), r.end());
        cycles.insert(r);
    }
    return cycles;
}

TEST(ConcaveDecomposition, ResultCodesOfTheBasicShapes) {
    struct Row {
        const char* name;
        Ring ring;
        int code;
        int pieces;
    };
    const Row rows[] = {
        {"square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 2, 0},
        {"L hexagon", kLHexagon, 0, 2},
        {"bow tie", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, 1, 0},
        {"touching itself at a vertex", {{0, 0}, {20, 0}, {20, 20}, {10, 0}, {0, 20}}, 1, 0},
        {"pentagram: a left turn at every vertex",
         {{10, 0}, {16, 20}, {0, 8}, {20, 8}, {4, 20}},
         1,
         0},
        {"spike running through a vertex",
         {{0, 0}, {20, 0}, {20, 20}, {10, 20}, {10, 10}, {10, 30}, {0, 20}},
         1,
         0},
    };
    for (const Row& row : rows) {
        Decomposition d = decompose(with_flags(row.ring));
        EXPECT_EQ(d.code, row.code) << row.name;
        EXPECT_EQ(d.piece_count, row.pieces) << row.name;
        EXPECT_EQ(d.output, "") << row.name;
        if (row.code == 0) {
            EXPECT_EQ(piece_problems(with_flags(row.ring), d), "") << row.name;
        }
    }
}

TEST(ConcaveDecomposition, LHexagonHidesTheDiagonalAndKeepsInputFlags) {
    // Flags on both ends of edges, one on the closing edge (last point, value 1).
    const std::vector<int> flags{2, 1, 0, 3, 0, 1};
    Decomposition ccw = decompose(with_flags(kLHexagon, flags));
    ASSERT_EQ(ccw.code, 0);
    ASSERT_EQ(ccw.piece_count, 2);
    EXPECT_EQ(piece_problems(with_flags(kLHexagon, flags), ccw), "");

    // The same ring clockwise: the same pieces, counter-clockwise, with 1 and 2 exchanged.
    Ring cw(kLHexagon.rbegin(), kLHexagon.rend());
    std::vector<int> cw_flags(flags.rbegin(), flags.rend());
    for (int& f : cw_flags)
        f = f == 1 ? 2 : (f == 2 ? 1 : f);
    Decomposition turned = decompose(with_flags(cw, cw_flags));
    ASSERT_EQ(turned.code, 0);
    EXPECT_EQ(piece_cycles(turned), piece_cycles(ccw));
    EXPECT_EQ(piece_problems(with_flags(cw, cw_flags), turned), "");
}

TEST(ConcaveDecomposition, RepeatedPointsAreDropped) {
    std::vector<_InPoint> doubled = with_flags(kLHexagon);
    doubled.insert(doubled.begin() + 2, doubled[1]);
    std::vector<_InPoint> closed_twice = with_flags(kLHexagon);
    closed_twice.push_back(closed_twice.front());
    Decomposition plain = decompose(with_flags(kLHexagon));
    for (const auto& input : {doubled, closed_twice}) {
        Decomposition d = decompose(input);
        ASSERT_EQ(d.code, 0);
        EXPECT_EQ(piece_cycles(d), piece_cycles(plain));
        for (const auto& piece : d.pieces) {
            Ring r = vertices_of(piece);
            EXPECT_EQ(piece.size(), std::set<V>(r.begin(), r.end()).size() + 1);
        }
    }
}

TEST(ConcaveDecomposition, RingThatCannotBeBuiltFailsWithItsMessage) {
    _polygon* chain = nullptr;
    int count = 0;
    _InPoint one{5, 5, 0};
    testing::internal::CaptureStdout();
    EXPECT_EQ(MakePolyProtru(&chain, &count, &one, 1), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\xb3\xf5\xca\xbc\xbb\xaf\xc1\xb4\xb1\xed\xca\xa7\xb0\xdc!!!\n");
    EXPECT_EQ(chain, nullptr);
    EXPECT_EQ(count, 0);
}

TEST(ConcaveDecomposition, RecordsCompileAsCWithTheSameLayout) {
    size_t c[10];
    concave_record_layout_from_c(c);
    const size_t cpp[10] = {sizeof(_InPoint),
                            sizeof(_point),
                            sizeof(_listnode),
                            offsetof(_listnode, next),
                            sizeof(tagConcaveList_t),
                            offsetof(tagConcaveList_t, next),
                            sizeof(tagConcaveListHead_t),
                            sizeof(_polygon),
                            offsetof(_polygon, next),
                            sizeof(tagPoint_t)};
    EXPECT_TRUE(std::equal(c, c + 10, cpp));
}

// A circular ring of malloc'd nodes (released by deletespace, like the library's own).
_listnode* ring_of(const Ring& r) {
    std::vector<_listnode*> nodes;
    for (const V& v : r) {
        nodes.push_back(static_cast<_listnode*>(std::malloc(sizeof(_listnode))));
        *nodes.back() = _listnode{int(v.x), int(v.y), 0, nullptr, nullptr};
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i]->next = nodes[(i + 1) % nodes.size()];
        nodes[(i + 1) % nodes.size()]->prev = nodes[i];
    }
    return nodes.front();
}

TEST(ConcaveDecomposition, SegmentAndRingHelpers) {
    struct Row {
        Ring segments;   // a-b and c-d
        int meet;        // JudgeLineIntersectEx
        int lines_meet;  // isIntersected
        double x, y;     // its point
    };
    const Row rows[] = {
        {{{0, 0}, {10, 10}, {0, 10}, {10, 0}}, 1, 1, 5, 5},   // crossing
        {{{0, 0}, {10, 0}, {5, 0}, {5, 7}}, 1, 1, 5, 0},      // touching inside an edge
        {{{0, 0}, {10, 0}, {10, 0}, {12, 9}}, 1, 1, 10, 0},   // shared end
        {{{0, 0}, {10, 0}, {20, 5}, {30, -5}}, 0, 1, 25, 0},  // lines cross outside
        {{{0, 0}, {10, 0}, {5, 0}, {15, 0}}, 1, 0, 0, 0},     // collinear overlap
        {{{0, 0}, {10, 0}, {11, 0}, {15, 0}}, 0, 0, 0, 0},    // collinear apart
        {{{0, 0}, {10, 0}, {0, 1}, {10, 1}}, 0, 0, 0, 0},     // parallel
    };
    for (const Row& row : rows) {
        _listnode* n = ring_of(row.segments);
        tagPoint_t p{0, 0};
        EXPECT_EQ(JudgeLineIntersectEx(n, n->next, n->next->next, n->prev), row.meet);
        EXPECT_EQ(isIntersected(n, n->next, n->next->next, n->prev, &p), row.lines_meet);
        EXPECT_TRUE(p.x == row.x && p.y == row.y) << p.x << " " << p.y;
        deletespace(n, 4);
    }
    const int square[] = {0, 0, 10, 0, 10, 10, 0, 10}, turned[] = {0, 0, 0, 10, 10, 10, 10, 0};
    EXPECT_EQ(CheckPolygonDirect(square, 4), 1);
    EXPECT_EQ(CheckPolygonDirect(turned, 4), 0);

    // (5, 2) lies in the triangle at (10, 0) but in none at (0, 10).
    _listnode* head = ring_of({{0, 0}, {10, 0}, {10, 10}, {5, 2}, {0, 10}, {10, 0}});
    EXPECT_EQ(IsSameNode(&head, 6), 5);
    EXPECT_EQ(PointAtTriangulate(head->next, 5), 0);
    EXPECT_EQ(PointAtTriangulate(head->prev, 5), 1);
    deleteNode(&head, head);
    EXPECT_EQ(head->x, 10);
    deletespace(head, 4);
}

// Random flags on every vertex, so that kept flags and hidden diagonals are both exercised.
std::vector<int> random_flags(std::mt19937& rng, size_t n) {
    std::vector<int> flags(n);
    for (int& f : flags)
        f = testing_shapes::random_int(rng, 0, 3);
    return flags;
}

void expect_tiling(const Ring& ring, const std::vector<int>& flags, const std::string& label) {
    std::vector<_InPoint> input = with_flags(ring, flags);
    Decomposition d = decompose(input);
    bool convex = true;
    Ring ccw = convex_rings::counter_clockwise(ring);
    for (size_t i = 0; i < ccw.size(); ++i)
        convex = convex && convex_rings::cross(ccw[i], ccw[(i + 1) % ccw.size()],
                                               ccw[(i + 2) % ccw.size()]) >= 0;
    ASSERT_EQ(d.code, convex ? 2 : 0) << label << "\n" << convex_rings::text(ring) << d.output;
    if (!convex) {
        EXPECT_EQ(piece_problems(input, d), "") << label << "\n" << convex_rings::text(ring);
    }
}

TEST(ConcaveDecomposition, RandomSimpleRingsAreTiledByConvexPieces) {
    std::mt19937 rng(1809);
    for (int round = 0; round < 300; ++round) {
        unsigned seed = rng();
        std::mt19937 local(seed);
        Ring ring = convex_rings::random_ring(local, round);
        expect_tiling(ring, random_flags(local, ring.size()), "seed " + std::to_string(seed));
    }
}

TEST(ConcaveDecomposition, RealOutlinesAreTiledByConvexPieces) {
    std::mt19937 rng(44);
    auto rings = convex_rings::atlas_rings("counties.txt", 400);
    ASSERT_GT(rings.size(), 100u);
    for (size_t k = 0; k < rings.size(); ++k)
        expect_tiling(rings[k], random_flags(rng, rings[k].size()),
                      "county ring " + std::to_string(k));
}

}  // namespace
