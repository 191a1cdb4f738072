// Scan-beam skeleton: shapes whose centre lines are known by hand, the scan positions, the flat
// record, degenerate input, and properties over random, elongated and real outlines (every vertex
// inside or on the ring, the lines spanning an elongated shape from end to end).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "mapgeom/mapgeom.h"
#include "random_shapes.h"
#include "skeleton/skeleton_internal.h"
#include "skeleton_shapes.h"

namespace {

using namespace testing_shapes;
using mapgeom::DBC_tagGeoPoint_t;

std::vector<DBC_tagGeoPoint_t> whole_ring(const std::string& text) {
    std::vector<DBC_tagGeoPoint_t> ring;
    for (const Xy& v : pts(text))
        ring.push_back({static_cast<int64_t>(v.x), static_cast<int64_t>(v.y)});
    ring.push_back(ring.front());
    return ring;
}

TEST(ScanBeamSkeleton, ShapesWithCentreLinesKnownByHand) {
    struct Case {
        const char* ring;
        const char* lines;
    } cases[] = {
        // Left side flagged (4, 4) opens the chain, (0, 0) at the midway x, (3, 3) ends it.
        {"0 0, 100 0, 100 10, 0 10", "0 5, 50 5, 100 5"},
        {"0 10, 100 10, 100 0, 0 0", "0 5, 50 5, 100 5"},  // clockwise: the same line
        // A convex vertex on the left, a vertical side on the right.
        {"0 5, 10 0, 10 10", "0 5, 5 5, 10 5"},
        // A notch reaching in from the right splits the section at x = 50: both branches start at
        // the chain's last point (x = 25) and run midway between the notch and the outer sides.
        {"0 0, 100 0, 100 40, 50 50, 100 60, 100 100, 0 100",
         "0 50, 25 50 | 25 50, 50 75, 75 77, 100 80 | 25 50, 50 25, 75 22, 100 20"},
    };
    for (const Case& c : cases) {
        Polygon ring(pts(c.ring));
        Polylines lines;
        EXPECT_EQ(calc_graphic_framework(ring.get(), lines.get()), 0);
        EXPECT_EQ(text_of(lines.get()), texts_of(c.lines)) << c.ring;
    }
}

TEST(ScanBeamSkeleton, ClockwiseInputIsLeftCounterClockwiseAndSnapped) {
    Polygon ring(pts("0 10, 100.4 10, 100.4 0, 0 0, 0 0"));
    Polylines lines;
    calc_graphic_framework(ring.get(), lines.get());
    EXPECT_EQ(text_of(&ring.get()->geom), text_of("0 10, 0 0, 100 0, 100 10, 0 10"));
}

TEST(ScanBeamSkeleton, ScanPositionsAddMidwayOnlyInGapsWiderThanOne) {
    struct Case {
        const char* ring;
        std::vector<int64_t> positions;
    } cases[] = {
        {"0 0, 10 0, 10 1, 0 1", {0, 5, 10}},
        {"0 0, 1 0, 1 1, 0 1", {0, 1}},
        {"0 0, 3 0, 3 1, 0 1", {0, 1, 3}},      // trunc(1.5)
        {"-3 0, 0 0, 0 1, -3 1", {-3, -1, 0}},  // trunc(-1.5) toward zero
        {"0 0, 2000000000 0, 2000000000 1, 0 1", {0, 1000000000, 2000000000}},
    };
    for (const Case& c : cases) {
        mapgeom::ScanBeams scan;
        ASSERT_EQ(mapgeom::CreatScanBeam(whole_ring(c.ring), &scan), 0);
        EXPECT_EQ(scan.positions, c.positions) << c.ring;
    }
}

TEST(ScanBeamSkeleton, VerticalEdgesGiveNoBeamsAndEveryScanLineAnEvenCount) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 300; ++trial) {
        // Lattice rings are full of vertical edges, shared x and (crossing or not) touching.
        std::vector<DBC_tagGeoPoint_t> ring;
        for (int k = random_int(rng, 3, 9); k > 0; --k) {
            DBC_tagGeoPoint_t p{random_int(rng, 0, 4), random_int(rng, 0, 4)};
            if (ring.empty() || p.x != ring.back().x || p.y != ring.back().y)
                ring.push_back(p);
        }
        ring.push_back(ring.front());
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
    }
}

TEST(ScanBeamSkeleton, UnpairedLowestBeamIsLeftOut) {
    // Three edges on one scan line (edges 0, 2 and 4 of the ring, at y = 30, 10 and 20): the top
    // two pair, the lowest has no partner.
    mapgeom::ScanBeams scan;
    scan.ring = whole_ring("0 30, 10 30, 0 10, 10 10, 0 20, 10 20");
    for (int edge : {0, 2, 4})
        scan.beams.push_back({5, {edge, 0, static_cast<double>(scan.ring[edge].y)}});
    mapgeom::MidPoints mids;
    ASSERT_EQ(mapgeom::CalcMidPts(&scan, &mids), 0);
    ASSERT_EQ(mids.size(), 1u);
    ASSERT_EQ(mids[0].second.size(), 1u);
    EXPECT_EQ(mids[0].second[0].y, 25);
}

