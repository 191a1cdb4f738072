// Cutting polylines by a polygon, a rectangle and another polyline: which stretches are kept
// (inside, along the boundary, on which sides of a tile), the result codes, and that the inputs are
// left as they were.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::Polylines;
using testing_shapes::pts;

const char* const kSquare = "0 0, 10 0, 10 10, 0 10";

// The pieces as text, "x y, x y | x y, ...", as the cases write them.
std::string text_of(const Polylines& pieces) {
    std::ostringstream text;
    for (int k = 0; k < pieces.size(); ++k) {
        const geom_t* g = &com_polylines_at_pointer(pieces.get(), k)->geom;
        for (int i = 0; i < g->count; ++i)
            text << (i > 0 ? ", " : k > 0 ? " | " : "") << g->points[i].x << " " << g->points[i].y;
    }
    return text.str();
}

struct Case {
    const char *name, *shape, *line;
    int result;
    const char* pieces;
};

using SplitFunction = int (*)(polyline_t*, polygon_t*, polylines_t*);

void run_cases(SplitFunction split, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon shape(pts(c.shape));
        Polyline line(pts(c.line));
        Polylines pieces;
        EXPECT_EQ(split(line.get(), shape.get(), pieces.get()), c.result);
        EXPECT_EQ(text_of(pieces), std::string(c.pieces));
        EXPECT_EQ(points_of(&line.get()->geom).size(), pts(c.line).size()) << "line unchanged";
    }
}

TEST(SplitPolylineByPolygon, KeepsTheStretchesInsideAndAlongTheBoundary) {
    run_cases(split_polyline_by_polygon,
              {
                  {"CrossingFromOutsideToOutside", kSquare, "-5 5, 15 5", 0, "0 5, 10 5"},
                  {"EnteringTwice", kSquare, "-5 2, 15 2, 15 8, -5 8", 0, "0 2, 10 2 | 10 8, 0 8"},
                  {"ThroughVertices", kSquare, "-5 -5, 15 15", 0, "0 0, 10 10"},
                  {"EndingOnTheBoundary", kSquare, "15 5, 5 5, 0 5", 0, "10 5, 5 5, 0 5"},
                  {"AlongTheBoundaryThenInside", kSquare, "-5 5, 0 5, 0 8, 5 8, 15 8", 0,
                   "0 5, 0 8, 5 8, 10 8"},
                  {"PassingAPlaceOfTheBoundaryTwice", kSquare, "-5 5, 5 5, 5 15, -2.5 0", 0,
                   "0 5, 5 5, 5 10 | 2.5 10, 0 5"},
                  {"InsideTouchingAVertex", kSquare, "5 5, 10 10, 5 8", 1, "5 5, 10 10, 5 8"},
                  {"StrictlyInside", kSquare, "2 2, 8 8", 1, "2 2, 8 8"},
                  {"Outside", kSquare, "-5 -5, -5 15", 2, ""},
                  {"OutsideTouchingAVertex", kSquare, "-5 5, 0 10, 5 15", 2, ""},
                  {"LeavingThroughThePointItStartedAt", kSquare, "0 5, 5 5, 5 8, 0 5, -5 5", 0,
                   "0 5, 5 5, 5 8, 0 5"},
                  {"LeavingThroughACornerAndEndingThere", kSquare,
                   "5 5, 10 10, 15 15, 15 10, 10 10", 0, "5 5, 10 10"},
              });
}

TEST(SplitPolylineByRect, KeepsStretchesAlongTheLeastSidesOnly) {
    run_cases(split_polyline_by_rect,
              {
                  {"Crossing", kSquare, "-5 5, 15 5", 0, "0 5, 10 5"},
                  {"AlongTheLeftSide", kSquare, "0 -5, 0 15", 0, "0 0, 0 10"},
                  {"AlongTheRightSide", kSquare, "10 -5, 10 15", 0, ""},
                  {"WithinTheBottomSide", kSquare, "2 0, 8 0", 0, "2 0, 8 0"},
                  {"WithinTheTopSide", kSquare, "2 10, 8 10", 0, ""},
                  {"WithinTheRightSideThenInside", kSquare, "10 2, 10 8, 5 8", 0, "10 8, 5 8"},
                  {"InsideTouchingAVertex", kSquare, "5 5, 10 10, 5 8", 0, "5 5, 10 10, 5 8"},
                  {"StrictlyInside", kSquare, "2 2, 8 8", 1, "2 2, 8 8"},
                  {"Outside", kSquare, "-5 -5, -5 15", 2, ""},
              });
}

