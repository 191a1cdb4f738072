// Crossing points of two rings, of a polyline and a ring and of two polylines: hand-made cases, and
// random shapes on which the engines must agree with each other and with a plain segment-pair scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "shape_checks.h"

using namespace testing_shapes;

namespace {

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
        expect_points(&first.get()->geom, *c.first_after ? c.first_after : c.first);
        expect_points(&second.get()->geom, *c.second_after ? c.second_after : c.second);
        expect_records(out.get(), 1, c.records);
    }
}

const char* const kSquare = "0 0, 10 0, 10 10, 0 10, 0 0";

// Crossings lie far apart compared to either merge tolerance, so both ring engines agree.
// clang-format off
const std::vector<Case> kRingCases = {
    {"overlapping squares give an entry and an exit", kSquare, "5 5, 15 5, 15 15, 5 15, 5 5",
     "0 0, 10 0, 10 5, 10 10, 5 10, 0 10, 0 0", "5 5, 10 5, 15 5, 15 15, 5 15, 5 10, 5 5",
     {{10, 5, 2, 1, 0, 1}, {5, 10, 4, 5, 0, 0}}},
    {"crossing at a's first vertex is found once with index 0", kSquare, "-5 -5, 5 5, 5 -5, -5 -5",
     "0 0, 5 0, 10 0, 10 10, 0 10, 0 0", "-5 -5, 0 0, 5 5, 5 0, 5 -5, -5 -5",
     {{0, 0, 0, 1, 0, 1}, {5, 0, 1, 3, 0, 0}}},
    {"vertex of b touching an edge of a from outside gives flag 1", kSquare, "5 0, 8 -5, 2 -5, 5 0",
     "0 0, 5 0, 10 0, 10 10, 0 10, 0 0", "", {{5, 0, 1, 0, 1, 0}}},
    {"reflex vertex of a touching b, whose boundary runs into a, gives flag 2",
     "0 0, 10 0, 10 10, 5 5, 0 10, 0 0", "5 5, 4 2, 6 2, 5 5", "", "", {{5, 5, 3, 0, 2, 0}}},
    {"shared stretch seen from outside gives flags 5 and 4", kSquare,
     "2 0, 5 0, 8 0, 8 -5, 2 -5, 2 0", "0 0, 2 0, 5 0, 8 0, 10 0, 10 10, 0 10, 0 0", "",
     {{2, 0, 1, 0, 5, 2}, {5, 0, 2, 1, 4, 2}, {8, 0, 3, 2, 5, 0}}},
    {"shared stretch leading into b gives flag 6", kSquare, "5 0, 20 0, 20 5, 5 5, 5 0",
     "0 0, 5 0, 10 0, 10 5, 10 10, 0 10, 0 0", "5 0, 10 0, 20 0, 20 5, 10 5, 5 5, 5 0",
     {{5, 0, 1, 0, 5, 2}, {10, 0, 2, 1, 6, 1}, {10, 5, 3, 4, 0, 0}}},
    {"a ring inside the other is left alone", kSquare, "2 2, 8 2, 8 8, 2 8, 2 2", "", "", {}},
    {"a ring without edges is left alone", kSquare, "5 5", "", "", {}},
};
// clang-format on

TEST(RingCrossings, BothEnginesInsertClassifyAndOrderAlongB) {
    expect_cases<Polygon, Polygon>(kRingCases, calc_polygons_crosspts, "sweep");
    expect_cases<Polygon, Polygon>(kRingCases, calc_polygon_and_polygon_crosspts, "all pairs");
}

