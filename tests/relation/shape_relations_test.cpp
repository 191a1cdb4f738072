// Shape-to-shape relations on small hand-made shapes covering every code of each table, in both
// argument orders where the table is symmetric or mirrored, and with the caller's shapes checked
// untouched where the relation works on copies.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::Xy;

bool same_points(const geom_t* got, const std::vector<Xy>& expected) {
    if (got->count != static_cast<int>(expected.size()))
        return false;
    for (size_t k = 0; k < expected.size(); ++k)
        if (got->points[k].x != expected[k].x || got->points[k].y != expected[k].y)
            return false;
    return true;
}

std::vector<Xy> closed(std::vector<Xy> ring) {
    ring.push_back(ring.front());
    return ring;
}

// The square (0,0)-(10,10), counter-clockwise, and shapes placed against it.
const std::vector<Xy> kBig{{0, 0}, {10, 0}, {10, 10}, {0, 10}};

struct PolygonCase {
    const char* name;
    std::vector<Xy> a;
    std::vector<Xy> b;
    int code;          // a relative to b
    int swapped_code;  // b relative to a
};

const PolygonCase kPolygonCases[] = {
    {"OverlappingSquares", kBig, {{5, 5}, {15, 5}, {15, 15}, {5, 15}}, 0, 0},
    {"NestedWithoutContact", {{2, 2}, {4, 2}, {4, 4}, {2, 4}}, kBig, 1, 2},
    {"FarApart", {{20, 20}, {30, 20}, {30, 30}, {20, 30}}, kBig, 3, 3},
    {"NestedSharingPartOfAnEdge", {{0, 2}, {4, 2}, {4, 4}, {0, 4}}, kBig, 4, 5},
    {"SideBySideOnASharedEdge", {{10, 0}, {20, 0}, {20, 10}, {10, 10}}, kBig, 6, 6},
    {"NestedDiamondTouchingEverySide", {{5, 0}, {10, 5}, {5, 10}, {0, 5}}, kBig, 7, 8},
    {"NestedTriangleTouchingAtOneVertex", {{0, 5}, {5, 3}, {5, 7}}, kBig, 7, 8},
    {"CornerTouch", {{10, 10}, {20, 10}, {20, 20}, {10, 20}}, kBig, 9, 9},
    {"IdenticalOutline", kBig, kBig, 10, 10},
    {"IdenticalOutlineReversedFromAnotherStart",
     {{10, 10}, {10, 0}, {0, 0}, {0, 10}},
     kBig,
     10,
     10},
    // Shares two stretches of the bottom edge; leaves one inward and the other outward.
    {"SharedStretchesLeftInwardAndOutward",
     {{2, -5}, {8, -5}, {8, 0}, {6, 0}, {6, 5}, {4, 5}, {4, 0}, {2, 0}},
     kBig,
     0,
     0},
    {"ClockwiseInputIsNormalised",
     {{2, 2}, {2, 4}, {4, 4}, {4, 2}},
     {{0, 0}, {0, 10}, {10, 10}, {10, 0}},
     1,
     2},
};

TEST(PolygonAndPolygon, EveryCodeInBothArgumentOrders) {
    for (const PolygonCase& c : kPolygonCases) {
        SCOPED_TRACE(c.name);
        Polygon a(c.a);
        Polygon b(c.b);
        EXPECT_EQ(relation_polygon_and_polygon(a.get(), b.get()), c.code);
        EXPECT_EQ(relation_polygon_and_polygon(b.get(), a.get()), c.swapped_code);
        EXPECT_TRUE(same_points(&a.get()->geom, closed(c.a)));
        EXPECT_TRUE(same_points(&b.get()->geom, closed(c.b)));
    }
}

