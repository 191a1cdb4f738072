// Crossing points of a polyline with a ring and of two polylines: inserted vertices, record indexes
// and kinds of meeting on hand-made cases whose answers follow from the geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::Xy;

constexpr double kCoordinateSlack = 1e-9;

struct Record {
    double x;
    double y;
    int index1;
    int index2;
    int flag;
};

void expect_points(const geom_t* got, const std::vector<Xy>& expected, const char* which) {
    SCOPED_TRACE(which);
    ASSERT_EQ(got->count, static_cast<int>(expected.size()));
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_NEAR(got->points[k].x, expected[k].x, kCoordinateSlack) << "point " << k;
        EXPECT_NEAR(got->points[k].y, expected[k].y, kCoordinateSlack) << "point " << k;
    }
}

void expect_records(const crosspts_t* list, int first, const std::vector<Record>& expected) {
    ASSERT_EQ(list->count - first, static_cast<int>(expected.size()));
    for (size_t k = 0; k < expected.size(); ++k) {
        const crosspt_t& got = list->crosspts[first + k];
        SCOPED_TRACE("record " + std::to_string(k));
        EXPECT_NEAR(got.pt.x, expected[k].x, kCoordinateSlack);
        EXPECT_NEAR(got.pt.y, expected[k].y, kCoordinateSlack);
        EXPECT_EQ(got.pt.z, 0.0);
        EXPECT_EQ(got.index1, expected[k].index1);
        EXPECT_EQ(got.index2, expected[k].index2);
        EXPECT_EQ(got.flag, expected[k].flag);
        EXPECT_EQ(got.curpt_flag, 0);
    }
}

struct Case {
    const char* name;
    std::vector<Xy> first;
    std::vector<Xy> second;
    std::vector<Xy> first_after;
    std::vector<Xy> second_after;
    std::vector<Record> records;  // in the order along the second shape
};

// The square (5,0)-(15,10), and the same with (5,5) inserted into its left edge.
const std::vector<Xy> kSquare{{5, 0}, {15, 0}, {15, 10}, {5, 10}, {5, 0}};
const std::vector<Xy> kSquareLeftMid{{5, 0}, {15, 0}, {15, 10}, {5, 10}, {5, 5}, {5, 0}};

const Case kLineRingCases[] = {
    {"ThroughTwoSidesGivesTwoCrossingsOrderedAlongTheRing",
     {{0, 5}, {20, 5}},
     kSquare,
     {{0, 5}, {5, 5}, {15, 5}, {20, 5}},
     {{5, 0}, {15, 0}, {15, 5}, {15, 10}, {5, 10}, {5, 5}, {5, 0}},
     {{15, 5, 2, 2, 0}, {5, 5, 1, 5, 0}}},
    {"EndOnBoundaryFromOutsideLeavesAlongTheMissingSide",
     {{0, 5}, {5, 5}},
     kSquare,
     {{0, 5}, {5, 5}},
     kSquareLeftMid,
     {{5, 5, 1, 4, 5}}},
    {"EndOnBoundaryFromInside",
     {{10, 5}, {5, 5}},
     kSquare,
     {{10, 5}, {5, 5}},
     kSquareLeftMid,
     {{5, 5, 1, 4, 6}}},
    {"VertexTouchingFromOutsideIsOneRecord",
     {{0, 0}, {5, 5}, {0, 10}},
     kSquare,
     {{0, 0}, {5, 5}, {0, 10}},
     kSquareLeftMid,
     {{5, 5, 1, 4, 1}}},
    {"VertexTouchingFromInside",
     {{10, 2}, {5, 5}, {10, 8}},
     kSquare,
     {{10, 2}, {5, 5}, {10, 8}},
     kSquareLeftMid,
     {{5, 5, 1, 4, 3}}},
    {"RunningAlongAroundACornerIsAlongOnBothSides",
     {{10, 0}, {5, 0}, {5, 5}},
     kSquare,
     {{10, 0}, {5, 0}, {5, 5}},
     kSquare,
     {{5, 0, 1, 0, 4}}},
    {"CrossingAtARingVertexIsFoundOnceAtThatVertex",
     {{0, -5}, {10, 5}},
     kSquare,
     {{0, -5}, {5, 0}, {10, 5}},
     kSquare,
     {{5, 0, 1, 0, 0}}},
    {"ApartShapesKeepTheirPoints",
     {{20, 20}, {30, 30}},
     kSquare,
     {{20, 20}, {30, 30}},
     kSquare,
     {}},
};

