// Clipping a polygon by a rectangle outline: result codes and pieces for the ways the two can lie,
// the press sections along the outline, press sections cut by it, touch-point marks, the caller's
// earlier rings, and the debug traces of faulty inputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::Xy;

// Codes of every point of a ring, closing point included.
std::vector<int> codes_of(const polygon_t& ring) {
    std::vector<int> codes;
    for (int i = 0; i < ring.geom.count; ++i)
        codes.push_back(static_cast<int>(ring.geom.points[i].z));
    return codes;
}

bool within(const polygon_t& ring, double min_x, double min_y, double max_x, double max_y) {
    for (int i = 0; i < ring.geom.count; ++i) {
        point_t p = ring.geom.points[i];
        if (p.x < min_x || p.x > max_x || p.y < min_y || p.y > max_y)
            return false;
    }
    return true;
}

struct ClipCase {
    const char* what;
    std::vector<Xy> polygon;
    std::vector<Xy> rect;
    int code;
    int pieces;
    double area;  // total area of the pieces
};

const std::vector<Xy> kTile{{0, 0}, {10, 0}, {10, 10}, {0, 10}};

TEST(RectClip, CodesAndPiecesForEveryWayTheShapesLie) {
    const ClipCase cases[] = {
        {"crossing one edge", {{-5, 2}, {5, 2}, {5, 8}, {-5, 8}}, kTile, 0, 1, 30},
        {"clockwise input", {{-5, 8}, {5, 8}, {5, 2}, {-5, 2}}, kTile, 0, 1, 30},
        {"strip through two edges", {{-5, 2}, {15, 2}, {15, 4}, {-5, 4}}, kTile, 0, 1, 20},
        {"dipping in twice",
         {{2, 5}, {4, 5}, {4, 12}, {6, 12}, {6, 5}, {8, 5}, {8, 15}, {2, 15}},
         kTile,
         0,
         2,
         20},
        {"inside", {{2, 2}, {8, 2}, {8, 8}, {2, 8}}, kTile, 1, 0, 0},
        {"containing", {{-5, -5}, {15, -5}, {15, 15}, {-5, 15}}, kTile, 2, 0, 0},
        {"disjoint", {{20, 20}, {30, 20}, {30, 30}, {20, 30}}, kTile, 3, 0, 0},
        {"inside sharing part of an edge", {{2, 0}, {8, 0}, {8, 5}, {2, 5}}, kTile, 4, 0, 0},
        {"inside touching a corner", {{0, 0}, {5, 2}, {2, 5}}, kTile, 4, 0, 0},
        {"containing, sharing an edge", {{0, -5}, {15, -5}, {15, 15}, {0, 15}}, kTile, 5, 0, 0},
        {"corner touch from outside", {{10, 10}, {15, 10}, {15, 15}, {10, 15}}, kTile, 6, 0, 0},
        {"side by side", {{10, 0}, {20, 0}, {20, 10}, {10, 10}}, kTile, 6, 0, 0},
        // The piece in x 1..3 is left only along the tile's top edge (the bar above it has its
        // floor there), so no exit leads into it: it is reached past the other piece's walk.
        {"piece left along the outline",
         {{1, 15}, {1, 5}, {3, 5}, {3, 10}, {5, 10}, {5, -5}, {7, -5}, {7, 5}, {9, 5}, {9, 15}},
         kTile,
         0,
         2,
         40},
        // A tile filling a notch exactly: every corner on the polygon's boundary, inside outside.
        {"tile filling a notch",
         {{0, 0}, {9, 0}, {9, 9}, {6, 9}, {6, 3}, {3, 3}, {3, 9}, {0, 9}},
         {{3, 3}, {6, 3}, {6, 6}, {3, 6}},
         6,
         0,
         0},
    };
    for (const ClipCase& c : cases) {
        Polygon polygon(c.polygon);
        Polygon rect(c.rect);
        Polygons out;
        std::vector<Xy> before = testing_shapes::points_of(&polygon.get()->geom);
        int code = algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), out.get());
        EXPECT_EQ(code, c.code) << c.what;
        ASSERT_EQ(out.size(), c.pieces) << c.what;
        EXPECT_EQ(testing_shapes::points_of(&polygon.get()->geom).size(), before.size())
            << c.what << ": the input is not changed";
        double area = 0.0;
        for (const polygon_node_t* n = out.get()->head; n != nullptr; n = n->next) {
            double signed_area = testing_shapes::plane_signed_area(&n->polygon.geom);
            EXPECT_GT(signed_area, 0.0) << c.what << ": pieces run counter-clockwise";
            area += signed_area;
            EXPECT_TRUE(within(n->polygon, c.rect[0].x, c.rect[0].y, c.rect[2].x, c.rect[2].y))
                << c.what;
        }
        EXPECT_DOUBLE_EQ(area, c.area) << c.what;
    }
}

