// Road helpers through the public API: pinned bearings, index insertion, walks past the end and
// cuts, points to either side of a line, the refusals of points off the line and of zero-length
// lines, and seeded random road-like walks at several latitudes whose distances and bearings are
// recomputed here from degrees (great-circle with the library's radius model) and from atan2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/measure.h"
#include "mapgeom/partition.h"
#include "mapgeom/road.h"
#include "random_shapes.h"
#include "shape_text.h"
#include "shapes.h"

namespace {

using namespace testing_shapes;

constexpr double kUnitsPerDegree = 9216000.0;
constexpr double kRadiansPerDegree = M_PI / 180.0;
const point_t kUntouched{-7.0, -7.0, -7.0};

// Earth radius of the library's model at a latitude in degrees (pole 6356752 m, equator 6378137).
double radius_at(double latitude) {
    return 6356752.0 + (90.0 - std::fabs(latitude)) * 21385.0 / 90.0;
}

// Great-circle distance in metres (haversine) with the radius at a's latitude.
double haversine(point_t a, point_t b) {
    double lat_a = a.y / kUnitsPerDegree * kRadiansPerDegree;
    double lat_b = b.y / kUnitsPerDegree * kRadiansPerDegree;
    double dlon = (b.x - a.x) / kUnitsPerDegree * kRadiansPerDegree;
    double h = std::pow(std::sin((lat_b - lat_a) / 2.0), 2) +
               std::cos(lat_a) * std::cos(lat_b) * std::pow(std::sin(dlon / 2.0), 2);
    return 2.0 * radius_at(a.y / kUnitsPerDegree) * std::asin(std::sqrt(h));
}

// What the library's flat measure may differ from the great circle by over a stretch of the
// segment a-b: it takes the cosine of latitude at one end of the segment, which differs from the
// cosine anywhere along it by at most tan(lat) * (the segment's latitude change) relatively; plus
// a part per million for everything of second order.
double flat_error_bound(point_t a, point_t b, double stretch) {
    double lat = std::max(std::fabs(a.y), std::fabs(b.y)) / kUnitsPerDegree * kRadiansPerDegree;
    double dlat = std::fabs(b.y - a.y) / kUnitsPerDegree * kRadiansPerDegree;
    return stretch * (std::tan(lat) * dlat + 1e-6);
}

std::string text_of_point(point_t p) {
    return text_of(std::vector<Xy>{{p.x, p.y, p.z}});
}

// The difference of two bearings, 0 .. 180.
double bearing_gap(double a, double b) {
    double gap = std::fmod(std::fabs(a - b), 360.0);
    return std::min(gap, 360.0 - gap);
}

// Bearing in coordinates, clockwise from north, 0 .. 360.
double atan2_bearing(point_t from, point_t to) {
    double b = std::atan2(to.x - from.x, to.y - from.y) / kRadiansPerDegree;
    return b < 0.0 ? b + 360.0 : b;
}

// A road-like walk: steps of 20 to 150 metres, heading changing by up to 20 degrees per step.
std::vector<Xy> road_walk(std::mt19937& rng, double latitude, int n) {
    double metres_per_unit = radius_at(latitude) * kRadiansPerDegree / kUnitsPerDegree;
    double cos_lat = std::cos(latitude * kRadiansPerDegree);
    std::vector<Xy> walk{{116.0 * kUnitsPerDegree, latitude * kUnitsPerDegree}};
    double heading = random_real(rng, 0.0, 2.0 * M_PI);
    for (int i = 1; i < n; ++i) {
        heading += random_real(rng, -0.35, 0.35);
        double step = random_real(rng, 20.0, 150.0) / metres_per_unit;
        walk.push_back({std::round(walk.back().x + step * std::sin(heading) / cos_lat),
                        std::round(walk.back().y + step * std::cos(heading))});
    }
    return walk;
}

// The arc length (great circle) from vertex `from` to q along the line, q lying on the segment
// nearest to it at or after `from`; *bound receives the allowance of the flat measure over it.
double arc_length_to(const std::vector<Xy>& line, int from, point_t q, double* bound) {
    int best = from;
    double best_gap = INFINITY;
    for (int i = from; i + 1 < static_cast<int>(line.size()); ++i) {
        point_t a = pt(line[i]), b = pt(line[i + 1]);
        double dx = b.x - a.x, dy = b.y - a.y;
        double t = std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / (dx * dx + dy * dy), 0., 1.);
        double gap = std::hypot(a.x + t * dx - q.x, a.y + t * dy - q.y);
        if (gap < best_gap - 1e-9) {
            best_gap = gap;
            best = i;
        }
    }
    double length = 0.0;
    *bound = 0.0;
    for (int i = from; i < best; ++i) {
        double segment = haversine(pt(line[i]), pt(line[i + 1]));
        length += segment;
        *bound += flat_error_bound(pt(line[i]), pt(line[i + 1]), segment);
    }
    double rest = haversine(pt(line[best]), q);
    *bound += flat_error_bound(pt(line[best]), pt(line[best + 1]), rest);
    return length + rest;
}

