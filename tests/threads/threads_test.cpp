// Concurrent calls: four threads run overlays, tiling and repair on the same real county outlines
// (shared, read-only records where the entry point takes them const) and must each produce exactly
// the results of a single-threaded run.
#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "mapgeom/algebra.h"
#include "mapgeom/java.h"
#include "mapgeom/relation.h"
#include "shape_text.h"
#include "us_atlas.h"

namespace {

using namespace testing_shapes;

constexpr int kThreads = 4;

// Valid Colorado county rings: neighbours share edges, so consecutive pairs overlay for real.
const std::vector<std::vector<Xy>>& counties() {
    static const std::vector<std::vector<Xy>> rings = [] {
        std::vector<std::vector<Xy>> valid;
        for (const AtlasRing& r : load_atlas_outers("counties.txt", "08")) {
            Polygon ring(r.points);
            if (relation_polygon_iserror(ring.get()) == 0)
                valid.push_back(r.points);
        }
        return valid;
    }();
    return rings;
}

// Union, intersection and difference of each county with the next: every call on fresh copies,
// since the overlays snap and reorient their inputs in place.
std::string overlays() {
    std::string out;
    const auto& rings = counties();
    for (size_t i = 0; i + 1 < rings.size(); ++i) {
        for (auto operation :
             {algebra_polygons_union, algebra_polygons_intersec, algebra_polygons_diffence}) {
            Polygon a(rings[i]);
            Polygon b(rings[i + 1]);
            Polygons result;
            out += std::to_string(operation(a.get(), b.get(), result.get())) + "\n";
            out += text_of(result.get()) + "\n";
        }
    }
    return out;
}

// The self-intersection repair on records every thread shares (the entry point does not change
// its input), including a bow tie that it must cut.
std::string repairs(const std::vector<const polygon_t*>& shared) {
    std::string out;
    for (const polygon_t* ring : shared) {
        Polygons result;
        out += std::to_string(error_polygon_process(ring, result.get())) + "\n";
        out += text_of(result.get()) + "\n";
    }
    return out;
}

// All counties tiled through one shared in-record.
std::string tiles(const polygon_division_in_t* shared) {
    polygon_division_out_t tiled{};
    polygon_division_out_init(&tiled, 512, 512, shared->part_num);
    algebra_polygon_intersec_java(shared, &tiled);
    std::ostringstream out;
    out << tiled.shape_num << ' ' << tiled.part_num << ' ' << tiled.point_num << '\n';
    for (int i = 0; i < tiled.part_num; ++i)
        out << tiled.part_col[i] << ',' << tiled.part_row[i] << ',' << tiled.part_points[i] << ' ';
    for (int i = 0; i < tiled.point_num; ++i)
        out << tiled.x[i] << ',' << tiled.y[i] << ',' << tiled.z[i] << ' ';
    polygon_division_out_free(&tiled);
    return out.str();
}

struct SharedTiling {
    polygon_division_in_t in{};
    SharedTiling() {
        std::vector<int> x, y, z, parts;
        for (const auto& ring : counties()) {
            parts.push_back(static_cast<int>(ring.size()) + 1);
            for (size_t i = 0; i <= ring.size(); ++i) {
                x.push_back(static_cast<int>(ring[i % ring.size()].x));
                y.push_back(static_cast<int>(ring[i % ring.size()].y));
                z.push_back(0);
            }
        }
        // Colorado in tiles of about half a degree.
        in.grid_min_x = -109 * 9216000;
        in.grid_max_x = -102 * 9216000;
        in.grid_min_y = 37 * 9216000;
        in.grid_max_y = 41 * 9216000;
        in.col_num = 14;
        in.row_num = 8;
        polygon_division_in_init(&in, x.data(), y.data(), z.data(), parts.data(),
                                 static_cast<int>(x.size()), static_cast<int>(parts.size()));
    }
    ~SharedTiling() { polygon_division_in_free(&in); }
};

// Runs `work` once alone and then on kThreads threads at once; every result must match.
template <typename Work>
void expect_same_on_threads(const char* what, Work work) {
    const std::string alone = work();
    ASSERT_FALSE(alone.empty());
    std::vector<std::string> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&results, &work, t] { results[t] = work(); });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_TRUE(results[t] == alone) << what << ": thread " << t << " differs";
}

TEST(Threads, OverlaysTilingAndRepairMatchASingleThread) {
    ASSERT_GT(counties().size(), 50u);
    SharedTiling tiling;
    std::deque<Polygon> rings;  // a deque: records stay where they are built
    for (const auto& ring : counties())
        rings.emplace_back(ring);
    rings.emplace_back(std::vector<Xy>{{0, 0}, {1000, 1000}, {1000, 0}, {0, 1000}});
    std::vector<const polygon_t*> shared;
    for (const Polygon& ring : rings)
        shared.push_back(ring.get());

    expect_same_on_threads("overlays", overlays);
    expect_same_on_threads("tiling", [&tiling] { return tiles(&tiling.in); });
    expect_same_on_threads("repair", [&shared] { return repairs(shared); });
    // And all three kinds at the same time, one per thread.
    const std::string expected[] = {overlays(), tiles(&tiling.in), repairs(shared)};
    std::string got[3];
    std::thread a([&] { got[0] = overlays(); });
    std::thread b([&] { got[1] = tiles(&tiling.in); });
    std::thread c([&] { got[2] = repairs(shared); });
    a.join();
    b.join();
    c.join();
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(got[k] == expected[k]) << "mixed run, kind " << k;
}

}  // namespace
