// Cutting polygons and polylines by hand-checked cases: the pieces of a polygon cut by a line, the
// stretches of a line kept by a polygon, a tile and another line, crossings marked as nodes, the
// caller's list and inputs left alone, and no exception escaping when scratch memory runs out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "failing_new.h"
#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "ring_checks.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

const char* const kSquare = "0 0, 10 0, 10 10, 0 10";

TEST(SplitPolygonByPolyline, CutsGiveTheFacesOnBothSidesOfEveryStretchInside) {
    const char* const u_shape = "0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30";
    const struct {
        const char *name, *polygon, *line;
        std::vector<double> areas;  // ascending; none: the line cuts nothing
    } cases[] = {
        {"StraightLine", kSquare, "-5 5, 15 5", {50, 50}},
        {"ZigZagCrossingOneEdgeFourTimes", kSquare, "2 -5, 4 5, 6 -5, 8 5, 9 -5", {5, 5, 90}},
        {"DanglingEndsOutsideAreTrimmed", kSquare, "-20 -20, -5 6, 5 8, 15 6, 30 30", {25, 75}},
        {"ThroughOppositeVertices", kSquare, "-5 -5, 15 15", {50, 50}},
        {"AlongAnEdgeThenAcross", kSquare, "-5 0, 5 0, 5 15", {50, 50}},
        {"DownToAnEdgeAlongItAndUpAgain", kSquare, "-5 4, 3 4, 3 0, 6 0, 6 4, 15 4", {12, 16, 72}},
        {"TouchingAnEdgeFromInside", kSquare, "-5 2, 5 10, 15 2", {10, 10, 80}},
        {"AcrossBothArmsOfAU", u_shape, "-5 20, 35 20", {100, 100, 500}},
        {"ClockwisePolygon", "0 0, 0 10, 10 10, 10 0", "-5 5, 15 5", {50, 50}},
        {"EndsInside", kSquare, "-5 5, 5 5", {}},
        {"StartsInside", kSquare, "5 5, 15 5", {}},
        {"CrossesThenEndsInside", kSquare, "-5 5, 15 5, 15 8, 5 8", {}},
        {"AlongAnEdgeOnly", kSquare, "-5 0, 15 0", {}},
        {"Misses", kSquare, "-5 -5, -5 15", {}},
        {"TouchesAVertex", kSquare, "-5 5, 0 10, 5 15", {}},
        {"SinglePoint", kSquare, "5 5", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon polygon(pts(c.polygon));
        Polyline line(pts(c.line));
        std::string line_before = text_of(&line.get()->geom);
        Polygons pieces;
        EXPECT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
        EXPECT_EQ(faulty_rings(pieces.get()), "");
        EXPECT_EQ(signed_areas(pieces.get()), c.areas);
        EXPECT_GT(plane_signed_area(&polygon.get()->geom), 0.0) << "caller's polygon turned";
        EXPECT_EQ(text_of(&line.get()->geom), line_before) << "line unchanged";
    }
}

TEST(SplitPolygonByPolyline, CrossingPointsBecomeNodesAndTheCallersRingsStay) {
    // The cut runs from vertex (0,0) (code 150, already a node) to vertex (10,10) (press code 5);
    // the list already holds a ring of two edges, which the clean-up of degenerate pieces would
    // remove.
    Polygons pieces;
    com_polygons_add_copy(pieces.get(), Polygon(pts("0 0, 10 0, 0 0")).p);
    Polygon polygon(pts("0 0 150, 10 0, 10 10 5, 0 10"));
    Polyline line(pts("-5 -5, 15 15"));
    EXPECT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
    EXPECT_EQ(text_of(pieces.get()), texts_of("0 0, 10 0, 0 0 | 0 0 150, 10 10 105, 0 10, 0 0 150"
                                              " | 10 10 105, 0 0 150, 10 0, 10 10 105"));
}

// Splits `line` by the polygon (0), as a tile (1) or by `other` (2); or the polygon by `line` (3).
int split(int which, Polygon& ring, Polyline& other, polyline_t* line, polylines_t* lines,
          polygons_t* rings) {
    return which == 0   ? split_polyline_by_polygon(line, ring.get(), lines)
           : which == 1 ? split_polyline_by_rect(line, ring.get(), lines)
           : which == 2 ? split_polyline_by_polyline(line, other.get(), lines)
                        : split_polygon_by_polyline(ring.get(), line, rings);
}

TEST(SplitPolyline, KeepsTheStretchesInsideAPolygonOrTileOrCutAtEveryCrossingOfALine) {
    const int polygon = 0, tile = 1, line = 2;
    const struct {
        const char* name;
        int by;
        const char *shape, *line;
        int result;
        const char* pieces;
    } cases[] = {
        {"EnteringTwice", polygon, kSquare, "-5 2, 15 2, 15 8, -5 8", 0, "0 2, 10 2 | 10 8, 0 8"},
        {"ThroughVertices", polygon, kSquare, "-5 -5, 15 15", 0, "0 0, 10 10"},
        {"EndingOnTheBoundary", polygon, kSquare, "15 5, 5 5, 0 5", 0, "10 5, 5 5, 0 5"},
        {"AlongTheBoundaryThenInside", polygon, kSquare, "-5 5, 0 5, 0 8, 5 8, 15 8", 0,
         "0 5, 0 8, 5 8, 10 8"},
        {"PassingAPlaceOfTheBoundaryTwice", polygon, kSquare, "-5 5, 5 5, 5 15, -2.5 0", 0,
         "0 5, 5 5, 5 10 | 2.5 10, 0 5"},
        {"InsideTouchingAVertex", polygon, kSquare, "5 5, 10 10, 5 8", 1, "5 5, 10 10, 5 8"},
        {"OutsideTouchingAVertex", polygon, kSquare, "-5 5, 0 10, 5 15", 2, ""},
        {"LeavingThroughThePointItStartedAt", polygon, kSquare, "0 5, 5 5, 5 8, 0 5, -5 5", 0,
         "0 5, 5 5, 5 8, 0 5"},
        {"LeavingThroughACornerAndEndingThere", polygon, kSquare, "5 5, 10 10, 15 15, 15 10, 10 10",
         0, "5 5, 10 10"},
        {"ClockwisePolygon", polygon, "0 0, 0 10, 10 10, 10 0", "-5 5, 15 5", 0, "0 5, 10 5"},
        // A ring whose points are all one, met by the line (found by fuzzing: a division by
        // its zero edges).
        {"PolygonOfOnePoint", polygon, "0 0, 0 0", "4 14, 2 15, 6 0, 0 0", 2, ""},
        {"TileLeftSide", tile, kSquare, "0 -5, 0 15", 0, "0 0, 0 10"},
        {"WithinTheTileBottomSide", tile, kSquare, "2 0, 8 0", 0, "2 0, 8 0"},
        {"WithinTheTileTopSide", tile, kSquare, "2 10, 8 10", 0, ""},
        {"WithinTheTileRightSideThenInside", tile, kSquare, "10 2, 10 8, 5 8", 0, "10 8, 5 8"},
        {"InsideTheTileTouchingAVertex", tile, kSquare, "5 5, 10 10, 5 8", 0, "5 5, 10 10, 5 8"},
        {"StrictlyInsideTheTile", tile, kSquare, "2 2, 8 8", 1, "2 2, 8 8"},
        {"OutsideTheTile", tile, kSquare, "-5 -5, -5 15", 2, ""},
        {"ClockwiseTile", tile, "0 0, 0 10, 10 10, 10 0", "-5 5, 15 5", 0, "0 5, 10 5"},
        {"LineCrossingThrice", line, "5 -5, 10 5, 15 -5, 20 5", "0 0, 30 0", 0,
         "0 0, 7.5 0 | 7.5 0, 12.5 0 | 12.5 0, 17.5 0 | 17.5 0, 30 0"},
        {"LineAtAVertexOfTheFirst", line, "0 5, 10 5", "0 0, 5 5, 10 0", 0, "0 0, 5 5 | 5 5, 10 0"},
        {"LineTouchingTheFirstsEnd", line, "10 -5, 10 5", "0 0, 10 0", 0, "0 0, 10 0"},
        {"FirstPassingTheCrossingTwice", line, "5 0, 5 10", "0 0, 10 10, 10 0, 0 10", 0,
         "0 0, 5 5 | 5 5, 10 10, 10 0, 5 5 | 5 5, 0 10"},
        {"ParallelLine", line, "0 5, 10 5", "0 0, 10 0", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polyline cut(pts(c.line));
        Polylines pieces;
        Polygon ring(pts(c.shape));
        Polyline other(pts(c.shape));
        EXPECT_EQ(split(c.by, ring, other, cut.get(), pieces.get(), nullptr), c.result);
        EXPECT_EQ(text_of(&other.get()->geom), text_of(c.shape)) << "a cutting line is not changed";
        EXPECT_TRUE(c.by == line || plane_signed_area(&ring.get()->geom) >= 0.0) << "turned";
        EXPECT_EQ(text_of(pieces.get()), texts_of(c.pieces));
        EXPECT_EQ(text_of(&cut.get()->geom), text_of(c.line)) << "line unchanged";
    }
}

// Every allocation of a split, in turn, fails: no exception escapes, and a call that reports the
// failure (the line lies outside, or does not meet) appends nothing. (Some allocations have a
// fallback: the call then goes on.) The list holds a one-point and an empty polyline that the
// clean-up of degenerate pieces would remove: they stay. Once no allocation fails, the split is
// whole, and a one-point piece of its own walk is dropped (the third line ends on `across`).
TEST(SplitOperations, SurviveRunningOutOfScratchMemoryKeepingTheCallersEntries) {
    const struct {
        const char *line, *lines;  // lines: the whole list once the polyline split succeeds
        int failed_result, rings;
    } cases[] = {
        {"-5 5, 15 5", "7 7 | | 0 5, 10 5", 2, 0},
        {"-5 5, 15 5", "7 7 | | 0 5, 10 5", 2, 0},
        {"-5 5, 10 5", "7 7 | | -5 5, 10 5", 1, 0},
        {"-5 5, 15 5", "7 7 | ", 0, 2},
    };
    Polygon square(pts(kSquare));  // made before any allocation is made to fail
    Polyline across(pts("10 0, 10 10"));
    for (int which = 0; which < 4; ++which) {
        SCOPED_TRACE(which);
        const auto& c = cases[which];
        for (long successes = 0;; ++successes) {
            Polyline line(pts(c.line));
            Polylines lines;
            com_polylines_add_copy(lines.get(), Polyline(pts("7 7")).p);
            com_polylines_add_copy(lines.get(), Polyline().p);
            Polygons rings;
            int result = -1;
            bool failed = false;
            {
                testing_alloc::FailingNew failing(successes);
                result = split(which, square, across, line.get(), lines.get(), rings.get());
                failed = failing.failed();
            }
            int appended = lines.size() - 2 + rings.size();
            if (failed) {
                EXPECT_TRUE(result == 0 || result == c.failed_result) << successes;
                EXPECT_TRUE(result != c.failed_result || appended == 0) << successes;
                EXPECT_EQ(text_of(&com_polylines_at_pointer(lines.get(), 0)->geom), "7 7 0")
                    << successes;
                continue;
            }
            EXPECT_EQ(result, 0);
            EXPECT_EQ(text_of(lines.get()), texts_of(c.lines));
            EXPECT_EQ(rings.size(), c.rings);
            break;
        }
    }
}

}  // namespace