TEST(RoadBearings, NeighboursDueEastSouthWestNorth) {
    struct Case {
        double dx, dy, bearing;
    } cases[] = {{1000, 0, 90}, {0, -1000, 180}, {-1000, 0, 270}, {0, 1000, 0}, {1000, 1000, 45}};
    for (const Case& c : cases) {
        point_t p = pt(5000, 7000), q = pt(5000 + c.dx, 7000 + c.dy);
        Polyline from_p({{p.x, p.y}, {q.x, q.y}}), to_p({{q.x, q.y}, {p.x, p.y}});
        Polyline through_p({{2 * p.x - q.x, 2 * p.y - q.y}, {p.x, p.y}, {q.x, q.y}});
        double back_expected = std::fmod(c.bearing + 180.0, 360.0);
        double forward = -1, backward = -1;
        ASSERT_EQ(calc_point_at_polyline_angle(from_p.get(), &forward, &backward, p), 0);
        EXPECT_LE(bearing_gap(forward, c.bearing), 1e-4)
            << "first point, step " << c.dx << " " << c.dy;
        EXPECT_LE(bearing_gap(backward, back_expected), 1e-4);
        ASSERT_EQ(calc_point_at_polyline_angle(to_p.get(), &forward, &backward, p), 0);
        EXPECT_LE(bearing_gap(backward, c.bearing), 1e-4) << "last point";
        EXPECT_LE(bearing_gap(forward, back_expected), 1e-4);
        ASSERT_EQ(calc_point_at_polyline_angle(through_p.get(), &forward, &backward, p), 0);
        EXPECT_LE(bearing_gap(forward, c.bearing), 1e-4) << "middle point";
        EXPECT_LE(bearing_gap(backward, back_expected), 1e-4);
    }
}

TEST(RoadIndex, VerticesMatchAndSegmentsTakeTheInsertedPoint) {
    struct Case {
        Xy p;
        int index, count_after;
    } cases[] = {
        {{1.4, 1.4}, 0, 3},  // within 1.5 of vertex 0 in x and in y
        {{50, 1.2}, 1, 4},   // near the first segment: inserted as vertex 1
        {{100, 30}, 2, 4},   // on the second segment: inserted as vertex 2
        {{99, 1}, 1, 3},     // vertex 1 within the tolerance: no insertion
        {{50, 1.6}, -1, 3},  // beyond the tolerance
        {{-3, 0}, -1, 3},    // before the first end
    };
    for (const Case& c : cases) {
        Polyline line({{0, 0}, {100, 0}, {100, 100}});
        EXPECT_EQ(get_point_at_polyline_index(line.get(), pt(c.p)), c.index)
            << c.p.x << " " << c.p.y;
        EXPECT_EQ(com_polyline_num(line.get()), c.count_after) << c.p.x << " " << c.p.y;
        if (c.count_after == 4) {
            point_t inserted = com_polyline_at(line.get(), c.index);
            EXPECT_EQ(text_of_point(inserted), text_of_point(pt(c.p)));
        }
    }
}

