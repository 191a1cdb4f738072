// Repeated-point removal: snapping, which coded point survives, press codes of merged runs.
#include <gtest/gtest.h>

#include <vector>

#include "mapgeom/optimize.h"
#include "shapes.h"

using testing_shapes::points_of;
using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::Xy;

namespace testing_shapes {

bool operator==(const Xy& a, const Xy& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

std::ostream& operator<<(std::ostream& out, const Xy& v) {
    return out << "(" << v.x << "," << v.y << "," << v.z << ")";
}

}  // namespace testing_shapes

extern "C" int c_host_clean_ring(void);

namespace {

TEST(CHost, CallsTheCleaningPassesByTheirPlainNames) {
    EXPECT_EQ(c_host_clean_ring(), 3 * 10 + 4);
}

struct RingCase {
    const char* name;
    std::vector<Xy> ring;      // stored points, closing point included
    std::vector<Xy> expected;  // stored points afterwards
};

TEST(PolygonDelRepeatpts, SnapsAndKeepsTheCodedPoint) {
    const RingCase cases[] = {{"neighbours snapping together",
                               {{0.4, 0}, {0.2, 0}, {10, 0.3}, {10, 10}, {0, 10.6}, {0.4, 0}},
                               {{0, 0}, {10, 0}, {10, 10}, {0, 11}, {0, 0}}},
                              {"later point coded",
                               {{0, 0}, {5, 0}, {5, 0, 2}, {5, 5}, {0, 0}},
                               {{0, 0}, {5, 0, 2}, {5, 5}, {0, 0}}},
                              {"earlier point coded",
                               {{0, 0}, {5, 0, 2}, {5, 0}, {5, 5}, {0, 0}},
                               {{0, 0}, {5, 0, 2}, {5, 5}, {0, 0}}},
                              {"both coded: the later survives",
                               {{0, 0}, {5, 0, 2}, {5, 0, 3}, {5, 5}, {0, 0}},
                               {{0, 0}, {5, 0, 3}, {5, 5}, {0, 0}}},
                              {"repeat of the closing point",
                               {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0.3}, {0, 0}},
                               {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}},
                              {"halves round away from zero",
                               {{-2.5, -0.4}, {2.5, -1.5}, {1.49, 7.5}, {-2.5, -0.4}},
                               {{-3, 0}, {3, -2}, {1, 8}, {-3, 0}}},
                              {"all one point", {{1, 1}, {1.2, 1}, {0.9, 1.1}, {1, 1}}, {{1, 1}}}};
    for (const RingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon polygon(c.ring);
        int vertices = optimize_polygon_del_repeatpts(polygon.get());
        EXPECT_EQ(points_of(&polygon.get()->geom), c.expected);
        EXPECT_EQ(vertices, static_cast<int>(c.expected.size()) - 1);
    }
    EXPECT_EQ(optimize_polygon_del_repeatpts(nullptr), 0);
}

TEST(PolylineDelRepeatpts, MergesWithinJustUnderOneUnit) {
    Polyline line{{0, 0}, {0.5, 0.5}, {1, 1}, {1.98, 1}, {2.97, 1}, {3.97, 1.5}};
    EXPECT_EQ(optimize_polyline_del_repeatpts(line.get()), 4);
    EXPECT_EQ(points_of(&line.get()->geom),
              (std::vector<Xy>{{0, 0}, {1, 1}, {2.97, 1}, {3.97, 1.5}}));
    Polyline apart{{0, 0}, {0.99, 0}, {1.99, 0.5}};
    EXPECT_EQ(optimize_polyline_del_repeatpts(apart.get()), 3);
    EXPECT_EQ(optimize_polyline_del_repeatpts(nullptr), 0);
}

TEST(PolygonProcess, MergedRunsKeepPressCodesConsistent) {
    const RingCase cases[] = {{"plain then start of a section",
                               {{0, 0}, {5, 0}, {5.2, 0, 2}, {5, 5}, {0, 0}},
                               {{0, 0}, {5, 0, 2}, {5, 5}, {0, 0}}},
                              {"end of one section meets start of the next",
                               {{0, 0}, {5, 5, 3}, {4.8, 5, 2}, {0, 5}, {0, 0}},
                               {{0, 0}, {5, 5, 0}, {0, 5}, {0, 0}}},
                              {"coded, plain, coded in one run",
                               {{0, 0}, {5, 0, 2}, {5, 0}, {5, 0, 103}, {5, 5}, {0, 0}},
                               {{0, 0}, {5, 0, 103}, {5, 5}, {0, 0}}},
                              {"coded then plain keeps the code",
                               {{0, 0}, {5, 0, 3}, {5, 0}, {5, 5}, {0, 0}},
                               {{0, 0}, {5, 0, 3}, {5, 5}, {0, 0}}},
                              {"node mark without press code counts as plain",
                               {{0, 0}, {5, 0, 100}, {5, 0, 2}, {5, 5}, {0, 0}},
                               {{0, 0}, {5, 0, 2}, {5, 5}, {0, 0}}},
                              {"no repeats: only snapped",
                               {{0.6, 0}, {5, -0.5}, {5, 5}, {0.6, 0}},
                               {{1, 0}, {5, -1}, {5, 5}, {1, 0}}}};
    for (const RingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon polygon(c.ring);
        int stored = optimize_polygon_process(polygon.get());
        EXPECT_EQ(points_of(&polygon.get()->geom), c.expected);
        EXPECT_EQ(stored, static_cast<int>(c.expected.size()));
    }
    EXPECT_EQ(optimize_polygon_process(nullptr), 0);
}

}  // namespace
