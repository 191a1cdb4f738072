// Clipping a polygon by a rectangle outline: codes and pieces for the ways the two can lie, press
// sections along the outline and cut by it, touch-point marks, the caller's earlier rings, and the
// debug traces of faulty inputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

const char* const kTile = "0 0, 10 0, 10 10, 0 10";

// Codes and pieces, pressed sections (code 2 to 3) where a piece runs along the tile's outline.
// The list already holds a degenerate ring in walk form: a clean-up or marker pass over the whole
// list would remove or rewrite it.
TEST(RectClip, CodesPiecesAndPressSectionsForEveryWayTheShapesLie) {
    const char* const kEarlier = "0 0 1, 1 0 1, 0 0 1";
    const struct {
        const char *what, *polygon, *rect;
        int code;
        const char* pieces;
    } cases[] = {
        {"crossing one edge", "-5 2, 5 2, 5 8, -5 8", kTile, 0, "0 2, 5 2, 5 8, 0 8 2, 0 2 3"},
        {"clockwise input", "-5 8, 5 8, 5 2, -5 2", kTile, 0, "0 2, 5 2, 5 8, 0 8 2, 0 2 3"},
        {"strip through two edges", "-5 2, 15 2, 15 4, -5 4", kTile, 0,
         "10 4, 0 4 2, 0 2 3, 10 2 2, 10 4 3"},
        {"dipping in twice", "2 5, 4 5, 4 12, 6 12, 6 5, 8 5, 8 15, 2 15", kTile, 0,
         "6 10, 6 5, 8 5, 8 10 2, 6 10 3 | 2 10, 2 5, 4 5, 4 10 2, 2 10 3"},
        // The section from (-5,2) through (5,2) to (5,8) enters the tile at (0,2): cut with its
        // ends.
        {"press section crossing the tile edge", "-5 2 2, 5 2, 5 8 3, -5 8, -5 2 2", kTile, 0,
         "0 2 2, 5 2, 5 8 3, 0 8 2, 0 2 3"},
        // (3,10) touches the top edge from inside; its 100 marks no node of the result. The exit
        // (0,9.25) is snapped to whole units.
        {"touch point loses its crossing mark", "-5 2, 5 2, 5 8, 3 10 100, -5 8", kTile, 0,
         "0 2, 5 2, 5 8, 3 10, 0 9 2, 0 2 3"},
        // The piece in x 1..3 is left only along the tile's top edge (the bar above it has its
        // floor there), so no exit leads into it: it is reached past the other piece's walk.
        {"piece left along the outline", "1 15, 1 5, 3 5, 3 10, 5 10, 5 -5, 7 -5, 7 5, 9 5, 9 15",
         kTile, 0, "7 0, 7 5, 9 5, 9 10 2, 5 10 3, 5 0 2, 7 0 3 | 1 10, 1 5, 3 5, 3 10 2, 1 10 3"},
        {"inside", "2 2, 8 2, 8 8, 2 8", kTile, 1, ""},
        {"containing", "-5 -5, 15 -5, 15 15, -5 15", kTile, 2, ""},
        {"disjoint", "20 20, 30 20, 30 30, 20 30", kTile, 3, ""},
        {"inside sharing part of an edge", "2 0, 8 0, 8 5, 2 5", kTile, 4, ""},
        {"containing, sharing an edge", "0 -5, 15 -5, 15 15, 0 15", kTile, 5, ""},
        {"corner touch from outside", "10 10, 15 10, 15 15, 10 15", kTile, 6, ""},
        {"side by side", "10 0, 20 0, 20 10, 10 10", kTile, 6, ""},
        // A tile filling a notch exactly: every corner on the polygon's boundary, inside outside.
        {"tile filling a notch", "0 0, 9 0, 9 9, 6 9, 6 3, 3 3, 3 9, 0 9", "3 3, 6 3, 6 6, 3 6", 6,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Polygon polygon(pts(c.polygon)), rect(pts(c.rect));
        std::string before = text_of(&polygon.get()->geom);
        Polygons out;
        com_polygons_add_copy(out.get(), Polygon(pts(kEarlier)).p);
        EXPECT_EQ(algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), out.get()), c.code);
        EXPECT_EQ(text_of(out.get()),
                  texts_of(kEarlier + std::string(*c.pieces ? " | " : "") + c.pieces));
        EXPECT_EQ(text_of(&polygon.get()->geom), before) << "the input is not changed";
    }
}

