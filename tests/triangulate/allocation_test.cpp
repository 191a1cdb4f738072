// Allocation failures on demand: the concave decomposition's malloc (wrapped at link time, see
// CMakeLists.txt) and the convex split's scratch containers (failing_new.cpp). A failure must
// leave the caller's chain or list whole and every other block released.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "convex_rings.h"
#include "failing_new.h"
#include "mapgeom/concave.h"
#include "mapgeom/convex.h"

namespace {

// The wrappers see every malloc of the program's own objects, operator new (failing_new.cpp)
// included, so they keep their books without allocating. Counting and failing are switched on
// only around the call under test.
long malloc_budget = -1;  // successful mallocs left; -1 unlimited
bool counting = false;
void* live_blocks[4096];  // blocks malloc'd while counting and not yet freed
int live_count = 0;

}  // namespace

extern "C" void* __real_malloc(size_t size);
extern "C" void __real_free(void* p);

extern "C" void* __wrap_malloc(size_t size) {
    if (malloc_budget == 0)
        return nullptr;
    if (malloc_budget > 0)
        --malloc_budget;
    void* p = __real_malloc(size);
    if (counting && p != nullptr && live_count < 4096)
        live_blocks[live_count++] = p;
    return p;
}

extern "C" void __wrap_free(void* p) {
    for (int k = 0; counting && k < live_count; ++k)
        if (live_blocks[k] == p) {
            live_blocks[k] = live_blocks[--live_count];
            break;
        }
    __real_free(p);
}

namespace {

using convex_rings::Ring;

TEST(ConcaveDecomposition, AllocationFailureLeavesAWholeChainAndNoBlocks) {
    std::mt19937 rng(5);
    Ring comb = convex_rings::comb_ring(rng, 5);
    std::vector<_InPoint> points;
    for (size_t i = 0; i <= comb.size(); ++i)
        points.push_back({int(comb[i % comb.size()].x), int(comb[i % comb.size()].y), 0});
    int whole = 0;
    for (long budget = 0;; ++budget) {
        ASSERT_LT(budget, 1000) << "the decomposition never completed";
        _polygon* chain = nullptr;
        int count = 0;
        testing::internal::CaptureStdout();
        live_count = 0;
        counting = true;
        malloc_budget = budget;
        int code = MakePolyProtru(&chain, &count, points.data(), static_cast<int>(points.size()));
        malloc_budget = -1;
        int linked = 0;
        bool closed = true;
        for (_polygon* p = chain; p != nullptr; p = p->next, ++linked)
            closed = closed && p->num >= 4 && p->points[0].x == p->points[p->num - 1].x &&
                     p->points[0].y == p->points[p->num - 1].y;
        ReleasePolygonSpace(chain, count);
        counting = false;
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(closed) << "budget " << budget;
        EXPECT_EQ(linked, count) << "budget " << budget;
        EXPECT_EQ(live_count, 0) << "blocks left with budget " << budget;
        if (code == 0) {
            whole = count;
            break;
        }
        EXPECT_EQ(code, -1) << "budget " << budget;
    }
    EXPECT_GT(whole, 4);
}

TEST(ConvexSplit, AllocationFailureAppendsNoPiece) {
    std::mt19937 rng(6);
    testing_shapes::Polygon comb(convex_rings::to_xy(convex_rings::comb_ring(rng, 5)));
    std::vector<int> out(2 * comb.get()->geom.count);
    for (long successes = 0;; ++successes) {
        ASSERT_LT(successes, 100000) << "the split never completed";
        testing_shapes::Polygons pieces;
        com_polygons_add_copy(pieces.get(), *comb.get());
        int written = -1;
        bool failed = false;
        {
            testing_alloc::FailingNew failing(successes);
            written = graphic_to_convex(comb.get(), pieces.get(), out.data());
            failed = failing.failed();
        }
        if (failed) {
            EXPECT_EQ(written, 0) << successes;
            EXPECT_EQ(pieces.size(), 1) << successes;
            continue;
        }
        EXPECT_GT(written, 0);
        EXPECT_EQ(pieces.size(), 1 + written / 2 + 1);
        break;
    }
}

}  // namespace
