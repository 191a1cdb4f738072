// The partition library through its C interface: convex decomposition of seeded random simple
// rings and real outlines with random fixed segments (pieces convex, made of ring vertices, areas
// summing exactly to the ring's, their union equal to the polygon in GEOS, every fixed segment
// reported by exactly the one piece that has it on its boundary), the refusals, and the polyline
// length against the library's earth distance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/measure.h"
#include "mapgeom/partition.h"
#include "random_shapes.h"
#include "us_atlas.h"
#include "whole_rings.h"

namespace {

using namespace testing_shapes;

using namespace whole_rings;
using P = V;

struct Piece {
    std::vector<P> points;
    std::vector<tagFixedSegment_t> segments;
};

struct Outcome {
    int result = -1, count = -1;
    std::vector<Piece> pieces;
};

// Runs the decomposition, copies the list out and releases it.
Outcome decompose(const std::vector<P>& ring, const std::vector<tagFixedSegment_t>& fixed) {
    std::vector<tagPartitionPoint_t> points;
    for (const P& p : ring)
        points.push_back({p.x, p.y});
    tagPolygon_t record{points.data(), static_cast<uint16_t>(points.size()),
                        const_cast<tagFixedSegment_t*>(fixed.data()),
                        static_cast<uint16_t>(fixed.size())};
    tagPolygonList_t* list = reinterpret_cast<tagPolygonList_t*>(0x1);  // must be overwritten
    Outcome out;
    out.result = polygomtriangulate(&record, &list, &out.count);
    for (const tagPolygonList_t* node = list; node != nullptr; node = node->next) {
        Piece piece;
        for (int k = 0; k < node->point_count; ++k)
            piece.points.push_back({node->points[k].x, node->points[k].y});
        piece.segments.assign(node->segments, node->segments + node->segment_count);
        out.pieces.push_back(piece);
    }
    vFreeMemSub(list);
    return out;
}

// Every guarantee of a successful decomposition of the simple ring `ring` (open or closed, any
// orientation) with fixed segments `fixed` (ring edges in either direction, or zero-length).
void expect_sound_decomposition(const std::vector<P>& ring,
                                const std::vector<tagFixedSegment_t>& fixed,
                                const std::string& label) {
    SCOPED_TRACE(label + ": " + text_of(to_xy(ring)));
    Outcome out = decompose(ring, fixed);
    ASSERT_TRUE(out.result == PARTITION_PIECES || out.result == PARTITION_CONVEX) << out.result;
    ASSERT_EQ(out.count, static_cast<int>(out.pieces.size()));
    EXPECT_EQ(out.result == PARTITION_CONVEX, out.count == 1);
    std::set<P> vertices(ring.begin(), ring.end());
    __int128 sum = 0;
    std::vector<std::vector<Xy>> parts;
    for (const Piece& piece : out.pieces) {
        const std::vector<P>& q = piece.points;
        ASSERT_GE(q.size(), 3u);
        size_t m = q.size();
        for (size_t k = 0; k < m; ++k) {
            EXPECT_TRUE(vertices.count(q[k])) << "new vertex in " << text_of(to_xy(q));
            EXPECT_GE(cross(q[(k + m - 1) % m], q[k], q[(k + 1) % m]), 0) << text_of(to_xy(q));
        }
        EXPECT_GT(twice_area(q), 0) << "not counter-clockwise: " << text_of(to_xy(q));
        sum += twice_area(q);
        parts.push_back(to_xy(q));
    }
    __int128 whole = twice_area(ring);
    EXPECT_TRUE(sum == whole || sum == -whole) << "piece areas do not sum to the ring's";
    // Union equal to the polygon, and with the exact area sum above, no overlap.
    Geos geos;
    GEOSGeometry *merged = geos.union_of(parts), *outline = geos.polygon(to_xy(ring));
    double area = geos.area(outline);
    EXPECT_NEAR(geos.area(geos.keep(GEOSSymDifference_r(geos.h, merged, outline))), 0.0,
                1e-9 * area);
    // Each fixed segment of nonzero length: reported by exactly one node, which has it as an edge.
    for (const tagFixedSegment_t& s : fixed) {
        P a{s.x1, s.y1}, b{s.x2, s.y2};
        if (a == b)
            continue;
        int reporters = 0;
        for (const Piece& piece : out.pieces) {
            bool reported = std::any_of(
                piece.segments.begin(), piece.segments.end(), [&](const tagFixedSegment_t& r) {
                    return r.x1 == s.x1 && r.y1 == s.y1 && r.x2 == s.x2 && r.y2 == s.y2;
                });
            bool on_boundary = false;
            for (size_t k = 0, m = piece.points.size(); k < m; ++k) {
                P u = piece.points[k], v = piece.points[(k + 1) % m];
                on_boundary |= (u == a && v == b) || (u == b && v == a);
            }
            EXPECT_FALSE(reported && !on_boundary) << "reported off the boundary";
            reporters += reported;
        }
        EXPECT_EQ(reporters, 1) << s.x1 << " " << s.y1 << " -> " << s.x2;
    }
}

// Random fixed segments among the ring's edges, each in a random direction, plus a zero-length one.
std::vector<tagFixedSegment_t> random_fixed(std::mt19937& rng, const std::vector<P>& ring) {
    std::vector<tagFixedSegment_t> fixed{{ring[0].x, ring[0].y, ring[0].x, ring[0].y}};
    for (size_t k = 0; k < ring.size(); ++k) {
        P a = ring[k], b = ring[(k + 1) % ring.size()];
        if (random_int(rng, 0, 1))
            std::swap(a, b);
        if (random_int(rng, 0, 2) == 0)
            fixed.push_back({a.x, a.y, b.x, b.y});
    }
    std::shuffle(fixed.begin(), fixed.end(), rng);
    return fixed;
}

// A spiral-armed ring: a star of few arms, densified to steps of at most 4,000 and turned about
// the origin by an angle growing with the distance (three quarters of a turn at 100,000), in whole
// units. Arms wind around each other, so ears are blocked by vertices of neighbouring arms.
std::vector<Xy> spiral_arms(std::mt19937& rng) {
    std::vector<Xy> star = random_star(rng, random_int(rng, 5, 20), 0, 0, 5000, 100000), ring;
    for (size_t k = 0; k < star.size(); ++k) {
        Xy a = star[k], b = star[(k + 1) % star.size()];
        int steps = static_cast<int>(std::ceil(std::hypot(b.x - a.x, b.y - a.y) / 4000));
        for (int j = 0; j < steps; ++j) {
            double x = a.x + (b.x - a.x) * j / steps, y = a.y + (b.y - a.y) * j / steps;
            double r = std::hypot(x, y), turn = std::atan2(y, x) + 1.5 * M_PI * r / 1e5;
            ring.push_back({std::round(r * std::cos(turn)), std::round(r * std::sin(turn))});
        }
    }
    return ring;
}

TEST(Partition, RandomSimpleRingsWithFixedEdges) {
    int tested = 0;
    for (unsigned seed = 1; seed <= 90 && !HasFailure(); ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> xy = seed % 3 == 0 ? random_simple_ring(rng)
                             : seed % 6 == 2
                                 ? spiral_arms(rng)
                                 : random_star(rng, random_int(rng, 3, seed % 3 == 1 ? 30 : 250), 0,
                                               0, 50, 100000, true);
        if (seed % 3 == 0)
            xy.pop_back();
        Geos geos;
        if (xy.size() < 3 || !geos.valid(xy))
            continue;
        ++tested;
        std::vector<P> ring;
        for (size_t k = 0; k < xy.size(); ++k) {
            Xy a = xy[k], b = xy[(k + 1) % xy.size()];
            if (seed % 4 == 1)  // doubled, with a straight vertex on every edge
                ring.push_back({int64_t(2 * a.x), int64_t(2 * a.y)});
            ring.push_back(seed % 4 == 1 ? P{int64_t(a.x + b.x), int64_t(a.y + b.y)}
                                         : P{int64_t(a.x), int64_t(a.y)});
        }
        if (seed % 5 < 2)
            std::reverse(ring.begin(), ring.end());  // clockwise input
        std::vector<tagFixedSegment_t> fixed = random_fixed(rng, ring);
        if (seed % 2 == 0)
            ring.push_back(ring.front());  // closed input
        expect_sound_decomposition(ring, fixed, "seed " + std::to_string(seed));
    }
    EXPECT_GT(tested, 60);
}

TEST(Partition, RealOutlinesWithFixedEdges) {
    std::mt19937 rng(2026);
    int tested = 0;
    Geos geos;
    for (const char* file : {"states.txt", "counties.txt"})
        for (const AtlasRing& r : load_atlas_outers(file)) {
            if (HasFailure() || !geos.valid(r.points))
                continue;  // a few county rings cross themselves after quantization
            std::vector<P> ring = whole(r.points);
            expect_sound_decomposition(ring, random_fixed(rng, ring), r.name);
            ++tested;
        }
    EXPECT_GT(tested, 250);
}

TEST(Partition, FixedCases) {
    // 65,535 points, the most the 16-bit count holds, on a slightly ragged circle: read whole.
    std::mt19937 rng(65535);
    std::vector<P> ring;
    for (int k = 0; k < 65535; ++k) {
        double a = 2 * M_PI * k / 65535, r = 1e7 + random_int(rng, 0, 2000);
        ring.push_back({std::llround(r * std::cos(a)), std::llround(r * std::sin(a))});
    }
    Outcome out = decompose(ring, {});
    ASSERT_EQ(out.result, PARTITION_PIECES);
    std::set<P> used;
    __int128 sum = 0;
    for (const Piece& piece : out.pieces) {
        used.insert(piece.points.begin(), piece.points.end());
        sum += twice_area(piece.points);
    }
    EXPECT_EQ(used.size(), ring.size());
    EXPECT_TRUE(sum == twice_area(ring));
    // A convex ring with a straight vertex on one side comes back whole: one piece, five vertices.
    out = decompose({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}, {});
    EXPECT_EQ(out.result, PARTITION_CONVEX);
    ASSERT_EQ(out.count, 1);
    EXPECT_EQ(out.pieces[0].points.size(), 5u);
    // Fixed edges (0,0)->(10,0)->(10,10): the piece starts where no fixed edge arrives, so the run
    // is not split at the start.
    out = decompose({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{0, 0, 10, 0}, {10, 0, 10, 10}});
    ASSERT_EQ(out.count, 1);
    EXPECT_TRUE(out.pieces[0].points[0].y == 10) << text_of(to_xy(out.pieces[0].points));
}

TEST(Partition, RefusedRecords) {
    tagPartitionPoint_t square[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    tagPartitionPoint_t line[4] = {{0, 0}, {2, 0}, {4, 0}, {0, 0}};
    tagPartitionPoint_t two[4] = {{0, 0}, {4, 0}, {4, 0}, {0, 0}};
    tagPartitionPoint_t bow_tie[4] = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};  // zero signed area
    tagPartitionPoint_t far[3] = {{0, 0}, {(int64_t(1) << 53) + 1, 0}, {0, 4}};
    tagFixedSegment_t diagonal{0, 0, 4, 4}, off_ring{0, 0, 1, 1};
    const struct {
        const char* what;
        tagPolygon_t record;
        int expected;
    } cases[] = {
        {"null points with a count", {nullptr, 4, nullptr, 0}, PARTITION_BAD_RECORD},
        {"null segments with a count", {square, 4, nullptr, 2}, PARTITION_BAD_RECORD},
        {"two distinct points", {two, 4, nullptr, 0}, PARTITION_BAD_RECORD},
        {"coordinate beyond 2^53", {far, 3, nullptr, 0}, PARTITION_BAD_RECORD},
        {"all points on a line", {line, 4, nullptr, 0}, PARTITION_NOT_SIMPLE},
        {"bow-tie without an ear", {bow_tie, 4, nullptr, 0}, PARTITION_NOT_SIMPLE},
        {"fixed diagonal", {square, 4, &diagonal, 1}, PARTITION_BAD_SEGMENT},
        {"fixed segment off the ring", {square, 4, &off_ring, 1}, PARTITION_BAD_SEGMENT},
    };
    for (const auto& c : cases) {
        tagPolygonList_t* list = reinterpret_cast<tagPolygonList_t*>(0x1);
        int count = -1;
        EXPECT_EQ(polygomtriangulate(&c.record, &list, &count), c.expected) << c.what;
        EXPECT_EQ(list, nullptr) << c.what;
        EXPECT_EQ(count, 0) << c.what;
    }
    tagPolygon_t ok{square, 4, nullptr, 0};
    tagPolygonList_t* list = nullptr;
    int count = 0;
    EXPECT_EQ(polygomtriangulate(nullptr, &list, &count), PARTITION_BAD_RECORD);
    EXPECT_EQ(polygomtriangulate(&ok, nullptr, &count), PARTITION_BAD_RECORD);
    EXPECT_EQ(polygomtriangulate(&ok, &list, nullptr), PARTITION_BAD_RECORD);
}

TEST(PolylinePerimeter, AgreesWithSummedEarthDistances) {
    std::mt19937 rng(7);
    for (int n : {0, 1, 2, 200}) {
        Polyline line;
        double expected = 0.0;
        for (int k = 0; k < n; ++k) {
            point_t p{random_real(rng, -1.6e9, 1.6e9), random_real(rng, -8e8, 8e8), 0.0};
            if (k > 0)
                expected += calc_points_distance_onearth(com_polyline_last(line.get()), p);
            com_polyline_add(line.get(), p);
        }
        EXPECT_EQ(calc_polyline_perimeter(line.get()), expected) << n << " points";
    }
    EXPECT_EQ(calc_polyline_perimeter(nullptr), 0.0);
    // 9,216,000 units are one degree; the radius at the equator is 6,378,137 m.
    Polyline degree{{0, 0}, {0, 9216000}};
    EXPECT_NEAR(calc_polyline_perimeter(degree.get()), 6378137.0 * 3.1415927 / 180.0, 1e-6);
}

}  // namespace
