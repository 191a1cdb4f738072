// Two-pass skeleton of polygon sets: bands along their length, a river turned by 90 degrees giving
// the turned skeleton, lines inside the united shapes and round their holes, and the flat form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/mapgeom.h"
#include "skeleton/skeleton_internal.h"
#include "skeleton_shapes.h"

namespace {

using namespace testing_shapes;

void add_ring(Polygons* list, const std::vector<Xy>& points) {
    Polygon ring(points);
    com_polygons_add_copy(list->get(), *ring.get());
}

std::vector<const polygon_t*> rings_of(const Polygons& list) {
    std::vector<const polygon_t*> rings;
    for (const polygon_node_t* n = list.get()->head; n != nullptr; n = n->next)
        rings.push_back(&n->polygon);
    return rings;
}

// The farthest any vertex of `from` lies from the lines of `to`.
double farthest_vertex(const polylines_t* from, const polylines_t* to) {
    double farthest = 0.0;
    for (const polyline_node_t* n = from->head; n != nullptr; n = n->next)
        for (int i = 0; i < n->polyline.geom.count; ++i)
            farthest = std::max(farthest, distance_to(to, n->polyline.geom.points[i]));
    return farthest;
}

TEST(TwoPassSkeleton, BandsRunAlongTheirLength) {
    // A wide band's line comes from the first pass; a tall band's from the second (the first gives
    // only a stub across its width). The input is not changed.
    struct Case {
        const char *ring, *lines;
    } cases[] = {
        {"0 0, 1000000 0, 1000000 100000, 0 100000", "0 50000, 500000 50000, 1000000 50000"},
        {"0 0, 100000 0, 100000 1000000, 0 1000000", "50000 1000000, 50000 500000, 50000 0"},
    };
    for (const Case& c : cases) {
        Polygons in;
        add_ring(&in, pts(c.ring));
        std::string before = text_of(in.get());
        Polylines out;
        calc_graphics_framework(in.get(), out.get());
        EXPECT_EQ(text_of(out.get()), texts_of(c.lines)) << c.ring;
        EXPECT_EQ(text_of(in.get()), before);
    }
}

// A river turned by `angle` about the origin, in whole units: flat and steep stretches mixed.
std::vector<Xy> turned_river(unsigned seed, double angle) {
    std::mt19937 rng(seed);
    std::vector<Xy> ring = band_around(meander(rng, 60, 2e6, 3e5), random_real(rng, 20000, 200000));
    for (Xy& v : ring)
        v = {std::round(v.x * std::cos(angle) - v.y * std::sin(angle)),
             std::round(v.x * std::sin(angle) + v.y * std::cos(angle))};
    return ring;
}

// Whether one pass over a river (post-processed) is a single line reaching the middles of both of
// its end sides.
bool pass_follows_river(const std::vector<Xy>& band, bool turned) {
    Polygon ring(band);
    if (turned)
        mapgeom::polygon_rotate(ring.get());
    Polylines raw, processed;
    calc_graphic_framework(ring.get(), raw.get());
    if (turned)
        mapgeom::polylines_rotate(raw.get());
    polygon_framework_process(raw.get(), processed.get());
    return processed.size() == 1 && reaches_both_ends(band, processed.get());
}

TEST(TwoPassSkeletonProperty, TurnedRiverGivesTheTurnedSkeleton) {
    // The second pass of a shape is the first pass of the shape turned by 90 degrees: where each
    // pass alone follows a river from end to end, the skeletons of the river and of the river
    // turned by 90 degrees agree once turned back (whole-unit input turns without truncation).
    // Where a pass branches or falls short they need not: stretches are ordered along the first
    // pass's line, and lines are paired first pass first.
    int compared = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::vector<Xy> shape = turned_river(seed, seed * 0.4);
        if (!pass_follows_river(shape, false) || !pass_follows_river(shape, true))
            continue;
        Polygons as_is, turned;
        add_ring(&as_is, shape);
        add_ring(&turned, shape);
        mapgeom::polygons_rotate(turned.get());
        Polylines skeleton, turned_skeleton;
        calc_graphics_framework(as_is.get(), skeleton.get());
        calc_graphics_framework(turned.get(), turned_skeleton.get());
        mapgeom::polylines_rotate(turned_skeleton.get());
        ASSERT_GT(skeleton.size(), 0) << "seed " << seed;
        EXPECT_LE(std::max(farthest_vertex(skeleton.get(), turned_skeleton.get()),
                           farthest_vertex(turned_skeleton.get(), skeleton.get())),
                  2.0)
            << "seed " << seed << ": " << text_of(shape);
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

TEST(TwoPassSkeletonProperty, LinesStayInsideTheUnitedShapes) {
    // Two to four overlapping rivers and stars per set. Chords between skeleton vertices may cut a
    // corner, and where the passes are joined a crossing of two chords becomes a vertex: allow a
    // hundredth of the shapes' size (10^4 units) off the boundary.
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        Polygons set;
        for (int k = random_int(rng, 2, 4); k > 0; --k) {
            std::mt19937 shape_rng(seed * 10 + static_cast<unsigned>(k));
            std::vector<Xy> shape =
                k % 2 ? band_around(meander(shape_rng, 60, 2e6, 3e5),
                                    random_real(shape_rng, 2e4, 2e5))
                      : random_star(shape_rng, random_int(shape_rng, 5, 40), 0, 0, 1e5, 1e6, true);
            double dx = random_real(rng, -5e5, 5e5), dy = random_real(rng, -5e5, 5e5);
            for (Xy& v : shape)
                v = {std::round(v.x + dx), std::round(v.y + dy)};
            add_ring(&set, shape);
        }
        Polylines lines;
        calc_graphics_framework(set.get(), lines.get());
        EXPECT_GT(lines.size(), 0) << "seed " << seed;
        EXPECT_EQ(vertices_off(rings_of(set), lines.get(), 1e4), "") << "seed " << seed;
    }
}

TEST(TwoPassSkeletonProperty, LinesGoAroundHoles) {
    // Four bars round an empty middle unite into a frame with a hole: every vertex lies in the
    // frame (within the tolerance above) and the lines reach all four of its sides.
    Polygons bars;
    for (const char* bar :
         {"0 0, 3 0, 3 1, 0 1", "0 2, 3 2, 3 3, 0 3", "0 0, 1 0, 1 3, 0 3", "2 0, 3 0, 3 3, 2 3"}) {
        std::vector<Xy> ring = pts(bar);
        for (Xy& v : ring)
            v = {v.x * 100000, v.y * 100000};
        add_ring(&bars, ring);
    }
    Polylines lines;
    calc_graphics_framework(bars.get(), lines.get());
    for (const polyline_node_t* n = lines.get()->head; n != nullptr; n = n->next)
        for (int i = 0; i < n->polyline.geom.count; ++i) {
            point_t p = n->polyline.geom.points[i];
            double from_middle = std::max(std::fabs(p.x - 150000), std::fabs(p.y - 150000));
            EXPECT_TRUE(from_middle >= 40000 && from_middle <= 160000) << p.x << " " << p.y;
        }
    for (const char* side : {"150000 50000", "150000 250000", "50000 150000", "250000 150000"})
        EXPECT_LE(distance_to(lines.get(), pt(pts(side)[0])), 60000.0) << side;
}

}  // namespace
