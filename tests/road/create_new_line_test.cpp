// The middle line of two road edges through the public API: pinned pairs (parallel lines, a
// reversed edge, rings of opposite orientation, refusals), and seeded random roads whose two edges
// are offset copies of a centre line (by the library's doubling and by exact mitred offsets): the
// middle line must run along the centre line within a small tolerance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/optimize.h"
#include "mapgeom/road.h"
#include "random_shapes.h"
#include "shape_text.h"
#include "shapes.h"

namespace {

using namespace testing_shapes;

// The middle line of a and b as text, with the result code in front.
std::string middle_of(const std::vector<Xy>& a, const std::vector<Xy>& b) {
    Polyline line_a(a), line_b(b), out;
    int result = create_new_line(line_a.get(), line_b.get(), out.get());
    return std::to_string(result) + ": " + text_of(&out.get()->geom);
}

std::vector<Xy> reversed(std::vector<Xy> points) {
    std::reverse(points.begin(), points.end());
    return points;
}

double segment_distance(Xy p, Xy a, Xy b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double length2 = dx * dx + dy * dy;
    double t =
        length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0., 1.) : 0.0;
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

double distance_to_line(Xy p, const std::vector<Xy>& line) {
    double best = INFINITY;
    for (size_t i = 0; i + 1 < line.size(); ++i)
        best = std::min(best, segment_distance(p, line[i], line[i + 1]));
    return best;
}

// The largest distance of a vertex of `points` from `line`.
double farthest_from(const std::vector<Xy>& points, const std::vector<Xy>& line) {
    double worst = 0.0;
    for (const Xy& p : points)
        worst = std::max(worst, distance_to_line(p, line));
    return worst;
}

// The reduction truncates both edges to whole units, which moves a midpoint by less than one unit
// in x and in y.
constexpr double kTruncation = 1.5;

// A centre line of n vertices running eastwards: segments of 2000 to 5000 units turning by 20 to
// 60 degrees each time, the heading kept within 70 degrees of east (so the line never doubles
// back). Every vertex turns enough for the default reduction to keep it.
std::vector<Xy> random_centre_line(std::mt19937& rng, int n) {
    std::vector<Xy> line{{1072742400, 367718400}};
    const double limit = 70.0 * M_PI / 180.0;
    double heading = random_real(rng, -0.5, 0.5);
    for (int i = 1; i < n; ++i) {
        if (i > 1) {
            double turn = random_real(rng, 20.0, 60.0) * M_PI / 180.0;
            if (random_int(rng, 0, 1) == 1)
                turn = -turn;
            if (std::fabs(heading + turn) > limit)
                turn = -turn;
            heading += turn;
        }
        double step = random_real(rng, 2000.0, 5000.0);
        line.push_back({std::round(line.back().x + step * std::cos(heading)),
                        std::round(line.back().y + step * std::sin(heading))});
    }
    return line;
}

// The exact parallel of the line at signed distance d (left when positive), mitred at vertices.
std::vector<Xy> mitred_offset(const std::vector<Xy>& line, double d) {
    auto normal = [&](size_t i) {
        double dx = line[i + 1].x - line[i].x, dy = line[i + 1].y - line[i].y;
        double length = std::hypot(dx, dy);
        return Xy{-dy / length, dx / length};
    };
    std::vector<Xy> out;
    for (size_t i = 0; i < line.size(); ++i) {
        Xy before = normal(i > 0 ? i - 1 : 0), after = normal(i + 1 < line.size() ? i : i - 1);
        double scale = d / (1.0 + before.x * after.x + before.y * after.y);
        out.push_back(
            {line[i].x + (before.x + after.x) * scale, line[i].y + (before.y + after.y) * scale});
    }
    return out;
}

TEST(MiddleLine, PinnedPairs) {
    std::vector<Xy> south{{0, 0}, {10000, 0}}, north{{0, 1000}, {10000, 1000}};
    EXPECT_EQ(middle_of(south, north), "0: " + text_of("0 500, 10000 500"));
    EXPECT_EQ(middle_of(south, reversed(north)), "0: " + text_of("0 500, 10000 500"))
        << "an edge given the other way round is turned first";

    // An outer and an inner road edge around an octagonal block, the inner one clockwise: turned
    // to run counter-clockwise like the outer one, then the middle runs along the middle ring.
    std::vector<Xy> outer, inner_cw, centre;
    for (int k = 0; k <= 8; ++k) {
        double angle = M_PI / 4.0 * k;
        outer.push_back({std::round(20000 * std::cos(angle)), std::round(20000 * std::sin(angle))});
        inner_cw.push_back(
            {std::round(18000 * std::cos(-angle)), std::round(18000 * std::sin(-angle))});
    }
    std::vector<Xy> inner_ccw = reversed(inner_cw);
    for (size_t k = 0; k < outer.size(); ++k)
        centre.push_back({(outer[k].x + inner_ccw[k].x) / 2, (outer[k].y + inner_ccw[k].y) / 2});
    std::string around = middle_of(outer, inner_ccw);
    EXPECT_EQ(middle_of(outer, inner_cw), around);
    Polyline a(outer), b(inner_cw), out;
    ASSERT_EQ(create_new_line(a.get(), b.get(), out.get()), 0);
    std::vector<Xy> middle = points_of(&out.get()->geom);
    EXPECT_LE(farthest_from(middle, centre), kTruncation) << around;
    EXPECT_LE(farthest_from(centre, middle), 1000.0) << around;

    EXPECT_EQ(middle_of({{5, 5}}, north), "-1: ");
    EXPECT_EQ(middle_of(south, {{7, 7}, {7, 7}}), "-1: ");
    Polyline one({{5, 5}}), two(north), kept({{1, 2, 3}});
    EXPECT_EQ(create_new_line(one.get(), two.get(), kept.get()), -1);
    EXPECT_EQ(create_new_line(nullptr, two.get(), kept.get()), -1);
    Polyline first(south);
    ASSERT_EQ(create_new_line(first.get(), two.get(), kept.get()), 0);
    EXPECT_EQ(text_of(&kept.get()->geom), text_of("1 2 3, 0 500, 10000 500"))
        << "appended after the caller's points";
}

TEST(MiddleLine, OffsetCopiesOfARandomLineGiveTheLineBack) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> centre = random_centre_line(rng, random_int(rng, 3, 14));
        double d = random_real(rng, 100.0, 400.0);
        Polyline line(centre), left, right;
        ASSERT_EQ(optimize_polyline_double(line.get(), d, left.get(), right.get()), 0);
        // The middle's points lie on the centre line. The doubling shifts each vertex along one
        // axis only, so its edges are not parallel to the centre line and the middle strays by a
        // fraction of d; exact offsets leave only the truncation. At a corner the middle runs from
        // a point before it to a point after it, cutting the corner by less than d.
        struct Pair {
            const char* how;
            std::vector<Xy> a, b;
            double stray;
        } pairs[] = {
            {"doubling", points_of(&left.get()->geom), points_of(&right.get()->geom), d / 4},
            {"doubling, b reversed", points_of(&right.get()->geom),
             reversed(points_of(&left.get()->geom)), d / 4},
            {"mitred", mitred_offset(centre, d), mitred_offset(centre, -d), kTruncation},
        };
        for (const Pair& pair : pairs) {
            Polyline a(pair.a), b(pair.b), out;
            ASSERT_EQ(create_new_line(a.get(), b.get(), out.get()), 0);
            std::vector<Xy> middle = points_of(&out.get()->geom);
            std::string trace = std::string(pair.how) + ", seed " + std::to_string(seed) + ", d " +
                                std::to_string(d) + "\ncentre " + text_of(centre) + "\nmiddle " +
                                text_of(middle);
            EXPECT_LE(farthest_from(middle, centre), pair.stray) << trace;
            EXPECT_LE(farthest_from(centre, middle), d) << trace;
            EXPECT_LE(std::hypot(middle[0].x - centre[0].x, middle[0].y - centre[0].y), kTruncation)
                << trace;
            EXPECT_LE(
                std::hypot(middle.back().x - centre.back().x, middle.back().y - centre.back().y),
                kTruncation)
                << trace;
        }
    }
}

}  // namespace