// A copy that cleaning collapses below three vertices is not handed to the crossing engine: the
// caller's first points decide.
TEST(PolygonAndPolygon, RingsWithoutAreaFallBackToContainment) {
    Polygon big(kBig);
    Polygon sliver({{3.2, 3.2}, {3.4, 3.2}, {3.3, 3.4}});
    Polygon segment({{-5, 5}, {15, 5}});
    Polygon empty;
    EXPECT_EQ(relation_polygon_and_polygon(sliver.get(), big.get()), 1);
    EXPECT_EQ(relation_polygon_and_polygon(big.get(), sliver.get()), 2);
    EXPECT_EQ(relation_polygon_and_polygon(segment.get(), big.get()), 3);
    EXPECT_EQ(relation_polygon_and_polygon(empty.get(), big.get()), 3);
    EXPECT_EQ(relation_polygon_and_polygon(big.get(), empty.get()), 3);
}

struct LineCase {
    const char* name;
    std::vector<Xy> line;
    int code;
};

const LineCase kLineCases[] = {
    {"CrossesOneSide", {{-5, 5}, {5, 5}}, 0},
    {"CrossesThroughACorner", {{-5, -5}, {5, 5}}, 0},
    {"WhollyInside", {{2, 2}, {8, 8}}, 1},
    {"WhollyOutside", {{20, 0}, {30, 10}}, 2},
    {"StartsOnTheBoundaryGoingIn", {{0, 5}, {5, 5}}, 3},
    {"TouchesTheBoundaryFromInside", {{2, 2}, {0, 5}, {2, 8}}, 3},
    {"RunsAlongAnEdgeFromInside", {{5, 5}, {0, 2}, {0, 8}, {5, 5}}, 3},
    {"StartsOnTheBoundaryGoingOut", {{0, 5}, {-5, 5}}, 4},
    {"TouchesTheBoundaryFromOutside", {{-5, 2}, {0, 5}, {-5, 8}}, 4},
    {"RunsAlongAnEdgeFromOutside", {{-5, 2}, {0, 2}, {0, 8}, {-5, 8}}, 4},
    // The line passes its first boundary point again: each pass counts.
    {"GoesInFromItsStartAndLeavesThroughIt", {{0, 5}, {5, 5}, {5, 8}, {0, 5}, {-5, 5}}, 0},
    {"GoesOutFromItsStartAndComesInThroughIt", {{0, 5}, {-5, 5}, {-5, 8}, {0, 5}, {5, 5}}, 0},
};

TEST(PolylineAndPolygon, EveryCodeOnCopies) {
    Polygon square(kBig);
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        Polyline line(c.line);
        EXPECT_EQ(relation_polyline_and_polygon(line.get(), square.get()), c.code);
        EXPECT_TRUE(same_points(&line.get()->geom, c.line));
        EXPECT_TRUE(same_points(&square.get()->geom, closed(kBig)));
    }
}

TEST(PolylineAndRect, SameCodesWithTheCrossingsLeftToTheCaller) {
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        Polygon rect(kBig);
        Polyline line(c.line);
        Crosspts crossings;
        crosspt_t earlier{{50, 50, 0}, 0, 0, 0, 0};  // a crossing kind: must not count
        com_crosspts_add(crossings.get(), earlier);
        EXPECT_EQ(relation_polyline_and_rect(line.get(), rect.get(), crossings.get()), c.code);
        // Each record names the vertex of its point in the changed line and rectangle.
        for (int k = 1; k < crossings.size(); ++k) {
            const crosspt_t& r = crossings.get()->crosspts[k];
            EXPECT_EQ(com_points_same(com_polyline_at(line.get(), r.index1), r.pt), 0);
            EXPECT_EQ(com_points_same(com_polygon_at(rect.get(), r.index2), r.pt), 0);
        }
        EXPECT_EQ(crossings.size() > 1, c.code != 1 && c.code != 2);
    }
}

struct LinesCase {
    const char* name;
    std::vector<Xy> a;
    std::vector<Xy> b;
    std::vector<int> codes;
};

