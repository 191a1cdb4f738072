// Road helpers: pinned cases and refusals, random walks against great-circle lengths, and middle
// lines of exact offset copies of blocks, right-angled and random roads.
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

namespace {

using namespace testing_shapes;

constexpr double kUnitsPerDegree = 9216000.0, kRadians = M_PI / 180.0;
const point_t kUntouched{-7.0, -7.0, -7.0};

std::string text(point_t p) {
    return text_of(std::vector<Xy>{{p.x, p.y, p.z}});
}

// Haversine metres, radius of the library's model (6356752 m at the poles to 6378137 m) at a.
double haversine(point_t a, point_t b) {
    auto radians = [](double units) { return units / kUnitsPerDegree * kRadians; };
    double h = std::pow(std::sin(radians(b.y - a.y) / 2), 2) +
               std::cos(radians(a.y)) * std::cos(radians(b.y)) *
                   std::pow(std::sin(radians(b.x - a.x) / 2), 2);
    return 2 * (6356752.0 + (90 - std::fabs(a.y / kUnitsPerDegree)) * 21385.0 / 90) *
           std::asin(std::sqrt(h));
}

double segment_distance(Xy p, Xy a, Xy b) {
    double dx = b.x - a.x, dy = b.y - a.y, length2 = std::max(dx * dx + dy * dy, 1e-300);
    double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0., 1.);
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

// The largest distance of a point of `points` from the polyline `line`.
double farthest_from(const std::vector<Xy>& points, const std::vector<Xy>& line) {
    double worst = 0.0;
    for (const Xy& p : points) {
        double best = INFINITY;
        for (size_t i = 0; i + 1 < line.size(); ++i)
            best = std::min(best, segment_distance(p, line[i], line[i + 1]));
        worst = std::max(worst, best);
    }
    return worst;
}

// Great-circle length from vertex `from` to q, on the nearest segment after it.
double arc_length_to(const std::vector<Xy>& line, int from, point_t q) {
    int last = from;
    for (int i = from + 1; i + 1 < static_cast<int>(line.size()); ++i)
        if (segment_distance({q.x, q.y}, line[i], line[i + 1]) <
            segment_distance({q.x, q.y}, line[last], line[last + 1]) - 1e-9)
            last = i;
    double length = 0.0;
    for (int i = from; i <= last; ++i)
        length += haversine(pt(line[i]), i < last ? pt(line[i + 1]) : q);
    return length;
}

TEST(RoadHelpers, BearingsOfNeighboursAtTheStartMiddleAndEnd) {
    double cases[][3] = {{1, 0, 90}, {0, -1, 180}, {-1, 0, 270}, {0, 1, 0}, {1, 1, 45}};
    for (auto& c : cases) {
        Xy p{5000, 7000}, q{5000 + 900 * c[0], 7000 + 900 * c[1]}, r{2 * p.x - q.x, 2 * p.y - q.y};
        for (const std::vector<Xy>& points : {std::vector<Xy>{p, q}, {r, p, q}, {r, p}}) {
            Polyline line(points);  // p at the start, middle and end
            double forward = -1, backward = -1;
            ASSERT_EQ(calc_point_at_polyline_angle(line.get(), &forward, &backward, pt(p)), 0);
            EXPECT_NEAR(std::remainder(forward - c[2], 360.0), 0.0, 1e-4) << text_of(points);
            EXPECT_NEAR(std::remainder(backward - c[2] - 180, 360.0), 0.0, 1e-4) << text_of(points);
        }
    }
}

TEST(RoadHelpers, IndexMatchesVerticesAndInsertsPointsNearSegments) {
    struct {
        Xy p;
        int index, count;
    } cases[] = {{{1.4, 1.4}, 0, 3}, {{50, 1.2}, 1, 4},  {{100, 30}, 2, 4},
                 {{99, 1}, 1, 3},    {{50, 1.6}, -1, 3}, {{-3, 0}, -1, 3}};
    for (const auto& c : cases) {
        Polyline line({{0, 0}, {100, 0}, {100, 100}});
        EXPECT_EQ(get_point_at_polyline_index(line.get(), pt(c.p)), c.index) << text_of({c.p});
        EXPECT_EQ(com_polyline_num(line.get()), c.count) << text_of({c.p});
        EXPECT_TRUE(c.count == 3 || text(com_polyline_at(line.get(), c.index)) == text(pt(c.p)));
    }
}

TEST(RoadHelpers, EndsVerticesSidesCutsAndRefusals) {
    Polyline line({{0, 276480000}, {0, 276490000, 5}, {0, 276500000, 3}});  // north at 30 degrees
    point_t a = pt(0, 276480000), out = kUntouched, first = kUntouched, second = kUntouched;
    double length = calc_polyline_perimeter(line.get()), forward = -1, backward = -1;
    ASSERT_EQ(get_point_at_polyline(length + 5, &out, line.get(), a), 0);
    EXPECT_EQ(text(out), "0 276500000 3") << "past the end: the last point";
    for (double d : {length, length + 1000}) {
        Polylines pieces;
        EXPECT_EQ(split_polyline_by_length(d, line.get(), pieces.get()), 1);
        EXPECT_EQ(text_of(pieces.get()), text_of(&line.get()->geom));
    }
    // Off the line, and lines of one place: refused with the outputs untouched.
    out = kUntouched;
    EXPECT_EQ(get_point_at_polyline(10.0, &out, line.get(), pt(500, 276485000)), -1);
    EXPECT_EQ(calc_point_at_polyline_angle(line.get(), &forward, &backward, pt(500, 0)), -1);
    Polyline dot({{10, 10}, {10, 10}, {10.5, 10}}), empty;
    EXPECT_EQ(calc_point_at_polyline_angle(dot.get(), &forward, &backward, pt(10, 10)), -1);
    EXPECT_EQ(get_apeak_polyline(dot.get(), &first, &second, 5.0), -1);
    EXPECT_EQ(get_apeak_points(5.0, &first, &second, pt(3, 3), pt(3, 3)), -1);
    EXPECT_EQ(calc_point_to_polyline_apeakpt(empty.get(), &out, pt(0, 0)), -1.0);
    EXPECT_EQ(text(out) + text(first) + text(second), "-7 -7 -7-7 -7 -7-7 -7 -7");
    EXPECT_EQ(forward + backward, -2);
    EXPECT_EQ(text(calc_point_at_line(10.0, pt(3, 3, 1), pt(3, 3))), "3 3 0");
    // A vertical segment gives points due east and west; a straight road of three vertices north
    // and south of its middle (not of the middle of the segment the middle lies on).
    ASSERT_EQ(get_apeak_points(30.0, &first, &second, pt(0, 368640000), pt(0, 368650000)), 0);
    EXPECT_EQ(text(second), text(pt(-first.x, 368645000)));
    EXPECT_NEAR(haversine(pt(0, 368645000), first), 30.0, 1e-3);
    Polyline road({{0, 368640000}, {40000, 368640000}, {60000, 368640000}});
    ASSERT_EQ(get_apeak_polyline(road.get(), &first, &second, 12.0), 0);
    EXPECT_NEAR(haversine(pt(30000, 368640000), first), 12.0, 1e-3);
    EXPECT_NEAR(haversine(pt(30000, 368640000), second), 12.0, 1e-3);
}

TEST(RoadHelpers, RandomWalksAgreeWithArithmeticFromDegrees) {
    for (double latitude : {0.0, 35.0, 60.0, 80.0, -80.0}) {
        unsigned seed = 1000 + static_cast<unsigned>(latitude + 90.0);
        std::mt19937 rng(seed);
        // Steps of 20 to 150 metres, the heading turning by up to 20 degrees per step.
        double metre = kUnitsPerDegree / (6367000.0 * kRadians), heading = random_real(rng, 0, 7);
        std::vector<Xy> walk{{116.0 * kUnitsPerDegree, latitude * kUnitsPerDegree}};
        for (int i = 1; i < 40; ++i) {
            heading += random_real(rng, -0.35, 0.35);
            double step = random_real(rng, 20.0, 150.0) * metre;
            walk.push_back({std::round(walk.back().x +
                                       step * std::sin(heading) / std::cos(latitude * kRadians)),
                            std::round(walk.back().y + step * std::cos(heading))});
        }
        Polyline line(walk);
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " walk " << text_of(walk));
        double dx = 0, dy = 0;
        calc_point_difference(75.0, &dx, &dy, pt(walk[0]));
        EXPECT_NEAR(haversine(pt(walk[0]), pt(walk[0].x + dx, walk[0].y)), 75.0, 1e-3);
        EXPECT_NEAR(haversine(pt(walk[0]), pt(walk[0].x, walk[0].y + dy)), 75.0, 1e-3);
        // Steps under 150 m at |latitude| <= 80: the flat measure takes the cosine of latitude at
        // one end of a segment, off by at most tan 80 * 150 m / R = 1.4e-4 relatively.
        for (int trial = 0; trial < 12; ++trial) {
            int from = random_int(rng, 0, 30);
            double d = random_real(rng, 0.0, 1500.0);
            point_t at = kUntouched;
            ASSERT_EQ(get_point_at_polyline(d, &at, line.get(), pt(walk[from])), 0);
            double along = arc_length_to(walk, from, at);
            bool ended = at.x == walk.back().x && at.y == walk.back().y;
            EXPECT_TRUE(along <= d * 1.00015 && (ended || along >= d * 0.99985))
                << from << " " << d;
            // A cut within 1.5 units (under 2 cm) of a vertex is made at the vertex.
            Polylines pieces;
            if (split_polyline_by_length(d, line.get(), pieces.get()) == 0) {
                point_t cut = com_polylines_at(pieces.get(), 1).geom.points[0];
                EXPECT_NEAR(arc_length_to(walk, 0, cut), d, d * 1.5e-4 + 0.02) << d;
            }
        }
    }
}