TEST(RoadPointsAlong, EndsVerticesAndRefusals) {
    // Two segments northwards at 30 degrees latitude; lengths measured as the library does.
    Polyline line({{0, 276480000}, {0, 276490000, 5}, {0, 276500000, 3}});
    point_t a = com_polyline_at(line.get(), 0), b = com_polyline_at(line.get(), 1);
    double first_length = calc_points_distance_onearth(b, a);
    point_t out = kUntouched;
    ASSERT_EQ(get_point_at_polyline(1e7, &out, line.get(), a), 0);
    EXPECT_EQ(text_of_point(out), "0 276500000 3") << "past the end: last point";
    ASSERT_EQ(get_point_at_polyline(first_length, &out, line.get(), a), 0);
    EXPECT_EQ(text_of_point(out), "0 276490000 5") << "exactly a vertex";
    ASSERT_EQ(get_point_at_polyline(first_length / 4.0, &out, line.get(), a), 0);
    EXPECT_NEAR(out.y, 276482500, 1e-3);
    ASSERT_EQ(get_point_at_polyline(-5.0, &out, line.get(), a), 0);
    EXPECT_NEAR(out.y, a.y, 1e-6) << "negative distances count as 0";

    point_t off = pt(500, 276485000);
    double forward = -1, backward = -1;
    out = kUntouched;
    EXPECT_EQ(get_point_at_polyline(10.0, &out, line.get(), off), -1);
    EXPECT_EQ(calc_point_at_polyline_angle(line.get(), &forward, &backward, off), -1);
    EXPECT_EQ(text_of_point(out), "-7 -7 -7");
    EXPECT_EQ(forward, -1);
    EXPECT_EQ(backward, -1);
    EXPECT_EQ(com_polyline_num(line.get()), 3) << "the caller's line is only read";

    // A line of one place: no bearing, no sides, and a point at a segment of zero length.
    Polyline dot({{10, 10}, {10, 10}, {10.5, 10}});
    EXPECT_EQ(calc_point_at_polyline_angle(dot.get(), &forward, &backward, pt(10, 10)), -1);
    point_t first = kUntouched, second = kUntouched;
    EXPECT_EQ(get_apeak_polyline(dot.get(), &first, &second, 5.0), -1);
    EXPECT_EQ(get_apeak_points(5.0, &first, &second, pt(3, 3), pt(3, 3)), -1);
    EXPECT_EQ(text_of_point(first) + ", " + text_of_point(second), "-7 -7 -7, -7 -7 -7");
    point_t same = calc_point_at_line(10.0, pt(3, 3, 1), pt(3, 3));
    EXPECT_EQ(text_of_point(same), "3 3 0");
    Polyline empty;
    EXPECT_EQ(calc_point_to_polyline_apeakpt(empty.get(), &out, pt(0, 0)), -1.0);
}

TEST(RoadSplit, AtOrPastTheLengthGivesOneCopyElseTwoPiecesSharingTheCut) {
    Polyline line({{0, 0}, {5000, 0}, {5000, 8000}});
    double length = calc_polyline_perimeter(line.get());
    for (double d : {length, length * 1.5, length + 1000.0}) {
        Polylines out;
        EXPECT_EQ(split_polyline_by_length(d, line.get(), out.get()), 1) << d;
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(text_of(out.get()), text_of("0 0, 5000 0, 5000 8000"));
    }
    Polylines out;
    double first_segment = calc_points_distance_onearth(pt(5000, 0), pt(0, 0));
    ASSERT_EQ(split_polyline_by_length(first_segment + 20.0, line.get(), out.get()), 0);
    ASSERT_EQ(out.size(), 2);
    polyline_t head = com_polylines_at(out.get(), 0), tail = com_polylines_at(out.get(), 1);
    EXPECT_EQ(com_polyline_num(&head), 3);
    EXPECT_EQ(com_polyline_num(&tail), 2);
    point_t cut = com_polyline_last(&head);
    EXPECT_EQ(text_of_point(cut), text_of_point(com_polyline_front(&tail)));
    EXPECT_NEAR(calc_polyline_perimeter(&head), first_segment + 20.0, 1e-5);
    EXPECT_NEAR(calc_polyline_perimeter(&head) + calc_polyline_perimeter(&tail), length, 1e-5);
    Polyline empty;
    EXPECT_EQ(split_polyline_by_length(1.0, empty.get(), out.get()), -1);
    EXPECT_EQ(out.size(), 2);
}

