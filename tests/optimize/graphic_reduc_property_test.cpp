// Properties of the graphic reduction over seeded random and real rings: the result is a
// subsequence of the input's truncated vertices, keeps every coded vertex with its neighbours and
// its press sections in the form 2, 0, ..., 0, 3, stays valid when the input was (by the library's
// check and by GEOS), and the triangle guard through the sorted index keeps exactly the vertices
// that a test of every vertex keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "geos_oracle.h"
#include "mapgeom/optimize.h"
#include "mapgeom/relation.h"
#include "optimize/optimize_internal.h"
#include "random_shapes.h"
#include "shape_text.h"
#include "us_atlas.h"

using namespace testing_shapes;

namespace {

// A star-shaped ring with radial noise at every vertex: wiggles of every size around a circle.
std::vector<Xy> wiggly_star(std::mt19937& rng) {
    int n = random_int(rng, 20, 600);
    double r = random_real(rng, 800, 30000);
    return random_star(rng, n, 0, 0, r * random_real(rng, 0.3, 0.95), r, true);
}

// A zigzag band: the upper chain runs a fixed gap above the lower one, so dropping a peak of
// either chain would often cut across the other chain, which the triangle guard must refuse.
std::vector<Xy> zigzag_band(std::mt19937& rng) {
    int n = random_int(rng, 4, 300);
    double gap = std::round(random_real(rng, 1, 100));
    double amplitude = random_real(rng, 0, 3000);
    std::vector<Xy> lower;
    double x = 0;
    for (int k = 0; k < n; ++k) {
        lower.push_back({x, std::round((k % 2 == 0 ? -1 : 1) * random_real(rng, 0, amplitude))});
        x += random_int(rng, 5, 400);
    }
    std::vector<Xy> ring = lower;
    for (auto v = lower.rbegin(); v != lower.rend(); ++v)
        ring.push_back({v->x, v->y + gap});
    return ring;
}

// Marks a random run of vertices as a press section (2 ... 3) and one other vertex as a node.
void add_codes(std::mt19937& rng, std::vector<Xy>* ring) {
    int n = static_cast<int>(ring->size());
    if (n < 8 || random_int(rng, 0, 2) == 0)
        return;
    int start = random_int(rng, 1, n - 6);
    int length = random_int(rng, 1, std::min(6, n - start - 2));
    (*ring)[start].z = 2;
    (*ring)[start + length].z = 3;
    Xy& node = (*ring)[random_int(rng, 0, n - 1)];
    if (node.z == 0)
        node.z = 100;
}

// Index in `out` of each input vertex taken, or an empty list when `out` is not a subsequence of
// `in` by place.
std::vector<int> match_subsequence(const std::vector<Xy>& in, const std::vector<Xy>& out) {
    std::vector<int> taken;
    size_t k = 0;
    for (const Xy& v : out) {
        while (k < in.size() && (in[k].x != v.x || in[k].y != v.y))
            ++k;
        if (k == in.size())
            return {};
        taken.push_back(static_cast<int>(k++));
    }
    return taken;
}

// The default thresholds, and the same scaled up a thousandfold in length, for outlines in map
// units where the defaults' few metres would leave nearly every vertex.
const tag_polygon_param_t kDefaults{0.01, 61.0, 180.0, 310.0, 50.0, 14000.0, 2000.0};
const tag_polygon_param_t kCoarse{0.01, 61.0, 180.0, 310e3, 50e3, 14000e6, 2000e3};

// The result code and the kept points (with their codes, as text) of one reduction.
std::pair<int, std::string> reduce(const polygon_t* in, const tag_polygon_param_t& param,
                                   mapgeom::TriangleGuard guard, std::vector<Xy>* kept) {
    Polygon out;
    int code = mapgeom::reduce_polygon_with(in, out.get(), param, guard);
    *kept = points_of(&out.get()->geom);
    return {code, text_of(*kept)};
}

// Checks one input ring (whole units); returns an empty string or what went wrong. `reduced`
// counts rings that lost vertices.
std::string check_ring(const std::vector<Xy>& ring, const tag_polygon_param_t& param, Geos* geos,
                       int* reduced) {
    Polygon in(ring);
    std::vector<Xy> result, plain;
    auto by_index = reduce(in.get(), param, mapgeom::TriangleGuard::kSortedIndex, &result);
    auto by_scan = reduce(in.get(), param, mapgeom::TriangleGuard::kPlainScan, &plain);
    if (by_index != by_scan)
        return "plain scan keeps " + by_scan.second + "\nindex keeps " + by_index.second;
    if (by_index.first != 0)
        return result.size() <= 2 ? "" : "collapsed with " + by_index.second;
    std::vector<Xy> stored = points_of(&in.get()->geom);
    if (result.size() < stored.size())
        ++*reduced;
    std::vector<int> taken = match_subsequence(stored, result);
    if (taken.empty() || taken.back() != static_cast<int>(stored.size()) - 1)
        return "not a subsequence ending at the closing point: " + text_of(result);
    int n = static_cast<int>(stored.size());
    for (int k = 0; k + 1 < n; ++k) {
        if (stored[k].z == 0)
            continue;
        for (int v : {k == 0 ? n - 2 : k - 1, k, k + 1})
            if (std::find(taken.begin(), taken.end(), v) == taken.end())
                return "lost coded vertex or neighbour " + std::to_string(v);
    }
    // Press sections come out 2, 0, ..., 0, 3 with nothing unmarked in between.
    bool in_section = false;
    for (const Xy& v : result) {
        int press = static_cast<int>(v.z) % 100;
        if (press == 1 || (press == 2 && in_section) || (press == 3 && !in_section))
            return "section codes broken: " + text_of(result);
        if (press == 2 || press == 3)
            in_section = press == 2;
    }
    Polygon out(result);
    if (relation_polygon_iserror(out.get()) != 0)  // the callers give valid rings only
        return "result invalid: code " + std::to_string(relation_polygon_iserror(out.get())) +
               ": " + text_of(result);
    if (geos->valid(stored) && !geos->valid(result))
        return "result invalid for GEOS: " + text_of(result);
    return "";
}

TEST(PolygonReductionProperty, RandomRingsStayValidSubsequencesKeepingCodes) {
    Geos geos;
    int reduced = 0, tried = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Xy> ring = seed % 2 == 0 ? wiggly_star(rng) : zigzag_band(rng);
        add_codes(rng, &ring);
        Polygon in(ring);
        if (relation_polygon_iserror(in.get()) != 0)
            continue;
        ++tried;
        ASSERT_EQ(check_ring(ring, kDefaults, &geos, &reduced), "")
            << "seed " << seed << " ring " << text_of(ring);
    }
    EXPECT_GT(tried, 220);
    EXPECT_GT(reduced, tried / 2) << "the rings should mostly lose vertices";
}

// US state and county outlines (with and without press sections), at the default and at coarse
// thresholds. Every input ring that is valid must stay valid.
TEST(PolygonReductionProperty, RealOutlinesStayValidSubsequencesKeepingCodes) {
    Geos geos;
    std::mt19937 rng(2024);
    int reduced = 0, tried = 0;
    for (const char* file : {"states.txt", "counties.txt"}) {
        for (const AtlasRing& atlas : load_atlas_rings(file)) {
            std::vector<Xy> ring = atlas.points;
            add_codes(rng, &ring);
            Polygon in(ring);
            if (relation_polygon_iserror(in.get()) != 0)
                continue;
            ++tried;
            for (const tag_polygon_param_t& param : {kDefaults, kCoarse})
                ASSERT_EQ(check_ring(ring, param, &geos, &reduced), "")
                    << atlas.name << " (" << file << ", polygon " << atlas.polygon
                    << (atlas.hole ? " hole" : "") << ") min_length " << param.min_length;
        }
    }
    EXPECT_GT(tried, 300);
    EXPECT_GT(reduced, tried / 2);
}

}  // namespace
