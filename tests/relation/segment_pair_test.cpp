// The segment pair test, bit for bit: relation_lines_cross_by_permit against the plain reference
// kept below (slopes divided up front, every comparison through the public point helpers), and the
// sweep's pair tests (segments_contact_code, segments_meeting_point) against the same steps taken
// through relation_lines_cross, over random and adversarial pairs: shared and nearly shared ends,
// collinear overlaps, near-parallel, near-vertical and near-horizontal segments, huge and tiny
// coordinates, NaN and infinities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "mapgeom/com.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "relation/x_sweep.h"

namespace {

using testing_shapes::random_int;
using testing_shapes::random_real;

namespace reference {

void crossing_of_lines(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2, double ka,
                       double kb) {
    const double tolerance = 1e-6;
    if (std::fabs(a2.x - a1.x) < tolerance) {
        out->x = a1.x;
        out->y = b1.y + (out->x - b1.x) * kb;
    } else if (std::fabs(b2.x - b1.x) < tolerance) {
        out->x = b1.x;
        out->y = a1.y + (out->x - a1.x) * ka;
    } else if (std::fabs(a2.y - a1.y) < tolerance) {
        out->y = a1.y;
        out->x = (out->y - (b1.y - b1.x * kb)) / kb;
    } else if (std::fabs(b2.y - b1.y) < tolerance) {
        out->y = b1.y;
        out->x = (out->y - (a1.y - a1.x * ka)) / ka;
    } else {
        out->x = ((b1.y - b1.x * kb) - (a1.y - a1.x * ka)) / (ka - kb);
        out->y = a1.y + (out->x - a1.x) * ka;
    }
}

bool within_grown_box(point_t p, point_t a, point_t b, double band) {
    return p.x >= std::min(a.x, b.x) - band && p.x <= std::max(a.x, b.x) + band &&
           p.y >= std::min(a.y, b.y) - band && p.y <= std::max(a.y, b.y) + band;
}

int lines_cross(point_t* out, point_t a1, point_t a2, point_t b1, point_t b2, double permit) {
    const double ka = (a2.y - a1.y) / (a2.x - a1.x);
    const double kb = (b2.y - b1.y) / (b2.x - b1.x);
    if (com_line_same(a1, a2, b1, b2) == 0)
        return 5;
    if (com_points_same(a1, b1) == 0 || com_points_same(a1, b2) == 0) {
        *out = a1;
        return 0;
    }
    if (com_points_same(a2, b1) == 0 || com_points_same(a2, b2) == 0) {
        *out = a2;
        return 0;
    }
    const bool vertical_a = std::fabs(a2.x - a1.x) < 1e-6,
               vertical_b = std::fabs(b2.x - b1.x) < 1e-6;
    if (std::fabs(ka - kb) < 1e-6 || (vertical_a && vertical_b)) {
        for (point_t end : {b1, b2})
            if (relation_point_at_line(end, a1, a2, 0.01) == 0) {
                *out = end;
                return 0;
            }
        return 3;
    }
    crossing_of_lines(out, a1, a2, b1, b2, ka, kb);
    return within_grown_box(*out, a1, a2, permit) && within_grown_box(*out, b1, b2, permit) ? 0 : 4;
}

// The sweep's pair test: segments whose extents (lower and upper end of each coordinate, NaN
// taken as it comes) are more than a unit apart are not compared; parallel segments are tried in
// both argument orders.
bool meeting_point(point_t first, point_t second, point_t e0, point_t e1, point_t* meet) {
    const auto apart = [](double a0, double a1, double b0, double b1) {
        const double a_lo = a0 < a1 ? a0 : a1, a_hi = a0 < a1 ? a1 : a0;
        const double b_lo = b0 < b1 ? b0 : b1, b_hi = b0 < b1 ? b1 : b0;
        return b_hi < a_lo - 1.0 || b_lo > a_hi + 1.0;
    };
    if (apart(first.x, second.x, e0.x, e1.x) || apart(first.y, second.y, e0.y, e1.y))
        return false;
    int lines = relation_lines_cross(meet, second, first, e1, e0);
    if (lines == 3)
        lines = relation_lines_cross(meet, e1, e0, second, first);
    return lines == 0;
}

int contact_code(point_t first, point_t second, point_t e0, point_t e1) {
    point_t meet{};
    if (!meeting_point(first, second, e0, e1, &meet))
        return 0;
    for (point_t end : {first, second, e0, e1})
        if (com_points_same(meet, end) == 0)
            return 1;
    return 2;
}

}  // namespace reference

// The same value bit for bit, any NaN matching any NaN: which NaN an operation on two of them
// passes on depends on the order the compiler puts its operands in.
bool same_coordinate(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

bool same_bits(const point_t& a, const point_t& b) {
    return same_coordinate(a.x, b.x) && same_coordinate(a.y, b.y) && same_coordinate(a.z, b.z);
}

std::string text(const point_t* p) {
    std::string s;
    char buffer[80];
    for (int k = 0; k < 4; ++k) {
        std::snprintf(buffer, sizeof buffer, "(%.17g %.17g %.17g) ", p[k].x, p[k].y, p[k].z);
        s += buffer;
    }
    return s;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Four points of one of the adversarial families (kind 0 .. 8), z random.
void random_pair(std::mt19937& rng, int kind, point_t* p) {
    const double scale = std::pow(10.0, random_int(rng, -3, 4));
    for (int k = 0; k < 4; ++k)
        p[k] = point_t{random_int(rng, -4, 4) * scale / 4, random_int(rng, -4, 4) * scale / 4,
                       random_real(rng, -1, 1)};
    const double tiny[] = {0.0,  1e-7,    5e-7, 9.9e-7, 1e-6, 2e-6,
                           5e-5, 9.99e-5, 1e-4, 0.005,  0.01, 0.0100001};
    const double nudge = tiny[rng() % 12] * (rng() % 2 ? 1 : -1);
    switch (kind) {
        case 0:  // lattice points: shared ends, collinear overlaps, axis-parallel segments
            break;
        case 1:  // an end of b at or next to an end of a
            p[2 + rng() % 2] = point_t{p[rng() % 2].x + nudge, p[rng() % 2].y - nudge, 0.5};
            break;
        case 2:  // b along a's line, nudged off it
        {
            const double s = random_real(rng, -1, 2), t = random_real(rng, -1, 2);
            p[2] = {p[0].x + s * (p[1].x - p[0].x), p[0].y + s * (p[1].y - p[0].y) + nudge, 1};
            p[3] = {p[0].x + t * (p[1].x - p[0].x) + nudge, p[0].y + t * (p[1].y - p[0].y), 2};
            break;
        }
        case 3:  // near-vertical segments
            p[1].x = p[0].x + nudge;
            if (rng() % 2)
                p[3].x = p[2].x - nudge;
            break;
        case 4:  // near-horizontal segments
            p[1].y = p[0].y + nudge;
            if (rng() % 2)
                p[3].y = p[2].y + nudge;
            break;
        case 5:  // near-parallel: b is a shifted, its slope changed slightly
            p[2] = {p[0].x + scale * 0.001, p[0].y + nudge, 0};
            p[3] = {p[1].x + scale * 0.001, p[1].y + nudge * (1 + 1e-7), 0};
            break;
        case 6:  // random reals, a crossing or a near miss
            for (int k = 0; k < 4; ++k)
                p[k] = {random_real(rng, -scale, scale), random_real(rng, -scale, scale), 0};
            break;
        case 7:  // huge or tiny coordinates
        {
            const double far[] = {1e15, 1e150, 1e300, 1e-300, 4.9e-324};
            const double f = far[rng() % 5];
            for (int k = 0; k < 4; ++k)
                p[k] = {random_real(rng, -4, 4) * f, random_real(rng, -4, 4) * f, 0};
            if (rng() % 2)
                p[2] = p[rng() % 2];
            break;
        }
        default:  // NaN or an infinity in one or two coordinates
        {
            const double bad[] = {kNaN, kInf, -kInf};
            for (int times = random_int(rng, 1, 2); times > 0; --times) {
                point_t& q = p[rng() % 4];
                (rng() % 2 ? q.x : q.y) = bad[rng() % 3];
            }
            break;
        }
    }
}

TEST(SegmentPairTest, LinesCrossAsThePlainReferenceBitForBit) {
    const unsigned seed = 2207;
    std::mt19937 rng(seed);
    const double permits[] = {0.01, 0.0, 1.0};
    int codes[6] = {};
    for (int trial = 0; trial < 60000; ++trial) {
        point_t p[4];
        random_pair(rng, trial % 9, p);
        const double permit = permits[rng() % 3];
        point_t got{-7, -7, -7}, want{-7, -7, -7};
        const int code = relation_lines_cross_by_permit(&got, p[0], p[1], p[2], p[3], permit);
        const int expected = reference::lines_cross(&want, p[0], p[1], p[2], p[3], permit);
        ASSERT_EQ(code, expected) << "seed " << seed << " trial " << trial << ": " << text(p);
        ASSERT_TRUE(same_bits(got, want)) << "seed " << seed << " trial " << trial << ": "
                                          << text(p) << " out " << got.x << " " << got.y;
        ASSERT_EQ(relation_lines_cross_by_permit(nullptr, p[0], p[1], p[2], p[3], permit),
                  expected);
        ++codes[expected];
    }
    for (int code : {0, 3, 4, 5})
        EXPECT_GT(codes[code], 500) << "code " << code;
}

TEST(SegmentPairTest, SweepPairTestsAsThroughLinesCross) {
    const unsigned seed = 2208;
    std::mt19937 rng(seed);
    int contacts[3] = {};
    for (int trial = 0; trial < 60000; ++trial) {
        point_t p[4];
        random_pair(rng, trial % 9, p);
        ASSERT_EQ(mapgeom::segments_contact_code(p[0], p[1], p[2], p[3]),
                  reference::contact_code(p[0], p[1], p[2], p[3]))
            << "seed " << seed << " trial " << trial << ": " << text(p);
        point_t got{-7, -7, -7}, want{-7, -7, -7};
        const bool met = mapgeom::segments_meeting_point(p[0], p[1], p[2], p[3], &got);
        ASSERT_EQ(met, reference::meeting_point(p[0], p[1], p[2], p[3], &want))
            << "seed " << seed << " trial " << trial << ": " << text(p);
        if (met) {
            ASSERT_TRUE(same_bits(got, want))
                << "seed " << seed << " trial " << trial << ": " << text(p);
        }
        ++contacts[reference::contact_code(p[0], p[1], p[2], p[3])];
    }
    for (int code : {0, 1, 2})
        EXPECT_GT(contacts[code], 2000) << "contact code " << code;
}

}  // namespace
