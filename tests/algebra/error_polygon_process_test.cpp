// Self-intersection repair through the public API: the rings each kind of self-contact is cut
// into, press sections across a cut, rings copied unmended after cleaning, the caller's list, and
// the flat-array variant's counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/java.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

// The output rings holding vertex v.
std::vector<const polygon_t*> rings_with(const Polygons& out, Xy v) {
    std::vector<const polygon_t*> rings;
    for (const polygon_node_t* node = out.l.head; node != nullptr; node = node->next)
        if (com_polygon_find(&node->polygon, point_t{v.x, v.y, 0}) >= 0)
            rings.push_back(&node->polygon);
    return rings;
}

TEST(ErrorPolygonProcess, CutsEachKindOfSelfContactIntoValidRings) {
    const struct {
        const char* ring;
        int result;
        std::vector<double> areas;  // absolute areas of the output rings, ascending
        const char* cut_points;     // each a vertex of two output rings
    } cases[] = {
        {"0 0, 10 10, 10 0, 0 10", 1, {25, 25}, "5 5"},            // bow tie
        {"0 0, 10 0, 5 5, 10 10, 0 10, 5 5", 1, {25, 25}, "5 5"},  // touch at a vertex
        {"0 0, 10 0, 10 10, 5 0, 0 10", 1, {25, 25}, "5 0"},       // vertex on another edge
        {"0 0, 40 0, 40 10, 30 10, 30 -10, 20 -10, 20 10, 10 10, 10 -10",
         1,  // three crossings
         {50, 100, 100, 100},
         "10 0, 20 0, 30 0"},                                                 // on one edge
        {"0 0, 20 0, 20 10, 15 10, 15 0, 5 0, 5 10, 0 10", 1, {50, 50}, ""},  // running back
        {"0 0, 10 0, 10 10, 5 10, 5 5, 5 10, 0 10", 1, {100}, ""},            // spike
        {"0 0, 10 0, 10 10, 0 10", 0, {100}, ""},                             // valid
        {"0 0, 10 0, 10 0, 10 10, 0 10, 0 10", 0, {100}, ""},                 // repeated points
        {"0.4 0.3, 10.2 -0.4, 9.6 10.4, 0 9.8", 0, {100}, ""},                // fractional
        {"0 0, 10 0", 0, {0}, ""},                                            // two edges
        {"0 0, 5 0, 10 0", 0, {0}, ""},                                       // on one line
        {"0 0, 0.2 0.1", 0, {}, ""},  // fewer than three points once cleaned
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ring);
        Polygon input(pts(c.ring)), cleaned(pts(c.ring));
        std::string before = text_of(&input.get()->geom);
        Polygons out;
        EXPECT_EQ(error_polygon_process(input.get(), out.get()), c.result);
        EXPECT_EQ(text_of(&input.get()->geom), before) << "the input is read only";
        std::vector<double> areas;
        for (const polygon_node_t* node = out.l.head; node != nullptr; node = node->next) {
            areas.push_back(std::fabs(plane_signed_area(&node->polygon.geom)));
            EXPECT_TRUE(c.result == 0 || relation_polygon_iserror(&node->polygon) == 0);
        }
        std::sort(areas.begin(), areas.end());
        EXPECT_EQ(areas, c.areas);
        for (const Xy& v : pts(c.cut_points))
            EXPECT_EQ(rings_with(out, v).size(), 2u) << v.x << " " << v.y;
        optimize_polygon_process(cleaned.get());  // faulty rings are copied after cleaning
        if (c.result == 0 && out.size() == 1) {
            EXPECT_EQ(text_of(out.get()), text_of(&cleaned.get()->geom));
        }
    }
    // Appended after what the list holds; null arguments do nothing.
    Polygons out;
    Polygon earlier(pts("0 0, 1 0, 1 1")), bow_tie(pts("0 0, 10 10, 10 0, 0 10"));
    com_polygons_add_copy(out.get(), earlier.p);
    EXPECT_EQ(error_polygon_process(bow_tie.get(), out.get()), 1);
    EXPECT_EQ(error_polygon_process(nullptr, out.get()), 0);
    EXPECT_EQ(error_polygon_process(bow_tie.get(), nullptr), 0);
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(text_of(&out.l.head->polygon.geom), text_of(&earlier.p.geom));
}

TEST(ErrorPolygonProcess, PressSectionsThroughACrossingAreClosedOffInEachPiece) {
    // Per piece: a vertex only it holds, and its stored press codes. A section running up to a
    // piece's start ends with code 3 on the closing point; one starting there has 2 on the first.
    const struct {
        const char* ring;
        std::vector<std::pair<Xy, std::vector<int>>> pieces;
    } cases[] = {
        {"0 0 2, 4 4, 8 8, 10 10 3, 10 0, 0 10",  // inner points on both sides of the crossing
         {{{0, 0}, {2, 0, 3, 0, 2}}, {{10, 10}, {2, 0, 3, 0, 0}}}},
        {"0 0, 10 10, 10 0 2, 0 10 3", {{{0, 0}, {0, 2, 3, 0}}, {{10, 10}, {0, 0, 2, 3}}}},
        {"10 0, 0 10, 0 0 2, 10 10 3", {{{10, 0}, {0, 2, 3, 0}}, {{0, 10}, {0, 0, 2, 3}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ring);
        Polygon input(pts(c.ring));
        Polygons out;
        ASSERT_EQ(error_polygon_process(input.get(), out.get()), 1);
        ASSERT_EQ(out.size(), 2);
        for (const auto& [vertex, expected] : c.pieces) {
            ASSERT_EQ(rings_with(out, vertex).size(), 1u);
            const polygon_t* piece = rings_with(out, vertex).front();
            std::vector<int> codes;
            for (int k = 0; k < piece->geom.count; ++k)
                codes.push_back(static_cast<int>(piece->geom.points[k].z) % 100);
            EXPECT_EQ(codes, expected) << vertex.x << " " << vertex.y;
        }
    }
}

TEST(ErrorPolygonsProcess, CountsTheRingsOfEachPolygonInOrder) {
    Polygons in;
    for (const char* ring : {"0 0, 4 0, 4 4, 0 4", "0 0, 10 10, 10 0, 0 10", "0 0, 6 0, 0 6"})
        com_polygons_add_copy(in.get(), Polygon(pts(ring)).p);
    polygons_java_t source{}, result{};
    com_polygons_java_init(&source);
    com_polygons_java_add_value(&source, in.get());
    com_polygons_java_init(&result);
    std::vector<int> counts(3, -1);
    error_polygons_process(&source, &result, counts.data());
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 1}));
    ASSERT_TRUE(result.part_num == 4 && result.point_num == 17);
    std::vector<int> x(17), y(17), z(17), parts(4);
    get_polygons_java_value(&result, x.data(), y.data(), z.data(), parts.data());
    EXPECT_EQ(parts, (std::vector<int>{5, 4, 4, 4}));
    EXPECT_TRUE(x[1] == 4 && y[2] == 4) << "the square first";
    EXPECT_TRUE(x[14] == 6 && y[15] == 6) << "the triangle last";
    error_polygons_process(&source, &result, nullptr);
    error_polygons_process(nullptr, &result, counts.data());
    EXPECT_EQ(result.part_num, 8) << "appended again, without counts";
    com_polygons_java_free(&source);
    com_polygons_java_free(&result);
}

}  // namespace
