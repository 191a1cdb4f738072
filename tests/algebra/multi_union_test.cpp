// Union of polygon lists by hand-checked cases: which polygons merge (crossing, sharing an edge, in
// a chain) and which stay apart (touching at a corner), holes that unions enclose, small holes
// dropped, holes that a later polygon covers in part, and the delivery with holes cut out.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "ring_checks.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

// Rings given in thousands of units, so that the default reduction keeps holes of a few squares.
constexpr double kUnit = 1000.0;

void fill(polygons_t* list, const std::string& rings) {
    std::string text = rings + "|";
    for (size_t from = 0, bar; (bar = text.find('|', from)) != std::string::npos; from = bar + 1) {
        std::vector<Xy> points = pts(text.substr(from, bar - from));
        for (Xy& p : points)
            p = Xy{p.x * kUnit, p.y * kUnit};
        Polygon ring(points);
        com_polygons_add_copy(list, *ring.get());
    }
}

struct ExpandedList {
    polygons_expand_t l{};
    ExpandedList() { com_polygons_expand_init(&l); }
    ~ExpandedList() { com_polygons_expand_free(&l); }
};

// Area covered by the records (outer less holes), in squared thousands of units.
double covered(const polygons_expand_t* list) {
    double area = 0.0;
    for (const polygon_expand_node_t* node = list->head; node != nullptr; node = node->next) {
        area += std::fabs(plane_signed_area(&node->polygon_expand.polygon.geom));
        for (const polygon_node_t* h = node->polygon_expand.holes.head; h != nullptr; h = h->next)
            area -= std::fabs(plane_signed_area(&h->polygon.geom));
    }
    return area / (kUnit * kUnit);
}

std::string hole_counts(const polygons_expand_t* list) {
    std::string counts;
    for (const polygon_expand_node_t* node = list->head; node != nullptr; node = node->next)
        counts += std::to_string(node->polygon_expand.holes.num) + " ";
    return counts;
}

TEST(MultiPolygonsUnion, MergesPolygonsThatCrossOrShareEdgesAndCarriesHoles) {
    const char* const frame =
        "0 0, 30 0, 30 10, 0 10 | 20 10, 30 10, 30 30, 20 30 | 0 20, 20 20, 20 30, 0 30 | "
        "0 10, 10 10, 10 20, 0 20";
    const struct {
        std::string name, rings;
        std::string holes;  // hole count of each record, in output order
        double area;
    } cases[] = {
        {"OverlappingSquares", "0 0, 10 0, 10 10, 0 10 | 5 5, 15 5, 15 15, 5 15", "0 ", 175},
        {"SquaresSharingAnEdge", "0 0, 10 0, 10 10, 0 10 | 10 0, 20 0, 20 10, 10 10", "0 ", 200},
        {"SquaresTouchingAtACorner", "0 0, 10 0, 10 10, 0 10 | 10 10, 20 10, 20 20, 10 20", "0 0 ",
         200},
        {"ChainWhereOnlyNeighboursOverlap",
         "0 0, 10 0, 10 10, 0 10 | 8 2, 18 2, 18 8, 8 8 | 16 0, 26 0, 26 10, 16 10", "0 ", 236},
        {"FourRectanglesRoundAnEmptyMiddle", frame, "1 ", 800},
        {"MiddleFilledToo", std::string(frame) + " | 10 10, 20 10, 20 20, 10 20", "0 ", 900},
        {"MiddleFilledWhenTheHoleIsThere",
         "0 0, 30 0, 30 20, 20 20, 20 10, 10 10, 10 20, 0 20 | 0 20, 30 20, 30 30, 0 30 | "
         "10 10, 20 10, 20 20, 10 20",
         "0 ", 900},
        {"IslandInTheHoleStaysApart",
         "0 0, 30 0, 30 20, 20 20, 20 10, 10 10, 10 20, 0 20 | 0 20, 30 20, 30 30, 0 30 | "
         "12 12, 18 12, 18 18, 12 18",
         "0 1 ", 836},
        {"PolygonWithinAnotherIsAbsorbed", "0 0, 10 0, 10 10, 0 10 | 2 2, 4 2, 4 4, 2 4", "0 ",
         100},
        // A U and its cap enclose a hole; the square then covers part of it.
        {"HoleCoveredInPartByALaterPolygon",
         "0 0, 30 0, 30 20, 20 20, 20 10, 10 10, 10 20, 0 20 | 0 20, 30 20, 30 30, 0 30 | "
         "5 12, 15 12, 15 18, 5 18",
         "1 ", 830},
        {"SmallHoleDropped",
         "0 0, 30 0, 30 20, 15.01 20, 15.01 19.99, 15 19.99, 15 20, 0 20 | 0 20, 30 20, 30 30, 0 "
         "30",
         "0 ", 900},
        {"Empty", "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygons in;
        if (!c.rings.empty())
            fill(in.get(), c.rings);
        std::string before = text_of(in.get());
        ExpandedList out;
        EXPECT_EQ(multi_polygons_union(in.get(), &out.l), 0);
        EXPECT_EQ(text_of(in.get()), before) << "the input is not changed";
        EXPECT_EQ(hole_counts(&out.l), c.holes);
        EXPECT_NEAR(covered(&out.l), c.area, 1e-6);

        Polygons plain;
        EXPECT_EQ(algebra_multi_polygons_union(in.get(), plain.get()), 0);
        EXPECT_EQ(faulty_rings(plain.get()), "");
        EXPECT_NEAR(std::fabs(area_sum(plain.get())) / (kUnit * kUnit), c.area, 1e-6);
    }
}

}  // namespace