// The middle line. The reduction truncates both edges to whole units, which moves a midpoint by
// less than one unit in x and in y.
constexpr double kTruncation = 1.5;

std::vector<Xy> middle_of(const std::vector<Xy>& a, std::vector<Xy> b, bool flip = false) {
    if (flip)
        std::reverse(b.begin(), b.end());
    Polyline line_a(a), line_b(b), out;
    EXPECT_EQ(create_new_line(line_a.get(), line_b.get(), out.get()), 0) << text_of(a);
    return points_of(&out.get()->geom);
}

// The exact parallel at signed distance d (left when positive), mitred at the vertices.
std::vector<Xy> mitred_offset(const std::vector<Xy>& line, double d) {
    std::vector<Xy> out, normals;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        double dx = line[i + 1].x - line[i].x, dy = line[i + 1].y - line[i].y;
        normals.push_back({-dy / std::hypot(dx, dy), dx / std::hypot(dx, dy)});
    }
    for (size_t i = 0; i < line.size(); ++i) {
        Xy u = normals[i > 0 ? i - 1 : 0], v = normals[std::min(i, normals.size() - 1)];
        double scale = d / (1.0 + u.x * v.x + u.y * v.y);
        out.push_back({line[i].x + (u.x + v.x) * scale, line[i].y + (u.y + v.y) * scale});
    }
    return out;
}

