// Crossing points of two rings, of a polyline and a ring and of two polylines on hand-made cases
// whose answers follow from the geometry: inserted vertices, record indexes, kinds of meeting and
// sides, with a record already in the caller's list left as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/crosspoint.h"
#include "shape_checks.h"

namespace {

using testing_shapes::Crosspts;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::pts;
using testing_shapes::Record;

// Both shapes before and after the call ("" after: unchanged), and the records in the order along
// the second shape: x, y, index1, index2, flag, curpt_flag.
struct Case {
    const char *name, *first, *second, *first_after, *second_after;
    std::vector<Record> records;
};

constexpr crosspt_t kEarlier{{-7, -7, 9}, 42, 43, 6, 3};

template <typename First, typename Second, typename Engine>
void expect_cases(const std::vector<Case>& cases, Engine engine, const char* engine_name) {
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(engine_name) + ": " + c.name);
        First first(pts(c.first));
        Second second(pts(c.second));
        Crosspts out;
        com_crosspts_add(out.get(), kEarlier);
        engine(first.get(), second.get(), out.get());
        const crosspt_t& kept = out.get()->crosspts[0];
        EXPECT_TRUE(kept.pt.z == 9 && kept.index1 == 42 && kept.index2 == 43 && kept.flag == 6);
        testing_shapes::expect_points(&first.get()->geom, *c.first_after ? c.first_after : c.first);
        testing_shapes::expect_points(&second.get()->geom,
                                      *c.second_after ? c.second_after : c.second);
        testing_shapes::expect_records(out.get(), 1, c.records);
    }
}

const char* const kSquare = "0 0, 10 0, 10 10, 0 10, 0 0";

// Crossings lie far apart compared to either merge tolerance, so both ring engines agree.
const std::vector<Case> kRingCases = {
    {"overlapping squares give an entry and an exit",
     kSquare,
     "5 5, 15 5, 15 15, 5 15, 5 5",
     "0 0, 10 0, 10 5, 10 10, 5 10, 0 10, 0 0",
     "5 5, 10 5, 15 5, 15 15, 5 15, 5 10, 5 5",
     {{10, 5, 2, 1, 0, 1}, {5, 10, 4, 5, 0, 0}}},
    {"crossing at a's first vertex is found once with index 0",
     kSquare,
     "-5 -5, 5 5, 5 -5, -5 -5",
     "0 0, 5 0, 10 0, 10 10, 0 10, 0 0",
     "-5 -5, 0 0, 5 5, 5 0, 5 -5, -5 -5",
     {{0, 0, 0, 1, 0, 1}, {5, 0, 1, 3, 0, 0}}},
    {"vertex of b touching an edge of a from outside gives flag 1",
     kSquare,
     "5 0, 8 -5, 2 -5, 5 0",
     "0 0, 5 0, 10 0, 10 10, 0 10, 0 0",
     "",
     {{5, 0, 1, 0, 1, 0}}},
    {"reflex vertex of a touching b, whose boundary runs into a, gives flag 2",
     "0 0, 10 0, 10 10, 5 5, 0 10, 0 0",
     "5 5, 4 2, 6 2, 5 5",
     "",
     "",
     {{5, 5, 3, 0, 2, 0}}},
    {"shared stretch seen from outside gives flags 5 and 4",
     kSquare,
     "2 0, 5 0, 8 0, 8 -5, 2 -5, 2 0",
     "0 0, 2 0, 5 0, 8 0, 10 0, 10 10, 0 10, 0 0",
     "",
     {{2, 0, 1, 0, 5, 2}, {5, 0, 2, 1, 4, 2}, {8, 0, 3, 2, 5, 0}}},
    {"shared stretch leading into b gives flag 6",
     kSquare,
     "5 0, 20 0, 20 5, 5 5, 5 0",
     "0 0, 5 0, 10 0, 10 5, 10 10, 0 10, 0 0",
     "5 0, 10 0, 20 0, 20 5, 10 5, 5 5, 5 0",
     {{5, 0, 1, 0, 5, 2}, {10, 0, 2, 1, 6, 1}, {10, 5, 3, 4, 0, 0}}},
    {"disjoint rings are left alone", kSquare, "20 20, 30 20, 30 30, 20 20", "", "", {}},
    {"a ring inside the other is left alone", kSquare, "2 2, 8 2, 8 8, 2 8, 2 2", "", "", {}},
    {"a ring without edges is left alone", kSquare, "5 5", "", "", {}},
};

