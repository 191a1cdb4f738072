// Skeleton post-processing: node keys, merging at nodes of two lines, pruning of dead ends by the
// length of the whole skeleton, output order, the joining of two passes and the nudging of points
// near the boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include <set>
#include <utility>
#include "mapgeom/mapgeom.h"

#include "shape_text.h"
#include "skeleton/skeleton_internal.h"
#include "skeleton_shapes.h"
#include "us_atlas.h"

namespace {

using namespace testing_shapes;

// Map units per metre along the equator (9,216,000 units a degree, 111,319.49 m a degree there).
constexpr double kUnitsPerMetre = 9216000.0 / 111319.49;

double km(double kilometres) {
    return std::round(kilometres * 1000.0 * kUnitsPerMetre);
}

void add_line(Polylines* list, const std::string& points) {
    Polyline line(pts(points));
    com_polylines_add_copy(list->get(), *line.get());
}

void processed(const Polylines& in, Polylines* out) {
    polygon_framework_process(in.get(), out->get());
}

int processed_count(const Polylines& in) {
    Polylines out;
    processed(in, &out);
    return out.size();
}

TEST(FrameworkProcess, NodeKeysRunTheFifthsTogether) {
    struct Case {
        point_t p;
        const char* key;
    } cases[] = {
        {{10, 10, 0}, "22"},     {{14, 14, 0}, "22"}, {{12, 345, 0}, "269"}, {{134, 45, 0}, "269"},
        {{123, 456, 0}, "2491"}, {{-7, 3, 0}, "-10"}, {{-4, -4, 0}, "00"},   {{4.9, 5.0, 0}, "01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mapgeom::point_to_string(c.p), c.key) << c.p.x << " " << c.p.y;
}

// A line of one polyline, read in either direction.
bool is_path(const polylines_t* list, int index, const std::string& path) {
    std::vector<Xy> forward = pts(path), backward(forward.rbegin(), forward.rend());
    std::string got = text_of(&com_polylines_at_pointer(list, index)->geom);
    return got == text_of(forward) || got == text_of(backward);
}

TEST(FrameworkProcess, LinesMeetingEndToEndBecomeOne) {
    // Three pieces of one path in every orientation; ends within one 5-unit cell share a node.
    struct Case {
        const char* pieces[3];
        const char* path;
    } cases[] = {
        {{"0 0, 1000 0", "1000 0, 2000 50", "2000 50, 3000 0"}, "0 0, 1000 0, 2000 50, 3000 0"},
        {{"1000 0, 0 0", "1000 0, 2000 50", "3000 0, 2000 50"}, "0 0, 1000 0, 2000 50, 3000 0"},
        {{"2000 50, 3000 0", "1002 1, 0 0", "2000 50, 1000 0"}, "0 0, 1002 1, 2000 50, 3000 0"},
    };
    for (const Case& c : cases) {
        Polylines in;
        for (const char* piece : c.pieces)
            add_line(&in, piece);
        Polylines out;
        processed(in, &out);
        ASSERT_EQ(out.size(), 1) << c.path;
        EXPECT_TRUE(is_path(out.get(), 0, c.path)) << text_of(out.get());
    }
}

TEST(FrameworkProcess, OutputFollowsTheTextOrderOfLineKeys) {
    Polylines in;
    for (int i = 0; i < 12; ++i)
        add_line(&in, std::to_string(i * 1000000) + " 0, " + std::to_string(i * 1000000) + " 500");
    Polylines out;
    processed(in, &out);
    std::vector<int> order;
    for (const polyline_node_t* n = out.get()->head; n != nullptr; n = n->next)
        order.push_back(static_cast<int>(n->polyline.geom.points[0].x / 1000000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 10, 11, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(FrameworkProcess, DeadEndsArePrunedByTheLengthOfTheWholeSkeleton) {
    // A straight line of two arms through junction J = (0, 0), and two spurs at J (up and down).
    // The pruning length is 10 km up to 500 km of lines in all, 20 km up to 1000 km, 30 km beyond.
    struct Case {
        double arm_km, up_km, down_km;
        int lines;
    } cases[] = {
        {300, 25, 29, 4},                    // 654 km: dead ends over 20 km stay
        {300, 15, 18, 1},                    // 633 km: both spurs go, J is merged away
        {200, 12, 15, 4},                    // 427 km: 10 km
        {200, 6, 8, 1},   {600, 25, 28, 1},  // 1253 km: 30 km
    };
    for (const Case& c : cases) {
        Polylines in;
        add_line(&in, std::to_string(-km(c.arm_km)) + " 0, 0 0");
        add_line(&in, "0 0, " + std::to_string(km(c.arm_km)) + " 0");
        add_line(&in, "0 0, 0 " + std::to_string(km(c.up_km)));
        add_line(&in, "0 0, 0 " + std::to_string(-km(c.down_km)));
        Polylines out;
        processed(in, &out);
        EXPECT_EQ(out.size(), c.lines) << c.arm_km << " " << c.up_km << " " << c.down_km;
        if (c.lines == 1) {
            EXPECT_EQ(com_polylines_at_pointer(out.get(), 0)->geom.count, 3);
        }
    }
}

TEST(FrameworkProcess, ShorterOfTwoSpursGoesFirstAndTheJunctionIsMerged) {
    // Junction J = (0, 0) with a 50 km line to A and spurs of 5 km (down) and 3 km (up). The down
    // spur's end node sorts first, so the rule goes by length, not by order.
    Polylines in;
    add_line(&in, std::to_string(-km(50)) + " 0, 0 0");
    add_line(&in, "0 0, 0 " + std::to_string(-km(5)));
    add_line(&in, "0 0, 0 " + std::to_string(km(3)));
    Polylines out;
    processed(in, &out);
    ASSERT_EQ(out.size(), 1);
    EXPECT_TRUE(
        is_path(out.get(), 0, std::to_string(-km(50)) + " 0, 0 0, 0 " + std::to_string(-km(5))))
        << text_of(out.get());
}

TEST(FrameworkProcess, LoopsAreKeptWholeWithTheirOnlyWayOut) {
    // A closed loop through J alone; and the same loop in two halves with a short spur at J: the
    // halves merge into one loop, which is not merged with itself, and the spur stays (it is the
    // only way out of the loop).
    Polylines loop;
    add_line(&loop, "0 0, 1000 1000, 2000 0, 1000 -1000, 0 0");
    Polylines out;
    processed(loop, &out);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(com_polylines_at_pointer(out.get(), 0)->geom.count, 5);

    Polylines halves;
    add_line(&halves, "0 0, 1000 1000, 2000 0");
    add_line(&halves, "2000 0, 1000 -1000, 0 0");
    add_line(&halves, "0 0, -500 0");
    Polylines kept;
    processed(halves, &kept);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(com_polylines_at_pointer(kept.get(), 0)->geom.count, 5);
    EXPECT_EQ(text_of(&com_polylines_at_pointer(kept.get(), 1)->geom), text_of("0 0, -500 0"));
}

TEST(FrameworkProcess, EmptyInputsGiveNothing) {
    Polylines in, out;
    polygon_framework_process(in.get(), out.get());
    Polyline empty;
    com_polylines_add_copy(in.get(), *empty.get());
    polygon_framework_process(in.get(), out.get());
    polygon_framework_process(nullptr, out.get());
    framework_connect(in.get(), in.get(), out.get());
    EXPECT_EQ(out.size(), 0);
}

// Post-processing only drops and joins lines: every point it writes is a point of its input, and
// it writes no more lines than it got.
std::string points_not_from(const polylines_t* in, const polylines_t* out) {
    std::set<std::pair<double, double>> known;
    for (const polyline_node_t* n = in->head; n != nullptr; n = n->next)
        for (int i = 0; i < n->polyline.geom.count; ++i)
            known.insert({n->polyline.geom.points[i].x, n->polyline.geom.points[i].y});
    std::string unknown;
    for (const polyline_node_t* n = out->head; n != nullptr; n = n->next)
        for (int i = 0; i < n->polyline.geom.count; ++i)
            if (!known.count({n->polyline.geom.points[i].x, n->polyline.geom.points[i].y}))
                unknown += text_of(std::vector<Xy>{
                               {n->polyline.geom.points[i].x, n->polyline.geom.points[i].y}}) +
                           "; ";
    return unknown;
}

TEST(FrameworkProcessProperty, RiversKeepOneLineFromEndToEnd) {
    // Rivers 240 km long and 0.24 to 2.4 km wide: the scan-beam lines lie inside, and their centre
    // line survives pruning whole.
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        const double width = random_real(rng, 20000, 200000);
        std::vector<Xy> centre = meander(rng, 120, 2e7, 2e6);
        Polygon ring(band_around(centre, width));
        Polylines raw, out;
        calc_graphic_framework(ring.get(), raw.get());
        polygon_framework_process(raw.get(), out.get());
        std::string context = "seed " + std::to_string(seed);
        EXPECT_EQ(vertices_off({ring.get()}, raw.get(), 1.0), "") << context;
        EXPECT_EQ(points_not_from(raw.get(), out.get()), "") << context;
        ASSERT_GE(out.size(), 1) << context;
        EXPECT_LE(out.size(), raw.size()) << context;
        EXPECT_LE(nearest_vertex_distance(out.get(), centre.front()), width) << context;
        EXPECT_LE(nearest_vertex_distance(out.get(), centre.back()), width) << context;
    }
}

TEST(FrameworkProcessProperty, StateSkeletonsLieInsideAndArePrunedFromTheirOwnPoints) {
    // Real outlines (valid ones of 100 points or more); scan-beam vertices within a unit of the
    // ring count as on it (midpoints are truncated to whole units).
    int checked = 0;
    for (const AtlasRing& outline : load_atlas_outers("states.txt")) {
        Polygon ring(outline.points);
        if (outline.points.size() < 100 || relation_polygon_iserror(ring.get()) != 0)
            continue;
        Polylines raw, out;
        calc_graphic_framework(ring.get(), raw.get());
        polygon_framework_process(raw.get(), out.get());
        EXPECT_EQ(vertices_off({ring.get()}, raw.get(), 1.0), "") << outline.name;
        EXPECT_EQ(points_not_from(raw.get(), out.get()), "") << outline.name;
        EXPECT_GE(out.size(), 1) << outline.name;
        EXPECT_LT(out.size(), raw.size()) << outline.name << ": spurs pruned and lines merged";
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

TEST(FrameworkProcess, CallsOnTwoThreadsKeepTheirOwnPruningLength) {
    // The long skeleton prunes with 20 km, the short one with 10 km: run side by side, each must
    // give what it gives alone.
    Polylines long_one, short_one;
    for (Polylines* in : {&long_one, &short_one}) {
        double arm = in == &long_one ? 300 : 100;
        add_line(in, std::to_string(-km(arm)) + " 0, 0 0");
        add_line(in, "0 0, " + std::to_string(km(arm)) + " 0");
        add_line(in, "0 0, 0 " + std::to_string(km(14)));
        add_line(in, "0 0, 0 " + std::to_string(-km(16)));
    }
    const int long_alone = processed_count(long_one), short_alone = processed_count(short_one);
    ASSERT_EQ(long_alone, 1);
    ASSERT_EQ(short_alone, 4);
    int long_wrong = 0, short_wrong = 0;
    std::thread a([&] {
        for (int i = 0; i < 300; ++i)
            long_wrong += processed_count(long_one) != long_alone;
    });
    std::thread b([&] {
        for (int i = 0; i < 300; ++i)
            short_wrong += processed_count(short_one) != short_alone;
    });
    a.join();
    b.join();
    EXPECT_EQ(long_wrong, 0);
    EXPECT_EQ(short_wrong, 0);
}

TEST(FrameworkJoin, BoundedJoiningFailsWithoutAResult) {
    // A chain of pieces needs one round per piece after the first; 10000 rounds are allowed.
    for (int pieces : {10001, 10002}) {
        std::vector<polyline_t> chain;
        for (int i = 0; i < pieces; ++i) {
            polyline_t piece{};
            com_polyline_init(&piece);
            com_polyline_add(&piece, point_t{i * 10.0, 0, 0});
            com_polyline_add(&piece, point_t{i * 10.0 + 10.0, 0, 0});
            chain.push_back(piece);
        }
        Polyline joined;
        int status = mapgeom::connect_polyline(&chain, joined.get());
        EXPECT_EQ(status, pieces == 10001 ? 0 : -1);
        EXPECT_EQ(joined.get()->geom.count, pieces == 10001 ? pieces + 1 : 0);
    }
    // A piece with no neighbour fails too, and so does an empty list.
    std::vector<polyline_t> apart(2);
    for (polyline_t& p : apart)
        com_polyline_init(&p);
    com_polyline_add(&apart[0], point_t{0, 0, 0});
    com_polyline_add(&apart[0], point_t{100, 0, 0});
    com_polyline_add(&apart[1], point_t{500, 0, 0});
    com_polyline_add(&apart[1], point_t{600, 0, 0});
    Polyline joined;
    EXPECT_EQ(mapgeom::connect_polyline(&apart, joined.get()), -1);
    EXPECT_EQ(joined.get()->geom.count, 0);
    EXPECT_EQ(mapgeom::connect_polyline(&apart, joined.get()), -1);
}

// The first pass (scan lines across x) and the second (across y) of one shape, crossing at
// (25, 5), (75, 5), (102.857, 28.571) and (108.8, 88).
const char* const kFirstPass = "0 0, 50 10, 100 0, 110 100";
const char* const kSecondPass = "0 5, 90 5, 120 60, 100 110";

std::vector<Xy> points_of_line(const polylines_t* list, int index) {
    return points_of(&com_polylines_at_pointer(list, index)->geom);
}

void expect_near_points(const std::vector<Xy>& got, const std::vector<Xy>& want) {
    ASSERT_EQ(got.size(), want.size()) << text_of(got);
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, 0.01) << i << ": " << text_of(got);
        EXPECT_NEAR(got[i].y, want[i].y, 0.01) << i << ": " << text_of(got);
    }
}

TEST(FrameworkJoin, FlatStretchesFromTheFirstPassSteepOnesFromTheSecond) {
    const std::vector<Xy> joined = {{0, 0},    {25, 5},     {50, 10},
                                    {75, 5},   {100, 0},    {102.857143, 28.571429},
                                    {120, 60}, {108.8, 88}, {100, 110}};
    for (bool reversed : {false, true}) {
        Polylines first, second, out;
        add_line(&first, kFirstPass);
        add_line(&second, kSecondPass);
        add_line(&second, "5000 5000, 6000 5000");  // never chosen: not written
        if (reversed)
            com_polyline_reverse(com_polylines_at_pointer(second.get(), 0));
        std::string second_before = text_of(second.get());
        framework_connect(first.get(), second.get(), out.get());
        ASSERT_EQ(out.size(), 1) << reversed;
        expect_near_points(points_of_line(out.get(), 0), joined);
        EXPECT_EQ(text_of(second.get()), second_before) << "the caller's lines are not changed";
    }
}

TEST(FrameworkJoin, LinesCrossingFewerThanTwiceAreKeptWholeFromThePassThatFollowsThem) {
    struct Case {
        const char* first;
        const char* second;
        const char* kept;
    } cases[] = {
        {"0 0, 100 10", "0 50, 100 60", "0 0, 100 10"},    // flat: the first pass
        {"0 0, 10 100", "50 0, 60 100", "50 0, 60 100"},   // steep: the second pass
        {"0 50, 10 50", "5 0, 5 100", "5 0, 5 100"},       // a tall band: its length, not the stub
        {"0 50, 100 50", "50 45, 50 55", "0 50, 100 50"},  // a wide band
        {"0 0, 10 100", "0 50, 100 60", ""},               // neither follows its pass
        {"0 0, 100 10", "", ""},                           // no counterpart
    };
    for (const Case& c : cases) {
        Polylines first, second, out;
        add_line(&first, c.first);
        if (*c.second)
            add_line(&second, c.second);
        framework_connect(first.get(), second.get(), out.get());
        EXPECT_EQ(text_of(out.get()), text_of(c.kept)) << c.first << " | " << c.second;
    }
}

TEST(FrameworkRevise, PointsNearTheBoundaryInXMoveInward) {
    Polygon ring(pts("0 0, 100000 0, 100000 50000, 0 50000"));
    struct Case {
        double x, y, moved_x;
    } cases[] = {
        {3000, 100, 7000},                            // left probe outside
        {97000, 100, 93000},                          // right probe outside
        {50000, 100, 50000},                          // both inside
        {-50000, 100, -50000}, {6000, 50000, 10000},  // left probe outside, right one on the edge
    };
    Polylines lines;
    Polyline line;
    for (const Case& c : cases)
        com_polyline_add(line.get(), point_t{c.x, c.y, 0});
    com_polylines_add_copy(lines.get(), *line.get());
    framework_points_revise(ring.get(), lines.get());
    const geom_t* g = &com_polylines_at_pointer(lines.get(), 0)->geom;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        EXPECT_EQ(g->points[i].x, cases[i].moved_x) << cases[i].x << " " << cases[i].y;
        EXPECT_EQ(g->points[i].y, cases[i].y);
    }
}

}  // namespace
