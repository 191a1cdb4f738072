// Shape relations and validity: ring orientation, every code of each relation table on hand-made
// shapes, the order of the validity tests, and the self-contact sweep against an all-pairs scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "shape_checks.h"

using namespace testing_shapes;

namespace {

// Hand-made rings (each way the leftmost vertex can be met, from every start vertex) and random
// simple rings, in both orientations.
TEST(PolygonDirection, AgreesWithTheShoelaceSign) {
    const unsigned seed = 31337;
    std::mt19937 rng(seed);
    std::vector<std::vector<Xy>> rings;
    for (const char* text : {"0 0, 10 0, 10 10, 0 10", "-5 1, 10 -3, 9 8", "0 0, 6 -4, 12 3, 0 9",
                             "0 9, 0 0, 12 3", "0 0, 50 -10, 0 100", "0 5, 0 5, 10 0, 10 10",
                             "0 0, 10 0, 10 10, 0 10, 5 5", "0 0, 8 0, 8 8, 0 8, 0 4"}) {
        std::vector<Xy> ring = pts(text);
        for (size_t start = 0; start < ring.size(); ++start) {
            std::rotate(ring.begin(), ring.begin() + 1, ring.end());
            rings.push_back(ring);
        }
    }
    while (rings.size() < 500)
        rings.push_back(random_simple_ring(rng));
    for (const std::vector<Xy>& ring : rings)
        for (const Polygon& polygon : {Polygon(ring), Polygon({ring.rbegin(), ring.rend()})})
            EXPECT_EQ(relation_polygon_direction(polygon.get()),
                      plane_signed_area(&polygon.get()->geom) > 0 ? 0 : 1)
                << "seed " << seed << ": " << text_of(&polygon.get()->geom);
    EXPECT_EQ(relation_polygon_direction(Polygon().get()), 0);
    EXPECT_EQ(relation_polygon_direction(Polygon(pts("3 4")).get()), 0);
    EXPECT_EQ(relation_polygon_direction(nullptr), 0);
}

const char* const kBig = "0 0, 10 0, 10 10, 0 10, 0 0";

// a, b, the code of a relative to b and of b relative to a.
TEST(PolygonAndPolygon, EveryCodeInBothArgumentOrders) {
    const struct {
        const char *name, *a, *b;
        int code, swapped_code;
    } cases[] = {
        {"overlapping squares", kBig, "5 5, 15 5, 15 15, 5 15, 5 5", 0, 0},
        {"nested without contact", "2 2, 4 2, 4 4, 2 4, 2 2", kBig, 1, 2},
        {"far apart", "20 20, 30 20, 30 30, 20 30, 20 20", kBig, 3, 3},
        {"nested sharing part of an edge", "0 2, 4 2, 4 4, 0 4, 0 2", kBig, 4, 5},
        {"side by side on a shared edge", "10 0, 20 0, 20 10, 10 10, 10 0", kBig, 6, 6},
        {"nested diamond touching every side", "5 0, 10 5, 5 10, 0 5, 5 0", kBig, 7, 8},
        {"corner touch", "10 10, 20 10, 20 20, 10 20, 10 10", kBig, 9, 9},
        {"identical outline", kBig, kBig, 10, 10},
        {"identical, reversed, other start", "10 10, 10 0, 0 0, 0 10, 10 10", kBig, 10, 10},
        // Shares two stretches of the bottom edge; leaves one inward and the other outward.
        {"shared stretches left inward and outward",
         "2 -5, 8 -5, 8 0, 6 0, 6 5, 4 5, 4 0, 2 0, 2 -5", kBig, 0, 0},
        // Inside, its first point within the location's permit of b's edge (0.003 off) where the
        // crossing search meets nothing (found by fuzzing the list union: read off that first
        // point alone, it came out apart, 3 both ways, and two overlapping records stayed apart).
        {"inside, first point next to the edge", "0 0, 12 0, 9 12, 9 15, 0 0",
         "-1 0, -132 181, 311 -1, -1 0", 1, 2},
        // Rings that cleaning collapses below three vertices are located by their first points.
        {"sliver without area", "3.2 3.2, 3.4 3.2, 3.3 3.4, 3.2 3.2", kBig, 1, 2},
        {"segment", "-5 5, 15 5, -5 5", kBig, 3, 3},
        {"empty", "", kBig, 3, 3}};
    for (const auto& c : cases) {
        Polygon a(pts(c.a)), b(pts(c.b));
        EXPECT_EQ(relation_polygon_and_polygon(a.get(), b.get()), c.code) << c.name;
        EXPECT_EQ(relation_polygon_and_polygon(b.get(), a.get()), c.swapped_code) << c.name;
        EXPECT_EQ(points_of(&a.get()->geom), pts(c.a)) << c.name;
        EXPECT_EQ(points_of(&b.get()->geom), pts(c.b)) << c.name;
    }
}

// The polyline, and its code against the square kBig.
const struct LineCase {
    const char *name, *line;
    int code;
} kLineCases[] = {
    {"crosses one side", "-5 5, 5 5", 0},
    {"wholly inside", "2 2, 8 8", 1},
    {"wholly outside", "20 0, 30 10", 2},
    {"starts on the boundary going in", "0 5, 5 5", 3},
    {"touches the boundary from inside", "2 2, 0 5, 2 8", 3},
    {"runs along an edge from inside", "5 5, 0 2, 0 8, 5 5", 3},
    {"starts on the boundary going out", "0 5, -5 5", 4},
    {"touches the boundary from outside", "-5 2, 0 5, -5 8", 4},
    {"runs along an edge from outside", "-5 2, 0 2, 0 8, -5 8", 4},
    // The line passes its first boundary point again: each pass counts.
    {"goes in from its start and leaves through it", "0 5, 5 5, 5 8, 0 5, -5 5", 0},
    {"goes out from its start and comes in through it", "0 5, -5 5, -5 8, 0 5, 5 5", 0},
};

// relation_polyline_and_polygon works on copies; relation_polyline_and_rect changes the caller's
// shapes and leaves the crossing records in the caller's list, after a record that was there.
TEST(PolylineAndPolygonOrRect, EveryCodeOnCopiesOrWithTheCrossingsLeftToTheCaller) {
    Polygon square(pts(kBig));
    for (const LineCase& c : kLineCases) {
        Polyline line(pts(c.line));
        EXPECT_EQ(relation_polyline_and_polygon(line.get(), square.get()), c.code) << c.name;
        EXPECT_EQ(points_of(&line.get()->geom), pts(c.line)) << c.name;
        EXPECT_EQ(points_of(&square.get()->geom), pts(kBig)) << c.name;
        Polygon rect(pts(kBig));
        Crosspts crossings;
        com_crosspts_add(crossings.get(), crosspt_t{{50, 50, 0}, 0, 0, 0, 0});  // a crossing kind
        EXPECT_EQ(relation_polyline_and_rect(line.get(), rect.get(), crossings.get()), c.code)
            << c.name;
        EXPECT_EQ(crossings.size() > 1, c.code != 1 && c.code != 2) << c.name;
        EXPECT_TRUE(records_at_their_vertices(crossings.get(), &line.get()->geom,
                                              line.get()->geom.count, &rect.get()->geom,
                                              com_polygon_num(rect.get()), 1))
            << c.name;
    }
}

TEST(PolylineAndPolyline, CodesInTheirOrderWithUnusedEntriesCleared) {
    const struct {
        const char *name, *a, *b;
        std::vector<int> codes;
    } cases[] = {
        {"cross in an X", "0 0, 10 10", "0 10, 10 0", {0}},
        {"meet end to end", "0 0, 10 0", "10 0, 20 5", {1}},
        {"end touches the middle", "5 0, 5 5", "0 0, 10 0", {2}},
        {"touch at shared interior vertices", "0 0, 5 5, 10 0", "0 10, 5 5, 10 10", {0}},
        {"same ends and a crossing between", "0 0, 10 10", "0 0, 10 0, 0 10, 10 10", {3, 1, 0}},
        {"shared end and an end on the other", "0 0, 10 0", "10 0, 10 5, 5 5, 5 0", {1, 2}},
        {"apart", "0 0, 1 1", "5 0, 6 1", {}},
    };
    for (const auto& c : cases) {
        Polyline a(pts(c.a)), b(pts(c.b));
        int codes[4] = {7, 7, 7, 7};
        EXPECT_EQ(relation_polyline_and_polyline(a.get(), b.get(), codes),
                  static_cast<int>(c.codes.size()))
            << c.name;
        std::vector<int> expected = c.codes;
        expected.resize(4, -1);
        EXPECT_EQ(std::vector<int>(codes, codes + 4), expected) << c.name;
    }
    Polyline a(pts("0 0, 10 10, 20 0")), b(pts("0 5, 20 5"));
    geom_t out{};
    com_geom_add(&out, point_t{15, 5, 0});
    EXPECT_EQ(find_polylines_crosspts(a.get(), b.get(), &out), 2);  // only points not listed yet
    EXPECT_EQ(find_polylines_crosspts(a.get(), b.get(), &out), 2);
    EXPECT_EQ(points_of(&out), pts("15 5, 5 5"));
    com_geom_free(&out);
}

// Polygons are stored as given (no automatic closing); the first failing test decides.
TEST(IsError, PolygonTestsInOrderAndPolylineContacts) {
    const struct {
        bool ring;
        const char *name, *points;
        int code;
    } cases[] = {
        {true, "closed square", "0 0, 10 0, 10 10, 0 10, 0 0", 0},
        {true, "closure gap exactly 0.99", "0 0, 10 0, 10 10, 0 10, 0 0.99", 4},
        {true, "closure gap 0.98", "0 0, 10 0, 10 10, 0 10, 0 0.98", 0},
        {true, "no points", "", 3},
        {true, "two vertices", "0 0, 10 0, 0 0", 3},
        {true, "collinear within the band", "0 0, 5 0.005, 10 0, 0 0", 5},
        {true, "just off the line", "0 0, 5 0.02, 10 0, 0 0", 0},
        {true, "collinear before repeated", "0 0, 5 0, 5 0, 10 0, 0 0", 5},
        {true, "triangle with a doubled vertex", "0 0, 10 0, 10 0, 0 10, 0 0", 6},
        {true, "doubled closing point", "0 0, 10 0, 0 10, 0 0, 0 0", 6},
        {true, "bow tie", "0 0, 10 10, 10 0, 0 10, 0 0", 2},
        {true, "touching itself at a shared vertex", "0 0, 10 0, 5 5, 10 10, 0 10, 5 5, 0 0", 1},
        {true, "crossing the closing edge", "0 0, 10 0, 10 10, -5 5, 5 5, 0 10, 0 0", 2},
        // The edge ending at (5.005, 0) passes within 0.01 of the vertical edge at x = 5, but no
        // end of either lies between the other's ranks: only the widening of the windows finds it.
        {true, "meeting within the band through the window widening",
         "5 -5, 5 5, -10 5, -10 10, 30 10, 30 0, 5.005 0, 6 -10, 5 -5", 2},
        {false, "one point", "0 0", 3},
        {false, "zigzag", "0 0, 10 10, 20 0, 30 10", 0},
        {false, "returning to its start", "0 0, 10 0, 10 10, 0 0", 1},
        {false, "end on an earlier segment", "0 0, 10 0, 10 10, 5 0", 1},
        {false, "spiral crossing its first segment late", "0 0, 100 0, 100 50, 50 50, 50 -1", 2},
        // The last segment lies inside the first: found whichever of the two holds the window.
        {false, "folding back onto an earlier segment", "4 2, 11 9, 7 5, 6 4", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ring ? relation_polygon_iserror(StoredPolygon(pts(c.points)).get())
                         : relation_polyline_iserror(Polyline(pts(c.points)).get()),
                  c.code)
            << c.name;
    StoredPolygon collinear(pts("0 0, 5 5, -3 -3, 0 0")), single(pts("3 4"));
    StoredPolygon repeat_at_close(pts("0 0, 10 0, 0 10, 0 0, 0 0"));
    EXPECT_EQ(is_allpoints_at_line(collinear.get()), 0);
    EXPECT_EQ(is_allpoints_at_line(repeat_at_close.get()), 1);
    EXPECT_EQ(is_allpoints_at_line(single.get()), 0);
    EXPECT_EQ(has_overlap_points(repeat_at_close.get()), 1);
    EXPECT_EQ(has_overlap_points(collinear.get()), 0);
    EXPECT_EQ(has_overlap_points(single.get()), 0);
}

// The codes of all meeting pairs of non-neighbouring segments (of a ring when closed), each pair
// tried in both argument orders.
std::vector<int> all_pair_contacts(const std::vector<Xy>& v, bool ring) {
    const int segments = static_cast<int>(v.size()) - 1;
    auto at = [&](int k) { return point_t{v[k].x, v[k].y, 0.0}; };
    std::vector<int> codes;
    for (int i = 0; i < segments; ++i)
        for (int j = i + 2; j < segments - (ring && i == 0 ? 1 : 0); ++j) {
            point_t c{}, e[4] = {at(i + 1), at(i), at(j + 1), at(j)};
            if (relation_lines_cross(&c, e[0], e[1], e[2], e[3]) != 0 &&
                relation_lines_cross(&c, e[2], e[3], e[0], e[1]) != 0)
                continue;
            bool at_end = false;
            for (const point_t& end : e)
                at_end = at_end || com_points_same(c, end) == 0;
            codes.push_back(at_end ? 1 : 2);
        }
    return codes;
}

// The sweep finds no contact exactly when all pairs have none, and reports a kind that occurs.
bool sweep_agrees(int sweep, const std::vector<int>& contacts) {
    return contacts.empty() ? sweep == 0
                            : std::find(contacts.begin(), contacts.end(), sweep) != contacts.end();
}

TEST(SelfContactSweep, AgreesWithAllPairsOnRandomShapes) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    for (int round = 0; round < 3000 && !HasFailure(); ++round) {
        std::vector<Xy> points(random_int(rng, 3, 9));
        for (Xy& v : points)
            v = Xy{double(random_int(rng, 0, 12)), double(random_int(rng, 0, 12))};
        const std::string text = "seed " + std::to_string(seed) + ": " + text_of(points);
        int code = relation_polyline_iserror(Polyline(points).get());
        EXPECT_TRUE(sweep_agrees(code, all_pair_contacts(points, false))) << "polyline " << text;
        points.push_back(points.front());
        StoredPolygon polygon(points);
        if (is_allpoints_at_line(polygon.get()) == 0 || has_overlap_points(polygon.get()) == 1)
            continue;
        code = relation_polygon_iserror(polygon.get());
        EXPECT_TRUE(sweep_agrees(code, all_pair_contacts(points, true))) << "polygon " << text;
    }
}

}  // namespace