TEST(RoadSides, PerpendicularPointsAtTheDistance) {
    // A vertical segment: due east and west of its midpoint, d metres away.
    point_t first = kUntouched, second = kUntouched;
    ASSERT_EQ(get_apeak_points(30.0, &first, &second, pt(0, 368640000), pt(0, 368650000)), 0);
    EXPECT_GT(first.x, 0.0);
    EXPECT_EQ(first.y, 368645000);
    EXPECT_EQ(second.x, -first.x);
    EXPECT_NEAR(haversine(pt(0, 368645000), first), 30.0, 1e-3);

    // A straight road of three vertices running east: north and south of its middle, which is not
    // the middle of the segment it lies on.
    Polyline road({{0, 368640000}, {40000, 368640000}, {60000, 368640000}});
    ASSERT_EQ(get_apeak_polyline(road.get(), &first, &second, 12.0), 0);
    EXPECT_NEAR(first.x, 30000, 1e-6);
    EXPECT_NEAR(second.x, 30000, 1e-6);
    EXPECT_GT(first.y, 368640000);
    EXPECT_NEAR(haversine(pt(30000, 368640000), first), 12.0, 1e-3);
    EXPECT_NEAR(haversine(pt(30000, 368640000), second), 12.0, 1e-3);
}

TEST(RoadRandomWalks, DistancesBearingsAndCutsAgreeWithArithmeticFromDegrees) {
    for (double latitude : {0.0, 35.0, 60.0, 80.0, -80.0}) {
        unsigned seed = 1000 + static_cast<unsigned>(latitude + 90.0);
        std::mt19937 rng(seed);
        std::vector<Xy> walk = road_walk(rng, latitude, 40);
        Polyline line(walk);
        SCOPED_TRACE(::testing::Message()
                     << "seed " << seed << " latitude " << latitude << " walk " << text_of(walk));

        // calc_point_difference: the steps of 75 metres east and north.
        double dx = 0, dy = 0;
        point_t start = pt(walk[0]);
        calc_point_difference(75.0, &dx, &dy, start);
        EXPECT_NEAR(haversine(start, pt(start.x + dx, start.y)), 75.0, 75.0 * 1e-5);
        EXPECT_NEAR(haversine(start, pt(start.x, start.y + dy)), 75.0, 75.0 * 1e-5);

        for (int trial = 0; trial < 12; ++trial) {
            int from = random_int(rng, 0, 30);
            double d = random_real(rng, 0.0, 1500.0);
            point_t at = kUntouched;
            ASSERT_EQ(get_point_at_polyline(d, &at, line.get(), pt(walk[from])), 0);
            double bound = 0.0;
            double along = arc_length_to(walk, from, at, &bound);
            if (at.x == walk.back().x && at.y == walk.back().y)
                EXPECT_LE(along, d + bound + 1e-6) << "ended early, from " << from << " d " << d;
            else
                EXPECT_NEAR(along, d, bound + 1e-6) << "from " << from << " d " << d;

            double forward = -1, backward = -1;
            int k = random_int(rng, 1, 38);
            ASSERT_EQ(calc_point_at_polyline_angle(line.get(), &forward, &backward, pt(walk[k])),
                      0);
            EXPECT_LE(bearing_gap(forward, atan2_bearing(pt(walk[k]), pt(walk[k + 1]))), 1e-4) << k;
            EXPECT_LE(bearing_gap(backward, atan2_bearing(pt(walk[k]), pt(walk[k - 1]))), 1e-4)
                << k;

            Polylines pieces;
            if (split_polyline_by_length(d, line.get(), pieces.get()) == 0) {
                polyline_t head = com_polylines_at(pieces.get(), 0);
                std::vector<Xy> head_points = points_of(&head.geom);
                double head_bound = 0.0;
                double head_length = arc_length_to(walk, 0, pt(head_points.back()), &head_bound);
                EXPECT_NEAR(head_length, d, head_bound + 1e-6) << "cut at " << d;
            }
        }
    }
}

}  // namespace
