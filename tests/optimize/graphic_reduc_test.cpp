// Graphic reduction through the public API: the criteria and their degenerate cases, the polyline
// and ring walks on shapes that pin a branch (straight lines, spikes, long-armed corners, press
// sections, collapse, truncation), and the spike removal and thinning passes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "mapgeom/optimize.h"
#include "shape_checks.h"
#include "shape_text.h"

using namespace testing_shapes;

namespace {

constexpr double kPi = 3.14159265358979323846;

// n vertices on a circle of radius r around the origin, whole units, counter-clockwise.
std::vector<Xy> circle(int n, double r) {
    std::vector<Xy> ring;
    for (int k = 0; k < n; ++k)
        ring.push_back(
            {std::round(r * std::cos(2 * kPi * k / n)), std::round(r * std::sin(2 * kPi * k / n))});
    return ring;
}

// Position of the first stored point of g at (x, y), or -1.
int find_xy(const geom_t* g, double x, double y) {
    for (int k = 0; k < g->count; ++k)
        if (g->points[k].x == x && g->points[k].y == y)
            return k;
    return -1;
}

struct CriterionCase {
    const char* name;
    int (*criterion)(const PointXY*, const PointXY*, const PointXY*, double, double,
                     unsigned short*, double*);
    PointXY a, b, c;
    double t1, t2;
    int code;
    int verdict;  // -1: no verdict written
    double value;
};

TEST(ReductionCriteria, MeasureDecideAndHandleDegenerateInput) {
    const CriterionCase cases[] = {
        {"angle 90 inside the band", MethodOfAngle, {0, 0}, {2, 0}, {1, 1}, 61, 180, 0, 1, 90},
        {"angle 90 below min", MethodOfAngle, {0, 0}, {2, 0}, {1, 1}, 91, 180, 0, 0, 90},
        {"angle 90 above max", MethodOfAngle, {0, 0}, {2, 0}, {1, 1}, 0, 89, 0, 0, 90},
        // A folded-back corner: the cosine rounds to 1 and the angle is 0, not NaN.
        {"angle of a fold", MethodOfAngle, {0, 0}, {1, 0}, {3, 0}, 61, 180, 0, 0, 0},
        {"length kept at the threshold", MethodOfLength, {0, 0}, {3, 4}, {9, 9}, 5, 0, 0, 1, 5},
        {"length below the threshold", MethodOfLength, {0, 0}, {3, 4}, {9, 9}, 5.5, 0, 0, 0, 5},
        {"height above t1 + 0.001", MethodOfHigh, {0, 0}, {10, 0}, {5, 2}, 1.998, 0, 0, 1, 2},
        {"height within t1 + 0.001", MethodOfHigh, {0, 0}, {10, 0}, {5, 2}, 1.9995, 0, 0, 0, 2},
        {"area by Heron", MethodOfArea, {0, 0}, {4, 0}, {0, 3}, 6, 0, 0, 1, 6},
        {"area below threshold", MethodOfArea, {0, 0}, {4, 0}, {0, 3}, 6.5, 0, 0, 0, 6},
        {"flat triangle has area 0", MethodOfArea, {0, 0}, {2, 0}, {1, 0}, 1, 0, 0, 0, 0},
        {"all three coincide", MethodOfAngle, {0, 0}, {0.001, 0}, {0, 0.001}, 0, 0, 5, -1, 0},
        {"candidate on the anchor", MethodOfLength, {0, 0}, {5, 0}, {0.001, 0}, 0, 0, 0, 0, 0},
        {"candidate on the next", MethodOfArea, {0, 0}, {5, 0}, {5, -0.001}, 0, 0, 0, 0, 0},
        {"anchor on the next", MethodOfHigh, {0, 0}, {0.001, 0}, {4, 4}, 0, 0, 3, -1, 0},
        {"just apart is measured", MethodOfLength, {0, 0}, {0.0011, 0}, {4, 4}, 1, 0, 0, 0, 0.0011},
    };
    for (const CriterionCase& c : cases) {
        unsigned short verdict = 77;
        double value = -1.0;
        EXPECT_EQ(c.criterion(&c.a, &c.b, &c.c, c.t1, c.t2, &verdict, &value), c.code) << c.name;
        if (c.verdict < 0) {
            EXPECT_EQ(verdict, 77) << c.name;
            continue;
        }
        EXPECT_EQ(verdict, c.verdict) << c.name;
        EXPECT_NEAR(value, c.value, 1e-4) << c.name;
    }
}

TEST(ReductionCriteria, SideDistanceAndPointOnSegment) {
    const PointXY a{0, 0}, b{10, 0};
    struct {
        PointXY c;
        unsigned short side;
    } sides[] = {{{5, 0.0011}, 2}, {{5, -0.0011}, 1}, {{5, 0.001}, 0}, {{50, 0}, 0}};
    for (const auto& s : sides) {
        unsigned short side = 9;
        EXPECT_EQ(PointAtLineLR(&a, &b, &s.c, &side), 0);
        EXPECT_EQ(side, s.side) << s.c.x << " " << s.c.y;
    }
    unsigned short side = 9;
    PointAtLineLR(&a, &a, &b, &side);
    EXPECT_EQ(side, 0) << "a line through one point";

    struct {
        PointXY a, b, p;
        double tolerance;
        int code;
        unsigned short result;
    } accepts[] = {
        {{0, 0}, {10, 10}, {5, 5}, 0.01, 0, 1},     {{0, 0}, {10, 10}, {12, 12}, 0.01, 0, 2},
        {{0, 0}, {10, 10}, {5, 6}, 0.5, 0, 0},      {{3, 0}, {3, 10}, {3.2, 5}, 0.5, 0, 1},
        {{3, 0}, {3, 10}, {3.2, 11}, 0.5, 0, 2},    {{0, 0}, {0.001, 0}, {5, 5}, 0.5, 6, 65535},
        {{0, 0}, {10, 10}, {5, 5}, -0.1, 7, 65535}, {{0, 0}, {10, 10}, {5, 5}, 10.5, 7, 65535},
    };
    for (const auto& c : accepts) {
        unsigned short result = 9;
        EXPECT_EQ(JudgePointAccept(&c.a, &c.b, &c.p, c.tolerance, &result), c.code);
        EXPECT_EQ(result, c.result) << c.p.x << " " << c.p.y << " tolerance " << c.tolerance;
    }
}

TEST(ReductionCriteria, SegmentMeetingsAreClassified) {
    struct {
        const char* name;
        PointXY a, b, c, d;
        int code;
        unsigned short result;
        PointXY cross;
    } cases[] = {
        {"crossing", {0, 0}, {10, 10}, {0, 10}, {10, 0}, 0, 1, {5, 5}},
        {"apart", {0, 0}, {10, 10}, {20, 0}, {30, -10}, 0, 0, {-1, -1}},
        {"end point on the other", {0, 0}, {10, 0}, {5, 0}, {5, 7}, 0, 2, {5, 0}},
        {"collinear overlap", {0, 0}, {10, 0}, {12, 0}, {4, 0}, 0, 3, {4, 0}},
        {"parallel", {0, 0}, {10, 0}, {0, 1}, {10, 1}, 0, 4, {-1, -1}},
        {"collinear apart", {0, 0}, {10, 0}, {11, 0}, {20, 0}, 0, 4, {-1, -1}},
        {"degenerate segment", {0, 0}, {0, 0}, {0, 10}, {10, 0}, 6, 65535, {-1, -1}},
    };
    for (const auto& c : cases) {
        unsigned short result = 9;
        PointXY cross{-1, -1};
        EXPECT_EQ(JudgeLinesCut(&c.a, &c.b, &c.c, &c.d, &result, &cross), c.code) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_NEAR(cross.x, c.cross.x, 1e-9) << c.name;
        EXPECT_NEAR(cross.y, c.cross.y, 1e-9) << c.name;
    }
}

TEST(ReductionCriteria, RingMethodKeepsSharpCornersWithLongArms) {
    tag_polygon_param_t param;
    param.min_angle = 61;
    param.keep_arm_length = 2000.9;  // counts as 2000
    // A 20-degree corner at C: dropped with arms up to 2000, kept when an arm is longer.
    const PointXY c{0, 0};
    for (double arm : {2000.0, 2000.5}) {
        const PointXY a{arm, 0};
        const PointXY b{arm * std::cos(20 * kPi / 180), arm * std::sin(20 * kPi / 180)};
        unsigned long keep = 7;
        EXPECT_EQ(CF_PolygonMethod(&a, &b, &c, &keep, param), 0);
        EXPECT_EQ(keep, arm > 2000 ? 1u : 0u) << arm;
    }
    unsigned long keep = 7;
    const PointXY a{0, 0}, next{0.0005, 0}, candidate{5, 5};
    EXPECT_EQ(CF_PolygonMethod(&a, &next, &candidate, &keep, param), 0);
    EXPECT_EQ(keep, 0u) << "anchor and next coincide";
    // The polyline method gives up on coincident anchor and next and keeps the candidate.
    tag_polyline_param_t line_param;
    const PointXY touching{0.001, 0};
    EXPECT_EQ(CF_PolylineMethod(&a, &touching, &candidate, &keep, line_param), 3);
    EXPECT_EQ(keep, 1u);
}

// --------------------------------------------------------------------------------------------
// Polylines.

TEST(PolylineReduction, BranchesTheWalkPins) {
    struct Case {
        const char* name;
        std::vector<Xy> in;
        std::string expected;
    };
    std::vector<Xy> straight;
    for (int k = 0; k <= 200; ++k)
        straight.push_back({k * 50.0, 0.0, 7});
    const Case cases[] = {
        {"straight line keeps its ends", straight, "0 0 7, 10000 0 7"},
        // Apex angle 30 degrees: arms 3864, chord 2000, height 3732 pass every other criterion.
        {"30 degree spike is dropped", pts("0 0, 1000 3732, 2000 0"), "0 0, 2000 0"},
        {"right-angle corner stays", pts("0 0, 1000 1000, 2000 0"), "0 0, 1000 1000, 2000 0"},
        {"height 110 is too little", pts("0 0, 1000 110, 2000 0"), "0 0, 2000 0"},
        {"height 111 is kept", pts("0 0, 1000 111, 2000 0"), "0 0, 1000 111, 2000 0"},
        {"coordinates truncate toward zero", pts("10.7 -10.7, 5000.9 -10.7 3"),
         "10 -10 3, 5000 -10 3"},
        {"repeats of the end are not output twice", pts("0 0, 1000 1000, 2000 0, 2000.5 0.4"),
         "0 0, 1000 1000, 2000 0"},
        {"two points stay two", pts("0 0, 1 0"), "0 0, 1 0"},
    };
    for (const Case& c : cases) {
        Polyline in(c.in), out;
        EXPECT_EQ(reduc_polyline_by_defult(in.get(), out.get()), 0) << c.name;
        EXPECT_EQ(points_of(&out.get()->geom), pts(c.expected)) << c.name;
    }
}

TEST(PolylineReduction, TooShortInputLeavesOutputAlone) {
    for (const char* text : {"", "10.7 -10.7"}) {
        Polyline in(pts(text)), out({{1, 2}});
        EXPECT_EQ(reduc_polyline_by_defult(in.get(), out.get()), 8) << text;
        EXPECT_EQ(points_of(&out.get()->geom), pts("1 2")) << text;
    }
    Polyline in(pts("0 0, 1 1")), out;
    EXPECT_EQ(reduc_polyline(nullptr, out.get(), nullptr), 8);
    EXPECT_EQ(reduc_polyline(in.get(), nullptr, nullptr), 8);
}

TEST(PolylineReduction, ConstructorValuesThinNothing) {
    // With every threshold at the constructor's values only exactly straight vertices go.
    tag_polyline_param_t param;
    tag_polyline_param_t from_c = MAPGEOM_POLYLINE_PARAM_INIT;
    EXPECT_EQ(std::memcmp(&param, &from_c, sizeof param), 0);
    Polyline in(pts("0 0, 10 0, 20 0, 25 5, 30 0, 40 1")), out;
    EXPECT_EQ(reduc_polyline(in.get(), out.get(), &param), 0);
    EXPECT_EQ(points_of(&out.get()->geom), pts("0 0, 20 0, 25 5, 30 0, 40 1"));
}

// --------------------------------------------------------------------------------------------
// Rings.

TEST(PolygonReduction, CornerWithLongArmsStays) {
    // Ring P0, A, C, B: C is a 30-degree corner with arms of the given length. Vertex 1 (A) is
    // kept whatever its criteria say, because the closing point sits on its triangle.
    for (double arm : {1500.0, 2500.0}) {
        double dx = std::round(arm * std::cos(15 * kPi / 180));
        double dy = std::round(arm * std::sin(15 * kPi / 180));
        Polygon in({{2 * dx, 0}, {dx, dy}, {0, 0}, {dx, -dy}}), out;
        EXPECT_EQ(reduc_polygon_by_defult(in.get(), out.get()), 0);
        EXPECT_EQ(find_xy(&out.get()->geom, 0, 0) >= 0, arm > 2000) << arm;
        EXPECT_EQ(out.get()->geom.count, arm > 2000 ? 5 : 4) << arm;
    }
}

TEST(PolygonReduction, PressSectionAndCodedVertexSurviveWithNeighbours) {
    std::vector<Xy> ring = circle(64, 1000);
    ring[10].z = 2;
    ring[14].z = 103;  // an end carrying a node mark keeps it
    ring[40].z = 100;  // a node point alone
    Polygon in(ring), out;
    ASSERT_EQ(reduc_polygon_by_defult(in.get(), out.get()), 0);
    const geom_t* g = &out.get()->geom;
    EXPECT_LT(g->count, 40) << "the circle is thinned elsewhere";
    int first = find_xy(g, ring[9].x, ring[9].y);
    for (int v : {9, 10, 11, 12, 13, 14, 15, 39, 40, 41}) {  // run 9..15 kept contiguous
        int at = find_xy(g, ring[v].x, ring[v].y);
        ASSERT_GE(at, 0) << "vertex " << v << " lost: " << text_of(g);
        EXPECT_TRUE(v > 15 || at == first + v - 9) << "vertex " << v << " out of place";
        EXPECT_EQ(g->points[at].z, v == 10 ? 2 : v == 14 ? 103 : v == 40 ? 100 : 0) << v;
    }
    EXPECT_EQ(text_of({points_of(g).front()}), text_of({points_of(g).back()}));
}

TEST(PolygonReduction, CollapseTruncationAndOddInput) {
    struct Case {
        const char* name;
        std::string in;
        int code;
        std::string expected;
    };
    const Case cases[] = {
        {"small triangle collapses", "0 0, 100 0, 50 50, 0 0", 1, "0 0, 100 0"},
        {"collapse with a pressed closing point drops point 0", "0 0, 100 0, 200 0, 0 0 1", 1,
         "200 0, 0 0 1"},
        {"all on one line", "0 0, 100 0, 200 0, 0 0", 1, ""},
        {"coordinates truncate toward zero",
         "10.7 -10.7, 5000.9 -10.7, 5000.2 5000.6, -2000.5 3000, 10.7 -10.7", 0,
         "10 -10, 5000 -10, 5000 5000, -2000 3000, 10 -10"},
        {"unclosed ring is closed on its first point", "0 0, 5000 0, 5000 5000, -2000 3000", 0,
         "0 0, 5000 0, 5000 5000, -2000 3000, 0 0"},
        // A code that does not fit 16 bits still protects its vertex and comes out unchanged.
        {"wide point code", "0 0, 50 0 65536, 5000 0, 5000 5000, 0 5000, 0 0", 0,
         "0 0, 50 0 65536, 5000 0, 5000 5000, 0 5000, 0 0"},
        {"empty ring", "", 1, ""},
        // A coded point behind a plain copy of itself: the copy kept carries the code.
        {"code of a repeated point kept", "0 0, 5000 0, 5000 5000, 2500 5005, 2500 5005 1, 0 5000",
         0, "0 0, 5000 0, 5000 5000, 2500 5005 1, 0 5000, 0 0"},
    };
    for (const Case& c : cases) {
        StoredPolygon in(pts(c.in));
        Polygon out;
        EXPECT_EQ(reduc_polygon_by_defult(in.get(), out.get()), c.code) << c.name;
        EXPECT_EQ(points_of(&out.get()->geom), pts(c.expected)) << c.name;
    }
    Polygon in(pts("0 0, 1 0, 1 1")), out;
    EXPECT_EQ(reduc_polygon(in.get(), out.get(), nullptr), 1);
    EXPECT_EQ(out.get()->geom.count, 0);
}

TEST(PolygonReduction, WalkNormalisesSectionEnds) {
    // All vertices protected (coded or next to a coded one), so only the codes change: of two ends
    // without a start between them the last stays, and after an end only a run's first start.
    const unsigned short flags[] = {0, 3, 0, 3, 0, 2, 2, 0};
    const unsigned short expected[] = {0, 0, 0, 3, 0, 2, 0, 0};
    const long long xy[][2] = {{0, 0},       {1000, 0},    {2000, 0},    {3000, 1000},
                               {3000, 3000}, {2000, 4000}, {1000, 4000}, {0, 0}};
    std::vector<tagCF_DivGeoPoint_t> in, out;
    for (int k = 0; k < 8; ++k)
        in.emplace_back(xy[k][0], xy[k][1], flags[k]);
    ASSERT_EQ(CF_PolygonReduc(in, out, tag_polygon_param_t()), 0);
    ASSERT_EQ(out.size(), 8u);
    for (int k = 0; k < 8; ++k)
        EXPECT_TRUE(out[k].x == xy[k][0] && out[k].flag == expected[k]) << k;
}

// --------------------------------------------------------------------------------------------
// Spike removal and thinning.

TEST(SpikeRemoval, NeedleVerticesGo) {
    struct Case {
        const char* name;
        std::string in, expected;
    };
    const Case cases[] = {
        {"1 degree spike", "0 0, 100 0, 100 100, 50 100, 0 3000, 49 100, 0 100, 0 0",
         "0 0, 100 0, 100 100, 50 100, 49 100, 0 100, 0 0"},
        {"5 degree corner stays", "0 0, 100 0, 100 100, 50 100, 0 1000, 0 100, 0 0",
         "0 0, 100 0, 100 100, 50 100, 0 1000, 0 100, 0 0"},
        {"spike at the first vertex", "0 3000, 1 100, 100 100, 100 0, -100 0, -100 100, -1 100",
         "1 100, 100 100, 100 0, -100 0, -100 100, -1 100, 1 100"},
        {"needle triangle is left", "0 0, 1000 1, 0 2, 0 0", "0 0, 1000 1, 0 2, 0 0"},
    };
    for (const Case& c : cases) {
        Polygon ring(pts(c.in));
        optimize_polygon_reduc(ring.get());
        EXPECT_EQ(points_of(&ring.get()->geom), pts(c.expected)) << c.name;
    }
    optimize_polygon_reduc(nullptr);
}

TEST(PolylineThinning, KeepsPointsEvenlyByLength) {
    Polyline line(pts("0 0, 1 0, 2 0, 3 0, 4 0, 5 0, 6 0, 7 0, 8 0"));
    struct {
        int n;
        std::string expected;
    } cases[] = {{4, "0 0, 2 0, 4 0, 6 0, 8 0"},
                 {20, "0 0, 1 0, 2 0, 3 0, 4 0, 5 0, 6 0, 7 0, 8 0"},
                 {2, "0 0, 4 0, 8 0"},
                 {0, "0 0, 8 0"}};
    for (const auto& c : cases) {
        Polyline out;
        EXPECT_EQ(optimize_polyline_reduc(line.get(), out.get(), c.n), 0);
        EXPECT_EQ(points_of(&out.get()->geom), pts(c.expected)) << c.n;
    }
}

}  // namespace
