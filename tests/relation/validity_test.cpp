// Validity checks of polygons and polylines: the order of the tests, the closure band, and the
// x-sorted self-contact sweep against an all-pairs comparison of the same segments.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "shapes.h"

using testing_shapes::Polygon;
using testing_shapes::Polyline;
using testing_shapes::Xy;

namespace {

// A polygon holding exactly the given points (no automatic closing).
struct StoredPolygon {
    polygon_t p{};
    explicit StoredPolygon(const std::vector<Xy>& points) {
        com_polygon_init(&p);
        for (const Xy& v : points)
            com_polygon_add(&p, point_t{v.x, v.y, 0.0});
    }
    StoredPolygon(const StoredPolygon&) = delete;
    StoredPolygon& operator=(const StoredPolygon&) = delete;
    ~StoredPolygon() { com_polygon_free(&p); }
};

std::string describe(const std::vector<Xy>& points) {
    std::ostringstream out;
    for (const Xy& v : points)
        out << "(" << v.x << "," << v.y << ") ";
    return out.str();
}

struct ShapeCase {
    const char* name;
    std::vector<Xy> points;  // stored as given
    int expected;
};

TEST(PolygonIsError, TestsRunInOrderAndTheFirstFailureDecides) {
    const std::vector<ShapeCase> cases = {
        {"closed square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 0},
        {"last point moved by 1.0", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {1, 0}}, 4},
        {"last point moved by 0.5", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0.5, 0}}, 0},
        {"closure gap exactly 0.99", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0.99}}, 4},
        {"closure gap 0.98", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0.98}}, 0},
        {"two vertices", {{0, 0}, {10, 0}, {0, 0}}, 3},
        {"no points", {}, 3},
        {"unclosed and too few", {{0, 0}, {10, 0}, {5, 5}}, 3},
        {"three collinear points", {{0, 0}, {5, 0}, {10, 0}, {0, 0}}, 5},
        {"collinear within the band", {{0, 0}, {5, 0.005}, {10, 0}, {0, 0}}, 5},
        {"just off the line", {{0, 0}, {5, 0.02}, {10, 0}, {0, 0}}, 0},
        {"collinear and repeated", {{0, 0}, {5, 0}, {5, 0}, {10, 0}, {0, 0}}, 5},
        {"triangle with a doubled vertex", {{0, 0}, {10, 0}, {10, 0}, {0, 10}, {0, 0}}, 6},
        {"doubled closing point", {{0, 0}, {10, 0}, {0, 10}, {0, 0}, {0, 0}}, 6},
        {"bow tie", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}, 2},
        {"touching itself at a shared vertex",
         {{0, 0}, {10, 0}, {5, 5}, {10, 10}, {0, 10}, {5, 5}, {0, 0}},
         1},
        {"vertex on another edge", {{0, 0}, {10, 0}, {10, 10}, {5, 0}, {0, 10}, {0, 0}}, 1},
        {"crossing across the closing point",
         {{0, 0}, {10, 0}, {10, 10}, {-5, 5}, {5, 5}, {0, 10}, {0, 0}},
         2},
        // The edge ending at (5.005, 0) passes within 0.01 of the vertical edge at x = 5, but no
        // end of either lies between the other's ranks: only the widening of the windows over
        // near-equal x brings them together.
        {"crossing within the band, found through the window widening",
         {{5, -5}, {5, 5}, {-10, 5}, {-10, 10}, {30, 10}, {30, 0}, {5.005, 0}, {6, -10}, {5, -5}},
         2},
        {"clockwise ring", {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}, 0},
    };
    for (const ShapeCase& c : cases) {
        StoredPolygon polygon(c.points);
        EXPECT_EQ(relation_polygon_iserror(&polygon.p), c.expected) << c.name;
    }
}

TEST(PolygonIsError, HelpersReportCollinearityAndRepeats) {
    StoredPolygon collinear({{0, 0}, {5, 5}, {-3, -3}, {0, 0}});
    StoredPolygon triangle({{0, 0}, {10, 0}, {0, 10}, {0, 0}});
    StoredPolygon repeat_at_close({{0, 0}, {10, 0}, {0, 10}, {0, 0}, {0, 0}});
    StoredPolygon single({{3, 4}});
    EXPECT_EQ(is_allpoints_at_line(&collinear.p), 0);
    EXPECT_EQ(is_allpoints_at_line(&triangle.p), 1);
    EXPECT_EQ(is_allpoints_at_line(&single.p), 0);
    EXPECT_EQ(has_overlap_points(&triangle.p), 0);
    EXPECT_EQ(has_overlap_points(&repeat_at_close.p), 1);
    EXPECT_EQ(has_overlap_points(&single.p), 0);
}

