// Allocation failures on demand: the concave decomposition's malloc (wrapped at link time, see
// CMakeLists.txt) and the convex split's scratch containers (failing_new.cpp). A failure must
// leave the caller's chain or list whole and every other block released.
#include <gtest/gtest.h>

#include "convex_rings.h"
#include "failing_new.h"
#include "mapgeom/concave.h"
#include "mapgeom/convex.h"

namespace {

// Counting (blocks malloc'd less blocks freed) and failing are switched on only around the call
// under test, whose blocks are all its own.
long malloc_budget = -1;  // successful mallocs left; -1 unlimited
bool counting = false;
long live_blocks = 0;

}  // namespace

extern "C" void* __real_malloc(size_t size);
extern "C" void __real_free(void* p);

extern "C" void* __wrap_malloc(size_t size) {
    if (malloc_budget == 0)
        return nullptr;
    if (malloc_budget > 0)
        --malloc_budget;
    void* p = __real_malloc(size);
    live_blocks += counting && p != nullptr;
    return p;
}

extern "C" void __wrap_free(void* p) {
    live_blocks -= counting && p != nullptr;
    __real_free(p);
}

namespace {

using namespace convex_rings;

TEST(ConcaveDecomposition, AllocationFailureLeavesAWholeChainAndNoBlocks) {
    std::mt19937 rng(5);
    Ring comb = comb_ring(rng, 5);
    std::vector<_InPoint> points;
    for (size_t i = 0; i <= comb.size(); ++i)
        points.push_back({int(comb[i % comb.size()].x), int(comb[i % comb.size()].y), 0});
    for (long budget = 0;; ++budget) {
        ASSERT_LT(budget, 1000) << "the decomposition never completed";
        _polygon* chain = nullptr;
        int count = 0, linked = 0;
        bool closed = true;
        testing::internal::CaptureStdout();
        live_blocks = 0, counting = true, malloc_budget = budget;
        int code = MakePolyProtru(&chain, &count, points.data(), static_cast<int>(points.size()));
        malloc_budget = -1;
        for (_polygon* p = chain; p != nullptr; p = p->next, ++linked)
            closed = closed && p->num >= 4 && p->points[0].x == p->points[p->num - 1].x &&
                     p->points[0].y == p->points[p->num - 1].y;
        ReleasePolygonSpace(chain, count);
        counting = false;
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(closed && linked == count && live_blocks == 0)
            << "budget " << budget << ": " << linked << " pieces linked, " << count << " counted, "
            << live_blocks << " blocks left";
        if (code == 0) {
            EXPECT_GT(count, 4);
            break;
        }
        EXPECT_EQ(code, -1) << "budget " << budget;
    }
}

TEST(ConvexSplit, AllocationFailureAppendsNoPiece) {
    std::mt19937 rng(6);
    testing_shapes::Polygon comb(to_xy(comb_ring(rng, 5)));
    std::vector<int> out(2 * comb.get()->geom.count);
    for (long successes = 0;; ++successes) {
        ASSERT_LT(successes, 100000) << "the split never completed";
        testing_shapes::Polygons pieces;
        com_polygons_add_copy(pieces.get(), *comb.get());
        testing_alloc::FailingNew failing(successes);
        int written = graphic_to_convex(comb.get(), pieces.get(), out.data());
        if (!failing.failed()) {
            EXPECT_EQ(pieces.size(), 1 + written / 2 + 1);
            EXPECT_GT(written, 0);
            break;
        }
        EXPECT_EQ(written, 0) << successes;
        EXPECT_EQ(pieces.size(), 1) << successes;
    }
}

}  // namespace
