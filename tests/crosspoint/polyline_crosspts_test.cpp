// Crossing points of a polyline with a ring and of two polylines: inserted vertices, record indexes
// and kinds of meeting on hand-made cases whose answers follow from the geometry.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::pts;
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

// Shapes as point text (point_text.h); an empty "after" text means the shape keeps its points.
struct Case {
    const char* name;
    const char* first;
    const char* second;
    const char* first_after;
    const char* second_after;
    std::vector<Record> records;  // in the order along the second shape
};

// The square (5,0)-(15,10), and the same with (5,5) inserted into its left edge.
const char* const kSquare = "5 0, 15 0, 15 10, 5 10, 5 0";
const char* const kSquareLeftMid = "5 0, 15 0, 15 10, 5 10, 5 5, 5 0";

const Case kLineRingCases[] = {
    {"ThroughTwoSidesGivesTwoCrossingsOrderedAlongTheRing",
     "0 5, 20 5",
     kSquare,
     "0 5, 5 5, 15 5, 20 5",
     "5 0, 15 0, 15 5, 15 10, 5 10, 5 5, 5 0",
     {{15, 5, 2, 2, 0}, {5, 5, 1, 5, 0}}},
    {"EndOnBoundaryFromOutsideLeavesAlongTheMissingSide",
     "0 5, 5 5",
     kSquare,
     "",
     kSquareLeftMid,
     {{5, 5, 1, 4, 5}}},
    {"VertexTouchingFromOutsideIsOneRecord",
     "0 0, 5 5, 0 10",
     kSquare,
     "",
     kSquareLeftMid,
     {{5, 5, 1, 4, 1}}},
    {"RunningAlongAroundACornerIsAlongOnBothSides",
     "10 0, 5 0, 5 5",
     kSquare,
     "",
     "",
     {{5, 0, 1, 0, 4}}},
    {"CrossingAtARingVertexIsFoundOnceAtThatVertex",
     "0 -5, 10 5",
     kSquare,
     "0 -5, 5 0, 10 5",
     "",
     {{5, 0, 1, 0, 0}}},
    {"ApartShapesKeepTheirPoints", "20 20, 30 30", kSquare, "", "", {}},
    // A polyline passing one boundary point twice has a record for each pass (its first and last
    // records along it at one place included), and the ring gets the point once.
    {"LineLeavingThroughThePointItStartedAtKeepsBothPasses",
     "5 5, 10 5, 10 8, 5 5, 0 5",
     kSquare,
     "",
     kSquareLeftMid,
     {{5, 5, 0, 4, 6}, {5, 5, 3, 4, 0}}},
    {"LineCrossingOnePointTwiceGetsItOnEachPass",
     "0 2, 10 8, 10 2, 0 8",
     kSquare,
     "0 2, 5 5, 10 8, 10 2, 5 5, 0 8",
     kSquareLeftMid,
     {{5, 5, 1, 4, 0}, {5, 5, 4, 4, 0}}},
    {"LineLeavingThroughACornerAndEndingThere",
     "10 5, 15 10, 20 15, 20 10, 15 10",
     kSquare,
     "",
     "",
     {{15, 10, 1, 2, 0}, {15, 10, 4, 2, 5}}},
};

const Case kLineLineCases[] = {
    {"AnXGivesOneCrossingInBoth",
     "0 0, 10 10",
     "0 10, 10 0",
     "0 0, 5 5, 10 10",
     "0 10, 5 5, 10 0",
     {{5, 5, 1, 1, 0}}},
    {"SharedEndAddsNoPoint", "0 0, 10 0", "10 0, 20 5", "", "", {{10, 0, 1, 0, 0}}},
    {"CrossingsCloserThanOneHundredthMerge",
     "0 0, 10 0",
     "5 -1, 5.004 1, 5.008 -1",
     "0 0, 5.002 0, 10 0",
     "5 -1, 5.002 0, 5.004 1, 5.008 -1",
     {{5.002, 0, 1, 1, 0}}},
    {"ApartLinesKeepTheirPoints", "0 0, 1 1", "5 0, 6 1", "", "", {}},
    {"ClosedLookingLineMeetingTheOtherAtBothEndsKeepsBoth",
     "0 0, 10 0, 10 10, 0 0",
     "-5 0, 0 0",
     "",
     "",
     {{0, 0, 0, 1, 0}, {0, 0, 3, 1, 0}}},
};

std::vector<Xy> after(const char* changed, const char* original) {
    return pts(*changed != 0 ? changed : original);
}

// A record already in the list must survive untouched.
constexpr crosspt_t kEarlier{{-7, -7, 9}, 42, 43, 6, 3};

// Runs an engine on each case after a record already in the list, which must survive untouched.
template <typename First, typename Second, typename Engine>
void run_cases(const Case* cases, size_t count, Engine engine) {
    for (size_t k = 0; k < count; ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.name);
        First first(pts(c.first));
        Second second(pts(c.second));
        Crosspts out;
        com_crosspts_add(out.get(), kEarlier);
        engine(first.get(), second.get(), out.get());
        const crosspt_t& kept = out.get()->crosspts[0];
        EXPECT_TRUE(kept.pt.z == kEarlier.pt.z && kept.index1 == kEarlier.index1 &&
                    kept.index2 == kEarlier.index2 && kept.flag == kEarlier.flag);
        expect_points(&first.get()->geom, after(c.first_after, c.first), "first");
        expect_points(&second.get()->geom, after(c.second_after, c.second), "second");
        expect_records(out.get(), 1, c.records);
    }
}

TEST(PolylinePolygonCrosspts, HandMadeCases) {
    run_cases<Polyline, Polygon>(kLineRingCases, std::size(kLineRingCases),
                                 calc_polyline_and_polygon_crosspts);
}

TEST(PolylinesCrosspts, HandMadeCases) {
    run_cases<Polyline, Polyline>(kLineLineCases, std::size(kLineLineCases),
                                  calc_polylines_crosspts);
}

TEST(PolylineCrosspts, ShapesWithoutSegmentsAreLeftAlone) {
    Polyline point_line{{5, 5}};
    Polyline line{{0, 5}, {20, 5}};
    Polygon square(pts(kSquare));
    Polygon empty;
    Crosspts out;
    calc_polyline_and_polygon_crosspts(point_line.get(), square.get(), out.get());
    calc_polyline_and_polygon_crosspts(line.get(), empty.get(), out.get());
    calc_polylines_crosspts(point_line.get(), line.get(), out.get());
    calc_polyline_and_polygon_crosspts(nullptr, square.get(), out.get());
    calc_polylines_crosspts(line.get(), nullptr, out.get());
    EXPECT_EQ(out.size(), 0);
    expect_points(&line.get()->geom, {{0, 5}, {20, 5}}, "line");
    expect_points(&square.get()->geom, pts(kSquare), "square");
}

}  // namespace
