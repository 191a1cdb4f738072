// Cutting holes out of polygons by hand-checked cases: the pieces each cut line makes, the cut
// edges delivered as press sections on the pieces at both sides, the lines in ascending x, one line
// through holes above one another and through hole vertices, narrow and touching holes, and a
// lone ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "mapgeom/algebra.h"
#include "ring_checks.h"
#include "shape_text.h"

namespace {

using namespace testing_shapes;

const char* const kSquare = "0 0, 10 0, 10 10, 0 10";

// A list holding the given rings ("|"-separated point lists), each closed.
void fill(polygons_t* list, const std::string& rings) {
    std::string text = rings + "|";
    for (size_t from = 0, bar; (bar = text.find('|', from)) != std::string::npos; from = bar + 1) {
        Polygon ring(pts(text.substr(from, bar - from)));
        com_polygons_add_copy(list, *ring.get());
    }
}

int press_code(const point_t& p) {
    return static_cast<int>(p.z) % 100;
}

// The press sections of a ring as "x y1-y2" (from its code-2 point to the next code-3 point along
// the ring), sorted and joined; "bad" for one that is not vertical or a code 3 without its code 2.
std::string sections(const polygon_t* ring) {
    std::vector<std::string> found;
    int n = ring->geom.count - 1, starts = 0, ends = 0;
    const point_t* v = ring->geom.points;
    for (int i = 0; i < n; ++i) {
        starts += press_code(v[i]) == 2, ends += press_code(v[i]) == 3;
        if (press_code(v[i]) != 2)
            continue;
        int j = (i + 1) % n;
        while (press_code(v[j]) == 0 && j != i)
            j = (j + 1) % n;
        bool vertical = press_code(v[j]) == 3 && v[j].x == v[i].x;
        int lo = int(std::min(v[i].y, v[j].y)), hi = int(std::max(v[i].y, v[j].y));
        found.push_back(vertical ? std::to_string(int(v[i].x)) + " " + std::to_string(lo) + "-" +
                                       std::to_string(hi)
                                 : "bad");
    }
    std::sort(found.begin(), found.end());
    std::string text = starts != ends ? "bad" : "";
    for (const std::string& item : found)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

TEST(SplitPolygonsByHoles, CutLinesGiveThePiecesAndPressSectionsOnBothSides) {
    const struct {
        const char *name, *rings;
        std::vector<double> areas;          // of the pieces, in output order
        std::vector<std::string> sections;  // of each piece, in output order
    } cases[] = {
        {"CentredHole",
         "0 0, 10 0, 10 10, 0 10 | 4 4, 6 4, 6 6, 4 6",
         {48, 48},
         {"5 0-4, 5 6-10", "5 0-4, 5 6-10"}},
        {"ClockwiseRings",
         "0 0, 0 10, 10 10, 10 0 | 4 4, 4 6, 6 6, 6 4",
         {48, 48},
         {"5 0-4, 5 6-10", "5 0-4, 5 6-10"}},
        {"HolesSideBySideAreCutInAscendingX",
         "0 0, 10 0, 10 10, 0 10 | 6 4, 8 4, 8 6, 6 6 | 2 4, 4 4, 4 6, 2 6",
         {28, 36, 28},
         {"3 0-4, 3 6-10", "3 0-4, 3 6-10, 7 0-4, 7 6-10", "7 0-4, 7 6-10"}},
        {"HolesAboveOneAnotherShareOneLine",
         "0 0, 10 0, 10 10, 0 10 | 3 2, 6 2, 6 4, 3 4 | 4 6, 7 6, 7 8, 4 8",
         {44, 44},
         {"5 0-2, 5 4-6, 5 8-10", "5 0-2, 5 4-6, 5 8-10"}},
        {"OuterGivenAfterItsHole",
         "4 4, 6 4, 6 6, 4 6 | 0 0, 10 0, 10 10, 0 10",
         {48, 48},
         {"5 0-4, 5 6-10", "5 0-4, 5 6-10"}},
        {"HoleInOneArmOfAU",
         "0 0, 30 0, 30 30, 20 30, 20 10, 10 10, 10 30, 0 30 | 4 14, 6 14, 6 20, 4 20",
         {144, 544},
         {"5 0-14, 5 20-30", "5 0-14, 5 20-30"}},
        // One unit wide: no whole unit lies strictly inside, so the line runs through the middle.
        {"HoleOneUnitWide",
         "0 0, 10 0, 10 10, 0 10 | 4 4, 5 4, 5 6, 4 6",
         {44, 54},
         {"4 0-4, 4 6-10", "4 0-4, 4 6-10"}},
        {"LinesThroughHoleVertices",
         "0 0, 10 0, 10 10, 0 10 | 2 2, 4 2, 3 4 | 6 6, 8 6, 7 8",
         {29, 38, 29},
         {"3 0-2, 3 4-10", "3 0-2, 3 4-10, 7 0-6, 7 8-10", "7 0-6, 7 8-10"}},
        // Touching holes: pieces that would pass the contact twice are cut there.
        {"HolesTouchingAtAVertex",
         "0 0, 10 0, 10 10, 0 10 | 2 4, 4 4, 4 6, 2 6 | 4 6, 6 6, 6 8, 4 8",
         {28, 6, 10, 48},
         {"3 0-4, 3 6-10", "3 6-10, 5 8-10", "3 0-4, 5 0-6", "5 0-6, 5 8-10"}},
        {"HoleTouchingTheOuterRingAtAVertex",
         "0 0, 10 0, 10 10, 0 10 | 4 0, 6 3, 4 5",
         {45.5, 0.75, 48.75},
         {"5 4-10", "5 0-1", "5 0-1, 5 4-10"}},
        {"LoneOuterRing", kSquare, {100}, {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygons in, out;
        fill(in.get(), c.rings);
        fill(out.get(), "0 0, 1 0, 1 1");  // the caller's ring stays first
        std::string before = text_of(in.get()), caller = text_of(out.get());
        EXPECT_EQ(split_polygons_by_holes(in.get(), out.get()), 0);
        EXPECT_EQ(text_of(in.get()), before) << "the input is not changed";
        ASSERT_EQ(out.size(), static_cast<int>(c.areas.size()) + 1) << text_of(out.get());
        EXPECT_EQ(text_of(&com_polygons_at_pointer(out.get(), 0)->geom), caller);
        EXPECT_EQ(faulty_rings(out.get(), true), "");
        for (int k = 1; k < out.size(); ++k) {
            const polygon_t* piece = com_polygons_at_pointer(out.get(), k);
            EXPECT_DOUBLE_EQ(plane_signed_area(&piece->geom), c.areas[k - 1]) << k;
            EXPECT_EQ(sections(piece), c.sections[k - 1]) << text_of(&piece->geom);
        }
    }
}

}  // namespace