// Kept apart by the all-pairs engine, the two crossings are a true entry into and exit from the
// slit; merged by the sweep, they are one point where a touches the slit from outside.
TEST(RingCrossings, CrossingsAThousandthApartAreMergedOnlyByTheSweep) {
    const char* slit = "5 -5, 5.001 -5, 5.001 5, 5 5, 5 -5";
    // clang-format off
    expect_cases<Polygon, Polygon>({{"merged", kSquare, slit, "0 0, 5 0, 10 0, 10 10, 0 10, 0 0",
        "5 -5, 5.001 -5, 5.001 5, 5 5, 5 0, 5 -5", {{5, 0, 1, 4, 1, 0}}}},
        calc_polygons_crosspts, "sweep");
    expect_cases<Polygon, Polygon>({{"kept", kSquare, slit,
        "0 0, 5 0, 5.001 0, 10 0, 10 10, 0 10, 0 0",
        "5 -5, 5.001 -5, 5.001 0, 5.001 5, 5 5, 5 0, 5 -5",
        {{5.001, 0, 2, 2, 0, 0}, {5, 0, 1, 5, 0, 1}}}},
        calc_polygon_and_polygon_crosspts, "all pairs");
    // clang-format on
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

// A polyline end counts as running along the ring on its missing side. A polyline passing one
// boundary point twice has a record for each pass, and the ring gets the point once.
TEST(PolylineCrossings, LineAgainstRingInsertsAndClassifies) {
    // clang-format off
    expect_cases<Polyline, Polygon>({
        {"through two sides, ordered along the ring", "0 5, 20 5", kRing, "0 5, 5 5, 15 5, 20 5",
         "5 0, 15 0, 15 5, 15 10, 5 10, 5 5, 5 0", {{15, 5, 2, 2, 0, 0}, {5, 5, 1, 5, 0, 0}}},
        {"end on the boundary from outside", "0 5, 5 5", kRing, "", kRingLeftMid,
         {{5, 5, 1, 4, 5, 0}}},
        {"vertex touching from outside is one record", "0 0, 5 5, 0 10", kRing, "", kRingLeftMid,
         {{5, 5, 1, 4, 1, 0}}},
        {"running along around a corner", "10 0, 5 0, 5 5", kRing, "", "", {{5, 0, 1, 0, 4, 0}}},
        {"crossing at a ring vertex is found once there", "0 -5, 10 5", kRing,
         "0 -5, 5 0, 10 5", "", {{5, 0, 1, 0, 0, 0}}},
        {"a line of one point", "5 5", kRing, "", "", {}},
        {"a ring without points", "0 5, 20 5", "", "", "", {}},
        {"leaving through the point it started at", "5 5, 10 5, 10 8, 5 5, 0 5", kRing, "",
         kRingLeftMid, {{5, 5, 0, 4, 6, 0}, {5, 5, 3, 4, 0, 0}}},
        {"crossing one point twice", "0 2, 10 8, 10 2, 0 8", kRing,
         "0 2, 5 5, 10 8, 10 2, 5 5, 0 8", kRingLeftMid, {{5, 5, 1, 4, 0, 0}, {5, 5, 4, 4, 0, 0}}},
        {"leaving through a corner and ending there", "10 5, 15 10, 20 15, 20 10, 15 10", kRing, "",
         "", {{15, 10, 1, 2, 0, 0}, {15, 10, 4, 2, 5, 0}}}},
        calc_polyline_and_polygon_crosspts, "line and ring");
    // clang-format on
}

TEST(PolylineCrossings, TwoLinesMergeWithinAHundredthAndKeepEveryPass) {
    // clang-format off
    expect_cases<Polyline, Polyline>({
        {"an X", "0 0, 10 10", "0 10, 10 0", "0 0, 5 5, 10 10", "0 10, 5 5, 10 0",
         {{5, 5, 1, 1, 0, 0}}},
        {"shared end adds no point", "0 0, 10 0", "10 0, 20 5", "", "", {{10, 0, 1, 0, 0, 0}}},
        {"crossings closer than 0.01 merge", "0 0, 10 0", "5 -1, 5.004 1, 5.008 -1",
         "0 0, 5.002 0, 10 0", "5 -1, 5.002 0, 5.004 1, 5.008 -1", {{5.002, 0, 1, 1, 0, 0}}},
        {"a line of one point", "5 5", "0 5, 20 5", "", "", {}},
        {"closed-looking line meeting the other at both ends", "0 0, 10 0, 10 10, 0 0", "-5 0, 0 0",
         "", "", {{0, 0, 0, 1, 0, 0}, {0, 0, 3, 1, 0, 0}}}},
        calc_polylines_crosspts, "two lines");
    // clang-format on
}

// Crossings closer than this make the engines' merge tolerances matter.
constexpr double kMinCrossingGap = 0.05;

bool far_apart(const std::vector<point_t>& points) {
    for (size_t i = 0; i < points.size(); ++i)
        for (size_t j = i + 1; j < points.size(); ++j)
            if (com_points_same_permit(points[i], points[j], kMinCrossingGap) == 0)
                return false;
    return true;
}

// Records and rings as text, coordinates rounded to 1e-6: an engine may compute a crossing from
// its two edges in either argument order, which can move it by an ulp.
std::string result_text(const crosspts_t* list, const geom_t* a, const geom_t* b) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(6);
    for (const crosspt_t* r = list->crosspts; r < list->crosspts + list->count; ++r)
        text << "(" << r->pt.x << " " << r->pt.y << ": " << r->index1 << " " << r->index2
             << " flag " << r->flag << " side " << r->curpt_flag << ") ";
    for (const geom_t* ring : {a, b})
        for (int k = 0; k < ring->count; ++k)
            text << (k ? ", " : "\nring ") << ring->points[k].x << " " << ring->points[k].y << " "
                 << ring->points[k].z;
    return text.str();
}

