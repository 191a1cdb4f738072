// Validity checks of polygons and polylines: the order of the tests, the closure band, and the
// x-sorted self-contact sweep against an all-pairs comparison of the same segments.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "shape_checks.h"

using testing_shapes::Polyline;
using testing_shapes::pts;
using testing_shapes::Xy;

namespace {

// A polygon holding exactly the given points (no automatic closing).
struct StoredPolygon : testing_shapes::Polygon {
    explicit StoredPolygon(const std::vector<Xy>& points) {
        for (const Xy& v : points)
            com_polygon_add(&p, point_t{v.x, v.y, 0.0});
    }
};

TEST(PolygonIsError, TestsRunInOrderAndTheFirstFailureDecides) {
    const struct {
        const char *name, *points;
        int code;
    } cases[] = {
        {"closed square", "0 0, 10 0, 10 10, 0 10, 0 0", 0},
        {"clockwise square", "0 0, 0 10, 10 10, 10 0, 0 0", 0},
        {"last point moved by 1.0", "0 0, 10 0, 10 10, 0 10, 1 0", 4},
        {"last point moved by 0.5", "0 0, 10 0, 10 10, 0 10, 0.5 0", 0},
        {"closure gap exactly 0.99", "0 0, 10 0, 10 10, 0 10, 0 0.99", 4},
        {"closure gap 0.98", "0 0, 10 0, 10 10, 0 10, 0 0.98", 0},
        {"no points", "", 3},
        {"two vertices", "0 0, 10 0, 0 0", 3},
        {"three collinear points", "0 0, 5 0, 10 0, 0 0", 5},
        {"collinear within the band", "0 0, 5 0.005, 10 0, 0 0", 5},
        {"just off the line", "0 0, 5 0.02, 10 0, 0 0", 0},
        {"collinear before repeated", "0 0, 5 0, 5 0, 10 0, 0 0", 5},
        {"triangle with a doubled vertex", "0 0, 10 0, 10 0, 0 10, 0 0", 6},
        {"doubled closing point", "0 0, 10 0, 0 10, 0 0, 0 0", 6},
        {"bow tie", "0 0, 10 10, 10 0, 0 10, 0 0", 2},
        {"touching itself at a shared vertex", "0 0, 10 0, 5 5, 10 10, 0 10, 5 5, 0 0", 1},
        {"vertex on another edge", "0 0, 10 0, 10 10, 5 0, 0 10, 0 0", 1},
        {"crossing the closing edge", "0 0, 10 0, 10 10, -5 5, 5 5, 0 10, 0 0", 2},
        // The edge ending at (5.005, 0) passes within 0.01 of the vertical edge at x = 5, but no
        // end of either lies between the other's ranks: only the widening of the windows finds it.
        {"meeting within the band through the window widening",
         "5 -5, 5 5, -10 5, -10 10, 30 10, 30 0, 5.005 0, 6 -10, 5 -5", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(relation_polygon_iserror(StoredPolygon(pts(c.points)).get()), c.code) << c.name;
    StoredPolygon collinear(pts("0 0, 5 5, -3 -3, 0 0")), single(pts("3 4"));
    StoredPolygon repeat_at_close(pts("0 0, 10 0, 0 10, 0 0, 0 0"));
    EXPECT_EQ(is_allpoints_at_line(collinear.get()), 0);
    EXPECT_EQ(is_allpoints_at_line(repeat_at_close.get()), 1);
    EXPECT_EQ(is_allpoints_at_line(single.get()), 0);
    EXPECT_EQ(has_overlap_points(repeat_at_close.get()), 1);
    EXPECT_EQ(has_overlap_points(collinear.get()), 0);
    EXPECT_EQ(has_overlap_points(single.get()), 0);
}

TEST(PolylineIsError, ContactsAndTooFewPoints) {
    const struct {
        const char *name, *points;
        int code;
    } cases[] = {
        {"one point", "0 0", 3},
        {"one segment", "0 0, 10 0", 0},
        {"zigzag", "0 0, 10 10, 20 0, 30 10", 0},
        {"crossing", "0 0, 10 10, 10 0, 0 10", 2},
        {"returning to its start", "0 0, 10 0, 10 10, 0 0", 1},
        {"end on an earlier segment", "0 0, 10 0, 10 10, 5 0", 1},
        {"spiral crossing its first segment late", "0 0, 100 0, 100 50, 50 50, 50 -1", 2},
        // The last segment lies inside the first: found whichever of the two holds the window.
        {"folding back onto an earlier segment", "4 2, 11 9, 7 5, 6 4", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(relation_polyline_iserror(Polyline(pts(c.points)).get()), c.code) << c.name;
}

// The codes of all meeting pairs of non-neighbouring segments (of a ring when closed), each pair
// tried in both argument orders.
std::vector<int> all_pair_contacts(const std::vector<Xy>& v, bool ring) {
    const int segments = static_cast<int>(v.size()) - 1;
    auto at = [&](int k) { return point_t{v[k].x, v[k].y, 0.0}; };
    std::vector<int> codes;
    for (int i = 0; i < segments; ++i)
        for (int j = i + 2; j < segments; ++j) {
            if (ring && i == 0 && j == segments - 1)
                continue;
            for (const auto& o : {std::vector<point_t>{at(i + 1), at(i), at(j + 1), at(j)},
                                  std::vector<point_t>{at(j + 1), at(j), at(i + 1), at(i)}}) {
                point_t c{};
                if (relation_lines_cross(&c, o[0], o[1], o[2], o[3]) != 0)
                    continue;
                bool at_end = false;
                for (const point_t& end : o)
                    at_end = at_end || com_points_same(c, end) == 0;
                codes.push_back(at_end ? 1 : 2);
                break;
            }
        }
    return codes;
}

// The sweep finds no contact exactly when all pairs have none, and reports a kind that occurs.
bool sweep_agrees(int sweep, const std::vector<int>& contacts) {
    return contacts.empty() ? sweep == 0
                            : std::find(contacts.begin(), contacts.end(), sweep) != contacts.end();
}

TEST(SelfContactSweep, AgreesWithAllPairsOnRandomShapes) {
    const unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    for (int round = 0; round < 3000 && !HasFailure(); ++round) {
        std::vector<Xy> points(testing_shapes::random_int(rng, 3, 9));
        for (Xy& v : points)
            v = Xy{double(testing_shapes::random_int(rng, 0, 12)),
                   double(testing_shapes::random_int(rng, 0, 12))};
        const std::string text =
            "seed " + std::to_string(seed) + ": " + testing_shapes::text_of(points);
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
