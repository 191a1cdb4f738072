// Scan-beam skeleton: centre lines known by hand, scan positions, beam pairing, the flat record,
// inputs without a skeleton, and lines inside random, elongated and real outlines that reach both
// ends of the elongated ones after post-processing.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/mapgeom.h"
#include "skeleton/skeleton_internal.h"
#include "skeleton_shapes.h"
#include "us_atlas.h"

namespace {

using namespace testing_shapes;
using mapgeom::DBC_tagGeoPoint_t;

std::vector<DBC_tagGeoPoint_t> whole_ring(const std::vector<Xy>& points) {
    std::vector<DBC_tagGeoPoint_t> ring;
    for (const Xy& v : points)
        ring.push_back({static_cast<int64_t>(v.x), static_cast<int64_t>(v.y)});
    ring.push_back(ring.front());
    return ring;
}

TEST(ScanBeamSkeleton, ShapesWithCentreLinesKnownByHand) {
    struct Case {
        const char *ring, *lines, *ring_after;
    } cases[] = {
        {"0 0, 100 0, 100 10, 0 10", "0 5, 50 5, 100 5", "0 0, 100 0, 100 10, 0 10, 0 0"},
        // Clockwise and off the unit grid: reversed and snapped in place, the same line.
        {"0 10, 100.4 10, 100.4 0, 0 0, 0 0", "0 5, 50 5, 100 5", "0 10, 0 0, 100 0, 100 10, 0 10"},
        {"0 5, 10 0, 10 10", "0 5, 5 5, 10 5",
         "0 5, 10 0, 10 10, 0 5"},  // vertical side on the right
        // A notch from the right splits the section at x = 50: both branches start at x = 25.
        {"0 0, 100 0, 100 40, 50 50, 100 60, 100 100, 0 100",
         "0 50, 25 50 | 25 50, 50 75, 75 77, 100 80 | 25 50, 50 25, 75 22, 100 20",
         "0 0, 100 0, 100 40, 50 50, 100 60, 100 100, 0 100, 0 0"},
    };
    for (const Case& c : cases) {
        Polygon ring(pts(c.ring));
        Polylines lines;
        EXPECT_EQ(calc_graphic_framework(ring.get(), lines.get()), 0);
        EXPECT_EQ(text_of(lines.get()), texts_of(c.lines)) << c.ring;
        EXPECT_EQ(text_of(&ring.get()->geom), text_of(c.ring_after)) << c.ring;
    }
}

TEST(ScanBeamSkeleton, ScanPositionsAddMidwayOnlyInGapsWiderThanOne) {
    struct Case {
        const char* ring;
        std::vector<int64_t> positions;
    } cases[] = {
        {"0 0, 10 0, 10 1, 0 1", {0, 5, 10}},
        {"0 0, 1 0, 1 1, 0 1", {0, 1}},
        {"-3 0, 0 0, 0 1, -3 1", {-3, -1, 0}},  // trunc(-1.5) toward zero
        {"0 0, 2000000000 0, 2000000000 1, 0 1", {0, 1000000000, 2000000000}},
    };
    for (const Case& c : cases) {
        mapgeom::ScanBeams scan;
        ASSERT_EQ(mapgeom::CreatScanBeam(whole_ring(pts(c.ring)), &scan), 0);
        EXPECT_EQ(scan.positions, c.positions) << c.ring;
    }
}

TEST(ScanBeamSkeleton, LatticeRingsGiveNoVerticalBeamsEvenCountsAndNothingOutside) {
    // Lattice rings are full of vertical edges, shared x and crossing or touching sides. The
    // sanitizer build reads out of range here if a step does.
    std::mt19937 rng(7);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<Xy> points;
        for (int k = random_int(rng, 3, 9); k > 0; --k) {
            Xy p{double(random_int(rng, 0, 4)), double(random_int(rng, 0, 4))};
            if (points.empty() || p.x != points.back().x || p.y != points.back().y)
                points.push_back(p);
        }
        std::vector<DBC_tagGeoPoint_t> ring = whole_ring(points);
        mapgeom::ScanBeams scan;
        if (mapgeom::CreatScanBeam(ring, &scan) != 0)
            continue;
        std::map<int64_t, int> per_x;
        for (const auto& beam : scan.beams) {
            EXPECT_NE(ring[beam.second.edge].x, ring[beam.second.edge + 1].x);
            ++per_x[beam.first];
        }
        for (const auto& entry : per_x)
            EXPECT_EQ(entry.second % 2, 0) << "trial " << trial << " x " << entry.first;
        Polygon polygon(points);
        Polylines lines;
        calc_graphic_framework(polygon.get(), lines.get());
        for (const polyline_node_t* n = lines.get()->head; n != nullptr; n = n->next)
            for (int i = 0; i < n->polyline.geom.count; ++i) {
                point_t p = n->polyline.geom.points[i];
                ASSERT_TRUE(p.x >= 0 && p.x <= 4 && p.y >= 0 && p.y <= 4) << text_of(points);
            }
    }
}

TEST(ScanBeamSkeleton, UnpairedLowestBeamIsLeftOut) {
    // Three edges on one scan line (edges 0, 2 and 4, at y = 30, 10 and 20): the top two pair.
    mapgeom::ScanBeams scan;
    scan.ring = whole_ring(pts("0 30, 10 30, 0 10, 10 10, 0 20, 10 20"));
    for (int edge : {0, 2, 4})
        scan.beams.push_back({5, {edge, 0, static_cast<double>(scan.ring[edge].y)}});
    mapgeom::MidPoints mids;
    ASSERT_EQ(mapgeom::CalcMidPts(&scan, &mids), 0);
    ASSERT_EQ(mids.size(), 1u);
    ASSERT_EQ(mids[0].second.size(), 1u);
    EXPECT_EQ(mids[0].second[0].y, 25);
}

