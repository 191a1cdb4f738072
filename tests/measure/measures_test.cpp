// Plane and earth measures: angles, feet, distances to segments and polylines, triangle areas,
// extents, and distances and areas on the earth with the latitude-dependent radius.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "mapgeom/measure.h"
#include "point_text.h"
#include "shapes.h"

using namespace testing_shapes;

namespace {

TEST(PointsAngle, RightStraightClampedAndDegenerate) {
    EXPECT_NEAR(calc_points_angle(pt(1, 0), pt(0, 0), pt(0, 1)), 90.0, 1e-5);
    EXPECT_NEAR(calc_points_angle(pt(-3, 0), pt(0, 0), pt(5, 0)), 180.0, 1e-5);
    // Collinear arms where rounding carries the cosine just past -1 or +1: clamped, not NaN.
    EXPECT_EQ(calc_points_angle(pt(-1160.893198247294, -2254.4401676275934), pt(0, 0),
                                pt(255.14351883684773, 495.4855435832318)),
              180.0 * std::acos(-1.0) / 3.1415927);
    EXPECT_EQ(calc_points_angle(pt(124.71251593857396, 3664.3954909003937), pt(0, 0),
                                pt(28.44464177435411, 835.7815274094777)),
              0.0);
    EXPECT_TRUE(std::isnan(calc_points_angle(pt(0, 0), pt(0, 0), pt(1, 0))));
}

void expect_point(point_t got, const Xy& want, const char* text) {
    EXPECT_TRUE(std::fabs(got.x - want.x) < 1e-9 && std::fabs(got.y - want.y) < 1e-9 &&
                got.z == want.z)
        << text << ": got " << got.x << " " << got.y << " " << got.z;
}

// "p, a, b, foot": vertical, a == b (the vertical branch), horizontal, shallow and steep lines; the
// foot has code 0. Then "p, nearest" on a polyline whose vertices carry codes: feet on either
// segment, the shared vertex, the start, and a tie the earlier segment wins.
TEST(NearestPoints, FeetOnEveryKindOfLineAndOnAPolyline) {
    for (const char* text : {"3 7, 2 0, 2 10, 2 7", "3 7, 5 5, 5 5, 5 7", "3 7, 0 1, 10 1, 3 1",
                             "0 5, 0 0, 10 5, 2 1", "5 0 9, 0 0, 5 10, 1 2"}) {
        const std::vector<Xy> v = pts(text);
        expect_point(calc_point_to_line_apeakpt(pt(v[0]), pt(v[1]), pt(v[2])), v[3], text);
    }
    Polyline line(pts("0 0 2, 10 0 7, 10 10 3"));
    for (const char* text :
         {"4 3, 4 0", "13 6, 10 6", "12 -3, 10 0 7", "-2 -1, 0 0 2", "5 5, 5 0"}) {
        const std::vector<Xy> v = pts(text);
        expect_point(calc_point_to_polyline_distance(line.get(), pt(v[0])), v[1], text);
    }
}

TEST(PointToLineDistance, PerpendicularWithinGrownBoxElseNearerEnd) {
    const struct {
        point_t p, a, b;
        double permit, distance;
    } cases[] = {{pt(5, 5), pt(0, 0), pt(10, 0), 0.01, 5},
                 {pt(20, 1), pt(0, 0), pt(10, 0), 0.01, std::sqrt(101.0)},
                 // horizontal: x exactly at the grown bound counts, beyond it the endpoint distance
                 {pt(10.5, 3), pt(0, 0), pt(10, 0), 0.5, 3},
                 {pt(10.75, 3), pt(0, 0), pt(10, 0), 0.5, std::hypot(0.75, 3)},
                 {pt(-0.5, -3), pt(10, 0), pt(0, 0), 0.5, 3},
                 // vertical
                 {pt(4, -0.5), pt(0, 0), pt(0, 10), 0.5, 4},
                 {pt(4, -0.75), pt(0, 0), pt(0, 10), 0.5, std::hypot(4, 0.75)},
                 // sloped: foot (8.5, 8.5) on the grown corner counts, (8.75, 8.75) does not
                 {pt(10.5, 6.5), pt(0, 0), pt(8, 8), 0.5, std::sqrt(8.0)},
                 {pt(10.75, 6.75), pt(0, 0), pt(8, 8), 0.5, std::hypot(2.75, 1.25)}};
    for (const auto& c : cases)
        EXPECT_NEAR(calc_point_to_line_distance_by_permit(c.p, c.a, c.b, c.permit), c.distance,
                    1e-12)
            << "p (" << c.p.x << "," << c.p.y << ")";
}

TEST(TriangleAndExtent, SignFollowsOrientationAndMembersTheirOrder) {
    EXPECT_EQ(calc_triangle_area_by_vector(pt(0, 0), pt(0, 1), pt(1, 0)), 0.5);
    EXPECT_EQ(calc_triangle_area_by_vector(pt(1, 0), pt(0, 1), pt(0, 0)), -0.5);
    EXPECT_EQ(calc_plough_around_point(pt(1, 2, 5), pt(3, 8, 5), pt(99, 99)).y, 5.0);
    Polygon ring{{2, 5}, {-1, 7}, {4, -3}, {0, 1}};
    rectangle_t r = calc_polygon_exrectangle(ring.get());
    EXPECT_EQ((std::array<double, 4>{r.min_y, r.max_y, r.min_x, r.max_x}),
              (std::array<double, 4>{-3, 7, -1, 4}));
}

constexpr double kUnitsPerDegree = 9216000.0;
constexpr double kPi = 3.1415927;
constexpr double kEquatorRadius = 6378137.0, kPoleRadius = 6356752.0;

// One degree of latitude from the equator either way and from either pole (the radius follows
// |latitude|); along a parallel the first point's latitude sets both radius and scale.
TEST(EarthDistance, RadiusFromTheFirstPointsLatitude) {
    const struct {
        double lat_from, lat_to, radius;
    } cases[] = {{0, 1, kEquatorRadius},
                 {0, -1, kEquatorRadius},
                 {90, 89, kPoleRadius},
                 {-90, -89, kPoleRadius}};
    for (const auto& c : cases)
        EXPECT_NEAR(calc_points_distance_onearth(pt(0, c.lat_from * kUnitsPerDegree),
                                                 pt(0, c.lat_to * kUnitsPerDegree)),
                    c.radius * kPi / 180, 1e-6)
            << c.lat_from << " -> " << c.lat_to;
    EXPECT_NEAR(calc_points_distance_onearth(pt(0, 0), pt(0, kUnitsPerDegree)), 111319.0, 1.0);
    point_t a = pt(0, 60 * kUnitsPerDegree), b = pt(kUnitsPerDegree, 60 * kUnitsPerDegree);
    double radius_60 = kPoleRadius + 30.0 * 21385.0 / 90.0;
    EXPECT_NEAR(calc_points_distance_onearth(a, b),
                radius_60 * kPi / 180 * std::cos(60 * kPi / 180), 1e-6);
    point_t c = pt(kUnitsPerDegree, 61 * kUnitsPerDegree);
    EXPECT_NE(calc_points_distance_onearth(a, c), calc_points_distance_onearth(c, a));
}

TEST(EarthArea, HeronTrianglesAndRingsOfEitherOrientation) {
    double leg = 0.01 * kUnitsPerDegree, metres = kEquatorRadius * kPi / 180 * 0.01;
    EXPECT_NEAR(calc_triangle_area_by_halen(pt(0, 0), pt(leg, 0), pt(0, leg)), metres * metres / 2,
                metres * metres * 1e-6);
    EXPECT_NEAR(calc_triangle_area_by_halen(pt(0, 0), pt(leg, 0), pt(2 * leg, 0)), 0.0, 1e-3);

    // Edges along a parallel or spanning the equator symmetrically: no orientation dependence.
    Polygon ccw(pts("0 -184320, 276480 -184320, 276480 184320, 0 184320"));
    Polygon cw(pts("0 -184320, 0 184320, 276480 184320, 276480 -184320"));
    double unit = kEquatorRadius * kPi / 180 / kUnitsPerDegree;
    double area = calc_polygon_area(ccw.get());
    EXPECT_NEAR(area, 2.0 * 184320 * 276480 * unit * unit, area * 1e-3);
    EXPECT_NEAR(calc_polygon_area(cw.get()), area, area * 1e-12);

    // A concave ring at 40 degrees north (plane area 2.1e9: a box less its notch), about 5 km
    // across; the first point's latitude sets each distance, so orientation moves it by ~1e-4.
    Polygon notched(
        pts("0 368640000, 60000 368640000, 60000 368690000, 30000 368660000, 0 368690000"));
    Polygon reversed(
        pts("0 368640000, 0 368690000, 30000 368660000, 60000 368690000, 60000 368640000"));
    Polygon box(pts("0 368640000, 60000 368640000, 60000 368690000, 0 368690000"));
    Polygon notch(pts("0 368690000, 30000 368660000, 60000 368690000"));
    area = calc_polygon_area(notched.get());
    unit = (kPoleRadius + 50.0 * 21385.0 / 90.0) * kPi / 180 / kUnitsPerDegree;
    EXPECT_NEAR(area, 2.1e9 * unit * unit * std::cos(40 * kPi / 180), area * 1e-3);
    EXPECT_NEAR(calc_polygon_area(reversed.get()), area, area * 2e-4);
    EXPECT_NEAR(calc_polygon_area(box.get()) - calc_polygon_area(notch.get()), area, area * 1e-3);
    EXPECT_EQ(calc_polygon_area(Polygon().get()), 0.0);
}

}  // namespace
