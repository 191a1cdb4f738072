// Cutting polygons by polylines: hand-checked cuts (each piece valid and counter-clockwise, the
// pieces' areas adding up to the polygon's), the trimming of the cutting line, the node marks of
// crossing points, and the lines that cut nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::plane_signed_area;
using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Polyline;
using testing_shapes::pts;
using testing_shapes::Xy;

const char* const kSquare = "0 0, 10 0, 10 10, 0 10";
// Opens upward: arms 0..10 and 20..30 wide, 20 high above a base 10 high.
const char* const kU = "0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30";

std::vector<double> areas_of(const Polygons& pieces) {
    std::vector<double> areas;
    for (int k = 0; k < pieces.size(); ++k)
        areas.push_back(plane_signed_area(&com_polygons_at_pointer(pieces.get(), k)->geom));
    std::sort(areas.begin(), areas.end());
    return areas;
}

TEST(SplitPolygonByPolyline, CutsGiveTheFacesOnBothSidesOfEveryStretchInside) {
    struct Case {
        const char *name, *polygon, *line;
        std::vector<double> areas;  // ascending
    };
    const Case cases[] = {
        {"StraightLine", kSquare, "-5 5, 15 5", {50, 50}},
        {"ZigZagCrossingOneEdgeFourTimes", kSquare, "2 -5, 4 5, 6 -5, 8 5, 9 -5", {5, 5, 90}},
        {"DanglingEndsOutsideAreTrimmed", kSquare, "-20 -20, -5 6, 5 8, 15 6, 30 30", {25, 75}},
        {"ThroughOppositeVertices", kSquare, "-5 -5, 15 15", {50, 50}},
        {"AlongAnEdgeThenAcross", kSquare, "-5 0, 5 0, 5 15", {50, 50}},
        {"LeavingAndEnteringAgain", kSquare, "-5 3, 15 3, 15 7, -5 7", {30, 30, 40}},
        {"DownToAnEdgeAlongItAndUpAgain", kSquare, "-5 4, 3 4, 3 0, 6 0, 6 4, 15 4", {12, 16, 72}},
        {"TouchingAnEdgeFromInside", kSquare, "-5 2, 5 10, 15 2", {10, 10, 80}},
        {"AcrossBothArmsOfAU", kU, "-5 20, 35 20", {100, 100, 500}},
        {"ClockwisePolygon", "0 0, 0 10, 10 10, 10 0", "-5 5, 15 5", {50, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon polygon(pts(c.polygon));
        Polyline line(pts(c.line));
        std::vector<Xy> line_before = points_of(&line.get()->geom);
        Polygons pieces;
        EXPECT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
        EXPECT_EQ(areas_of(pieces), c.areas);
        for (int k = 0; k < pieces.size(); ++k)
            EXPECT_EQ(relation_polygon_iserror(com_polygons_at_pointer(pieces.get(), k)), 0) << k;
        EXPECT_GT(plane_signed_area(&polygon.get()->geom), 0.0) << "caller's polygon turned";
        EXPECT_EQ(points_of(&line.get()->geom).size(), line_before.size()) << "line unchanged";
    }
}

TEST(SplitPolygonByPolyline, LinesThatDoNotCutThroughCutNothing) {
    const char* const lines[] = {
        "-5 5, 5 5",              // ends inside
        "5 5, 15 5",              // starts inside
        "-5 5, 15 5, 15 8, 5 8",  // crosses, then comes back in and ends inside
        "-5 0, 15 0",             // along an edge only
        "-5 -5, -5 15",           // misses
        "-5 5, 0 10, 5 15",       // touches a vertex
        "5 5",                    // a single point
    };
    for (const char* text : lines) {
        SCOPED_TRACE(text);
        Polygon polygon(pts(kSquare));
        Polyline line(pts(text));
        Polygons pieces;
        EXPECT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
        EXPECT_EQ(pieces.size(), 0);
    }
}

TEST(SplitPolygonByPolyline, CrossingPointsBecomeNodesCarryingThePolygonsCodes) {
    // The cut runs from vertex (0,0) (code 150, already a node) to vertex (10,10) (press code 5).
    Polygon polygon(pts("0 0 150, 10 0, 10 10 5, 0 10"));
    Polyline line(pts("-5 -5, 15 15"));
    Polygons pieces;
    split_polygon_by_polyline(polygon.get(), line.get(), pieces.get());
    ASSERT_EQ(pieces.size(), 2);
    for (int k = 0; k < 2; ++k) {
        for (const Xy& p : points_of(&com_polygons_at_pointer(pieces.get(), k)->geom)) {
            double expected = p.x == 0 && p.y == 0 ? 150 : p.x == 10 && p.y == 10 ? 105 : 0;
            EXPECT_EQ(p.z, expected) << "piece " << k << " at " << p.x << " " << p.y;
        }
    }
}

TEST(SplitPolygonByPolyline, FaultyRingsTheCallerPutInTheOutputStay) {
    // The list already holds a ring of two edges and an open one, which the clean-up of degenerate
    // pieces would remove; the cut appends its two halves after them and leaves them as they are.
    Polygons pieces;
    Polygon two_edges(pts("0 0, 10 0, 0 0"));
    polygon_t open;
    com_polygon_init(&open);
    for (const Xy& p : pts("0 0, 10 0, 10 10, 5 20"))
        com_polygon_add(&open, point_t{p.x, p.y, 0.0});
    com_polygons_add_copy(pieces.get(), *two_edges.get());
    com_polygons_add(pieces.get(), open);  // the list takes over the points
    Polygon polygon(pts(kSquare));
    Polyline line(pts("-5 5, 15 5"));
    EXPECT_EQ(split_polygon_by_polyline(polygon.get(), line.get(), pieces.get()), 0);
    ASSERT_EQ(pieces.size(), 4);
    EXPECT_EQ(points_of(&com_polygons_at_pointer(pieces.get(), 0)->geom).size(), 3u);
    EXPECT_EQ(points_of(&com_polygons_at_pointer(pieces.get(), 1)->geom).size(), 4u);
    for (int k = 2; k < 4; ++k)
        EXPECT_EQ(plane_signed_area(&com_polygons_at_pointer(pieces.get(), k)->geom), 50.0) << k;
}

}  // namespace
