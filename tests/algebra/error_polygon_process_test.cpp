// Self-intersection repair through the public API: the rings each kind of self-contact is cut
// into, press sections across a cut, rings copied unmended after cleaning, the caller's list, and
// the flat-array variant's counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/java.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

TEST(ErrorPolygonProcess, CutsEachKindOfSelfContactIntoValidRingsAndCopiesTheOthersCleaned) {
    const char* const kEarlier = "0 0, 1 0, 0 0";  // already listed, degenerate: left alone
    const struct {
        const char* ring;
        int result;
        const char* rings;
    } cases[] = {
        {"0 0, 10 10, 10 0, 0 10", 1, "0 0, 5 5, 0 10, 0 0 | 5 5, 10 10, 10 0, 5 5"},  // bow tie
        {"0 0, 10 0, 5 5, 10 10, 0 10, 5 5", 1,  // touch at a vertex
         "0 0, 10 0, 5 5, 0 0 | 5 5, 10 10, 0 10, 5 5"},
        {"0 0, 10 0, 10 10, 5 0, 0 10", 1,  // vertex on another edge
         "0 0, 5 0, 0 10, 0 0 | 5 0, 10 0, 10 10, 5 0"},
        {"0 0, 40 0, 40 10, 30 10, 30 -10, 20 -10, 20 10, 10 10, 10 -10", 1,  // three on an edge
         "0 0, 10 0, 10 -10, 0 0 | 10 0, 20 0, 20 10, 10 10, 10 0 | "
         "20 0, 30 0, 30 -10, 20 -10, 20 0 | 30 0, 40 0, 40 10, 30 10, 30 0"},
        {"0 0, 20 0, 20 10, 15 10, 15 0, 5 0, 5 10, 0 10", 1,  // running back
         "0 0, 5 0, 5 10, 0 10, 0 0 | 15 0, 20 0, 20 10, 15 10, 15 0"},
        {"0 0, 10 0, 10 10, 5 10, 5 5, 5 10, 0 10", 1,  // spike
         "0 0, 10 0, 10 10, 5 10, 0 10, 0 0"},
        // Spikes that pierce the ring are folded away before cutting: their crossings, snapped
        // to whole units, used to collapse the pieces they lay on (the triangle came out empty).
        {"15 11, 13 15, 15 10, 15 15, 15 11, 8 0", 1, "15 11, 13 15, 15 10, 15 11"},
        {"0 0, 8 4, 0 0, 10 10, 10 0, 0 10", 1, "0 0, 5 5, 0 10, 0 0 | 5 5, 10 10, 10 0, 5 5"},
        // A press section through the crossing ends (3) at it in one piece and starts (2) there
        // in the other.
        {"0 0 2, 4 4, 8 8, 10 10 3, 10 0, 0 10", 1,
         "0 0 2, 4 4, 5 5 3, 0 10, 0 0 2 | 5 5 2, 8 8, 10 10 3, 10 0, 5 5"},
        {"0 0, 10 10, 10 0 2, 0 10 3", 1, "0 0, 5 5 2, 0 10 3, 0 0 | 5 5, 10 10, 10 0 2, 5 5 3"},
        // Not crossing: copied after cleaning (repeats dropped, whole units), unless too short.
        {"0 0, 10 0, 10 10, 0 10", 0, "0 0, 10 0, 10 10, 0 10, 0 0"},
        {"0 0, 10 0, 10 0, 10 10, 0 10, 0 10", 0, "0 0, 10 0, 10 10, 0 10, 0 0"},
        {"0.4 0.3, 10.2 -0.4, 9.6 10.4, 0 9.8", 0, "0 0, 10 0, 10 10, 0 10, 0 0"},
        {"0 0, 10 0", 0, "0 0, 10 0, 0 0"},
        {"0 0, 5 0, 10 0", 0, "0 0, 5 0, 10 0, 0 0"},
        {"0 0, 0.2 0.1", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ring);
        Polygon input(pts(c.ring));
        std::string before = text_of(&input.get()->geom);
        Polygons out;
        com_polygons_add_copy(out.get(), Polygon(pts(kEarlier)).p);
        EXPECT_EQ(error_polygon_process(input.get(), out.get()), c.result);
        EXPECT_EQ(text_of(out.get()),
                  texts_of(kEarlier + std::string(*c.rings ? " | " : "") + c.rings));
        EXPECT_EQ(text_of(&input.get()->geom), before) << "the input is read only";
    }
    Polygon bow_tie(pts("0 0, 10 10, 10 0, 0 10"));
    Polygons out;
    EXPECT_EQ(error_polygon_process(nullptr, out.get()), 0);
    EXPECT_EQ(error_polygon_process(bow_tie.get(), nullptr), 0);
    EXPECT_EQ(out.size(), 0);
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
