// Earth measures: distances with the latitude-dependent radius, Heron areas, polygon areas.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "mapgeom/measure.h"
#include "shapes.h"

using testing_shapes::pt;
using testing_shapes::Xy;

namespace {

constexpr double kUnitsPerDegree = 9216000.0;
constexpr double kPi = 3.1415927;

TEST(EarthDistance, OneDegreeOfLatitudeAtEquatorAndPoles) {
    // R = 6378137 m at the equator, 6356752 m at either pole.
    const struct {
        double lat_from, lat_to, metres;
    } cases[] = {{0, 1, 6378137.0 * kPi / 180},
                 {0, -1, 6378137.0 * kPi / 180},
                 {90, 89, 6356752.0 * kPi / 180},
                 {-90, -89, 6356752.0 * kPi / 180}};
    for (const auto& c : cases) {
        double d = calc_points_distance_onearth(pt(0, c.lat_from * kUnitsPerDegree),
                                                pt(0, c.lat_to * kUnitsPerDegree));
        EXPECT_NEAR(d, c.metres, 1e-6) << c.lat_from << " -> " << c.lat_to;
    }
    EXPECT_NEAR(calc_points_distance_onearth(pt(0, 0), pt(0, kUnitsPerDegree)), 111319.0, 1.0);
}

TEST(EarthDistance, LongitudeShrinksWithTheFirstPointsLatitude) {
    point_t a = pt(0, 60 * kUnitsPerDegree);
    point_t b = pt(kUnitsPerDegree, 60 * kUnitsPerDegree);
    double radius_60 = 6356752.0 + 30.0 * 21385.0 / 90.0;
    EXPECT_NEAR(calc_points_distance_onearth(a, b),
                radius_60 * kPi / 180 * std::cos(60 * kPi / 180), 1e-6);
    // Asymmetric: the reverse direction takes the other point's latitude.
    point_t c = pt(kUnitsPerDegree, 61 * kUnitsPerDegree);
    EXPECT_NE(calc_points_distance_onearth(a, c), calc_points_distance_onearth(c, a));
}

TEST(HeronArea, RightTriangleNearTheEquator) {
    double leg = 0.01 * kUnitsPerDegree;  // about 1113 m
    double area = calc_triangle_area_by_halen(pt(0, 0), pt(leg, 0), pt(0, leg));
    double metres = 6378137.0 * kPi / 180 * 0.01;
    EXPECT_NEAR(area, metres * metres / 2, metres * metres * 1e-6);
    EXPECT_NEAR(calc_triangle_area_by_halen(pt(0, 0), pt(leg, 0), pt(2 * leg, 0)), 0.0, 1e-3);
}

std::vector<Xy> reversed(std::vector<Xy> ring) {
    return std::vector<Xy>(ring.rbegin(), ring.rend());
}

TEST(PolygonArea, SameForBothOrientations) {
    // Edges along a parallel, or spanning the equator symmetrically, measure the same both ways,
    // so this rectangle's area cannot depend on its orientation at all.
    double h = 0.02 * kUnitsPerDegree, w = 0.03 * kUnitsPerDegree;
    std::vector<Xy> rect{{0, -h}, {w, -h}, {w, h}, {0, h}, {0, -h}};
    testing_shapes::Polygon ccw(rect), cw(reversed(rect));
    double area = calc_polygon_area(ccw.get());
    double metres_per_unit = 6378137.0 * kPi / 180 / kUnitsPerDegree;
    EXPECT_NEAR(area, 2 * h * w * metres_per_unit * metres_per_unit, area * 1e-3);
    EXPECT_NEAR(calc_polygon_area(cw.get()), area, area * 1e-12);
}

TEST(PolygonArea, ConcaveRingAgreesWithScaledPlaneArea) {
    // A concave ring at 40 degrees north, about 5 km across. Earth distances take the first
    // point's latitude, so reversal and decomposition move the area by about 1e-4 of itself.
    double y0 = 40 * kUnitsPerDegree, s = 1000;
    std::vector<Xy> ring{
        {0, y0},          {60 * s, y0}, {60 * s, y0 + 50 * s}, {30 * s, y0 + 20 * s},
        {0, y0 + 50 * s}, {0, y0}};
    testing_shapes::Polygon ccw(ring), cw(reversed(ring));
    double area = calc_polygon_area(ccw.get());
    double radius = 6356752.0 + 50.0 * 21385.0 / 90.0;
    double unit = radius * kPi / 180 / kUnitsPerDegree;
    double scaled_plane = testing_shapes::plane_signed_area(&ccw.get()->geom) * unit * unit *
                          std::cos(40 * kPi / 180);
    EXPECT_NEAR(area, scaled_plane, area * 1e-3);
    EXPECT_NEAR(calc_polygon_area(cw.get()), area, area * 2e-4);
    testing_shapes::Polygon box{{0, y0}, {60 * s, y0}, {60 * s, y0 + 50 * s}, {0, y0 + 50 * s}};
    testing_shapes::Polygon notch{{0, y0 + 50 * s}, {30 * s, y0 + 20 * s}, {60 * s, y0 + 50 * s}};
    EXPECT_NEAR(calc_polygon_area(box.get()) - calc_polygon_area(notch.get()), area, area * 1e-3);
    testing_shapes::Polygon empty;
    EXPECT_EQ(calc_polygon_area(empty.get()), 0.0);
}

}  // namespace