TEST(ScanBeamSkeleton, InputsWithoutASkeletonGiveNoLines) {
    const double nan = std::nan("");
    std::vector<std::vector<Xy>> rings = {
        {},
        {{0, 0}, {10, 0}},
        {{0, 0}, {0, 0}, {0, 0}},
        {{0, 0}, {0, 10}, {0, 20}},  // all on one scan line
        {{0, 0}, {nan, 0}, {10, 10}},
    };
    for (const auto& points : rings) {
        Polygon ring(points);
        Polylines lines;
        tag_framework_t record;
        com_framework_init(&record);
        EXPECT_EQ(calc_graphic_framework(ring.get(), lines.get()), 0);
        EXPECT_EQ(calc_polygon_framework(ring.get(), &record), 0);
        EXPECT_EQ(lines.size(), 0) << text_of(points);
        EXPECT_EQ(record.part_num, 0) << text_of(points);
        com_framework_free(&record);
    }
    EXPECT_EQ(calc_graphic_framework(nullptr, nullptr), 0);
    EXPECT_EQ(calc_polygon_framework(nullptr, nullptr), 0);
}

TEST(FrameworkRecord, HoldsThePolylineFormsLinesAfterWhatItHeldAndGrowsSafely) {
    // A comb of 300 teeth gives a part per tooth. Records fresh from com_framework_init, sized for
    // one point and one part, and already holding 600 points (more than the 512 the writer starts
    // from) must all grow, keep what they held and add the lines of the polyline form.
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
        std::string written;
        for (int part = held ? 1 : 0, at = held; part < record.part_num; at += parts[part++]) {
            EXPECT_GE(parts[part], 2);
            std::vector<Xy> points;
            for (int i = at; i < at + parts[part]; ++i)
                points.push_back({double(xs[i]), double(ys[i])});
            written += (written.empty() ? "" : " | ") + text_of(points);
        }
        EXPECT_EQ(written, text_of(lines.get())) << "held " << held;
        if (held > 0) {
            EXPECT_EQ(xs[0], 7);
            EXPECT_EQ(ys[0], 8);
        }
        com_framework_free(&record);
        EXPECT_EQ(record.point_num, 0);
        EXPECT_EQ(record.x, nullptr);
    }
    tag_framework_t negative{-1, 0, nullptr, nullptr, nullptr};
    Polygon ring(teeth);
    calc_polygon_framework(ring.get(), &negative);
    EXPECT_EQ(negative.point_num, -1);
    EXPECT_EQ(negative.x, nullptr);
}

// Midpoints are truncated to whole units, so a vertex of a section thinner than a unit may land
// just off its ring: within a unit of the boundary counts as on it.
constexpr double kTruncation = 1.0;

TEST(ScanBeamSkeletonProperty, EveryVertexInsideOrOnRandomRings) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> points =
            seed % 2 ? random_star(rng, random_int(rng, 3, 80), 0, 0, 2000, 200000, true)
                     : scaled(random_simple_ring(rng), 1000);
        Polygon ring(points);
        Polylines lines;
        calc_graphic_framework(ring.get(), lines.get());
        EXPECT_GT(lines.size(), 0) << "seed " << seed << ": " << text_of(points);
        EXPECT_EQ(vertices_off({ring.get()}, lines.get(), kTruncation), "")
            << "seed " << seed << ": " << text_of(points);
    }
}

TEST(ScanBeamSkeletonProperty, SelfCrossingRingsGiveNothingOutsideTheirExtent) {
    // Rings the construction is not meant for (crossing and touching themselves) may lose lines,
    // but every point produced stays within the ring's extent and nothing is read out of range
    // (the sanitizer build runs this too).
    std::mt19937 rng(5);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<Xy> walk = random_walk(rng, random_int(rng, 3, 12), 50);
        for (Xy& v : walk)
            v = {std::round(v.x), std::round(v.y)};
        Polygon ring(walk);
        Polylines lines;
        calc_graphic_framework(ring.get(), lines.get());
        if (ring.get()->geom.count == 0)
            continue;
        rectangle_t extent = calc_polygon_exrectangle(ring.get());
        for (const polyline_node_t* n = lines.get()->head; n != nullptr; n = n->next)
            for (int i = 0; i < n->polyline.geom.count; ++i) {
                point_t p = n->polyline.geom.points[i];
                ASSERT_TRUE(p.x >= extent.min_x && p.x <= extent.max_x && p.y >= extent.min_y - 1 &&
                            p.y <= extent.max_y + 1)
                    << "trial " << trial << ": " << text_of(walk);
            }
    }
}

}  // namespace
