// Press-code normalisation before an overlay walk, in both variants: sections from a code-2 point
// to the next code-3 point, found by walking the ring cyclically from its first code-2 point.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "algebra/algebra_internal.h"
#include "shapes.h"

namespace {

using testing_shapes::Polygon;
using testing_shapes::Xy;

struct PressCase {
    const char* name;
    std::vector<double> codes;  // every stored point, the closing point last
    std::vector<double> ends_pressed;
    std::vector<double> end_released;
};

const PressCase kCases[] = {
    {"SectionInsideTheRing", {0, 0, 2, 0, 0, 3, 0}, {0, 0, 1, 1, 1, 1, 0}, {0, 0, 1, 1, 1, 0, 0}},
    {"NoSectionStartChangesNothing", {0, 3, 0, 1, 0}, {0, 3, 0, 1, 0}, {0, 3, 0, 1, 0}},
    {"SectionEndingAtTheRingsStartEndsThereOnBothCopies",
     {3, 0, 0, 2, 0, 3},
     {1, 0, 0, 1, 1, 1},
     {0, 0, 0, 1, 1, 0}},
    {"SectionRunningPastTheClosingPointWraps",
     {0, 3, 0, 2, 0, 0},
     {1, 1, 0, 1, 1, 1},
     {1, 0, 0, 1, 1, 1}},
    {"HundredsAreKept",
     {0, 102, 205, 103, 0, 0},
     {0, 101, 201, 101, 0, 0},
     {0, 101, 201, 100, 0, 0}},
    {"StartInsideASectionIsFlattened", {2, 2, 3, 0, 0, 2}, {1, 1, 1, 0, 0, 1}, {1, 1, 0, 0, 0, 1}},
    {"EndWithoutAStartStays", {0, 3, 0, 2, 3, 0}, {0, 3, 0, 1, 1, 0}, {0, 3, 0, 1, 0, 0}},
};

// A ring with one vertex per code on a circle; the closing point repeats the first position.
std::vector<Xy> ring_with_codes(const std::vector<double>& codes) {
    int n = static_cast<int>(codes.size()) - 1;
    std::vector<Xy> ring;
    for (int k = 0; k <= n; ++k) {
        double angle = 2.0 * M_PI * (k % n) / n;
        ring.push_back({10 * std::cos(angle), 10 * std::sin(angle), codes[k]});
    }
    return ring;
}

std::vector<double> codes_of(const polygon_t* ring) {
    std::vector<double> codes;
    for (int k = 0; k < ring->geom.count; ++k)
        codes.push_back(ring->geom.points[k].z);
    return codes;
}

TEST(PressCodes, BothVariantsRewriteEverySectionAndKeepTheRingClosed) {
    for (const PressCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Polygon pressed(ring_with_codes(c.codes));
        Polygon released(ring_with_codes(c.codes));
        mapgeom::transform_press_ends_pressed(pressed.get());
        mapgeom::transform_press_end_released(released.get());
        EXPECT_EQ(codes_of(pressed.get()), c.ends_pressed);
        EXPECT_EQ(codes_of(released.get()), c.end_released);
    }
}

}  // namespace