TEST(RingCrossings, BothEnginesInsertClassifyAndOrderAlongB) {
    expect_cases<Polygon, Polygon>(kRingCases, calc_polygons_crosspts, "sweep");
    expect_cases<Polygon, Polygon>(kRingCases, calc_polygon_and_polygon_crosspts, "all pairs");
}

TEST(RingCrossings, CrossingsAThousandthApartAreMergedOnlyByTheSweep) {
    const char* slit = "5 -5, 5.001 -5, 5.001 5, 5 5, 5 -5";
    expect_cases<Polygon, Polygon>({{"merged",
                                     kSquare,
                                     slit,
                                     "0 0, 5 0, 10 0, 10 10, 0 10, 0 0",
                                     "5 -5, 5.001 -5, 5.001 5, 5 5, 5 0, 5 -5",
                                     {{5, 0, 1, 4, 1, 0}}}},
                                   calc_polygons_crosspts, "sweep");
    // Kept apart, the two crossings are a true entry into and exit from the slit.
    expect_cases<Polygon, Polygon>({{"kept",
                                     kSquare,
                                     slit,
                                     "0 0, 5 0, 5.001 0, 10 0, 10 10, 0 10, 0 0",
                                     "5 -5, 5.001 -5, 5.001 0, 5.001 5, 5 5, 5 0, 5 -5",
                                     {{5.001, 0, 2, 2, 0, 0}, {5, 0, 1, 5, 0, 1}}}},
                                   calc_polygon_and_polygon_crosspts, "all pairs");
}

// b's edge passes within 0.00005 of a's vertex (10,10), which carries code 2; both edges of a at
// that vertex report the meeting a little off the vertex.
TEST(RingCrossings, VertexKeepsItsOwnCoordinatesAndCodeWhenACrossingHitsIt) {
    for (auto engine : {calc_polygons_crosspts, calc_polygon_and_polygon_crosspts}) {
        Polygon a(pts("0 0, 10 0, 10 10 2, 0 10")), b(pts("5 15.00005, 15 5.00005, 15 15"));
        Crosspts out;
        engine(a.get(), b.get(), out.get());
        ASSERT_EQ(a.get()->geom.count, 5);
        point_t hit = a.get()->geom.points[2];
        EXPECT_TRUE(hit.x == 10.0 && hit.y == 10.0 && hit.z == 2.0);
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(out.get()->crosspts[0].index1, 2);
    }
}

// The square (5,0)-(15,10), and the same with (5,5) inserted into its left edge.
const char* const kRing = "5 0, 15 0, 15 10, 5 10, 5 0";
const char* const kRingLeftMid = "5 0, 15 0, 15 10, 5 10, 5 5, 5 0";