const LinesCase kLinesCases[] = {
    {"CrossInAnX", {{0, 0}, {10, 10}}, {{0, 10}, {10, 0}}, {0}},
    {"MeetEndToEnd", {{0, 0}, {10, 0}}, {{10, 0}, {20, 5}}, {1}},
    {"EndTouchesTheMiddle", {{5, 0}, {5, 5}}, {{0, 0}, {10, 0}}, {2}},
    {"TouchAtSharedInteriorVertices", {{0, 0}, {5, 5}, {10, 0}}, {{0, 10}, {5, 5}, {10, 10}}, {0}},
    {"SameEndsAndACrossingBetween",
     {{0, 0}, {10, 10}},
     {{0, 0}, {10, 0}, {0, 10}, {10, 10}},
     {3, 1, 0}},
    {"SharedEndAndAnEndOnTheOther", {{0, 0}, {10, 0}}, {{10, 0}, {10, 5}, {5, 5}, {5, 0}}, {1, 2}},
    {"Apart", {{0, 0}, {1, 1}}, {{5, 0}, {6, 1}}, {}},
};

TEST(PolylineAndPolyline, CodesInTheirOrderWithUnusedEntriesCleared) {
    for (const LinesCase& c : kLinesCases) {
        SCOPED_TRACE(c.name);
        Polyline a(c.a);
        Polyline b(c.b);
        int codes[4] = {7, 7, 7, 7};
        ASSERT_EQ(relation_polyline_and_polyline(a.get(), b.get(), codes),
                  static_cast<int>(c.codes.size()));
        for (size_t k = 0; k < 4; ++k)
            EXPECT_EQ(codes[k], k < c.codes.size() ? c.codes[k] : -1) << "entry " << k;
    }
}

TEST(FindPolylinesCrosspts, AppendsOnlyPointsNotListedYet) {
    Polyline a{{0, 0}, {10, 10}, {20, 0}};
    Polyline b{{0, 5}, {20, 5}};
    geom_t out{};
    com_geom_init(&out);
    com_geom_add(&out, point_t{15, 5, 0});
    EXPECT_EQ(find_polylines_crosspts(a.get(), b.get(), &out), 2);
    EXPECT_EQ(com_points_same(com_geom_at(&out, 1), point_t{5, 5, 0}), 0);
    EXPECT_EQ(find_polylines_crosspts(a.get(), b.get(), &out), 2);
    com_geom_free(&out);
}

// On lines long enough for the candidate index, the points and their order must be those of the
// plain double loop.
TEST(FindPolylinesCrosspts, IndexedSearchMatchesThePlainDoubleLoop) {
    constexpr unsigned kSeed = 4242;
    printf("seed %u\n", kSeed);
    std::mt19937 rng(kSeed);
    std::uniform_int_distribution<int> step(-6, 6);  // whole steps: shared points and overlaps
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<Xy> walks[2];
        for (auto& walk : walks) {
            walk.push_back({0, 0});
            for (int k = 1; k < 90; ++k)
                walk.push_back({walk.back().x + step(rng), walk.back().y + step(rng)});
        }
        Polyline a(walks[0]);
        Polyline b(walks[1]);
        geom_t got{};
        geom_t want{};
        find_polylines_crosspts(a.get(), b.get(), &got);
        for (int i = 0; i + 1 < a.get()->geom.count; ++i)
            for (int j = 0; j + 1 < b.get()->geom.count; ++j) {
                point_t c{};
                if (relation_lines_cross(
                        &c, com_polyline_at(b.get(), j + 1), com_polyline_at(b.get(), j),
                        com_polyline_at(a.get(), i + 1), com_polyline_at(a.get(), i)) == 0 &&
                    com_geom_find(&want, c) == -1)
                    com_geom_add(&want, c);
            }
        EXPECT_GT(want.count, 0);
        EXPECT_TRUE(same_points(&got, testing_shapes::points_of(&want))) << "trial " << trial;
        com_geom_free(&got);
        com_geom_free(&want);
    }
}

}  // namespace
