// Skeletons: pinned cases of the scan-beam construction, the flat record, post-processing, joining
// and nudging, and properties over random, elongated and real outlines: lines inside, reaching both
// ends of rivers, the turned two-pass skeleton agreeing with the skeleton turned.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "mapgeom/mapgeom.h"
#include "random_shapes.h"
#include "shape_text.h"
#include "skeleton/skeleton_internal.h"
#include "us_atlas.h"

namespace {

using namespace testing_shapes;
using mapgeom::DBC_tagGeoPoint_t;

// n whole-unit points running left to right over `length`, swinging by up to `amplitude` along
// three waves of random phase: a river's centre line, monotone in x.
std::vector<Xy> meander(std::mt19937& rng, int n, double length, double amplitude) {
    double phase[3], waves[3] = {1.0, 3.0, 7.0};
    for (double& p : phase)
        p = random_real(rng, 0.0, 2.0 * M_PI);
    std::vector<Xy> line;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / (n - 1), y = 0.0;
        for (int k = 0; k < 3; ++k)
            y += amplitude / (k + 1) * std::sin(waves[k] * 2.0 * M_PI * t + phase[k]) / 1.84;
        line.push_back({std::round(t * length), std::round(y)});
    }
    return line;
}

// The band reaching width / 2 above and below an x-monotone line: its upper side left to right,
// then its lower side back.
std::vector<Xy> band_around(const std::vector<Xy>& line, double width) {
    std::vector<Xy> ring;
    for (const Xy& v : line)
        ring.push_back({v.x, std::round(v.y + width / 2)});
    for (auto it = line.rbegin(); it != line.rend(); ++it)
        ring.push_back({it->x, std::round(it->y - width / 2)});
    return ring;
}

// Appends the "|"-separated lines of `text`, coordinates multiplied by `scale`.
void add_lines(polylines_t* list, const std::string& text, double scale = 1.0) {
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, '|');) {
        Polyline line;
        for (const Xy& v : pts(item))
            com_polyline_add(line.get(), point_t{v.x * scale, v.y * scale, 0});
        com_polylines_add_copy(list, *line.get());
    }
}

// Plane distance from p to the nearest stretch of g (to its point when it has only one).
double distance_to(const geom_t* g, point_t p) {
    double nearest = std::numeric_limits<double>::infinity();
    for (int i = 0; i < g->count; ++i) {
        point_t a = g->points[i], b = g->points[std::min(i + 1, g->count - 1)];
        double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
        double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
        t = std::max(0.0, std::min(1.0, t));
        nearest = std::min(nearest, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return nearest;
}

double distance_to(const polylines_t* lines, point_t p) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const polyline_node_t* node = lines->head; node != nullptr; node = node->next)
        nearest = std::min(nearest, distance_to(&node->polyline.geom, p));
    return nearest;
}

// Whether `lines` come within the band's width of the middles of both of its end sides (points 0
// and n - 1 at the start, n / 2 - 1 and n / 2 at the end).
bool reaches_both_ends(const std::vector<Xy>& band, const polylines_t* lines) {
    size_t n = band.size();
    double width = std::hypot(band[0].x - band[n - 1].x, band[0].y - band[n - 1].y);
    for (size_t end : {size_t{0}, n / 2})
        if (distance_to(lines, pt((band[end].x + band[n - 1 - end].x) / 2,
                                  (band[end].y + band[n - 1 - end].y) / 2)) > width)
            return false;
    return true;
}

