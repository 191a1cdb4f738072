// Skeleton post-processing and joining: node keys, merges at nodes of two lines, pruning by the
// length of the whole skeleton, output order, calls on two threads, the bounded join, the joining
// of two passes and the nudging of points near the boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "mapgeom/mapgeom.h"
#include "skeleton/skeleton_internal.h"
#include "skeleton_shapes.h"

namespace {

using namespace testing_shapes;

// Map units per kilometre along the equator (9,216,000 units a degree, 111.31949 km a degree).
constexpr double kKm = 9216000.0 / 111.31949;

// The lines of a list as text, each written from whichever end prints first, rounded to 1/1000.
std::string undirected(const polylines_t* list) {
    std::string text;
    for (const polyline_node_t* n = list->head; n != nullptr; n = n->next) {
        std::vector<Xy> points = points_of(&n->polyline.geom);
        for (Xy& v : points)
            v = {std::round(v.x * 1000) / 1000, std::round(v.y * 1000) / 1000};
        std::string forward = text_of(points),
                    backward = text_of(std::vector<Xy>(points.rbegin(), points.rend()));
        text += (text.empty() ? "" : " | ") + std::min(forward, backward);
    }
    return text;
}

std::string undirected(const std::string& lines, double scale = 1.0) {
    Polylines list;
    add_lines(list.get(), lines, scale);
    return undirected(list.get());
}

TEST(FrameworkProcess, NodeKeysRunTheFifthsTogether) {
    struct Case {
        point_t p;
        const char* key;
    } cases[] = {{{10, 10, 0}, "22"},   {{14, 14, 0}, "22"}, {{12, 345, 0}, "269"},
                 {{134, 45, 0}, "269"}, {{-7, 3, 0}, "-10"}, {{-4, -4, 0}, "00"}};
    for (const Case& c : cases)
        EXPECT_EQ(mapgeom::point_to_string(c.p), c.key) << c.p.x << " " << c.p.y;
}

// Lines in and lines out (in order, either direction), coordinates times `scale`. Pruning goes by
// the total length: 10 km up to 500 km of lines, 20 km up to 1000 km, 30 km beyond.
struct ProcessCase {
    double scale;
    const char *in, *out;
} const kProcessCases[] = {
    // Pieces of one path in any orientation; ends within one 5-unit cell share a node.
    {1, "0 0, 1000 0 | 1000 0, 2000 50 | 2000 50, 3000 0", "0 0, 1000 0, 2000 50, 3000 0"},
    {1, "1000 0, 0 0 | 1000 0, 2000 50 | 3000 0, 2000 50", "0 0, 1000 0, 2000 50, 3000 0"},
    {1, "2000 50, 3000 0 | 1002 1, 0 0 | 2000 50, 1000 0", "0 0, 1002 1, 2000 50, 3000 0"},
    // A loop stays whole; split in two halves with a spur, the spur is its only way out and stays.
    {1, "0 0, 1000 1000, 2000 0, 1000 -1000, 0 0", "0 0, 1000 1000, 2000 0, 1000 -1000, 0 0"},
    {1, "0 0, 1000 1000, 2000 0 | 2000 0, 1000 -1000, 0 0 | 0 0, -500 0",
     "0 0, 1000 1000, 2000 0, 1000 -1000, 0 0 | 0 0, -500 0"},
    // Two arms and two spurs at (0, 0), in km: 654 km keeps spurs over 20 km, 633 km drops those
    // under it and merges the junction away, 427 km goes by 10 km, 1253 km by 30 km.
    {kKm, "-300 0, 0 0 | 0 0, 300 0 | 0 0, 0 25 | 0 0, 0 -29",
     "-300 0, 0 0 | 0 0, 300 0 | 0 0, 0 25 | 0 0, 0 -29"},
    {kKm, "-300 0, 0 0 | 0 0, 300 0 | 0 0, 0 15 | 0 0, 0 -18", "-300 0, 0 0, 300 0"},
    {kKm, "-200 0, 0 0 | 0 0, 200 0 | 0 0, 0 12 | 0 0, 0 -15",
     "-200 0, 0 0 | 0 0, 200 0 | 0 0, 0 12 | 0 0, 0 -15"},
    {kKm, "-200 0, 0 0 | 0 0, 200 0 | 0 0, 0 6 | 0 0, 0 -8", "-200 0, 0 0, 200 0"},
    {kKm, "-600 0, 0 0 | 0 0, 600 0 | 0 0, 0 25 | 0 0, 0 -28", "-600 0, 0 0, 600 0"},
    // Spurs of 5 km (its end node sorts first) and 3 km: the shorter goes, by length not order.
    {kKm, "-50 0, 0 0 | 0 0, 0 -5 | 0 0, 0 3", "-50 0, 0 0, 0 -5"},
};

std::string processed(const ProcessCase& c) {
    Polylines in, out;
    add_lines(in.get(), c.in, c.scale);
    polygon_framework_process(in.get(), out.get());
    return undirected(out.get());
}

TEST(FrameworkProcess, MergesAtNodesOfTwoLinesAndPrunesByTheWholeLength) {
    for (const ProcessCase& c : kProcessCases)
        EXPECT_EQ(processed(c), undirected(c.out, c.scale)) << c.in;
}

TEST(FrameworkProcess, CallsOnTwoThreadsKeepTheirOwnPruningLength) {
    // The 633 km case prunes its spurs with 20 km, the 427 km one keeps them with 10 km.
    int wrong[2] = {0, 0};
    auto run = [&](int row, int* wrong_here) {
        const ProcessCase& c = kProcessCases[row];
        for (int i = 0; i < 300; ++i)
            *wrong_here += processed(c) != undirected(c.out, c.scale);
    };
    std::thread a(run, 6, &wrong[0]), b(run, 7, &wrong[1]);
    a.join();
    b.join();
    EXPECT_EQ(wrong[0] + wrong[1], 0);
}

TEST(FrameworkProcess, OutputFollowsTheTextOrderOfLineKeys) {
    Polylines in, out;
    for (int i = 0; i < 12; ++i)
        add_lines(in.get(), std::to_string(i) + " 0, " + std::to_string(i) + " 500", 1e6);
    polygon_framework_process(in.get(), out.get());
    std::vector<int> order;
    for (const polyline_node_t* n = out.get()->head; n != nullptr; n = n->next)
        order.push_back(static_cast<int>(n->polyline.geom.points[0].x / 1e6));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 10, 11, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(FrameworkJoin, BoundedJoiningFailsWithoutAResult) {
    // A chain of pieces takes one round per piece after the first; 10000 rounds are allowed. Two
    // pieces apart and an empty list fail too.
    for (int pieces : {10001, 10002, -2, 0}) {
        std::vector<polyline_t> chain(std::abs(pieces));
        for (size_t i = 0; i < chain.size(); ++i) {
            com_polyline_init(&chain[i]);
            for (double x : {i * 10.0, i * 10.0 + (pieces < 0 ? 5 : 10)})
                com_polyline_add(&chain[i], point_t{x, 0, 0});
        }
        Polyline joined;
        EXPECT_EQ(mapgeom::connect_polyline(&chain, joined.get()), pieces == 10001 ? 0 : -1);
        EXPECT_EQ(joined.get()->geom.count, pieces == 10001 ? pieces + 1 : 0);
    }
}

TEST(FrameworkJoin, StretchesComeFromThePassThatFollowsThem) {
    // The passes of one shape cross at (25, 5), (75, 5), (102.857, 28.571) and (108.8, 88): flat
    // stretches from the first, steep ones from the second; a counterpart met the other way round
    // is reversed, and a line of the second pass never chosen is not written. Lines crossing fewer
    // than twice are kept whole from the pass that follows them, the longer when both do.
    const char* first = "0 0, 50 10, 100 0, 110 100";
    const char* joined = "0 0, 25 5, 50 10, 75 5, 100 0, 102.857 28.571, 120 60, 108.8 88, 100 110";
    struct Case {
        const char *first, *second, *joined;
    } cases[] = {
        {first, "0 5, 90 5, 120 60, 100 110 | 5000 5000, 6000 5000", joined},
        {first, "100 110, 120 60, 90 5, 0 5", joined},
        {"0 0, 100 10", "0 50, 100 60", "0 0, 100 10"},
        {"0 0, 10 100", "50 0, 60 100", "50 0, 60 100"},
        {"0 50, 10 50", "5 0, 5 100", "5 0, 5 100"},       // a tall band: its length, not the stub
        {"0 50, 100 50", "50 45, 50 55", "0 50, 100 50"},  // a wide band
        {"0 0, 10 100", "0 50, 100 60", ""},               // neither follows its pass
        {"0 0, 100 10", "", ""},                           // no counterpart
    };
    for (const Case& c : cases) {
        Polylines a, b, out;
        add_lines(a.get(), c.first);
        add_lines(b.get(), c.second);
        std::string b_before = text_of(b.get());
        framework_connect(a.get(), b.get(), out.get());
        EXPECT_EQ(undirected(out.get()), undirected(c.joined)) << c.first << " | " << c.second;
        EXPECT_EQ(text_of(b.get()), b_before) << "the caller's lines are not changed";
    }
}

TEST(FrameworkRevise, PointsNearTheBoundaryInXMoveInward) {
    // Probes 8000 to the left and right: the point moves 4000 away from the one outside.
    Polygon ring(pts("0 0, 100000 0, 100000 50000, 0 50000"));
    Polylines lines;
    add_lines(lines.get(), "3000 100, 97000 100, 50000 100, -50000 100, 6000 50000");
    framework_points_revise(ring.get(), lines.get());
    EXPECT_EQ(text_of(lines.get()),
              text_of("7000 100, 93000 100, 50000 100, -50000 100, 10000 50000"));
}

}  // namespace