std::string read_file(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A ring reaching out of the tile's left side that comes back to its vertex (50, 50) round a
// small loop: the walk closes one ring through that vertex twice, which is cut there into the
// outer ring and the loop. The sides have many vertices, so the ring is too long for the few
// pairwise comparisons and its places are sorted.
TEST(RectClip, LongPieceTouchingItselfIsCutAtTheVertex) {
    std::vector<Xy> ring;
    const Xy corners[] = {{-20, 20}, {80, 20}, {80, 80},  {50, 50}, {60, 40},
                          {40, 40},  {50, 50}, {-20, 80}, {-20, 20}};
    for (int c = 0; c + 1 < 9; ++c)
        for (int k = 0; k < 6; ++k)
            ring.push_back({corners[c].x + (corners[c + 1].x - corners[c].x) * k / 6,
                            corners[c].y + (corners[c + 1].y - corners[c].y) * k / 6});
    Polygon polygon(ring), tile{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    Polygons pieces;
    EXPECT_EQ(algebra_polygon_and_rect_intersec(polygon.get(), tile.get(), pieces.get()), 0);
    ASSERT_EQ(com_polygons_num(pieces.get()), 2) << text_of(pieces.get());
    for (const polygon_node_t* node = pieces.get()->head; node != nullptr; node = node->next) {
        const int n = com_polygon_num(&node->polygon);
        const point_t* p = node->polygon.geom.points;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                EXPECT_FALSE(p[i].x == p[j].x && p[i].y == p[j].y)
                    << "repeated " << p[i].x << " " << p[i].y << " in "
                    << text_of(&node->polygon.geom);
    }
}

// A sliver of a thin triangle inside the rectangle (about 0.7 units of area) snaps to whole units
// as three points on y = 3: the clip and the intersection drop the flat ring and say no piece came
// out (they appended it with code 0 before). A wider triangle still gives its piece.
TEST(RectClip, PieceFlattenedBySnappingIsDropped) {
    const char* const rect = "12 3, 22 3, 22 6, 12 6";
    for (auto clip : {algebra_polygon_and_rect_intersec, algebra_polygons_intersec}) {
        Polygon thin(pts("64 10, 0 0, 3 0")), wide(pts("64 20, 0 0, 3 0"));
        Polygon r1(pts(rect)), r2(pts(rect));
        Polygons out;
        EXPECT_EQ(clip(thin.get(), r1.get(), out.get()), 6) << text_of(out.get());
        EXPECT_EQ(com_polygons_num(out.get()), 0);
        EXPECT_EQ(clip(wide.get(), r2.get(), out.get()), 0);
        ASSERT_EQ(com_polygons_num(out.get()), 1);
        EXPECT_EQ(relation_polygon_iserror(&out.get()->head->polygon), 0) << text_of(out.get());
    }
}

TEST(RectClip, FaultyInputsAreTracedAndStillClipped) {
    std::remove("source_error.txt");
    std::remove("compare_error.txt");
    Polygon bow_tie(pts("-5 2, 5 8.4, 5 2, -5 8")), rect(pts(kTile));  // across the left edge
    Polygons out;
    // The walk builds no piece from a ring that crosses itself inside the tile: code 6.
    EXPECT_EQ(algebra_polygon_and_rect_intersec(bow_tie.get(), rect.get(), out.get()), 6);
    EXPECT_EQ(out.size(), 0);
    EXPECT_EQ(read_file("source_error.txt"), "num: 5\n-4\t2\n5\t8\n5\t2\n-4\t8\n-4\t2\n");
    EXPECT_EQ(read_file("compare_error.txt"), "");
    Polygon open_rect(pts("0 0, 10 0, 10 10, 0 10, 0 5"));
    com_polygon_removeat(open_rect.get(), com_polygon_num(open_rect.get()));
    algebra_polygon_and_rect_intersec(rect.get(), open_rect.get(), out.get());
    EXPECT_EQ(read_file("compare_error.txt").rfind("num: 5\n", 0), 0u);
    // A piece that crosses itself stays, and is traced once.
    std::remove("result_error.txt");
    Polygon crossing_inside(pts("-2 1, 9 9, 9 1, -2 9")), tile(pts(kTile));
    Polygons pieces;
    EXPECT_EQ(algebra_polygon_and_rect_intersec(crossing_inside.get(), tile.get(), pieces.get()),
              0);
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(relation_polygon_iserror(&pieces.get()->head->polygon), 2);
    EXPECT_EQ(read_file("result_error.txt"), "result_error: \n");
    std::remove("result_error.txt");
}

}  // namespace