// A closed regular n-gon around (5000, 5000) with a vertex at 45 degrees, starting at vertex
// `start`: the 4-gon of radius 5000 sqrt 2 is the square from 0 to 10000. Rings of one n share
// their edge directions, so the ring of the mean radius is their exact centre line.
std::vector<Xy> regular_ring(int n, double radius, int start = 0, bool clockwise = false) {
    std::vector<Xy> ring;
    for (int k = 0; k <= n; ++k) {
        double angle = M_PI / 4 + 2 * M_PI * (start + (clockwise ? -k : k)) / n;
        ring.push_back({std::round(5000 + radius * std::cos(angle)),
                        std::round(5000 + radius * std::sin(angle))});
    }
    return ring;
}

// Both ways: every middle point lies on the centre line, and every centre vertex (corners and
// ends included) lies on the middle line.
void expect_on_centre(const std::vector<Xy>& middle, const std::vector<Xy>& centre) {
    EXPECT_LE(farthest_from(middle, centre), kTruncation) << text_of(middle);
    EXPECT_LE(farthest_from(centre, middle), kTruncation) << text_of(middle);
}

TEST(MiddleLine, PinnedPairsAndRefusals) {
    Polyline a({{0, 0}, {10000, 0}}), b({{0, 1000}, {10000, 1000}}),
        back({{10000, 1000}, {0, 1000}});
    Polyline dot({{5, 5}}), place({{7, 7}, {7, 7}}), kept({{1, 2, 3}});  // place: one place
    EXPECT_EQ(create_new_line(dot.get(), b.get(), kept.get()) +
                  create_new_line(a.get(), place.get(), kept.get()) +
                  create_new_line(nullptr, b.get(), kept.get()),
              -3);
    ASSERT_EQ(create_new_line(a.get(), b.get(), kept.get()), 0);
    ASSERT_EQ(create_new_line(a.get(), back.get(), kept.get()), 0);
    // Appended after the caller's point; b given backwards is turned first.
    EXPECT_EQ(text_of(&kept.get()->geom), text_of("1 2 3, 0 500, 10000 500, 0 500, 10000 500"));
}

