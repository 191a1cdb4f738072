// Library-internal overlay helpers no public call pins: the press-code rewrites and their inverse,
// the repair under lowered pass bounds, and the prepared clipping of one polygon by many
// rectangles against the plain clipping, and the cut of whole-number rings at repeated vertices
// against the general cut.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "algebra/algebra_internal.h"
#include "mapgeom/relation.h"
#include "random_shapes.h"
#include "ring_checks.h"

namespace {

using namespace testing_shapes;

std::vector<double> codes_of(const polygon_t* ring) {
    std::vector<double> codes;
    for (const Xy& p : points_of(&ring->geom))
        codes.push_back(p.z);
    return codes;
}

// A ring's codes (the last the closing point's), both rewrites, and the released form turned
// back into sections.
TEST(PressCodes, BothRewritesAndTheInverseAfterACut) {
    const struct {
        std::vector<double> codes, ends_pressed, end_released, restored;
    } cases[] = {
        {{0, 0, 2, 0, 0, 3, 0},
         {0, 0, 1, 1, 1, 1, 0},
         {0, 0, 1, 1, 1, 0, 0},
         {0, 0, 2, 0, 0, 3, 0}},
        {{3, 0, 0, 2, 0, 3}, {1, 0, 0, 1, 1, 1}, {0, 0, 0, 1, 1, 0}, {0, 0, 0, 2, 0, 3}},
        {{0, 3, 0, 2, 0, 0}, {1, 1, 0, 1, 1, 1}, {1, 0, 0, 1, 1, 1}, {2, 3, 0, 2, 0, 0}},
        {{0, 102, 205, 103, 0, 0},
         {0, 101, 201, 101, 0, 0},
         {0, 101, 201, 100, 0, 0},
         {0, 102, 200, 103, 0, 0}},
        {{0, 3, 0, 2, 3, 0}, {0, 3, 0, 1, 1, 0}, {0, 3, 0, 1, 0, 0}, {0, 3, 0, 2, 3, 0}},
    };
    const Xy corners[] = {{0, 0}, {4, 0}, {8, 2}, {8, 6}, {4, 8}, {0, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.codes));
        std::vector<Xy> ring;
        for (size_t k = 0; k < c.codes.size(); ++k)
            ring.push_back({corners[k % (c.codes.size() - 1)].x,
                            corners[k % (c.codes.size() - 1)].y, c.codes[k]});
        Polygon pressed(ring), released(ring);
        mapgeom::transform_press_ends_pressed(pressed.get());
        mapgeom::transform_press_end_released(released.get());
        EXPECT_EQ(codes_of(pressed.get()), c.ends_pressed);
        EXPECT_EQ(codes_of(released.get()), c.end_released);
        mapgeom::transform_polygon_press(released.get());
        EXPECT_EQ(codes_of(released.get()), c.restored);
    }
}

// Snapping the crossing points of `two_passes` makes a new contact in a piece, which needs a
// second pass; lowered bounds deliver what is left as it stands, with the area kept.
TEST(RepairBounds, RingsLeftAtTheBoundAreDeliveredAsTheyStand) {
    const char* two_passes = "8 4, 4 9, 9 1, 9 4, 2 8";
    const struct {
        const char* ring;
        mapgeom::RepairBounds bounds;
        int result;
        bool all_valid;
    } cases[] = {
        {"0 0, 10 10, 10 0, 0 10", {8, 0, 0}, 0, false},  // no pass in the budget
        {two_passes, {1, 64, 4}, 1, false},               // one pass in a line
        {two_passes, {8, 1, 0}, 1, false},                // one pass in the call
        {two_passes, mapgeom::kRepairBounds, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.ring << ", depth " << c.bounds.max_pass_depth);
        Polygon input(pts(c.ring));
        Polygons out;
        EXPECT_EQ(mapgeom::repair_self_contacts(input.get(), out.get(), c.bounds), c.result);
        for (const polygon_node_t* node = out.l.head; node != nullptr; node = node->next)
            EXPECT_LE(relation_polygon_iserror(&node->polygon), 2);  // touching or crossing only
        EXPECT_EQ(faulty_rings(out.get()).empty(), c.all_valid);
        EXPECT_NEAR(area_sum(out.get()), plane_signed_area(&input.p.geom), 6.0);
    }
}