TEST(PolylineCrossings, LineAgainstRingInsertsAndClassifiesWithMissingSidesAlong) {
    expect_cases<Polyline, Polygon>(
        {{"through two sides, ordered along the ring",
          "0 5, 20 5",
          kRing,
          "0 5, 5 5, 15 5, 20 5",
          "5 0, 15 0, 15 5, 15 10, 5 10, 5 5, 5 0",
          {{15, 5, 2, 2, 0, 0}, {5, 5, 1, 5, 0, 0}}},
         {"end on the boundary from outside",
          "0 5, 5 5",
          kRing,
          "",
          kRingLeftMid,
          {{5, 5, 1, 4, 5, 0}}},
         {"vertex touching from outside is one record",
          "0 0, 5 5, 0 10",
          kRing,
          "",
          kRingLeftMid,
          {{5, 5, 1, 4, 1, 0}}},
         {"running along around a corner", "10 0, 5 0, 5 5", kRing, "", "", {{5, 0, 1, 0, 4, 0}}},
         {"crossing at a ring vertex is found once there",
          "0 -5, 10 5",
          kRing,
          "0 -5, 5 0, 10 5",
          "",
          {{5, 0, 1, 0, 0, 0}}},
         {"apart", "20 20, 30 30", kRing, "", "", {}},
         // A polyline passing one boundary point twice has a record for each pass, and the ring
         // gets the point once.
         {"leaving through the point it started at",
          "5 5, 10 5, 10 8, 5 5, 0 5",
          kRing,
          "",
          kRingLeftMid,
          {{5, 5, 0, 4, 6, 0}, {5, 5, 3, 4, 0, 0}}},
         {"crossing one point twice",
          "0 2, 10 8, 10 2, 0 8",
          kRing,
          "0 2, 5 5, 10 8, 10 2, 5 5, 0 8",
          kRingLeftMid,
          {{5, 5, 1, 4, 0, 0}, {5, 5, 4, 4, 0, 0}}},
         {"leaving through a corner and ending there",
          "10 5, 15 10, 20 15, 20 10, 15 10",
          kRing,
          "",
          "",
          {{15, 10, 1, 2, 0, 0}, {15, 10, 4, 2, 5, 0}}}},
        calc_polyline_and_polygon_crosspts, "line and ring");
}

TEST(PolylineCrossings, TwoLinesMergeWithinAHundredthAndKeepEveryPass) {
    expect_cases<Polyline, Polyline>(
        {{"an X",
          "0 0, 10 10",
          "0 10, 10 0",
          "0 0, 5 5, 10 10",
          "0 10, 5 5, 10 0",
          {{5, 5, 1, 1, 0, 0}}},
         {"shared end adds no point", "0 0, 10 0", "10 0, 20 5", "", "", {{10, 0, 1, 0, 0, 0}}},
         {"crossings closer than 0.01 merge",
          "0 0, 10 0",
          "5 -1, 5.004 1, 5.008 -1",
          "0 0, 5.002 0, 10 0",
          "5 -1, 5.002 0, 5.004 1, 5.008 -1",
          {{5.002, 0, 1, 1, 0, 0}}},
         {"apart", "0 0, 1 1", "5 0, 6 1", "", "", {}},
         {"closed-looking line meeting the other at both ends",
          "0 0, 10 0, 10 10, 0 0",
          "-5 0, 0 0",
          "",
          "",
          {{0, 0, 0, 1, 0, 0}, {0, 0, 3, 1, 0, 0}}}},
        calc_polylines_crosspts, "two lines");
}

TEST(PolylineCrossings, ShapesWithoutSegmentsAreLeftAlone) {
    Polyline point_line(pts("5 5")), line(pts("0 5, 20 5"));
    Polygon ring(pts(kRing)), empty;
    Crosspts out;
    calc_polyline_and_polygon_crosspts(point_line.get(), ring.get(), out.get());
    calc_polyline_and_polygon_crosspts(line.get(), empty.get(), out.get());
    calc_polylines_crosspts(point_line.get(), line.get(), out.get());
    calc_polyline_and_polygon_crosspts(nullptr, ring.get(), out.get());
    calc_polylines_crosspts(line.get(), nullptr, out.get());
    EXPECT_EQ(out.size(), 0);
    testing_shapes::expect_points(&line.get()->geom, "0 5, 20 5");
    testing_shapes::expect_points(&ring.get()->geom, kRing);
}

}  // namespace

extern "C" int mapgeom_c_call_with_null_records(void);

TEST(CrossingHeaders, CompileAsCAndIgnoreNullRecords) {
    EXPECT_EQ(mapgeom_c_call_with_null_records(), 0);
}