// Lines so far apart that no vertex finds a foot on the other (a quarter of the world, and far
// beyond the earth's coordinates): every resynchronisation moves both walks on, so the middle line
// ends, running from the middle of the first points to the middle of the last ones.
TEST(MiddleLine, LinesFarApartStillEnd) {
    for (double apart : {1.5e9, 4e10, 1e15}) {
        std::vector<Xy> a{{0, 0}, {10000, 8000}, {20000, 0}, {30000, 8000}}, b;
        for (const Xy& p : a)
            b.push_back({p.x + apart, p.y + apart / 4});
        Polyline line_a(a), line_b(b), out;
        ASSERT_EQ(create_new_line(line_a.get(), line_b.get(), out.get()), 0) << apart;
        std::vector<Xy> middle = points_of(&out.get()->geom);
        ASSERT_GE(middle.size(), 2u) << apart;
        EXPECT_EQ(text_of({middle.front(), middle.back()}),
                  text_of({{apart / 2, apart / 8}, {30000 + apart / 2, 8000 + apart / 8}}))
            << apart << ": " << text_of(middle);
    }
}

// Edges around a block, the other ring started at any vertex and run either way (turned to match),
// gives the centre ring: outside corners pair with inside ones, so corners are kept.
TEST(MiddleLine, EdgesAroundCornersGiveTheCentreLine) {
    for (int n : {4, 8}) {
        std::vector<Xy> outer = regular_ring(n, 5000 * M_SQRT2),
                        centre = regular_ring(n, 4500 * M_SQRT2);
        for (int start = 0; start < n; ++start)
            for (bool clockwise : {false, true}) {
                std::vector<Xy> inner = regular_ring(n, 4000 * M_SQRT2, start, clockwise);
                SCOPED_TRACE("n " + std::to_string(n) + " inner " + text_of(inner));
                expect_on_centre(middle_of(outer, inner), centre);
                expect_on_centre(middle_of(inner, outer), centre);
            }
    }
}

TEST(MiddleLine, OffsetCopiesOfRightAngledAndRandomLinesGiveTheLineBack) {
    const std::vector<Xy> right_angled[] = {
        {{0, 0}, {10000, 0}, {10000, 10000}},
        {{0, 0}, {8000, 0}, {8000, 8000}, {16000, 8000}, {16000, 0}}};
    for (unsigned seed = 1; seed <= 32; ++seed) {
        // Eastward centre lines: segments of 2000 to 5000 units turning by 20 to 60 degrees (enough
        // for the reduction to keep every vertex), the heading within 70 degrees of east; then two
        // right-angled roads. Edges on both sides of the first one.
        std::mt19937 rng(seed);
        std::vector<Xy> centre =
            seed > 30 ? right_angled[seed - 31] : std::vector<Xy>{{1072742400, 367718400}};
        double heading = random_real(rng, -0.5, 0.5),
               d = random_real(rng, 100.0, 400.0) * (seed % 2 ? 1 : -1);
        for (int i = seed > 30 ? 0 : random_int(rng, 2, 13); i > 0; --i) {
            double turn = random_real(rng, 20, 60) * kRadians * (random_int(rng, 0, 1) ? 1 : -1);
            heading += std::fabs(heading + turn) > 70 * kRadians ? -turn : turn;
            double step = random_real(rng, 2000.0, 5000.0);
            centre.push_back({std::round(centre.back().x + step * std::cos(heading)),
                              std::round(centre.back().y + step * std::sin(heading))});
        }
        // Unequal sides too: the middle of edges at d and -2d runs at -d/2 from the centre.
        for (bool flip : {false, true}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " d " + std::to_string(d) + "\ncentre " +
                         text_of(centre));
            expect_on_centre(middle_of(mitred_offset(centre, d), mitred_offset(centre, -d), flip),
                             centre);
            expect_on_centre(
                middle_of(mitred_offset(centre, d), mitred_offset(centre, -2 * d), flip),
                mitred_offset(centre, -d / 2));
        }
    }
}

}  // namespace