const Case kLineLineCases[] = {
    {"AnXGivesOneCrossingInBoth",
     {{0, 0}, {10, 10}},
     {{0, 10}, {10, 0}},
     {{0, 0}, {5, 5}, {10, 10}},
     {{0, 10}, {5, 5}, {10, 0}},
     {{5, 5, 1, 1, 0}}},
    {"SharedEndAddsNoPoint",
     {{0, 0}, {10, 0}},
     {{10, 0}, {20, 5}},
     {{0, 0}, {10, 0}},
     {{10, 0}, {20, 5}},
     {{10, 0, 1, 0, 0}}},
    {"CrossingsCloserThanOneHundredthMerge",
     {{0, 0}, {10, 0}},
     {{5, -1}, {5.004, 1}, {5.008, -1}},
     {{0, 0}, {5.002, 0}, {10, 0}},
     {{5, -1}, {5.002, 0}, {5.004, 1}, {5.008, -1}},
     {{5.002, 0, 1, 1, 0}}},
    {"ApartLinesKeepTheirPoints",
     {{0, 0}, {1, 1}},
     {{5, 0}, {6, 1}},
     {{0, 0}, {1, 1}},
     {{5, 0}, {6, 1}},
     {}},
};

// A record already in the list must survive untouched.
constexpr crosspt_t kEarlierRecord{{-7, -7, 9}, 42, 43, 6, 3};

void expect_earlier_record_kept(const crosspts_t* list) {
    ASSERT_GE(list->count, 1);
    const crosspt_t& got = list->crosspts[0];
    EXPECT_EQ(got.pt.x, kEarlierRecord.pt.x);
    EXPECT_EQ(got.pt.z, kEarlierRecord.pt.z);
    EXPECT_EQ(got.index1, kEarlierRecord.index1);
    EXPECT_EQ(got.index2, kEarlierRecord.index2);
    EXPECT_EQ(got.flag, kEarlierRecord.flag);
}

TEST(PolylinePolygonCrosspts, HandMadeCases) {
    for (const Case& c : kLineRingCases) {
        SCOPED_TRACE(c.name);
        Polyline line(c.first);
        Polygon ring(c.second);
        Crosspts out;
        com_crosspts_add(out.get(), kEarlierRecord);
        calc_polyline_and_polygon_crosspts(line.get(), ring.get(), out.get());
        expect_earlier_record_kept(out.get());
        expect_points(&line.get()->geom, c.first_after, "line");
        expect_points(&ring.get()->geom, c.second_after, "ring");
        expect_records(out.get(), 1, c.records);
    }
}

TEST(PolylinesCrosspts, HandMadeCases) {
    for (const Case& c : kLineLineCases) {
        SCOPED_TRACE(c.name);
        Polyline line1(c.first);
        Polyline line2(c.second);
        Crosspts out;
        com_crosspts_add(out.get(), kEarlierRecord);
        calc_polylines_crosspts(line1.get(), line2.get(), out.get());
        expect_earlier_record_kept(out.get());
        expect_points(&line1.get()->geom, c.first_after, "line1");
        expect_points(&line2.get()->geom, c.second_after, "line2");
        expect_records(out.get(), 1, c.records);
    }
}

TEST(PolylineCrosspts, ShapesWithoutSegmentsAreLeftAlone) {
    Polyline point_line{{5, 5}};
    Polyline line{{0, 5}, {20, 5}};
    Polygon square(kSquare);
    Polygon empty;
    Crosspts out;
    calc_polyline_and_polygon_crosspts(point_line.get(), square.get(), out.get());
    calc_polyline_and_polygon_crosspts(line.get(), empty.get(), out.get());
    calc_polylines_crosspts(point_line.get(), line.get(), out.get());
    calc_polyline_and_polygon_crosspts(nullptr, square.get(), out.get());
    calc_polylines_crosspts(line.get(), nullptr, out.get());
    EXPECT_EQ(out.size(), 0);
    expect_points(&line.get()->geom, {{0, 5}, {20, 5}}, "line");
    expect_points(&square.get()->geom, kSquare, "square");
}

}  // namespace