TEST(SplitPolylineByPolygon, ClockwisePolygonsAreTurnedInPlace) {
    for (SplitFunction split : {split_polyline_by_polygon, split_polyline_by_rect}) {
        Polygon shape(pts("0 0, 0 10, 10 10, 10 0"));
        Polyline line(pts("-5 5, 15 5"));
        Polylines pieces;
        EXPECT_EQ(split(line.get(), shape.get(), pieces.get()), 0);
        EXPECT_EQ(text_of(pieces), "0 5, 10 5");
        EXPECT_GT(testing_shapes::plane_signed_area(&shape.get()->geom), 0.0);
    }
}

TEST(SplitPolylineByPolyline, CutsTheFirstLineAtEveryCrossing) {
    struct PolylineCase {
        const char *name, *a, *b;
        int result;
        const char* pieces;
    };
    const PolylineCase cases[] = {
        {"CrossingOnce", "0 0, 10 10", "0 10, 10 0", 0, "0 0, 5 5 | 5 5, 10 10"},
        {"CrossingThrice", "0 0, 30 0", "5 -5, 10 5, 15 -5, 20 5", 0,
         "0 0, 7.5 0 | 7.5 0, 12.5 0 | 12.5 0, 17.5 0 | 17.5 0, 30 0"},
        {"AtAVertexOfTheFirst", "0 0, 5 5, 10 0", "0 5, 10 5", 0, "0 0, 5 5 | 5 5, 10 0"},
        {"TouchingTheFirstsEnd", "0 0, 10 0", "10 -5, 10 5", 0, "0 0, 10 0"},
        {"FirstPassingTheCrossingTwice", "0 0, 10 10, 10 0, 0 10", "5 0, 5 10", 0,
         "0 0, 5 5 | 5 5, 10 10, 10 0, 5 5 | 5 5, 0 10"},
        {"Parallel", "0 0, 10 0", "0 5, 10 5", 1, ""},
    };
    for (const PolylineCase& c : cases) {
        SCOPED_TRACE(c.name);
        Polyline a(pts(c.a));
        Polyline b(pts(c.b));
        Polylines pieces;
        EXPECT_EQ(split_polyline_by_polyline(a.get(), b.get(), pieces.get()), c.result);
        EXPECT_EQ(text_of(pieces), std::string(c.pieces));
        EXPECT_EQ(points_of(&a.get()->geom).size(), pts(c.a).size());
        EXPECT_EQ(points_of(&b.get()->geom).size(), pts(c.b).size());
    }
}

TEST(SplitPolyline, FaultyPiecesTheCallerPutInTheOutputStay) {
    // The list already holds a one-point and an empty polyline, which the clean-up of degenerate
    // pieces would remove. Each split appends its pieces after them; the one-point piece its own
    // walk leaves behind is still dropped.
    struct Op {
        const char* name;
        int (*split)(polyline_t* line, polylines_t* out);
        const char *line, *pieces;
    };
    const Op ops[] = {
        {"ByPolygon",
         [](polyline_t* line, polylines_t* out) {
             Polygon square(pts(kSquare));
             return split_polyline_by_polygon(line, square.get(), out);
         },
         "-5 5, 15 5", "7 7 | 0 5, 10 5"},
        {"ByRect",
         [](polyline_t* line, polylines_t* out) {
             Polygon square(pts(kSquare));
             return split_polyline_by_rect(line, square.get(), out);
         },
         "-5 5, 15 5", "7 7 | 0 5, 10 5"},
        {"ByPolyline",
         [](polyline_t* line, polylines_t* out) {
             Polyline across(pts("10 0, 10 10"));  // meets the line at its end: no second piece
             return split_polyline_by_polyline(line, across.get(), out);
         },
         "-5 5, 10 5", "7 7 | -5 5, 10 5"},
    };
    for (const Op& op : ops) {
        SCOPED_TRACE(op.name);
        Polylines pieces;
        Polyline lone(pts("7 7"));
        com_polylines_add_copy(pieces.get(), *lone.get());
        polyline_t empty;
        com_polyline_init(&empty);
        com_polylines_add(pieces.get(), empty);
        Polyline line(pts(op.line));
        EXPECT_EQ(op.split(line.get(), pieces.get()), 0);
        EXPECT_EQ(pieces.size(), 3);
        EXPECT_EQ(com_polyline_num(com_polylines_at_pointer(pieces.get(), 1)), 0);
        EXPECT_EQ(text_of(pieces), std::string(op.pieces));
    }
}

}  // namespace