TEST(PolylineIsError, ContactsAndTooFewPoints) {
    const std::vector<ShapeCase> cases = {
        {"one point", {{0, 0}}, 3},
        {"no points", {}, 3},
        {"one segment", {{0, 0}, {10, 0}}, 0},
        {"zigzag", {{0, 0}, {10, 10}, {20, 0}, {30, 10}}, 0},
        {"crossing", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, 2},
        {"returning to its start", {{0, 0}, {10, 0}, {10, 10}, {0, 0}}, 1},
        {"end on an earlier segment", {{0, 0}, {10, 0}, {10, 10}, {5, 0}}, 1},
        // The last segment lies inside the first: found whichever of the two holds the window.
        {"folding back onto an earlier segment", {{4, 2}, {11, 9}, {7, 5}, {6, 4}}, 1},
        {"spiral crossing its first segment late",
         {{0, 0}, {100, 0}, {100, 50}, {50, 50}, {50, -1}},
         2},
    };
    for (const ShapeCase& c : cases) {
        Polyline line(c.points);
        EXPECT_EQ(relation_polyline_iserror(line.get()), c.expected) << c.name;
    }
}

// ---- The sweep against all pairs
// ------------------------------------------------------------------

// Whether two segments meet, and at one of their ends, trying both argument orders.
int pair_contact(point_t a0, point_t a1, point_t b0, point_t b1) {
    point_t orders[2][4] = {{a1, a0, b1, b0}, {b1, b0, a1, a0}};
    for (auto& o : orders) {
        point_t c{};
        if (relation_lines_cross(&c, o[0], o[1], o[2], o[3]) != 0)
            continue;
        for (const point_t& end : o) {
            if (com_points_same(c, end) == 0)
                return 1;
        }
        return 2;
    }
    return 0;
}

// The codes of all meeting pairs of non-neighbouring segments (open chain, or ring when closed).
std::vector<int> all_pair_contacts(const std::vector<point_t>& pts, bool ring) {
    const int segments = static_cast<int>(pts.size()) - 1;
    std::vector<int> codes;
    for (int i = 0; i < segments; ++i) {
        for (int j = i + 2; j < segments; ++j) {
            if (ring && i == 0 && j == segments - 1)
                continue;
            int code = pair_contact(pts[i], pts[i + 1], pts[j], pts[j + 1]);
            if (code != 0)
                codes.push_back(code);
        }
    }
    return codes;
}

// The sweep reports no contact exactly when all pairs have none, and a kind that occurs.
void expect_sweep_agrees(int sweep_code, const std::vector<int>& contacts,
                         const std::string& what) {
    if (contacts.empty()) {
        EXPECT_EQ(sweep_code, 0) << what;
        return;
    }
    bool occurs = false;
    for (int code : contacts)
        occurs = occurs || code == sweep_code;
    EXPECT_TRUE(occurs) << what << " sweep code " << sweep_code;
}

TEST(SelfContactSweep, AgreesWithAllPairsOnRandomShapes) {
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(0, 12);
    std::uniform_int_distribution<int> size(3, 9);
    for (int round = 0; round < 3000; ++round) {
        std::vector<Xy> points;
        const int n = size(random);
        for (int i = 0; i < n; ++i)
            points.push_back({double(coordinate(random)), double(coordinate(random))});

        Polyline line(points);
        std::vector<point_t> open;
        for (const Xy& v : points)
            open.push_back(point_t{v.x, v.y, 0.0});
        const std::string what = "seed " + std::to_string(seed) + ": " + describe(points);
        expect_sweep_agrees(relation_polyline_iserror(line.get()), all_pair_contacts(open, false),
                            "polyline " + what);

        StoredPolygon polygon(points);
        com_polygon_add(&polygon.p, com_polygon_front(&polygon.p));
        if (is_allpoints_at_line(&polygon.p) == 0 || has_overlap_points(&polygon.p) == 1)
            continue;
        open.push_back(open.front());
        expect_sweep_agrees(relation_polygon_iserror(&polygon.p), all_pair_contacts(open, true),
                            "polygon " + what);
        if (HasFailure())
            return;
    }
}

TEST(SelfContactSweep, StarPolygonsAreValid) {
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    for (int round = 0; round < 200; ++round) {
        std::uniform_int_distribution<int> size(3, 400);
        std::uniform_real_distribution<double> angle_jitter(0.1, 0.9);
        std::uniform_int_distribution<int> radius(1000, 2000);
        const int n = size(random);
        std::vector<Xy> ring;
        for (int i = 0; i < n; ++i) {
            double angle = 2.0 * 3.14159265358979 * (i + angle_jitter(random)) / n;
            double r = radius(random);
            ring.push_back({std::round(r * std::cos(angle)), std::round(r * std::sin(angle))});
        }
        Polygon polygon(ring);
        if (has_overlap_points(polygon.get()) == 1)
            continue;
        ASSERT_EQ(relation_polygon_iserror(polygon.get()), 0)
            << "seed " << seed << ": " << describe(ring);
    }
}

}  // namespace
