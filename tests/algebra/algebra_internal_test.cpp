// Library-internal overlay helpers: both press-code rewrites and their inverse after a cut, the
// intersection and difference walks on their own, the repair under lowered pass bounds, and the
// clipping of one prepared polygon by many rectangles against the plain clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "algebra/algebra_internal.h"
#include "mapgeom/algebra.h"
#include "mapgeom/relation.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

std::vector<double> codes_of(const polygon_t* ring) {
    std::vector<double> codes;
    for (int k = 0; k < ring->geom.count; ++k)
        codes.push_back(ring->geom.points[k].z);
    return codes;
}

// A ring with one vertex per code (the last one the closing point) on a circle.
Polygon ring_with_codes(const std::vector<double>& codes) {
    int n = static_cast<int>(codes.size()) - 1;
    std::vector<Xy> ring;
    for (int k = 0; k <= n; ++k)
        ring.push_back({std::round(10 * std::cos(6.283185307179586 * (k % n) / n)),
                        std::round(10 * std::sin(6.283185307179586 * (k % n) / n)), codes[k]});
    return Polygon(ring);
}

TEST(PressCodes, BothVariantsRewriteEverySectionAndKeepTheRingClosed) {
    const struct {
        const char* name;
        std::vector<double> codes, ends_pressed, end_released;
    } cases[] = {
        {"inside", {0, 0, 2, 0, 0, 3, 0}, {0, 0, 1, 1, 1, 1, 0}, {0, 0, 1, 1, 1, 0, 0}},
        {"no start", {0, 3, 0, 1, 0}, {0, 3, 0, 1, 0}, {0, 3, 0, 1, 0}},
        {"ending at the start", {3, 0, 0, 2, 0, 3}, {1, 0, 0, 1, 1, 1}, {0, 0, 0, 1, 1, 0}},
        {"wrapping past the close", {0, 3, 0, 2, 0, 0}, {1, 1, 0, 1, 1, 1}, {1, 0, 0, 1, 1, 1}},
        {"100s", {0, 102, 205, 103, 0, 0}, {0, 101, 201, 101, 0, 0}, {0, 101, 201, 100, 0, 0}},
        {"start inside", {2, 2, 3, 0, 0, 2}, {1, 1, 1, 0, 0, 1}, {1, 1, 0, 0, 0, 1}},
        {"end without start", {0, 3, 0, 2, 3, 0}, {0, 3, 0, 1, 1, 0}, {0, 3, 0, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon pressed = ring_with_codes(c.codes), released = ring_with_codes(c.codes);
        mapgeom::transform_press_ends_pressed(pressed.get());
        mapgeom::transform_press_end_released(released.get());
        EXPECT_EQ(codes_of(pressed.get()), c.ends_pressed);
        EXPECT_EQ(codes_of(released.get()), c.end_released);
    }
}

TEST(TransformPolygonPress, RunsOfPressedPointsBecomeSectionsAgain) {
    const struct {
        std::vector<double> released, sections;
    } cases[] = {
        {{1, 1, 0, 0, 0, 1}, {2, 0, 3, 0, 0, 2}},                  // a run from the first point
        {{0, 1, 0, 1, 1, 0}, {0, 2, 3, 2, 0, 3}},                  // a run up to the closing point
        {{1, 0, 0, 1, 1, 1}, {2, 3, 0, 2, 0, 0}},                  // a run on past it, into 0
        {{101, 101, 100, 0, 0, 101}, {102, 100, 103, 0, 0, 102}},  // hundreds kept
        {{0, 3, 0, 0, 0, 0}, {0, 3, 0, 0, 0, 0}},                  // no run: unchanged
    };
    for (const auto& c : cases) {
        Polygon ring = ring_with_codes(c.released);
        mapgeom::transform_polygon_press(ring.get());
        EXPECT_EQ(codes_of(ring.get()), c.sections);
        // Released again and restored, the sections stand as they were.
        mapgeom::transform_press_end_released(ring.get());
        mapgeom::transform_polygon_press(ring.get());
        EXPECT_EQ(codes_of(ring.get()), c.sections);
    }
}

// B lacks the crossing vertices the list names, so a walk along B never meets a crossing again: it
// stops at its step limit, appends nothing and releases what it built.
TEST(CrossingWalks, AWalkThatCannotCloseStopsAtItsLimitAndAppendsNothing) {
    for (auto [walk, b] : {std::make_pair(mapgeom::polygons_intersec, "5 5, 15 5, 15 15, 5 15"),
                           std::make_pair(mapgeom::polygons_diffence, "5 5, 5 15, 15 15, 15 5")}) {
        Polygon a(pts("0 0, 10 0, 10 5 100, 10 10, 5 10 100, 0 10")), ring_b(pts(b));
        Polygon crossings(pts("10 5, 5 10"));
        Polygons out;
        walk(a.get(), ring_b.get(), &crossings.get()->geom, out.get());
        EXPECT_EQ(out.size(), 0) << b;
    }
}

TEST(RepairBounds, RingsLeftAtTheBoundAreDeliveredAsTheyStand) {
    // No real ring comes near the bounds, so they are lowered. Snapping its crossing points makes
    // a new contact in a piece of `two_passes`, which then needs a second pass.
    const char* two_passes = "2 0, 7 8, 9 2, 0 1, 9 6";
    const char* bow_tie = "0 0, 10 10, 10 0, 0 10";
    const struct {
        const char* ring;
        mapgeom::RepairBounds bounds;
        int result;
        bool all_valid;  // else some ring is delivered still touching or crossing itself
    } cases[] = {
        {bow_tie, {0, 64, 4}, 0, false},     // no pass allowed: not cut
        {bow_tie, {8, 0, 0}, 0, false},      // no pass in the budget
        {two_passes, {1, 64, 4}, 1, false},  // one pass in a line
        {two_passes, {8, 1, 0}, 1, false},   // one pass in the call
        {two_passes, mapgeom::kRepairBounds, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.ring << ", bounds " << c.bounds.max_pass_depth << " "
                                          << c.bounds.min_passes);
        Polygon input(pts(c.ring));
        Polygons out;
        EXPECT_EQ(mapgeom::repair_self_contacts(input.get(), out.get(), c.bounds), c.result);
        bool all_valid = true;
        double area = 0.0;
        for (const polygon_node_t* node = out.l.head; node != nullptr; node = node->next) {
            int code = relation_polygon_iserror(&node->polygon);
            EXPECT_LE(code, 2);
            all_valid = all_valid && code == 0;
            area += plane_signed_area(&node->polygon.geom);
        }
        EXPECT_EQ(all_valid, c.all_valid);
        // Nothing is lost: the signed area stays, up to snapping these rings' few crossings.
        EXPECT_NEAR(area, plane_signed_area(&input.p.geom), 6.0);
    }
}

// A ring star-shaped around (50, 50) on whole units, a few vertices opening or closing a press
// section; spiky ones wind in and out of any rectangle.
std::vector<Xy> random_ring(std::mt19937& rng) {
    int n = 4 + static_cast<int>(rng() % 60);
    double inner = rng() % 2 == 0 ? 0.2 : 0.9;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Xy> ring;
    for (int i = 0; i < n; ++i) {
        double angle = (i + 0.9 * unit(rng)) / n * 6.283185307179586;
        double r = 45.0 * (inner + (1.0 - inner) * unit(rng));
        double code = rng() % 8 == 0 ? 2.0 + static_cast<double>(rng() % 2) : 0.0;
        ring.push_back(
            {std::round(50 + r * std::cos(angle)), std::round(50 + r * std::sin(angle)), code});
    }
    return ring;
}

TEST(RectClipSource, SamePiecesAsThePlainClipping) {
    const unsigned seed = 4242;
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 150; ++trial) {
        Polygon polygon(random_ring(rng));
        mapgeom::RectClipSource source(polygon.get());
        for (int r = 0; r < 12; ++r) {
            double x0 = rng() % 110 - 5.0, y0 = rng() % 110 - 5.0;
            double x1 = x0 + 1 + rng() % 40, y1 = y0 + 1 + rng() % 40;
            Polygon rect{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
            Polygons plain, prepared;
            int expected =
                algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), plain.get());
            int got = source.clip(rect.get(), prepared.get());
            ASSERT_TRUE(got == expected && text_of(prepared.get()) == text_of(plain.get()))
                << "seed " << seed << " trial " << trial << " rect " << r << ": code " << got
                << " against " << expected << "\n plain:    " << text_of(plain.get())
                << "\n prepared: " << text_of(prepared.get());
        }
    }
}

}  // namespace