// Skeleton vertices outside every ring of `rings` (prepared point location) and farther than
// `tolerance` from all their boundaries, as text ("" when none).
std::string vertices_off(const polygons_t* rings, const polylines_t* lines, double tolerance) {
    std::vector<const polygon_t*> polygons;
    for (const polygon_node_t* n = rings->head; n != nullptr; n = n->next)
        polygons.push_back(&n->polygon);
    std::vector<polygon_pretreat_t> prepared(polygons.size());
    for (size_t k = 0; k < polygons.size(); ++k)
        create_polygon_pretreat(polygons[k], &prepared[k]);
    std::string off;
    for (const polyline_node_t* node = lines->head; node != nullptr; node = node->next)
        for (int i = 0; i < node->polyline.geom.count; ++i) {
            point_t p = node->polyline.geom.points[i];
            bool near = false;
            for (size_t k = 0; k < prepared.size() && !near; ++k)
                near = relation_point_and_polygon(&prepared[k], p) != 0 ||
                       distance_to(&polygons[k]->geom, p) <= tolerance;
            if (!near)
                off += text_of(std::vector<Xy>{{p.x, p.y}}) + "; ";
        }
    return off;
}

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
        {"0 0, 100 0, 100 10, 0 10", "0 5, 50 5, 100 5", ""},
        // Clockwise and off the unit grid: reversed and snapped in place, the same line.
        {"0 10, 100.4 10, 100.4 0, 0 0, 0 0", "0 5, 50 5, 100 5", "0 10, 0 0, 100 0, 100 10, 0 10"},
        {"0 5, 10 0, 10 10", "0 5, 5 5, 10 5", ""},  // a vertical side on the right
        // A notch from the right splits the section at x = 50: both branches start at x = 25.
        {"0 0, 100 0, 100 40, 50 50, 100 60, 100 100, 0 100",
         "0 50, 25 50 | 25 50, 50 75, 75 77, 100 80 | 25 50, 50 25, 75 22, 100 20", ""},
    };
    for (const Case& c : cases) {
        Polygon ring(pts(c.ring));
        Polylines lines;
        EXPECT_EQ(calc_graphic_framework(ring.get(), lines.get()), 0);
        EXPECT_EQ(text_of(lines.get()), texts_of(c.lines)) << c.ring;
        EXPECT_TRUE(!*c.ring_after || text_of(&ring.get()->geom) == text_of(c.ring_after));
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

TEST(ScanBeamSkeleton, LatticeRingsGiveNoVerticalBeamsAndNothingOutside) {
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
        for (const auto& beam : scan.beams)
            EXPECT_NE(ring[beam.second.edge].x, ring[beam.second.edge + 1].x) << text_of(points);
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
    ASSERT_TRUE(mids.size() == 1 && mids[0].second.size() == 1);
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
    // A river of 1000 bends gives lines of over 512 points. Records fresh from com_framework_init,
    // sized for one point and holding 600 points (more than the 512 the writer starts from) all
    // grow, keep what they held and add the lines of the polyline form; a negative count is left
    // alone.
    std::mt19937 rng(3);
    std::vector<Xy> river = band_around(meander(rng, 1000, 2e6, 3e5), 30000);
    Polygon for_list(river);
    Polylines lines;
    calc_graphic_framework(for_list.get(), lines.get());
    int start_x[600] = {7}, start_y[600] = {8};
    for (int held : {0, 1, 600}) {
        Polygon ring(river);
        tag_framework_t record;
        if (held == 0)
            com_framework_init(&record);
        else
            com_framework_init_value(&record, start_x, start_y, &held, held, 1);
        EXPECT_EQ(calc_polygon_framework(ring.get(), &record), 0);
        EXPECT_GT(record.point_num, held + 1024);
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
    Polygon ring(river);
    calc_polygon_framework(ring.get(), &negative);
    EXPECT_TRUE(negative.point_num == -1 && negative.x == nullptr);
}

// Raw lines within a unit of the ring (midpoints are truncated to whole units), processed lines
// inside too and no more of them than raw ones, and for a river lines reaching both of its ends.
void check_skeleton(const std::vector<Xy>& points, const std::string& context, bool river = false) {
    Polygons ring;
    add_rings(ring.get(), {points});
    Polylines raw, out;
    calc_graphic_framework(&ring.get()->head->polygon, raw.get());
    polygon_framework_process(raw.get(), out.get());
    EXPECT_EQ(vertices_off(ring.get(), raw.get(), 1.0), "") << context;
    EXPECT_EQ(vertices_off(ring.get(), out.get(), 1.0), "") << context;
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

// Map units per kilometre along the equator (9,216,000 units a degree, 111.31949 km a degree).
constexpr double kKm = 9216000.0 / 111.31949;

// The lines of a list as text, each written from whichever end prints first, rounded to 1/1000.
std::string undirected(const polylines_t* list) {
    std::string text;
    for (const polyline_node_t* n = list->head; n != nullptr; n = n->next) {
        std::vector<Xy> points = points_of(&n->polyline.geom);
        for (Xy& v : points)
            v = {std::round(v.x * 1000) / 1000, std::round(v.y * 1000) / 1000};
        std::string forward = text_of(points),
                    backward = text_of(std::vector<Xy>(points.rbegin(), points.rend()));
        text += (text.empty() ? "" : " | ") + std::min(forward, backward);
    }
    return text;
}

std::string undirected(const std::string& lines, double scale = 1.0) {
    Polylines list;
    add_lines(list.get(), lines, scale);
    return undirected(list.get());
}

TEST(FrameworkProcess, NodeKeysRunTheFifthsTogether) {
    struct Case {
        point_t p;
        const char* key;
    } cases[] = {{{10, 10, 0}, "22"},   {{14, 14, 0}, "22"}, {{12, 345, 0}, "269"},
                 {{134, 45, 0}, "269"}, {{-7, 3, 0}, "-10"}, {{-4, -4, 0}, "00"}};
    for (const Case& c : cases)
        EXPECT_EQ(mapgeom::point_to_string(c.p), c.key) << c.p.x << " " << c.p.y;
}

// Lines in and lines out (in order, either direction), coordinates times `scale`. Pruning goes by
// the total length: 10 km up to 500 km of lines, 20 km up to 1000 km, 30 km beyond.
struct ProcessCase {
    double scale;
    const char *in, *out;
} const kProcessCases[] = {
    // Pieces of one path in any orientation; ends within one 5-unit cell share a node.
    {1, "0 0, 1000 0 | 1000 0, 2000 50 | 2000 50, 3000 0", "0 0, 1000 0, 2000 50, 3000 0"},
    {1, "1000 0, 0 0 | 1000 0, 2000 50 | 3000 0, 2000 50", "0 0, 1000 0, 2000 50, 3000 0"},
    {1, "2000 50, 3000 0 | 1002 1, 0 0 | 2000 50, 1000 0", "0 0, 1002 1, 2000 50, 3000 0"},
    // A loop stays whole; split in two halves with a spur, the spur is its only way out and stays.
    {1, "0 0, 1000 1000, 2000 0, 1000 -1000, 0 0", "0 0, 1000 1000, 2000 0, 1000 -1000, 0 0"},
    {1, "0 0, 1000 1000, 2000 0 | 2000 0, 1000 -1000, 0 0 | 0 0, -500 0",
     "0 0, 1000 1000, 2000 0, 1000 -1000, 0 0 | 0 0, -500 0"},
    // Two arms and two spurs at (0, 0), in km: 654 km keeps spurs over 20 km, 633 km drops those
    // under it and merges the junction away, 427 km goes by 10 km, 1253 km by 30 km.
    {kKm, "-300 0, 0 0 | 0 0, 300 0 | 0 0, 0 25 | 0 0, 0 -29",
     "-300 0, 0 0 | 0 0, 300 0 | 0 0, 0 25 | 0 0, 0 -29"},
    {kKm, "-300 0, 0 0 | 0 0, 300 0 | 0 0, 0 15 | 0 0, 0 -18", "-300 0, 0 0, 300 0"},
    {kKm, "-200 0, 0 0 | 0 0, 200 0 | 0 0, 0 12 | 0 0, 0 -15",
     "-200 0, 0 0 | 0 0, 200 0 | 0 0, 0 12 | 0 0, 0 -15"},
    {kKm, "-200 0, 0 0 | 0 0, 200 0 | 0 0, 0 6 | 0 0, 0 -8", "-200 0, 0 0, 200 0"},
    {kKm, "-600 0, 0 0 | 0 0, 600 0 | 0 0, 0 25 | 0 0, 0 -28", "-600 0, 0 0, 600 0"},
    // Spurs of 5 km (its end node sorts first) and 3 km: the shorter goes, by length not order.
    {kKm, "-50 0, 0 0 | 0 0, 0 -5 | 0 0, 0 3", "-50 0, 0 0, 0 -5"},
    // Output in the text order of line keys (input indexes): 0, 1, 10, 11, 2, ...
    {1e6,
     "0 0, 0 1 | 1 0, 1 1 | 2 0, 2 1 | 3 0, 3 1 | 4 0, 4 1 | 5 0, 5 1 | 6 0, 6 1 | 7 0, 7 1 | "
     "8 0, 8 1 | 9 0, 9 1 | 10 0, 10 1 | 11 0, 11 1",
     "0 0, 0 1 | 1 0, 1 1 | 10 0, 10 1 | 11 0, 11 1 | 2 0, 2 1 | 3 0, 3 1 | 4 0, 4 1 | 5 0, 5 1 | "
     "6 0, 6 1 | 7 0, 7 1 | 8 0, 8 1 | 9 0, 9 1"},
};

std::string processed(const ProcessCase& c) {
    Polylines in, out;
    add_lines(in.get(), c.in, c.scale);
    polygon_framework_process(in.get(), out.get());
    return undirected(out.get());
}

TEST(FrameworkProcess, MergesAndPrunesByTheWholeLengthAlsoOnTwoThreads) {
    // Both threads run every case, in opposite orders, so long and short skeletons (pruning with
    // different lengths) are processed side by side: each must give what it gives alone.
    const size_t rows = sizeof kProcessCases / sizeof kProcessCases[0];
    auto run = [&](bool backwards) {
        for (int i = 0; i < 200; ++i)
            for (size_t r = 0; r < rows; ++r) {
                const ProcessCase& c = kProcessCases[backwards ? rows - 1 - r : r];
                EXPECT_EQ(processed(c), undirected(c.out, c.scale)) << c.in;
            }
    };
    std::thread a(run, false), b(run, true);
    a.join();
    b.join();
}

TEST(FrameworkJoin, BoundedJoiningFailsWithoutAResult) {
    // A chain of pieces takes one round per piece after the first; 10000 rounds are allowed. Two
    // pieces apart and an empty list fail too.
    for (int pieces : {10001, 10002, -2, 0}) {
        std::vector<polyline_t> chain(std::abs(pieces));
        for (size_t i = 0; i < chain.size(); ++i) {
            com_polyline_init(&chain[i]);
            for (double x : {i * 10.0, i * 10.0 + (pieces < 0 ? 5 : 10)})
                com_polyline_add(&chain[i], point_t{x, 0, 0});
        }
        Polyline joined;
        EXPECT_EQ(mapgeom::connect_polyline(&chain, joined.get()), pieces == 10001 ? 0 : -1);
        EXPECT_EQ(joined.get()->geom.count, pieces == 10001 ? pieces + 1 : 0);
    }
}

TEST(FrameworkJoin, StretchesComeFromThePassThatFollowsThem) {
    // The passes of one shape cross at (25, 5), (75, 5), (102.857, 28.571) and (108.8, 88): flat
    // stretches from the first, steep ones from the second; a counterpart met the other way round
    // is reversed, and a line of the second pass never chosen is not written. Lines crossing fewer
    // than twice are kept whole from the pass that follows them, the longer when both do.
    const char* first = "0 0, 50 10, 100 0, 110 100";
    const char* joined = "0 0, 25 5, 50 10, 75 5, 100 0, 102.857 28.571, 120 60, 108.8 88, 100 110";
    struct Case {
        const char *first, *second, *joined;
    } cases[] = {
        {first, "0 5, 90 5, 120 60, 100 110 | 5000 5000, 6000 5000", joined},
        {first, "100 110, 120 60, 90 5, 0 5", joined},
        {"0 0, 100 10", "0 50, 100 60", "0 0, 100 10"},
        {"0 0, 10 100", "50 0, 60 100", "50 0, 60 100"},
        {"0 50, 10 50", "5 0, 5 100", "5 0, 5 100"},       // a tall band: its length, not the stub
        {"0 50, 100 50", "50 45, 50 55", "0 50, 100 50"},  // a wide band
        {"0 0, 10 100", "0 50, 100 60", ""},               // neither follows its pass
        {"0 0, 100 10", "", ""},                           // no counterpart
    };
    for (const Case& c : cases) {
        Polylines a, b, out;
        add_lines(a.get(), c.first);
        add_lines(b.get(), c.second);
        std::string b_before = text_of(b.get());
        framework_connect(a.get(), b.get(), out.get());
        EXPECT_EQ(undirected(out.get()), undirected(c.joined)) << c.first << " | " << c.second;
        EXPECT_EQ(text_of(b.get()), b_before) << "the caller's lines are not changed";
    }
}

TEST(FrameworkRevise, PointsNearTheBoundaryInXMoveInward) {
    // Probes 8000 to the left and right: the point moves 4000 away from the one outside.
    Polygon ring(pts("0 0, 100000 0, 100000 50000, 0 50000"));
    Polylines lines;
    add_lines(lines.get(), "3000 100, 97000 100, 50000 100, -50000 100, 6000 50000");
    framework_points_revise(ring.get(), lines.get());
    EXPECT_EQ(text_of(lines.get()),
              text_of("7000 100, 93000 100, 50000 100, -50000 100, 10000 50000"));
}

// The farthest any vertex of `from` lies from the lines of `to`.
double farthest_vertex(const polylines_t* from, const polylines_t* to) {
    double farthest = 0.0;
    for (const polyline_node_t* n = from->head; n != nullptr; n = n->next)
        for (int i = 0; i < n->polyline.geom.count; ++i)
            farthest = std::max(farthest, distance_to(to, n->polyline.geom.points[i]));
    return farthest;
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
    // The second pass is the first pass of the shape turned by 90 degrees: where each pass alone
    // follows a river from end to end, the skeletons of the river and of the river turned agree
    // once turned back. (Where a pass branches they need not: lines pair first pass first.)
    int compared = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);  // a river turned by seed * 0.4 radians: flat and steep mixed
        std::vector<Xy> shape = band_around(meander(rng, 60, 2e6, 3e5), random_real(rng, 2e4, 2e5));
        for (Xy& v : shape)
            v = {std::round(v.x * std::cos(seed * 0.4) - v.y * std::sin(seed * 0.4)),
                 std::round(v.x * std::sin(seed * 0.4) + v.y * std::cos(seed * 0.4))};
        if (!pass_follows_river(shape, false) || !pass_follows_river(shape, true))
            continue;
        Polygons as_is, turned;
        add_rings(as_is.get(), {shape});
        add_rings(turned.get(), {shape});
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
    // Two to four overlapping rivers and stars per set; for seed 0 four bars round an empty middle,
    // which unite into a frame with a hole the lines must go round. Chords between skeleton
    // vertices may cut a corner, and where the passes are joined a crossing of two chords becomes
    // a vertex: allow a hundredth of the shapes' size (10^4 units) off the boundary.
    const char* bars[] = {"0 0, 3 0, 3 1, 0 1", "0 2, 3 2, 3 3, 0 3", "0 0, 1 0, 1 3, 0 3",
                          "2 0, 3 0, 3 3, 2 3"};
    for (unsigned seed = 0; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        Polygons set;
        for (int k = seed ? random_int(rng, 2, 4) : 4; k > 0; --k) {
            std::mt19937 shape_rng(seed * 10 + static_cast<unsigned>(k));
            std::vector<Xy> shape = seed == 0 ? pts(bars[k - 1])
                                    : k % 2   ? band_around(meander(shape_rng, 60, 2e6, 3e5),
                                                            random_real(shape_rng, 2e4, 2e5))
                                              : random_star(shape_rng, random_int(shape_rng, 5, 40),
                                                            0, 0, 1e5, 1e6, true);
            double scale = seed ? 1 : 1e5, dx = seed ? random_real(rng, -5e5, 5e5) : 0,
                   dy = seed ? random_real(rng, -5e5, 5e5) : 0;
            for (Xy& v : shape)
                v = {std::round(v.x * scale + dx), std::round(v.y * scale + dy)};
            add_rings(set.get(), {shape});
        }
        Polylines lines;
        calc_graphics_framework(set.get(), lines.get());
        EXPECT_GT(lines.size(), 0) << "seed " << seed;
        EXPECT_EQ(vertices_off(set.get(), lines.get(), 1e4), "") << "seed " << seed;
    }
}

}  // namespace