TEST(Skeleton, InputsWithoutASkeletonGiveNothing) {
    std::vector<std::vector<Xy>> rings{{{0, 0}, {std::nan(""), 0}, {10, 10}}};
    for (const char* text : {"", "0 0, 10 0", "0 0, 0 0, 0 0", "0 0, 0 10, 0 20"})
        rings.push_back(pts(text));
    for (const std::vector<Xy>& points : rings) {
        Polygon ring(points);
        Polygons set;
        com_polygons_add_copy(set.get(), *ring.get());
        Polylines lines, processed, joined;
        tag_framework_t record, empty{};
        com_framework_init(&record);
        EXPECT_EQ(calc_graphic_framework(ring.get(), lines.get()) +
                      calc_polygon_framework(ring.get(), &record) +
                      calc_graphics_framework(set.get(), lines.get()) +
                      calc_polygons_framework(&empty, &record),
                  0);
        polygon_framework_process(lines.get(), processed.get());
        framework_connect(lines.get(), lines.get(), joined.get());
        EXPECT_EQ(lines.size() + processed.size() + joined.size() + record.part_num, 0)
            << text_of(points);
        com_framework_free(&record);
    }
    EXPECT_EQ(calc_graphic_framework(nullptr, nullptr) + calc_polygon_framework(nullptr, nullptr) +
                  calc_graphics_framework(nullptr, nullptr) +
                  calc_polygons_framework(nullptr, nullptr),
              0);
    polygon_framework_process(nullptr, nullptr);
}

TEST(FrameworkRecord, FormsLinesAfterWhatItHeldAndGrowsSafely) {
    // A comb of 300 teeth gives a part per tooth. Records fresh from com_framework_init, sized for
    // one point and holding 600 points (more than the 512 the writer starts from) all grow, keep
    // what they held and add the lines of the polyline form; a negative count is left alone.
    std::vector<Xy> teeth = comb(300, 1000, 400);
    Polygon for_list(teeth);
    Polylines lines;
    calc_graphic_framework(for_list.get(), lines.get());
    ASSERT_GT(lines.size(), 100);
    int start_x[600] = {7}, start_y[600] = {8};
    for (int held : {0, 1, 600}) {
        Polygon ring(teeth);
        tag_framework_t record;
        if (held == 0)
            com_framework_init(&record);
        else
            com_framework_init_value(&record, start_x, start_y, &held, held, 1);
        EXPECT_EQ(calc_polygon_framework(ring.get(), &record), 0);
        std::vector<int> xs(record.point_num), ys(record.point_num), parts(record.part_num);
        get_framework_value(&record, xs.data(), ys.data(), parts.data());
        Polylines written;
        for (int part = held ? 1 : 0, at = held; part < record.part_num; at += parts[part++]) {
            Polyline line;
            for (int i = at; i < at + parts[part]; ++i)
                com_polyline_add(line.get(), point_t{double(xs[i]), double(ys[i]), 0});
            com_polylines_add_copy(written.get(), *line.get());
        }
        EXPECT_EQ(text_of(written.get()), text_of(lines.get())) << "held " << held;
        EXPECT_TRUE(held == 0 || (xs[0] == 7 && ys[0] == 8)) << held;
        com_framework_free(&record);
        EXPECT_TRUE(record.point_num == 0 && record.x == nullptr);
    }
    tag_framework_t negative{-1, 0, nullptr, nullptr, nullptr};
    Polygon ring(teeth);
    calc_polygon_framework(ring.get(), &negative);
    EXPECT_TRUE(negative.point_num == -1 && negative.x == nullptr);
}

// Raw lines within a unit of the ring (midpoints are truncated to whole units), processed lines
// inside too and no more of them than raw ones, and for a river lines reaching both of its ends.
void check_skeleton(const std::vector<Xy>& points, const std::string& context, bool river = false) {
    Polygon ring(points);
    Polylines raw, out;
    calc_graphic_framework(ring.get(), raw.get());
    polygon_framework_process(raw.get(), out.get());
    EXPECT_EQ(vertices_off({ring.get()}, raw.get(), 1.0), "") << context;
    EXPECT_EQ(vertices_off({ring.get()}, out.get(), 1.0), "") << context;
    EXPECT_TRUE(out.size() >= 1 && out.size() <= raw.size()) << context;
    EXPECT_TRUE(!river || reaches_both_ends(points, out.get())) << context;
}

TEST(ScanBeamSkeletonProperty, LinesLieInsideRandomRingsAndStatesAndSpanRivers) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> points =
            seed % 2 ? random_star(rng, random_int(rng, 3, 80), 0, 0, 2000, 200000, true)
                     : random_simple_ring(rng);
        for (Xy& v : points)
            v = seed % 2 ? v : Xy{v.x * 1000, v.y * 1000};
        check_skeleton(points, "seed " + std::to_string(seed) + ": " + text_of(points));
    }
    for (unsigned seed = 1; seed <= 6; ++seed) {  // rivers 240 km long, 0.24 to 2.4 km wide
        std::mt19937 rng(seed);
        double width = random_real(rng, 20000, 200000);
        check_skeleton(band_around(meander(rng, 120, 2e7, 2e6), width), std::to_string(seed), true);
    }
    int checked = 0;
    for (const AtlasRing& outline : load_atlas_outers("states.txt")) {
        Polygon ring(outline.points);
        if (outline.points.size() < 100 || relation_polygon_iserror(ring.get()) != 0)
            continue;
        check_skeleton(outline.points, outline.name);
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

}  // namespace
