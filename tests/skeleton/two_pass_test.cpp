// Two-pass skeleton of polygon sets: bands along their length, the turn there and back, a shape
// turned by 90 degrees giving the turned skeleton, and lines inside the united shape and out of its
// holes (the flat-array form is run by the C header test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/mapgeom.h"
#include "random_shapes.h"
#include "skeleton/skeleton_internal.h"
#include "skeleton_shapes.h"

namespace {

using namespace testing_shapes;

void add_ring(Polygons* list, const std::vector<Xy>& points) {
    Polygon ring(points);
    com_polygons_add_copy(list->get(), *ring.get());
}

// The farthest any vertex of `from` lies from the lines of `to`.
double farthest_vertex(const polylines_t* from, const polylines_t* to) {
    double farthest = 0.0;
    for (const polyline_node_t* n = from->head; n != nullptr; n = n->next)
        for (int i = 0; i < n->polyline.geom.count; ++i) {
            point_t p = n->polyline.geom.points[i];
            double nearest = INFINITY;
            for (const polyline_node_t* m = to->head; m != nullptr; m = m->next) {
                const geom_t& g = m->polyline.geom;
                for (int j = 0; j < g.count; ++j)
                    nearest = std::min(nearest,
                                       distance_to_segment(p, g.points[j],
                                                           g.points[std::min(j + 1, g.count - 1)]));
            }
            farthest = std::max(farthest, nearest);
        }
    return farthest;
}

TEST(TwoPassSkeleton, EmptyInputsGiveNothing) {
    Polygons none, degenerate;
    add_ring(&degenerate, pts("0 0, 10 0"));
    Polylines out;
    EXPECT_EQ(calc_graphics_framework(none.get(), out.get()), 0);
    EXPECT_EQ(calc_graphics_framework(degenerate.get(), out.get()), 0);
    EXPECT_EQ(calc_graphics_framework(nullptr, out.get()), 0);
    EXPECT_EQ(out.size(), 0);
    tag_framework_t empty{}, record;
    com_framework_init(&record);
    EXPECT_EQ(calc_polygons_framework(&empty, &record), 0);
    EXPECT_EQ(calc_polygons_framework(nullptr, &record), 0);
    EXPECT_EQ(record.part_num, 0);
    com_framework_free(&record);
}

TEST(TwoPassSkeleton, TurningThereAndBackReturnsPointsUpToTheFirstTruncation) {
    std::mt19937 rng(17);
    for (int trial = 0; trial < 200; ++trial) {
        double x = random_real(rng, -2e9, 2e9), y = random_real(rng, -2e9, 2e9);
        if (trial % 2)
            x = std::round(x), y = std::round(y);
        Polygon ring({{x, y}});
        mapgeom::polygon_rotate(ring.get());
        Polyline line({{ring.get()->geom.points[0].x, ring.get()->geom.points[0].y}});
        mapgeom::polyline_rotate(line.get());
        point_t back = line.get()->geom.points[0];
        EXPECT_LT(std::fabs(back.x - x), 1.0) << x << " " << y;
        EXPECT_LT(std::fabs(back.y - y), 1.0) << x << " " << y;
        if (trial % 2) {
            EXPECT_EQ(back.x, x);
            EXPECT_EQ(back.y, y);
        }
    }
}

TEST(TwoPassSkeleton, BandsRunAlongTheirLength) {
    // A wide band's line comes from the first pass; a tall band's from the second (the first pass
    // gives only a stub across its width).
    struct Case {
        const char* ring;
        const char* lines;
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
        EXPECT_EQ(text_of(in.get()), before) << "the input is not changed";
    }
}

// Seeded shapes for the properties: rivers (bands around a meandering line) and stars.
std::vector<Xy> seeded_shape(unsigned seed) {
    std::mt19937 rng(seed);
    if (seed % 2)
        return band_around(meander(rng, 60, 2e6, 3e5), random_real(rng, 20000, 200000));
    return random_star(rng, random_int(rng, 5, 40), 0, 0, 100000, 1000000, true);
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

// Whether one pass over a river (post-processed) is a single line reaching both of its ends (the
// middles of the band's end sides).
bool pass_follows_river(const std::vector<Xy>& band, bool turned) {
    Polygon ring(band);
    if (turned)
        mapgeom::polygon_rotate(ring.get());
    Polylines raw, processed;
    calc_graphic_framework(ring.get(), raw.get());
    if (turned)
        mapgeom::polylines_rotate(raw.get());
    polygon_framework_process(raw.get(), processed.get());
    size_t n = band.size();
    Xy start{(band[0].x + band[n - 1].x) / 2, (band[0].y + band[n - 1].y) / 2};
    Xy end{(band[n / 2 - 1].x + band[n / 2].x) / 2, (band[n / 2 - 1].y + band[n / 2].y) / 2};
    double width = std::hypot(band[0].x - band[n - 1].x, band[0].y - band[n - 1].y);
    return processed.size() == 1 && nearest_vertex_distance(processed.get(), start) <= width &&
           nearest_vertex_distance(processed.get(), end) <= width;
}

TEST(TwoPassSkeletonProperty, TurnedRiverGivesTheTurnedSkeleton) {
    // The second pass of a shape is the first pass of the shape turned by 90 degrees, and flat and
    // steep change places: where each pass alone follows a river from end to end, the skeletons
    // of the river and of the river turned by 90 degrees agree once turned back (whole-unit input
    // is turned without truncation). Where a pass branches or falls short they need not: the
    // stretches are ordered along the first pass's line, and lines are paired first pass first.
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
        EXPECT_LE(farthest_vertex(skeleton.get(), turned_skeleton.get()), 2.0)
            << "seed " << seed << ": " << text_of(shape);
        EXPECT_LE(farthest_vertex(turned_skeleton.get(), skeleton.get()), 2.0)
            << "seed " << seed << ": " << text_of(shape);
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

std::vector<const polygon_t*> rings_of(const Polygons& list) {
    std::vector<const polygon_t*> rings;
    for (const polygon_node_t* n = list.get()->head; n != nullptr; n = n->next)
        rings.push_back(&n->polygon);
    return rings;
}

TEST(TwoPassSkeletonProperty, LinesStayInsideTheUnitedShapes) {
    // Two to four overlapping shapes per set. Lines between skeleton vertices may cut a corner,
    // and where the passes are joined a crossing of two such chords becomes a vertex: allow a
    // hundredth of the shapes' size (10^4 units) off the boundary.
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        Polygons set;
        for (int k = random_int(rng, 2, 4); k > 0; --k) {
            std::vector<Xy> shape = seeded_shape(seed * 10 + static_cast<unsigned>(k));
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
    // Four bars around an empty middle unite into one polygon with a hole; the skeleton runs round
    // the hole, never through it.
    Polygons bars;
    add_ring(&bars, pts("0 0, 300000 0, 300000 100000, 0 100000"));
    add_ring(&bars, pts("0 200000, 300000 200000, 300000 300000, 0 300000"));
    add_ring(&bars, pts("0 0, 100000 0, 100000 300000, 0 300000"));
    add_ring(&bars, pts("200000 0, 300000 0, 300000 300000, 200000 300000"));
    Polylines lines;
    calc_graphics_framework(bars.get(), lines.get());
    ASSERT_GT(lines.size(), 0);
    EXPECT_EQ(vertices_off(rings_of(bars), lines.get(), 1e4), "");
    Polygon hole(pts("100000 100000, 200000 100000, 200000 200000, 100000 200000"));
    polygon_pretreat_t in_hole;
    create_polygon_pretreat(hole.get(), &in_hole);
    for (const polyline_node_t* n = lines.get()->head; n != nullptr; n = n->next)
        for (int i = 0; i < n->polyline.geom.count; ++i) {
            point_t p = n->polyline.geom.points[i];
            EXPECT_FALSE(relation_point_and_polygon(&in_hole, p) == 1 &&
                         distance_to_ring(hole.get(), p) > 1e4)
                << p.x << " " << p.y << " lies in the hole";
        }
    // Round the hole: lines reach all four sides of the middle.
    for (const char* side : {"150000 50000", "150000 250000", "50000 150000", "250000 150000"})
        EXPECT_LE(nearest_vertex_distance(lines.get(), pts(side)[0]), 60000.0) << side;
}

}  // namespace