TEST(RingCrossingsRandom, SweepAndAllPairsAgreeOnCrossingsFarApart) {
    const unsigned seed = 20261206;
    std::mt19937 rng(seed);
    int compared = 0, crossings = 0;
    for (int trial = 0; trial < 300; ++trial) {
        // Every third pair is large enough for the all-pairs engine to use its box index.
        const int lo = trial % 3 == 0 ? 65 : 3, hi = trial % 3 == 0 ? 140 : 40;
        std::vector<Xy> a_in = random_star(rng, random_int(rng, lo, hi), 50, 50, 16, 40);
        const double bx = 50 + random_real(rng, -40, 40), by = 50 + random_real(rng, -40, 40);
        std::vector<Xy> b_in = random_star(rng, random_int(rng, lo, hi), bx, by, 12, 30);
        Polygon a1(a_in), b1(b_in), a2(a_in), b2(b_in);
        Crosspts all_pairs, sweep;
        calc_polygon_and_polygon_crosspts(a1.get(), b1.get(), all_pairs.get());
        calc_polygons_crosspts(a2.get(), b2.get(), sweep.get());
        const crosspt_t* found = all_pairs.get()->crosspts;
        std::vector<point_t> points;
        std::transform(found, found + all_pairs.size(), std::back_inserter(points),
                       [](const crosspt_t& r) { return r.pt; });
        if (!far_apart(points))
            continue;
        ++compared;
        crossings += all_pairs.size();
        ASSERT_EQ(result_text(sweep.get(), &a2.get()->geom, &b2.get()->geom),
                  result_text(all_pairs.get(), &a1.get()->geom, &b1.get()->geom))
            << "seed " << seed << " trial " << trial << "\nA = " << text_of(a_in)
            << "\nB = " << text_of(b_in);
        ASSERT_TRUE(records_at_their_vertices(all_pairs.get(), &a1.get()->geom,
                                              com_polygon_num(a1.get()), &b1.get()->geom,
                                              com_polygon_num(b1.get())));
    }
    // The filter must leave most pairs, and they must cross: otherwise this proves nothing.
    EXPECT_GT(compared, 150);
    EXPECT_GT(crossings, 4 * compared);
}

// The distinct meeting points of the plain double loop over every segment pair.
std::vector<point_t> plain_scan(const geom_t* first, const geom_t* second) {
    geom_t distinct{};
    for (int i = 0; i + 1 < first->count; ++i)
        for (int j = 0; j + 1 < second->count; ++j) {
            point_t c{};
            if (relation_lines_cross_by_permit(&c, first->points[i], first->points[i + 1],
                                               second->points[j], second->points[j + 1],
                                               0.0001) == 0 &&
                com_geom_find(&distinct, c) < 0)
                com_geom_add(&distinct, c);
        }
    std::vector<point_t> points(distinct.points, distinct.points + distinct.count);
    com_geom_free(&distinct);
    return points;
}

// Runs `engine` on a random walk of 90 points (enough for the engines' candidate search) and a
// second shape, a star-shaped ring when the engine takes one.
template <typename Second, typename Engine>
void compare_with_plain_scan(unsigned seed, Engine engine) {
    constexpr bool ring = std::is_same_v<Second, Polygon>;
    std::mt19937 rng(seed);
    int compared = 0;
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<Xy> first_points = random_walk(rng, 90, 12);
        std::vector<Xy> second_points =
            ring ? random_star(rng, 90, 0, 0, 20, 60) : random_walk(rng, 90, 12);
        Polyline first(first_points);
        Second second(second_points);
        std::vector<point_t> expected = plain_scan(&first.get()->geom, &second.get()->geom);
        if (!far_apart(expected))
            continue;
        ++compared;
        SCOPED_TRACE("seed " + std::to_string(seed) + "\n" + text_of(first_points) + "\n" +
                     text_of(second_points));
        Crosspts out;
        engine(first.get(), second.get(), out.get());
        ASSERT_EQ(out.size(), static_cast<int>(expected.size()));
        for (point_t c : expected)
            EXPECT_GE(com_crosspts_find(out.get(), c), 0) << "missing " << c.x << " " << c.y;
        EXPECT_TRUE(records_at_their_vertices(out.get(), &first.get()->geom,
                                              first.get()->geom.count, &second.get()->geom,
                                              second.get()->geom.count));
    }
    EXPECT_GE(compared, 20);
}

TEST(PolylineCrossingsRandom, BothEnginesMatchThePlainScan) {
    compare_with_plain_scan<Polygon>(20261207, calc_polyline_and_polygon_crosspts);
    compare_with_plain_scan<Polyline>(20261208, calc_polylines_crosspts);
}

TEST(Crossings, NullRecordsAreIgnored) {
    Crosspts out;
    calc_polygons_crosspts(nullptr, nullptr, out.get());
    calc_polygon_and_polygon_crosspts(nullptr, nullptr, out.get());
    calc_polyline_and_polygon_crosspts(nullptr, nullptr, out.get());
    calc_polylines_crosspts(nullptr, nullptr, nullptr);
    EXPECT_EQ(out.size(), 0);
    EXPECT_EQ(find_all_crosspts(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(find_all_polyline_crosspts(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(find_all_polygon_crosspts(nullptr, nullptr, nullptr), 0);
}

}  // namespace
