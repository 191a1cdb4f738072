// Earth measures: distances with the latitude-dependent radius, Heron areas, polygon areas.
#include <gtest/gtest.h>

#include <cmath>

#include "mapgeom/measure.h"
#include "point_text.h"
#include "shapes.h"

using testing_shapes::Polygon;
using testing_shapes::pt;

namespace {

constexpr double kUnitsPerDegree = 9216000.0;
constexpr double kPi = 3.1415927;
constexpr double kEquatorRadius = 6378137.0, kPoleRadius = 6356752.0;

// One degree of latitude from the equator either way, and from either pole: R = 6378137 m at the
// equator, 6356752 m at both poles (the radius follows |latitude|).
TEST(EarthDistance, OneDegreeOfLatitudeAtEquatorAndPoles) {
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
}

TEST(EarthDistance, LongitudeShrinksWithTheFirstPointsLatitude) {
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

    // Edges along a parallel or spanning the equator symmetrically measure the same both ways, so
    // this rectangle's area cannot depend on its orientation at all.
    Polygon ccw(testing_shapes::pts("0 -184320, 276480 -184320, 276480 184320, 0 184320"));
    Polygon cw(testing_shapes::pts("0 -184320, 0 184320, 276480 184320, 276480 -184320"));
    double unit = kEquatorRadius * kPi / 180 / kUnitsPerDegree;
    double area = calc_polygon_area(ccw.get());
    EXPECT_NEAR(area, 2.0 * 184320 * 276480 * unit * unit, area * 1e-3);
    EXPECT_NEAR(calc_polygon_area(cw.get()), area, area * 1e-12);

    // A concave ring at 40 degrees north, about 5 km across: triangles of both signs. The first
    // point's latitude sets each distance, so reversal and decomposition move it by ~1e-4.
    // Plane area: the 60000 x 50000 box less the 60000 x 30000 triangle of the notch, 2.1e9.
    Polygon notched(testing_shapes::pts(
        "0 368640000, 60000 368640000, 60000 368690000, 30000 368660000, 0 368690000"));
    Polygon reversed(testing_shapes::pts(
        "0 368640000, 0 368690000, 30000 368660000, 60000 368690000, 60000 368640000"));
    Polygon box(testing_shapes::pts("0 368640000, 60000 368640000, 60000 368690000, 0 368690000"));
    Polygon notch(testing_shapes::pts("0 368690000, 30000 368660000, 60000 368690000"));
    area = calc_polygon_area(notched.get());
    unit = (kPoleRadius + 50.0 * 21385.0 / 90.0) * kPi / 180 / kUnitsPerDegree;
    EXPECT_NEAR(area, 2.1e9 * unit * unit * std::cos(40 * kPi / 180), area * 1e-3);
    EXPECT_NEAR(calc_polygon_area(reversed.get()), area, area * 2e-4);
    EXPECT_NEAR(calc_polygon_area(box.get()) - calc_polygon_area(notch.get()), area, area * 1e-3);
    EXPECT_EQ(calc_polygon_area(Polygon().get()), 0.0);
}

}  // namespace