// Sources narrowed to random areas holding the rectangle, and narrowed again, clip as the plain
// clipping of the whole polygon does: simple stars, and rings that cross or touch themselves
// (whose walks may follow the ring far outside the rectangle and reach their step bounds).
TEST(RectClipSource, SamePiecesAsThePlainClipping) {
    const unsigned seed = 4242;
    std::mt19937 rng(seed);
    for (int trial = 0; trial < 200; ++trial) {
        // Star-shaped around (50, 50), one vertex in each of n equal sectors, spiky half of the
        // time (winding in and out of any rectangle); a few vertices open or close a press section.
        // Every fourth ring jumps back and forth between sectors: it crosses itself, and touches
        // itself at a vertex visited twice.
        int n = random_int(rng, 4, 63);
        bool wild = trial % 4 == 3;
        double inner = rng() % 2 == 0 ? 0.2 : 0.9;
        std::vector<Xy> ring;
        for (int i = 0; i < n; ++i) {
            double angle = (i + random_real(rng, wild ? -2.0 : 0.0, 0.9)) / n * 2 * M_PI;
            double r = 45.0 * (inner + (1.0 - inner) * random_real(rng, 0, 1));
            ring.push_back({std::round(50 + r * std::cos(angle)),
                            std::round(50 + r * std::sin(angle)),
                            rng() % 8 ? 0.0 : 2.0 + rng() % 2});
        }
        if (wild)
            ring.insert(ring.begin() + n / 2, ring[n / 4]);
        Polygon polygon(ring);
        mapgeom::RectClipSource source(polygon.get());
        for (int r = 0; r < 12; ++r) {
            double x0 = rng() % 110 - 5.0, y0 = rng() % 110 - 5.0;
            double x1 = x0 + 1 + rng() % 40, y1 = y0 + 1 + rng() % 40;
            Polygon rect{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
            // Sides of a unit or more: valid, so the sources skip the check of the outline.
            ASSERT_EQ(relation_polygon_iserror(rect.get()), 0);
            double grow = rng() % 30, more = rng() % 30;
            const mapgeom::RectClipSource area(
                source, rectangle_t{y0 - grow - more, y1 + more, x0 - more, x1 + grow + more});
            const mapgeom::RectClipSource smaller(area, rectangle_t{y0 - grow, y1, x0, x1 + grow});
            Polygons plain, prepared, narrowed, twice;
            int expected =
                algebra_polygon_and_rect_intersec(polygon.get(), rect.get(), plain.get());
            const int got[] = {source.clip(rect.get(), prepared.get()),
                               area.clip(rect.get(), narrowed.get()),
                               smaller.clip(rect.get(), twice.get())};
            const Polygons* pieces[] = {&prepared, &narrowed, &twice};
            for (int k = 0; k < 3; ++k)
                ASSERT_TRUE(got[k] == expected && text_of(pieces[k]->get()) == text_of(plain.get()))
                    << "seed " << seed << " trial " << trial << " rect " << r << " source " << k
                    << ": code " << got[k] << "/" << expected << "\n"
                    << text_of(plain.get()) << "\n"
                    << text_of(pieces[k]->get());
        }
    }
}

}  // namespace

// Rings of whole coordinates drawn from a few places, so that most vertices repeat some other
// (closing point or not, press codes on some), are cut as the split at repeated points cuts them:
// the same rings, points and codes, in the same order.
TEST(WholeRingSplit, SameRingsAsTheSplitAtRepeatedPoints) {
    const unsigned seed = 977;
    std::mt19937 rng(seed);
    const double codes[] = {0.0, 0.0, 0.0, 1.0, 2.0, 101.0};
    for (int trial = 0; trial < 400; ++trial) {
        int n = random_int(rng, 0, trial % 5 == 0 ? 120 : 30);
        int side = random_int(rng, 1, 8);
        std::vector<Xy> points;
        for (int i = 0; i < n; ++i)
            points.push_back({-3.0 + rng() % side, 5.0 - rng() % side, codes[rng() % 6]});
        if (n > 0 && rng() % 3 != 0)
            points.push_back(points[0]);
        StoredPolygon expected_ring(points), ring(points);
        ASSERT_TRUE(mapgeom::has_whole_places(ring.get()));
        Polygons expected, got;
        split_polygon_by_repeat_points(expected_ring.get(), expected.get(), 0);
        mapgeom::split_whole_ring_by_repeat_points(ring.get(), got.get());
        ASSERT_EQ(text_of(got.get()), text_of(expected.get()))
            << "seed " << seed << " trial " << trial << ": " << text_of(points);
        EXPECT_EQ(ring.get()->geom.count, 0);
    }
}
