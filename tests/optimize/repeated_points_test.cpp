// Repeated-point removal: snapping, which coded point survives, press codes of merged runs.
#include <gtest/gtest.h>

#include <vector>

#include "mapgeom/optimize.h"
#include "shape_checks.h"

using namespace testing_shapes;

namespace {

// Stored points before and after (closing point included; "x y z" with the code z).
struct RingCase {
    const char *name, *ring, *expected;
};

template <size_t N>
void expect_cleaned(const RingCase (&cases)[N], int (*pass)(polygon_t*), bool counts_vertices) {
    for (const RingCase& c : cases) {
        Polygon polygon(pts(c.ring));
        int count = pass(polygon.get());
        EXPECT_EQ(points_of(&polygon.get()->geom), pts(c.expected)) << c.name;
        EXPECT_EQ(count + (counts_vertices ? 1 : 0), static_cast<int>(pts(c.expected).size()));
    }
    EXPECT_EQ(pass(nullptr), 0);
}

TEST(PolygonDelRepeatpts, SnapsAndKeepsTheCodedPoint) {
    const RingCase cases[] = {
        {"neighbours snapping together", "0.4 0, 0.2 0, 10 0.3, 10 10, 0 10.6, 0.4 0",
         "0 0, 10 0, 10 10, 0 11, 0 0"},
        {"later point coded", "0 0, 5 0, 5 0 2, 5 5, 0 0", "0 0, 5 0 2, 5 5, 0 0"},
        {"earlier point coded", "0 0, 5 0 2, 5 0, 5 5, 0 0", "0 0, 5 0 2, 5 5, 0 0"},
        {"repeat of the closing point", "0 0, 10 0, 10 10, 0 10, 0 0.3, 0 0",
         "0 0, 10 0, 10 10, 0 10, 0 0"},
        {"halves round away from zero", "-2.5 -0.4, 2.5 -1.5, 1.49 7.5, -2.5 -0.4",
         "-3 0, 3 -2, 1 8, -3 0"},
        {"all one point", "1 1, 1.2 1, 0.9 1.1, 1 1", "1 1"}};
    expect_cleaned(cases, optimize_polygon_del_repeatpts, true);
}

TEST(PolylineDelRepeatpts, MergesWithinJustUnderOneUnit) {
    Polyline line(pts("0 0, 0.5 0.5, 1 1, 1.98 1, 2.97 1, 3.97 1.5"));
    EXPECT_EQ(optimize_polyline_del_repeatpts(line.get()), 4);
    EXPECT_EQ(points_of(&line.get()->geom), pts("0 0, 1 1, 2.97 1, 3.97 1.5"));
    Polyline apart(pts("0 0, 0.99 0, 1.99 0.5"));
    EXPECT_EQ(optimize_polyline_del_repeatpts(apart.get()), 3);
    EXPECT_EQ(optimize_polyline_del_repeatpts(nullptr), 0);
}

TEST(PolygonProcess, MergedRunsKeepPressCodesConsistent) {
    const RingCase cases[] = {
        {"plain then start of a section", "0 0, 5 0, 5.2 0 2, 5 5, 0 0", "0 0, 5 0 2, 5 5, 0 0"},
        {"end of a section meets start of the next", "0 0, 5 5 3, 4.8 5 2, 0 5, 0 0",
         "0 0, 5 5 0, 0 5, 0 0"},
        {"coded, plain, coded in one run", "0 0, 5 0 2, 5 0, 5 0 103, 5 5, 0 0",
         "0 0, 5 0 103, 5 5, 0 0"},
        {"coded then plain keeps the code", "0 0, 5 0 3, 5 0, 5 5, 0 0", "0 0, 5 0 3, 5 5, 0 0"},
        {"node mark without press code counts as plain", "0 0, 5 0 100, 5 0 2, 5 5, 0 0",
         "0 0, 5 0 2, 5 5, 0 0"},
        {"no repeats: only snapped", "0.6 0, 5 -0.5, 5 5, 0.6 0", "1 0, 5 -1, 5 5, 1 0"}};
    expect_cleaned(cases, optimize_polygon_process, false);
}

}  // namespace
