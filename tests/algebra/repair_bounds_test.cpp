// Library-internal side of the self-intersection repair: what is delivered when the pass bounds
// are reached, and the press-marker helper that restores sections after a cut.
#include <gtest/gtest.h>

#include <vector>

#include "algebra/algebra_internal.h"
#include "mapgeom/relation.h"
#include "point_text.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Polygons;
using testing_shapes::pts;

TEST(RepairBounds, RingsLeftAtTheBoundAreDeliveredAsTheyStand) {
    // No real ring needs anywhere near the bounds (random rings settle within three passes), so
    // the bounds are lowered. Snapping its crossing points makes a new contact in a piece of this
    // ring, which then needs a second pass.
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
            area += testing_shapes::plane_signed_area(&node->polygon.geom);
        }
        EXPECT_EQ(all_valid, c.all_valid);
        // Nothing is lost: the signed area stays, up to snapping these rings' few crossings.
        EXPECT_NEAR(area, testing_shapes::plane_signed_area(&input.p.geom), 6.0);
    }
}

TEST(TransformPolygonPress, RunsOfPressedPointsBecomeSectionsAgain) {
    const struct {
        std::vector<double> released, sections;
    } cases[] = {
        {{1, 1, 0, 0, 0, 1}, {2, 0, 3, 0, 0, 2}},  // a run from the first point
        {{0, 1, 0, 1, 1, 0}, {0, 2, 3, 2, 0, 3}},  // a second run up to the closing point
        {{1, 0, 0, 1, 1, 1}, {2, 3, 0, 2, 0, 0}},  // a run on past the closing point, into 0
        {{101, 101, 100, 0, 0, 101}, {102, 100, 103, 0, 0, 102}},  // hundreds kept
        {{0, 3, 0, 0, 0, 0}, {0, 3, 0, 0, 0, 0}},                  // no run: unchanged
    };
    auto codes = [](const Polygon& ring) {
        std::vector<double> z;
        for (int k = 0; k < ring.p.geom.count; ++k)
            z.push_back(ring.p.geom.points[k].z);
        return z;
    };
    for (const auto& c : cases) {
        Polygon ring(pts("0 0, 4 0, 8 0, 8 4, 4 4, 0 0"));
        for (int k = 0; k < ring.p.geom.count; ++k)
            ring.p.geom.points[k].z = c.released[k];
        mapgeom::transform_polygon_press(ring.get());
        EXPECT_EQ(codes(ring), c.sections);
        // Released again and restored, the sections stand as they were.
        mapgeom::transform_press_end_released(ring.get());
        mapgeom::transform_polygon_press(ring.get());
        EXPECT_EQ(codes(ring), c.sections);
    }
}

}  // namespace