TEST(RectClip, StretchAlongTheOutlineIsOnePressSection) {
    Polygon polygon{{-5, 2}, {5, 2}, {5, 8}, {-5, 8}};
    Polygon rect(kTile);
    Polygons out;
    ASSERT_EQ(algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), out.get()), 0);
    ASSERT_EQ(out.size(), 1);
    const polygon_t& piece = out.get()->head->polygon;
    std::vector<Xy> points = testing_shapes::points_of(&piece.geom);
    ASSERT_EQ(points.size(), 5u);
    // From the entry at (0, 2) along the polygon, then down the tile's left edge as a section.
    const double expected[][3] = {{0, 2, 0}, {5, 2, 0}, {5, 8, 0}, {0, 8, 2}, {0, 2, 3}};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(points[i].x == expected[i][0] && points[i].y == expected[i][1] &&
                    points[i].z == expected[i][2])
            << "point " << i << ": " << points[i].x << "," << points[i].y << " z " << points[i].z;
}

TEST(RectClip, PressSectionCrossingTheEdgeIsCutWithItsEnds) {
    // The section runs from (-5, 2) through (5, 2) to (5, 8) and enters the tile at (0, 2).
    Polygon polygon{{-5, 2, 2}, {5, 2, 0}, {5, 8, 3}, {-5, 8, 0}, {-5, 2, 2}};
    Polygon rect(kTile);
    Polygons out;
    ASSERT_EQ(algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), out.get()), 0);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(codes_of(out.get()->head->polygon), (std::vector<int>{2, 0, 3, 2, 3}));
}

TEST(RectClip, TouchPointLosesItsCrossingMark) {
    // (3, 10) touches the tile's top edge from inside; its 100 marks no node of the result.
    Polygon polygon{{-5, 2}, {5, 2}, {5, 8}, {3, 10, 100}, {-5, 8}};
    Polygon rect(kTile);
    Polygons out;
    ASSERT_EQ(algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), out.get()), 0);
    ASSERT_EQ(out.size(), 1);
    bool found = false;
    for (const Xy& p : testing_shapes::points_of(&out.get()->head->polygon.geom)) {
        if (p.x == 3 && p.y == 10) {
            found = true;
            EXPECT_EQ(p.z, 0.0);
        }
    }
    EXPECT_TRUE(found);
}

TEST(RectClip, RingsAlreadyInTheListAreLeftAlone) {
    Polygon polygon{{-5, 2}, {5, 2}, {5, 8}, {-5, 8}};
    Polygon rect(kTile);
    Polygons out;
    // A degenerate ring with walk-form codes: a clean-up or marker pass over the whole list would
    // remove or rewrite it.
    Polygon earlier{{0, 0, 1}, {1, 0, 1}, {0, 0, 1}};
    com_polygons_add_copy(out.get(), *earlier.get());
    ASSERT_EQ(algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), out.get()), 0);
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(codes_of(out.get()->head->polygon), (std::vector<int>{1, 1, 1}));
}

std::string read_file(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RectClip, FaultyInputsAreTracedAndStillClipped) {
    std::remove("source_error.txt");
    std::remove("compare_error.txt");
    // A bow tie crossing the tile's left edge.
    Polygon polygon{{-5, 2}, {5, 8.4}, {5, 2}, {-5, 8}};
    Polygon rect(kTile);
    Polygons out;
    int code = algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), out.get());
    EXPECT_TRUE(code >= 0 && code <= 6);
    EXPECT_EQ(read_file("source_error.txt"), "num: 5\n-4\t2\n5\t8\n5\t2\n-4\t8\n-4\t2\n");
    EXPECT_EQ(read_file("compare_error.txt"), "");
    Polygon open_rect{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5}};
    com_polygon_removeat(open_rect.get(), com_polygon_num(open_rect.get()));
    Polygons more;
    algebra_polygon_and_rect_intersec(rect.get(), open_rect.get(), more.get());
    EXPECT_EQ(read_file("compare_error.txt").rfind("num: 5\n", 0), 0u);
}

}  // namespace
