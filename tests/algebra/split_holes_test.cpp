// Cutting holes out of polygons by hand-checked cases: the pieces each cut line makes, the cut
// edges delivered as press sections on the pieces at both sides, the lines in ascending x, one line
// through holes above one another, narrow holes, and inputs without a hole.
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
// the ring), sorted; "bad" for a section that is not vertical or a code 3 without its code 2.
std::vector<std::string> sections(const polygon_t* ring) {
    std::vector<std::string> found;
    int n = ring->geom.count - 1;
    const point_t* v = ring->geom.points;
    for (int i = 0; i < n; ++i) {
        if (press_code(v[i]) != 2)
            continue;
        int j = (i + 1) % n;
        while (press_code(v[j]) == 0 && j != i)
            j = (j + 1) % n;
        bool vertical = press_code(v[j]) == 3 && v[j].x == v[i].x;
        double lo = std::min(v[i].y, v[j].y), hi = std::max(v[i].y, v[j].y);
        found.push_back(vertical ? std::to_string(int(v[i].x)) + " " + std::to_string(int(lo)) +
                                       "-" + std::to_string(int(hi))
                                 : "bad");
    }
    int starts = 0, ends = 0;
    for (int i = 0; i < n; ++i)
        starts += press_code(v[i]) == 2, ends += press_code(v[i]) == 3;
    if (starts != ends)
        found.push_back("bad");
    std::sort(found.begin(), found.end());
    return found;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
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
        {"LoneOuterRing", kSquare, {100}, {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Polygons in, out;
        fill(in.get(), c.rings);
        std::string before = text_of(in.get());
        EXPECT_EQ(split_polygons_by_holes(in.get(), out.get()), 0);
        EXPECT_EQ(text_of(in.get()), before) << "the input is not changed";
        ASSERT_EQ(out.size(), static_cast<int>(c.areas.size())) << text_of(out.get());
        EXPECT_EQ(faulty_rings(out.get(), true), "");
        for (int k = 0; k < out.size(); ++k) {
            const polygon_t* piece = com_polygons_at_pointer(out.get(), k);
            EXPECT_DOUBLE_EQ(plane_signed_area(&piece->geom), c.areas[k]) << k;
            EXPECT_EQ(joined(sections(piece)), c.sections[k]) << text_of(&piece->geom);
        }
    }
}

TEST(SplitPolygonsByHoles, EveryHoleIsCutOutWhateverItsWidth) {
    // Holes one unit wide have no whole unit strictly inside: their line runs through the middle.
    const struct {
        const char* rings;
        double covered;
    } cases[] = {
        {"0 0, 10 0, 10 10, 0 10 | 4 4, 5 4, 5 6, 4 6", 98},
        {"0 0, 10 0, 10 10, 0 10 | 4 4, 5 4, 5 6, 4 6 | 7 2, 8 2, 8 8, 7 8 | 1 1, 3 1, 3 2, 1 2",
         90},
        {"0 0, 10 0, 10 10, 0 10 | 2 2, 4 2, 3 4 | 6 6, 8 6, 7 8", 96},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rings);
        Polygons in, out;
        fill(in.get(), c.rings);
        split_polygons_by_holes(in.get(), out.get());
        EXPECT_EQ(faulty_rings(out.get(), true), "");
        EXPECT_DOUBLE_EQ(area_sum(out.get()), c.covered) << text_of(out.get());
        EXPECT_GE(out.size(), 2);
    }
}

TEST(SplitPolygonsByHoles, AppendsToTheCallersListAndTakesEmptyInput) {
    Polygons in, out;
    fill(out.get(), "0 0, 1 0, 1 1");
    EXPECT_EQ(split_polygons_by_holes(in.get(), out.get()), 0);
    EXPECT_EQ(out.size(), 1);
    fill(in.get(), "0 0, 10 0, 10 10, 0 10 | 4 4, 6 4, 6 6, 4 6");
    split_polygons_by_holes(in.get(), out.get());
    EXPECT_EQ(text_of(&com_polygons_at_pointer(out.get(), 0)->geom), text_of("0 0, 1 0, 1 1, 0 0"));
    EXPECT_EQ(out.size(), 3);
}

}  // namespace
